// Predicates that tell, before an operation, whether it would overflow.
// The comparisons are strict as the complex arithmetic expects; a NaN
// operand never trips a predicate.
#include "mpxlib.h"

#include <cfloat>
#include <cmath>

namespace {

// 2^-1024: a quotient a / b overflows when |b| <= |a| * 2^-1024.
constexpr double kInverseDblMax = 5.562684646268003e-309;
// Divisors this small are refused whatever the dividend: the complex
// quotient that uses this guard would lose its precision.
constexpr double kSmallestDivisor = 1e-7;

} // namespace

extern "C" int mpx_check_add(double a, double b) noexcept {
    const bool same_sign = (a > 0 && b > 0) || (a < 0 && b < 0);
    return same_sign && std::fabs(b) > DBL_MAX - std::fabs(a) ? 1 : 0;
}

extern "C" int mpx_check_subtract(double a, double b) noexcept {
    if (a > 0 && b < 0 && DBL_MAX - a < std::fabs(b))
        return 1;
    if (a < 0 && b > 0 && DBL_MAX - b < std::fabs(a))
        return 1;
    return 0;
}

extern "C" int mpx_check_multiply(double a, double b) noexcept {
    return std::fabs(b) > 1.0 && DBL_MAX / std::fabs(b) < std::fabs(a) ? 1 : 0;
}

extern "C" int mpx_check_divide(double a, double b) noexcept {
    const double ab = std::fabs(b);
    return ab <= std::fabs(a) * kInverseDblMax || ab <= kSmallestDivisor ? 1 : 0;
}
