// The database and projections the coordinate-system tests run on: the
// fixture tables under tests/cs/data/, the test projections "proj_a" and
// "proj_b", and the recording projection "linear" of the registry tests.
#pragma once

#include "cs/cs_table.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class CsTest : public ::testing::Test {
  protected:
    static constexpr const char *kDatabase = MPX_SOURCE_DIR "tests/cs/data/db/";

    void SetUp() override {
        setenv("TORVA_ORTIX_DIR", kDatabase, 1);
        ASSERT_EQ(cs_initialise(), 0);
        proj_a_install();
        proj_b_install();
        ASSERT_EQ(registry_test::install_linear(1), 0);
        errors_.take();
    }

    Lines take_errors() { return errors_.take(); }

    registry_test::ErrorLines errors_;
};
