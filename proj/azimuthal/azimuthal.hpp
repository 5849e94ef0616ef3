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

// The point at angular distance c (given as sin c, cos c) from a centre at
// latitude phi1 on the sphere, in the map direction (dx, dy) of length rho
// (Snyder 1987 eqs. 20-14 and 20-15). The latitude comes from atan2 of the
// point's unit vector rather than from the arcsine of its z component,
// which loses half the digits within a few degrees of the poles.
struct SphereOffset {
    double lat;  // radians
    double dlon; // from the central meridian, radians in [-pi, pi]
};

inline SphereOffset sphere_offset(double sin_c, double cos_c, double dx, double dy, double rho,
                                  double sin_lat1, double cos_lat1) noexcept {
    const double east = sin_c * dx;
    const double north = cos_c * cos_lat1 * rho - sin_c * sin_lat1 * dy;
    const double up = cos_c * sin_lat1 * rho + sin_c * cos_lat1 * dy;
    return {std::atan2(up, std::hypot(east, north)), std::atan2(east, north)};
}
