// "gnomonic": the gnomonic projection on the sphere of radius a (the
// eccentricity is declared but not read), with polar, equatorial and
// oblique aspects. Great circles map to straight lines.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 22: forward eqs. 22-3 to 22-5 (oblique), 22-6 and
// 22-7 (equatorial), 22-8 to 22-11 (polar); backward eqs. 20-14 to 20-18
// with c from 22-16.
//
// Domain: the open hemisphere about the centre. Refused with status 1 and
// the outputs untouched: points at or beyond 90 degrees from the centre
// (cos c <= 1e-10), the equator in the polar aspects and the meridians
// +-90 degrees from the centre in the equatorial aspect, all of which lie
// at infinity. The whole plane maps back.
//
// Departures from Snyder: a non-finite input or result also gives status 1.
// The backward latitude comes from atan2 of the point's unit vector rather
// than the arcsine of 20-14, which loses half its digits near the poles.
#include "proj/azimuthal/azimuthal.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

struct GnomonicRecord {
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
    int32_t aspect;
};

GnomonicRecord &record_of(void *params) { return *static_cast<GnomonicRecord *>(params); }

constexpr int32_t kEquatorial = 0;
constexpr int32_t kNorthPolar = 1;
constexpr int32_t kSouthPolar = 2;
constexpr int32_t kOblique = 3;

// Points whose cos c does not exceed this (c the angular distance from the
// centre) lie on or beyond the horizon, at infinity on the map.
constexpr double kHorizon = 1e-10;
// A latitude within this of 0 (radians) is the equator.
constexpr double kEquatorTolerance = 1e-10;

int gnomonic_init(void *params) noexcept {
    GnomonicRecord &r = record_of(params);
    r.long_cut = r.origin_long - std::numbers::pi;
    r.cos_lat1 = std::cos(r.origin_lat);
    r.sin_lat1 = std::sin(r.origin_lat);
    if (is_pole(r.origin_lat))
        r.aspect = r.origin_lat > 0 ? kNorthPolar : kSouthPolar;
    else
        r.aspect = std::fabs(r.origin_lat) <= kEquatorTolerance ? kEquatorial : kOblique;
    return 0;
}

int gnomonic_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const GnomonicRecord &r = record_of(params);
    const double dlon = lon - r.origin_long;
    const bool polar = r.aspect == kNorthPolar || r.aspect == kSouthPolar;
    if (polar && std::fabs(lat) < kEquatorTolerance)
        return kStatusNotRepresentable;
    if (r.aspect == kEquatorial && std::fabs(std::numbers::pi / 2 - std::fabs(dlon)) <= kHorizon)
        return kStatusNotRepresentable;
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    const double sin_lat = std::sin(lat);
    const double cos_lat = std::cos(lat);
    const double cos_c = cos_lat * r.cos_lat1 * cos_dlon + sin_lat * r.sin_lat1;
    if (!(cos_c > kHorizon))
        return kStatusNotRepresentable;
    double xp = 0.0;
    double yp = 0.0;
    if (r.aspect == kEquatorial) {
        xp = r.radius * sin_dlon / cos_dlon;
        yp = r.radius * (sin_lat / cos_lat) / cos_dlon;
    } else if (polar) {
        const double rho = r.radius * cos_lat / sin_lat;
        xp = r.aspect == kNorthPolar ? rho * sin_dlon : -rho * sin_dlon;
        yp = -rho * cos_dlon;
    } else {
        const double k = r.radius / cos_c;
        xp = k * cos_lat * sin_dlon;
        yp = k * (r.cos_lat1 * sin_lat - r.sin_lat1 * cos_lat * cos_dlon);
    }
    return put(xp + r.false_east, yp + r.false_north, x, y);
}

int gnomonic_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const GnomonicRecord &r = record_of(params);
    if (!finite(x, y))
        return kStatusNotRepresentable;
    // tan c = rho/a: every map point has a preimage.
    const auto distance = [&r](double rho, double &sin_c, double &cos_c) {
        const double h = std::hypot(rho, r.radius);
        sin_c = rho / h;
        cos_c = r.radius / h;
        return true;
    };
    const int polar_sign = r.aspect == kNorthPolar ? 1 : r.aspect == kSouthPolar ? -1 : 0;
    SphereOffset g{};
    sphere_backward({r.origin_lat, r.sin_lat1, r.cos_lat1, polar_sign}, x - r.false_east,
                    y - r.false_north, distance, g);
    const double lambda = g.dlon + r.origin_long;
    return put(lambda, g.lat, lon, lat);
}

} // namespace

extern "C" int mpx_gnomonic_install(void) noexcept {
    return install_on_origin<GnomonicRecord>("gnomonic", gnomonic_init, gnomonic_forward,
                                             gnomonic_backward);
}
