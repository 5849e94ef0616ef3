// The coordinate-system tests run on the tables under tests/cs/data/db/, the
// test projections "proj_a" and "proj_b", and "linear" below.
#pragma once

#include "cs/cs_table.hpp"
#include "proj/registry.hpp"
#include "tests/common/error_lines.hpp"
#include "tests/common/fresh_process.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using test_support::Lines;
using test_support::take_errors;
using Ids = std::vector<int>;

// "linear": x = scale * lon + false_east, y = scale * lat; init starts the
// longitude window at -3.
struct LinearRecord {
    double scale, false_east, radius, eccentricity, long_cut;
};
inline LinearRecord &linear(void *p) { return *static_cast<LinearRecord *>(p); }
inline int linear_init(void *p) noexcept {
    linear(p).long_cut = -3.0;
    return 0;
}
inline int linear_forward(void *p, double lon, double lat, double *x, double *y) noexcept {
    *x = linear(p).scale * lon + linear(p).false_east;
    *y = linear(p).scale * lat;
    return 0;
}
inline int linear_backward(void *p, double x, double y, double *lon, double *lat) noexcept {
    *lon = (x - linear(p).false_east) / linear(p).scale;
    *lat = y / linear(p).scale;
    return 0;
}
inline int install_linear(int mode = 3, const char *keyword = "linear") {
    LinearRecord r{};
    mpx_proj_create(keyword, &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("scale", &r.scale, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_east", &r.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &r.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &r.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(linear_init, linear_forward, linear_backward);
    mpx_proj_ins_mode(mode);
    return mpx_proj_end();
}

class CsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        test_support::collect_errors();
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/db/", 1);
        ASSERT_EQ(cs_initialise(), 0);
        proj_a_install();
        proj_b_install();
        ASSERT_EQ(install_linear(1), 0);
        take_errors();
    }
    static Ids enumerate() { // every identifier the enumeration yields
        Ids ids;
        const int zero = 0, more = 1;
        for (int id = mpx_next_coord_sys(&zero); id != 0 && ids.size() < 100;
             id = mpx_next_coord_sys(&more))
            ids.push_back(id);
        return ids;
    }
};
