// "regpol": the ordinary (American) polyconic projection with a scale
// factor, ellipsoidal, with the exact spherical inverse when e = 0.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 18: forward eqs. 18-1 to 18-3 and 18-12 to 18-13
// with the meridian distance 3-21; inverse by the Newton-Raphson iterations
// 18-9 and 18-10 (sphere) and 18-17 to 18-22 (ellipsoid), checked by
// projecting the result forward again.
//
// Domain: the whole globe within 180 degrees of the central meridian; the
// projection is meant for a band a few degrees either side of it (the
// American polyconic, Brazil's SIRGAS 2000 polyconic reaches 20 degrees).
// The parallels are circles of radius N cot phi: infinite on the equator
// (drawn straight), zero at the poles. Far east or west the parallels
// overlap and the forward map is not one-to-one; there the inverse finds a
// latitude whose forward image misses the input and says so with status 1.
//
// Departures from Snyder:
// - The forward routine falls back to the equator's straight line
//   (x' = a dlon, y' = M - M0) only within 1e-20 rad of the equator, where
//   that limit is exact in doubles, rather than within 1e-7 rad: there the
//   limit drops the parallel's sagitta a dlon^2 phi / 2 (up to 3 m at 180
//   degrees from the central meridian) and the meridian distance a phi (up
//   to 0.64 m), and the inverse of such points could never pass its check.
//   With 1 - cos E written as 2 sin^2(E/2) the general formulas keep full
//   precision down to that limit.
// - The spherical inverse fails like the ellipsoidal one (-2) when its
//   iteration runs out, and is checked like it (status 1), rather than
//   returning a silent wrong value with status 0; a check that meets a
//   non-number fails (NaN never passes as "within 0.0001").
// - forward returns 1, outputs untouched, for a non-finite result (NaN or
//   infinite input) rather than 0 with non-numbers.
// - The inverse takes the equator's shortcut for points within 1e-12 a of
//   the equator (6 micrometres on the Earth) rather than within 1e-12 of
//   the linear unit: closer than that the Newton iteration would restart
//   from the pole and not come back. The shortcut returns status 1 instead
//   of 0 when its longitude is not finite (an infinite x).
// - Snyder's Newton iterations do not settle everywhere: within about
//   0.01 degree of a pole, and far from the central meridian (beyond about
//   100 degrees near the equator on the ellipsoid, 80 on the sphere). Where
//   they fail or their result misses the input, the finite-difference
//   Newton refinement on the forward routine (shared with Cassini) takes
//   over, from their result or else from the central meridian at latitude
//   A; only when it fails too do the statuses -2 (no result) and 1 (a
//   result that misses, outputs written) stand.
#include "proj/conic/parallel_arcs.hpp"

#include "numeric/newton.hpp"
#include "numeric/number_forms.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct RegpolRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double meridian[MPX_SERIES_SIZE];   // meridian distance, 3-21
    double derivative[MPX_SERIES_SIZE]; // dM/dphi divided by a, form 3-39
    double e2;
    double m0; // meridian distance of centre_lat
};

RegpolRecord &record_of(void *params) { return *static_cast<RegpolRecord *>(params); }

constexpr double kHalfPi = std::numbers::pi / 2;
// The inverse's result must reproduce the input within this, in the
// projection's linear unit.
constexpr double kCheckTolerance = 0.0001;
// Below this eccentricity the spherical inverse 18-9 serves.
constexpr double kSphereEccentricity = 1e-12;
// Where the ellipsoidal Newton step would divide by tan phi or sin 2 phi
// (within kLatitudeTolerance of the equator or a pole) it restarts from
// just inside the pole.
constexpr double kNearPole = kHalfPi - kLatitudeTolerance;
// Within this of the equator (radians) the parallel is drawn straight:
// its sagitta a dlon^2 phi / 2 is below 1e-12 m there.
constexpr double kStraightEquator = 1e-20;

int regpol_init(void *params) noexcept {
    RegpolRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    const double e2 = r.eccentricity * r.eccentricity;
    r.e2 = e2;
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    r.m0 = mpx_snyder_eqn_3_21(r.centre_lat, r.meridian);
    // dM/dphi / a of eq. 3-21, term by term (eq. 18-17 of Snyder).
    const double e4 = e2 * e2, e6 = e4 * e2;
    mpx_proj_factors_39(
        1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256, -2 * (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024),
        4 * (15 * e4 / 256 + 45 * e6 / 1024), -6 * 35 * e6 / 3072, 0.0, r.derivative);
    return 0;
}

int regpol_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const RegpolRecord &r = record_of(params);
    const double dlon = mpx_normal_pi(lon - r.centre_merid);
    const double m = mpx_snyder_eqn_3_21(lat, r.meridian) - r.m0;
    ArcPoint p{r.radius * dlon, m};
    if (std::fabs(lat) >= kStraightEquator) {
        p = parallel_point(parallel_radius(r.radius, r.e2, lat), lat, dlon);
        p.y += m;
    }
    const double xr = r.false_east + r.scale_factor * p.x;
    const double yr = r.false_north + r.scale_factor * p.y;
    if (!std::isfinite(xr + yr))
        return 1;
    *x = xr;
    *y = yr;
    return 0;
}

// phi beyond a pole folded back over it (one reflection, as Snyder).
double reflect(double phi) {
    if (phi > kHalfPi)
        return std::numbers::pi - phi;
    if (phi < -kHalfPi)
        return -std::numbers::pi - phi;
    return phi;
}

struct Geographic {
    double lon, lat;
};

