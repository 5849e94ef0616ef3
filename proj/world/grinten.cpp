// "grinten": the (first) Van der Grinten projection on the sphere of
// radius a.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 29: forward eqs. 29-1 to 29-6 (A, G, P, Q of
// 29-3 to 29-6), backward eqs. 29-9 to 29-19, the trigonometric solution
// of a cubic, refined by the finite-difference Newton iteration on the
// forward routine (numeric/newton.hpp) to 1.57e-10 a (1 mm on the Earth).
//
// Domain: the whole sphere inside the circle of radius pi a, expected with
// longitudes inside the window (mode 0). The equator is true to scale; the
// poles are points on the central meridian.
//
// Departures from Snyder (the values are the same where Snyder's forms are
// accurate):
// - Forward x: X = cA + sqrt(c^2 A^2 - k) (k = (G^2 - P^2)/(P^2 + A^2))
//   cancels when cA < 0 and A is large, near the central meridian: up to
//   5 m of error 1e-9 rad from it. There it is computed as
//   -k / (sqrt(c^2 A^2 - k) - cA), the same number.
// - Forward y near the equator: y = sqrt(1 - X^2 - 2XA) cancels for
//   |phi| below about 1e-4 rad (0.2 m of error at 1e-9 rad) and its
//   radicand can even turn negative (NaN). Within 1e-4 rad of the equator y
//   comes from Snyder's eq. 29-2 instead, with its radicand expanded as
//   A^2 (P^2 + 1 - 2G) + (P - G)(P + G) so that no A^4 terms cancel; and
//   where that form is poor too, within 1e-6 rad of the central meridian,
//   from the meridian's own y = tan(theta/2) (off by less than 1e-12 a).
//   The mapping stays continuous within 1 mm across these bands and y is
//   never a non-number for a finite point.
// - G's denominator cos theta + sin theta - 1 is evaluated as
//   s - s^2/(1 + cos theta), which is exact to rounding and positive for
//   every latitude off the equator and the poles, so the guard G = 1 for a
//   small denominator is never needed.
// - Backward, the closed form is checked against the forward routine
//   everywhere, not only within 1e-6 rad of the central meridian and at
//   the poles: near the equator's ends it is off by up to 0.06 m (at
//   179.99 degrees, 0.01 degrees of latitude) and by up to 27 m near the
//   poles' ends (179.75, -89.75), and the refinement brings every round
//   trip within 1 mm. Where the estimate already reproduces the point this
//   costs one forward call. The refinement runs on the point's mirror image
//   in the south-west quadrant: its first steps then lead inwards, where the
//   steps of one degree east and north from a point near the outline would
//   cross it and meet the fold of the mapping (a Jacobian of the wrong
//   sign, and no refinement).
// - A latitude beyond a pole by more than 1e-10 rad, and any non-finite
//   input or result, give status 1 with the outputs untouched (forward and
//   backward); so does a map point outside the circle of radius pi a,
//   which the closed form would fold back onto a longitude beyond +-pi or
//   onto the central meridian.
#include "numeric/newton.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct GrintenRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double long_cut;
    // Derived by init: tolerance of the backward refinement, |dx| + |dy|.
    double tolerance;
};

GrintenRecord &record_of(void *params) { return *static_cast<GrintenRecord *>(params); }

constexpr int kGrintenMode = 0;
constexpr int kStatusUnrepresentable = 1;

constexpr double kPi = std::numbers::pi;
constexpr double kInvPi = 0.3183098861837907;
constexpr double kTwoOverPi = 0.6366197723675814;
constexpr double kOneOver27 = 0.037037037037037035;
constexpr double kThirdOfPi = 1.0471975511965976;
// Backward tolerance per unit of a: 1 mm when a is 6378388 m.
constexpr double kToleranceOverRadius = 1.567794245191732e-10;
// A longitude difference below this is on the central meridian (forward).
constexpr double kMeridianLongitude = 1e-10;
// A map point farther than pi a (1 + this)^(1/2) from the centre is outside
// the circle: the margin covers the rounding of the outline's own points.
constexpr double kOutlineRounding = 1e-12;
// The near-equator band of y (radians of latitude) and, inside it, the band
// of the central meridian (radians of longitude): see the departures.
constexpr double kEquatorBand = 1e-4;
constexpr double kMeridianBand = 1e-6;
// x'' and y'' (units of pi a) whose squares are both below this are the
// origin; an x'' below kMeridianX is on the central meridian.
constexpr double kOriginSquare = 1e-12;
constexpr double kMeridianX = 1e-12;
// Newton refinement: a determinant below this (signed) ends the search.
constexpr double kMinDeterminant = 1e-10;

int grinten_init(void *params) noexcept {
    GrintenRecord &r = record_of(params);
    r.long_cut = r.centre_merid - kPi;
    r.tolerance = r.radius * kToleranceOverRadius;
    return 0;
}

// X and Y in units of pi a, for the first quadrant (dlon > 0, phi > 0 off
// the equator, the central meridian and the poles): eqs. 29-1 to 29-6.
struct Unit {
    double x, y;
};

