// The formulas of the geodetic <-> geocentric conversions and of the
// Bursa-Wolfe similarity, written once over the number type (see
// numeric/number_forms.hpp): geocentric.cpp and bursa_wolfe.cpp compute
// them with double, the vector kernels of the array path with a vector.
// None of them fails; a non-finite result is for the caller to judge.
#pragma once

#include "mpxlib.h"
#include "numeric/number_forms.hpp"

namespace mpx_forms {

// EPSG Guidance Note 7-2, method 9602.
template <class T>
void gd_to_xyz(const mpx_ellipsoid &e, T lon, T lat, T height, T &x, T &y, T &z) noexcept {
    const double e2 = e.eccentricity * e.eccentricity;
    T sin_phi, cos_phi, sin_lambda, cos_lambda;
    sincos(lat, sin_phi, cos_phi);
    sincos(lon + e.prime_merid, sin_lambda, cos_lambda);
    const T n = e.radius / sqrt(1.0 - e2 * sin_phi * sin_phi);
    x = (n + height) * cos_phi * cos_lambda;
    y = (n + height) * cos_phi * sin_lambda;
    z = ((1.0 - e2) * n + height) * sin_phi;
}

// Bowring's (1976) closed form. The sine and cosine of the parametric
// latitude beta and of the latitude phi are taken from the two arguments of
// their arctangents (tan beta = Z / (b/a p)), one square root each, instead
// of an arctangent followed by a sine and a cosine.
//
// Deep inside the Earth, within the evolute of the meridian ellipse (less
// than e^2 a, about 43 km, from the axis near the equatorial plane), the
// second argument of the latitude's arctangent turns negative and the
// published form would give latitudes beyond a pole (180 degrees for a
// point one metre from the centre). The surface points nearest such a point
// are the poles, so the latitude stops at the pole on the point's side (the
// north pole for Z = 0) and the height is measured from it. The centre
// itself, whose direction is undefined, takes the north pole's normal too:
// latitude 90 degrees and height -b, which converts back to the centre.
template <class T>
void xyz_to_gd(const mpx_ellipsoid &e, T x, T y, T z, T &lon, T &lat, T &height) noexcept {
    const double a = e.radius;
    const double e2 = e.eccentricity * e.eccentricity;
    // b/a kept in the form 1 - (1 - sqrt(1 - e^2)) rather than sqrt(1 - e^2):
    // the rounding the published results were made with.
    const double b_over_a = 1.0 - (1.0 - std::sqrt(1.0 - e2));
    const T p = norm(x, y);
    const T bp = b_over_a * p;
    const T r_beta = norm(z, bp);
    const auto has_direction = r_beta > 0.0;
    const T sin_beta = select(has_direction, z / r_beta, T(1.0));
    const T cos_beta = select(has_direction, bp / r_beta, T(0.0));
    const T den_bowring = p - e2 * a * cos_beta * cos_beta * cos_beta;
    const auto inside_evolute = den_bowring <= 0.0;
    const T num = select(inside_evolute, select(z < 0.0, T(-1.0), T(1.0)),
                         z + (e2 / (1.0 - e2)) * b_over_a * a * sin_beta * sin_beta * sin_beta);
    const T den = select(inside_evolute, T(0.0), den_bowring);
    const T r_phi = norm(num, den);
    const T sin_phi = num / r_phi;
    const T cos_phi = den / r_phi;
    const T n = a / sqrt(1.0 - e2 * sin_phi * sin_phi);
    // Divide by the larger of sin and cos so that neither pole nor equator
    // loses precision; the tie |Z| = p takes the polar form.
    const auto polar = (abs(z) >= p) | inside_evolute;
    height = select(polar, z, p) / select(polar, sin_phi, cos_phi) -
             n * select(polar, T(1.0 - e2), T(1.0));
    lat = atan2(num, den);
    lon = atan2(y, x) - e.prime_merid;
}

// The similarity of a record whose type is known (the caller checks).
template <class T> void bursa_wolfe(const mpx_bw_params &p, T &x, T &y, T &z) noexcept {
    const double s = p.scale;
    const T x0 = x;
    const T y0 = y;
    const T z0 = z;
    switch (p.type) {
    case MPX_BW_TRANSLATION:
        x = x0 + p.translation_x;
        y = y0 + p.translation_y;
        z = z0 + p.translation_z;
        return;
    case MPX_BW_TRANSLATION_ROTATION_Z_SCALE:
        x = s * (x0 - p.rotation_z * y0) + p.translation_x;
        y = s * (p.rotation_z * x0 + y0) + p.translation_y;
        z = s * z0 + p.translation_z;
        return;
    case MPX_BW_FULL:
        x = s * (x0 - p.rotation_z * y0 + p.rotation_y * z0) + p.translation_x;
        y = s * (p.rotation_z * x0 + y0 - p.rotation_x * z0) + p.translation_y;
        z = s * (-p.rotation_y * x0 + p.rotation_x * y0 + z0) + p.translation_z;
        return;
    default: // identity
        return;
    }
}

} // namespace mpx_forms
