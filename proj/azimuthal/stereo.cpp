// "stereo": the stereographic projection on the ellipsoid (the sphere when
// e = 0). Polar aspect with true scale at a chosen latitude (EPSG variant
// B) or a scale factor at the pole (variant A); equatorial and oblique
// aspects on the conformal sphere.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 21: polar eqs. 21-33, 21-34 (with t of 9-13) and
// 21-35 to 21-40; oblique and equatorial eqs. 21-24 to 21-29 forward and
// 21-36 to 21-38 backward, the conformal latitude 3-1 and its inverse
// series 3-5. The oblique aspect is Snyder's, not the double projection of
// EPSG's Oblique Stereographic (method 9809): the two agree at the origin
// and drift apart with distance from it (see the tables).
//
// Domain: everything but the antipode of the centre. Singular: the antipode
// (the opposite pole in the polar aspect), where the map point is at
// infinity.
//
// Departures from Snyder:
// - The antipode is refused with status 1, outputs untouched, where the
//   formula's denominator 1 + cos(c) (c the angular distance from the
//   centre) falls below 1e-7: within 4.5e-4 rad of the antipode (2.8 km on
//   the Earth), where the map point would lie beyond 5e10 m. A non-finite
//   input or result also gives status 1.
// - The conformal latitude enters forward only through sin chi and
//   cos chi, computed from t of eq. 9-13 as (1 - t^2)/(1 + t^2) and
//   2t/(1 + t^2) with t taken on the northern hemisphere and chi odd in phi:
//   the same values as sin and cos of eq. 3-1 without the three
//   transcendental calls. Backward likewise takes sin c and cos c from
//   tan(c/2).
// - The oblique backward latitude comes from atan2 of the point's unit
//   vector on the conformal sphere instead of the arcsine of 21-37, which
//   loses half its digits near the poles (0.1 m at the pole itself).
#include "proj/azimuthal/azimuthal.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

struct StereoRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double origin_lat;
    double true_lat;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double s; // hemisphere of the polar aspect, +1 or -1
    double p; // polar constant 2 a k0 / sqrt((1+e)^(1+e) (1-e)^(1-e)), eq. 21-33
    double d; // 2 k0 a
    double m; // oblique constant 2 a k0 m0
    double chi0;
    double sin_chi0;
    double cos_chi0;
    double q; // true-scale constant a m1 / t1, eq. 21-34
    double conformal[MPX_SERIES_SIZE];
    int32_t aspect;
    int32_t true_scale_at_pole; // non-zero: rho = t P, else rho = t Q
};

StereoRecord &record_of(void *params) { return *static_cast<StereoRecord *>(params); }

constexpr int32_t kPolar = 0;
constexpr int32_t kEquatorial = 1;
constexpr int32_t kOblique = 2;
// Below this |phi0| (radians) the centre lies on the equator.
constexpr double kEquatorTolerance = 1e-12;

constexpr double kHalfPi = std::numbers::pi / 2;

int stereo_init(void *params) noexcept {
    StereoRecord &r = record_of(params);
    const double e = r.eccentricity;
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.s = 1.0;
    r.d = 2 * r.scale_factor * r.radius;
    r.true_scale_at_pole = 1;
    if (is_pole(r.origin_lat)) {
        r.aspect = kPolar;
        if (r.origin_lat < 0)
            r.s = -1.0;
        r.p = r.d / std::sqrt(std::pow(1 + e, 1 + e) * std::pow(1 - e, 1 - e));
        if (!is_pole(r.true_lat)) {
            const double sigma = std::sin(r.s * r.true_lat);
            const double m1 = std::cos(r.true_lat) / std::sqrt(1 - sigma * sigma * e * e);
            r.q = r.radius * m1 / mpx_snyder_eqn_9_13(sigma, e);
            r.true_scale_at_pole = 0;
        }
    } else {
        r.aspect = std::fabs(r.origin_lat) < kEquatorTolerance ? kEquatorial : kOblique;
        const double s0 = std::sin(r.origin_lat);
        r.m = r.d * std::cos(r.origin_lat) / std::sqrt(1 - e * e * s0 * s0);
        r.chi0 = mpx_snyder_eqn_3_1(s0, e);
        r.sin_chi0 = std::sin(r.chi0);
        r.cos_chi0 = std::cos(r.chi0);
    }
    mpx_snyder_init_3_5(e, r.conformal);
    return 0;
}

