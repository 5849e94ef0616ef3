// Geodetic <-> geocentric conversions on one ellipsoid.
//
// Forward: the closed form (EPSG Guidance Note 7-2, method 9602).
// Backward: Bowring's (1976) closed form, one pass without iteration; the
// error stays well below a millimetre for points within some tens of
// kilometres of the surface. A second backward form starts from the
// latitude of the surface point and applies one correction step.
//
// Longitudes are measured from the datum's prime meridian and are not
// normalised on the way back. Points deep inside the Earth, the centre
// included, take the latitude of their nearest pole in the Bowring form
// (see geocentric_forms.hpp); the second form gives whatever IEEE
// arithmetic gives there.
#include "geodesy/geocentric_forms.hpp"
#include "mpxlib.h"

#include <cmath>

namespace {

struct Geodetic {
    double lon, lat, height;
};

// The conversions cannot fail; the only refused input is a null pointer,
// which would otherwise crash the host.
bool pointers_valid(const mpx_ellipsoid *e, const double *a, const double *b, const double *c) {
    return e && a && b && c;
}

void store(const Geodetic &g, double *lon, double *lat, double *height) {
    *lon = g.lon;
    *lat = g.lat;
    *height = g.height;
}

} // namespace

extern "C" int mpx_gd_to_xyz(const mpx_ellipsoid *e, double lon, double lat, double height,
                             double *x, double *y, double *z) noexcept {
    if (!pointers_valid(e, x, y, z))
        return -1;
    double rx, ry, rz;
    mpx_forms::gd_to_xyz(*e, lon, lat, height, rx, ry, rz);
    *x = rx;
    *y = ry;
    *z = rz;
    return 0;
}

extern "C" int mpx_xyz_to_gd(const mpx_ellipsoid *e, double x, double y, double z, double *lon,
                             double *lat, double *height) noexcept {
    if (!pointers_valid(e, lon, lat, height))
        return -1;
    Geodetic g;
    mpx_forms::xyz_to_gd(*e, x, y, z, g.lon, g.lat, g.height);
    store(g, lon, lat, height);
    return 0;
}

extern "C" int mpx_xyz_to_gd_2(const mpx_ellipsoid *e, double x, double y, double z, double *lon,
                               double *lat, double *height) noexcept {
    if (!pointers_valid(e, lon, lat, height))
        return -1;
    const double a = e->radius;
    const double e2 = e->eccentricity * e->eccentricity;
    const double p = std::hypot(x, y);
    // Latitude of the surface point on the same normal direction, then one
    // step along the meridian radius of curvature M at that latitude.
    const double phi0 = std::atan2(z, p * (1.0 - e2));
    const double sin_phi0 = std::sin(phi0);
    const double cos_phi0 = std::cos(phi0);
    const double w2 = 1.0 - e2 * sin_phi0 * sin_phi0;
    const double w = std::sqrt(w2);
    const double n0 = a / w;
    const double dp = p - n0 * cos_phi0;
    const double dz = z - n0 * (1.0 - e2) * sin_phi0;
    const double h = dp * cos_phi0 + dz * sin_phi0;
    const double m = a * (1.0 - e2) / w2 / w;
    const double phi = phi0 - (dp * sin_phi0 - dz * cos_phi0) / (m + h);
    store({std::atan2(y, x) - e->prime_merid, phi, h}, lon, lat, height);
    return 0;
}
