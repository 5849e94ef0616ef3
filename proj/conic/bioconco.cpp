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
// Domain: North and South America and the oceans between. Each cone holds
// out to the poles' distance (104 degrees) from its pole; beyond it the
// forward draws the rest of the sphere with the plain cone of B (alpha =
// 0), which folds over the cone of A beyond pole A and meets it with a
// tear along B's meridian south of the Atlantic (the cones take azimuths
// from B of 180 and -180 degrees there). The inverse fails (-2), as
// Snyder's does, on that plain cone: every point more than 104 degrees
// from B that the forward draws in the cone of B (the Pacific west of
// about 110-170 W, the Indian Ocean, the Antarctic); PROJ's bipc refuses
// them in the forward. Where the plain cone covers points of the map
// proper, the forward is two-to-one and the inverse fails too: on the
// cone of A west of A's meridian, drawn across the seam (the South
// Pacific between 159 E and 108 W south of about 46 S, and nearer pole A
// south of a line from 44 S, 155 W through 32 S, 125 W to A), and on the
// cone of B within 3 degrees short of the poles' distance beyond pole A,
// from A to about 1 N, 131 W. The poles A and B map to the apexes of
// their cones and cannot be inverted (-2), nor can the points within
// about 90 m of a pole on its own cone, which the forward draws at the
// apex (mpx_acos returns 0 for a cosine within 1e-10 of 1). The seam
// adjustment uses the tangents of both half-angles of eq. 17-19, so the
// map is continuous across the seam. Everywhere else the inverse returns
// the point the forward draws, within 2e-11 rad (the adjustment
// iteration's tolerance; Snyder's inverse returns the Earth's pole itself
// for a point within 90 m of it, where mpx_asin reads the sine as +-1).
//
// Departures from Snyder:
// - Where Snyder's inverse fails within the poles' distance, the point is
//   recovered rather than refused (recovered_backward): in the Atlantic
//   up to 7.4 degrees south-west of pole B (20-24 W, 37.6-45 N: points
//   the forward draws in the cone of A just behind B, about 102 degrees
//   from A) his fixed-point adjustment does not settle (its step grows
//   instead of shrinking) or starts past the poles' distance. Along the
//   ray from each apex the azimuth is known and only the distance z from
//   the pole is sought: by bisection on the adjusted branch, and by eq.
//   17-18 inverted on the plain cone beyond it. A point is returned only
//   when it lies within the poles' distance and is the one point that the
//   forward draws, in the cone it came from, within 1e-6 R (6 m) of
//   (x, y), drawn there within the inverse's tolerance; where Snyder's
//   iteration succeeds its result is unchanged, bit for bit. (A Newton
//   search on the forward could not tell which of two points it had found
//   where the forward folds.) The plain cone of B could be inverted the
//   same way where it is one-to-one, but it is no part of the map of the
//   Americas, and drawing it brings its tear along.
// - The inverse's adjustment iteration stops when successive radii agree
//   within 1.5695e-11 R (0.1 mm on a sphere of 6370997 m) rather than a
//   fixed 0.0001 in the projection's unit, so that a sphere of radius 1
//   is inverted as precisely as the Earth.
// - forward returns 1, outputs untouched, for a non-finite result (NaN or
//   infinite input) rather than 0 with non-numbers.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <initializer_list>
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
// Where Snyder's inverse fails, a second point that the forward draws
// within this distance per unit of R (6 m on the Earth) of the plane point
// makes it ambiguous. Every point found along a ray is drawn exactly there
// but for rounding (up to 2 m where the forward takes the azimuth of a
// point within 1e-7 rad of the Earth's pole as 0 or 180 degrees), or else
// far away (on the other side of the cone of A's tear, or at an apex); the
// margin keeps rounding from hiding the second point of a fold.
constexpr double kFoldMarginOverRadius = 1e-6;

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

// The radius rho' at which the forward draws a point of the cone c at the
// angle d about its apex: the seam's adjustment of eqs. 17-20 (pole A) and
// 17-32 (pole B) within alpha of the seam.
double drawn_radius(const Cone &c, double d, bool pole_a) {
    if (std::fabs(d) >= c.alpha)
        return c.rho;
    return c.rho / std::cos(pole_a ? d + c.alpha : c.alpha - d);
}

