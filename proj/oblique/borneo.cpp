// "borneo": the rectified skew orthomorphic grid of Borneo (Sabah, Sarawak
// and Brunei), a Hotine oblique Mercator with its defining constants built
// in.
//
// Source: EPSG Guidance Note 7-2, Hotine Oblique Mercator (variant A,
// method 9812), with the constants of Timbalai 1948 / RSO Borneo: latitude
// of the centre 4 degrees N, natural origin (where the central line
// crosses the aposphere's equator) at 109.68552 degrees E, and skew and
// rectification both taken as the angle whose sine is 0.8 and cosine 0.6
// (53 07 48.3685, the published rectified grid angle). Only the scale factor
// and the ellipsoid come from the coordinate system.
//
// The grid coordinates are those of the natural origin: there is no false
// origin, and a grid that needs one applies it as a field over this one.
//
// Domain: the aposphere short of the two points 90 degrees from the
// central line; guards at 1e-7 on cosh W, cos L and cos v' and the
// requirement S^2 < 1 give -2 (nothing written) there. Backward finds the
// latitude from the isometric latitude by a secant search of at most 100
// steps to 1e-12.
//
// Accuracy of the fixed constants against the published definition
// (azimuth 53 18 56.9537 at the centre 4 N, 115 E, rectified angle
// 53 07 48.3685, k0 0.99984 on Everest 1830 (1967)): the skew angle it
// implies on the aposphere, 53.13010235 degrees, is asin 0.8 to 7e-9 degree;
// the natural origin it implies, 109.685520203 E, is rounded here to
// 109.68552, which moves the grid by 2.3 cm along the aposphere's equator.
//
// Departure: a non-finite input is refused with -2 (nothing written).
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct BorneoRecord {
    // Declared attributes, in installer order.
    double scale_factor;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double a_const, b_const, d_const;
    double lambda0; // longitude of the natural origin
    double sin_skew, cos_skew;
    double k_ratio; // B / (k0 A): grid length to aposphere angle
};

BorneoRecord &record_of(void *params) { return *static_cast<BorneoRecord *>(params); }

constexpr int kBorneoMode = MPX_PROJ_MODE_UNCONDITIONED;
constexpr int kStatusRefused = -2;
constexpr double kPi = std::numbers::pi;
constexpr double kCentreLatitude = 0.06981317007977318;        // 4 degrees N
constexpr double kNaturalOriginLongitude = 1.9143734657620908; // 109.68552 degrees E
// The skew (and rectification) angle of the grid, 53 07 48.3685.
constexpr double kSinSkew = 0.8;
constexpr double kCosSkew = 0.6;
// The secant search brackets the latitude estimate within 0.05 percent.
constexpr double kBracketLow = 0.9995;
constexpr double kBracketHigh = 1.0005;

// Isometric latitude q(phi); false where the logarithms have no value.
bool isometric(double phi, double e, double *q) {
    const double t = std::tan(kPi / 4 + phi / 2);
    const double es = e * std::sin(phi);
    const double ratio = (1 + es) / (1 - es);
    if (t <= 0 || ratio <= 0)
        return false;
    *q = std::log(t) - e / 2 * std::log(ratio);
    return true;
}

int borneo_init(void *params) noexcept {
    BorneoRecord &r = record_of(params);
    const double e = r.eccentricity;
    r.lambda0 = kNaturalOriginLongitude;
    double q0 = 0;
    if (!isometric(kCentreLatitude, e, &q0))
        return kStatusRefused;
    r.long_cut = r.lambda0 - kPi;
    const double e2 = e * e;
    const double ep2 = e2 / (1 - e2);
    const double s = std::sin(kCentreLatitude);
    const double c = std::cos(kCentreLatitude);
    const double n = r.radius / std::sqrt(1 - e2 * s * s);
    r.b_const = std::sqrt(1 + ep2 * c * c * c * c);
    r.a_const = r.b_const * std::sqrt(n * n / (1 + ep2 * c * c));
    r.d_const = mpx_acosh(r.a_const / (n * c)) - r.b_const * q0;
    r.sin_skew = kSinSkew;
    r.cos_skew = kCosSkew;
    r.k_ratio = r.b_const / (r.scale_factor * r.a_const);
    return 0;
}

