// The array path in blocks (vector kernels) against the per-point pipeline:
// 10^5 random points per pipeline of the bundled database, with poles, zone
// edges, the antimeridian, non-finite values and failing points mixed in.
// Both must give the same statuses, the same messages and the same
// untouched outputs under the array rule, and coordinates within 1e-9 m
// (1e-14 rad).
#include "mpxlib.h"
#include "tests/common/error_lines.hpp"
#include "trn/batch/batch.hpp"
#include "trn/trn_internal.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using test_support::Lines;

constexpr std::size_t kPoints = 100000;
constexpr double kMetreTolerance = 1e-9;
constexpr double kDegreeTolerance = 1e-14 * 180.0 / 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// An output place no transformation writes: tells untouched from written.
constexpr double kUntouched = -7.25e300;

struct System {
    const char *datum, *projection, *units;
    bool degrees;
};

struct Pipeline {
    const char *id; // the test's name
    const char *name;
    System source, target;
};

void PrintTo(const Pipeline &p, std::ostream *os) { *os << p.name; }

const System kWgs84Degrees{"WGS84", "GEODETIC", "degrees", true};
const System kEd50Degrees{"ED50", "GEODETIC", "degrees", true};
const System kWgs84Utm31{"WGS84", "UTM31N", "metres", false};
const System kEd50Utm31{"ED50", "UTM31N", "metres", false};
const System kWgs84Mercator{"WGS84", "WORLD_MERCATOR", "metres", false};

const Pipeline kPipelines[] = {
    {"Utm31nForward", "UTM 31N forward", kWgs84Degrees, kWgs84Utm31},
    {"Utm31nInverse", "UTM 31N inverse", kWgs84Utm31, kWgs84Degrees},
    {"Ed50ToWgs84Geodetic", "ED50 to WGS 84 by Bursa-Wolfe", kEd50Degrees, kWgs84Degrees},
    {"Ed50Utm31nToWgs84Utm31n", "ED50 UTM 31N to WGS 84 UTM 31N", kEd50Utm31, kWgs84Utm31},
    {"MercatorForward", "Mercator forward", kWgs84Degrees, kWgs84Mercator},
    {"MercatorInverseToEd50", "Mercator inverse to ED50", kWgs84Mercator, kEd50Degrees},
};

int open_system(const System &s) {
    static const bool chosen = setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1) == 0;
    return chosen ? mpx_crelock_coord_sys(s.datum, s.projection, s.units) : -1;
}

// Random points of the source system, one in 1000 a hostile one.
std::vector<double> points_for(const System &source, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double hostile_geodetic[][2] = {
        {3.0, 90.0},    {3.0, -90.0},         {0.0, 45.0},   {6.0, -45.0},   {180.0, 10.0},
        {-180.0, 10.0}, {179.999999, 0.0},    {200.0, 30.0}, {-540.0, 30.0}, {1e12, 0.0},
        {3.0, 91.0},    {3.0, 89.9999999999}, {kNaN, 0.0},   {0.0, kInf},    {-kInf, 0.0}};
    const double hostile_grid[][2] = {
        {500000.0, 0.0},  {500000.0, 1e7}, {500000.0, 9.9e6}, {-2e6, 5e6},     {3e6, 5e6},
        {500000.0, -1e7}, {0.0, 2e7},      {166021.4, 0.0},   {833978.6, 0.0}, {kNaN, 0.0},
        {0.0, kInf},      {1e300, 1e300},  {500000.0, 1e9},   {-1e9, 0.0},     {0.0, -kInf}};
    std::vector<double> points(3 * static_cast<std::size_t>(kPoints));
    for (std::size_t i = 0; i < kPoints; ++i) {
        double *p = &points[3 * i];
        p[2] = -100.0 + 5000.0 * unit(random);
        if (random() % 1000 == 0) {
            const auto &h =
                source.degrees ? hostile_geodetic[random() % 15] : hostile_grid[random() % 15];
            p[0] = h[0];
            p[1] = h[1];
            if (random() % 4 == 0)
                p[2] = kNaN;
        } else if (source.degrees) {
            p[0] = -180.0 + 360.0 * unit(random);
            p[1] = -90.0 + 180.0 * unit(random);
        } else if (std::strcmp(source.projection, "UTM31N") == 0) {
            p[0] = -200000.0 + 1400000.0 * unit(random);
            p[1] = -9.5e6 + 1.9e7 * unit(random);
        } else {
            p[0] = -2.1e7 + 4.2e7 * unit(random);
            p[1] = -3e7 + 6e7 * unit(random);
        }
    }
    return points;
}

