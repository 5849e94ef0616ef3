// Lambert conformal conic: "lambert1" (one standard parallel, the latitude
// of origin, with a scale factor there) and "lambert2" (two standard
// parallels). Both keywords share one record and the three routines
// mpx_lambert_init, mpx_lambert_forward and mpx_lambert_backward.
//
// Source: the cone constant and the scale on the central parallel from
// Snyder, Map Projections: A Working Manual (USGS Professional Paper 1395,
// 1987), chapter 15, eqs. 14-15, 15-8 and 15-9; EPSG Guidance Note 7-2,
// Lambert Conic Conformal (1SP, method 9801; 2SP, method 9802). The mapping
// radius is this library's own formulation: the radius R0 of the central
// parallel phi0 less a power series u(s) in the meridian arc s from phi0,
//   u = k0 (s + c0 s^3 + c1 s^4 + c2 s^5 + c3 s^6),
// the Taylor series of R0 - rho in s, with the arc measured by the series
// in the third flattening (Helmert's expansion, to the fifth power).
//
// Domain: against the closed-form cone (PROJ +proj=lcc, GRS 80, longitudes
// within 10 degrees of the central meridian) the truncated radius series
// differs by 0.005 mm at 1 degree of latitude from phi0, 0.5 mm at 3,
// 15 mm at 5 and 2.1 m at 10 degrees; every
// longitude is folded into central meridian +- pi. A latitude beyond a pole
// is refused (status 1) except while the backward routine iterates.
// phi0 = 0 (a one-parallel cone on the equator) is the Mercator limit: x is
// the longitude difference times a k0 and y the series u.
//
// The backward routine is a two-dimensional Newton iteration on the forward
// routine with finite-difference derivatives (one-degree starting steps,
// clamps beyond 100 degrees of latitude and 2 pi of longitude, a stall
// counter, 100 steps at most; status -2 when it fails). While it runs a
// process-wide flag lets the forward accept latitudes beyond the poles; it
// is the only static state of any projection, set for the duration of one
// backward call and cleared on every exit.
//
// Departures: (1) The Newton iteration starts from the exact inverse of the
// same series (u from the cone's polar coordinates, s from u by a
// one-dimensional Newton step on the polynomial, the latitude from the arc
// with the footpoint series 3-26 in the third flattening), kept in the
// record's private tail. The spherical estimate atan2(R' - rho, a k0) + phi0
// of the classic start needs four to six Newton steps of three forward calls
// each; this start passes the convergence test at once (one forward call)
// wherever the series is accurate, and the Newton steps still decide. It is
// also the chosen start of the equatorial case, where the classic one
// divides by tan phi0 = 0: it inverts x = a k0 dlon and y = u directly, so
// it converges like any other. Where the series start is not finite (a
// point outside the cone's image) the classic start is used, and (lambda0,
// phi0) when that is not finite either. (2) A latitude of origin at or
// beyond a pole for a one-parallel cone, or a non-finite cone constant, is
// refused by init with status 1 like a standard parallel there: the radius
// series is undefined at phi0 = +-90 degrees. (3) A NaN or infinite input
// is refused with status 1 (forward) or -2 (backward) instead of giving a
// non-finite point with status 0.
#include "numeric/newton.hpp"
#include "numeric/thresholds.hpp"
#include "proj/conic/lambert_cone.hpp"
#include "proj/conic/lambert_keywords.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct LambertRecord : LambertDeclared {
    // Derived by init.
    double tolerance; // of the backward iteration, |dx| + |dy|
    double c0, c1, c2, c3;
    double arc[MPX_SERIES_SIZE]; // [5]: arc length per degree
    double phi0;
    double n, n2, cos_phi0, cos2_phi0, tan_phi0, tan2_phi0;
    double s0; // meridian arc at phi0
    double r0; // mapping radius of phi0 (0 on the equator)
    double k0;
    // Departure (1): the arc back to the latitude (3-26 in the third
    // flattening) for the start of the backward iteration.
    double footpoint[MPX_SERIES_SIZE];
};

LambertRecord &record_of(void *params) { return *static_cast<LambertRecord *>(params); }

// Set only while mpx_lambert_backward runs: the forward then evaluates
// latitudes beyond the poles, which the Newton steps may visit.
bool g_lambert_backward_active = false;

