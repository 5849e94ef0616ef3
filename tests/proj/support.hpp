// Shared by the projection tests: provoked error lines, and records.
#pragma once

#include "mpxlib.h"
#include "proj/registry.hpp"
#include "tests/common/error_lines.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace proj_test {

using test_support::collect_errors;
using test_support::Lines;
using test_support::take_errors;

// Runs mpx_base_install once per process: a second run would install
// copies behind the first set.
inline bool base_installed() {
    static const int installed = mpx_base_install();
    return installed == 0;
}

// A zeroed record of an installed keyword.
class Instance {
  public:
    explicit Instance(const char *keyword) {
        entry_ = base_installed() ? proj_entry(proj_find(keyword)) : nullptr;
        EXPECT_TRUE(valid()) << keyword << " is not installed";
        if (valid())
            record_.assign(static_cast<std::size_t>(entry_->param_size) / 8 + 1, 0.0);
    }
    template <class T> Instance &set(const char *name, T value) {
        std::memcpy(field(name), &value, sizeof value);
        return *this;
    }
    template <class T = double> T get(const char *name) {
        T value{};
        std::memcpy(&value, field(name), sizeof value);
        return value;
    }
    int init() { return entry_->init(data()); }
    int forward(double lon, double lat, double &x, double &y) {
        return entry_->forward(data(), lon, lat, &x, &y);
    }
    int backward(double x, double y, double &lon, double &lat) {
        return entry_->backward(data(), x, y, &lon, &lat);
    }
    bool valid() const { return entry_ != nullptr; }
    void *data() { return record_.data(); }
    const mpx_proj_entry &entry() const { return *entry_; }

  private:
    char *field(const char *name) {
        const int offset = struct_offset(entry_->descriptor, name);
        EXPECT_GE(offset, 0) << name;
        return reinterpret_cast<char *>(record_.data()) + (offset < 0 ? 0 : offset);
    }
    const mpx_proj_entry *entry_ = nullptr;
    std::vector<double> record_; // doubles keep the record aligned
};

} // namespace proj_test
