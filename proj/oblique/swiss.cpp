// "swiss": the Swiss national grid (CH1903 / LV03), an oblique conformal
// cylindrical projection of the Bessel ellipsoid, evaluated by fixed
// bivariate power series instead of the closed formulas.
//
// Source: the series development of Rosenmund's (1903) double projection
// published by the Swiss Federal Office of Topography (swisstopo) for
// computing the national grid; the closed form is EPSG method 9815
// (Hotine oblique Mercator variant B with azimuth 90 degrees).
//
// Axes: the first output x runs along the meridian (north-south, 200000 at
// the Bern origin) and the second y across it (east-west, 600000): the
// opposite of the other projections of the library. "false_east" is added
// to the first output and "false_north" to the second.
//
// Domain: the series in (phi - phi0, lambda - lambda0), in units of 1e4
// seconds of arc, are fitted to Switzerland; there they agree with the
// closed form to a few millimetres, and the error grows with the sixth
// power of the distance beyond. The forward mapping refuses only
// |phi| > pi or |lambda| > 20 pi (status 1).
//
// Backward: the inverse series, then the shared finite-difference Newton
// refinement on this forward mapping until it reproduces the input within
// a * 1.567794245191732e-10 (1 mm on the Bessel ellipsoid); when it cannot
// settle, the series estimate is returned with status 0.
//
// Departure: a NaN latitude in the forward mapping, and a grid point whose
// series estimate is not finite (NaN, infinite or overflowing input) in
// the backward mapping, get status 1 instead of a non-finite result with
// status 0.
#include "numeric/newton.hpp"
#include "numeric/power_series.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

// Coefficients of the forward and backward series. Forward, with p and l
// the latitude and longitude differences in 1e4 seconds of arc, in 1e6 m:
//   Y = l (a10 + a11 p + ... + a15 p^5) + l^3 (a30 + ... + a33 p^3)
//       + l^5 (a50 + a51 p)                                 (across)
//   X = b01 p + ... + b06 p^6 + l^2 (b20 + ... + b24 p^4)
//       + l^4 (b40 + b41 p + b42 p^2) + b60 l^6             (along)
// Backward, with u along and v across the meridian in 1e6 m, the same
// shapes give the longitude (c) and latitude (d) in 1e4 seconds of arc.
struct SwissSeries {
    double c10[6]; // l or v times a polynomial of degree 5
    double c30[4]; // its cube times degree 3
    double c50[2]; // its fifth power times degree 1
    double c01[6]; // p or u to the powers 1 to 6
    double c20[5]; // square of the other variable times degree 4
    double c40[3]; // its fourth power times degree 2
    double c60;    // its sixth power
};

constexpr SwissSeries kForwardAcross = {
    {0.211428533991, -0.010939608605, -2.658213e-06, -8.539078e-06, -3.45e-09, -7.992e-09},
    {-4.4232717e-05, 4.29174e-06, -3.09883e-07, 1.3924e-08},
    {1.9784e-08, -4.277e-09},
    {},
    {},
    {},
    0.0};
constexpr SwissSeries kForwardAlong = {
    {},
    {},
    {},
    {0.308770746371, 7.5028131e-05, 0.000120435227, 9.488e-09, 7.0332e-08, -1e-11},
    {0.003745408911, -0.000193792705, 4.340858e-06, -3.76174e-07, 4.053e-09},
    {-7.34684e-07, 1.44466e-07, -1.1842e-08},
    4.88e-10};
constexpr SwissSeries kBackwardLongitude = {
    {4.72973056722, 0.7925714783, 0.1328129667, 0.025502202, 0.004817474, 0.00090243},
    {-0.0442709889, -0.025502202, -0.009634947, -0.00300808},
    {0.000963495, 0.00090243},
    {},
    {},
    {},
    0.0};
constexpr SwissSeries kBackwardLatitude = {
    {},
    {},
    {},
    {3.23864877666, -0.0025486822, -0.0132457771, 4.8747e-05, 8.1305e-05, -6.9e-07},
    {-0.2713537919, -0.0450442705, -0.007553194, -0.001463049, -0.00027606},
    {0.002442786, 0.001320703, 0.00047476},
    -4.249e-05};

