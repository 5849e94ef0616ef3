// Shared by the geodesy tests: ellipsoids, angle units and tolerances.
#pragma once

#include "mpxlib.h"

#include <cmath>

namespace geodesy_test {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;
constexpr double kArcSecond = kDegree / 3600.0;

inline double eccentricity(double inverse_flattening) {
    const double f = 1.0 / inverse_flattening;
    return std::sqrt(f * (2.0 - f));
}

inline double dms(double degrees, double minutes, double seconds) {
    return (degrees + minutes / 60.0 + seconds / 3600.0) * kDegree;
}

inline const mpx_ellipsoid kWgs84{6378137.0, eccentricity(298.257223563), 0.0};
inline const mpx_ellipsoid kAiry1830{6377563.396, eccentricity(299.3249646), 0.0};

// Metres on the ground of an angular difference at latitude lat, on the
// sphere of radius a (enough to judge tolerances).
inline double metres(double radians, double a = 6378137.0) { return std::fabs(radians) * a; }

} // namespace geodesy_test
