// Longitude normalisation and inverse functions that tolerate arguments a
// rounding error outside their domain.
#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
// Angles up to a little more than pi (pi + 1e-14) are left alone, so that a
// value meant as +pi or -pi is not flipped to the other side by rounding.
constexpr double kNormalLimit = 3.1415926535898033;
// Distance from +-1 within which asin and acos take their end values: the
// rounding of sin and cos products can push an argument that far out.
constexpr double kUnitSlack = 1e-10;

} // namespace

// NaN and infinities come back as NaN (fmod of an infinity is NaN).
extern "C" double mpx_normal_pi(double angle) noexcept {
    if (std::fabs(angle) <= kNormalLimit)
        return angle;
    double r = std::fmod(angle, kTwoPi);
    if (r > kPi)
        r -= kTwoPi;
    if (r < -kPi)
        r += kTwoPi;
    return r;
}

// Further outside [-1, 1] the result is the standard one (NaN).
extern "C" double mpx_asin(double x) noexcept {
    if (std::fabs(std::fabs(x) - 1.0) < kUnitSlack)
        return x >= 0 ? kPi / 2 : -kPi / 2;
    return std::asin(x);
}

extern "C" double mpx_acos(double x) noexcept {
    if (std::fabs(std::fabs(x) - 1.0) < kUnitSlack)
        return x >= 0 ? 0.0 : kPi;
    return std::acos(x);
}

// Odd extension: acosh(-x) = -acosh(x); 0 on [-1, 1]. Outside, the value
// ln(sqrt(x^2 - 1) + |x|). Below 2 it is ln(1 + t + sqrt(2t + t^2)) with the
// exact t = |x| - 1, through log1p: not every C library's acosh avoids the
// cancellation near 1 (the Windows runtime's loses half the digits at
// 1 + 1e-12). Above, the standard acosh, which avoids the overflow of x^2
// above 1e154.
extern "C" double mpx_acosh(double x) noexcept {
    const double a = std::fabs(x);
    if (a <= 1.0)
        return 0.0;
    double r;
    if (a < 2.0) {
        const double t = a - 1.0;
        r = std::log1p(t + std::sqrt(2.0 * t + t * t));
    } else {
        r = std::acosh(a);
    }
    return x < 0 ? -r : r;
}

// Outside (-1, 1) the argument itself comes back (also NaN and infinities),
// so callers never meet an infinity. Inside, the value 0.5 ln((1+x)/(1-x))
// comes from the standard atanh, which keeps full relative accuracy.
extern "C" double mpx_atanh(double x) noexcept {
    if (x * x < 1.0)
        return std::atanh(x);
    return x;
}
