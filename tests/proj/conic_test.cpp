// What the conic test tables cannot say: the init statuses of impossible
// cones, and that the Lambert backward routine leaves the forward strict
// again however it ends.
#include "tests/proj/support.hpp"

#include <cmath>
#include <numbers>

namespace {

using proj_test::Instance;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84E = 0.0818191908426215;

Instance lambert2(double first, double second) {
    Instance p("lambert2");
    p.set("spheroid.radius", kWgs84A)
        .set("spheroid.eccentricity", kWgs84E)
        .set("scale_factor", 1.0)
        .set("first_paral", first * kDegree)
        .set("second_paral", second * kDegree);
    return p;
}

TEST(LambertInit, RefusesStandardParallelsAtOrBeyondThePoles) {
    for (const auto &[first, second] :
         {std::pair{90.0, 45.0}, {30.0, -90.0}, {100.0, 40.0}, {NAN, 40.0}, {40.0, 90.0}})
        EXPECT_EQ(lambert2(first, second).init(), 1) << first << " " << second;
    // Just inside the pole the cone is still made.
    EXPECT_EQ(lambert2(89.9, 60.0).init(), 0);
}

TEST(LambertInit, RefusesAOneParallelConeWithItsOriginAtAPole) {
    Instance p("lambert1");
    p.set("spheroid.radius", kWgs84A).set("spheroid.eccentricity", kWgs84E);
    p.set("scale_factor", 1.0).set("centre_lat", std::numbers::pi / 2);
    EXPECT_EQ(p.init(), 1);
    p.set("centre_lat", 89.0 * kDegree);
    EXPECT_EQ(p.init(), 0);
}

TEST(LambertBackward, LeavesTheForwardStrictAfterSuccessAndFailure) {
    Instance p = lambert2(44.0, 49.0);
    ASSERT_EQ(p.init(), 0);
    double x = 0, y = 0, lon = 0, lat = 0;
    ASSERT_EQ(p.forward(0.05, 0.8, x, y), 0);
    ASSERT_EQ(p.backward(x, y, lon, lat), 0);
    EXPECT_EQ(p.forward(0.0, 1.6, x, y), 1);
    // Far beyond the cone's reach the iteration fails, and the flag is
    // cleared on that exit too.
    EXPECT_EQ(p.backward(1e12, -1e12, lon, lat), -2);
    EXPECT_EQ(p.forward(0.0, 1.6, x, y), 1);
    EXPECT_EQ(p.forward(0.0, -1.6, x, y), 1);
}

TEST(ConicInit, RefusesConesOfParallelsOfOppositeSignAndEqualSize) {
    for (const char *keyword : {"albersea", "coniced"}) {
        Instance p(keyword);
        p.set("spheroid.radius", kWgs84A).set("spheroid.eccentricity", kWgs84E);
        p.set("first_paral", 30 * kDegree).set("second_paral", -30 * kDegree);
        EXPECT_EQ(p.init(), 1) << keyword;
        p.set("second_paral", -20 * kDegree);
        EXPECT_EQ(p.init(), 0) << keyword;
    }
}

} // namespace
