// "bonne": the Bonne equal-area projection, ellipsoidal, or spherical when
// |e| < 1e-7.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 19: sphere eqs. 19-1 to 19-7; ellipsoid eqs. 19-8 to
// 19-14 with the meridian distance 3-21, m of 14-15 and the footpoint
// latitude 3-24 to 3-26. The parallels are concentric circles about the
// apex of the cone tangent along the standard parallel phi1, spaced by
// their meridian distance; each is true to scale.
//
// Domain: the whole globe within 180 degrees of the central meridian. The
// pole on the side of phi1 is a point; with phi1 at that pole it is the
// apex itself. phi1 on the equator (the sinusoidal limit) makes cot phi1
// infinite: init refuses it with -2.
//
// The pole in the forward routine: a pole test that compares the central
// meridian (rather than the standard parallel) with 90 degrees, and then
// returns without writing x and y, would leave the caller's outputs
// undefined for a point that has a perfectly good image. Here every point
// is written and the central meridian plays no part: a pole lies where the
// formulas put it (cos phi = 0 gives E = 0, a point on the central
// meridian), and the one true 0/0, a pole that is the apex (phi1 at that
// pole, rho within 1e-10 a of 0), is put on the apex.
//
// Departures from Snyder:
// - The sphere is refused on the equator like the ellipsoid (the same
//   infinite cot phi1), rather than computing with it.
// - forward returns 1, outputs untouched, when the result is not finite
//   (NaN or infinite input); backward returns 1, outputs untouched, for a
//   point beyond the pole's image (|phi| more than 1e-10 beyond 90 degrees)
//   or more than 180 degrees from the central meridian, which no point of
//   the globe reaches, and for a non-finite result.
#include "proj/conic/parallel_arcs.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

struct BonneRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat; // the standard parallel phi1
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    int32_t ellipsoid; // 1 when |e| >= kSphereEccentricity
    double cot1;       // cot phi1
    double m1;         // meridian distance of phi1
    double n1cot1;     // N1 cot phi1, the radius of the standard parallel
    double e2;
    double rectifying; // 1 - e^2/4 - 3e^4/64 - 5e^6/256 (eq. 7-19)
    double meridian[MPX_SERIES_SIZE];
    double footpoint[MPX_SERIES_SIZE];
};

BonneRecord &record_of(void *params) { return *static_cast<BonneRecord *>(params); }

constexpr double kHalfPi = std::numbers::pi / 2;
constexpr double kSphereEccentricity = kZeroDenominator;

int bonne_init(void *params) noexcept {
    BonneRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.ellipsoid = std::fabs(r.eccentricity) >= kSphereEccentricity ? 1 : 0;
    r.cot1 = 1 / std::tan(r.centre_lat);
    if (!(std::fabs(std::sin(r.centre_lat)) >= kZeroDenominator))
        return -2;
    if (r.ellipsoid == 0)
        return 0;
    const double e2 = r.eccentricity * r.eccentricity;
    r.e2 = e2;
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    mpx_snyder_init_3_26(r.eccentricity, r.footpoint);
    r.m1 = mpx_snyder_eqn_3_21(r.centre_lat, r.meridian);
    r.n1cot1 = parallel_radius(r.radius, e2, r.centre_lat);
    r.rectifying = 1 - e2 / 4 - 3 * e2 * e2 / 64 - 5 * e2 * e2 * e2 / 256;
    return 0;
}

int bonne_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const BonneRecord &r = record_of(params);
    const double a = r.radius;
    const double dlon = lon - r.centre_merid;
    double rho = 0.0, arc = 0.0, apex = 0.0; // arc: the parallel's length per radian
    if (r.ellipsoid == 0) {
        rho = a * (r.cot1 + r.centre_lat - lat);
        arc = a * std::cos(lat);
        apex = a * r.cot1;
    } else {
        const double s = std::sin(lat);
        rho = r.m1 + r.n1cot1 - mpx_snyder_eqn_3_21(lat, r.meridian);
        arc = a * std::cos(lat) / std::sqrt(1 - r.e2 * s * s);
        apex = r.n1cot1;
    }
    // The apex itself: every longitude meets there.
    const double e = std::fabs(rho) <= kPoleTolerance * a ? 0.0 : arc * dlon / rho;
    const double xr = r.false_east + rho * std::sin(e);
    const double yr = r.false_north + apex - rho * std::cos(e);
    if (!std::isfinite(xr + yr))
        return 1;
    *x = xr;
    *y = yr;
    return 0;
}

int bonne_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const BonneRecord &r = record_of(params);
    const double a = r.radius;
    double dx = x - r.false_east;
    double t = (r.ellipsoid == 0 ? a * r.cot1 : r.n1cot1) - (y - r.false_north);
    const double rho = std::copysign(std::hypot(dx, t), r.centre_lat);
    double phi = 0.0, arc = 0.0;
    if (r.ellipsoid == 0) {
        phi = r.cot1 + r.centre_lat - rho / a;
        if (!(std::fabs(phi) <= kHalfPi + kPoleTolerance))
            return 1;
        arc = a * std::cos(phi);
    } else {
        const double mu = (r.m1 + r.n1cot1 - rho) / (a * r.rectifying);
        if (!(std::fabs(mu) <= kHalfPi + kPoleTolerance))
            return 1;
        phi = mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
        const double s = std::sin(phi);
        arc = a * std::cos(phi) / std::sqrt(1 - r.e2 * s * s);
    }
    // South of the equator the cone opens the other way.
    if (r.centre_lat < 0)
        dx = -dx, t = -t;
    const double dlon = is_pole(phi) ? 0.0 : rho * std::atan2(dx, t) / arc;
    if (!(std::fabs(dlon) <= std::numbers::pi + kPoleTolerance))
        return 1;
    *lon = r.centre_merid + dlon;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_bonne_install(void) noexcept {
    BonneRecord sample{};
    mpx_proj_create("bonne", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(bonne_init, bonne_forward, bonne_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
