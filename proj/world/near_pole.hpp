// Shared by the world projections whose auxiliary-angle equations meet a
// multiple root at the poles (Mollweide, Eckert IV): near a pole they solve
// for the complement of the angle, where this difference appears.
#pragma once

#include <cmath>

// eps - sin eps, accurate to a few ulp for every eps in [0, pi]: below
// 0.25 from its series (the direct difference would lose 6 ulp / eps^2 of
// its relative accuracy), above by the difference itself.
inline double eps_minus_sin(double eps) noexcept {
    constexpr double kSeriesLimit = 0.25;
    if (eps >= kSeriesLimit)
        return eps - std::sin(eps);
    const double e2 = eps * eps;
    // eps^3/3! - eps^5/5! + eps^7/7! - eps^9/9! + eps^11/11!, Horner form.
    return eps * e2 *
           (1.0 / 6 - e2 * (1.0 / 120 - e2 * (1.0 / 5040 - e2 * (1.0 / 362880 - e2 / 39916800.0))));
}