// Azimuth of the point from pole B (eq. 17-17): the forward draws the
// point in the cone of pole A when it lies beyond the seam's, AzBA.
double azimuth_from_b(const BioconcoRecord &r, double lon, double lat) {
    return azimuth(r.sin_b, r.cos_b, r.lon_b - lon, lat);
}

int forward_of(const BioconcoRecord &r, double lon, double lat, double *x, double *y) {
    const double sin_lat = std::sin(lat), cos_lat = std::cos(lat);
    const double az_b = azimuth_from_b(r, lon, lat);
    double xp = 0.0, yp = 0.0;
    if (az_b > r.az_ba) { // the cone of pole A
        const double z_a =
            mpx_acos(r.sin_a * sin_lat + r.cos_a * cos_lat * std::cos(lon - r.lon_a));
        const double az_a = azimuth(r.sin_a, r.cos_a, lon - r.lon_a, lat);
        const double d = r.n * (r.az_ab - az_a);
        const double rho = drawn_radius(cone_of(r, z_a), d, true);
        xp = rho * std::sin(d);
        yp = r.rho_c - rho * std::cos(d);
    } else { // the cone of pole B
        const double z_b =
            mpx_acos(r.sin_b * sin_lat + r.cos_b * cos_lat * std::cos(r.lon_b - lon));
        const double d = r.n * (r.az_ba - az_b);
        const double rho = drawn_radius(cone_of(r, z_b), d, false);
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

int bioconco_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    return forward_of(record_of(params), lon, lat, x, y);
}

// The radius rho' and angle Az' of a rotated plane point (x', y') about
// the apex of the cone of pole A or B (eqs. 17-36 to 17-39).
struct Polar {
    double rho, az;
};
Polar about_apex(const BioconcoRecord &r, double xp, double yp, bool pole_a) {
    const double ty = pole_a ? r.rho_c - yp : r.rho_c + yp;
    return {std::hypot(xp, ty), std::atan2(xp, ty)};
}

// The point z from pole A or B drawn at the angle az_p about the cone's
// apex (eqs. 17-42 to 17-44); -2 at a pole, whose longitude is unknown.
int point_of(const BioconcoRecord &r, bool pole_a, double z, double az_p, double *lon,
             double *lat) {
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

// Snyder's inverse (eqs. 17-34 to 17-44): the seam's adjustment undone by
// a fixed-point iteration on rho.
int snyder_backward(const BioconcoRecord &r, double xp, double yp, double *lon, double *lat) {
    const bool pole_a = xp < 0;
    const Polar p = about_apex(r, xp, yp, pole_a);
    // Undo the seam's adjustment: rho' = rho / cos(...) solved for rho.
    double rho = p.rho, z = 0.0;
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
            pole_a ? p.rho * std::cos(p.az + alpha) : p.rho * std::cos(alpha - p.az);
        if (pass == kMaxIterations)
            return -2;
        if (std::fabs(p.az) >= alpha || std::fabs(next - rho) <= r.tolerance)
            break;
        rho = next;
    }
    return point_of(r, pole_a, z, p.az, lon, lat);
}

// Distance z < zAB from the pole at which the forward draws the radius rho'
// at the angle Az' about the cone's apex, by bisection: false when the
// adjusted branch does not reach rho'. On the cone's own side of the seam
// (Az' <= 0 about A, >= 0 about B) the drawn radius grows with z (checked
// in steps of 0.05 degree of Az' over the whole branch), so the root is
// the only one below zAB. The forward draws no point of the cone within
// alpha of the seam on its other side, so a root found there is not
// drawn at (x, y).
bool adjusted_distance(const BioconcoRecord &r, bool pole_a, Polar p, double *z) {
    double lo = 0.0, hi = r.z_ab;
    if (!(drawn_radius(cone_of(r, hi), p.az, pole_a) > p.rho))
        return false;
    // Halved down to the last bit of z (about 55 passes): near zAB the
    // drawn radius grows as (zAB - z)^n, far too steeply to stop at a
    // fixed width.
    for (int pass = 1; pass < kMaxIterations; ++pass) {
        const double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi)
            break;
        if (drawn_radius(cone_of(r, mid), p.az, pole_a) < p.rho)
            lo = mid;
        else
            hi = mid;
    }
    *z = (lo + hi) / 2;
    return true;
}

