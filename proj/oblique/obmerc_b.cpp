// "obmerc_b": the Hotine oblique Mercator projection on the ellipsoid,
// defined by a centre point and the azimuth of the central line there.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 9, the ellipsoid with one central point and the
// azimuth of the central line: eqs. 9-11 to 9-14 and 9-17 to 9-19 (init),
// 9-21 to 9-29 (forward), 9-30 to 9-35 with 7-9 and the series 3-5
// (backward). It is EPSG Guidance Note 7-2's Hotine variant A (method
// 9812) when the rectified grid angle equals the azimuth, as on the State
// Plane zone Alaska 1: u is measured from the natural origin, where the
// central line crosses the equator of the aposphere, and the grid is
// rotated by the azimuth itself. A grid whose rectified angle differs from
// its azimuth (RSO Malaya and Borneo) needs "borneo" or its own constants.
//
// Domain: the whole ellipsoid but the two points 90 degrees from the
// central line on the aposphere, where v is infinite (status 2, nothing
// written; the poles themselves when the central line runs along the
// equator). The poles map by their own branch. Backward always succeeds;
// points within a few metres of a pole come back as the pole itself, where
// |U'| rounds to 1.
//
// Departure from Snyder: a non-finite input or result is refused with
// status 1 (nothing written) rather than handed on with status 0.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct ObmercBRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double azimuth_angl;
    double origin_lat;
    double origin_long;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init (Snyder's A, B and E; lambda0 is the longitude of
    // the natural origin).
    double a_const, b_const, e_const;
    double lambda0;
    double gamma0, sin_gamma0, cos_gamma0;
    double sin_alpha, cos_alpha;
    double conformal[MPX_SERIES_SIZE]; // conformal latitude to latitude (3-5)
};

ObmercBRecord &record_of(void *params) { return *static_cast<ObmercBRecord *>(params); }

constexpr int kObmercBMode = 0;
constexpr int kStatusUnrepresentable = 1;
constexpr int kStatusSingular = 2;
constexpr double kPi = std::numbers::pi;
// |U| this close to 1 makes v infinite; a cos(B dlambda) this small makes
// the arctangent of u a quarter turn, taken by its limit.
constexpr double kUnitTolerance = kLatitudeTolerance;

int obmerc_b_init(void *params) noexcept {
    ObmercBRecord &r = record_of(params);
    const double e = r.eccentricity;
    const double e2 = e * e;
    const double phic = r.origin_lat;
    const double sin_c = std::sin(phic);
    const double cos_c = std::cos(phic);
    r.long_cut = r.origin_long - kPi;
    r.sin_alpha = std::sin(r.azimuth_angl);
    r.cos_alpha = std::cos(r.azimuth_angl);
    // 9-11, written as sqrt(1 - e^2 (1 - cos^4)) / sqrt(1 - e^2).
    const double cos4 = cos_c * cos_c * cos_c * cos_c;
    r.b_const = std::sqrt(1 - e2 * (1 - cos4)) / std::sqrt(1 - e2);
    const double w = 1 - e2 * sin_c * sin_c;
    r.a_const = r.radius * r.scale_factor * r.b_const * std::sqrt(1 - e2) / w; // 9-12
    const double t0 = mpx_snyder_eqn_9_13(sin_c, e);
    const double d = r.b_const * std::sqrt(1 - e2) / (std::sqrt(w) * cos_c); // 9-14
    double d2 = d * d;
    // D is 1 or more in exact arithmetic; rounding below 1 means exactly 1.
    if (d2 - 1 < kUnitTolerance)
        d2 = 1;
    const double f = phic >= 0 ? d + std::sqrt(d2 - 1) : d - std::sqrt(d2 - 1); // 9-17
    r.e_const = f * std::pow(t0, r.b_const);                                    // 9-18
    r.gamma0 = std::asin(r.sin_alpha / d);                                      // 9-19
    r.sin_gamma0 = std::sin(r.gamma0);
    r.cos_gamma0 = std::cos(r.gamma0);
    const double g = (f - 1 / f) * 0.5;
    r.lambda0 = r.origin_long - std::asin(g * std::tan(r.gamma0)) / r.b_const;
    mpx_snyder_init_3_5(e, r.conformal);
    return 0;
}

