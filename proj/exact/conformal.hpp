// The conformal latitude of the ellipsoid through tangents, shared by the
// exact companions: tau' = tan chi from tau = tan phi, and back by Newton's
// method. Source: C. F. F. Karney, "Transverse Mercator with an accuracy of
// a few nanometers", J. Geodesy 85 (2011), eqs. 7-9 and 19-21.
#pragma once

#include <cmath>

// tau' = tan of the conformal latitude from tau = tan phi (eqs. 7-9).
inline double conformal_tan(double tau, double e) {
    const double root = std::hypot(1.0, tau);
    const double sigma = std::sinh(e * std::atanh(e * tau / root));
    return tau * std::hypot(1.0, sigma) - sigma * root;
}

// Newton's method converges quadratically: once a step is below this
// (relative), the next would be below the rounding of tau, so the step is
// taken and the iteration ends (Karney's stopping rule).
inline constexpr double kConformalStepTolerance = 1.4901161193847656e-09; // sqrt(2^-52) / 10
// From tau' / (1 - e^2) two steps suffice on the Earth; the cap lets any
// e < 1 settle.
inline constexpr int kConformalIterations = 10;

// tau from tau' (eqs. 19-21); false when it does not settle.
inline bool geographic_tan(double tau_prime, double e, double e2, double &tau) {
    const double one_minus_e2 = 1.0 - e2;
    double t = tau_prime / one_minus_e2;
    for (int i = 0; i < kConformalIterations; ++i) {
        const double tp = conformal_tan(t, e);
        const double dt = (tau_prime - tp) / std::hypot(1.0, tp) * (1.0 + one_minus_e2 * t * t) /
                          (one_minus_e2 * std::hypot(1.0, t));
        t += dt;
        if (!(std::fabs(dt) > kConformalStepTolerance * std::fmax(1.0, std::fabs(t)))) {
            tau = t;
            return std::isfinite(t);
        }
    }
    return false;
}
