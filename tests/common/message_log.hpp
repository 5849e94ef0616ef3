// Test fixture that installs an error handler and keeps every reported line,
// so tests compare messages exactly, class letter and severity digit included.
#pragma once

#include "mpxlib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

inline Lines &reported_lines() {
    static Lines lines;
    return lines;
}

class MessageLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reported_lines().clear();
        mpx_install_error([](const char *line) { reported_lines().emplace_back(line); });
    }
    void TearDown() override { mpx_install_error(nullptr); }

    static const Lines &messages() { return reported_lines(); }
};
