// The finite-difference Newton refinement on small model mappings.
#include "numeric/newton.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

int g_calls = 0;

// x = a u + b v, y = c u + d v with (u, v) the point, or (sin lon + 2,
// sin lat + 2) for a wave, whose images stay in [1, 3]; a given status.
struct Model {
    double a, b, c, d;
    bool wave = false;
    int status = 0;
};

int model(void *params, double lon, double lat, double *x, double *y) {
    const Model &m = *static_cast<const Model *>(params);
    ++g_calls;
    const double u = m.wave ? std::sin(lon) + 2 : lon, v = m.wave ? std::sin(lat) + 2 : lat;
    *x = m.a * u + m.b * v;
    *y = m.c * u + m.d * v;
    return m.status;
}

// At most 99 corrections of three forward calls each.
TEST(NewtonRefine, ConvergesOrGivesUpWithoutTouchingTheStart) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), x0 = 0.25, y0 = -0.5;
    const struct {
        const char *name;
        Model m;
        NewtonTarget target;
        bool found;
        double lon, lat;
        int most_calls;
    } cases[] = {
        {"linear, exact after one correction", {2, 1, 1, -3}, {5, -1, 1e-12}, true, 2, 1, 7},
        {"exact start", {1, 0, 0, 1}, {x0, y0, 1e-12}, true, x0, y0, 1},
        {"negative determinant", {-1, 0, 0, 1}, {1, 1, 1e-12}, true, -1, 1, 3 * 99},
        {"forward status", {1, 0, 0, 1, false, 1}, {1, 1, 1e-9}, false, x0, y0, 3 * 99},
        {"run-away image", {1e9, 0, 0, 1e9}, {1, 1, 1e-9}, false, x0, y0, 3 * 99},
        {"NaN image", {nan, nan, nan, nan}, {1, 1, 1e-9}, false, x0, y0, 3 * 99},
        {"refused determinant", {-1, 0, 0, 1}, {1, 1, 1e-9, 1e-10}, false, x0, y0, 3 * 99},
        // Never reached and never running away: only the cap ends it.
        {"unreachable target", {1, 0, 0, 1, true}, {0.5, 0.5, 1e-9}, false, x0, y0, 3 * 99},
    };
    for (auto c : cases) {
        g_calls = 0;
        double lon = x0, lat = y0;
        EXPECT_EQ(newton_refine(model, &c.m, c.target, &lon, &lat), c.found) << c.name;
        EXPECT_LE(std::hypot(lon - c.lon, lat - c.lat), c.found ? 1e-12 : 0.0) << c.name;
        EXPECT_LE(g_calls, c.most_calls) << c.name;
    }
    EXPECT_EQ(g_calls, 3 * 99); // the unreachable target took every correction
}

} // namespace
