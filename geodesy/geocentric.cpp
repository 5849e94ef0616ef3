// Geodetic <-> geocentric conversions on one ellipsoid.
//
// Forward: the closed form (EPSG Guidance Note 7-2, method 9602).
// Backward: Bowring's (1976) closed form, one pass without iteration; the
// error stays well below a millimetre for points within some tens of
// kilometres of the surface. A second backward form starts from the
// latitude of the surface point and applies one correction step.
//
// Longitudes are measured from the datum's prime meridian and are not
// normalised on the way back. The centre of the ellipsoid (X = Y = Z = 0)
// has no direction; the results there are whatever IEEE arithmetic gives.
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
    const double a = e->radius;
    const double e2 = e->eccentricity * e->eccentricity;
    const double lambda = lon + e->prime_merid;
    const double sin_phi = std::sin(lat);
    const double cos_phi = std::cos(lat);
    const double n = a / std::sqrt(1.0 - e2 * sin_phi * sin_phi);
    const double rx = (n + height) * cos_phi * std::cos(lambda);
    const double ry = (n + height) * cos_phi * std::sin(lambda);
    const double rz = ((1.0 - e2) * n + height) * sin_phi;
    *x = rx;
    *y = ry;
    *z = rz;
    return 0;
}

extern "C" int mpx_xyz_to_gd(const mpx_ellipsoid *e, double x, double y, double z, double *lon,
                             double *lat, double *height) noexcept {
    if (!pointers_valid(e, lon, lat, height))
        return -1;
    const double a = e->radius;
    const double e2 = e->eccentricity * e->eccentricity;
    const double p = std::hypot(x, y);
    // b/a kept in the form 1 - (1 - sqrt(1 - e^2)) rather than sqrt(1 - e^2):
    // results are compared bit for bit across versions, and this is the
    // rounding they were made with.
    const double b_over_a = 1.0 - (1.0 - std::sqrt(1.0 - e2));
    const double beta = std::atan2(z, b_over_a * p);
    const double sin_beta = std::sin(beta);
    const double cos_beta = std::cos(beta);
    // Within e^2 a of the axis near the centre (inside the evolute of the
    // meridian ellipse) Bowring's denominator turns negative and atan2 would
    // give a latitude beyond a pole; there it is held at 0, which gives the
    // pole of z's sign (or the equator for z = 0), a normal through the point.
    const double denominator = p - e2 * a * cos_beta * cos_beta * cos_beta;
    const bool inside_evolute = denominator < 0.0;
    const double phi =
        std::atan2(z + (e2 / (1.0 - e2)) * b_over_a * a * sin_beta * sin_beta * sin_beta,
                   inside_evolute ? 0.0 : denominator);
    const double sin_phi = std::sin(phi);
    const double n = a / std::sqrt(1.0 - e2 * sin_phi * sin_phi);
    // Divide by the larger of sin and cos so that neither pole nor equator
    // loses precision; the tie |Z| = p takes the polar form.
    const bool polar = inside_evolute ? z != 0.0 : std::fabs(z) >= p;
    const double h = polar ? z / sin_phi - n * (1.0 - e2) : p / std::cos(phi) - n;
    store({std::atan2(y, x) - e->prime_merid, phi, h}, lon, lat, height);
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