Unit quadrant(double dlon, double lat) {
    const double a = 0.5 * std::fabs(kPi / dlon - dlon * kInvPi);
    const double s = std::fabs(lat * kTwoOverPi);
    const double ct = std::sqrt((1 - s) * (1 + s)); // cos(asin s)
    const double g = s - s * s / (1 + ct);          // cos theta + sin theta - 1
    const double gg = ct / g;
    const double p = (2 / s - 1) * gg;
    const double d = p * p + a * a;
    const double c = (gg - p * p) / d;
    const double k = (gg * gg - p * p) / d;
    const double root = std::sqrt(std::max(c * c * a * a - k, 0.0));
    const double x = c * a >= 0 ? c * a + root : -k / (root - c * a);
    double y = 0;
    if (std::fabs(lat) >= kEquatorBand) {
        y = std::sqrt(std::max(1 - x * x - 2 * x * a, 0.0));
    } else if (std::fabs(dlon) >= kMeridianBand) {
        const double q = a * a + gg;
        const double radicand = a * a * (p * p + 1 - 2 * gg) + (p - gg) * (p + gg);
        y = (p * q - a * std::sqrt(std::max(radicand, 0.0))) / d;
    } else {
        y = s / (1 + ct); // tan(theta/2), the central meridian's y
    }
    return {x, y};
}

int grinten_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const GrintenRecord &r = record_of(params);
    if (!std::isfinite(lon) || !std::isfinite(lat) || std::fabs(lat) > kPi / 2 + kPoleTolerance)
        return kStatusUnrepresentable;
    const double dlon = lon - r.centre_merid;
    double xp = 0;
    double yp = 0;
    if (std::fabs(lat) <= kPoleTolerance) { // the equator, true to scale
        xp = dlon * r.radius;
    } else if (std::fabs(dlon) < kMeridianLongitude || is_pole(lat)) {
        const double theta = mpx_asin(std::fabs(lat * kTwoOverPi));
        yp = std::tan(theta / 2) * r.radius * kPi;
    } else {
        const Unit u = quadrant(dlon, lat);
        xp = dlon < 0 ? -u.x * r.radius * kPi : u.x * r.radius * kPi;
        yp = u.y * r.radius * kPi;
    }
    if (lat < 0)
        yp = -yp;
    xp += r.false_east;
    yp += r.false_north;
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusUnrepresentable;
    *x = xp;
    *y = yp;
    return 0;
}

struct Geographic {
    double lon, lat;
};

// Eqs. 29-9 to 29-19: the closed-form estimate.
Geographic estimate(const GrintenRecord &r, double x, double y) {
    const double xu = (x - r.false_east) / (kPi * r.radius);
    const double yu = (y - r.false_north) / (kPi * r.radius);
    const double x2 = xu * xu;
    const double y2 = yu * yu;
    if (x2 < kOriginSquare && y2 < kOriginSquare)
        return {r.centre_merid, 0.0};
    const double sum = x2 + y2;
    const double c1 = -std::fabs(yu) * (1 + sum);
    const double c2 = c1 - 2 * y2 + x2;
    const double c3 = sum * sum - 2 * c1 + 2 * y2 + 1;
    const double a1 = (c1 - c2 * c2 / (3 * c3)) / c3;
    const double m = 2 * std::sqrt(-a1 / 3);
    const double d =
        y2 / c3 + (2 * c2 * c2 * c2 / (c3 * c3 * c3) - 9 * c1 * c2 / (c3 * c3)) * kOneOver27;
    const double theta1 = mpx_acos(3 * d / (m * a1));
    const double phi = std::fabs(kPi * (-m * std::cos(theta1 / 3 + kThirdOfPi) - c2 / (3 * c3)));
    const double lam =
        std::fabs(xu) >= kMeridianX
            ? kPi * (sum - 1 + std::sqrt(sum * sum + 2 * (x2 - y2) + 1)) / (2 * xu) + r.centre_merid
            : r.centre_merid;
    return {lam, yu < 0 ? -phi : phi};
}

int grinten_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const GrintenRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusUnrepresentable;
    const double xu = (x - r.false_east) / (kPi * r.radius);
    const double yu = (y - r.false_north) / (kPi * r.radius);
    if (xu * xu + yu * yu > 1 + kOutlineRounding)
        return kStatusUnrepresentable;
    Geographic g = estimate(r, x, y);
    if (!std::isfinite(g.lon) || !std::isfinite(g.lat))
        return kStatusUnrepresentable;
    // The refinement returns at once where the estimate already reproduces
    // (x, y); elsewhere, near the central meridian, the poles and the
    // outline, it corrects it. It runs on the mirror image in the south-west
    // quadrant, so that its first steps (one degree east and north) lead
    // towards the centre and never across the outline, where the mapping
    // folds back. On failure the estimate stays.
    const double east = x - r.false_east;
    const double north = y - r.false_north;
    double west = r.centre_merid - std::fabs(g.lon - r.centre_merid);
    double south = -std::fabs(g.lat);
    if (newton_refine(grinten_forward, params,
                      {r.false_east - std::fabs(east), r.false_north - std::fabs(north),
                       r.tolerance, kMinDeterminant},
                      &west, &south)) {
        const double dlon = west - r.centre_merid;
        g.lon = r.centre_merid + (east > 0 ? -dlon : dlon);
        g.lat = north > 0 ? -south : south;
    }
    *lon = g.lon;
    *lat = g.lat;
    return 0;
}

} // namespace

extern "C" int mpx_grinten_install(void) noexcept {
    GrintenRecord sample{};
    mpx_proj_create("grinten", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(grinten_init, grinten_forward, grinten_backward);
    mpx_proj_ins_mode(kGrintenMode);
    return mpx_proj_end();
}
