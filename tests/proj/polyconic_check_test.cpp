// The polyconic inverse's check: a result that does not reproduce its
// input is still written, with status 1 (the table format requires
// untouched outputs for every non-zero status, so this case lives here).
#include "tests/proj/support.hpp"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

TEST(RegpolCheck, MissedResultIsWrittenWithStatusOne) {
    proj_test::Instance p("regpol");
    ASSERT_TRUE(p.valid());
    p.set("spheroid.radius", 6378206.4).set("spheroid.eccentricity", 0.0822718542230039);
    p.set("scale_factor", 1.0).set("centre_merid", -96 * kDegree).set("centre_lat", 30 * kDegree);
    ASSERT_EQ(p.init(), 0);
    // 150 degrees east of the central meridian at 80 N the parallels
    // overlap: the iteration settles on a point whose image is elsewhere.
    double x = 0, y = 0;
    ASSERT_EQ(p.forward(54 * kDegree, 80 * kDegree, x, y), 0);
    double lon = 123.0, lat = 456.0;
    EXPECT_EQ(p.backward(x, y, lon, lat), 1);
    ASSERT_TRUE(std::isfinite(lon) && std::isfinite(lat));
    EXPECT_NE(lat, 456.0);
    double xb = 0, yb = 0;
    ASSERT_EQ(p.forward(lon, lat, xb, yb), 0);
    EXPECT_GT(std::fabs(xb - x) + std::fabs(yb - y), 1e-4);
}

} // namespace