// The check of an inverse: does g project back onto (x, y) within
// kCheckTolerance? A non-number never passes.
bool reproduces(void *params, Geographic g, double x, double y) {
    double xf = 0.0, yf = 0.0;
    return regpol_forward(params, g.lon, g.lat, &xf, &yf) == 0 &&
           std::fabs(xf - x) <= kCheckTolerance && std::fabs(yf - y) <= kCheckTolerance;
}

// Eqs. 18-9 and 18-10 on the sphere; xp and yp without false origin and
// scale. Status -2 when the iteration does not settle in kMaxIterations
// steps; the result is checked by the caller.
int sphere_inverse(const RegpolRecord &r, double xp, double yp, Geographic &g) {
    const double a = r.radius;
    const double big_a = r.centre_lat + yp / a;
    const double big_b = xp * xp / (a * a) + big_a * big_a;
    double phi = big_a, old = big_a;
    bool settled = false;
    for (int step = 0; step < kMaxIterations && !settled; ++step) {
        old = phi;
        const double t = std::tan(old);
        phi = old -
              (big_a * (old * t + 1) - old - (old * old + big_b) * t / 2) / ((old - big_a) / t - 1);
        settled = !(std::fabs(std::fabs(old) - std::fabs(phi)) > kLatitudeTolerance);
    }
    if (!settled)
        return -2;
    g = {std::asin(xp * std::tan(old) / a) / std::sin(old) + r.centre_merid, old};
    return 0;
}

// Eqs. 18-17 to 18-22 on the ellipsoid. Status -2 when the iteration does
// not settle in kMaxIterations steps or settles beyond the pole.
int ellipsoid_inverse(const RegpolRecord &r, double xp, double yp, Geographic &g) {
    const double a = r.radius;
    const double big_a = (yp + r.m0) / a;
    const double big_b = xp * xp / (a * a) + big_a * big_a;
    double phi = reflect(big_a), phin = phi, s = 0.0, c = 0.0;
    bool settled = false;
    for (int step = 0; step < kMaxIterations && !settled; ++step) {
        phin = phi;
        if (std::fabs(std::fabs(phi) - kHalfPi) < kLatitudeTolerance ||
            std::fabs(phi) < kLatitudeTolerance)
            phin = std::copysign(kNearPole, phi);
        // One sine and cosine serve the step: tan phi = s / cos phi,
        // sin 2 phi and cos 2 phi for the two series.
        s = std::sin(phin);
        const double cos_phi = std::cos(phin);
        c = std::sqrt(1 - r.e2 * s * s) * (s / cos_phi);
        const double s2 = 2 * s * cos_phi;
        const double ma = mpx_forms::meridian_distance(phin, s, cos_phi, r.meridian) / a;
        const double mp = mpx_forms::series_3_39((cos_phi - s) * (cos_phi + s), r.derivative);
        phi = phin - (big_a * (c * ma + 1) - ma - (ma * ma + big_b) * c / 2) /
                         ((big_a - ma) * (c * mp - 2 / s2) +
                          r.e2 * s2 * (ma * ma + big_b - 2 * big_a * ma) / (4 * c) - mp);
        // A first step that overshoots past the equator went the wrong way.
        if (step == 0 && std::fabs(phi - big_a) > std::fabs(big_a))
            phi = -phi;
        phi = reflect(phi);
        settled = !(std::fabs(std::fabs(phin) - std::fabs(phi)) > kLatitudeTolerance);
    }
    if (!settled || phin > kHalfPi)
        return -2;
    g = {std::asin(c * xp / a) / s + r.centre_merid, phin};
    return 0;
}

int regpol_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const RegpolRecord &r = record_of(params);
    const double xp = (x - r.false_east) / r.scale_factor;
    const double yp = (y - r.false_north) / r.scale_factor;
    // On the equator (straight, true to scale) no iteration is needed.
    if (std::fabs(yp + r.m0) < kLatitudeTolerance * r.radius) {
        *lon = xp / r.radius + r.centre_merid;
        *lat = 0.0;
        return std::isfinite(*lon) ? 0 : 1;
    }
    Geographic g{};
    const int status = std::fabs(r.eccentricity) <= kSphereEccentricity
                           ? sphere_inverse(r, xp, yp, g)
                           : ellipsoid_inverse(r, xp, yp, g);
    if (status == 0 && reproduces(params, g, x, y)) {
        *lon = g.lon;
        *lat = g.lat;
        return 0;
    }
    // A pole is one point, where no iteration converges well.
    const Geographic pole{r.centre_merid, std::copysign(kHalfPi, yp + r.m0)};
    if (reproduces(params, pole, x, y)) {
        *lon = pole.lon;
        *lat = pole.lat;
        return 0;
    }
    // Snyder's iteration failed or missed: refine on the forward routine,
    // from its result or else from the central meridian at latitude A.
    Geographic refined =
        status == 0 ? g
                    : Geographic{r.centre_merid,
                                 std::clamp(yp / r.radius + r.m0 / r.radius, -kHalfPi, kHalfPi)};
    if (newton_refine(regpol_forward, params, {x, y, kCheckTolerance / 2}, &refined.lon,
                      &refined.lat) &&
        std::fabs(refined.lat) <= kHalfPi && reproduces(params, refined, x, y)) {
        *lon = refined.lon;
        *lat = refined.lat;
        return 0;
    }
    if (status != 0)
        return status;
    *lon = g.lon;
    *lat = g.lat;
    return 1;
}

} // namespace

extern "C" int mpx_regpol_install(void) noexcept {
    RegpolRecord sample{};
    mpx_proj_create("regpol", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(regpol_init, regpol_forward, regpol_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