// The point z from pole A or B drawn at the angle az_p about the cone's
// apex, as point_of but with the latitude through atan2: mpx_asin loses
// half the digits of a latitude near +-90 degrees and reads one within
// 90 m of the Earth's pole as the pole, which would hide a fold's second
// point there.
struct Candidate {
    double lon, lat;
};
Candidate precise_point_of(const BioconcoRecord &r, bool pole_a, double z, double az_p) {
    const double sin_p = pole_a ? r.sin_a : r.sin_b, cos_p = pole_a ? r.cos_a : r.cos_b;
    const double az = (pole_a ? r.az_ab : r.az_ba) - az_p / r.n;
    const double east = std::sin(z) * std::sin(az);
    const double north = cos_p * std::cos(z) - sin_p * std::sin(z) * std::cos(az);
    const double up = sin_p * std::cos(z) + cos_p * std::sin(z) * std::cos(az);
    const double dlon = std::atan2(east, north);
    return {pole_a ? r.lon_a + dlon : r.lon_b - dlon, std::atan2(up, std::hypot(east, north))};
}

// Where Snyder's iteration fails, every point that the forward draws at
// (x, y): along the ray from each apex the azimuth is known and only the
// distance z from the pole is sought, on the seam's adjusted branch below
// zAB and on the plain cone beyond it (eq. 17-18 inverted, alpha = 0
// there). A candidate counts only when the forward draws it in the cone it
// came from, within the fold margin of (x, y); the point is returned when
// it is the only one, lies within the poles' distance and is drawn within
// the inverse's tolerance, and -2 where the forward folds two points onto
// (x, y), or none, or only one on the plain cone.
int recovered_backward(const BioconcoRecord &r, double x, double y, double xp, double yp,
                       double *lon, double *lat) {
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return -2;
    const double margin = kFoldMarginOverRadius * r.radius;
    int drawn = 0;
    Candidate found{};
    double found_miss = 0.0;
    bool found_within = false;
    for (const bool pole_a : {true, false}) {
        const Polar p = about_apex(r, xp, yp, pole_a);
        if (p.rho <= r.tolerance) // an apex: its pole's longitude is unknown
            return -2;
        // The forward draws the cone of B only at angles from 0 to
        // n (AzBA + pi) about its apex (AzB <= AzBA there).
        if (!pole_a && p.az < 0)
            continue;
        double z[2];
        int count = adjusted_distance(r, pole_a, p, &z[0]) ? 1 : 0;
        const double plain = 2 * std::atan(std::pow(p.rho / r.f, 1 / r.n));
        if (plain > r.z_ab)
            z[count++] = plain;
        for (int k = 0; k < count; ++k) {
            const Candidate c = precise_point_of(r, pole_a, z[k], p.az);
            double xf = 0.0, yf = 0.0;
            if (forward_of(r, c.lon, c.lat, &xf, &yf) != 0 ||
                (azimuth_from_b(r, c.lon, c.lat) > r.az_ba) != pole_a)
                continue;
            const double miss = std::fabs(xf - x) + std::fabs(yf - y);
            if (!(miss <= margin))
                continue;
            if (++drawn > 1)
                return -2;
            found = c;
            found_miss = miss;
            found_within = z[k] < r.z_ab;
        }
    }
    if (drawn != 1 || !found_within || !(found_miss <= r.tolerance))
        return -2;
    *lon = found.lon;
    *lat = found.lat;
    return 0;
}

int bioconco_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const BioconcoRecord &r = record_of(params);
    const double dx = x - r.false_east, dy = y - r.false_north;
    const double xp = -dx * r.cos_azc + dy * r.sin_azc;
    const double yp = -dx * r.sin_azc - dy * r.cos_azc;
    if (snyder_backward(r, xp, yp, lon, lat) == 0)
        return 0;
    return recovered_backward(r, x, y, xp, yp, lon, lat);
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
