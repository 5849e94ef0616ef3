// "cassini": the Cassini (Cassini-Soldner) projection, ellipsoidal, or
// spherical when e < 1e-7.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 13: sphere eqs. 13-1 to 13-4; ellipsoid eqs. 13-5
// and 13-6 with the meridian distance 3-21 forward, and 13-7 to 13-12 from
// the footpoint latitude 3-26 backward. Also EPSG Guidance Note 7-2,
// Cassini-Soldner (method 9806).
//
// Domain: the ellipsoidal series hold millimetres within a few degrees of
// the central meridian and degrade beyond; the sphere's y uses the
// one-argument arctangent of 13-2, which folds points more than 90 degrees
// from the central meridian onto the near side. No singular point: the
// poles and the central meridian itself map onto the central meridian.
//
// Departures from Snyder: the backward result is refined by a Newton
// iteration on the forward formulas until it reproduces the input within
// about 1.57e-10 a (1 mm on the Earth), so that forward and backward are
// each other's inverse to that tolerance even where the truncated inverse
// series are not. When the iteration cannot settle (100 steps, a run-away
// image, a forward failure) the point is refused with status 1: far from
// the central meridian the series estimate can be thousands of kilometres
// off (60 degrees from it at high latitudes), and a wrong number with
// status 0 is worse than none.
//
// Only the poles are put onto the central meridian in the ellipsoidal
// forward. The series is regular at a longitude difference of 0, so a point
// within 1e-7 rad of the meridian keeps its own easting: putting it onto the
// meridian would move it by up to 0.64 m and leave a step in the mapping
// that the backward refinement could not cross.
//
// A footpoint at a pole takes the pole on the side of the footpoint
// latitude, that is of y less the false northing measured from the equator,
// not of the input y: with a false northing beyond the distance to the
// south pole, y is positive at the south pole.
//
// A non-finite input or result (NaN, infinite or overflowing coordinates)
// gives status 1 with the outputs untouched.
#include "numeric/newton.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

struct CassiniRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    int32_t method; // kMethodSphere or kMethodEllipsoid
    double e2;
    double m0;        // meridian distance of centre_lat
    double tolerance; // of the backward refinement, |dx| + |dy|
    // Meridian distance (3-21); its linear coefficient meridian[5] is also
    // the length of one radian of rectifying latitude.
    double meridian[MPX_SERIES_SIZE];
    double footpoint[MPX_SERIES_SIZE];
};

CassiniRecord &record_of(void *params) { return *static_cast<CassiniRecord *>(params); }

constexpr int32_t kMethodSphere = 0;
constexpr int32_t kMethodEllipsoid = 1;
// Below this eccentricity the exact spherical formulas serve.
constexpr double kSphereEccentricity = kZeroDenominator;
// Backward tolerance per unit of a: 1 mm when a is 6378388 m.
constexpr double kToleranceOverRadius = 1.567794245191732e-10;
// Value 3 as set for this projection in the registry table: the
// unconditioned flag plus the unused flag 2.
constexpr int kCassiniMode = 3;

constexpr double kHalfPi = std::numbers::pi / 2;
// A map point beyond the reach of the backward refinement.
constexpr int kStatusRefused = 1;

int cassini_init(void *params) noexcept {
    CassiniRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.method = std::fabs(r.eccentricity) < kSphereEccentricity ? kMethodSphere : kMethodEllipsoid;
    r.e2 = r.eccentricity * r.eccentricity;
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    r.m0 = mpx_snyder_eqn_3_21(r.centre_lat, r.meridian);
    mpx_snyder_init_3_26(r.eccentricity, r.footpoint);
    r.tolerance = r.radius * kToleranceOverRadius;
    return 0;
}

struct MapOffset {
    double x, y; // from the false origin
};

// Eqs. 13-1 and 13-2.
MapOffset sphere_forward(const CassiniRecord &r, double dlon, double lat) {
    return {r.radius * mpx_asin(std::sin(dlon) * std::cos(lat)),
            (std::atan((std::sin(lat) / std::cos(lat)) / std::cos(dlon)) - r.centre_lat) *
                r.radius};
}

