// "orthog": the orthographic projection on the sphere of radius a (the
// eccentricity is declared but not read), any aspect.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 20: forward eqs. 20-3, 20-4 with the visibility test
// 5-3; backward eqs. 20-14 to 20-19.
//
// Domain: the near hemisphere, its horizon (90 degrees from the centre)
// included; the far hemisphere gives status 1 with the outputs untouched.
// The map is the disc of radius a about the false origin.
//
// Departures from Snyder: a map point beyond the disc (rho > a, allowing
// 1e-10 a of rounding) has no preimage and gives status 1 instead of the
// NaN of the arcsine; so does a non-finite input or result. A point within
// 1e-7 (unscaled) of the central meridian or of the centre's parallel
// circle gets x' = 0 or y' = 0 exactly. The backward latitude comes from
// atan2 of the point's unit vector rather than the arcsine of 20-14, which
// loses half its digits near the poles.
#include "proj/azimuthal/azimuthal.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct OrthogRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double origin_lat;
    double origin_long;
    double radius;
    double eccentricity; // not read
    double long_cut;
    // Derived by init.
    double cos_lat1;
    double sin_lat1;
};

OrthogRecord &record_of(void *params) { return *static_cast<OrthogRecord *>(params); }

int orthog_init(void *params) noexcept {
    OrthogRecord &r = record_of(params);
    r.long_cut = r.origin_long - std::numbers::pi;
    r.cos_lat1 = std::cos(r.origin_lat);
    r.sin_lat1 = std::sin(r.origin_lat);
    return 0;
}

int orthog_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const OrthogRecord &r = record_of(params);
    const double dlon = lon - r.origin_long;
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    const double sin_lat = std::sin(lat);
    const double cos_lat = std::cos(lat);
    const double cos_c = cos_lat * cos_dlon * r.cos_lat1 + sin_lat * r.sin_lat1;
    // The horizon itself (cos c = 0) is visible; NaN is not.
    if (!(cos_c >= 0))
        return kStatusNotRepresentable;
    const double xp = is_pole(lat) || std::fabs(sin_dlon) < kZeroDenominator
                          ? 0.0
                          : r.radius * cos_lat * sin_dlon;
    const double yu = sin_lat * r.cos_lat1 - cos_lat * r.sin_lat1 * cos_dlon;
    const double yp = std::fabs(yu) < kZeroDenominator ? 0.0 : r.radius * yu;
    return put(xp + r.false_east, yp + r.false_north, x, y);
}

int orthog_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const OrthogRecord &r = record_of(params);
    if (!finite(x, y))
        return kStatusNotRepresentable;
    // sin c = rho/a with c at most 90 degrees; none beyond the disc.
    const auto distance = [&r](double rho, double &sin_c, double &cos_c) {
        sin_c = std::fmin(rho / r.radius, 1.0);
        cos_c = std::sqrt((1 - sin_c) * (1 + sin_c));
        return within_unit(rho / r.radius);
    };
    const bool polar = is_pole(r.origin_lat);
    const int polar_sign = !polar ? 0 : r.origin_lat >= 0 ? 1 : -1;
    SphereOffset g{};
    if (!sphere_backward({r.origin_lat, r.sin_lat1, r.cos_lat1, polar_sign}, x - r.false_east,
                         y - r.false_north, distance, g))
        return kStatusNotRepresentable;
    // Every longitude meets at a pole: the central meridian stands for it.
    const double lambda = !polar && is_pole(g.lat) ? r.origin_long : g.dlon + r.origin_long;
    return put(lambda, g.lat, lon, lat);
}

} // namespace

extern "C" int mpx_orthog_install(void) noexcept {
    return install_on_origin<OrthogRecord>("orthog", orthog_init, orthog_forward, orthog_backward);
}
