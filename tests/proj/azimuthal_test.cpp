// The antipode statuses of "azimuted" and "lambazea", which produce a point
// (the tables cannot show one with a non-zero status), and the bounded
// westward search of "lambazea" off its antipodal singularity.
#include "tests/proj/support.hpp"

#include <cmath>
#include <numbers>

namespace {

using proj_test::Instance;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kPi = std::numbers::pi;
constexpr double kRadius = 6371000.0;
// The search steps 1e-6 degree westward and tries at most 99 longitudes.
constexpr double kStep = 1e-6 * kDegree;

Instance sphere(const char *keyword, const char *lat_name, const char *lon_name, double lat,
                double lon) {
    Instance p(keyword);
    p.set("spheroid.radius", kRadius).set("spheroid.eccentricity", 0.0);
    p.set(lat_name, lat * kDegree).set(lon_name, lon * kDegree);
    p.set("false_east", 1000.0).set("false_north", 2000.0);
    EXPECT_EQ(p.init(), 0);
    return p;
}

TEST(AzimuthalEquidistant, SphericalAntipodeGivesStatus3AtTheTopOfTheOuterCircle) {
    Instance p = sphere("azimuted", "origin_lat", "origin_long", 40, -100);
    double x = 0, y = 0;
    EXPECT_EQ(p.forward(80 * kDegree, -40 * kDegree, x, y), 3);
    EXPECT_EQ(x, 1000.0);
    EXPECT_NEAR(y, 2000.0 + kPi * kRadius, 1e-6);
    // A hair from the antipode is an ordinary point on the outer circle.
    EXPECT_EQ(p.forward(80 * kDegree, -39.99 * kDegree, x, y), 0);
    EXPECT_NEAR(std::hypot(x - 1000.0, y - 2000.0), kPi * kRadius, 1200.0);
}

TEST(LambertEqualArea, ExactAntipodeGivesStatus4AndThePointTwoRadiiOut) {
    Instance s = sphere("lambazea", "centre_lat", "centre_merid", 40, -100);
    Instance e("lambazea"); // ETRS89-LAEA Europe
    e.set("spheroid.radius", 6378137.0).set("spheroid.eccentricity", 0.081819191042815792);
    e.set("centre_lat", 52 * kDegree).set("centre_merid", 10 * kDegree);
    e.set("false_east", 4321000.0).set("false_north", 3210000.0);
    ASSERT_EQ(e.init(), 0);
    struct Case {
        Instance *p;
        double lon, lat, east, north;
    } cases[] = {
        {&s, 80, -40, 1000 + 2 * kRadius, 2000 + 2 * kRadius},
        // 5e-8 rad from the antipode in both is still the antipode.
        {&s, 80 + 5e-8 / kDegree, -40 - 5e-8 / kDegree, 1000 + 2 * kRadius, 2000 + 2 * kRadius},
        {&s, -280, -40, 1000 + 2 * kRadius, 2000 + 2 * kRadius},
        {&e, -170, -52, 4321000 + 2 * 6378137.0, 3210000 + 2 * 6378137.0}};
    for (const Case &c : cases) {
        double x = 0, y = 0;
        EXPECT_EQ(c.p->forward(c.lon * kDegree, c.lat * kDegree, x, y), 4) << c.lon;
        EXPECT_EQ(x, c.east);
        EXPECT_EQ(y, c.north);
    }
}

// Equatorial centre on the sphere: on the equator at dlon = pi - delta the
// denominator is 1 - cos(delta), below 1e-7 for delta < delta0.
TEST(LambertEqualArea, NearTheAntipodeTheSearchStepsWestAtMost98Times) {
    Instance p = sphere("lambazea", "centre_lat", "centre_merid", 0, 0);
    const double delta0 = 2 * std::asin(std::sqrt(0.5e-7));
    struct Case {
        double delta;
        int status;
    } cases[] = {
        {delta0 + 0.5 * kStep, 0},               // outside the band: no search
        {delta0 - 10.5 * kStep, 0},              // leaves the band after 11 steps
        {delta0 - 97.5 * kStep, 0},              // after 98 steps, the last allowed
        {delta0 - 99.5 * kStep, -2}, {1e-4, -2}, // deep in the band, yet not the antipode
    };
    for (const Case &c : cases) {
        double x = 123.0, y = 456.0;
        const int status = p.forward(kPi - c.delta, 0.0, x, y);
        EXPECT_EQ(status, c.status) << c.delta;
        if (status == 0) {
            // Near the outer circle, the image of the antipode: x keeps the
            // unshifted sin(dlon) over the shifted denominator, which puts
            // it up to 0.4 % inside.
            EXPECT_NEAR(x, 1000.0 + 2 * kRadius, 0.01 * kRadius) << c.delta;
            EXPECT_EQ(y, 2000.0);
        } else {
            EXPECT_TRUE(x == 123.0 && y == 456.0) << "outputs written on failure";
        }
    }
}

TEST(LambertEqualArea, EllipsoidalSearchFailsDeepInTheBandButNotAtTheAntipode) {
    Instance e("lambazea");
    e.set("spheroid.radius", 6378137.0).set("spheroid.eccentricity", 0.081819191042815792);
    e.set("centre_lat", 52 * kDegree).set("centre_merid", 10 * kDegree);
    ASSERT_EQ(e.init(), 0);
    double x = 123.0, y = 456.0;
    EXPECT_EQ(e.forward(-170 * kDegree, -51.999 * kDegree, x, y), -2);
    EXPECT_TRUE(x == 123.0 && y == 456.0);
    EXPECT_EQ(e.forward(-170 * kDegree, -51.9 * kDegree, x, y), 0);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
}

} // namespace
