// Shared by the azimuthal projections: the status of a point they cannot
// represent and the guards at their edges, the spherical backward mapping,
// the installer of the records built on an origin, and the Horner form of
// the latitude series.
#pragma once

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>

// A point the projection cannot represent: a non-finite input or result,
// a point on the far side (orthographic, gnomonic), the antipode of the
// stereographic centre, or a map point beyond the outer circle.
inline constexpr int kStatusNotRepresentable = 1;

// Arcsine arguments within this of +-1 are rounding and take the end value
// (as mpx_asin does); farther out the map point lies beyond the outer
// circle of the projection and has no preimage.
inline constexpr double kUnitSlack = 1e-10;

inline bool finite(double u, double v) noexcept { return std::isfinite(u) && std::isfinite(v); }

// True when asin(x) exists up to rounding (false for NaN).
inline bool within_unit(double x) noexcept { return std::fabs(x) < 1.0 + kUnitSlack; }

// asin of an argument that within_unit accepted.
inline double clamped_asin(double x) noexcept {
    return std::asin(std::fmax(-1.0, std::fmin(1.0, x)));
}

// The backward mapping shared by the spherical aspects: the offset from
// the centre of the point whose map offset from the false origin is
// (dx, dy), Snyder 1987 eqs. 20-14 and 20-15. `distance(rho, sin_c, cos_c)`
// gives the angular distance c of a map radius rho, or false beyond the
// projection's outer circle. The latitude comes from atan2 of the point's
// unit vector rather than the arcsine of its z component, which loses half
// the digits within a few degrees of the poles.
struct SphereCentre {
    double lat, sin_lat, cos_lat;
    // +1 or -1 at a north or south polar centre: the longitude then comes
    // from the map direction alone, atan2(dx, -dy sign). 0 otherwise.
    int polar_sign;
};

struct SphereOffset {
    double lat;  // radians
    double dlon; // from the central meridian, radians in [-pi, pi]
};

template <class Distance>
bool sphere_backward(const SphereCentre &k, double dx, double dy, const Distance &distance,
                     SphereOffset &out) noexcept {
    const double rho = std::hypot(dx, dy);
    if (rho <= kZeroDenominator) {
        out = {k.lat, 0.0};
        return true;
    }
    double sin_c = 0.0;
    double cos_c = 0.0;
    if (!distance(rho, sin_c, cos_c))
        return false;
    const double east = sin_c * dx;
    const double north = cos_c * k.cos_lat * rho - sin_c * k.sin_lat * dy;
    const double up = cos_c * k.sin_lat * rho + sin_c * k.cos_lat * dy;
    out.lat = std::atan2(up, std::hypot(east, north));
    out.dlon = k.polar_sign != 0 ? std::atan2(dx, -dy * k.polar_sign) : std::atan2(east, north);
    return true;
}

// The installer of the projections whose record starts with the seven
// parameters false_east, false_north, origin_lat, origin_long and the
// hidden radius, eccentricity and long_cut, in mode 0.
template <class Record>
int install_on_origin(const char *keyword, mpx_proj_init_fn init, mpx_proj_forward_fn forward,
                      mpx_proj_backward_fn backward) noexcept {
    Record sample{};
    mpx_proj_create(keyword, &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &sample.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_long", &sample.origin_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(init, forward, backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}

// The routines' last step: writes (u, v) to (*out_u, *out_v) and returns
// `status`; a non-finite pair is status 1 with the outputs untouched.
inline int put(double u, double v, double *out_u, double *out_v, int status = 0) noexcept {
    if (!finite(u, v))
        return kStatusNotRepresentable;
    *out_u = u;
    *out_v = v;
    return status;
}

// Snyder's Horner form 3-35 of a series in sin 2x, sin 4x, ... (the
// coefficients of mpx_snyder_init_3_5 or _3_18), with sin 2x and cos 2x
// given: the callers have them from sin x and cos x without trigonometry.
inline double series_3_35(const double *s, double sin2, double cos2) noexcept {
    return sin2 * (((s[3] * cos2 + s[2]) * cos2 + s[1]) * cos2 + s[0]);
}