// One call's result, messages and outputs over a stretch [first, end) of
// the points.
struct Outcome {
    int result;
    std::vector<double> out; // kUntouched where nothing was written
    Lines messages;
};

const double *point_at(const std::vector<double> &v, std::size_t i) { return v.data() + 3 * i; }

// The array rule on per-point mpx_transform alone.
Outcome per_point(const std::vector<double> &in, std::size_t first, std::size_t end) {
    Outcome r{0, std::vector<double>(3 * (end - first), kUntouched), {}};
    for (std::size_t i = first; i < end; ++i) {
        const double *p = point_at(in, i);
        double *q = r.out.data() + 3 * (i - first);
        if (mpx_transform(p, p + 1, p + 2, q, q + 1, q + 2) != 0) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 3, "(mpx_trans_array) bad transformation");
            r.result = -1;
            break;
        }
    }
    r.messages = test_support::take_errors();
    return r;
}

// mpx_trans_array into a separate output, then again in place (out is in),
// which must give the same bits and leave the input of every point from
// the stop on.
Outcome array(const std::vector<double> &in, std::size_t first, std::size_t end) {
    Outcome r{0, std::vector<double>(3 * (end - first), kUntouched), {}};
    const int n = static_cast<int>(end - first);
    r.result = mpx_trans_array(&n, point_at(in, first), r.out.data());
    r.messages = test_support::take_errors();
    std::vector<double> data(point_at(in, first), point_at(in, end));
    EXPECT_EQ(mpx_trans_array(&n, data.data(), data.data()), r.result);
    test_support::take_errors();
    for (std::size_t i = 0; i < data.size(); ++i) {
        const double expected = r.out[i] == kUntouched ? in[3 * first + i] : r.out[i];
        EXPECT_EQ(std::memcmp(&data[i], &expected, sizeof expected), 0)
            << "in place, point " << first + i / 3;
    }
    return r;
}

// Points in a stretch before the first the per-point run left untouched.
std::size_t done_in(const Outcome &r) {
    std::size_t i = 0;
    while (3 * i < r.out.size() && r.out[3 * i] != kUntouched)
        ++i;
    return i;
}

// The kernels' functions (SLEEF, 1 ulp) and the C library's round
// differently in the last place, and a geocentric round trip turns that
// into a few units in the last place of the Earth's radius in every height
// (6.4e6 m has a spacing of 9.3e-10 m). So a coordinate agrees within 1e-9
// m (1e-14 rad), or within 1e-15 of the Earth's radius (6.4e-9 m), or, far
// outside a projection's area where the series reach 10^8 m, within 4e-15
// of itself.
// Beyond 90 degrees of a Transverse Mercator central meridian, where the
// series are no projection any more, their terms reach 10^8 m and cancel:
// there the two agree within 1e-15 of those terms, 1e-7 m.
constexpr double kEarthRadius = 6378137.0;
constexpr double kFarFromMeridian = 1e-7;
double allowed(double value, bool angle, bool far_from_meridian) {
    const double floor = angle ? kDegreeTolerance : kMetreTolerance;
    return std::max({floor, angle ? 0.0 : 1e-15 * kEarthRadius, 4e-15 * std::fabs(value),
                     far_from_meridian ? kFarFromMeridian : 0.0});
}

// True for a geodetic point more than 90 degrees from 3 E (UTM zone 31)
// going into that zone.
bool far_from_zone(const Pipeline &p, const double *point) {
    return p.source.degrees && std::strcmp(p.target.projection, "UTM31N") == 0 &&
           std::fabs(std::remainder(point[0] - 3.0, 360.0)) > 90.0;
}

// Stretches of this many points keep each restart after a failing point
// cheap.
constexpr std::size_t kStretch = 4000;

