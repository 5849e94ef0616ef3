// Longitude normalisation and the tolerant inverse functions at their
// thresholds, signed zeros, NaN and infinities.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NormalPi, BringsAnglesIntoMinusPiToPi) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {
        {3 * kPi, kPi},       {4.0, 4.0 - 2 * kPi},  {-3 * kPi / 2, kPi / 2},
        {7.0, 7.0 - 2 * kPi}, {-7.0, 2 * kPi - 7.0}, {2 * kPi, 0.0},
        {5 * kPi, kPi},       {-3 * kPi, -kPi},      {1e6, std::fmod(1e6, 2 * kPi) - 2 * kPi},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(mpx_normal_pi(c.in), c.out, 1e-15 * std::fabs(c.in)) << c.in;
}

TEST(NormalPi, LeavesValuesUpToALittleMoreThanPiUntouched) {
    for (double x : {0.0, -0.0, kPi, -kPi, kPi / 2, -kPi / 2, kPi + 5e-15, -kPi - 5e-15})
        EXPECT_EQ(std::signbit(mpx_normal_pi(x)), std::signbit(x)) << x;
    EXPECT_EQ(mpx_normal_pi(kPi + 5e-15), kPi + 5e-15);
    EXPECT_EQ(mpx_normal_pi(-kPi), -kPi);
    // Just outside the slack the angle wraps to the other side.
    EXPECT_NEAR(mpx_normal_pi(kPi + 2e-14), -kPi + 2e-14, 1e-15);
}

TEST(NormalPi, NonFiniteAnglesGiveNaN) {
    EXPECT_TRUE(std::isnan(mpx_normal_pi(kNaN)));
    EXPECT_TRUE(std::isnan(mpx_normal_pi(kInf)));
    EXPECT_TRUE(std::isnan(mpx_normal_pi(-kInf)));
}

TEST(TolerantAsinAcos, SnapToTheEndsWithinOneTenBillionth) {
    EXPECT_EQ(mpx_asin(1 + 5e-11), kPi / 2);
    EXPECT_EQ(mpx_asin(-1 - 5e-11), -kPi / 2);
    EXPECT_EQ(mpx_asin(1 - 5e-11), kPi / 2);
    EXPECT_EQ(mpx_acos(-1 - 5e-11), kPi);
    EXPECT_EQ(mpx_acos(1 + 5e-11), 0.0);
    EXPECT_EQ(mpx_acos(-1 + 5e-11), kPi);
    // Just beyond the slack the standard functions answer.
    EXPECT_EQ(mpx_asin(1 - 2e-10), std::asin(1 - 2e-10));
    EXPECT_TRUE(std::isnan(mpx_asin(1 + 2e-10)));
    EXPECT_TRUE(std::isnan(mpx_asin(1.001)));
    EXPECT_TRUE(std::isnan(mpx_acos(-1.001)));
}

TEST(TolerantAsinAcos, FollowTheStandardFunctionsInside) {
    EXPECT_TRUE(std::signbit(mpx_asin(-0.0)));
    EXPECT_EQ(mpx_asin(0.5), std::asin(0.5));
    EXPECT_EQ(mpx_acos(0.0), kPi / 2);
    EXPECT_EQ(mpx_acos(-0.5), std::acos(-0.5));
    for (double x : {kNaN, kInf, -kInf}) {
        EXPECT_TRUE(std::isnan(mpx_asin(x)));
        EXPECT_TRUE(std::isnan(mpx_acos(x)));
    }
}

TEST(Acosh, IsZeroOnTheUnitIntervalAndOddOutside) {
    for (double x : {0.0, -0.0, 0.5, 1.0, -1.0})
        EXPECT_EQ(mpx_acosh(x), 0.0) << x;
    EXPECT_EQ(mpx_acosh(-2.0), -mpx_acosh(2.0));
    EXPECT_DOUBLE_EQ(mpx_acosh(2.0), std::acosh(2.0));
    EXPECT_DOUBLE_EQ(mpx_acosh(1 + 1e-12), std::acosh(1 + 1e-12));
    // No overflow of x * x for huge arguments.
    EXPECT_DOUBLE_EQ(mpx_acosh(1e200), std::acosh(1e200));
    EXPECT_EQ(mpx_acosh(kInf), kInf);
    EXPECT_EQ(mpx_acosh(-kInf), -kInf);
    EXPECT_TRUE(std::isnan(mpx_acosh(kNaN)));
}

TEST(Atanh, ReturnsTheArgumentOutsideTheOpenUnitInterval) {
    EXPECT_EQ(mpx_atanh(1.0), 1.0);
    EXPECT_EQ(mpx_atanh(-1.0), -1.0);
    EXPECT_EQ(mpx_atanh(-3.0), -3.0);
    EXPECT_EQ(mpx_atanh(kInf), kInf);
    EXPECT_TRUE(std::isnan(mpx_atanh(kNaN)));
    EXPECT_TRUE(std::signbit(mpx_atanh(-0.0)));
    EXPECT_DOUBLE_EQ(mpx_atanh(0.5), std::atanh(0.5));
    EXPECT_DOUBLE_EQ(mpx_atanh(-0.999999), std::atanh(-0.999999));
    EXPECT_DOUBLE_EQ(mpx_atanh(1e-20), 1e-20);
}

} // namespace
