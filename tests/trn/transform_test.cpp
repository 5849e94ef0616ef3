// The point pipeline on published worked examples, units, the longitude
// window, projections on either end, failures and the array form.
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

#include <cmath>
#include <limits>
#include <ostream>

namespace trn_test {
namespace {

using Lines = std::vector<std::string>;
using TransformTest = TrnTest;

// One second of arc in degrees, and the tolerances the published examples
// allow: they give angles to 0.001" and lengths to 0.01 m or 0.001 m.
constexpr double kArcSecond = 1.0 / 3600.0;

struct Case {
    const char *what;
    const char *source_datum;
    const char *source_projection;
    const char *source_units;
    const char *target_datum;
    const char *target_projection;
    const char *target_units;
    Point in;
    Point expected;
    double horizontal_tolerance; // in the target's horizontal unit
    double height_tolerance;     // metres
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

class WorkedExampleTest : public TrnTest, public ::testing::WithParamInterface<Case> {};

TEST_P(WorkedExampleTest, MatchesThePublishedResult) {
    const Case &c = GetParam();
    select(locked(c.source_datum, c.source_projection, c.source_units),
           locked(c.target_datum, c.target_projection, c.target_units));
    Point out{};
    ASSERT_EQ(transform(c.in, out), 0) << c.what;
    EXPECT_NEAR(out.x, c.expected.x, c.horizontal_tolerance) << c.what;
    EXPECT_NEAR(out.y, c.expected.y, c.horizontal_tolerance) << c.what;
    EXPECT_NEAR(out.z, c.expected.z, c.height_tolerance) << c.what;
    EXPECT_EQ(take_lines(), Lines{});
}

// EPSG Guidance Note 7-2, Position Vector transformation (method 9606):
// WGS 72 to WGS 84 (tZ 4.5 m, rZ 0.554", dS 0.219 ppm), 55N 4E on WGS 72
// gives 55 00 00.090 N, 4 00 00.554 E, 3.22 m on WGS 84; geocentric
// 3657660.66, 255768.55, 5201382.11 on WGS 72.
const Point kWgs72Point{4.0, 55.0, 0.0};
const Point kWgs84Point{dms(4, 0, 0.554), dms(55, 0, 0.090), 3.22};
// The same point through ED50 to WGS 84 (18) (EPSG 1311: -89.5, -93.8,
// -123.1 m, rZ -0.156", 1.2 ppm) backwards, as chained exactly by PROJ 9.1
// (cct); the combined record is first-order, within 0.3 mm of the chain.
const Point kEd50Point{4.0015618126, 55.0007263397, -38.3758048704};
// EPSG Guidance Note 7-2, geographic/geocentric conversions (method 9602):
// WGS 84, 53 48 33.820 N, 2 07 46.380 E, 73.0 m.
const Point kGeographic9602{dms(2, 7, 46.380), dms(53, 48, 33.820), 73.0};
const Point kGeocentric9602{3771793.968, 140253.342, 5124304.349};
// Snyder 1987, appendix A, Transverse Mercator on the Clarke 1866 ellipsoid:
// 40 30 N, 73 30 W, central meridian 75 W, k0 0.9996 give x = 127106.5 m,
// y = 4484124.4 m, that is UTM zone 18 north 627106.5 E, 4484124.4 N.
const Point kSnyderGeographic{-73.5, 40.5, 0.0};
const Point kSnyderUtm{627106.5, 4484124.4, 0.0};

INSTANTIATE_TEST_SUITE_P(
    Published, WorkedExampleTest,
    ::testing::Values(
        Case{"direct Bursa-Wolfe record", "WGS72", "GEODETIC", "degrees", "WGS84", "GEODETIC",
             "degrees", kWgs72Point, kWgs84Point, 0.001 * kArcSecond, 0.005},
        Case{"reversed record, inverted", "WGS84", "GEODETIC", "degrees", "WGS72", "GEODETIC",
             "degrees", kWgs84Point, kWgs72Point, 0.001 * kArcSecond, 0.005},
        Case{"two records combined through WGS84", "WGS72", "GEODETIC", "degrees", "ED50",
             "GEODETIC", "degrees", kWgs72Point, kEd50Point, 1e-8, 0.001},
        Case{"geocentric across datums", "WGS72", "GEOCENTRIC", "m", "WGS84", "GEOCENTRIC", "m",
             Point{3657660.66, 255768.55, 5201382.11}, Point{3657660.77, 255778.43, 5201387.75},
             0.01, 0.01},
        Case{"geographic to geocentric", "WGS84", "GEODETIC", "degrees", "WGS84", "GEOCENTRIC", "m",
             kGeographic9602, kGeocentric9602, 0.001, 0.001},
        Case{"geocentric to geographic", "WGS84", "GEOCENTRIC", "m", "WGS84", "GEODETIC", "degrees",
             kGeocentric9602, kGeographic9602, 0.0001 * kArcSecond, 0.001},
        Case{"geocentric to geographic in radians", "WGS84", "GEOCENTRIC", "m", "WGS84", "GEODETIC",
             "radians", kGeocentric9602,
             Point{radians(kGeographic9602.x), radians(kGeographic9602.y), 73.0}, 2e-10, 0.001},
        Case{"UTM forward", "NAD27", "GEODETIC", "degrees", "NAD27", "UTM18N", "metres",
             kSnyderGeographic, kSnyderUtm, 0.1, 0.0},
        Case{"UTM forward, longitude one turn east", "NAD27", "GEODETIC", "degrees", "NAD27",
             "UTM18N", "metres", Point{286.5, 40.5, 0.0}, kSnyderUtm, 0.1, 0.0},
        Case{"UTM backward", "NAD27", "UTM18N", "metres", "NAD27", "GEODETIC", "degrees",
             kSnyderUtm, kSnyderGeographic, 1e-6, 0.0},
        Case{"USC datum is identical to any other", "USC_LOCAL", "GEODETIC", "degrees", "WGS84",
             "GEODETIC", "degrees", kWgs72Point, kWgs72Point, 1e-9, 1e-4}));

struct UnitCase {
    const char *source_units;
    const char *target_units;
    Point in;
    Point expected;
};

void PrintTo(const UnitCase &c, std::ostream *os) {
    *os << c.source_units << " to " << c.target_units << " at " << c.in.x;
}

class UnitTest : public TrnTest, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(UnitTest, AnglesAreScaledAndHeightPassesUnchanged) {
    const UnitCase &c = GetParam();
    select(locked("WGS84", "GEODETIC", c.source_units),
           locked("WGS84", "GEODETIC", c.target_units));
    Point out{};
    ASSERT_EQ(transform(c.in, out), 0);
    EXPECT_NEAR(out.x, c.expected.x, 1e-12);
    EXPECT_NEAR(out.y, c.expected.y, 1e-12);
    EXPECT_EQ(out.z, c.in.z);
}

INSTANTIATE_TEST_SUITE_P(
    Units, UnitTest,
    ::testing::Values(UnitCase{"degrees", "grads", {90, 45, 12.5}, {100, 50, 0}},
                      UnitCase{"degrees", "radians", {-90, 30, -7}, {-kPi / 2, kPi / 6, 0}},
                      UnitCase{"grads", "degrees", {-50, 100, 0}, {-45, 90, 0}},
                      UnitCase{"radians", "grads", {kPi / 4, -kPi / 2, 3}, {50, -100, 0}},
                      // The geodetic window is [-180, 180] degrees.
                      UnitCase{"degrees", "degrees", {190, 10, 1}, {-170, 10, 0}},
                      UnitCase{"degrees", "degrees", {-540.5, 10, 1}, {179.5, 10, 0}},
                      UnitCase{"natural", "degrees", {180, -10, 1}, {180, -10, 0}}));

// ---- Longitude robustness into a projection whose window is [0, 360] -----

struct WrapCase {
    double lon_degrees;
    double reaches_degrees;
};

void PrintTo(const WrapCase &c, std::ostream *os) { *os << c.lon_degrees << " degrees"; }

class WrapTest : public TrnTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(WrapTest, LongitudeReachesTheProjectionInsideItsWindow) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    Point out{};
    ASSERT_EQ(transform({GetParam().lon_degrees, 10, 0}, out), 0);
    EXPECT_NEAR(out.x, radians(GetParam().reaches_degrees), 1e-9);
    EXPECT_NEAR(out.y, radians(10), 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Wrap, WrapTest,
                         ::testing::Values(WrapCase{-10, 350}, WrapCase{730, 10}, WrapCase{370, 10},
                                           WrapCase{-370, 350}, WrapCase{10, 10}, WrapCase{0, 0},
                                           WrapCase{1e6, 280}, WrapCase{-1e6, 80}));

TEST_F(TransformTest, HugeLongitudeEndsWithAFinitePoint) {
    select(locked("WGS84", "GEODETIC", "radians"), locked("WGS84", "CUT0"));
    for (double lon : {1e300, -1e300, std::numeric_limits<double>::max()}) {
        Point out{};
        EXPECT_EQ(transform({lon, 0.1, 0}, out), 0) << lon;
        EXPECT_TRUE(std::isfinite(out.x)) << lon;
    }
}

TEST_F(TransformTest, RejectModeRefusesPointsOutsideTheWindowSilently) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    const int reject = MPX_ROBUST_REJECT;
    ASSERT_EQ(mpx_mod_trans_mode(&reject), 0);
    for (Point p : {Point{10, 91, 0}, Point{10, -91, 0}, Point{-10, 10, 0}, Point{361, 10, 0}}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform(p, out), 1);
        EXPECT_EQ(out.x, 7.0);
        EXPECT_EQ(out.y, 8.0);
        EXPECT_EQ(out.z, 9.0);
    }
    EXPECT_EQ(take_lines(), Lines{});
    Point out{};
    EXPECT_EQ(transform({350, 80, 0}, out), 0);
    EXPECT_NEAR(out.x, radians(350), 1e-12);
}

// ---- Projections on the ends -------------------------------------------------

TEST_F(TransformTest, ProjectedToProjectedRunsBackwardDatumChangeForward) {
    // "proj_a" and "proj_b" exchange the coordinates, so their radians stand
    // as (latitude, longitude).
    select(locked("WGS72", "PA"), locked("WGS84", "PB"));
    mpx_inq_trans_status();
    const Point in{radians(kWgs72Point.y), radians(kWgs72Point.x), 0.0};
    Point out{};
    testing::internal::CaptureStdout();
    ASSERT_EQ(transform(in, out), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n proj_a_backward() called "
              "\n test message = <proj_a test message>, tid = 7 "
              "\n CALLED proj_b_forward() "
              "\n test message = <proj_b test message>");
    EXPECT_NEAR(out.x, radians(kWgs84Point.y), radians(0.001 * kArcSecond));
    EXPECT_NEAR(out.y, radians(kWgs84Point.x), radians(0.001 * kArcSecond));
    EXPECT_NEAR(out.z, kWgs84Point.z, 0.005);
}

TEST_F(TransformTest, FailingProjectionStatusIsReturnedAndOutputsKept) {
    select(locked("WGS84", "GEODETIC", "radians"), locked("WGS84", "CUT0"));
    Point out{7, 8, 9};
    EXPECT_EQ(transform({1.0, kProbeLatLimit + 0.01, 0}, out), 1);
    select(locked("WGS84", "CUT0"), locked("WGS84", "GEODETIC", "radians"));
    EXPECT_EQ(transform({kProbeEastLimit + 1, 0.5, 0}, out), 2);
    EXPECT_EQ(out.x, 7.0);
    EXPECT_EQ(out.y, 8.0);
    EXPECT_EQ(out.z, 9.0);
    EXPECT_EQ(take_lines(), (Lines{"S3:(mpx_transform) transformation error",
                                   "S3:(mpx_transform) transformation error"}));
}

TEST_F(TransformTest, FailingDatumChangeWinsOverABackwardStatus) {
    select(locked("WGS72", "CUT0"), locked("WGS84", "CUT0"));
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    // A record type the geodesy layer refuses makes every change fail.
    static_cast<mpx_bw_params *>(trn_current()->change_data)->type = 9;
    Point out{7, 8, 9};
    EXPECT_EQ(transform({kProbeEastLimit + 1, 0.5, 0}, out), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:datum conversion error"});
    EXPECT_EQ(out.x, 7.0);
}

TEST_F(TransformTest, NonFiniteCoordinatesAreRefused) {
    select(locked("WGS72", "GEODETIC"), locked("WGS84", "GEODETIC"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Point p : {Point{nan, 1, 0}, Point{1, nan, 0}, Point{1, 1, nan}, Point{inf, 1, 0},
                    Point{1, -inf, 0}, Point{1, 1, inf}}) {
        Point out{7, 8, 9};
        EXPECT_EQ(transform(p, out), -1);
        EXPECT_EQ(out.x, 7.0);
        EXPECT_EQ(take_lines(), Lines{"S3:(mpx_transform) transformation error"});
    }
}

TEST_F(TransformTest, OutputsMayAliasInputs) {
    select(locked("WGS72", "GEODETIC"), locked("WGS84", "GEODETIC"));
    Point p = kWgs72Point;
    ASSERT_EQ(mpx_transform(&p.x, &p.y, &p.z, &p.x, &p.y, &p.z), 0);
    EXPECT_NEAR(p.x, kWgs84Point.x, 0.001 * kArcSecond);
    EXPECT_NEAR(p.y, kWgs84Point.y, 0.001 * kArcSecond);
}

// ---- Arrays and polylines ------------------------------------------------------

TEST_F(TransformTest, ArrayTransformsInPlace) {
    select(locked("WGS72", "GEODETIC"), locked("WGS84", "GEODETIC"));
    double points[] = {4, 55, 0, 4, 55, 0, 190, 0, 0};
    const int n = 3;
    ASSERT_EQ(mpx_trans_array(&n, points, points), 0);
    EXPECT_NEAR(points[3], kWgs84Point.x, 0.001 * kArcSecond);
    EXPECT_NEAR(points[4], kWgs84Point.y, 0.001 * kArcSecond);
    EXPECT_NEAR(points[6], -170.0, 0.01); // wrapped before the change
}

TEST_F(TransformTest, ArrayStopsAtTheFirstRejectedPoint) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    const int reject = MPX_ROBUST_REJECT;
    ASSERT_EQ(mpx_mod_trans_mode(&reject), 0);
    const double in[] = {10, 10, 0, 10, 91, 0, 20, 20, 0};
    double out[9];
    std::fill(std::begin(out), std::end(out), -5.0);
    const int n = 3;
    EXPECT_EQ(mpx_trans_array(&n, in, out), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:(mpx_trans_array) bad transformation"});
    EXPECT_NEAR(out[0], radians(10), 1e-12);
    for (int i = 3; i < 9; ++i)
        EXPECT_EQ(out[i], -5.0) << i;
}

TEST_F(TransformTest, ArrayOfNoPointsDoesNothing) {
    double out[3] = {1, 2, 3};
    for (int n : {0, -1, std::numeric_limits<int>::min()}) {
        EXPECT_EQ(mpx_trans_array(&n, nullptr, out), 0);
    }
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(take_lines(), Lines{});
}

TEST_F(TransformTest, PolylineIsNotImplemented) {
    EXPECT_EQ(mpx_trans_polyline(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:function mpx_trans_polyline is NOT implemented"});
}

} // namespace
} // namespace trn_test
