// "albersea": the Albers equal-area conic projection with two standard
// parallels, ellipsoidal, or spherical when e < 1e-12.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 14: forward eqs. 14-1 to 14-6 and 14-12 with q from
// 3-12 and m from 14-15; backward eqs. 14-8 to 14-11 with the authalic
// latitude series 3-18 as the start of the iteration 3-16. Also EPSG
// Guidance Note 7-2, Albers Equal Area (method 9822).
//
// Domain: every latitude; longitudes are taken as the transformation brings
// them into central meridian +- pi (the forward does not fold them).
// Backward: a point beyond the image of a pole (|q| above q of the pole) or
// outside the cone is not representable. A southern cone (n < 0) measures
// its polar angle from the other side.
//
// Departures from Snyder: a degenerate cone (n = 0, as for parallels of
// opposite sign and equal size, or non-finite constants) is refused by init
// with status 1, and a NaN or infinite input, or a point the formulas
// cannot invert, gives status 1 with the outputs untouched, instead of
// handing a non-finite point on with status 0. A map point in the gap of
// the cone (polar angle beyond n pi, longitude beyond central meridian
// +- pi) is refused with status 1 rather than given a longitude outside the
// projection's window.
#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct AlberseaRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double first_paral;
    double second_paral;
    double origin_lat;
    double origin_long;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double n;
    double rho0;
    double e2;
    double c; // C of eq. 14-3
    double authalic[MPX_SERIES_SIZE];
    double qp; // q of the pole (0 on the sphere)
};

AlberseaRecord &record_of(void *params) { return *static_cast<AlberseaRecord *>(params); }

// Below this eccentricity the spherical forms serve.
constexpr double kSphereEccentricity = 1e-12;
// Standard parallels closer than this make a one-parallel cone.
constexpr double kOneParallel = 1e-8;
// |q| within this of q of the pole is the pole.
constexpr double kPoleQ = 1e-12;
constexpr double kHalfPi = std::numbers::pi / 2;
constexpr int kStatusNotRepresentable = 1;
// Polar angles up to this beyond n pi (radians) still count as the edge
// meridian, central meridian +- pi.
constexpr double kGapTolerance = 1e-12;

struct QAndM {
    double q, m;
};

// Eqs. 3-12 and 14-15 (the sphere's forms when e is below the threshold).
QAndM q_and_m(const AlberseaRecord &r, double phi) {
    const double s = std::sin(phi);
    if (r.eccentricity < kSphereEccentricity)
        return {2 * s, std::cos(phi)};
    return {mpx_snyder_eqn_3_12(s, s * s, r.eccentricity, r.e2),
            std::cos(phi) / std::sqrt(1 - r.e2 * s * s)};
}

int albersea_init(void *params) noexcept {
    AlberseaRecord &r = record_of(params);
    r.long_cut = r.origin_long - std::numbers::pi;
    const double e = r.eccentricity;
    r.e2 = e * e;
    const QAndM p0 = q_and_m(r, r.origin_lat);
    const QAndM p1 = q_and_m(r, r.first_paral);
    const QAndM p2 = q_and_m(r, r.second_paral);
    r.n = std::fabs(r.first_paral - r.second_paral) > kOneParallel
              ? (p1.m * p1.m - p2.m * p2.m) / (p2.q - p1.q)
              : std::sin(r.first_paral);
    r.c = p1.m * p1.m + r.n * p1.q;
    r.rho0 = r.radius * std::sqrt(r.c - r.n * p0.q) / r.n;
    mpx_snyder_init_3_18(e, r.authalic);
    r.qp =
        e <= kSphereEccentricity ? 0.0 : 1 - ((1 - r.e2) / (2 * e)) * std::log((1 - e) / (1 + e));
    if (r.n == 0.0 || !std::isfinite(r.rho0) || !std::isfinite(r.c))
        return kStatusNotRepresentable;
    return 0;
}

int albersea_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const AlberseaRecord &r = record_of(params);
    const double q = q_and_m(r, lat).q;
    const double theta = r.n * (lon - r.origin_long);
    const double rho = r.radius * std::sqrt(r.c - r.n * q) / r.n;
    const double xp = rho * std::sin(theta);
    const double yp = r.rho0 - rho * std::cos(theta);
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusNotRepresentable;
    *x = r.false_east + xp;
    *y = r.false_north + yp;
    return 0;
}

int albersea_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const AlberseaRecord &r = record_of(params);
    const double dx = x - r.false_east;
    const double dy = y - r.false_north;
    const double rho = std::sqrt(dx * dx + (r.rho0 - dy) * (r.rho0 - dy));
    const double rn = rho * r.n / r.radius;
    const double q = (r.c - rn * rn) / r.n;
    const double theta = r.n >= 0 ? std::atan2(dx, r.rho0 - dy) : std::atan2(-dx, dy - r.rho0);
    double phi = 0.0;
    int status = 0;
    if (r.eccentricity < kSphereEccentricity) {
        phi = std::asin(q / 2);
    } else if (std::fabs(std::fabs(r.qp) - std::fabs(q)) < kPoleQ) {
        phi = q < 0 ? -kHalfPi : kHalfPi;
    } else {
        phi = mpx_snyder_eqn_3_18(std::asin(q / r.qp), r.authalic);
        status = mpx_snyder_eqn_3_16(&phi, q, r.eccentricity, r.e2);
    }
    // Departure: a polar angle beyond n pi lies in the gap of the cone, on
    // no meridian of the map.
    if (std::fabs(theta) > std::fabs(r.n) * std::numbers::pi + kGapTolerance)
        return kStatusNotRepresentable;
    const double lambda = theta / r.n + r.origin_long;
    if (!std::isfinite(phi) || !std::isfinite(lambda))
        return kStatusNotRepresentable;
    *lon = lambda;
    *lat = phi;
    return status;
}

} // namespace

extern "C" int mpx_albersea_install(void) noexcept {
    AlberseaRecord sample{};
    mpx_proj_create("albersea", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("first_paral", &sample.first_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("second_paral", &sample.second_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &sample.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_long", &sample.origin_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(albersea_init, albersea_forward, albersea_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
