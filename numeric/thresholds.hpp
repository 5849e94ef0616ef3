// Thresholds shared by the projections. Each projection states its own
// limits, but these few recur everywhere; they live here once so that no
// projection file carries a private copy.
#pragma once

#include <cmath>
#include <numbers>

// A latitude counts as a pole when |pi/2 - |phi|| <= this (radians): about
// 0.6 mm on the Earth, well below survey accuracy, yet far above the
// rounding of pi/2 so that tan, sec and log(tan) stay finite away from it.
inline constexpr double kPoleTolerance = 1e-10;

// A denominator (a cosine, a longitude difference, a divisor of a complex
// quotient) smaller than this is treated as zero: below it the quotients
// lose more than half of their significant digits.
inline constexpr double kZeroDenominator = 1e-7;

// Latitude iterations stop when successive values agree within this
// (radians, about 6 micrometres on the Earth): a few hundred ulps of pi/2,
// reachable by every converging iteration in double precision.
inline constexpr double kLatitudeTolerance = 1e-12;

// Finite-difference Newton inversions start with steps of one degree
// (radians) ...
inline constexpr double kNewtonStartStep = 0.017453292519943295;
// ... and never let a step fall below 1e-5 degree: a smaller difference
// quotient would be dominated by the rounding of the forward formulas.
inline constexpr double kNewtonMinStep = 1.7453292519943297e-07;

// Cap of every iteration: a converging iteration needs a handful of steps,
// so reaching the cap means it will not settle.
inline constexpr int kMaxIterations = 100;

// True when phi lies within kPoleTolerance of a pole (false for NaN).
inline bool is_pole(double phi) noexcept {
    return std::fabs(std::numbers::pi / 2 - std::fabs(phi)) <= kPoleTolerance;
}

// Status of a projection routine whose result is not a finite number (a
// NaN or infinite input, an overflow far outside the projection's area): a
// routine refuses such a point rather than hand on a silent non-number.
inline constexpr int kStatusNotFinite = 1;

// Stores (a, b) in the outputs and returns 0 when both are finite; else
// leaves the outputs alone and returns kStatusNotFinite.
inline int store_finite(double a, double b, double *out_a, double *out_b) noexcept {
    if (!std::isfinite(a) || !std::isfinite(b))
        return kStatusNotFinite;
    *out_a = a;
    *out_b = b;
    return 0;
}