class BatchEquivalence : public ::testing::TestWithParam<Pipeline> {};

TEST_P(BatchEquivalence, ArrayInBlocksMatchesThePerPointPipeline) {
    test_support::collect_errors();
    const Pipeline &p = GetParam();
    const int source = open_system(p.source);
    const int target = open_system(p.target);
    ASSERT_GT(source, 0);
    ASSERT_GT(target, 0);
    ASSERT_EQ(mpx_set_source(&source), 0);
    ASSERT_EQ(mpx_set_target(&target), 0);
    int modes = 0;
    for (int mode : {MPX_ROBUST_WRAP, MPX_ROBUST_REJECT, MPX_ROBUST_NONE}) {
        // Only a geodetic source into a projection lets the host choose.
        if (mpx_mod_trans_mode(&mode) != 0) {
            test_support::take_errors();
            continue;
        }
        ++modes;
        const std::vector<double> in = points_for(p.source, static_cast<unsigned>(mode));
        mpx_transformation *t = trn_current();
        ASSERT_NE(t, nullptr);
        trn_settle(t);
        test_support::take_errors();
        BatchPlan plan;
        if (batch_runner()) {
            ASSERT_TRUE(batch_plan(*t, plan)) << p.name << ": no kernels for this pipeline";
        }
        int stops = 0;
        for (std::size_t first = 0; first < kPoints;) {
            const std::size_t end = std::min(first + kStretch, kPoints);
            const Outcome expected = per_point(in, first, end);
            const Outcome got = array(in, first, end);
            ASSERT_EQ(got.result, expected.result)
                << p.name << " mode " << mode << " from " << first;
            ASSERT_EQ(got.messages, expected.messages) << p.name << " mode " << mode;
            for (std::size_t i = 0; i < got.out.size(); ++i) {
                const double e = expected.out[i];
                const double g = got.out[i];
                const double *point = point_at(in, first + i / 3);
                if (e == kUntouched || g == kUntouched)
                    ASSERT_EQ(e, g) << p.name << " mode " << mode << " point " << first + i / 3;
                else
                    ASSERT_LE(std::fabs(e - g),
                              allowed(e, i % 3 != 2 && p.target.degrees, far_from_zone(p, point)))
                        << p.name << " mode " << mode << " coordinate " << i % 3 << " = " << e
                        << " of " << point[0] << " " << point[1] << " " << point[2];
            }
            const std::size_t done = done_in(expected);
            stops += first + done < end;
            first += done + (first + done < end ? 1 : 0);
        }
        // Failing points were met, and most points went through.
        EXPECT_GT(stops, 10) << p.name << " mode " << mode;
        EXPECT_LT(stops, static_cast<int>(kPoints / 50)) << p.name << " mode " << mode;
    }
    EXPECT_GT(modes, 0);
}

// With a trace hook installed the array goes point by point, so that the
// hook sees every step of every point.
TEST(BatchPath, ATraceHookSeesEveryPointOfAnArray) {
    test_support::collect_errors();
    const int source = open_system(kWgs84Degrees);
    const int target = open_system(kWgs84Utm31);
    ASSERT_EQ(mpx_set_source(&source), 0);
    ASSERT_EQ(mpx_set_target(&target), 0);
    int forward_steps = 0;
    ASSERT_EQ(mpx_install_trace(
                  [](void *user, int step, int, double, double, double) {
                      *static_cast<int *>(user) += step == MPX_TRACE_TARGET_FORWARD;
                  },
                  &forward_steps),
              0);
    std::vector<double> points;
    for (int i = 0; i < 300; ++i)
        points.insert(points.end(), {0.01 * i, 45.0, 0.0});
    const int n = 300;
    ASSERT_EQ(mpx_trans_array(&n, points.data(), points.data()), 0);
    EXPECT_EQ(forward_steps, n);
    EXPECT_EQ(test_support::take_errors(), Lines{});
}

INSTANTIATE_TEST_SUITE_P(BundledPipelines, BatchEquivalence, ::testing::ValuesIn(kPipelines),
                         [](const auto &param_info) { return std::string(param_info.param.id); });

} // namespace
