// Ellipsoid series against closed forms and published values, the Horner
// forms against the sine and cosine series they stand for, and the
// terms/difference pairs.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180;
// WGS 84: a = 6378137 m, 1/f = 298.257223563.
constexpr double kWgsA = 6378137.0;
constexpr double kWgsF = 1 / 298.257223563;
const double kWgsE = std::sqrt(kWgsF * (2 - kWgsF));

using Series = double[MPX_SERIES_SIZE];

TEST(MeridianDistance, QuarterMeridianOfWgs84) {
    Series s{};
    mpx_snyder_init_3_21(kWgsE, kWgsA, s);
    // Published length of the WGS 84 quarter meridian: 10 001 965.729 m.
    EXPECT_NEAR(mpx_snyder_eqn_3_21(kPi / 2, s), 10001965.729, 0.001);
    EXPECT_EQ(mpx_snyder_eqn_3_21(-kPi / 2, s), -mpx_snyder_eqn_3_21(kPi / 2, s));
    EXPECT_EQ(mpx_snyder_eqn_3_21(0.0, s), 0.0);
}

TEST(LatitudeSeries, InvertTheClosedFormsOverTheWholeQuadrant) {
    Series conformal{}, authalic{}, footpoint{}, meridian{};
    mpx_snyder_init_3_5(kWgsE, conformal);
    mpx_snyder_init_3_18(kWgsE, authalic);
    mpx_snyder_init_3_26(kWgsE, footpoint);
    mpx_snyder_init_3_21(kWgsE, kWgsA, meridian);
    const double e2 = kWgsE * kWgsE;
    const double q_pole = mpx_snyder_eqn_3_12(1.0, 1.0, kWgsE, e2);
    for (int deg = -90; deg <= 90; deg += 5) {
        const double phi = deg * kDeg;
        const double s = std::sin(phi);
        const double chi = mpx_snyder_eqn_3_1(s, kWgsE);
        EXPECT_NEAR(chi + mpx_snyder_eqn_3_35(chi, conformal), phi, 1e-11) << deg;
        // Truncated at e^6: about 2.5e-10 rad, 1.6 mm. At the poles asin
        // would magnify the rounding of q / q_pole.
        const double beta = std::asin(mpx_snyder_eqn_3_12(s, s * s, kWgsE, e2) / q_pole);
        if (std::abs(deg) < 90)
            EXPECT_NEAR(mpx_snyder_eqn_3_18(beta, authalic), phi, 1e-9) << deg;
        const double mu = mpx_snyder_eqn_3_21(phi, meridian) / meridian[5];
        EXPECT_NEAR(mu + mpx_snyder_eqn_3_35(mu, footpoint), phi, 1e-9) << deg;
    }
}

TEST(LatitudeSeries, ZeroEccentricityLeavesOnlyTheSphere) {
    Series s{};
    for (auto init : {mpx_snyder_init_3_5, mpx_snyder_init_3_18, mpx_snyder_init_3_26}) {
        init(0.0, s);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s[i], 0.0);
        EXPECT_EQ(mpx_snyder_eqn_3_35(0.7, s), 0.0);
    }
    mpx_snyder_init_3_21(0.0, 6371000.0, s);
    EXPECT_EQ(s[5], 6371000.0);
    EXPECT_DOUBLE_EQ(mpx_snyder_eqn_3_21(0.7, s), 0.7 * 6371000.0);
    EXPECT_EQ(mpx_snyder_eqn_3_24(0.0), 0.0);
    EXPECT_DOUBLE_EQ(mpx_snyder_eqn_3_1(std::sin(0.7), 0.0), 0.7);
    EXPECT_DOUBLE_EQ(mpx_snyder_eqn_9_13(std::sin(0.7), 0.0), std::tan(kPi / 4 - 0.35));
}

TEST(AuthalicQ, SphereBelowOneHundredMillionthEccentricity) {
    EXPECT_EQ(mpx_snyder_eqn_3_12(0.6, 0.36, 1e-9, 1e-18), 1.2);
    EXPECT_EQ(mpx_snyder_eqn_3_12(-0.6, 0.36, -1e-8, 1e-16), -1.2);
    // Just above the limit the ellipsoidal form already loses digits.
    EXPECT_NEAR(mpx_snyder_eqn_3_12(0.6, 0.36, 2e-8, 4e-16), 1.2, 1e-8);
    EXPECT_NEAR(mpx_snyder_eqn_3_12(1.0, 1.0, 0.0818, 0.0818 * 0.0818), 1.99553, 1e-5);
}

