// The scalar operations of the formula templates. A formula that both a
// per-point routine and a vector kernel compute is written once, as a
// template over the number type inside namespace mpx_forms, and calls these
// names unqualified: with double they resolve to the functions below (each
// the <cmath> routine the per-point path has always used), with a vector
// type to the overloads in that type's own namespace (argument-dependent
// lookup). A branch on a record field is a plain `if`; a branch on a value
// is a `select`, and a guard that sends a point elsewhere stays outside the
// template, in the routine that owns the status.
#pragma once

#include <cmath>

namespace mpx_forms {

inline double sqrt(double x) noexcept { return std::sqrt(x); }
inline double abs(double x) noexcept { return std::fabs(x); }
inline double atan(double x) noexcept { return std::atan(x); }
inline double atan2(double y, double x) noexcept { return std::atan2(y, x); }
inline double asinh(double x) noexcept { return std::asinh(x); }
inline double atanh(double x) noexcept { return std::atanh(x); }
inline double exp(double x) noexcept { return std::exp(x); }
inline double log(double x) noexcept { return std::log(x); }
inline double copysign(double magnitude, double sign) noexcept {
    return std::copysign(magnitude, sign);
}
inline void sincos(double x, double &s, double &c) noexcept {
    // One call pair that compilers fuse into a single sincos.
    s = std::sin(x);
    c = std::cos(x);
}
inline double select(bool condition, double if_true, double if_false) noexcept {
    return condition ? if_true : if_false;
}

// Beyond these magnitudes a sum of two squares overflows or loses digits to
// underflow (the square of 1e-150 is already below the normal range's
// 2.2e-308 by way of rounding); between them a plain square root is exact
// to rounding and several times cheaper than hypot.
inline constexpr double kLargestPlainNorm = 1e150;
inline constexpr double kSmallestPlainNorm = 1e-150;

// sqrt(a^2 + b^2) without overflow or underflow.
inline double norm(double a, double b) noexcept {
    const double r = std::sqrt(a * a + b * b);
    return r < kLargestPlainNorm && r > kSmallestPlainNorm ? r : std::hypot(a, b);
}

// Snyder eq. 3-35 from sin 2x and cos 2x (the coefficients of a series
// initialiser, e.g. mpx_snyder_init_3_21).
template <class T> T series_3_35(T sin_2x, T cos_2x, const double *s) noexcept {
    return sin_2x * (((s[3] * cos_2x + s[2]) * cos_2x + s[1]) * cos_2x + s[0]);
}

// The same series at x itself, for the callers that have no sine of x.
template <class T> T series_3_35(T x, const double *s) noexcept {
    T sin_2x, cos_2x;
    sincos(2.0 * x, sin_2x, cos_2x);
    return series_3_35(sin_2x, cos_2x, s);
}

// Snyder eq. 3-39 from cos 2x (the coefficients of mpx_proj_factors_39).
template <class T> T series_3_39(T cos_2x, const double *s) noexcept {
    return (((s[4] * cos_2x + s[3]) * cos_2x + s[2]) * cos_2x + s[1]) * cos_2x + s[0];
}

// Meridian distance (Snyder eq. 3-21) from phi and its sine and cosine:
// sin 2phi = 2 s c and cos 2phi = (c - s)(c + s) save the second pair of
// trigonometric calls.
template <class T> T meridian_distance(T phi, T s, T c, const double *m) noexcept {
    constexpr int kLinear = 5; // the factor of phi, as mpx_snyder_init_3_21 stores it
    return phi * m[kLinear] + series_3_35(2.0 * s * c, (c - s) * (c + s), m);
}

} // namespace mpx_forms
