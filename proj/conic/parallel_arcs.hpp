// The circle of one parallel, shared by the polyconic projections ("regpol",
// "modpol") and Bonne: each parallel is drawn as an arc of radius N cot phi
// (Snyder 1987, eqs. 18-12, 18-13 and 19-8 with 4-20).
#pragma once

#include <cmath>

// N(phi) cot phi, the radius of the parallel's circle: the length of the
// tangent to the meridian from the parallel to the axis. Infinite on the
// equator, zero at the poles; negative in the southern hemisphere.
inline double parallel_radius(double a, double e2, double phi) noexcept {
    const double s = std::sin(phi);
    return a * std::cos(phi) / (std::sqrt(1 - e2 * s * s) * s);
}

struct ArcPoint {
    double x, y;
};

// The point of the parallel (radius r, latitude phi) at longitude distance
// dlon from the central meridian, measured from where the parallel crosses
// that meridian: x = r sin E, y = r (1 - cos E) with E = dlon sin phi.
// 1 - cos E is evaluated as 2 sin^2(E/2), the same value without the
// cancellation that costs digits for small E.
inline ArcPoint parallel_point(double r, double phi, double dlon) noexcept {
    const double e = dlon * std::sin(phi);
    const double h = std::sin(e / 2);
    return {r * std::sin(e), 2 * r * h * h};
}
