#pragma once

#include "mpxlib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Every line reported to the handler (installed before any test runs), each ended by
// '\n': tests compare messages exactly, class letter and severity digit included.
inline std::string reported;
inline const bool kHandlerInstalled =
    (mpx_install_error([](const char *line) { reported += std::string(line) + "\n"; }), true);

// Descriptors live until the process ends; kept here, as the registry keeps
// its own, the leak checker sees them owned.
inline struct_desc *end_definition() {
    static auto *kept = new std::vector<struct_desc *>; // never destroyed
    kept->push_back(struct_end());
    return kept->back();
}
