// Closed-form latitude functions of the ellipsoid (Snyder 1987): the
// isometric quantity t (9-13), the conformal latitude (3-1), the authalic
// quantity q (3-12) and its inverse by iteration (3-16).
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

// Below this eccentricity q is taken on the sphere: the ellipsoidal form
// divides by e and would lose all its digits to cancellation.
constexpr double kSphericalEccentricity = 1e-8;

} // namespace

// With x = sin phi: t = tan(pi/4 - phi/2) / ((1 - e sin phi)/(1 + e sin phi))^(e/2).
extern "C" double mpx_snyder_eqn_9_13(double x, double e) noexcept {
    return std::sqrt((1 - x) / (1 + x) * std::pow((1 + e * x) / (1 - e * x), e));
}

extern "C" double mpx_snyder_eqn_3_1(double sin_phi, double e) noexcept {
    return 2 * std::atan(mpx_snyder_eqn_9_13(-sin_phi, e)) - std::numbers::pi / 2;
}

extern "C" double mpx_snyder_eqn_3_12(double sin_phi, double sin2_phi, double e,
                                      double e2) noexcept {
    if (std::fabs(e) <= kSphericalEccentricity)
        return 2 * sin_phi;
    return (1 - e2) * (sin_phi / (1 - e2 * sin2_phi) -
                       1 / (2 * e) * std::log((1 - e * sin_phi) / (1 + e * sin_phi)));
}

// Newton-like fixed-point step of Snyder eq. 3-16. On success *phi gets the
// value before the last correction (within the tolerance of the newest);
// on failure (no settling, or NaN from a pole or bad input) *phi is left
// alone. At most kMaxIterations - 1 steps can succeed.
extern "C" int mpx_snyder_eqn_3_16(double *phi, double q, double e, double e2) noexcept {
    double next = *phi;
    for (int step = 1; step < kMaxIterations; ++step) {
        const double old = next;
        const double s = std::sin(old);
        const double c = std::cos(old);
        const double w = 1 - e2 * s * s;
        next = old + w * w / (2 * c) *
                         (q / (1 - e2) - s / w + 1 / (2 * e) * std::log((1 - e * s) / (1 + e * s)));
        if (std::fabs(old - next) <= kLatitudeTolerance) {
            *phi = old;
            return 0;
        }
    }
    return -2;
}