int obmerc_b_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const ObmercBRecord &r = record_of(params);
    const double ab = r.a_const / r.b_const;
    double u = 0, v = 0;
    if (is_pole(lat)) { // 9-27 and 9-28 at the poles
        // With the central line along the equator (gamma0 = 90 degrees, to
        // the rounding of asin) the poles lie at infinite v, as in the
        // normal Mercator; the logarithm would give -inf at one pole and a
        // rounding artefact at the other.
        if (std::fabs(r.cos_gamma0) < kUnitTolerance)
            return kStatusSingular;
        v = ab * std::log(std::tan(kPi / 4 + (lat >= 0 ? -r.gamma0 : r.gamma0) / 2));
        u = lat * ab;
    } else {
        const double dlam = mpx_normal_pi(lon - r.lambda0);
        const double t = mpx_snyder_eqn_9_13(std::sin(lat), r.eccentricity);
        const double q = r.e_const / std::pow(t, r.b_const); // 9-21
        const double s = (q - 1 / q) * 0.5;
        const double tt = (1 / q + q) * 0.5;
        const double vv = std::sin(r.b_const * dlam);
        const double cos_bl = std::cos(r.b_const * dlam);
        const double uu = (-vv * r.cos_gamma0 + s * r.sin_gamma0) / tt; // 9-25
        if (std::fabs(std::fabs(uu) - 1) < kUnitTolerance)
            return kStatusSingular;
        v = r.a_const * std::log((1 - uu) / (1 + uu)) / (2 * r.b_const); // 9-26
        u = std::fabs(cos_bl) < kUnitTolerance
                ? r.a_const * r.b_const * dlam
                : r.a_const * std::atan2(s * r.cos_gamma0 + vv * r.sin_gamma0, cos_bl) /
                      r.b_const; // 9-27
    }
    // 9-28 and 9-29: rotation by the azimuth of the central line.
    const double east = u * r.sin_alpha + v * r.cos_alpha + r.false_east;
    const double north = u * r.cos_alpha - v * r.sin_alpha + r.false_north;
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusUnrepresentable;
    *x = east;
    *y = north;
    return 0;
}

int obmerc_b_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const ObmercBRecord &r = record_of(params);
    const double dx = x - r.false_east;
    const double dy = y - r.false_north;
    const double v = dx * r.cos_alpha - dy * r.sin_alpha;  // 9-30
    const double u = dy * r.cos_alpha + dx * r.sin_alpha;  // 9-31
    const double q = std::exp(-r.b_const * v / r.a_const); // 9-32
    const double s = (q - 1 / q) * 0.5;
    const double t = (1 / q + q) * 0.5;
    const double vv = std::sin(r.b_const * u / r.a_const);
    const double uu = (vv * r.cos_gamma0 + s * r.sin_gamma0) / t; // 9-33
    double lambda = 0, phi = 0;
    if (std::fabs(std::fabs(uu) - 1) < kUnitTolerance) {
        phi = uu >= 0 ? kPi / 2 : -kPi / 2;
        lambda = r.lambda0;
    } else {
        const double tp = std::pow(r.e_const / std::sqrt((1 + uu) / (1 - uu)), 1 / r.b_const);
        const double chi = kPi / 2 - 2 * std::atan(tp); // 7-9
        phi = chi + mpx_snyder_eqn_3_35(chi, r.conformal);
        lambda = r.lambda0 - mpx_normal_pi(std::atan2(s * r.cos_gamma0 - vv * r.sin_gamma0,
                                                      std::cos(r.b_const * u / r.a_const))) /
                                 r.b_const; // 9-35
    }
    if (!std::isfinite(lambda) || !std::isfinite(phi))
        return kStatusUnrepresentable;
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_obmerc_b_install(void) noexcept {
    ObmercBRecord sample{};
    mpx_proj_create("obmerc_b", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("azimuth_angl", &sample.azimuth_angl, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &sample.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_long", &sample.origin_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(obmerc_b_init, obmerc_b_forward, obmerc_b_backward);
    mpx_proj_ins_mode(kObmercBMode);
    return mpx_proj_end();
}
