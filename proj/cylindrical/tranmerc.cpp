// Transverse Mercator family: "tranmerc", "stm" (both map axes reversed) and
// "utm" (zone and hemisphere give the whole definition). The three share one
// record and one pair of forward and backward routines; only init differs.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 8. Ellipsoid: forward eqs. 8-9 and 8-10 with the
// meridian distance 3-21; backward eqs. 8-17 and 8-18 from the footpoint
// latitude 7-19 with 3-26. Sphere (e below 1e-7): the closed forms 8-1 and
// 8-3 forward, 8-6 and 8-7 backward.
//
// Domain: the ellipsoidal series stay within a few millimetres of the exact
// projection up to 4 degrees from the central meridian and drift beyond; the forward routine
// expects longitudes inside the window central meridian +- pi (mode 2). Singular: the sphere's
// equator 90 degrees from the central meridian (x infinite, status 2). The poles map to x' = 0 on
// the central meridian.
//
// Departures from Snyder: the spherical y keeps the one-argument arctangent
// of 8-3, which folds longitudes more than 90 degrees from the central
// meridian onto the near side. A non-finite input or result (NaN or
// infinite coordinates, or what a degenerate record such as a scale factor
// of 0 or an eccentricity of 1 produces) gives status 1 with the outputs
// untouched, instead of handing NaN down the pipeline.
#include "mpxlib.h"
#include "numeric/thresholds.hpp"
#include "proj/cylindrical/tranmerc_forms.hpp"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

TranmercRecord &record_of(void *params) { return *static_cast<TranmercRecord *>(params); }

constexpr int32_t kMethodSphere = kTranmercSphere;
constexpr int32_t kMethodEllipsoid = kTranmercEllipsoid;
// Below this eccentricity the exact spherical formulas are used.
constexpr double kSphereEccentricity = 1e-7;

// Mode 2: forward expects longitudes brought into the window (not mode 1).
constexpr int kTranmercMode = 2;
constexpr int32_t kNoZone = -999;
constexpr char kNoHemisphere = ' ';

constexpr int kStatusNotRepresentable = 1;
constexpr int kStatusSingular = 2;

// UTM grid (NIMA TM 8358.2, ch. 2): 60 zones of 6 degrees from 180 W.
constexpr double kUtmFalseEasting = 500000.0;
constexpr double kUtmSouthFalseNorthing = 10000000.0;
constexpr double kUtmScale = 0.9996;
constexpr double kUtmZoneWidth = 0.10471975511965977;    // 6 degrees
constexpr double kUtmWestOfZoneZero = 3.193952531149623; // 183 degrees: zone 1 on 177 W

constexpr double kHalfPi = std::numbers::pi / 2.0;

int init_common(TranmercRecord &r) {
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.e2 = r.eccentricity * r.eccentricity;
    r.ep2 = r.e2 / (1.0 - r.e2);
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    r.m0 = mpx_snyder_eqn_3_21(r.centre_lat, r.meridian);
    mpx_snyder_init_3_26(r.eccentricity, r.footpoint);
    r.method = std::fabs(r.eccentricity) < kSphereEccentricity ? kMethodSphere : kMethodEllipsoid;
    return 0;
}

int mpx_tranmerc_init(void *params) noexcept {
    TranmercRecord &r = record_of(params);
    r.grid_ws = 0;
    r.zone = kNoZone;
    r.hemisphere = kNoHemisphere;
    return init_common(r);
}

int mpx_stm_init(void *params) noexcept {
    TranmercRecord &r = record_of(params);
    r.zone = kNoZone;
    r.hemisphere = kNoHemisphere;
    r.grid_ws = 1;
    return init_common(r);
}

int mpx_utm_init(void *params) noexcept {
    TranmercRecord &r = record_of(params);
    r.grid_ws = 0;
    r.false_east = kUtmFalseEasting;
    // Only an upper-case 'S' means south; the zone is not range-checked, so
    // zone 0 lies on 183 W and zones past 60 keep counting eastward.
    r.false_north = r.hemisphere == 'S' ? kUtmSouthFalseNorthing : 0.0;
    r.scale_factor = kUtmScale;
    r.centre_merid = r.zone * kUtmZoneWidth - kUtmWestOfZoneZero;
    r.centre_lat = 0.0;
    return init_common(r);
}

