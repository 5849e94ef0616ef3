// Shared by the azimuthal projections: statuses and the two guards every
// one of them applies at its edges.
#pragma once

#include <cmath>

// A point the projection cannot represent: a non-finite input or result,
// a point on the far side (orthographic, gnomonic), the antipode of the
// stereographic centre, or a map point beyond the outer circle.
inline constexpr int kStatusNotRepresentable = 1;

// Arcsine arguments within this of +-1 are rounding and take the end value
// (as mpx_asin does); farther out the map point lies beyond the outer
// circle of the projection and has no preimage.
inline constexpr double kUnitSlack = 1e-10;

inline bool finite(double u, double v) noexcept { return std::isfinite(u) && std::isfinite(v); }

// True when asin(x) exists up to rounding (false for NaN).
inline bool within_unit(double x) noexcept { return std::fabs(x) < 1.0 + kUnitSlack; }

// asin of an argument that within_unit accepted.
inline double clamped_asin(double x) noexcept {
    return std::asin(std::fmax(-1.0, std::fmin(1.0, x)));
}
