// Inversion of a projection by a two-dimensional Newton iteration on its
// forward routine, with finite-difference derivatives. Used where the
// closed-form inverse is only an estimate (Cassini, and later Van der
// Grinten and the national grids built on the same pattern).
#pragma once

#include "mpxlib.h"
#include "numeric/thresholds.hpp"

#include <cmath>
#include <limits>

struct NewtonTarget {
    double x, y;      // the map point to reach, false origin included
    double tolerance; // |x - X| + |y - Y| that counts as reached
    // A Jacobian determinant below this (signed) ends the search; the
    // default accepts every determinant.
    double min_determinant = -std::numeric_limits<double>::infinity();
};

// Starts from (*lon, *lat) with steps of one degree and returns true with
// the solution in *lon, *lat once the forward image is within the
// tolerance. Returns false, leaving *lon and *lat alone, when a forward
// call fails, the images run away (beyond 10000 times the target in both
// coordinates, or NaN), the determinant is refused, or kMaxIterations is
// reached.
bool newton_refine(mpx_proj_forward_fn forward, void *params, const NewtonTarget &target,
                   double *lon, double *lat) noexcept;

// The next finite-difference step: half the last correction, a fresh
// secant scale for the next derivative, but never below the floor where
// rounding dominates (a step at or under it becomes +kNewtonMinStep).
inline double newton_next_step(double correction) noexcept {
    const double h = correction / 2;
    return std::fabs(h) <= kNewtonMinStep ? kNewtonMinStep : h;
}
