// Fixture that keeps every reported line, so tests compare messages exactly,
// class letter and severity digit included.
#pragma once

#include "mpxlib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::string reported; // every reported line, each ended by '\n'

class MessageLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mpx_install_error([](const char *line) { reported += std::string(line) + "\n"; });
    }
};

// Descriptors live until the process ends; kept here, as the registry keeps
// its own, the leak checker sees them owned.
inline struct_desc *end_definition() {
    static std::vector<struct_desc *> kept;
    kept.push_back(struct_end());
    return kept.back();
}
