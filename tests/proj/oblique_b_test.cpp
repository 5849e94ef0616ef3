// Oblique Mercator, Laborde, Borneo and Dutch grids: the init refusals, the
// guards and the bounded Newton search that the test tables cannot reach
// (refused records, statuses of -2, call counts).
#include "numeric/bounded_newton.hpp"
#include "support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using proj_test::Instance;

constexpr double kDegree = std::numbers::pi / 180;
constexpr double kIntlA = 6378388;
constexpr double kIntlE = 0.081991889979029772;

// Tananarive / Laborde Grid (EPSG:29701) on International 1924.
Instance laborde(double lat0, double az, double k0, double e, double tissot = 1) {
    Instance p("labordom");
    p.set("spheroid.radius", kIntlA).set("spheroid.eccentricity", e);
    p.set("false_east", 400000.0).set("false_north", 800000.0).set("scale_factor", k0);
    p.set("origin_lat", lat0).set("origin_long", 46.4372291666667 * kDegree);
    p.set("true_bearing", az).set("tissot_ind", tissot);
    return p;
}

TEST(LabordomInit, RefusesEveryDegenerateParameter) {
    const double lat0 = -18.9 * kDegree, az = 18.9 * kDegree;
    struct Case {
        const char *what;
        double lat0, az, k0, e;
    } cases[] = {
        {"origin on the equator", 0.0, az, 0.9995, kIntlE},
        {"origin at the north pole", 90 * kDegree, az, 0.9995, kIntlE},
        {"origin at the south pole", -90 * kDegree, az, 0.9995, kIntlE},
        {"azimuth 0", lat0, 0.0, 0.9995, kIntlE},
        {"azimuth 180", lat0, 180 * kDegree, 0.9995, kIntlE},
        {"azimuth -180", lat0, -180 * kDegree, 0.9995, kIntlE},
        {"azimuth 45", lat0, 45 * kDegree, 0.9995, kIntlE},
        {"azimuth -45", lat0, -45 * kDegree, 0.9995, kIntlE},
        {"azimuth 135", lat0, 135 * kDegree, 0.9995, kIntlE},
        {"azimuth -135", lat0, -135 * kDegree, 0.9995, kIntlE},
        {"scale factor 0", lat0, az, 0.0, kIntlE},
        {"eccentricity 1", lat0, az, 0.9995, 1.0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(laborde(c.lat0, c.az, c.k0, c.e).init(), -2) << c.what;
    // Just outside each threshold the record is accepted.
    EXPECT_EQ(laborde(1e-9, az, 0.9995, kIntlE).init(), 0);
    EXPECT_EQ(laborde(lat0, 1e-9, 0.9995, kIntlE).init(), 0);
    EXPECT_EQ(laborde(lat0, 45 * kDegree + 1e-9, 0.9995, kIntlE).init(), 0);
    EXPECT_EQ(laborde(lat0, az, 2e-7, kIntlE).init(), 0);
}

TEST(LabordomForward, RefusesTheTransverseSingularity) {
    Instance p = laborde(-18.9 * kDegree, 18.9 * kDegree, 0.9995, kIntlE);
    ASSERT_EQ(p.init(), 0);
    // Sphere longitudes are A times the ellipsoid's; half a turn of sphere
    // longitude from the central meridian is the guard of L/2 = 90 degrees.
    const double phi0 = -18.9 * kDegree, e2 = kIntlE * kIntlE;
    const double w = 1 - e2 * std::sin(phi0) * std::sin(phi0);
    const double p0s = std::atan(std::tan(phi0) * std::sqrt((1 - e2) / w));
    const double a = std::sin(phi0) / std::sin(p0s);
    double x = 1, y = 2;
    EXPECT_EQ(p.forward(46.4372291666667 * kDegree + std::numbers::pi / a, -18.9 * kDegree, x, y),
              -2);
    EXPECT_EQ(p.forward(46.4372291666667 * kDegree - std::numbers::pi / a, 10 * kDegree, x, y), -2);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

TEST(LabordomForward, WithoutTissotWeightTheAzimuthDropsOut) {
    // tissot_ind 0 leaves Ca = 1/(12 kRg^2), Cb = 0 for every azimuth.
    Instance p = laborde(-18.9 * kDegree, 18.9 * kDegree, 0.9995, kIntlE, 0.0);
    Instance q = laborde(-18.9 * kDegree, 70 * kDegree, 0.9995, kIntlE, 0.0);
    Instance tilted = laborde(-18.9 * kDegree, 70 * kDegree, 0.9995, kIntlE, 1.0);
    ASSERT_EQ(p.init(), 0);
    ASSERT_EQ(q.init(), 0);
    ASSERT_EQ(tilted.init(), 0);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    ASSERT_EQ(p.forward(49 * kDegree, -13 * kDegree, x1, y1), 0);
    ASSERT_EQ(q.forward(49 * kDegree, -13 * kDegree, x2, y2), 0);
    ASSERT_EQ(tilted.forward(49 * kDegree, -13 * kDegree, x3, y3), 0);
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2);
    EXPECT_GT(std::hypot(x3 - x1, y3 - y1), 1.0); // the weight does act
}

TEST(BorneoRotation, KeepsTheNaturalDistanceFromTheOrigin) {
    // The rotation by sin 0.8, cos 0.6 preserves u^2 + v^2. (u, v) are PROJ's
    // unrectified Hotine coordinates (+proj=omerc +no_uoff +gamma=0 with the
    // EPSG:29873 constants); the fixed constants agree with them to 3 cm.
    Instance p("borneo");
    p.set("spheroid.radius", 6377298.556).set("spheroid.eccentricity", 0.081472980982652696);
    p.set("scale_factor", 0.99984);
    ASSERT_EQ(p.init(), 0);
    const struct {
        double lon, lat, v, u;
    } points[] = {{115.805505444444, 5.387253583333, -69702.7871, 901334.2571},
                  {118.5, 6.5, 8817.8611, 1214272.0201},
                  {110, 1.5, -111678.7004, 127510.4420}};
    for (const auto &pt : points) {
        double x = 0, y = 0;
        ASSERT_EQ(p.forward(pt.lon * kDegree, pt.lat * kDegree, x, y), 0);
        EXPECT_NEAR(std::hypot(x, y), std::hypot(pt.u, pt.v), 0.03) << pt.lon << " " << pt.lat;
    }
}

// Every keyword, hostile points: the routine returns, with a status of the
// contract, and never a non-finite coordinate with status 0.
TEST(ObliqueGrids, HostilePointsGetStatusesNotNumbers) {
    Instance hom("obmerc_b");
    hom.set("spheroid.radius", 6378137.0).set("spheroid.eccentricity", 0.0818191910428158);
    hom.set("scale_factor", 0.9999).set("azimuth_angl", -36.8698976 * kDegree);
    hom.set("origin_lat", 57 * kDegree).set("origin_long", -133.6666667 * kDegree);
    Instance lab = laborde(-18.9 * kDegree, 18.9 * kDegree, 0.9995, kIntlE);
    Instance rso("borneo");
    rso.set("spheroid.radius", 6377298.556).set("spheroid.eccentricity", 0.0814729809826527);
    rso.set("scale_factor", 0.99984);
    Instance rd("dutch");
    rd.set("false_east", 155000.0).set("false_north", 463000.0);
    constexpr double kInf = HUGE_VAL, kPi = std::numbers::pi;
    const double points[][2] = {{NAN, 0.5},   {0.5, NAN},      {kInf, 0.5},    {0.5, -kInf},
                                {1e300, 0},   {0.5, 1e300},    {-0.5, 2.5},    {4 * kPi, 1},
                                {1, -1000},   {-1e6 * kPi, 1}, {0.3, kPi / 2}, {0.3, -kPi / 2},
                                {-1e-300, 0}, {3, -1.5}};
    for (Instance *p : {&hom, &lab, &rso, &rd}) {
        ASSERT_EQ(p->init(), 0);
        for (const auto &[u, w] : points) {
            double x = 0, y = 0, lon = 0, lat = 0;
            const int forward = p->forward(u, w, x, y);
            const int backward = p->backward(u * 1e6, w * 1e6, lon, lat);
            SCOPED_TRACE(testing::Message()
                         << p->entry().descriptor->name << " at " << u << " " << w);
            EXPECT_TRUE(forward == 0 || forward == 1 || forward == 2 || forward == -2) << forward;
            EXPECT_TRUE(backward == 0 || backward == 1 || backward == -2) << backward;
            if (forward == 0)
                EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << x << " " << y;
            if (backward == 0)
                EXPECT_TRUE(std::isfinite(lon) && std::isfinite(lat)) << lon << " " << lat;
        }
    }
}

// Synthetic forward mappings for the search, counting their calls.
int g_calls = 0;

// x = lambda, y = phi, in radians: the identity plane.
int identity(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = lon;
    *y = lat;
    return 0;
}

// Images below 1e6 in x are out of reach, with a regular Jacobian
// everywhere but on lambda = 0.
int parabola(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = (lon * lon + 1) * 1e6;
    *y = lat * 1e6;
    return 0;
}

// A smooth mapping whose images flatten out: x = tanh(lambda).
int bounded_image(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = std::tanh(lon) * 1e6;
    *y = std::tanh(lat) * 1e6;
    return 0;
}

int always_fails(void *, double, double, double *, double *) {
    ++g_calls;
    return 2;
}

// Flat in latitude: the Jacobian is singular everywhere.
int flat(void *, double lon, double, double *x, double *y) {
    ++g_calls;
    *x = lon * 1e6;
    *y = 0;
    return 0;
}

TEST(BoundedNewtonSearch, AcceptsTheStartAtOnceAndSolvesALinearMapInOneStep) {
    double lon = 9, lat = 9;
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(identity, nullptr, 0.5, 0.25, 0.5, 0.25, &lon, &lat), 0);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(lon, 0.5);
    EXPECT_EQ(lat, 0.25);
    // Scaled so that one degree is far beyond the 0.0001 acceptance.
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(bounded_image, nullptr, 2e5, -3e5, 0.0, 0.0, &lon, &lat), 0);
    EXPECT_NEAR(lon, std::atanh(0.2), 1e-9);
    EXPECT_NEAR(lat, std::atanh(-0.3), 1e-9);
    EXPECT_LT(g_calls, 40);
}