TEST(AuthalicIteration, RecoversTheLatitudeFromQ) {
    const double e2 = kWgsE * kWgsE;
    for (int deg = -85; deg <= 85; deg += 17) {
        const double phi = deg * kDeg;
        const double s = std::sin(phi);
        const double q = mpx_snyder_eqn_3_12(s, s * s, kWgsE, e2);
        double start = std::asin(q / 2);
        EXPECT_EQ(mpx_snyder_eqn_3_16(&start, q, kWgsE, e2), 0) << deg;
        EXPECT_NEAR(start, phi, 1e-11) << deg;
    }
}

TEST(AuthalicIteration, FailsWithoutTouchingTheStartValue) {
    const double e2 = kWgsE * kWgsE;
    // Beyond q of the pole (1.99553 for WGS 84) there is no latitude, and NaN
    // never settles: both run into the cap.
    for (double q : {2.5, -2.5, std::numeric_limits<double>::quiet_NaN()}) {
        double phi = 0.3;
        EXPECT_EQ(mpx_snyder_eqn_3_16(&phi, q, kWgsE, e2), -2) << q;
        EXPECT_EQ(phi, 0.3);
    }
}

// Direct sums of the series the Horner forms stand for.
double sine_series_2x(double x, const double *c) {
    return c[0] * std::sin(2 * x) + c[1] * std::sin(4 * x) + c[2] * std::sin(6 * x) +
           c[3] * std::sin(8 * x);
}
double sine_series_odd(double x, const double *c) {
    return c[0] * std::sin(x) + c[1] * std::sin(3 * x) + c[2] * std::sin(5 * x) +
           c[3] * std::sin(7 * x);
}
double cosine_series(double x, const double *c) {
    return c[0] + c[1] * std::cos(2 * x) + c[2] * std::cos(4 * x) + c[3] * std::cos(6 * x) +
           c[4] * std::cos(8 * x);
}

TEST(HornerForms, EqualTheTrigonometricSeries) {
    const double c[5] = {0.7, -0.3, 0.11, -0.05, 0.023};
    Series s35{}, s37{}, s39{};
    mpx_proj_factors_35(c[0], c[1], c[2], c[3], s35);
    mpx_proj_factors_37(c[0], c[1], c[2], c[3], s37);
    mpx_proj_factors_39(c[0], c[1], c[2], c[3], c[4], s39);
    for (double x = -3.2; x <= 3.2; x += 0.1) {
        EXPECT_NEAR(mpx_snyder_eqn_3_35(x, s35), sine_series_2x(x, c), 1e-14) << x;
        EXPECT_NEAR(mpx_snyder_eqn_3_37(x, s37), sine_series_odd(x, c), 1e-14) << x;
        EXPECT_NEAR(mpx_snyder_eqn_3_39(x, s39), cosine_series(x, c), 1e-14) << x;
    }
}

TEST(HornerForms, DifferenceAgainstStoredTermsIsTheChangeOfTheSeries) {
    Series s35{}, s37{}, s39{}, s18{}, s21{};
    mpx_proj_factors_35(0.7, -0.3, 0.11, -0.05, s35);
    mpx_proj_factors_37(0.7, -0.3, 0.11, -0.05, s37);
    mpx_proj_factors_39(0.7, -0.3, 0.11, -0.05, 0.023, s39);
    mpx_snyder_init_3_18(kWgsE, s18);
    mpx_snyder_init_3_21(kWgsE, kWgsA, s21);
    struct Form {
        void (*terms)(double, const double *, double *);
        double (*diff)(double, const double *, const double *);
        double (*value)(double, const double *);
        const double *s;
        double scale;
    };
    const Form forms[] = {
        {mpx_snyder_eqn_3_35_terms, mpx_snyder_eqn_3_35_diff, mpx_snyder_eqn_3_35, s35, 1},
        {mpx_snyder_eqn_3_37_terms, mpx_snyder_eqn_3_37_diff, mpx_snyder_eqn_3_37, s37, 1},
        {mpx_snyder_eqn_3_39_terms, mpx_snyder_eqn_3_39_diff, mpx_snyder_eqn_3_39, s39, 1},
        {mpx_snyder_eqn_3_18_terms, mpx_snyder_eqn_3_18_diff, mpx_snyder_eqn_3_18, s18, 1},
        {mpx_snyder_eqn_3_21_terms, mpx_snyder_eqn_3_21_diff, mpx_snyder_eqn_3_21, s21, kWgsA},
    };
    for (const Form &f : forms) {
        for (double x : {-1.5, -0.4, 0.0, 0.3, 1.2}) {
            Series t{};
            f.terms(x, f.s, t);
            EXPECT_EQ(f.diff(x, f.s, t), 0.0) << x;
            const double y = x + 0.05;
            EXPECT_NEAR(f.diff(y, f.s, t), f.value(y, f.s) - f.value(x, f.s), 1e-14 * f.scale);
        }
    }
}

} // namespace
