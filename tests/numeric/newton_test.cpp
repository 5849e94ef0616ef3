// The finite-difference Newton refinement on small model mappings: where it
// converges, and each way it gives up without touching the start value.
#include "numeric/newton.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

int g_calls = 0;

int linear(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = 2 * lon + lat;
    *y = lon - 3 * lat;
    return 0;
}

int mirrored(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = -lon;
    *y = lat;
    return 0;
}

int failing(void *, double, double, double *, double *) {
    ++g_calls;
    return 1;
}

int exploding(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = 1e9 * lon;
    *y = 1e9 * lat;
    return 0;
}

int not_a_number(void *, double, double, double *x, double *y) {
    ++g_calls;
    *x = *y = std::numeric_limits<double>::quiet_NaN();
    return 0;
}

// Images stay in [1, 3]: a target of 0.5 is never reached and never runs
// away, so only the step cap ends the search.
int bounded(void *, double lon, double lat, double *x, double *y) {
    ++g_calls;
    *x = std::sin(lon) + 2;
    *y = std::sin(lat) + 2;
    return 0;
}

struct Case {
    const char *name;
    mpx_proj_forward_fn forward;
    NewtonTarget target;
};

TEST(NewtonRefine, ReachesTheSolutionOfALinearMapping) {
    g_calls = 0;
    double lon = 0.0, lat = 0.0;
    ASSERT_TRUE(newton_refine(linear, nullptr, {5, -1, 1e-12}, &lon, &lat));
    EXPECT_NEAR(lon, 2.0, 1e-12);
    EXPECT_NEAR(lat, 1.0, 1e-12);
    EXPECT_LE(g_calls, 1 + 3 * 2); // exact after one correction
}

TEST(NewtonRefine, AcceptsAnExactStartWithOneEvaluation) {
    g_calls = 0;
    double lon = 2.0, lat = 1.0;
    ASSERT_TRUE(newton_refine(linear, nullptr, {5, -1, 1e-12}, &lon, &lat));
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(lon, 2.0);
}

TEST(NewtonRefine, GivesUpWithoutTouchingTheStart) {
    const Case cases[] = {
        {"forward status", failing, {1, 1, 1e-9}},
        {"run-away image", exploding, {1, 1, 1e-9}},
        {"NaN image", not_a_number, {1, 1, 1e-9}},
        {"unreachable target", bounded, {0.5, 0.5, 1e-9}},
        {"refused determinant", mirrored, {1, 1, 1e-9, 1e-10}},
    };
    for (const Case &c : cases) {
        g_calls = 0;
        double lon = 0.25, lat = -0.5;
        EXPECT_FALSE(newton_refine(c.forward, nullptr, c.target, &lon, &lat)) << c.name;
        EXPECT_EQ(lon, 0.25) << c.name;
        EXPECT_EQ(lat, -0.5) << c.name;
        // 99 corrections of three evaluations at most.
        EXPECT_LE(g_calls, 3 * 99) << c.name;
    }
}

TEST(NewtonRefine, StopsAfterNinetyNineCorrections) {
    g_calls = 0;
    double lon = 0.25, lat = -0.5;
    EXPECT_FALSE(newton_refine(bounded, nullptr, {0.5, 0.5, 1e-9}, &lon, &lat));
    EXPECT_EQ(g_calls, 3 * 99);
}

TEST(NewtonRefine, NegativeDeterminantIsFineByDefault) {
    double lon = 0.0, lat = 0.0;
    ASSERT_TRUE(newton_refine(mirrored, nullptr, {1, 1, 1e-12}, &lon, &lat));
    EXPECT_NEAR(lon, -1.0, 1e-12);
    EXPECT_NEAR(lat, 1.0, 1e-12);
}

} // namespace