// Clears the flag on every exit of the backward routine.
struct BackwardScope {
    BackwardScope() { g_lambert_backward_active = true; }
    ~BackwardScope() { g_lambert_backward_active = false; }
    BackwardScope(const BackwardScope &) = delete;
    BackwardScope &operator=(const BackwardScope &) = delete;
};

constexpr double kHalfPi = std::numbers::pi / 2;
constexpr double kDegreesPerRadian = 57.29577951308232;
// Backward tolerance per unit of a: 0.1 mm when a is 6378388 m.
constexpr double kToleranceOverRadius = 1.5677942451917318e-11;
// phi0 within this of 0 is the equatorial (Mercator-limit) case.
constexpr double kEquatorial = 1e-12;
// A latitude beyond the pole by more than this is refused.
constexpr double kPoleLimit = kHalfPi + 1e-12;
// Start values of the Newton iteration are clamped to +-88 and +-179
// degrees; a step beyond 100 degrees of latitude or 2 pi of longitude is
// pulled back to 88 degrees or pi.
constexpr double kStartLatLimit = 1.53588974175501;
constexpr double kStartLonLimit = 3.12413936106985;
constexpr double kRunawayLat = 1.7453292519943295;
constexpr double kPulledBackLat = 1.53588974175501;
constexpr double kRunawayLon = 2 * std::numbers::pi;
// The Newton clamps apply from this iteration on.
constexpr int kFirstClampedIteration = 3;
// Stall counter: a step without progress after a clamp, or two in a row.
constexpr int kStalledOnce = 10;
constexpr int kStallAfterOneClamp = 2;
// Steps of the one-dimensional inversion of the radius series.
constexpr int kSeriesSteps = 8;

constexpr int kStatusNotRepresentable = 1;
constexpr int kStatusNoConvergence = -2;

// Meridian arc from the equator, odd in phi.
double arc_of(const LambertRecord &r, double phi) {
    const double a = std::fabs(phi);
    const double s =
        a * r.arc[MPX_SERIES_SIZE - 1] * kDegreesPerRadian + mpx_snyder_eqn_3_35(a, r.arc);
    return phi < 0 ? -s : s;
}

// Latitude of an arc length, through the rectifying latitude.
double latitude_of_arc(const LambertRecord &r, double s) {
    const double mu = s / (r.arc[MPX_SERIES_SIZE - 1] * kDegreesPerRadian);
    return mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
}

// u / k0 as a polynomial in s, and its derivative.
double radius_series(const LambertRecord &r, double s) {
    const double s2 = s * s;
    return s + s2 * s * (r.c0 + s * (r.c1 + s * (r.c2 + s * r.c3)));
}
double radius_series_slope(const LambertRecord &r, double s) {
    const double s2 = s * s;
    return 1 + s2 * (3 * r.c0 + s * (4 * r.c1 + s * (5 * r.c2 + s * 6 * r.c3)));
}

// The central parallel and its scale factor.
void init_cone(LambertRecord &r) {
    const LambertCone cone = lambert_cone(r.first_paral, r.second_paral, r.centre_lat,
                                          r.scale_factor, r.radius, r.eccentricity);
    r.phi0 = cone.phi0;
    r.k0 = cone.k0;
    r.n = std::sin(r.phi0);
    r.n2 = r.n * r.n;
    r.cos_phi0 = std::cos(r.phi0);
    r.cos2_phi0 = r.cos_phi0 * r.cos_phi0;
    r.tan_phi0 = r.n / r.cos_phi0;
    r.tan2_phi0 = r.tan_phi0 * r.tan_phi0;
}

// The arc series in the third flattening eta (Helmert): the per-degree
// length and the Horner coefficients of the periodic terms.
void init_arc(LambertRecord &r) {
    const double e = r.eccentricity;
    double eta = 0.0;
    if (e > kEquatorial) {
        const double f = 1 - std::sqrt(1 - e * e);
        eta = 1 / (2 / f - 1);
    }
    const double a = r.radius;
    const double h2 = eta * eta, h3 = h2 * eta, h4 = h3 * eta, h5 = h4 * eta;
    mpx_proj_factors_35(-1.5 * a * (eta - h2 + 7.0 / 8 * (h3 - h4) + 55.0 / 64 * h5),
                        15.0 / 16 * a * (h2 - h3 + 0.75 * (h4 - h5)),
                        -35.0 / 48 * a * (h3 - h4 + 11.0 / 16 * h5), 0.0, r.arc);
    r.arc[MPX_SERIES_SIZE - 1] =
        a * (1 - eta + 1.25 * (h2 - h3) + 81.0 / 64 * (h4 - h5)) * std::numbers::pi / 180;
    mpx_snyder_init_3_26(e, r.footpoint);
}

