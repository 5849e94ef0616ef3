// The pipeline never hands on a wrong number with status 0: a step that
// succeeds with a non-finite coordinate, a backward result off the map and
// a longitude too large to wrap are each refused with their own message,
// the outputs untouched.
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace trn_test {
namespace {

using TrustworthyResults = TrnTest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kNotANumber = "S3:(mpx_transform) result is not a number";

// A careless projection: status 0 with a NaN coordinate.
int nan_forward(void *, double, double, double *x, double *y) noexcept {
    *x = kNaN;
    *y = 1.0;
    return 0;
}
int nan_backward(void *, double, double, double *lon, double *lat) noexcept {
    *lon = 0.5;
    *lat = kNaN;
    return 0;
}

TEST_F(TrustworthyResults, AStepThatSucceedsWithANonFiniteResultIsRefused) {
    const int geodetic = locked("WGS84", "GEODETIC", "radians");
    const int cut = locked("WGS84", "CUT0");
    for (const auto &[source, target] : {std::pair{geodetic, cut}, std::pair{cut, geodetic}}) {
        select(source, target);
        ASSERT_EQ(mpx_inq_trans_status(), 0);
        trn_current()->target_forward = nan_forward;
        trn_current()->source_backward = nan_backward;
        Point out{7, 8, 9};
        EXPECT_EQ(transform({1.0, 0.5, 0}, out), 1);
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
        EXPECT_EQ(take_lines(), Lines{kNotANumber});
        // The array stops at that point.
        double points[] = {1.0, 0.5, 0};
        const int n = 1;
        EXPECT_EQ(mpx_trans_array(&n, points, points), -1);
        EXPECT_EQ(points[1], 0.5);
        EXPECT_EQ(take_lines(), (Lines{kNotANumber, "S3:(mpx_trans_array) bad transformation"}));
    }
}

TEST_F(TrustworthyResults, ABackwardLatitudeBeyondAPoleIsOutsideTheDomain) {
    const std::string outside = "S3:(mpx_transform) point outside the projection's domain";
    select(locked("WGS84", "CUT0"), locked("WGS84", "GEODETIC", "radians"));
    for (double lat : {kPi / 2 + 1e-12, -2.0, 3.0}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform({1.0, lat, 0}, out), 1) << lat;
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
        EXPECT_EQ(take_lines(), Lines{outside}) << lat;
    }
    Point out{};
    EXPECT_EQ(transform({1.0, kPi / 2, 0}, out), 0); // the pole itself is inside
    // Far outside UTM's area the series' inverse leaves the sphere's latitudes.
    select(locked("WGS84", "UTM31N"), locked("WGS84", "GEODETIC"));
    out = {7, 8, 9};
    EXPECT_EQ(transform({1e8, 1e8, 0}, out), 1);
    EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
    EXPECT_EQ(take_lines().size(), 1u);
}

// On the equator far east of UTM's area the series' inverse keeps its
// latitude of 0 but gives a longitude of millions of degrees: more than a
// turn outside the window the forward takes, so no point of the map. The
// array form (with its vector kernels, where the build has them) stops at
// the same point with the same message.
TEST_F(TrustworthyResults, ABackwardLongitudeFarOutsideTheWindowIsOutsideTheDomain) {
    const std::string outside = "S3:(mpx_transform) point outside the projection's domain";
    select(locked("WGS84", "UTM31N"), locked("WGS84", "GEODETIC"));
    for (double easting : {1e8, -1e8, 1e30}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform({easting, 0, 0}, out), 1) << easting;
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
        EXPECT_EQ(take_lines(), Lines{outside}) << easting;
    }
    constexpr int kPoints = 600, kFailing = 421;
    std::vector<double> points(3 * kPoints);
    for (int i = 0; i < kPoints; ++i)
        points[3 * static_cast<std::size_t>(i)] = i == kFailing ? 1e8 : 400000.0 + 100.0 * i;
    const std::vector<double> input = points;
    EXPECT_EQ(mpx_trans_array(&kPoints, points.data(), points.data()), -1);
    EXPECT_EQ(take_lines(), (Lines{outside, "S3:(mpx_trans_array) bad transformation"}));
    EXPECT_NE(points[3 * (kFailing - 1)], input[3 * (kFailing - 1)]);
    EXPECT_TRUE(
        std::equal(points.begin() + 3 * kFailing, points.end(), input.begin() + 3 * kFailing));
}

// 1e9 rad is 5.7295779513e10 degrees.
TEST_F(TrustworthyResults, LongitudesTooLargeToWrapAreRefused) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    for (double lon : {5.73e10, -5.73e10, 1e300, -std::numeric_limits<double>::max()}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform({lon, 10, 0}, out), 1) << lon;
        EXPECT_TRUE(out.x == 7 && out.y == 8 && out.z == 9);
        EXPECT_EQ(take_lines(), Lines{kNotANumber}) << lon;
    }
    for (double lon : {5.72e10, -5.72e10}) {
        Point out{};
        EXPECT_EQ(transform({lon, 10, 0}, out), 0) << lon;
        EXPECT_TRUE(out.x >= 0 && out.x <= 2 * kPi) << lon;
    }
    EXPECT_EQ(take_lines(), Lines{});
}

} // namespace
} // namespace trn_test
