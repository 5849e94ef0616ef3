// "sinusoid": the sinusoidal (Sanson-Flamsteed) projection, ellipsoidal,
// spherical when e = 0.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 30: sphere eqs. 30-1 and 30-2; ellipsoid eqs. 30-8
// and 30-9 with the meridian distance 3-21 forward, and 30-10 and 30-11
// from the footpoint latitude 3-26 (3-24) backward.
//
// Domain: the whole ellipsoid; equal-area, true scale along every parallel
// and the central meridian. No singular point: the poles are points on the
// central meridian, and a map point within 1e-10 rad of a pole line goes
// back to the central meridian. Longitudes outside the window map linearly
// (the outline is not enforced backward either: x beyond the outline gives
// a longitude beyond +-pi).
//
// Departure: a non-finite input or result gives status 1 with the outputs
// untouched, instead of handing NaN down the pipeline.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct SinusoidRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init: meridian distance (3-21), whose linear coefficient
    // meridian[5] is also the length of one radian of rectifying latitude,
    // and rectifying to footpoint latitude (3-26).
    double meridian[MPX_SERIES_SIZE];
    double footpoint[MPX_SERIES_SIZE];
};

SinusoidRecord &record_of(void *params) { return *static_cast<SinusoidRecord *>(params); }

// Value 2 as set for this projection in the registry table: the flag the
// library does not consult; longitudes come conditioned into the window.
constexpr int kSinusoidMode = 2;
constexpr int kStatusUnrepresentable = 1;
constexpr int kRectifying = 5;

int sinusoid_init(void *params) noexcept {
    SinusoidRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    mpx_snyder_init_3_26(r.eccentricity, r.footpoint);
    return 0;
}

// Radius of the parallel, a cos(phi) / sqrt(1 - e^2 sin^2 phi).
double parallel_radius(const SinusoidRecord &r, double lat) {
    const double s = std::sin(lat);
    const double e = r.eccentricity;
    return r.radius * std::cos(lat) / std::sqrt(1 - e * e * s * s);
}

int sinusoid_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const SinusoidRecord &r = record_of(params);
    const double xp = parallel_radius(r, lat) * (lon - r.centre_merid) + r.false_east;
    const double yp = mpx_snyder_eqn_3_21(lat, r.meridian) + r.false_north;
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusUnrepresentable;
    *x = xp;
    *y = yp;
    return 0;
}

int sinusoid_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const SinusoidRecord &r = record_of(params);
    const double mu = (y - r.false_north) / r.meridian[kRectifying];
    const double phi = mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
    // On a pole line every x belongs to the pole itself.
    const double lam = is_pole(phi) ? r.centre_merid
                                    : (x - r.false_east) / parallel_radius(r, phi) + r.centre_merid;
    if (!std::isfinite(lam) || !std::isfinite(phi))
        return kStatusUnrepresentable;
    *lon = lam;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_sinusoid_install(void) noexcept {
    SinusoidRecord sample{};
    mpx_proj_create("sinusoid", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(sinusoid_init, sinusoid_forward, sinusoid_backward);
    mpx_proj_ins_mode(kSinusoidMode);
    return mpx_proj_end();
}