TEST(BoundedNewtonSearch, ClampsTheStartIntoItsBounds) {
    double lon = 9, lat = 9;
    // From the clamped start (179 W, 88 S) the search walks to the solution
    // of the identity, itself beyond both clamps.
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(identity, nullptr, 3.14, 1.55, -10.0, -10.0, &lon, &lat), 0);
    EXPECT_EQ(g_calls, 4); // start, one step (two derivatives), accepted
    EXPECT_NEAR(lon, 3.14, 1e-9);
    EXPECT_NEAR(lat, 1.55, 1e-9);
}

TEST(BoundedNewtonSearch, EveryFailureIsBoundedAndReported) {
    double lon = 9, lat = 9;
    // Images out of reach: at most 99 passes of three evaluations.
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(parabola, nullptr, 0.0, 0.0, 0.5, 0.0, &lon, &lat), -2);
    EXPECT_GT(g_calls, 3);
    EXPECT_LE(g_calls, 3 * 100);
    EXPECT_EQ(lon, 9);
    EXPECT_EQ(lat, 9);
    // A solution beyond the pole is refused.
    EXPECT_EQ(bounded_newton_search(identity, nullptr, 0.0, 1.6, 0.0, 1.5, &lon, &lat), -2);
    EXPECT_EQ(lat, 9);
    // A failing forward: -2, the start point written as the last point.
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(always_fails, nullptr, 0.0, 0.0, 0.1, 0.2, &lon, &lat), -2);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(lon, 0.1);
    EXPECT_EQ(lat, 0.2);
    // A Jacobian that becomes singular ends the search quietly where it
    // stands, even short of the image (tanh flattens far out).
    EXPECT_EQ(bounded_newton_search(bounded_image, nullptr, 2e6, 0.0, 0.0, 0.0, &lon, &lat), 0);
    EXPECT_GT(lon, 10.0);
    EXPECT_EQ(lat, 0.0);
    // A singular Jacobian at the start ends the search there.
    EXPECT_EQ(bounded_newton_search(flat, nullptr, 5e5, 5.0, 0.3, 0.4, &lon, &lat), 0);
    EXPECT_EQ(lon, 0.3);
    EXPECT_EQ(lat, 0.4);
    // NaN never starts.
    g_calls = 0;
    EXPECT_EQ(bounded_newton_search(identity, nullptr, NAN, 0.0, 0.0, 0.0, &lon, &lat), -2);
    EXPECT_EQ(g_calls, 0);
}

} // namespace
