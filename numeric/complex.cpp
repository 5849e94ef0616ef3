// Complex arithmetic in which every step that could overflow is checked
// first; the first guard that trips ends the operation with status 1 and
// both parts DBL_MAX. The operands' own status is not looked at. The
// operations are stated in numeric/complex_ops.hpp.
#include "numeric/complex_ops.hpp"

#include "mpxlib.h"

extern "C" mpx_complex mpx_complex_add(mpx_complex a, mpx_complex b) noexcept {
    return complex_ops::add(a, b);
}

extern "C" mpx_complex mpx_complex_subtract(mpx_complex a, mpx_complex b) noexcept {
    return complex_ops::subtract(a, b);
}

extern "C" mpx_complex mpx_complex_multiply(mpx_complex a, mpx_complex b) noexcept {
    return complex_ops::multiply(a, b);
}

extern "C" mpx_complex mpx_complex_divide(mpx_complex a, mpx_complex b) noexcept {
    return complex_ops::divide(a, b);
}

// Principal value: the argument of z is taken in (-pi, pi].
extern "C" mpx_complex mpx_complex_power(mpx_complex z, double p) noexcept {
    return complex_ops::power(z, p);
}