// Coefficients of the radius series at phi0.
void init_radius(LambertRecord &r, double e2) {
    const double a = r.radius;
    const double w = 1 - e2 * r.n2;
    const double n0 = a / std::sqrt(w);
    const double rho_n = a * a * (1 - e2) / (w * w);
    r.c0 = 1 / (6 * rho_n);
    r.c1 = r.tan_phi0 * (1 - 4 * e2 * r.cos2_phi0 / (1 - e2)) / (24 * rho_n * n0);
    r.c2 = (5 + 3 * r.tan2_phi0) / (120 * rho_n * n0 * n0);
    r.c3 = r.tan_phi0 * (7 + 4 * r.tan2_phi0) / (240 * rho_n * n0 * n0 * n0);
    r.r0 = std::fabs(r.phi0) > kEquatorial ? r.k0 * a / (std::sqrt(w) * r.tan_phi0) : 0.0;
    r.s0 = arc_of(r, r.phi0);
}

int mpx_lambert_init(void *params) noexcept {
    LambertRecord &r = record_of(params);
    g_lambert_backward_active = false;
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.tolerance = r.radius * kToleranceOverRadius;
    const double e2 = r.eccentricity * r.eccentricity;
    // Written so that NaN parallels are refused too.
    if (!(std::fabs(r.first_paral) < kHalfPi) || !(std::fabs(r.second_paral) < kHalfPi))
        return kStatusNotRepresentable;
    init_cone(r);
    if (!(std::fabs(r.phi0) < kHalfPi) || !std::isfinite(r.k0)) // departure (2)
        return kStatusNotRepresentable;
    init_arc(r);
    init_radius(r, e2);
    return 0;
}

int mpx_lambert_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const LambertRecord &r = record_of(params);
    const double dlon = mpx_normal_pi(lon - r.centre_merid);
    if (!std::isfinite(dlon) || std::isnan(lat) ||
        (!g_lambert_backward_active && std::fabs(lat) > kPoleLimit))
        return kStatusNotRepresentable;
    const double s = arc_of(r, lat) - r.s0;
    const double u = r.k0 * radius_series(r, s);
    double xp = 0.0;
    double yp = u;
    if (std::fabs(r.phi0) > kEquatorial) {
        const double theta = r.n * dlon;
        const double sin_t = std::sin(theta);
        xp = (r.r0 - u) * sin_t;
        // x' tan(theta/2) = R0 - (R0 - u) cos theta - u, without the
        // cancellation of the cosine form.
        yp += xp * sin_t / (1 + std::cos(theta));
    } else {
        xp = dlon * r.radius * r.k0;
    }
    *x = r.false_east + xp;
    *y = r.false_north + yp;
    return 0;
}

struct Geographic {
    double lon, lat;
};

// Departure (1): the exact inverse of the series, or NaN. On the equator
// (theta = 0, x' = a k0 dlon, y' = u) it is the chosen start of that case,
// where the classic start divides by tan phi0 = 0: it converges at once.
Geographic series_start(const LambertRecord &r, double dx, double dy) {
    double u = dy;
    double theta = 0.0;
    if (std::fabs(r.phi0) > kEquatorial) {
        const double sigma = r.phi0 < 0 ? -1.0 : 1.0;
        const double rho = sigma * std::sqrt(dx * dx + (r.r0 - dy) * (r.r0 - dy));
        u = r.r0 - rho;
        theta = std::atan2(sigma * dx, sigma * (r.r0 - dy));
    }
    double s = u / r.k0;
    for (int i = 0; i < kSeriesSteps; ++i) {
        const double step = (radius_series(r, s) - u / r.k0) / radius_series_slope(r, s);
        s -= step;
        if (!(std::fabs(step) > r.tolerance))
            break;
    }
    const double lon = std::fabs(r.phi0) > kEquatorial ? theta / r.n + r.centre_merid
                                                       : dx / (r.radius * r.k0) + r.centre_merid;
    return {lon, latitude_of_arc(r, s + r.s0)};
}

