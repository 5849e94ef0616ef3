// "azimuted": the azimuthal equidistant projection, on the sphere (e below
// 1e-12) and the ellipsoid, polar and oblique. Distances from the centre
// are true (on the ellipsoid: polar exactly, oblique to the accuracy of the
// series below).
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 25: sphere eqs. 25-2 to 25-5 forward, 20-14 with
// 25-15 backward; ellipsoidal polar eqs. 25-12 and 25-13 with the meridian
// distance 3-21, backward 7-19 and the footpoint series 3-26; ellipsoidal
// oblique: the series of eqs. 25-16 to 25-19 forward, 25-20 to 25-27
// backward (Snyder's "Guam" formulas for short distances).
//
// Domain: sphere, the whole globe; the antipode of an oblique centre is a
// circle on the map and comes out as (0, pi a) with status 3. Ellipsoidal
// polar: the whole globe. Ellipsoidal oblique: the series gives the
// distance from the centre within 1 mm up to about 1200 km and 1 cm up to
// about 1750 km, but along the normal section's azimuth, which turns away
// from the geodesic's as the cube of the distance: against the geodesic
// the point is off by 1 mm from 50 to 90 km and by 1 cm from 90 to 190 km
// (the shorter distances for centres near the equator). Beyond 90 degrees
// from the centre the formulas fold.
//
// Departures from Snyder:
// - Ellipsoidal oblique forward, a point on the central meridian (|sin Az|
//   below 1e-7): sigma is the angular distance |asin(cos phi1 sin psi -
//   sin phi1 cos psi cos dlambda)|, never negated, and Az (0 or pi) alone
//   gives the direction. Negating sigma when cos Az < 0 as well, as a
//   literal reading does, maps a point due south of the centre north of
//   it (555 km wrong for a point 277 km south). The cos dlambda factor
//   (-1 beyond the pole) keeps points past the pole on the far meridian
//   continuous with their neighbours.
// - Ellipsoidal oblique backward: the latitude is taken as
//   atan2(sin psi - e^2 F sin phi1, (1 - e^2) cos psi), with cos psi from
//   the horizontal part of psi's unit vector, the value of eq. 25-27
//   without its division by sin psi (0/0 on the equator of an
//   equatorial centre, where the limit 0 now comes out), and the longitude
//   as atan2(sin Az sin E, cos phi1 cos E - sin phi1 sin E cos Az), which
//   equals the arcsine of eq. 25-26 within 90 degrees of the central
//   meridian and stays right beyond it.
// - The sphere's backward latitude comes from atan2 of the point's unit
//   vector rather than the arcsine of 20-14 (half the digits lost near
//   the poles).
// - The oblique backward series (good to 1 cm at 550 km, 3 cm at 800 km)
//   is refined by a Newton iteration on the forward series until it
//   reproduces the input within 0.1 mm, so that forward and backward
//   invert each other wherever the forward holds. When the iteration
//   cannot settle the series estimate is returned, still with status 0.
// - A map point beyond the outer circle (farther than pi a on the sphere,
//   than the opposite pole in the ellipsoidal polar aspect, than pi N1 in
//   the oblique series) has no preimage: status 1, outputs untouched. So
//   does a non-finite input or result.
#include "proj/azimuthal/azimuthal.hpp"

#include "numeric/newton.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

struct AzimutedRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double origin_lat;
    double origin_long;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    int32_t method; // kSpherePolar ... kEllipsoidOblique
    double e2;
    double root_1_e2; // sqrt(1 - e^2)
    double sin_lat1;
    double cos_lat1;
    double s;  // +1, or -1 for a southern centre
    double g;  // e sin phi1 / sqrt(1 - e^2)
    double h0; // e cos phi1 / sqrt(1 - e^2)
    double m1; // meridian distance of phi1
    double n1; // prime-vertical radius at phi1
    double meridian[MPX_SERIES_SIZE];
    double footpoint[MPX_SERIES_SIZE];
};

AzimutedRecord &record_of(void *params) { return *static_cast<AzimutedRecord *>(params); }

constexpr int32_t kSpherePolar = 1;
constexpr int32_t kSphereOblique = 2;
constexpr int32_t kEllipsoidPolar = 3;
constexpr int32_t kEllipsoidOblique = 4;

constexpr int kStatusAntipode = 3;

// Below this eccentricity the sphere's formulas serve; a centre this close
// (radians) to a pole is the pole; a |cos c| this close to 1 is the centre
// or its antipode.
constexpr double kSphereEccentricity = 1e-12;
constexpr double kPolarCentre = 1e-12;
constexpr double kUnitCosine = 1e-12;
// Below |sin Az| of this the point lies on the central meridian.
constexpr double kMeridianAzimuth = 1e-7;
// Allowance beyond the outer circle for the rounding of the forward
// mapping (relative).
constexpr double kOuterSlack = 1e-12;
// The oblique backward estimate is refined until its forward image is
// this close (|dx| + |dy|, per unit of a): 0.1 mm when a is 6378137 m.
constexpr double kToleranceOverRadius = 1.5678559428873979e-11;
// Linear coefficient of the meridian distance (3-21): metres per radian of
// rectifying latitude.
constexpr int kRectifying = 5;

