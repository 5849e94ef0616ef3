// "bioconco": the bipolar oblique conic conformal projection of the
// Americas (O. M. Miller and W. A. Briesemeister, 1941), on the sphere.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 17: constants eqs. 17-1 to 17-13, forward 17-14 to
// 17-23 and 17-32, 17-33, inverse 17-34 to 17-44. Two oblique conformal
// conics with poles A (20 S, 110 W) and B (45 N, about 19.99 W), 104 degrees
// apart, meet along the great circle between the poles; each is true to
// scale along the small circles 31 and 73 degrees from its pole, and the
// seam is smoothed by the adjustment alpha of eqs. 17-19 to 17-21. All of
// the geometry is fixed; the parameters only place the false origin and
// size the sphere (the central meridian only places the longitude window).
//
// Domain: North and South America and the oceans between; the poles A and
// B map to the apexes of their cones and cannot be inverted (-2). Beyond
// pole A, in the Pacific west of about 110 W and south of about 20 N, the
// cone of B folds over itself: the forward still draws it, the inverse's
// adjustment runs past the poles' distance there and fails (-2). In the
// Atlantic 3 to 7 degrees south-west of pole B (about 20-22 W, 40-44 N),
// points the forward draws in the cone of A just behind B, the inverse's
// fixed-point adjustment does not settle (its step grows instead of
// shrinking) or starts past the poles' distance, and fails (-2) as well:
// the failure is reported, never a wrong point. The seam
// adjustment uses the tangents of both half-angles of eq. 17-19, so the
// map is continuous across the seam.
//
// Departures from Snyder:
// - The inverse's adjustment iteration stops when successive radii agree
//   within 1.5695e-11 R (0.1 mm on a sphere of 6370997 m) rather than a
//   fixed 0.0001 in the projection's unit, so that a sphere of radius 1
//   is inverted as precisely as the Earth.
// - forward returns 1, outputs untouched, for a non-finite result (NaN or
//   infinite input) rather than 0 with non-numbers.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct BioconcoRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double eccentricity; // declared, not used: the projection is spherical
    double long_cut;
    // Derived by init (eqs. 17-1 to 17-13).
    double lon_a, lat_a, lon_b, lat_b;
    double z_ab; // angular distance between the poles
    double n, f0, k0, f;
    double az_ab, az_ba; // azimuths from A to B and from B to A
    double t;            // tan^n(15.5 deg) + tan^n(36.5 deg)
    double rho_c;        // radius of the seam's midpoint from either apex
    double sin_a, cos_a, sin_b, cos_b;
    double sin_azc, cos_azc; // the axis of the map at the seam's midpoint
    double tolerance;        // of the inverse's adjustment iteration
};

BioconcoRecord &record_of(void *params) { return *static_cast<BioconcoRecord *>(params); }

constexpr double kDegree = std::numbers::pi / 180;
// Miller's fixed geometry (Snyder 1987, p. 117).
constexpr double kLatA = -20 * kDegree;
constexpr double kLonA = -110 * kDegree;
constexpr double kLatB = 45 * kDegree;
constexpr double kPoleDistance = 104 * kDegree;
constexpr double kNearCircle = 31 * kDegree;  // standard small circles,
constexpr double kFarCircle = 73 * kDegree;   // from either pole
constexpr double kMidDistance = 52 * kDegree; // half the poles' distance
// The inverse's iteration stops at this change of radius per unit of R.
constexpr double kToleranceOverRadius = 1.5695e-11;

int bioconco_init(void *params) noexcept {
    BioconcoRecord &r = record_of(params);
    r.long_cut = r.centre_merid + std::numbers::pi;
    r.lat_a = kLatA;
    r.lon_a = kLonA;
    r.lat_b = kLatB;
    r.z_ab = kPoleDistance;
    r.sin_a = std::sin(kLatA);
    r.cos_a = std::cos(kLatA);
    r.sin_b = std::sin(kLatB);
    r.cos_b = std::cos(kLatB);
    r.lon_b = mpx_acos((std::cos(kPoleDistance) - r.sin_a * r.sin_b) / (r.cos_b * r.cos_a)) + kLonA;
    const double near = std::tan(kNearCircle / 2), far = std::tan(kFarCircle / 2);
    r.n = (std::log(std::sin(kNearCircle)) - std::log(std::sin(kFarCircle))) /
          (std::log(near) - std::log(far));
    r.f0 = r.radius * std::sin(kNearCircle) / (r.n * std::pow(near, r.n));
    r.k0 = 2 / (1 + r.n * r.f0 * std::pow(std::tan(kMidDistance / 2), r.n) /
                        (r.radius * std::sin(kMidDistance)));
    r.f = r.k0 * r.f0;
    const double sin_ab = std::sin(kPoleDistance), cos_dlon = std::cos(r.lon_b - r.lon_a);
    r.az_ab = mpx_acos((r.cos_a * r.sin_b - r.sin_a * r.cos_b * cos_dlon) / sin_ab);
    r.az_ba = mpx_acos((r.sin_a * r.cos_b - r.cos_a * r.sin_b * cos_dlon) / sin_ab);
    r.t = std::pow(near, r.n) + std::pow(far, r.n);
    r.rho_c = r.f * r.t / 2;
    const double zc = 2 * std::atan(std::pow(r.t / 2, 1 / r.n));
    const double lat_c =
        mpx_asin(r.sin_a * std::cos(zc) + r.cos_a * std::sin(zc) * std::cos(r.az_ab));
    const double azc = mpx_asin(r.cos_a * std::sin(r.az_ab) / std::cos(lat_c));
    r.sin_azc = std::sin(azc);
    r.cos_azc = std::cos(azc);
    r.tolerance = kToleranceOverRadius * r.radius;
    return 0;
}