// The classic start from the spherical cone.
Geographic classic_start(const LambertRecord &r, double dx, double dy) {
    const double sigma = r.phi0 < 0 ? -1.0 : 1.0;
    const double rr = r.radius * r.k0 / r.tan_phi0;
    const double rho = sigma * std::sqrt(dx * dx + (rr - dy) * (rr - dy));
    return {mpx_asin(dx / rho) / std::sin(r.phi0) + r.centre_merid,
            std::atan2(rr - rho, r.radius * r.k0) + r.phi0};
}

double clamp(double v, double limit) { return v > limit ? limit : v < -limit ? -limit : v; }

int mpx_lambert_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    LambertRecord &r = record_of(params);
    const BackwardScope scope;
    if (!std::isfinite(x) || !std::isfinite(y)) // departure (3)
        return kStatusNoConvergence;
    const double dx = x - r.false_east;
    const double dy = y - r.false_north;
    Geographic g = series_start(r, dx, dy);
    if (!std::isfinite(g.lon) || !std::isfinite(g.lat))
        g = classic_start(r, dx, dy);
    if (!std::isfinite(g.lon) || !std::isfinite(g.lat))
        g = {r.centre_merid, r.phi0};
    double lam = clamp(g.lon, kStartLonLimit);
    double phi = clamp(g.lat, kStartLatLimit);
    double h_lam = kNewtonStartStep;
    double h_phi = kNewtonStartStep;
    int stall = 0;
    double xc = 0, yc = 0;
    if (mpx_lambert_forward(params, lam, phi, &xc, &yc) != 0)
        return kStatusNoConvergence;
    for (int iteration = 1;; ++iteration) {
        const double ex = x - xc;
        const double ey = y - yc;
        if (std::fabs(ex) + std::fabs(ey) <= r.tolerance)
            break;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (mpx_lambert_forward(params, lam, phi + h_phi, &x1, &y1) != 0 ||
            mpx_lambert_forward(params, lam + h_lam, phi, &x2, &y2) != 0)
            return kStatusNoConvergence;
        const double x_lam = (x2 - xc) / h_lam;
        const double y_lam = (y2 - yc) / h_lam;
        const double x_phi = (x1 - xc) / h_phi;
        const double y_phi = (y1 - yc) / h_phi;
        const double det = y_phi * x_lam - x_phi * y_lam;
        const double d_lam = (y_phi * ex - x_phi * ey) / det;
        const double d_phi = (x_lam * ey - y_lam * ex) / det;
        double lam_n = lam + d_lam;
        double phi_n = phi + d_phi;
        h_lam = newton_next_step(d_lam);
        h_phi = newton_next_step(d_phi);
        if (iteration >= kFirstClampedIteration) {
            if (phi_n > kRunawayLat)
                phi_n = kPulledBackLat, h_phi = -kNewtonStartStep, stall = 1;
            else if (phi_n < -kRunawayLat)
                phi_n = -kPulledBackLat, h_phi = kNewtonStartStep, stall = 1;
            if (lam_n > kRunawayLon)
                lam_n = std::numbers::pi, h_lam = -kNewtonStartStep, ++stall;
            else if (lam_n < -kRunawayLon)
                lam_n = -std::numbers::pi, h_lam = kNewtonStartStep, ++stall;
            if (std::fabs(lam_n - lam) < kLatitudeTolerance &&
                std::fabs(phi_n - phi) < kLatitudeTolerance) {
                if (stall == kStallAfterOneClamp || stall >= kStalledOnce)
                    return kStatusNoConvergence;
                stall = kStalledOnce;
            } else {
                stall = 0;
            }
        }
        if (iteration + 1 >= kMaxIterations)
            return kStatusNoConvergence;
        lam = lam_n;
        phi = phi_n;
        if (mpx_lambert_forward(params, lam, phi, &xc, &yc) != 0)
            return kStatusNoConvergence;
    }
    if (!(std::fabs(phi) <= kPoleLimit))
        return kStatusNoConvergence;
    *lon = lam;
    *lat = phi;
    return 0;
}

int install_lambert(const char *keyword, bool two_parallels) {
    return install_lambert_keyword<LambertRecord>(keyword, two_parallels, mpx_lambert_init,
                                                  mpx_lambert_forward, mpx_lambert_backward);
}

} // namespace

extern "C" int mpx_lambert1_install(void) noexcept { return install_lambert("lambert1", false); }

extern "C" int mpx_lambert2_install(void) noexcept { return install_lambert("lambert2", true); }