constexpr double kPi = std::numbers::pi;
constexpr double kHalfPi = kPi / 2;

int azimuted_init(void *params) noexcept {
    AzimutedRecord &r = record_of(params);
    const double e = r.eccentricity;
    r.long_cut = r.origin_long - kPi;
    r.e2 = e * e;
    r.root_1_e2 = std::sqrt(1 - r.e2);
    r.sin_lat1 = std::sin(r.origin_lat);
    r.cos_lat1 = std::cos(r.origin_lat);
    r.s = r.origin_lat < 0 ? -1.0 : 1.0;
    const bool sphere = std::fabs(e) < kSphereEccentricity;
    const bool polar = std::fabs(std::fabs(r.origin_lat) - kHalfPi) < kPolarCentre;
    r.method = sphere ? (polar ? kSpherePolar : kSphereOblique)
                      : (polar ? kEllipsoidPolar : kEllipsoidOblique);
    r.g = e * r.sin_lat1 / r.root_1_e2;
    r.h0 = e * r.cos_lat1 / r.root_1_e2;
    mpx_snyder_init_3_21(e, r.radius, r.meridian);
    mpx_snyder_init_3_26(e, r.footpoint);
    r.m1 = mpx_snyder_eqn_3_21(r.origin_lat, r.meridian);
    r.n1 = r.radius / std::sqrt(1 - r.e2 * r.sin_lat1 * r.sin_lat1);
    return 0;
}

struct MapOffset {
    double x, y; // from the false origin
};

// Eqs. 25-16 to 25-19. A point on the central meridian (the first
// departure in the header) takes its distance from the geometry alone.
MapOffset ellipsoid_oblique_forward(const AzimutedRecord &r, double lon, double lat) {
    const double dlon = mpx_normal_pi(lon - r.origin_long);
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    const double sin_lat = std::sin(lat);
    const double cos_lat = std::cos(lat);
    const double n = r.radius / std::sqrt(1 - r.e2 * sin_lat * sin_lat);
    const double psi =
        std::atan((1 - r.e2) * sin_lat / cos_lat + r.e2 * r.n1 * r.sin_lat1 / (n * cos_lat));
    const double sin_psi = std::sin(psi);
    const double cos_psi = std::cos(psi);
    const double az = std::atan2(sin_dlon, r.cos_lat1 * sin_psi / cos_psi - r.sin_lat1 * cos_dlon);
    const double sin_az = std::sin(az);
    const double cos_az = std::cos(az);
    const double sigma =
        std::fabs(sin_az) < kMeridianAzimuth
            ? std::fabs(std::asin(r.cos_lat1 * sin_psi - r.sin_lat1 * cos_psi * cos_dlon))
            : std::asin(sin_dlon * cos_psi / sin_az);
    const double h = r.h0 * cos_az;
    const double h2 = h * h;
    const double s2 = sigma * sigma;
    const double c = r.n1 * sigma *
                     (1 - s2 * h2 * (1 - h2) / 6 + (s2 * sigma / 8) * r.g * h * (1 - 2 * h2) +
                      (s2 * s2 / 120) * (h2 * (4 - 7 * h2) - 3 * r.g * r.g * (1 - 7 * h2)) -
                      (s2 * s2 * sigma / 48) * r.g * h);
    return {c * sin_az, c * cos_az};
}

int azimuted_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const AzimutedRecord &r = record_of(params);
    if (!finite(lon, lat))
        return kStatusNotRepresentable;
    const double dlon = lon - r.origin_long;
    int status = 0;
    MapOffset p{0.0, 0.0};
    switch (r.method) {
    case kSpherePolar: {
        const double rho = (kHalfPi - r.s * lat) * r.radius;
        p = {std::sin(dlon) * rho, -std::cos(dlon) * rho * r.s};
        break;
    }
    case kSphereOblique: {
        const double cos_lat = std::cos(lat);
        const double sin_lat = std::sin(lat);
        const double cos_dlon = std::cos(dlon);
        const double cos_c = cos_dlon * cos_lat * r.cos_lat1 + sin_lat * r.sin_lat1;
        if (std::fabs(std::fabs(cos_c) - 1) > kUnitCosine) {
            const double c = std::acos(cos_c);
            const double k = c / std::sin(c);
            p = {std::sin(dlon) * r.radius * k * cos_lat,
                 (sin_lat * r.cos_lat1 - cos_dlon * r.sin_lat1 * cos_lat) * r.radius * k};
        } else if (cos_c < 0) {
            // The antipode: every point of the outer circle is its image.
            p = {0.0, r.radius * kPi};
            status = kStatusAntipode;
        }
        break;
    }
    case kEllipsoidPolar: {
        const double rho = std::fabs(r.m1) - r.s * mpx_snyder_eqn_3_21(lat, r.meridian);
        p = {std::sin(dlon) * rho, -std::cos(dlon) * r.s * rho};
        break;
    }
    default:
        p = ellipsoid_oblique_forward(r, lon, lat);
        break;
    }
    return put(p.x + r.false_east, p.y + r.false_north, x, y, status);
}

