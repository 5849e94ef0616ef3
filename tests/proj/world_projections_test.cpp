// The world projections where a table line cannot say it: the Eckert
// inverses' non-numbers outside the outline, the three departures against
// their continuous neighbours, the poles' longitude, and hostile points for
// the projections whose routines may answer -2.
#include "tests/proj/support.hpp"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using proj_test::Instance;

constexpr double kPi = std::numbers::pi;
constexpr double kRadius = 6371007.0;
constexpr double kMillimetre = 0.001;

Instance sphere(const char *keyword) {
    Instance p(keyword);
    p.set("spheroid.radius", kRadius);
    if (std::string(keyword) == "winktrip")
        p.set("scale_factor", 1.0);
    EXPECT_EQ(p.init(), 0);
    return p;
}

// Outside the outline (beyond the pole lines) both inverses keep the
// arcsine of a number beyond 1: NaN, written out, with status 1. Just
// inside they answer.
TEST(EckertOutline, InversesGiveNaNJustOutsideThePoleLinesAndAnswerJustInside) {
    for (const char *keyword : {"eckertiv", "eckertvi"}) {
        SCOPED_TRACE(keyword);
        Instance p = sphere(keyword);
        double x = 0, pole_y = 0, lon = 0, lat = 0;
        ASSERT_EQ(p.forward(kPi, kPi / 2, x, pole_y), 0);
        ASSERT_EQ(p.backward(0, pole_y * (1 - 1e-9), lon, lat), 0);
        EXPECT_NEAR(lat, kPi / 2, 1e-4);
        EXPECT_EQ(lon, 0.0);
        for (double y : {pole_y * (1 + 1e-9), -pole_y * (1 + 1e-9), 3 * pole_y}) {
            lon = lat = 0;
            EXPECT_EQ(p.backward(0, y, lon, lat), 1);
            EXPECT_TRUE(std::isnan(lat)) << y;
        }
        // Beyond the outline in x only: a longitude past 180 degrees.
        double edge_x = 0, y = 0;
        ASSERT_EQ(p.forward(kPi, 0.5, edge_x, y), 0);
        ASSERT_EQ(p.backward(edge_x * 1.01, y, lon, lat), 0);
        EXPECT_NEAR(lon, 1.01 * kPi, 1e-12);
        EXPECT_NEAR(lat, 0.5, 1e-12);
    }
}

// Departure: the poles take theta = pi/2 exactly, and their neighbours
// follow the exact projection: near a pole at colatitude d,
// eps - sin eps = pi (1 - cos d) gives eps = (3 pi d^2)^(1/3) to a relative
// 1e-11 for d <= 1e-6, and x = kx pi sin(eps/2) at 180 degrees.
TEST(MollweidePoles, PoleLineIsExactAndItsNeighboursFollowTheExactProjection) {
    Instance p = sphere("mollweid");
    const double kx = std::sqrt(8.0) * kRadius / kPi;
    double x = 1, y = 0, lon = 1, lat = 0;
    ASSERT_EQ(p.forward(kPi, kPi / 2, x, y), 0);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, std::sqrt(2.0) * kRadius);
    ASSERT_EQ(p.backward(5000.0, y, lon, lat), 0);
    EXPECT_EQ(lon, 0.0);
    EXPECT_EQ(lat, kPi / 2);
    for (double d : {1.01e-10, 1e-9, 1e-8, 1e-7, 1e-6}) {
        const double eps = std::cbrt(3 * kPi * d * d);
        ASSERT_EQ(p.forward(kPi, -(kPi / 2 - d), x, y), 0);
        // (d itself is known to 1e-16 rad only: 1e-6 of it at 1e-10.)
        EXPECT_NEAR(x, kx * kPi * std::sin(eps / 2), 1e-5 * x) << d;
        // The inverse keeps mpx_asin's snap of sin theta within 1e-10 of 1,
        // which takes colatitudes below 4.9e-8 rad (0.3 m) to the pole, and
        // recovers the colatitude beyond.
        ASSERT_EQ(p.backward(x, y, lon, lat), 0);
        if (d < 4.8e-8)
            EXPECT_EQ(lat, -kPi / 2) << d;
        else
            EXPECT_NEAR((lat + kPi / 2) * kRadius, d * kRadius, kMillimetre) << d;
    }
}

// Departure: near the equator y takes a form without cancellation, so it
// is finite everywhere, grows linearly with the latitude there and meets
// the equator's y = 0 within a millimetre.
TEST(GrintenEquator, YIsFiniteLinearAndContinuousNearTheEquator) {
    Instance p = sphere("grinten");
    for (double dlon : {1e-9, 1e-7, 1e-5, 0.5, 2.0, 3.1}) {
        SCOPED_TRACE(dlon);
        double x = 0, y1 = 0, y2 = 0;
        ASSERT_EQ(p.forward(dlon, 1.0000001e-10, x, y1), 0);
        EXPECT_LT(std::fabs(y1), kMillimetre);
        for (double lat = 1.1e-10; lat < 3e-5; lat *= 3) {
            ASSERT_EQ(p.forward(dlon, lat, x, y1), 0);
            ASSERT_EQ(p.forward(dlon, 2 * lat, x, y2), 0);
            ASSERT_TRUE(std::isfinite(y1) && std::isfinite(y2)) << lat;
            EXPECT_NEAR(y2, 2 * y1, 1e-4 * y1 + 1e-5) << lat;
            ASSERT_EQ(p.forward(dlon, -lat, x, y2), 0);
            EXPECT_EQ(y2, -y1);
        }
    }
    // No non-number anywhere on a one-degree grid of the world.
    for (double lat = -90; lat <= 90; lat += 1)
        for (double lon = -180; lon <= 180; lon += 1) {
            double x = 0, y = 0;
            ASSERT_EQ(p.forward(lon * kPi / 180, lat * kPi / 180, x, y), 0);
            ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << lon << " " << lat;
        }
}

