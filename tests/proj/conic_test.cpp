// What the conic test tables cannot say: the init statuses of impossible
// cones, that the Lambert backward routine leaves the forward strict again
// however it ends, and sweeps of the bipolar conic's inverse.
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

// The bipolar oblique conic of the Americas on Snyder's sphere.
Instance bipolar() {
    Instance p("bioconco");
    p.set("spheroid.radius", 6370997.0);
    EXPECT_EQ(p.init(), 0);
    return p;
}

// Angle between two points of the sphere (radians), well defined at the
// poles where longitude is not.
double separation(double lon1, double lat1, double lon2, double lat2) {
    const double dlon = lon1 - lon2;
    const double across = std::cos(lat1) * std::sin(dlon);
    const double along =
        std::cos(lat2) * std::sin(lat1) - std::sin(lat2) * std::cos(lat1) * std::cos(dlon);
    const double dot =
        std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(dlon);
    return std::atan2(std::hypot(across, along), dot);
}

// Forward then backward returns the point within 1e-9 rad; or, where
// refusal is allowed, -2 with the outputs untouched. True when refused.
bool expect_round_trip(Instance &p, double lon_deg, double lat_deg, bool may_refuse) {
    double x = 0, y = 0;
    if (p.forward(lon_deg * kDegree, lat_deg * kDegree, x, y) != 0) {
        ADD_FAILURE() << "no forward at " << lon_deg << " " << lat_deg;
        return false;
    }
    constexpr double kUntouched = 12345.0;
    double lon = kUntouched, lat = kUntouched;
    const int status = p.backward(x, y, lon, lat);
    if (status == 0) {
        EXPECT_LT(separation(lon, lat, lon_deg * kDegree, lat_deg * kDegree), 1e-9)
            << lon_deg << " " << lat_deg << " came back as " << lon / kDegree << " "
            << lat / kDegree;
        return false;
    }
    EXPECT_TRUE(may_refuse) << lon_deg << " " << lat_deg << " refused: " << status;
    EXPECT_EQ(status, -2) << lon_deg << " " << lat_deg;
    EXPECT_EQ(lon, kUntouched);
    EXPECT_EQ(lat, kUntouched);
    return true;
}

// In the Atlantic south-west of pole B (45 N, 19.99 W) the forward draws
// the points in the cone of A just behind B, where Snyder's adjustment
// does not settle; down to a few hundred metres from the pole (within 90 m
// the forward draws its own cone's points at the apex).
TEST(BioconcoBackward, ReturnsThePointsSouthWestOfPoleB) {
    Instance p = bipolar();
    for (double lat = 37.5; lat < 45; lat += 0.5)
        for (double lon = -24.5; lon <= -20; lon += 0.5)
            expect_round_trip(p, lon, lat, false);
    for (const double lat : {44.95, 44.99, 44.998})
        for (const double lon : {-20.05, -20.01, -19.995, -19.99})
            expect_round_trip(p, lon, lat, false);
}

// Over the globe, by 5 degrees, the inverse returns every point of the
// map, and may refuse only the plain cone of B more than 104 degrees from
// B (45 N, 19.99 W), and the points beyond pole A (20 S, 110 W) that the
// forward draws where that plain cone lies too.
TEST(BioconcoBackward, RefusesOnlyBeyondThePolesDistanceAndWhereTheForwardFolds) {
    Instance p = bipolar();
    constexpr double kLonB = -19.99334893 * kDegree, kLatB = 45 * kDegree;
    int refused = 0;
    for (double lat = -87.5; lat < 90; lat += 5)
        for (double lon = -177.5; lon < 180; lon += 5) {
            const bool beyond_pole_a = lat < 5 && (lon < -107 || lon > 158);
            const bool beyond_poles_distance =
                separation(lon * kDegree, lat * kDegree, kLonB, kLatB) > 104 * kDegree;
            refused +=
                expect_round_trip(p, lon, lat, beyond_pole_a || beyond_poles_distance) ? 1 : 0;
        }
    EXPECT_GT(refused, 0);
    // The fold reaches the South Pole: 55 m from it (where mpx_asin reads
    // the latitude's sine as -1) the points of the cone of A still share
    // their plane points with points of the cone of B near 30 S, 155 W.
    for (double lon = -177.5; lon < -110; lon += 5)
        EXPECT_TRUE(expect_round_trip(p, lon, -89.9995, true)) << lon;
}

} // namespace