// Azimuth from a pole (sine and cosine of its latitude) to the point,
// dlon east of the pole's meridian (eqs. 17-15 and 17-17).
double azimuth(double sin_p, double cos_p, double dlon, double lat) {
    if (std::fabs(std::numbers::pi / 2 - lat) < kZeroDenominator)
        return 0.0;
    if (std::fabs(lat + std::numbers::pi / 2) < kZeroDenominator)
        return std::numbers::pi;
    return std::atan2(std::sin(dlon), cos_p * std::tan(lat) - sin_p * std::cos(dlon));
}

// True where tan(angle) is infinite or negative: the cone's formulas do not
// hold there.
bool outside_cone(double angle) { return is_pole(angle) || std::tan(angle) < 0; }

// rho and alpha of a point z from its pole (eqs. 17-18 and 17-19).
struct Cone {
    double rho, alpha;
};
Cone cone_of(const BioconcoRecord &r, double z) {
    const double h = z / 2, g = (r.z_ab - z) / 2;
    const bool apex = std::fabs(z) < kZeroDenominator || outside_cone(h);
    const double rho = apex ? 0.0 : r.f * std::pow(std::tan(h), r.n);
    const double alpha =
        outside_cone(g) || outside_cone(h)
            ? 0.0
            : mpx_acos((std::pow(std::tan(h), r.n) + std::pow(std::tan(g), r.n)) / r.t);
    return {rho, alpha};
}

int bioconco_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const BioconcoRecord &r = record_of(params);
    const double sin_lat = std::sin(lat), cos_lat = std::cos(lat);
    const double z_b = mpx_acos(r.sin_b * sin_lat + r.cos_b * cos_lat * std::cos(r.lon_b - lon));
    const double az_b = azimuth(r.sin_b, r.cos_b, r.lon_b - lon, lat);
    double xp = 0.0, yp = 0.0;
    if (az_b > r.az_ba) { // the cone of pole A
        const double z_a =
            mpx_acos(r.sin_a * sin_lat + r.cos_a * cos_lat * std::cos(lon - r.lon_a));
        const double az_a = azimuth(r.sin_a, r.cos_a, lon - r.lon_a, lat);
        const Cone c = cone_of(r, z_a);
        const double d = r.n * (r.az_ab - az_a);
        const double rho = std::fabs(d) >= c.alpha ? c.rho : c.rho / std::cos(d + c.alpha);
        xp = rho * std::sin(d);
        yp = r.rho_c - rho * std::cos(d);
    } else { // the cone of pole B
        const Cone c = cone_of(r, z_b);
        const double d = r.n * (r.az_ba - az_b);
        const double rho = std::fabs(d) >= c.alpha ? c.rho : c.rho / std::cos(c.alpha - d);
        xp = rho * std::sin(d);
        yp = rho * std::cos(d) - r.rho_c;
    }
    const double xr = r.false_east - xp * r.cos_azc - yp * r.sin_azc;
    const double yr = r.false_north + xp * r.sin_azc - yp * r.cos_azc;
    if (!std::isfinite(xr + yr))
        return 1;
    *x = xr;
    *y = yr;
    return 0;
}

int bioconco_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const BioconcoRecord &r = record_of(params);
    const double dx = x - r.false_east, dy = y - r.false_north;
    const double xp = -dx * r.cos_azc + dy * r.sin_azc;
    const double yp = -dx * r.sin_azc - dy * r.cos_azc;
    const bool pole_a = xp < 0;
    const double ty = pole_a ? r.rho_c - yp : r.rho_c + yp;
    const double rho_p = std::hypot(xp, ty);
    const double az_p = std::atan2(xp, ty);
    // Undo the seam's adjustment: rho' = rho / cos(...) solved for rho.
    double rho = rho_p, z = 0.0;
    for (int pass = 1;; ++pass) {
        if (!(rho / r.f >= 0))
            return -2;
        z = 2 * std::atan(std::pow(rho / r.f, 1 / r.n));
        const double h = z / 2, g = (r.z_ab - z) / 2;
        if (outside_cone(h) || outside_cone(g))
            return -2;
        const double alpha =
            mpx_acos((std::pow(std::tan(g), r.n) + std::pow(std::tan(h), r.n)) / r.t);
        const double next =
            pole_a ? rho_p * std::cos(az_p + alpha) : rho_p * std::cos(alpha - az_p);
        if (pass == kMaxIterations)
            return -2;
        if (std::fabs(az_p) >= alpha || std::fabs(next - rho) <= r.tolerance)
            break;
        rho = next;
    }
    if (std::fabs(std::tan(z)) < kZeroDenominator)
        return -2;
    if (pole_a) {
        const double az = r.az_ab - az_p / r.n;
        *lat = mpx_asin(r.sin_a * std::cos(z) + r.cos_a * std::sin(z) * std::cos(az));
        *lon = r.lon_a + std::atan2(std::sin(az), r.cos_a / std::tan(z) - r.sin_a * std::cos(az));
    } else {
        const double az = r.az_ba - az_p / r.n;
        *lat = mpx_asin(r.sin_b * std::cos(z) + r.cos_b * std::sin(z) * std::cos(az));
        *lon = r.lon_b - std::atan2(std::sin(az), r.cos_b / std::tan(z) - r.sin_b * std::cos(az));
    }
    return 0;
}

} // namespace

extern "C" int mpx_bioconco_install(void) noexcept {
    BioconcoRecord sample{};
    mpx_proj_create("bioconco", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(bioconco_init, bioconco_forward, bioconco_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