// Departure: near the centre x is a dlon (both halves agree there), and
// near the central meridian at 60 degrees it is a dlon (1 + k)/2 with the
// Aitoff half's k = cos 60 (pi/3)/sin 60 (D/sin D with D = 60 degrees); the
// snapping arccosines gave half of it and 38 % less.
TEST(WinktripCentre, XIsContinuousAtTheCentreAndNearTheCentralMeridian) {
    Instance p = sphere("winktrip");
    const double at60 = (1 + 0.5 * (kPi / 3) / std::sin(kPi / 3)) / 2;
    for (double dlon : {1e-9, 1e-7, 3e-6, 1e-5, 4e-5, 1e-4}) {
        double x = 0, y = 0;
        ASSERT_EQ(p.forward(dlon, 0.0, x, y), 0);
        EXPECT_NEAR(x, kRadius * dlon, 1e-9 * kRadius * dlon + 1e-9) << dlon;
        ASSERT_EQ(p.forward(dlon, kPi / 3, x, y), 0);
        EXPECT_NEAR(x, kRadius * dlon * at60, 1e-6 * kRadius * dlon) << dlon;
        ASSERT_EQ(p.forward(-dlon, kPi / 3, x, y), 0);
        EXPECT_NEAR(x, -kRadius * dlon * at60, 1e-6 * kRadius * dlon) << dlon;
    }
    // Diagonally off the centre: the image lies between its neighbours.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    ASSERT_EQ(p.forward(9e-6, 9e-6, x1, y1), 0);
    ASSERT_EQ(p.forward(1e-5, 1e-5, x2, y2), 0);
    ASSERT_EQ(p.forward(1.1e-5, 1.1e-5, x3, y3), 0);
    EXPECT_NEAR(x2, (x1 + x3) / 2, kMillimetre);
    EXPECT_NEAR(y2, (y1 + y3) / 2, kMillimetre);
}

TEST(SinusoidPoles, PoleLineGoesBackToTheCentralMeridian) {
    Instance p("sinusoid");
    p.set("spheroid.radius", 6378137.0).set("spheroid.eccentricity", 0.0818191908426215);
    p.set("centre_merid", 0.5).set("false_east", 1000.0);
    ASSERT_EQ(p.init(), 0);
    double x = 0, y = 0, lon = 0, lat = 0;
    ASSERT_EQ(p.forward(2.0, -kPi / 2, x, y), 0);
    EXPECT_NEAR(x, 1000.0, 1e-6);
    ASSERT_EQ(p.backward(123456.0, y, lon, lat), 0);
    EXPECT_EQ(lon, 0.5);
    EXPECT_NEAR(lat, -kPi / 2, 1e-10);
}

// NaN, infinite and huge points: every routine returns one of its own
// statuses (0, 1, or -2 where an iteration does not settle), leaves the
// outputs alone when it fails (but the Eckert inverses, which write their
// NaN outside the outline, above), and never answers 0 with a non-number
// for a finite point.
TEST(WorldHostilePoints, StatusesAreTheRoutinesOwnAndNoNonNumberPassesAsSuccess) {
    constexpr double kInf = HUGE_VAL;
    constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
    const double points[][2] = {{kNan, 0.5}, {0.5, kNan},  {kInf, 0.5},    {0.5, -kInf},
                                {1e300, 0},  {0.5, 1e300}, {-0.5, 2.5},    {4 * kPi + 0.1, 1},
                                {1, -1000},  {-1e6, 1},    {0.3, kPi / 2}, {1e-300, -1e-300}};
    for (const char *keyword :
         {"robinson", "winktrip", "grinten", "mollweid", "sinusoid", "eckertiv", "eckertvi"}) {
        Instance p = sphere(keyword);
        for (const auto &[u, w] : points) {
            SCOPED_TRACE(std::string(keyword) + " " + std::to_string(u) + " " + std::to_string(w));
            double x = 123, y = 456;
            const int status = p.forward(u, w, x, y);
            EXPECT_TRUE(status == 0 || status == 1 || status == -2) << status;
            if (status != 0) {
                EXPECT_TRUE(x == 123 && y == 456);
            } else if (std::isfinite(u) && std::isfinite(w)) {
                EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << x << " " << y;
            }
            double lon = 123, lat = 456;
            const bool eckert = std::string(keyword).starts_with("eckert");
            const int back = p.backward(u * 1e6, w * 1e6, lon, lat);
            EXPECT_TRUE(back == 0 || back == 1 || back == -2) << back;
            if (back != 0) {
                EXPECT_TRUE(eckert || (lon == 123 && lat == 456));
            } else if (std::isfinite(u) && std::isfinite(w)) {
                EXPECT_TRUE(std::isfinite(lon) && std::isfinite(lat)) << lon << " " << lat;
            }
        }
    }
}

} // namespace
