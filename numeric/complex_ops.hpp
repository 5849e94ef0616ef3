// The overflow predicates and the guarded complex arithmetic, written once
// as inline functions: the exported mpx_check_* and mpx_complex_* wrap
// them, and the projections that run long chains of complex operations
// ("nzmapgrd", "modstero") call them directly, so that a chain stays in
// registers instead of passing 24-byte values through the library's
// exported entry points. Same operations in the same order: the results
// are bit for bit those of the exported functions.
#pragma once

#include "mpxlib.h"

#include <cfloat>
#include <cmath>

namespace complex_ops {

// 2^-1024: a quotient a / b overflows when |b| <= |a| * 2^-1024.
inline constexpr double kInverseDblMax = 5.562684646268003e-309;
// Divisors this small are refused whatever the dividend: the complex
// quotient that uses this guard would lose its precision.
inline constexpr double kSmallestDivisor = 1e-7;
// The value of every failed operation.
inline constexpr mpx_complex kOverflow = {DBL_MAX, DBL_MAX, 1};

// The predicates: true when the operation would overflow. The comparisons
// are strict as the complex arithmetic expects; a NaN operand never trips
// one.
inline bool add_overflows(double a, double b) noexcept {
    const bool same_sign = (a > 0 && b > 0) || (a < 0 && b < 0);
    return same_sign && std::fabs(b) > DBL_MAX - std::fabs(a);
}

inline bool subtract_overflows(double a, double b) noexcept {
    return (a > 0 && b < 0 && DBL_MAX - a < std::fabs(b)) ||
           (a < 0 && b > 0 && DBL_MAX - b < std::fabs(a));
}

inline bool multiply_overflows(double a, double b) noexcept {
    return std::fabs(b) > 1.0 && DBL_MAX / std::fabs(b) < std::fabs(a);
}

inline bool divide_overflows(double a, double b) noexcept {
    const double ab = std::fabs(b);
    return ab <= std::fabs(a) * kInverseDblMax || ab <= kSmallestDivisor;
}

// Each operation runs its guards in order; the first that trips ends it
// with status 1 and both parts DBL_MAX. The operands' status is not read.
inline mpx_complex add(mpx_complex a, mpx_complex b) noexcept {
    if (add_overflows(a.re, b.re) || add_overflows(a.im, b.im))
        return kOverflow;
    return {a.re + b.re, a.im + b.im, 0};
}

inline mpx_complex subtract(mpx_complex a, mpx_complex b) noexcept {
    if (subtract_overflows(a.re, b.re) || subtract_overflows(a.im, b.im))
        return kOverflow;
    return {a.re - b.re, a.im - b.im, 0};
}

inline mpx_complex multiply(mpx_complex a, mpx_complex b) noexcept {
    if (multiply_overflows(a.re, b.re) || multiply_overflows(a.im, b.im) ||
        multiply_overflows(a.re, b.im) || multiply_overflows(a.im, b.re))
        return kOverflow;
    const double p = a.re * b.re;
    const double q = a.im * b.im;
    const double s = a.re * b.im;
    const double t = a.im * b.re;
    if (subtract_overflows(p, q) || add_overflows(s, t))
        return kOverflow;
    return {p - q, t + s, 0};
}

inline mpx_complex divide(mpx_complex a, mpx_complex b) noexcept {
    if (multiply_overflows(b.re, b.re) || multiply_overflows(b.im, b.im) ||
        multiply_overflows(a.re, b.re) || multiply_overflows(a.im, b.im) ||
        multiply_overflows(a.im, b.re) || multiply_overflows(a.re, b.im))
        return kOverflow;
    const double re2 = b.re * b.re;
    const double im2 = b.im * b.im;
    if (add_overflows(re2, im2))
        return kOverflow;
    const double d = re2 + im2;
    const double rr = a.re * b.re;
    const double ii = a.im * b.im;
    if (add_overflows(rr, ii))
        return kOverflow;
    const double nr = rr + ii;
    if (divide_overflows(nr, d))
        return kOverflow;
    const double ir = a.im * b.re;
    const double ri = a.re * b.im;
    if (subtract_overflows(ir, ri))
        return kOverflow;
    const double ni = ir - ri;
    if (divide_overflows(ni, d))
        return kOverflow;
    return {nr / d, ni / d, 0};
}

// z in polar form, as the power operation takes it: the modulus and the
// principal argument in (-pi, pi]; failed when a guard on z trips. The
// guards and both values depend on z alone, so one polar form serves
// every power of z.
struct Polar {
    double modulus, argument;
    bool failed;
};

inline Polar polar(mpx_complex z) noexcept {
    if (multiply_overflows(z.re, z.re) || multiply_overflows(z.im, z.im))
        return {0.0, 0.0, true};
    const double re2 = z.re * z.re;
    const double im2 = z.im * z.im;
    if (add_overflows(re2, im2))
        return {0.0, 0.0, true};
    return {std::sqrt(re2 + im2), std::atan2(z.im, z.re), false};
}

// z to the real power p from z's polar form: (r^p cos(p theta), r^p sin(p theta)).
inline mpx_complex power(Polar z, double p) noexcept {
    if (z.failed)
        return kOverflow;
    const double rp = std::pow(z.modulus, p);
    return {rp * std::cos(p * z.argument), rp * std::sin(p * z.argument), 0};
}

inline mpx_complex power(mpx_complex z, double p) noexcept { return power(polar(z), p); }

} // namespace complex_ops
