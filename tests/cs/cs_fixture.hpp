// The coordinate-system tests run on the tables under tests/cs/data/db/, the
// test projections "proj_a" and "proj_b", and the registry tests' "linear".
#pragma once

#include "cs/cs_table.hpp"
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
using Ids = std::vector<int>;

class CsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/db/", 1);
        ASSERT_EQ(cs_initialise(), 0);
        proj_a_install();
        proj_b_install();
        ASSERT_EQ(registry_test::install_linear(1), 0);
        take_errors();
    }
    Lines take_errors() { return errors_.take(); }
    static Ids enumerate() { // every identifier the enumeration yields
        Ids ids;
        const int zero = 0, more = 1;
        for (int id = mpx_next_coord_sys(&zero); id != 0 && ids.size() < 100;
             id = mpx_next_coord_sys(&more))
            ids.push_back(id);
        return ids;
    }
    registry_test::ErrorLines errors_;
};
