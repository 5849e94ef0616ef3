// Exact companions of "lambert1" and "lambert2": the same records,
// parameters, modes and false origin (on the central parallel phi0, as in
// the classic form), computed with the closed formulas of the cone instead
// of a radius series in the meridian arc.
//
// Source: EPSG Guidance Note 7-2, Lambert Conic Conformal (1SP, method
// 9801; 2SP, method 9802): rho = R0 (t / t0)^n with R0 = k0 m0 / n the
// radius of the central parallel. The inverse's latitude from t: Newton's
// method on the conformal latitude (conformal.hpp), the same latitude as
// EPSG's fixed-point iteration in two steps instead of six. The cone itself
// (phi0 and k0 from one or two parallels) is the classic form's,
// lambert_cone.hpp.
//
// Domain: every latitude short of the pole the cone points away from (its
// radius is infinite there: status 1), longitudes folded into the central
// meridian +- pi; a latitude beyond a pole is refused (status 1). phi0 = 0
// is the Mercator limit: x = a k0 dlon, y = a k0 psi (psi the isometric
// latitude). A backward iteration that does not settle gives status -2; a
// NaN or infinite input or result gives status 1 forward and -2 backward,
// outputs untouched.
#include "numeric/thresholds.hpp"
#include "proj/conic/lambert_cone.hpp"
#include "proj/conic/lambert_keywords.hpp"
#include "proj/exact/conformal.hpp"
#include "proj/exact/exact.hpp"

#include "mpxlib.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

struct LambertRecord : LambertDeclared {
    // Derived by init.
    double n;  // sin phi0; 0 on the equator (the Mercator limit)
    double r0; // radius of the central parallel, R0 = k0 m0 / n
    double t0; // t of the central parallel
    double ak0;
};

LambertRecord &record_of(void *params) { return *static_cast<LambertRecord *>(params); }

constexpr double kHalfPi = std::numbers::pi / 2;
constexpr double kPoleLimit = kHalfPi + 1e-12;
constexpr int kStatusNotRepresentable = 1;
constexpr int kStatusNoConvergence = -2;

int lambert_init(void *params) noexcept {
    LambertRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    const double e = r.eccentricity;
    if (!(std::fabs(r.first_paral) < kHalfPi) || !(std::fabs(r.second_paral) < kHalfPi) ||
        !(e >= 0 && e < 1) || !(r.radius > 0))
        return kStatusNotRepresentable;
    const LambertCone cone =
        lambert_cone(r.first_paral, r.second_paral, r.centre_lat, r.scale_factor, r.radius, e);
    if (!(std::fabs(cone.phi0) < kHalfPi) || !std::isfinite(cone.k0))
        return kStatusNotRepresentable;
    r.n = std::fabs(cone.phi0) > kLambertOneParallel ? std::sin(cone.phi0) : 0.0;
    r.ak0 = r.radius * cone.k0;
    r.t0 = lambert_cone_t(cone.phi0, e);
    r.r0 = r.n != 0 ? cone.k0 * lambert_cone_m(cone.phi0, r.radius, e * e) / r.n : 0.0;
    return 0;
}

int lambert_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const LambertRecord &r = record_of(params);
    const double dlon = mpx_normal_pi(lon - r.centre_merid);
    if (!std::isfinite(dlon) || !(std::fabs(lat) <= kPoleLimit))
        return kStatusNotRepresentable;
    // The pole the cone opens towards lies at infinity (t of it is 1e16
    // in doubles, not infinite): refused, not a point 10^12 m away.
    if (is_pole(lat) && lat * r.n < 0)
        return kStatusNotRepresentable;
    const double t = lambert_cone_t(std::fmax(-kHalfPi, std::fmin(kHalfPi, lat)), r.eccentricity);
    double xp = 0.0, yp = 0.0;
    if (r.n != 0) {
        const double rho = r.r0 * std::pow(t / r.t0, r.n);
        const double theta = r.n * dlon;
        xp = rho * std::sin(theta);
        yp = r.r0 - rho * std::cos(theta);
    } else {
        xp = r.ak0 * dlon;
        yp = -r.ak0 * std::log(t);
    }
    return store_finite(r.false_east + xp, r.false_north + yp, x, y) == 0 ? 0
                                                                          : kStatusNotRepresentable;
}

// The latitude whose t is `t`, or NaN: t = exp(-psi) with psi the
// isometric latitude, so tan chi = sinh psi, and the latitude follows from
// the conformal one by Newton's method (quadratic, where EPSG 7-2's
// fixed-point iteration gains only a factor e^2 a step).
double latitude_of_t(double t, double e) {
    const double tau_prime = std::sinh(-std::log(t));
    if (std::isinf(tau_prime))
        return std::copysign(kHalfPi, tau_prime);
    double tau = 0.0;
    if (!geographic_tan(tau_prime, e, e * e, tau))
        return std::numeric_limits<double>::quiet_NaN();
    return std::atan(tau);
}

int lambert_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const LambertRecord &r = record_of(params);
    const double xp = x - r.false_east, yp = y - r.false_north;
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusNoConvergence;
    double t = 0.0, dlon = 0.0;
    if (r.n != 0) {
        const double sign = r.n > 0 ? 1.0 : -1.0;
        const double rho = sign * std::hypot(xp, r.r0 - yp);
        dlon = std::atan2(sign * xp, sign * (r.r0 - yp)) / r.n;
        t = r.t0 * std::pow(rho / r.r0, 1 / r.n);
    } else {
        dlon = xp / r.ak0;
        t = std::exp(-yp / r.ak0);
    }
    const double phi = latitude_of_t(t, r.eccentricity);
    if (!std::isfinite(phi))
        return kStatusNoConvergence;
    return store_finite(r.centre_merid + dlon, phi, lon, lat) == 0 ? 0 : kStatusNoConvergence;
}

int install(const char *keyword, bool two_parallels) {
    return install_lambert_keyword<LambertRecord>(keyword, two_parallels, lambert_init,
                                                  lambert_forward, lambert_backward);
}

} // namespace

int exact_lambert1_install() noexcept { return install("lambert1", false); }
int exact_lambert2_install() noexcept { return install("lambert2", true); }
