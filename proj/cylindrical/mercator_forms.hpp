// The Mercator record and the formulas of its forward and backward
// routines, written once over the number type (see
// numeric/number_forms.hpp): mercator.cpp computes them with double, the
// vector kernels of the array path with a vector. The guards (a pole, a
// non-finite result) and the statuses stay in mercator.cpp.
#pragma once

#include "mpxlib.h"
#include "numeric/number_forms.hpp"

#include <numbers>

struct MercatorRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init: conformal latitude to latitude (Snyder 3-5).
    double conformal[MPX_SERIES_SIZE];
};

// The routines the registry holds for "mercator"; the array path
// recognises the projection by them.
int mercator_forward(void *params, double lon, double lat, double *x, double *y) noexcept;
int mercator_backward(void *params, double x, double y, double *lon, double *lat) noexcept;

namespace mpx_forms {

// Eqs. 7-6 and 7-7 away from the poles, as Snyder writes 7-7:
// psi = ln[tan(pi/4 + phi/2) ((1 - e sin phi)/(1 + e sin phi))^(e/2)], with
// tan(pi/4 + phi/2) = (1 + sin phi)/cos phi. psi is odd in phi and is
// computed for |phi|, so that 1 + sin phi never cancels; two logarithms
// cost less than the asinh and atanh of the same value.
template <class T>
void mercator_forward(const MercatorRecord &r, T lon, T lat, T &x, T &y) noexcept {
    T s, c;
    sincos(lat, s, c);
    const double e = r.eccentricity;
    const T as = abs(s);
    const T psi = log((1.0 + as) / abs(c)) - 0.5 * e * log((1.0 + e * as) / (1.0 - e * as));
    x = (lon - r.centre_merid) * r.radius * r.scale_factor + r.false_east;
    y = r.radius * copysign(psi, s) * r.scale_factor + r.false_north;
}

// Eq. 7-13 for the conformal latitude, then the series 3-5.
template <class T>
void mercator_backward(const MercatorRecord &r, T x, T y, T &lon, T &lat) noexcept {
    const T yp = (y - r.false_north) / r.scale_factor;
    const T t = exp(-yp / r.radius);
    const T chi = std::numbers::pi / 2 - 2.0 * atan(t);
    lon = (x - r.false_east) / r.scale_factor / r.radius + r.centre_merid;
    lat = chi + series_3_35(chi, r.conformal);
}

} // namespace mpx_forms