// Eqs. 13-5 and 13-6.
MapOffset ellipsoid_forward(const CassiniRecord &r, double dlon, double lat) {
    const double m = mpx_snyder_eqn_3_21(lat, r.meridian);
    // At a pole tan(phi) is infinite; the pole lies on the central meridian.
    if (is_pole(lat))
        return {0.0, m - r.m0};
    const double s = std::sin(lat);
    const double c = std::cos(lat);
    const double tn = s / c;
    const double t = tn * tn;
    const double a = dlon * c;
    const double a2 = a * a;
    const double cc = r.e2 * c * c / (1 - r.e2);
    const double n = r.radius / std::sqrt(1 - r.e2 * s * s);
    return {n * (a - t * a * a2 / 6 - (8 - t + 8 * cc) * t * a * a2 * a2 / 120),
            (m - r.m0) + n * tn * (a2 / 2 + (5 - t + 6 * cc) * a2 * a2 / 24)};
}

int cassini_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const CassiniRecord &r = record_of(params);
    const double dlon = lon - r.centre_merid;
    const MapOffset p =
        r.method == kMethodSphere ? sphere_forward(r, dlon, lat) : ellipsoid_forward(r, dlon, lat);
    return store_finite(p.x + r.false_east, p.y + r.false_north, x, y);
}

struct Geographic {
    double lon, lat;
};

// Eqs. 13-3 and 13-4: exact on the sphere.
Geographic sphere_estimate(const CassiniRecord &r, MapOffset p) {
    const double d = p.y / r.radius + r.centre_lat;
    const double xa = p.x / r.radius;
    return {std::atan(std::tan(xa) / std::cos(d)) + r.centre_merid,
            mpx_asin(std::sin(d) * std::cos(xa))};
}

// Eqs. 13-7 to 13-12 from the footpoint latitude (3-26).
Geographic ellipsoid_estimate(const CassiniRecord &r, MapOffset p) {
    constexpr int kRectifying = 5;
    const double mu = (p.y + r.m0) / r.meridian[kRectifying];
    const double phi1 = mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
    // The footpoint's own sign, that of y' + M0: the input y would carry
    // the false northing, which can outweigh the distance to the south pole.
    if (is_pole(phi1))
        return {r.centre_merid, std::copysign(kHalfPi, phi1)};
    const double s1 = std::sin(phi1);
    const double c1 = std::cos(phi1);
    const double w = std::sqrt(1 - r.e2 * s1 * s1);
    const double t1 = (s1 / c1) * (s1 / c1);
    const double n1 = r.radius / w;
    const double r1 = (1 - r.e2) * r.radius / (w * w * w);
    const double d = p.x / n1;
    const double d2 = d * d;
    return {r.centre_merid + (d - t1 * d * d2 / 3 + (1 + 3 * t1) * t1 * d * d2 * d2 / 15) / c1,
            phi1 - (n1 * (s1 / c1) / r1) * (d2 / 2 - (1 + 3 * t1) * d2 * d2 / 24)};
}

int cassini_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const CassiniRecord &r = record_of(params);
    const MapOffset p{x - r.false_east, y - r.false_north};
    Geographic g = r.method == kMethodSphere ? sphere_estimate(r, p) : ellipsoid_estimate(r, p);
    // The estimate alone can be kilometres off where the refinement fails:
    // refuse the point instead. The refinement succeeds only once the
    // forward image of its result lies within the tolerance of (x, y), so a
    // result with status 0 always round-trips.
    if (!newton_refine(cassini_forward, params, {x, y, r.tolerance}, &g.lon, &g.lat))
        return kStatusRefused;
    return store_finite(g.lon, g.lat, lon, lat);
}

} // namespace

extern "C" int mpx_cassini_install(void) noexcept {
    CassiniRecord sample{};
    mpx_proj_create("cassini", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(cassini_init, cassini_forward, cassini_backward);
    mpx_proj_ins_mode(kCassiniMode);
    return mpx_proj_end();
}
