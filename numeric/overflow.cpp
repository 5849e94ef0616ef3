// Predicates that tell, before an operation, whether it would overflow
// (numeric/complex_ops.hpp states them).
#include "numeric/complex_ops.hpp"

#include "mpxlib.h"

extern "C" int mpx_check_add(double a, double b) noexcept {
    return complex_ops::add_overflows(a, b) ? 1 : 0;
}

extern "C" int mpx_check_subtract(double a, double b) noexcept {
    return complex_ops::subtract_overflows(a, b) ? 1 : 0;
}

extern "C" int mpx_check_multiply(double a, double b) noexcept {
    return complex_ops::multiply_overflows(a, b) ? 1 : 0;
}

extern "C" int mpx_check_divide(double a, double b) noexcept {
    return complex_ops::divide_overflows(a, b) ? 1 : 0;
}
