// Ellipsoid series against closed forms and a published value, and the Horner
// forms against the direct multiple-angle sums and their terms/differences.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using Series = double[MPX_SERIES_SIZE];
constexpr double kPi = std::numbers::pi;
constexpr double kWgsA = 6378137.0, kWgsE = 0.08181919084262149; // 1/f = 298.257223563

TEST(LatitudeSeries, InvertTheClosedFormsOrKeepTheStartAndGiveTheQuarterMeridian) {
    Series conformal{}, authalic{}, footpoint{}, meridian{};
    mpx_snyder_init_3_5(kWgsE, conformal);
    mpx_snyder_init_3_18(kWgsE, authalic);
    mpx_snyder_init_3_26(kWgsE, footpoint);
    mpx_snyder_init_3_21(kWgsE, kWgsA, meridian);
    EXPECT_NEAR(mpx_snyder_eqn_3_21(kPi / 2, meridian), 10001965.729, 0.001); // published
    EXPECT_EQ(mpx_snyder_eqn_3_21(-kPi / 2, meridian), -mpx_snyder_eqn_3_21(kPi / 2, meridian));
    const double e2 = kWgsE * kWgsE, q_pole = mpx_snyder_eqn_3_12(1.0, 1.0, kWgsE, e2);
    for (int deg = -89; deg <= 89; deg += 8) {
        const double phi = deg * kPi / 180, s = std::sin(phi);
        const double chi = mpx_snyder_eqn_3_1(s, kWgsE),
                     q = mpx_snyder_eqn_3_12(s, s * s, kWgsE, e2);
        const double mu = mpx_snyder_eqn_3_21(phi, meridian) / meridian[5];
        EXPECT_NEAR(chi + mpx_snyder_eqn_3_35(chi, conformal), phi, 1e-11) << deg;
        // Truncated at e^6: about 2.5e-10 rad, 1.6 mm.
        EXPECT_NEAR(mpx_snyder_eqn_3_18(std::asin(q / q_pole), authalic), phi, 1e-9) << deg;
        EXPECT_NEAR(mu + mpx_snyder_eqn_3_35(mu, footpoint), phi, 1e-9) << deg;
        double iterated = std::asin(q / 2);
        EXPECT_EQ(mpx_snyder_eqn_3_16(&iterated, q, kWgsE, e2), 0) << deg;
        EXPECT_NEAR(iterated, phi, 1e-11) << deg;
    }
    // Beyond q of the pole there is no latitude, and NaN never settles.
    for (double q : {2.5, -2.5, std::nan("")}) {
        double phi = 0.3;
        EXPECT_EQ(mpx_snyder_eqn_3_16(&phi, q, kWgsE, e2), -2) << q;
        EXPECT_EQ(phi, 0.3);
    }
}

TEST(LatitudeSeries, ZeroEccentricityLeavesOnlyTheSphere) {
    Series s{1, 1, 1, 1, 1, 1};
    for (auto init : {mpx_snyder_init_3_5, mpx_snyder_init_3_18, mpx_snyder_init_3_26}) {
        init(0.0, s);
        EXPECT_EQ(std::vector(s, s + 4), std::vector(4, 0.0));
    }
    mpx_snyder_init_3_21(0.0, 6371000.0, s);
    EXPECT_EQ(std::vector(s, s + 4), std::vector(4, 0.0));
    EXPECT_DOUBLE_EQ(mpx_snyder_eqn_3_21(0.7, s), 0.7 * 6371000.0);
    EXPECT_DOUBLE_EQ(mpx_snyder_eqn_3_1(std::sin(0.7), 0.0), 0.7); // through 9-13
    // 3-12 takes the sphere up to e = 1e-8; just above, the ellipsoidal form.
    EXPECT_EQ(mpx_snyder_eqn_3_12(0.6, 0.36, 1e-9, 1e-18), 1.2);
    EXPECT_EQ(mpx_snyder_eqn_3_12(-0.6, 0.36, -1e-8, 1e-16), -1.2);
    EXPECT_NEAR(mpx_snyder_eqn_3_12(0.6, 0.36, 2e-8, 4e-16), 1.2, 1e-8);
    EXPECT_NEAR(mpx_snyder_eqn_3_12(1.0, 1.0, 0.0818, 0.0818 * 0.0818), 1.99553, 1e-5);
}

// The sum of c[k] sin((first + 2k) x), or of c[k] cos(2k x) for first 0.
double direct_sum(double x, const double *c, int first, int count) {
    double sum = 0.0;
    for (int k = 0; k < count; ++k)
        sum += c[k] * (first ? std::sin((first + 2 * k) * x) : std::cos(2 * k * x));
    return sum;
}

// Forms against their direct sums; differences from terms against changes.
TEST(HornerForms, EqualTheMultipleAngleSumsAndTheirDifferences) {
    const double c[5] = {0.7, -0.3, 0.11, -0.05, 0.023};
    Series s35{}, s37{}, s39{}, s18{}, s21{};
    mpx_proj_factors_35(c[0], c[1], c[2], c[3], s35);
    mpx_proj_factors_37(c[0], c[1], c[2], c[3], s37);
    mpx_proj_factors_39(c[0], c[1], c[2], c[3], c[4], s39);
    mpx_snyder_init_3_18(kWgsE, s18);
    mpx_snyder_init_3_21(kWgsE, kWgsA, s21);
    const struct {
        void (*terms)(double, const double *, double *);
        double (*diff)(double, const double *, const double *);
        double (*value)(double, const double *);
        const double *s;
        int first, count;
    } forms[] = {
        {mpx_snyder_eqn_3_35_terms, mpx_snyder_eqn_3_35_diff, mpx_snyder_eqn_3_35, s35, 2, 4},
        {mpx_snyder_eqn_3_37_terms, mpx_snyder_eqn_3_37_diff, mpx_snyder_eqn_3_37, s37, 1, 4},
        {mpx_snyder_eqn_3_39_terms, mpx_snyder_eqn_3_39_diff, mpx_snyder_eqn_3_39, s39, 0, 5},
        {mpx_snyder_eqn_3_18_terms, mpx_snyder_eqn_3_18_diff, mpx_snyder_eqn_3_18, s18, 0, 0},
        {mpx_snyder_eqn_3_21_terms, mpx_snyder_eqn_3_21_diff, mpx_snyder_eqn_3_21, s21, 0, 0},
    };
    for (const auto &f : forms)
        for (double x : {-3.1, -1.5, -0.4, 0.0, 0.3, 1.2, 2.9}) {
            Series t{};
            f.terms(x, f.s, t);
            EXPECT_EQ(f.diff(x, f.s, t), 0.0) << x;
            const double y = x + 0.05, scale = std::fabs(f.value(y, f.s)) + 1;
            EXPECT_NEAR(f.diff(y, f.s, t), f.value(y, f.s) - f.value(x, f.s), 1e-14 * scale) << x;
            if (f.count)
                EXPECT_NEAR(f.value(x, f.s), direct_sum(x, c, f.first, f.count), 1e-14) << x;
        }
}

} // namespace
