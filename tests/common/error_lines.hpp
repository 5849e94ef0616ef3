// The error lines the library reported, kept in order until a test takes
// them: tests compare messages exactly, class letter and severity digit
// included.
#pragma once

#include "mpxlib.h"

#include <string>
#include <utility>
#include <vector>

namespace test_support {

using Lines = std::vector<std::string>;

inline Lines &error_lines() {
    static Lines kept;
    return kept;
}
// From now on every reported line is kept until taken.
inline void collect_errors() {
    mpx_install_error([](const char *line) { error_lines().emplace_back(line); });
}
inline Lines take_errors() { return std::exchange(error_lines(), {}); }

} // namespace test_support
