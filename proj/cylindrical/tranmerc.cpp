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
#include "proj/cylindrical/tranmerc_keywords.hpp"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

TranmercRecord &record_of(void *params) { return *static_cast<TranmercRecord *>(params); }

constexpr int32_t kMethodSphere = kTranmercSphere;
constexpr int32_t kMethodEllipsoid = kTranmercEllipsoid;
// Below this eccentricity the exact spherical formulas are used.
constexpr double kSphereEccentricity = 1e-7;

constexpr int kStatusNotRepresentable = 1;
constexpr int kStatusSingular = 2;

using tranmerc_keywords::Keyword;

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
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Tranmerc);
    return init_common(record_of(params));
}

int mpx_stm_init(void *params) noexcept {
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Stm);
    return init_common(record_of(params));
}

int mpx_utm_init(void *params) noexcept {
    tranmerc_keywords::set_keyword_fields(record_of(params), Keyword::Utm);
    return init_common(record_of(params));
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

int install(Keyword keyword, mpx_proj_init_fn init) noexcept {
    return tranmerc_keywords::install<TranmercRecord>(keyword, init, tranmerc_forward,
                                                      tranmerc_backward);
}

} // namespace

extern "C" int mpx_tranmerc_install(void) noexcept {
    return install(Keyword::Tranmerc, mpx_tranmerc_init);
}

extern "C" int mpx_stm_install(void) noexcept { return install(Keyword::Stm, mpx_stm_init); }

extern "C" int mpx_utm_install(void) noexcept { return install(Keyword::Utm, mpx_utm_init); }
