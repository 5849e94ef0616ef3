// Complex arithmetic in which every step that could overflow is checked
// first; the first guard that trips ends the operation with status 1 and
// both parts DBL_MAX. The operands' own status is not looked at.
#include "mpxlib.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr mpx_complex kOverflow = {DBL_MAX, DBL_MAX, 1};

} // namespace

extern "C" mpx_complex mpx_complex_add(mpx_complex a, mpx_complex b) noexcept {
    if (mpx_check_add(a.re, b.re) || mpx_check_add(a.im, b.im))
        return kOverflow;
    return {a.re + b.re, a.im + b.im, 0};
}

extern "C" mpx_complex mpx_complex_subtract(mpx_complex a, mpx_complex b) noexcept {
    if (mpx_check_subtract(a.re, b.re) || mpx_check_subtract(a.im, b.im))
        return kOverflow;
    return {a.re - b.re, a.im - b.im, 0};
}

extern "C" mpx_complex mpx_complex_multiply(mpx_complex a, mpx_complex b) noexcept {
    if (mpx_check_multiply(a.re, b.re) || mpx_check_multiply(a.im, b.im) ||
        mpx_check_multiply(a.re, b.im) || mpx_check_multiply(a.im, b.re))
        return kOverflow;
    const double p = a.re * b.re;
    const double q = a.im * b.im;
    const double s = a.re * b.im;
    const double t = a.im * b.re;
    if (mpx_check_subtract(p, q) || mpx_check_add(s, t))
        return kOverflow;
    return {p - q, t + s, 0};
}

extern "C" mpx_complex mpx_complex_divide(mpx_complex a, mpx_complex b) noexcept {
    if (mpx_check_multiply(b.re, b.re) || mpx_check_multiply(b.im, b.im) ||
        mpx_check_multiply(a.re, b.re) || mpx_check_multiply(a.im, b.im) ||
        mpx_check_multiply(a.im, b.re) || mpx_check_multiply(a.re, b.im))
        return kOverflow;
    const double re2 = b.re * b.re;
    const double im2 = b.im * b.im;
    if (mpx_check_add(re2, im2))
        return kOverflow;
    const double d = re2 + im2;
    const double rr = a.re * b.re;
    const double ii = a.im * b.im;
    if (mpx_check_add(rr, ii))
        return kOverflow;
    const double nr = rr + ii;
    if (mpx_check_divide(nr, d))
        return kOverflow;
    const double ir = a.im * b.re;
    const double ri = a.re * b.im;
    if (mpx_check_subtract(ir, ri))
        return kOverflow;
    const double ni = ir - ri;
    if (mpx_check_divide(ni, d))
        return kOverflow;
    return {nr / d, ni / d, 0};
}

// Principal value: the argument of z is taken in (-pi, pi].
extern "C" mpx_complex mpx_complex_power(mpx_complex z, double p) noexcept {
    if (mpx_check_multiply(z.re, z.re) || mpx_check_multiply(z.im, z.im))
        return kOverflow;
    const double re2 = z.re * z.re;
    const double im2 = z.im * z.im;
    if (mpx_check_add(re2, im2))
        return kOverflow;
    const double r = std::sqrt(re2 + im2);
    const double theta = std::atan2(z.im, z.re);
    const double rp = std::pow(r, p);
    return {rp * std::cos(p * theta), rp * std::sin(p * theta), 0};
}
