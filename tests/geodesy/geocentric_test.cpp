// Geodetic <-> geocentric conversions.
#include "geodesy_test_support.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace geodesy_test;

namespace {

struct Geodetic {
    double lon, lat, h;
};

Geodetic to_geodetic(const mpx_ellipsoid &e, double x, double y, double z) {
    Geodetic g{};
    EXPECT_EQ(mpx_xyz_to_gd(&e, x, y, z, &g.lon, &g.lat, &g.h), 0);
    return g;
}

// EPSG Guidance Note 7-2, example of method 9602 (WGS 84).
const double kExampleLat = dms(53, 48, 33.82);
const double kExampleLon = dms(2, 7, 46.38);
constexpr double kExampleX = 3771793.968, kExampleY = 140253.342, kExampleZ = 5124304.349;

TEST(Geocentric, GuidanceNoteExampleForward) {
    double x, y, z;
    ASSERT_EQ(mpx_gd_to_xyz(&kWgs84, kExampleLon, kExampleLat, 73.0, &x, &y, &z), 0);
    EXPECT_NEAR(x, kExampleX, 0.001);
    EXPECT_NEAR(y, kExampleY, 0.001);
    EXPECT_NEAR(z, kExampleZ, 0.001);
}

TEST(Geocentric, GuidanceNoteExampleBackwardBothForms) {
    // The published X, Y, Z are rounded to the millimetre.
    for (auto convert : {mpx_xyz_to_gd, mpx_xyz_to_gd_2}) {
        double lon, lat, h;
        ASSERT_EQ(convert(&kWgs84, kExampleX, kExampleY, kExampleZ, &lon, &lat, &h), 0);
        EXPECT_LT(metres(lon - kExampleLon), 0.001);
        EXPECT_LT(metres(lat - kExampleLat), 0.001);
        EXPECT_NEAR(h, 73.0, 0.001);
    }
}

// Round trips on, above and below the surface, in all four quadrants, at
// the equator and near the poles. Bowring's single pass stays within 10
// micrometres from the ocean floor to the highest summit, and within 0.1 mm
// at 50 km.
TEST(Geocentric, RoundTripsOnAndOffTheSurface) {
    const std::vector<double> lats = {0.0, 1e-9, 0.3, -0.7, 1.2, -1.5, 1.5707963};
    const std::vector<double> lons = {0.0, 2.5, -1.0, 3.14159, -3.14159};
    struct Height {
        double h, tolerance;
    };
    const std::vector<Height> heights = {
        {0.0, 1e-5}, {73.0, 1e-5}, {8848.0, 1e-5}, {-11000.0, 1e-5}, {50000.0, 1e-4}};
    for (double lat : lats)
        for (double lon : lons)
            for (auto [h, tolerance] : heights) {
                SCOPED_TRACE(testing::Message() << "lon " << lon << " lat " << lat << " h " << h);
                double x, y, z;
                mpx_gd_to_xyz(&kWgs84, lon, lat, h, &x, &y, &z);
                const Geodetic g = to_geodetic(kWgs84, x, y, z);
                EXPECT_LT(metres(g.lat - lat), tolerance);
                EXPECT_LT(metres((g.lon - lon) * std::cos(lat)), tolerance);
                EXPECT_NEAR(g.h, h, tolerance);
            }
}

TEST(Geocentric, SecondFormAgreesWithinAMillimetreNearTheSurface) {
    for (double lat : {-1.4, -0.5, 0.0, 0.9, 1.5})
        for (double h : {0.0, 1000.0, -500.0}) {
            double x, y, z, lon2, lat2, h2;
            mpx_gd_to_xyz(&kWgs84, 0.4, lat, h, &x, &y, &z);
            mpx_xyz_to_gd_2(&kWgs84, x, y, z, &lon2, &lat2, &h2);
            EXPECT_DOUBLE_EQ(lon2, 0.4);
            EXPECT_LT(metres(lat2 - lat), 0.001) << lat << " " << h;
            EXPECT_NEAR(h2, h, 0.001) << lat << " " << h;
        }
}

TEST(Geocentric, PoleUsesPolarHeightFormAndLongitudeMinusPrimeMeridian) {
    const mpx_ellipsoid paris{kWgs84.radius, kWgs84.eccentricity, dms(2, 20, 14.025)};
    const double b = kWgs84.radius * std::sqrt(1.0 - kWgs84.eccentricity * kWgs84.eccentricity);
    const Geodetic north = to_geodetic(paris, 0.0, 0.0, b + 100.0);
    EXPECT_DOUBLE_EQ(north.lat, kPi / 2);
    EXPECT_DOUBLE_EQ(north.lon, -paris.prime_merid);
    EXPECT_NEAR(north.h, 100.0, 1e-8);
    const Geodetic south = to_geodetic(kWgs84, 0.0, 0.0, -b);
    EXPECT_DOUBLE_EQ(south.lat, -kPi / 2);
    EXPECT_NEAR(south.h, 0.0, 1e-8);
}

TEST(Geocentric, EquatorUsesEquatorialHeightForm) {
    const Geodetic g = to_geodetic(kWgs84, 0.0, -kWgs84.radius - 10.0, 0.0);
    EXPECT_DOUBLE_EQ(g.lat, 0.0);
    EXPECT_DOUBLE_EQ(g.lon, -kPi / 2);
    EXPECT_NEAR(g.h, 10.0, 1e-9);
}

TEST(Geocentric, PrimeMeridianShiftsLongitudeWithoutNormalising) {
    const mpx_ellipsoid shifted{kWgs84.radius, kWgs84.eccentricity, 0.5};
    double x, y, z;
    mpx_gd_to_xyz(&shifted, -0.5, 0.8, 0.0, &x, &y, &z);
    EXPECT_GT(x, 0.0);
    EXPECT_NEAR(y, 0.0, 1e-9);
    // A longitude that ends up beyond -pi stays there.
    const mpx_ellipsoid east{kWgs84.radius, kWgs84.eccentricity, 3.0};
    mpx_gd_to_xyz(&kWgs84, 3.1, 0.2, 0.0, &x, &y, &z);
    EXPECT_NEAR(to_geodetic(east, x, y, z).lon, 0.1, 1e-12);
    mpx_gd_to_xyz(&kWgs84, -3.1, 0.2, 0.0, &x, &y, &z);
    EXPECT_NEAR(to_geodetic(east, x, y, z).lon, -6.1, 1e-12);
}

TEST(Geocentric, ZeroEccentricityGivesSphericalCoordinates) {
    const mpx_ellipsoid sphere{6371000.0, 0.0, 0.0};
    const double lon = 1.1, lat = -0.6, h = 250.0, r = sphere.radius + h;
    double x, y, z;
    mpx_gd_to_xyz(&sphere, lon, lat, h, &x, &y, &z);
    EXPECT_NEAR(x, r * std::cos(lat) * std::cos(lon), 1e-8);
    EXPECT_NEAR(y, r * std::cos(lat) * std::sin(lon), 1e-8);
    EXPECT_NEAR(z, r * std::sin(lat), 1e-8);
    const Geodetic g = to_geodetic(sphere, x, y, z);
    EXPECT_NEAR(g.lat, lat, 1e-15);
    EXPECT_NEAR(g.h, h, 1e-8);
}

TEST(Geocentric, OutputsMayAliasInputs) {
    double a = kExampleX, b = kExampleY, c = kExampleZ;
    mpx_xyz_to_gd(&kWgs84, a, b, c, &a, &b, &c);
    mpx_gd_to_xyz(&kWgs84, a, b, c, &a, &b, &c);
    EXPECT_NEAR(a, kExampleX, 1e-6);
    EXPECT_NEAR(b, kExampleY, 1e-6);
    EXPECT_NEAR(c, kExampleZ, 1e-6);
}

TEST(Geocentric, NullPointersAreRefused) {
    double x, y, z;
    EXPECT_EQ(mpx_gd_to_xyz(nullptr, 0, 0, 0, &x, &y, &z), -1);
    EXPECT_EQ(mpx_xyz_to_gd(&kWgs84, 1, 0, 0, &x, nullptr, &z), -1);
    EXPECT_EQ(mpx_xyz_to_gd_2(&kWgs84, 1, 0, 0, nullptr, &y, &z), -1);
}

} // namespace