struct Geographic {
    double lon, lat;
};

// Eqs. 25-20 to 25-27 with the departures of the header; false beyond pi
// N1 from the centre.
bool ellipsoid_oblique_backward(const AzimutedRecord &r, MapOffset p, Geographic &g) {
    const double c = std::hypot(p.x, p.y);
    const double az = std::atan2(p.x, p.y);
    const double sin_az = std::sin(az);
    const double cos_az = std::cos(az);
    const double cc = r.cos_lat1 * r.cos_lat1;
    const double a = -r.e2 * cc * cos_az * cos_az / (1 - r.e2);
    const double b = 3 * r.e2 * (1 - a) * r.sin_lat1 * r.cos_lat1 * cos_az / (1 - r.e2);
    const double d = c / r.n1;
    if (!(d <= kPi * (1 + kOuterSlack)))
        return false;
    const double d3 = d * d * d;
    const double e = d - a * (1 + a) * d3 / 6 - b * (1 + 3 * a) * d3 * d / 24;
    const double f = 1 - a * e * e / 2 - b * e * e * e / 6;
    const double sin_e = std::sin(e);
    const double cos_e = std::cos(e);
    // The unit vector of psi (eq. 25-25) and its direction from the centre:
    // cos psi from the horizontal part keeps its digits near the poles.
    const double east = sin_az * sin_e;
    const double north = r.cos_lat1 * cos_e - r.sin_lat1 * sin_e * cos_az;
    const double sin_psi = r.sin_lat1 * cos_e + r.cos_lat1 * sin_e * cos_az;
    g.lon = mpx_normal_pi(std::atan2(east, north) + r.origin_long);
    g.lat = std::atan2(sin_psi - r.e2 * f * r.sin_lat1, (1 - r.e2) * std::hypot(east, north));
    return true;
}

// Sphere, eqs. 20-14 with c = rho/a (25-15); false beyond pi a.
bool sphere_backward(const AzimutedRecord &r, MapOffset p, Geographic &g) {
    const auto distance = [&r](double rho, double &sin_c, double &cos_c) {
        const double c = rho / r.radius;
        sin_c = std::sin(c);
        cos_c = std::cos(c);
        return c <= kPi * (1 + kOuterSlack);
    };
    const int polar_sign = r.method == kSpherePolar ? static_cast<int>(r.s) : 0;
    SphereOffset o{};
    if (!sphere_backward({r.origin_lat, r.sin_lat1, r.cos_lat1, polar_sign}, p.x, p.y, distance, o))
        return false;
    g = {mpx_normal_pi(o.dlon + r.origin_long), o.lat};
    return true;
}

// Eqs. 25-12, 25-13 inverted through the footpoint latitude; false beyond
// the opposite pole.
bool ellipsoid_polar_backward(const AzimutedRecord &r, MapOffset p, Geographic &g) {
    const double rho = std::hypot(p.x, p.y);
    const double mp = std::fabs(r.m1);
    if (!(rho <= 2 * mp * (1 + kOuterSlack)))
        return false;
    const double mu = r.s * (mp - rho) / r.meridian[kRectifying];
    g.lat = mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
    g.lon = mpx_normal_pi(std::atan2(p.x, -p.y * r.s) + r.origin_long);
    return true;
}

int azimuted_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const AzimutedRecord &r = record_of(params);
    if (!finite(x, y))
        return kStatusNotRepresentable;
    const MapOffset p{x - r.false_east, y - r.false_north};
    Geographic g{0.0, 0.0};
    const bool inside = r.method == kEllipsoidOblique ? ellipsoid_oblique_backward(r, p, g)
                        : r.method == kEllipsoidPolar ? ellipsoid_polar_backward(r, p, g)
                                                      : sphere_backward(r, p, g);
    if (!inside || !finite(g.lon, g.lat))
        return kStatusNotRepresentable;
    // On failure the refinement leaves the series estimate in place.
    if (r.method == kEllipsoidOblique &&
        newton_refine(azimuted_forward, params, {x, y, r.radius * kToleranceOverRadius}, &g.lon,
                      &g.lat))
        g.lon = mpx_normal_pi(g.lon);
    return put(g.lon, g.lat, lon, lat);
}

} // namespace

extern "C" int mpx_azimuted_install(void) noexcept {
    return install_on_origin<AzimutedRecord>("azimuted", azimuted_init, azimuted_forward,
                                             azimuted_backward);
}
