// Geodetic <-> geocentric conversions and the seven-parameter change.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using Xyz = std::array<double, 3>;

constexpr double kArcSecond = std::numbers::pi / 180 / 3600;
// Eccentricities of 1/f = 298.257223563 and 299.3249646.
constexpr mpx_ellipsoid kWgs84{6378137.0, 0.08181919084262149, 0.0};
constexpr mpx_ellipsoid kAiry1830{6377563.396, 0.08167337387414189, 0.0};

double dms(double d, double m, double s) {
    return (d + m / 60.0 + s / 3600.0) * std::numbers::pi / 180;
}
// Metres between geodetic points (lon, lat, h), enough to judge tolerances.
double ground_error(const Xyz &got, const Xyz &want) {
    const double east = (got[0] - want[0]) * std::cos(want[1]), north = got[1] - want[1];
    return std::hypot(east, north) * kWgs84.radius + std::fabs(got[2] - want[2]);
}
double distance(const Xyz &a, const Xyz &b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// Known points both ways, through both backward forms, to the millimetre.
TEST(Geocentric, ConvertsKnownPointsBothWays) {
    const double a = kWgs84.radius, e = kWgs84.eccentricity, b = a * std::sqrt(1 - e * e);
    const mpx_ellipsoid &wgs = kWgs84, paris{a, e, dms(2, 20, 14.025)}, far_east{a, e, 3.0};
    const struct {
        const mpx_ellipsoid &e;
        Xyz gd, xyz; // lon, lat, h; X, Y, Z
    } cases[] = {
        // EPSG Guidance Note 7-2, example of method 9602.
        {wgs, {dms(2, 7, 46.38), dms(53, 48, 33.82), 73}, {3771793.968, 140253.342, 5124304.349}},
        {paris, {-paris.prime_merid, std::numbers::pi / 2, 100}, {0, 0, b + 100}},
        {wgs, {0, -std::numbers::pi / 2, -20}, {0, 0, -b + 20}},
        {far_east, {-6.1, 0, 10}, {(a + 10) * std::cos(-3.1), (a + 10) * std::sin(-3.1), 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "lon " << c.gd[0] << " lat " << c.gd[1]);
        Xyz xyz, gd;
        mpx_gd_to_xyz(&c.e, c.gd[0], c.gd[1], c.gd[2], &xyz[0], &xyz[1], &xyz[2]);
        EXPECT_LT(distance(xyz, c.xyz), 1e-3);
        for (auto backward : {mpx_xyz_to_gd, mpx_xyz_to_gd_2}) {
            backward(&c.e, c.xyz[0], c.xyz[1], c.xyz[2], &gd[0], &gd[1], &gd[2]);
            EXPECT_LT(ground_error(gd, c.gd), 1e-3);
        }
    }
}

// Bowring's single pass holds to 10 micrometres from the ocean floor to the
// highest summit, and to 0.1 mm at 50 km (rows: lon, lat, height, tolerance).
TEST(Geocentric, RoundTripsOnAndOffTheSurface) {
    const double points[][4] = {{2.5, 1e-9, 8848, 1e-5},    {-1.0, 0.3, -11000, 1e-5},
                                {3.14159, -0.7, 0, 1e-5},   {-3.14159, 1.2, 8848, 1e-5},
                                {2.5, -1.5, -11000, 1e-5},  {-1.0, 1.5707963, 50000, 1e-4},
                                {0.0, -0.7854, 50000, 1e-4}};
    for (const auto &[lon, lat, h, tolerance] : points) {
        Xyz xyz, gd;
        mpx_gd_to_xyz(&kWgs84, lon, lat, h, &xyz[0], &xyz[1], &xyz[2]);
        mpx_xyz_to_gd(&kWgs84, xyz[0], xyz[1], xyz[2], &gd[0], &gd[1], &gd[2]);
        EXPECT_LT(ground_error(gd, {lon, lat, h}), tolerance) << lon << " " << lat << " " << h;
    }
}

// Within the evolute of the meridian ellipse, some 6300 km down, the
// published arctangent would turn past the pole (180 degrees one metre from
// the centre); the latitude stops at the nearest pole and the height is
// measured from it. The centre takes the north pole and converts back.
TEST(Geocentric, PointsNearTheCentreTakeTheirNearestPole) {
    const double a = kWgs84.radius, e = kWgs84.eccentricity, b = a * std::sqrt(1 - e * e);
    const struct {
        Xyz xyz, gd; // X, Y, Z; lon, lat, h
    } cases[] = {
        {{0, 0, 0}, {0, std::numbers::pi / 2, -b}},
        {{1, 0, 0}, {0, std::numbers::pi / 2, -b}},
        {{1000, 0, -10}, {0, -std::numbers::pi / 2, 10 - b}},
        {{0, -20000, 5}, {-std::numbers::pi / 2, std::numbers::pi / 2, 5 - b}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.xyz[0] << " " << c.xyz[1] << " " << c.xyz[2]);
        Xyz gd;
        mpx_xyz_to_gd(&kWgs84, c.xyz[0], c.xyz[1], c.xyz[2], &gd[0], &gd[1], &gd[2]);
        EXPECT_DOUBLE_EQ(gd[0], c.gd[0]);
        EXPECT_DOUBLE_EQ(gd[1], c.gd[1]);
        EXPECT_NEAR(gd[2], c.gd[2], 1e-6);
    }
    Xyz back;
    mpx_gd_to_xyz(&kWgs84, 0, std::numbers::pi / 2, -b, &back[0], &back[1], &back[2]);
    EXPECT_LT(distance(back, {0, 0, 0}), 1e-6);
}

// A record with every term non-zero, to see which ones a type applies.
const mpx_bw_params kAllTerms{MPX_BW_FULL, 100.0, -50.0, 25.0, 2e-5, -3e-5, 4e-5, 1.0 + 5e-6};
constexpr Xyz kUntouched{7.0, 8.0, 9.0};

std::array<double, 8> fields(const mpx_bw_params &p) {
    return {double(p.type), p.translation_x, p.translation_y, p.translation_z,
            p.rotation_x,   p.rotation_y,    p.rotation_z,    p.scale};
}

TEST(BursaWolfe, GuidanceNotePositionVectorExample) {
    // EPSG Guidance Note 7-2, method 1033: WGS 72 to WGS 84, to the centimetre.
    const mpx_bw_params to_wgs84{MPX_BW_FULL, 0, 0, 4.5, 0, 0, 0.554 * kArcSecond, 1 + 0.219e-6};
    Xyz out;
    mpx_xyz_to_xyz(&to_wgs84, 3657660.66, 255768.55, 5201382.11, &out[0], &out[1], &out[2]);
    EXPECT_LT(distance(out, {3657660.78, 255778.43, 5201387.75}), 0.01);
}

// Types outside 0-3 fail and write nothing, also through the composite.
TEST(BursaWolfe, EachTypeAppliesOnlyItsTerms) {
    const double x = 4e6, y = 1e6, z = 4.5e6, tx = 100.0, ty = -50.0, tz = 25.0, rx = 2e-5,
                 ry = -3e-5, rz = 4e-5, s = 1.0 + 5e-6;
    const Xyz wanted[] = {kUntouched,
                          {x, y, z},
                          {x + tx, y + ty, z + tz},
                          {s * (x - rz * y) + tx, s * (rz * x + y) + ty, s * z + tz},
                          {s * (x - rz * y + ry * z) + tx, s * (rz * x + y - rx * z) + ty,
                           s * (-ry * x + rx * y + z) + tz},
                          kUntouched};
    for (int type = -1; type <= 4; ++type) {
        mpx_bw_params record = kAllTerms;
        record.type = type;
        Xyz out = kUntouched;
        const int status = mpx_xyz_to_xyz(&record, x, y, z, &out[0], &out[1], &out[2]);
        EXPECT_EQ(status, type >= 0 && type <= 3 ? 0 : -1);
        if (status)
            EXPECT_EQ(mpx_bw_gd_to_gd(&record, &kWgs84, &kAiry1830, 0.1, 0.2, 3.0, &out[0], &out[1],
                                      &out[2]),
                      -1);
        EXPECT_LT(distance(out, wanted[type + 1]), 1e-9) << "type " << type;
    }
}

TEST(BursaWolfe, InvertNegatesTermsAndInvertsScale) {
    mpx_bw_params inverse;
    ASSERT_EQ(mpx_bw_invert(&kAllTerms, &inverse), 0);
    EXPECT_EQ(fields(inverse),
              (std::array{3.0, -100.0, 50.0, -25.0, -2e-5, 3e-5, -4e-5, 1 / (1 + 5e-6)}));
}

TEST(BursaWolfe, CombineAddsTermsMultipliesScalesTakesLargerTypeIntoAnyRecord) {
    for (int into : {0, 1, 2}) {
        mpx_bw_params records[3] = {{MPX_BW_TRANSLATION, 1.0, 2.0, 3.0, 0, 0, 0, 2.0}, kAllTerms};
        ASSERT_EQ(mpx_bw_combine(&records[0], &records[1], &records[into]), 0);
        EXPECT_EQ(fields(records[into]),
                  (std::array{3.0, 101.0, -48.0, 28.0, 2e-5, -3e-5, 4e-5, 2.00001}))
            << into;
    }
}

} // namespace
