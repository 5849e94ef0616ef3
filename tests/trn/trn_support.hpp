// Set-up of the transformation tests: the database tests/trn/data/, the
// message collector, and the identity projections "probe" (mode 0) and
// "freeprobe" (mode 1) in radians, windowed from their "long_cut"; forward
// gives status 1 above kProbeLatLimit, backward 2 above kProbeEastLimit.
#pragma once

#include "mpxlib.h"
#include "proj/registry.hpp"
#include "tests/common/error_lines.hpp"
#include "tests/common/fresh_process.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace trn_test {

using test_support::Lines;

constexpr double kProbeLatLimit = 1.5;
constexpr double kProbeEastLimit = 100.0;
constexpr double kPi = 3.141592653589793;

inline double radians(double degrees) { return degrees * kPi / 180.0; }

struct Point {
    double x, y, z;
};

inline Lines take_lines() { return test_support::take_errors(); }

// A path as a report names it: a line holds 96 characters, so a longer
// path keeps its end.
inline std::string shown_path(const std::string &path) {
    return path.size() <= 96 ? path : "..." + path.substr(path.size() - 93);
}

class TrnTest : public ::testing::Test {
  protected:
    struct Probe {
        double long_cut, radius;
        static int init(void *) noexcept { return 0; }
        static int forward(void *, double lon, double lat, double *x, double *y) noexcept {
            *x = lon;
            *y = lat;
            return lat > kProbeLatLimit ? 1 : 0;
        }
        static int backward(void *, double x, double y, double *lon, double *lat) noexcept {
            *lon = x;
            *lat = y;
            return x > kProbeEastLimit ? 2 : 0;
        }
    };

    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/trn/data/", 1);
        test_support::collect_errors();
        mpx_inq_next_base(nullptr); // initialises the library
        for (const auto &[keyword, mode] : {std::pair{"probe", 0}, {"freeprobe", 1}}) {
            Probe sample{};
            mpx_proj_create(keyword, &sample, sizeof sample);
            mpx_proj_ins_par("long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
            mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
            mpx_proj_ins_funcs(Probe::init, Probe::forward, Probe::backward);
            mpx_proj_ins_mode(mode);
            ASSERT_EQ(mpx_proj_end(), 0);
        }
        proj_a_install();
        proj_b_install();
        ASSERT_EQ(take_lines(), Lines{});
    }

    static int locked(const char *datum, const char *projection, const char *units = "degrees") {
        const int id = mpx_create_coord_sys(datum, projection, units);
        EXPECT_GT(id, 0) << datum << " " << projection << " " << units;
        mpx_lock_coord_sys(&id);
        return id;
    }
    static void select(int source, int target) {
        ASSERT_EQ(mpx_set_source(&source), 0);
        ASSERT_EQ(mpx_set_target(&target), 0);
    }
    static int transform(Point in, Point &out) {
        return mpx_transform(&in.x, &in.y, &in.z, &out.x, &out.y, &out.z);
    }
};

} // namespace trn_test