int borneo_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const BorneoRecord &r = record_of(params);
    if (!std::isfinite(lon))
        return kStatusRefused;
    double q = 0;
    if (!isometric(lat, r.eccentricity, &q))
        return kStatusRefused;
    const double l = (lon - r.lambda0) * r.b_const;
    const double w = q * r.b_const + r.d_const;
    const double t = std::sin(l) * r.sin_skew + std::sinh(w) * r.cos_skew;
    if (std::fabs(std::cosh(w)) < kZeroDenominator)
        return kStatusRefused;
    const double s = (std::sin(l) * r.cos_skew - std::sinh(w) * r.sin_skew) / std::cosh(w);
    if (std::fabs(std::cos(l)) < kZeroDenominator)
        return kStatusRefused;
    const double v = std::atan2(t, std::cos(l)) / r.k_ratio;
    // Negated so that NaN (from an infinite W) is refused too.
    if (!(s * s < 1))
        return kStatusRefused;
    const double u = mpx_atanh(s) / r.k_ratio;
    const double east = v * r.sin_skew + u * r.cos_skew;
    const double north = v * r.cos_skew - u * r.sin_skew;
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusRefused;
    *x = east;
    *y = north;
    return 0;
}

// The latitude whose isometric latitude is q, by secant steps from the
// estimate phi = q within a bracket of +-0.05 percent.
int latitude_of(double q, double e, double *phi_out) {
    double phi = q;
    double a1 = phi * kBracketLow;
    double b1 = phi * kBracketHigh;
    double qa = 0, qb = 0;
    if (!isometric(a1, e, &qa) || !isometric(b1, e, &qb))
        return kStatusRefused;
    for (int n = 0; n < kMaxIterations; ++n) {
        double qs = 0;
        if (!isometric(phi, e, &qs))
            return kStatusRefused;
        if (std::fabs(qs - q) < kLatitudeTolerance) {
            *phi_out = phi;
            return 0;
        }
        // The end whose isometric value is nearer the estimate is kept
        // (isometric values against a latitude, as the grid was defined).
        if (std::fabs(qa - phi) < std::fabs(qb - phi))
            b1 = phi, qb = qs;
        else
            a1 = phi, qa = qs;
        phi = (q - qa) / (qb - qa) * (b1 - a1) + a1;
    }
    return kStatusRefused;
}

int borneo_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const BorneoRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusRefused;
    const double v = (y * r.cos_skew + x * r.sin_skew) * r.k_ratio;
    const double u = (x * r.cos_skew - y * r.sin_skew) * r.k_ratio;
    if (std::fabs(std::cosh(u)) < kZeroDenominator)
        return kStatusRefused;
    const double s = (std::sin(v) * r.cos_skew - std::sinh(u) * r.sin_skew) / std::cosh(u);
    const double t = std::sinh(u) * r.cos_skew + std::sin(v) * r.sin_skew;
    if (!(s * s < 1))
        return kStatusRefused;
    const double q = (mpx_atanh(s) - r.d_const) / r.b_const;
    if (std::fabs(std::cos(v)) < kZeroDenominator)
        return kStatusRefused;
    double lambda = std::atan2(t, std::cos(v)) / r.b_const + r.lambda0;
    // Into the window from the cut to one turn beyond it.
    constexpr double kTurn = 2 * kPi;
    if (lambda <= r.long_cut)
        lambda += kTurn * std::ceil((r.long_cut - lambda) / kTurn);
    else if (lambda > r.long_cut + kTurn)
        lambda -= kTurn * std::ceil((lambda - r.long_cut - kTurn) / kTurn);
    double phi = 0;
    const int status = latitude_of(q, r.eccentricity, &phi);
    if (status != 0)
        return status;
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_borneo_install(void) noexcept {
    BorneoRecord sample{};
    mpx_proj_create("borneo", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(borneo_init, borneo_forward, borneo_backward);
    mpx_proj_ins_mode(kBorneoMode);
    return mpx_proj_end();
}