int stereo_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const StereoRecord &r = record_of(params);
    const double dlon = lon - r.centre_merid;
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    const double sin_lat = std::sin(lat);
    double xp = 0.0;
    double yp = 0.0;
    if (r.aspect == kPolar) {
        // The antipode here is the opposite pole.
        if (!(1 + r.s * sin_lat >= kZeroDenominator))
            return kStatusNotRepresentable;
        const double t = mpx_snyder_eqn_9_13(r.s * sin_lat, r.eccentricity);
        const double rho = t * (r.true_scale_at_pole ? r.p : r.q);
        xp = rho * sin_dlon;
        yp = -r.s * rho * cos_dlon;
    } else {
        const double t = mpx_snyder_eqn_9_13(std::fabs(sin_lat), r.eccentricity);
        const double cos_chi = 2 * t / (1 + t * t);
        const double sin_chi = std::copysign((1 - t * t) / (1 + t * t), sin_lat);
        if (r.aspect == kEquatorial) {
            const double denominator = 1 + cos_chi * cos_dlon;
            if (!(denominator >= kZeroDenominator))
                return kStatusNotRepresentable;
            const double a = r.d / denominator;
            xp = a * cos_chi * sin_dlon;
            yp = a * sin_chi;
        } else {
            const double denominator = 1 + r.sin_chi0 * sin_chi + r.cos_chi0 * cos_chi * cos_dlon;
            if (!(denominator >= kZeroDenominator))
                return kStatusNotRepresentable;
            const double a = r.m / (denominator * r.cos_chi0);
            xp = a * cos_chi * sin_dlon;
            yp = a * (r.cos_chi0 * sin_chi - r.sin_chi0 * cos_chi * cos_dlon);
        }
    }
    return put(xp + r.false_east, yp + r.false_north, x, y);
}

// Longitude of a polar map point (dx, dy) from the pole: points on the grid
// axes through the pole take exact multiples of pi/2.
double polar_longitude(const StereoRecord &r, double dx, double dy) {
    if (std::fabs(dx) < kZeroDenominator)
        return dy * r.s > 0 ? r.centre_merid + std::numbers::pi : r.centre_merid;
    if (std::fabs(dy) < kZeroDenominator)
        return dx < 0 ? r.centre_merid - kHalfPi : r.centre_merid + kHalfPi;
    return r.s * (std::atan2(r.s * dx, -r.s * dy) + r.s * r.centre_merid);
}

int stereo_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const StereoRecord &r = record_of(params);
    if (!finite(x, y))
        return kStatusNotRepresentable;
    const double dx = x - r.false_east;
    const double dy = y - r.false_north;
    double lambda = r.centre_merid;
    double phi = 0.0;
    if (r.aspect == kPolar) {
        const double t = std::hypot(dx, dy) / (r.true_scale_at_pole ? r.p : r.q);
        const double chi = kHalfPi - 2 * std::atan(t);
        lambda = polar_longitude(r, dx, dy);
        phi = r.s * (chi + mpx_snyder_eqn_3_35(chi, r.conformal));
    } else {
        // On the conformal sphere, with u = tan(c/2).
        const auto distance = [&r](double rho, double &sin_c, double &cos_c) {
            const double u = rho * r.cos_chi0 / r.m;
            sin_c = 2 * u / (1 + u * u);
            cos_c = (1 - u * u) / (1 + u * u);
            return true;
        };
        SphereOffset g{};
        sphere_backward({r.chi0, r.sin_chi0, r.cos_chi0, 0}, dx, dy, distance, g);
        lambda = g.dlon + r.centre_merid;
        const double sin_chi = std::sin(g.lat);
        const double cos_chi = std::cos(g.lat);
        phi = g.lat + series_3_35(r.conformal, 2 * sin_chi * cos_chi,
                                  (cos_chi - sin_chi) * (cos_chi + sin_chi));
    }
    return put(lambda, phi, lon, lat);
}

} // namespace

extern "C" int mpx_stereo_install(void) noexcept {
    StereoRecord sample{};
    mpx_proj_create("stereo", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &sample.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("true_lat", &sample.true_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(stereo_init, stereo_forward, stereo_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