// Sphere, eqs. 8-1 and 8-3; false when the point is the singular one.
bool sphere_forward(const TranmercRecord &r, double dlon, double lat, double &xp, double &yp) {
    if (is_pole(lat)) {
        xp = 0.0;
        yp = (lat - r.centre_lat) * r.radius;
        return true;
    }
    const double c = std::cos(lat);
    const double b = std::sin(dlon) * c;
    if (std::fabs(std::fabs(b) - 1.0) < kZeroDenominator)
        return false;
    xp = r.radius * mpx_atanh(b);
    yp = (std::atan(std::sin(lat) / c / std::cos(dlon)) - r.centre_lat) * r.radius;
    return true;
}

} // namespace

int tranmerc_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusNotRepresentable;
    const TranmercRecord &r = record_of(params);
    const double dlon = lon - r.centre_merid;
    double east = 0.0;
    double north = 0.0;
    if (r.method == kMethodSphere) {
        double xp = 0.0;
        double yp = 0.0;
        if (!sphere_forward(r, dlon, lat, xp, yp))
            return kStatusSingular;
        mpx_forms::tranmerc_to_grid(r, xp, yp, east, north);
    } else if (is_pole(lat)) {
        // Both poles lie on the central meridian.
        mpx_forms::tranmerc_to_grid(r, 0.0, mpx_snyder_eqn_3_21(lat, r.meridian) - r.m0, east,
                                    north);
    } else {
        mpx_forms::tranmerc_ellipsoid_forward(r, dlon, lat, east, north);
    }
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusNotRepresentable;
    *x = east;
    *y = north;
    return 0;
}

int tranmerc_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusNotRepresentable;
    const TranmercRecord &r = record_of(params);
    double xp = 0.0;
    double yp = 0.0;
    mpx_forms::tranmerc_from_grid(r, x, y, xp, yp);
    double lambda = 0.0;
    double phi = 0.0;
    if (r.method == kMethodSphere) {
        const double d = yp / r.radius + r.centre_lat;
        const double u = xp / r.radius;
        phi = std::asin(std::sin(d) / std::cosh(u));
        lambda = std::atan2(std::sinh(u), std::cos(d)) + r.centre_merid;
    } else {
        const double phi1 = mpx_forms::tranmerc_footpoint(r, yp);
        if (is_pole(phi1)) {
            // The footpoint's own sign: the same as the sign of y' for any
            // latitude of origin inside [-90, 90] degrees.
            phi = std::copysign(kHalfPi, phi1);
            lambda = r.centre_merid;
        } else {
            mpx_forms::tranmerc_ellipsoid_backward(r, xp, phi1, lambda, phi);
        }
    }
    if (!std::isfinite(lambda) || !std::isfinite(phi))
        return kStatusNotRepresentable;
    *lon = lambda;
    *lat = phi;
    return 0;
}

namespace {

// A dotted attribute name, shown (dot dropped) when `visible`: "utm" reads
// zone and hemisphere from its table and hides the origin; the other two do
// the opposite.
const char *name_as(const char *dotted, bool visible) { return visible ? dotted + 1 : dotted; }

int install(const char *keyword, mpx_proj_init_fn init, bool utm) {
    TranmercRecord sample{};
    mpx_proj_create(keyword, &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par(name_as(".zone", utm), &sample.zone, MPX_TYPE_LONG);
    mpx_proj_ins_par(name_as(".hemisphere", utm), &sample.hemisphere, MPX_TYPE_CHAR);
    mpx_proj_ins_par(".grid_ws", &sample.grid_ws, MPX_TYPE_LONG);
    mpx_proj_ins_par(name_as(".false_east", !utm), &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".false_north", !utm), &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".scale_factor", !utm), &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".centre_merid", !utm), &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".centre_lat", !utm), &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(init, tranmerc_forward, tranmerc_backward);
    mpx_proj_ins_mode(kTranmercMode);
    return mpx_proj_end();
}

} // namespace

extern "C" int mpx_tranmerc_install(void) noexcept {
    return install("tranmerc", mpx_tranmerc_init, false);
}

extern "C" int mpx_stm_install(void) noexcept { return install("stm", mpx_stm_init, false); }

extern "C" int mpx_utm_install(void) noexcept { return install("utm", mpx_utm_init, true); }