struct SwissRecord {
    // Declared attributes, in installer order.
    double false_east;  // added to the first output (along the meridian)
    double false_north; // added to the second output (across it)
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity; // declared for the loader, not read
    double long_cut;
    // Derived by init.
    double tolerance;     // of the backward refinement, |dx| + |dy|
    double angle_scale;   // radians to 1e4 seconds of arc
    double angle_unscale; // and back
    double length_scale;  // metres to 1e6 m
    double length_unscale;
    SwissSeries a, b, c, d;
};

SwissRecord &record_of(void *params) { return *static_cast<SwissRecord *>(params); }

// Backward tolerance per unit of a, as for the New Zealand grid.
constexpr double kToleranceOverRadius = 1.567794245191732e-10;
constexpr double kAngleScale = 20.626480624709636;
constexpr double kAngleUnscale = 0.0484813681109536;
constexpr double kLengthScale = 1e-6;
constexpr double kLengthUnscale = 1000000.0;
// Sanity bounds of the forward input (radians).
constexpr double kMaxLatitude = std::numbers::pi;
constexpr double kMaxLongitude = 62.83185307179586; // 20 pi
constexpr int kOutsideBounds = 1;
// Value 3 as set for this projection in the registry table: the
// unconditioned flag plus the unused flag 2.
constexpr int kSwissMode = 3;

int swiss_init(void *params) noexcept {
    SwissRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.tolerance = r.radius * kToleranceOverRadius;
    r.angle_scale = kAngleScale;
    r.angle_unscale = kAngleUnscale;
    r.length_scale = kLengthScale;
    r.length_unscale = kLengthUnscale;
    r.a = kForwardAcross;
    r.b = kForwardAlong;
    r.c = kBackwardLongitude;
    r.d = kBackwardLatitude;
    return 0;
}

// c[0] + c[1] t + ... + c[n-1] t^(n-1), the constant term added last.
template <int N> double polynomial(const double (&c)[N], double t) {
    return power_series(c + 1, N - 1, t) + c[0];
}

// The odd series in s (across the meridian), with t along it.
double odd_series(const SwissSeries &k, double s, double t) {
    const double s3 = s * s * s;
    const double s5 = s3 * s * s;
    return s * polynomial(k.c10, t) + s3 * polynomial(k.c30, t) + s5 * polynomial(k.c50, t);
}

// The even series: t (along the meridian) to the powers 1 to 6, then the
// even powers of s (across it).
double even_series(const SwissSeries &k, double s, double t) {
    const double along = power_series(k.c01, 6, t);
    const double s2 = s * s;
    const double s4 = s2 * s2;
    return along + s2 * polynomial(k.c20, t) + s4 * polynomial(k.c40, t) + k.c60 * s4 * s2;
}

int swiss_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const SwissRecord &r = record_of(params);
    if (!(std::fabs(lat) <= kMaxLatitude) || !(std::fabs(lon) <= kMaxLongitude))
        return kOutsideBounds;
    const double p = (lat - r.centre_lat) * r.angle_scale;
    const double l = (lon - r.centre_merid) * r.angle_scale;
    *x = even_series(r.b, l, p) * r.length_unscale + r.false_east;
    *y = odd_series(r.a, l, p) * r.length_unscale + r.false_north;
    return 0;
}

int swiss_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const SwissRecord &r = record_of(params);
    const double u = (x - r.false_east) * r.length_scale;
    const double v = (y - r.false_north) * r.length_scale;
    double lambda = odd_series(r.c, v, u) * r.angle_unscale + r.centre_merid;
    double phi = even_series(r.d, v, u) * r.angle_unscale + r.centre_lat;
    if (!std::isfinite(lambda) || !std::isfinite(phi))
        return kOutsideBounds;
    // On failure the refinement leaves the series estimate in place.
    newton_refine(swiss_forward, params, {x, y, r.tolerance}, &lambda, &phi);
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_swiss_install(void) noexcept {
    SwissRecord sample{};
    mpx_proj_create("swiss", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(swiss_init, swiss_forward, swiss_backward);
    mpx_proj_ins_mode(kSwissMode);
    return mpx_proj_end();
}
