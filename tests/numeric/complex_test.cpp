// Overflow predicates at their limits, and complex arithmetic with and
// without a tripped guard.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(OverflowPredicates, AddAndSubtractTripOnlyWhenMagnitudesAddUp) {
    EXPECT_EQ(mpx_check_add(1e308, 1e308), 1);
    EXPECT_EQ(mpx_check_add(-1e308, -1e308), 1);
    EXPECT_EQ(mpx_check_add(1e308, -1e308), 0);
    EXPECT_EQ(mpx_check_add(8e307, 8e307), 0);
    EXPECT_EQ(mpx_check_add(0.0, DBL_MAX), 0);
    EXPECT_EQ(mpx_check_add(-0.0, -DBL_MAX), 0);
    EXPECT_EQ(mpx_check_add(kNaN, DBL_MAX), 0);

    EXPECT_EQ(mpx_check_subtract(1e308, -1e308), 1);
    EXPECT_EQ(mpx_check_subtract(-1e308, 1e308), 1);
    EXPECT_EQ(mpx_check_subtract(1e308, 1e308), 0);
    EXPECT_EQ(mpx_check_subtract(8e307, -8e307), 0);
    EXPECT_EQ(mpx_check_subtract(0.0, -DBL_MAX), 0);
    EXPECT_EQ(mpx_check_subtract(kNaN, -DBL_MAX), 0);
}

TEST(OverflowPredicates, MultiplyTripsOnlyForFactorsAboveOne) {
    EXPECT_EQ(mpx_check_multiply(1e200, 1e200), 1);
    EXPECT_EQ(mpx_check_multiply(-1e155, 1e154), 1);
    EXPECT_EQ(mpx_check_multiply(1e154, -1e154), 0);
    EXPECT_EQ(mpx_check_multiply(DBL_MAX, 1.0), 0);
    EXPECT_EQ(mpx_check_multiply(1e300, 0.5), 0);
    EXPECT_EQ(mpx_check_multiply(kNaN, 1e300), 0);
}

TEST(OverflowPredicates, DivideRefusesTinyDivisorsWhateverTheDividend) {
    EXPECT_EQ(mpx_check_divide(0.0, 1e-7), 1);
    EXPECT_EQ(mpx_check_divide(1.0, -1e-7), 1);
    EXPECT_EQ(mpx_check_divide(1.0, 1.0000001e-7), 0);
    EXPECT_EQ(mpx_check_divide(1.0, 0.0), 1);
    // A quotient above DBL_MAX is refused though the divisor is not tiny.
    EXPECT_EQ(mpx_check_divide(DBL_MAX, 0.5), 1);
    EXPECT_EQ(mpx_check_divide(DBL_MAX, 2.0), 0);
    EXPECT_EQ(mpx_check_divide(1e300, 1e-5), 0);
}

void expect_overflow(mpx_complex c) {
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.re, DBL_MAX);
    EXPECT_EQ(c.im, DBL_MAX);
}

void expect_value(mpx_complex c, double re, double im) {
    EXPECT_EQ(c.status, 0);
    EXPECT_NEAR(c.re, re, 1e-15 * (1 + std::fabs(re)));
    EXPECT_NEAR(c.im, im, 1e-15 * (1 + std::fabs(im)));
}

TEST(ComplexArithmetic, ComputesExactSmallCases) {
    const mpx_complex a{1, 2, 0}, b{3, 4, 0};
    expect_value(mpx_complex_add(a, b), 4, 6);
    expect_value(mpx_complex_subtract(a, b), -2, -2);
    expect_value(mpx_complex_multiply(a, b), -5, 10);
    expect_value(mpx_complex_divide({-5, 10, 0}, b), 1, 2);
    // The operands' status is not looked at.
    expect_value(mpx_complex_add({1, 1, 1}, {DBL_MAX, DBL_MAX, 1}), 1 + DBL_MAX, 1 + DBL_MAX);
}

TEST(ComplexArithmetic, PowerUsesThePrincipalArgument) {
    expect_value(mpx_complex_power({0, 1, 0}, 2), -1, std::sin(std::numbers::pi));
    expect_value(mpx_complex_power({-4, 0, 0}, 0.5), 2 * std::cos(std::numbers::pi / 2), 2);
    expect_value(mpx_complex_power({3, 4, 0}, 1), 3, 4);
    expect_value(mpx_complex_power({2, 0, 0}, -1), 0.5, 0);
}

TEST(ComplexArithmetic, GuardsEndWithBothPartsAtDblMax) {
    expect_overflow(mpx_complex_add({DBL_MAX, 0, 0}, {DBL_MAX, 0, 0}));
    expect_overflow(mpx_complex_add({0, 1e308, 0}, {0, 1e308, 0}));
    expect_overflow(mpx_complex_subtract({0, -1e308, 0}, {0, 1e308, 0}));
    expect_overflow(mpx_complex_multiply({1e200, 0, 0}, {1e200, 0, 0}));
    expect_overflow(mpx_complex_multiply({0, 1e200, 0}, {1e200, 0, 0}));
    // The products fit, their difference does not.
    expect_overflow(mpx_complex_multiply({1e154, 1e154, 0}, {1.5e154, -1.5e154, 0}));
    expect_overflow(mpx_complex_power({1e200, 0, 0}, 0.5));
    expect_overflow(mpx_complex_power({1.2e154, 1.2e154, 0}, 1));
}

TEST(ComplexArithmetic, DivisionRefusesSmallAndOverflowingQuotients) {
    // |b|^2 = 1e-8 is below the smallest accepted divisor.
    expect_overflow(mpx_complex_divide({1, 0, 0}, {1e-4, 0, 0}));
    expect_overflow(mpx_complex_divide({0, 0, 0}, {0, 1e-4, 0}));
    expect_overflow(mpx_complex_divide({1, 1, 0}, {0, 0, 0}));
    expect_overflow(mpx_complex_divide({1, 0, 0}, {1e200, 0, 0}));
    expect_overflow(mpx_complex_divide({1e307, 0, 0}, {1e-3, 0, 0}));
    expect_value(mpx_complex_divide({1, 0, 0}, {0, 1e-3, 0}), 0, -1e3);
}

} // namespace
