// What the tables cannot say for the New Zealand, modified-stereographic
// and Swiss grids: init refusals, and bad or far-away input through
// routines whose statuses (-2 among them) fall outside the tables'
// hostile check.
#include "tests/proj/support.hpp"

#include <cmath>
#include <numbers>

namespace {

using proj_test::Instance;

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kNaN = NAN;
constexpr double kInf = HUGE_VAL;

// GS-50 on Clarke 1866 (Snyder 1987, Table 33), the ten-term set.
void set_gs50(Instance &p) {
    constexpr double kA[10] = {0.9827497, 0.0210669,  -0.1031415, -0.0323337, 0.0502303,
                               0.0251805, -0.0012315, 0.0072202,  -0.0194029, -0.0210072};
    constexpr double kB[10] = {0.0,       0.0053804,  -0.0571664, -0.0322847, 0.1211983,
                               0.0895678, -0.1416121, -0.1317091, 0.0759677,  0.0834037};
    const char *a_names[10] = {"coeff_a1", "coeff_a2", "coeff_a3", "coeff_a4", "coeff_a5",
                               "coeff_a6", "coeff_a7", "coeff_a8", "coeff_a9", "coeff_a10"};
    const char *b_names[10] = {"coeff_b1", "coeff_b2", "coeff_b3", "coeff_b4", "coeff_b5",
                               "coeff_b6", "coeff_b7", "coeff_b8", "coeff_b9", "coeff_b10"};
    for (int j = 0; j < 10; ++j)
        p.set(a_names[j], kA[j]).set(b_names[j], kB[j]);
    p.set("spheroid.radius", 6378206.4).set("spheroid.eccentricity", 0.0822718542230039);
    p.set("centre_lat", 45 * kDegree).set("centre_merid", -120 * kDegree);
    p.set("num_const", std::int32_t{10});
}

TEST(ModifiedStereographic, RefusesACoefficientCountOutsideZeroToTen) {
    Instance p("modstero");
    set_gs50(p);
    for (std::int32_t n : {11, 1000, -1}) {
        p.set("num_const", n);
        EXPECT_EQ(p.init(), -1) << n;
    }
    p.set("num_const", std::int32_t{10});
    EXPECT_EQ(p.init(), 0);
}

TEST(ModifiedStereographic, EllipsoidRefusesACentreAtTheNorthPole) {
    Instance p("modstero");
    set_gs50(p);
    p.set("centre_lat", std::numbers::pi / 2);
    EXPECT_EQ(p.init(), -2);
    // The sphere has no conformal latitude to form.
    p.set("spheroid.eccentricity", 0.0);
    EXPECT_EQ(p.init(), 0);
}

// Points that no map can represent, on the sphere and the ellipsoid: the
// routines return within their caps, with the documented statuses, and
// never hand back a non-finite coordinate with status 0; on failure the
// outputs are untouched.
TEST(ModifiedStereographic, BadInputGetsAStatusAndNeverANonFiniteResult) {
    const double points[][2] = {{kNaN, 0.5},      {0.5, kNaN},  {kInf, 0.5}, {0.5, -kInf},
                                {1e300, 0.7},     {0.5, 1e300}, {-0.5, 2.5}, {1.0, -1000.0},
                                {-1e6 * 3.14, 1}, {1.0, 0.3}};
    for (double e : {0.0822718542230039, 0.0}) {
        Instance p("modstero");
        set_gs50(p);
        p.set("spheroid.eccentricity", e);
        ASSERT_EQ(p.init(), 0);
        for (const auto &[u, w] : points) {
            double x = 123, y = 456, lon = 123, lat = 456;
            const int forward = p.forward(u, w, x, y);
            const int backward = p.backward(u * 1e7, w * 1e7, lon, lat);
            EXPECT_TRUE(forward == 0 || forward == 1 || forward == -2) << forward;
            EXPECT_TRUE(backward == 0 || backward == -2) << backward;
            if (forward == 0)
                EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << u << " " << w;
            else
                EXPECT_TRUE(x == 123 && y == 456);
            if (backward == 0)
                EXPECT_TRUE(std::isfinite(lon) && std::isfinite(lat)) << u << " " << w;
            else
                EXPECT_TRUE(lon == 123 && lat == 456);
        }
    }
}

// The antipode of the centre: the stereographic scale is infinite there.
// Whatever the rounding leaves of the zero denominator, the result is a
// status or a finite point.
TEST(ModifiedStereographic, AntipodeOfTheCentreIsAStatusOrAFinitePoint) {
    Instance p("modstero");
    set_gs50(p);
    p.set("spheroid.eccentricity", 0.0);
    ASSERT_EQ(p.init(), 0);
    double x = 0, y = 0;
    const int status = p.forward(60 * kDegree, -45 * kDegree, x, y);
    EXPECT_TRUE(status == 1 || (status == 0 && std::isfinite(x) && std::isfinite(y))) << status;
}

Instance nzmg() {
    Instance p("nzmapgrd");
    p.set("spheroid.radius", 6378388.0).set("spheroid.eccentricity", 0.081991889979029772);
    p.set("centre_merid", 173 * kDegree).set("centre_lat", -41 * kDegree);
    p.set("false_east", 2510000.0).set("false_north", 6023150.0);
    EXPECT_EQ(p.init(), 0);
    return p;
}

// Far from New Zealand the closed series is poor but finite: the backward
// result is either refined (reproduces the input within 1 mm) or the
// series estimate, with status 0 either way.
TEST(NewZealandMapGrid, FarAwayGridPointsComeBackRefinedOrAsTheEstimate) {
    Instance p = nzmg();
    int refined = 0;
    for (const auto &[x, y] : {std::pair{2510000.0 + 3e6, 6023150.0},
                               {2510000.0, 6023150.0 - 4e6},
                               {-8e6, 1e7},
                               {2e7, -2e7}}) {
        double lon = 0, lat = 0, xb = 0, yb = 0;
        ASSERT_EQ(p.backward(x, y, lon, lat), 0) << x << " " << y;
        ASSERT_TRUE(std::isfinite(lon) && std::isfinite(lat));
        if (p.forward(lon, lat, xb, yb) == 0 && std::fabs(xb - x) + std::fabs(yb - y) <= 0.001)
            ++refined;
    }
    // Within a few thousand kilometres the refinement still wins.
    EXPECT_GE(refined, 1);
}

// The longitude difference is not wrapped: a turn of 2 pi is a different
// point of the series, far outside its domain.
TEST(NewZealandMapGrid, LongitudeOneTurnAwayIsNotWrapped) {
    Instance p = nzmg();
    double x = 0, y = 0, xt = 0, yt = 0;
    ASSERT_EQ(p.forward(174 * kDegree, -41 * kDegree, x, y), 0);
    const int status = p.forward(174 * kDegree + 2 * std::numbers::pi, -41 * kDegree, xt, yt);
    EXPECT_TRUE(status == 1 || std::fabs(xt - x) > 1e6) << status << " " << xt;
}

} // namespace
