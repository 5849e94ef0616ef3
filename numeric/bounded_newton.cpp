#include "numeric/bounded_newton.hpp"

#include "numeric/thresholds.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kNewtonStartStep;

// The start point is clamped inside 88 degrees of latitude and 179 degrees
// of longitude, where every forward routine that uses this search is still
// finite.
constexpr double kStartLatitudeBound = 1.53588974175501;  // 88 degrees
constexpr double kStartLongitudeBound = 3.12413936106985; // 179 degrees
// A step that lands beyond 100 degrees of latitude is sent back to 88
// degrees and walks on from there by one degree towards the equator; one
// beyond two turns of longitude is sent back to +-pi.
constexpr double kLatitudeLimit = 1.7453292519943295; // 100 degrees
constexpr double kLongitudeLimit = 2 * kPi;
// The image is reached when |dx| + |dy| is at most this (a tenth of a
// millimetre on a grid in metres).
constexpr double kReached = 0.0001;
// Below this Jacobian determinant the search stops where it is.
constexpr double kSingularJacobian = kZeroDenominator;
// A solution beyond a pole by more than the rounding of pi/2 is refused.
constexpr double kLatitudeLimitOfResult = 1.5707963267958966; // pi/2 + 1e-12 rounded

// The stuck marker: 1 after a jump back to a bound, larger after longitude
// jumps, 0 while the search moves. A search that stops moving right after
// a bound (marker 2) or stops moving a second time (marker 10) has failed.
constexpr int kMarkerAfterBound = 1;
constexpr int kMarkerStoppedOnce = 10;

// Later steps are half the last correction, never below the floor where
// rounding dominates (a tiny step becomes the positive floor).
double next_step(double correction) {
    const double h = correction * 0.5;
    return std::fabs(h) <= kNewtonMinStep ? kNewtonMinStep : h;
}

} // namespace

int bounded_newton_search(mpx_proj_forward_fn forward, void *params, double x, double y,
                          double lon_start, double lat_start, double *lon, double *lat) noexcept {
    // NaN passes the clamps unchanged and could only run the search to
    // its cap: refuse it at once.
    if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(lon_start) || std::isnan(lat_start))
        return -2;
    double lam = std::clamp(lon_start, -kStartLongitudeBound, kStartLongitudeBound);
    double phi = std::clamp(lat_start, -kStartLatitudeBound, kStartLatitudeBound);
    double h_lam = kDegree;
    double h_phi = kDegree;
    int passes = 1;
    int marker = kMarkerAfterBound;
    double x1 = 0, y1 = 0;
    int status = forward(params, lam, phi, &x1, &y1) != 0 ? -2 : 0;
    while (status == 0) {
        const double dx = x - x1;
        const double dy = y - y1;
        if (std::fabs(dx) + std::fabs(dy) <= kReached)
            break;
        double x2 = 0, y2 = 0, x3 = 0, y3 = 0;
        if (forward(params, lam, phi + h_phi, &x2, &y2) != 0 ||
            forward(params, lam + h_lam, phi, &x3, &y3) != 0) {
            status = -2;
            break;
        }
        const double x_lam = (x3 - x1) / h_lam;
        const double y_lam = (y3 - y1) / h_lam;
        const double x_phi = (x2 - x1) / h_phi;
        const double y_phi = (y2 - y1) / h_phi;
        const double det = y_phi * x_lam - x_phi * y_lam;
        if (std::fabs(det) < kSingularJacobian)
            break;
        const double d_lam = (y_phi * dx - x_phi * dy) / det;
        const double d_phi = (x_lam * dy - y_lam * dx) / det;
        double lam_n = lam + d_lam;
        double phi_n = phi + d_phi;
        h_lam = next_step(d_lam);
        h_phi = next_step(d_phi);
        // The first two passes may overshoot freely; from the third on the
        // point is kept within the bounds, and a search that stops moving
        // is stuck.
        if (passes > 2) {
            if (phi_n > kLatitudeLimit) {
                phi_n = kStartLatitudeBound, h_phi = -kDegree, marker = kMarkerAfterBound;
            } else if (phi_n < -kLatitudeLimit) {
                phi_n = -kStartLatitudeBound, h_phi = kDegree, marker = kMarkerAfterBound;
            }
            if (lam_n > kLongitudeLimit) {
                lam_n = kPi, h_lam = -kDegree, ++marker;
            } else if (lam_n < -kLongitudeLimit) {
                lam_n = -kPi, h_lam = kDegree, ++marker;
            }
            if (std::fabs(lam_n - lam) < kLatitudeTolerance &&
                std::fabs(phi_n - phi) < kLatitudeTolerance) {
                if (marker == kMarkerAfterBound + 1 || marker >= kMarkerStoppedOnce)
                    return -2;
                marker = kMarkerStoppedOnce;
            } else {
                marker = 0;
            }
        }
        lam = lam_n;
        phi = phi_n;
        if (++passes >= kMaxIterations)
            return -2;
        if (forward(params, lam, phi, &x1, &y1) != 0)
            status = -2;
    }
    // Negated so that a NaN latitude is refused too.
    if (!(std::fabs(phi) <= kLatitudeLimitOfResult))
        return -2;
    *lon = lam;
    *lat = phi;
    return status;
}
