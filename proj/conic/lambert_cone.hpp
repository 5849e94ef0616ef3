// The cone of the Lambert conformal conic, shared by the classic form
// ("lambert1", "lambert2") and its exact companion: the central parallel
// phi0 (where the false origin lies) and the scale k0 on it, from one
// standard parallel with its scale factor or from two standard parallels.
//
// Source: Snyder, Map Projections: A Working Manual (1987), eqs. 14-15,
// 15-8 and 15-9; EPSG Guidance Note 7-2, methods 9801 and 9802.
#pragma once

#include <cmath>
#include <numbers>

// Parallels closer than one arc-second in absolute value make one.
inline constexpr double kLambertOneArcSecond = 4.84813681109536e-06;
// A second parallel within this of 0 means the cone has one parallel.
inline constexpr double kLambertOneParallel = 1e-12;

// Isometric-latitude function t of the cone (Snyder 15-9) and the radius
// of the parallel m (14-15).
inline double lambert_cone_t(double phi, double e) {
    const double es = e * std::sin(phi);
    return std::tan(std::numbers::pi / 4 - phi / 2) * std::pow((1 + es) / (1 - es), e / 2);
}
inline double lambert_cone_m(double phi, double a, double e2) {
    const double s = std::sin(phi);
    return a * std::cos(phi) / std::sqrt(1 - e2 * s * s);
}

struct LambertCone {
    double phi0; // central parallel: n = sin phi0
    double k0;   // scale on it
};

// One parallel (second_paral 0): phi0 = centre_lat with the scale factor.
// Two equal ones (within an arc-second in absolute value): their mean, with
// the scale factor. Two others: the cone through both (15-8), the scale on
// its central parallel relative to them. NaN when the parallels give none.
inline LambertCone lambert_cone(double first_paral, double second_paral, double centre_lat,
                                double scale_factor, double a, double e) {
    const double p1 = first_paral, p2 = second_paral;
    if (std::fabs(p2) < kLambertOneParallel)
        return {centre_lat, scale_factor};
    if (std::fabs(std::fabs(p2) - std::fabs(p1)) <= kLambertOneArcSecond)
        return {(p1 + p2) / 2, scale_factor};
    const double e2 = e * e;
    const double pa = std::fabs(p1) <= std::fabs(p2) ? p2 : p1;
    const double pb = std::fabs(p1) <= std::fabs(p2) ? p1 : p2;
    const double ma = lambert_cone_m(pa, a, e2);
    const double ta = lambert_cone_t(pa, e);
    const double n = (std::log(ma) - std::log(lambert_cone_m(pb, a, e2))) /
                     (std::log(ta) - std::log(lambert_cone_t(pb, e)));
    const double phi0 = std::asin(n);
    return {phi0, (ma / std::pow(ta, n)) /
                      (lambert_cone_m(phi0, a, e2) / std::pow(lambert_cone_t(phi0, e), n))};
}
