// The Transverse Mercator record and the ellipsoidal formulas of its
// forward and backward routines, written once over the number type (see
// numeric/number_forms.hpp): tranmerc.cpp computes them with double, the
// vector kernels of the array path with a vector. The guards (non-finite
// input, a pole, the sphere's singular point, a non-finite result) and the
// statuses stay in tranmerc.cpp; these templates are only reached past them.
#pragma once

#include "mpxlib.h"
#include "numeric/number_forms.hpp"
#include "proj/cylindrical/tranmerc_keywords.hpp"

#include <cstdint>

struct TranmercRecord : TranmercDeclared {
    // Derived by init.
    int32_t method;
    double e2;  // e squared
    double ep2; // second eccentricity squared, e^2 / (1 - e^2)
    double meridian[MPX_SERIES_SIZE];
    double m0; // meridian distance of centre_lat
    double footpoint[MPX_SERIES_SIZE];
};

inline constexpr int32_t kTranmercSphere = 1;
inline constexpr int32_t kTranmercEllipsoid = 10;

// The routines the registry holds for the three keywords; the array path
// recognises the family by them.
int tranmerc_forward(void *params, double lon, double lat, double *x, double *y) noexcept;
int tranmerc_backward(void *params, double x, double y, double *lon, double *lat) noexcept;

namespace mpx_forms {

// Series denominators of eqs. 8-9, 8-10, 8-17 and 8-18, applied as multipliers.
inline constexpr double kSixth = 1.0 / 6.0;
inline constexpr double kOver24 = 1.0 / 24.0;
inline constexpr double kOver120 = 1.0 / 120.0;
inline constexpr double kOver720 = 1.0 / 720.0;

// Map coordinates from Snyder's x' and y' (x/k0, y/k0): scale, false origin,
// and the reversed axes of "stm".
template <class T>
void tranmerc_to_grid(const TranmercRecord &r, T xp, T yp, T &east, T &north) noexcept {
    east = xp * r.scale_factor + r.false_east;
    north = yp * r.scale_factor + r.false_north;
    if (r.grid_ws != 0) {
        east = -east;
        north = -north;
    }
}

// Eqs. 8-9 and 8-10 away from the poles, giving map coordinates.
template <class T>
void tranmerc_ellipsoid_forward(const TranmercRecord &r, T dlon, T lat, T &east,
                                T &north) noexcept {
    T s, c;
    sincos(lat, s, c);
    const T m = meridian_distance(lat, s, c, r.meridian);
    const T t = s * s / (c * c);
    const T cc = r.ep2 * c * c;
    const T a = dlon * c;
    const T a2 = a * a;
    const T n = r.radius / sqrt(1.0 - r.e2 * s * s);
    const T xp = n * a *
                 (1.0 + (1.0 - t + cc) * a2 * kSixth +
                  (5.0 - 18.0 * t + t * t + 72.0 * cc - 58.0 * r.ep2) * a2 * a2 * kOver120);
    const T yp =
        (m - r.m0) +
        n * (s / c) *
            (a2 * 0.5 + (5.0 - t + 9.0 * cc + 4.0 * cc * cc) * a2 * a2 * kOver24 +
             (61.0 - 58.0 * t + t * t + 600.0 * cc - 330.0 * r.ep2) * a2 * a2 * a2 * kOver720);
    tranmerc_to_grid(r, xp, yp, east, north);
}

// Snyder's x' and y' from map coordinates.
template <class T> void tranmerc_from_grid(const TranmercRecord &r, T x, T y, T &xp, T &yp) {
    if (r.grid_ws != 0) {
        x = -x;
        y = -y;
    }
    xp = (x - r.false_east) / r.scale_factor;
    yp = (y - r.false_north) / r.scale_factor;
}

// Footpoint latitude phi1 of y' (eqs. 7-19, 3-26).
template <class T> T tranmerc_footpoint(const TranmercRecord &r, T yp) noexcept {
    constexpr int kLinear = 5; // the factor of phi in the meridian series
    const T mu = (yp + r.m0) / r.meridian[kLinear];
    return mu + series_3_35(mu, r.footpoint);
}

// Eqs. 8-17 and 8-18 from the footpoint latitude, away from the poles.
template <class T>
void tranmerc_ellipsoid_backward(const TranmercRecord &r, T xp, T phi1, T &lon, T &lat) noexcept {
    T s1, c1;
    sincos(phi1, s1, c1);
    const T w = sqrt(1.0 - r.e2 * s1 * s1);
    const T cc1 = r.ep2 * c1 * c1;
    const T t1 = s1 * s1 / (c1 * c1);
    const T n1 = r.radius / w;
    const T r1 = r.radius * (1.0 - r.e2) / (w * w * w);
    const T d = xp / n1;
    const T d2 = d * d;
    lat = phi1 -
          (n1 * (s1 / c1) / r1) *
              (d2 * 0.5 -
               (5.0 + 3.0 * t1 + 10.0 * cc1 - 4.0 * cc1 * cc1 - 9.0 * r.ep2) * d2 * d2 * kOver24 +
               (61.0 + 90.0 * t1 + 298.0 * cc1 + 45.0 * t1 * t1 - 252.0 * r.ep2 - 3.0 * cc1 * cc1) *
                   d2 * d2 * d2 * kOver720);
    lon = r.centre_merid +
          (d - (1.0 + 2.0 * t1 + cc1) * d2 * d * kSixth +
           (5.0 - 2.0 * cc1 + 28.0 * t1 - 3.0 * cc1 * cc1 + 8.0 * r.ep2 + 24.0 * t1 * t1) * d2 *
               d2 * d * kOver120) /
              c1;
}

} // namespace mpx_forms
