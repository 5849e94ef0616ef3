#include "numeric/newton.hpp"

#include "numeric/thresholds.hpp"

#include <cmath>

namespace {

// An image this many times farther from the origin than the target, in
// both coordinates, means the iteration has left the projection's domain.
constexpr double kDivergenceFactor = 10000.0;

struct Image {
    double x, y;
};

// True when the image is unusable: the forward call failed, or the image
// ran away. A NaN coordinate counts as run away (the negated comparison),
// which only ends a search that could no longer converge.
bool unusable(int status, Image img, const NewtonTarget &t) {
    if (status != 0)
        return true;
    return !(std::fabs(img.x) <= kDivergenceFactor * std::fabs(t.x)) &&
           !(std::fabs(img.y) <= kDivergenceFactor * std::fabs(t.y));
}

} // namespace

bool newton_refine(mpx_proj_forward_fn forward, void *params, const NewtonTarget &target,
                   double *lon, double *lat) noexcept {
    double lam = *lon;
    double phi = *lat;
    double h_lam = kNewtonStartStep;
    double h_phi = kNewtonStartStep;
    for (int step = 1; step < kMaxIterations; ++step) {
        Image at{};
        if (unusable(forward(params, lam, phi, &at.x, &at.y), at, target))
            return false;
        const double ex = target.x - at.x;
        const double ey = target.y - at.y;
        if (std::fabs(ex) + std::fabs(ey) <= target.tolerance) {
            *lon = lam;
            *lat = phi;
            return true;
        }
        Image north{}, east{};
        if (unusable(forward(params, lam, phi + h_phi, &north.x, &north.y), north, target) ||
            unusable(forward(params, lam + h_lam, phi, &east.x, &east.y), east, target))
            return false;
        const double x_phi = (north.x - at.x) / h_phi;
        const double y_phi = (north.y - at.y) / h_phi;
        const double x_lam = (east.x - at.x) / h_lam;
        const double y_lam = (east.y - at.y) / h_lam;
        const double det = x_lam * y_phi - y_lam * x_phi;
        if (det < target.min_determinant)
            return false;
        const double d_lam = (y_phi * ex - x_phi * ey) / det;
        const double d_phi = (x_lam * ey - y_lam * ex) / det;
        lam += d_lam;
        phi += d_phi;
        h_phi = newton_next_step(d_phi);
        h_lam = newton_next_step(d_lam);
    }
    return false;
}
