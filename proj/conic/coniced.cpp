// "coniced": the equidistant conic projection with two standard parallels,
// ellipsoidal (spherical when e = 0, the series then vanishing).
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 16: forward eqs. 16-2, 16-3, 16-4 and 14-1 to 14-4
// with the meridian distance 3-21 and m from 14-15; backward eqs. 16-10,
// 14-10, 14-11 and 3-20 with the footpoint latitude from the rectifying
// latitude (3-26). Also EPSG Guidance Note 7-2, Equidistant Conic
// (method 1119).
//
// Domain: every latitude, with true distances along every meridian;
// longitudes are taken as the transformation brings them into central
// meridian +- pi (the forward does not fold them). A southern cone (n < 0)
// measures its polar angle and radius from the other side.
//
// Departures from Snyder: a degenerate cone (n = 0, as for parallels of
// opposite sign and equal size, or non-finite constants) is refused by init
// with status 1, and a NaN or infinite input gives status 1 with the
// outputs untouched, instead of a non-finite point with status 0. A map
// point in the gap of the cone (polar angle beyond n pi, longitude beyond
// central meridian +- pi) is refused with status 1 rather than given a
// longitude outside the projection's window.
#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct ConicedRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat;
    double first_paral;
    double second_paral;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double meridian[MPX_SERIES_SIZE]; // [5]: length of a radian of rectifying latitude
    double footpoint[MPX_SERIES_SIZE];
    double n;
    double g; // G of eq. 16-3
    double rho0;
};

ConicedRecord &record_of(void *params) { return *static_cast<ConicedRecord *>(params); }

constexpr int kRectifying = MPX_SERIES_SIZE - 1;
constexpr int kStatusNotRepresentable = 1;
// Polar angles up to this beyond n pi (radians) still count as the edge
// meridian, central meridian +- pi.
constexpr double kGapTolerance = 1e-12;

// Eq. 14-15.
double parallel_m(double phi, double e2) {
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1 - e2 * s * s);
}

int coniced_init(void *params) noexcept {
    ConicedRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    const double e2 = r.eccentricity * r.eccentricity;
    mpx_snyder_init_3_21(r.eccentricity, r.radius, r.meridian);
    const double m0 = mpx_snyder_eqn_3_21(r.centre_lat, r.meridian);
    const double mm1 = mpx_snyder_eqn_3_21(r.first_paral, r.meridian);
    const double m1 = parallel_m(r.first_paral, e2);
    r.n = std::sin(r.first_paral);
    if (r.second_paral != r.first_paral)
        r.n = r.radius * (m1 - parallel_m(r.second_paral, e2)) /
              (mpx_snyder_eqn_3_21(r.second_paral, r.meridian) - mm1);
    r.g = m1 / r.n + mm1 / r.radius;
    r.rho0 = r.radius * r.g - m0;
    mpx_snyder_init_3_26(r.eccentricity, r.footpoint);
    if (r.n == 0.0 || !std::isfinite(r.g) || !std::isfinite(r.rho0))
        return kStatusNotRepresentable;
    return 0;
}

int coniced_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const ConicedRecord &r = record_of(params);
    const double rho = r.radius * r.g - mpx_snyder_eqn_3_21(lat, r.meridian);
    const double theta = r.n * (lon - r.centre_merid);
    const double xp = rho * std::sin(theta);
    const double yp = r.rho0 - rho * std::cos(theta);
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusNotRepresentable;
    *x = r.false_east + xp;
    *y = r.false_north + yp;
    return 0;
}

int coniced_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const ConicedRecord &r = record_of(params);
    double dx = x - r.false_east;
    double dy = y - r.false_north;
    double r0 = r.rho0;
    if (r.n < 0)
        dx = -dx, dy = -dy, r0 = -r0;
    double rho = std::sqrt(dx * dx + (r0 - dy) * (r0 - dy));
    if (r.n < 0)
        rho = -rho;
    const double theta = std::atan2(dx, r0 - dy);
    const double mu = (r.radius * r.g - rho) / r.meridian[kRectifying];
    const double phi = mu + mpx_snyder_eqn_3_35(mu, r.footpoint);
    // Departure: a polar angle beyond n pi lies in the gap of the cone, on
    // no meridian of the map.
    if (std::fabs(theta) > std::fabs(r.n) * std::numbers::pi + kGapTolerance)
        return kStatusNotRepresentable;
    const double lambda = theta / r.n + r.centre_merid;
    if (!std::isfinite(phi) || !std::isfinite(lambda))
        return kStatusNotRepresentable;
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_coniced_install(void) noexcept {
    ConicedRecord sample{};
    mpx_proj_create("coniced", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("first_paral", &sample.first_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("second_paral", &sample.second_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(coniced_init, coniced_forward, coniced_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
