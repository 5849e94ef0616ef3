// "modpol": the modified polyconic projection of the International Map of
// the World (IMW), ellipsoidal, one sheet between two parallels.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 18, "Modified Polyconic for the IMW"; the sheet
// layout and the true-scale meridians of the IMW rules (United
// Nations, 1963): 2 degrees either side of the central meridian up to 60
// degrees of latitude, 4 degrees from 60 to 76, 8 degrees from 76 to 84.
// The two bounding parallels are drawn as in the ordinary polyconic, true
// to scale; the meridians are straight lines joining their points on the
// two parallels; every other parallel is a circle of radius N cot phi
// through the point of the true-scale meridian at its meridian distance.
//
// Domain: the sheet and a few degrees around it (an IMW sheet spans 4
// degrees of latitude and 6 of longitude). A sheet whose mid-latitude is
// 84 degrees or more is not an IMW sheet: init refuses it with -2 (the
// polar sheets are drawn in the polar stereographic). No false origin: x
// and y are measured from the central meridian on the first parallel.
//
// Inverse: a secant iteration on the forward routine, at most 400 steps.
// The forward routine writes the y of the first parallel at the point's
// longitude into the record (a scratch value the inverse reads), so one
// record must not serve two threads at once.
//
// Departures from the IMW formulas as usually coded:
// - A sheet bounded by the equator (rows NA and SA of the IMW) places the
//   true-scale meridian's point on each parallel by that parallel alone:
//   on the equator at a dlon_t, on the other parallel on its circle. The
//   formulas as usually coded put both points at a dlon_t on a straight
//   line as soon as one parallel is the equator; then the first parallel
//   of a southern sheet misses its own circle by some 270 m and the sheet
//   cannot be inverted. Likewise the equator itself is drawn where the
//   straight meridian meets the height of the true-scale meridian's point
//   of meridian distance 0, which is y = 0, x = a dlon when the first
//   parallel is the equator (as usually coded) and the top of the sheet
//   when the second one is. Sheets away from the equator are unchanged.
// - init refuses with -2 a degenerate sheet (equal parallels, or a sheet
//   whose true-scale meridian cannot reach the second parallel) whose
//   coefficients would not be finite.
// - forward returns 1, outputs untouched, where the parallel's circle does
//   not reach the meridian's line (far outside the sheet, near the poles)
//   instead of a non-number with status 0; the inverse then fails with -2.
// - The inverse's iteration starts from the point itself rather than from
//   the second parallel (at x / (a cos phi2) from the central meridian):
//   the latitude whose parallel's circle passes through it and the
//   longitude whose straight meridian does, each by a one-dimensional
//   Newton solve with analytic derivatives. The iteration, its tests and
//   its statuses are unchanged; it accepts that start at its first step
//   instead of settling in five to nine, and its results reproduce the map
//   point within 1e-8 instead of 1e-5 (they differ from the earlier ones by
//   less than 1e-5). A sheet bounded by the equator keeps the old start.
#include "proj/conic/parallel_arcs.hpp"

#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct ModpolRecord {
    // Declared attributes, in installer order.
    double centre_merid;
    double centre_lat; // replaced by the sheet's mid-latitude
    double first_paral;
    double second_paral;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double e2;
    // The true-scale meridian as a line in the meridian distance M:
    // x = Q0 + Q1 M, y = P0 + P1 M.
    double p0, p1, q0, q1;
    double first_y;  // scratch: the y of the first parallel, written by forward
    double r1, sin1; // N cot phi and sin phi of the first parallel
    double r2, sin2; // and of the second
    double height;   // H: the second parallel's centre line above the first
    double meridian[MPX_SERIES_SIZE];
};

ModpolRecord &record_of(void *params) { return *static_cast<ModpolRecord *>(params); }

constexpr double kDegree = std::numbers::pi / 180;
// Cap of the inverse's secant iteration (steps of the forward routine).
constexpr int kMaxInverseSteps = 400;
// The inverse stops when the forward image is within this of the input, in
// the projection's linear unit ...
constexpr double kMapTolerance = 0.0001;
// ... and the latitude and longitude have settled within this (radians).
constexpr double kAngleTolerance = 1e-12;
// The Newton solves of its start stop once a step is below this (radians):
// they converge quadratically, so the next step would be at the rounding,
// and the iteration accepts the start at its first step. More steps than
// the cap mean they do not converge.
constexpr double kStartTolerance = 1e-9;
constexpr int kStartSteps = 20;

// Longitude distance of the true-scale meridians from the central meridian,
// by the IMW band of the sheet's mid-latitude (4-degree bands from the
// equator); 0 for band 22 and beyond, which are not IMW sheets.
double true_scale_longitude(double mid_lat) {
    const double d = std::floor(std::fabs(mid_lat) / kDegree + 0.5);
    const int band = 1 + static_cast<int>(std::floor(d / 4));
    if (band <= 15)
        return 2 * kDegree;
    if (band <= 19)
        return 4 * kDegree;
    if (band <= 21)
        return 8 * kDegree;
    return 0.0;
}

int modpol_init(void *params) noexcept {
    ModpolRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.e2 = r.eccentricity * r.eccentricity;
    r.centre_lat = (r.first_paral + r.second_paral) / 2;
    const double band_lon = true_scale_longitude(r.centre_lat);
    // Band 22 and beyond are refused; the sheet is still completed (with
    // the widest band's meridians) so that the record holds numbers.
    const int status = band_lon > 0 ? 0 : -2;
    const double dlon_t = band_lon > 0 ? band_lon : 8 * kDegree;
    const double a = r.radius;
    // On the equator the parallel is straight: no radius (left 0).
    r.sin1 = r.r1 = r.sin2 = r.r2 = 0.0;
    if (std::fabs(r.first_paral) >= kZeroDenominator) {
        r.sin1 = std::sin(r.first_paral);
        r.r1 = parallel_radius(a, r.e2, r.first_paral);
    }
    if (std::fabs(r.second_paral) >= kZeroDenominator) {
        r.sin2 = std::sin(r.second_paral);
        r.r2 = parallel_radius(a, r.e2, r.second_paral);
    }
    // The true-scale meridian's points on the two parallels; on a parallel
    // that is the equator, the point of the straight equator.
    const ArcPoint t1 = std::fabs(r.first_paral) >= kZeroDenominator
                            ? parallel_point(r.r1, r.first_paral, dlon_t)
                            : ArcPoint{a * dlon_t, 0.0};
    const ArcPoint t2 = std::fabs(r.second_paral) >= kZeroDenominator
                            ? parallel_point(r.r2, r.second_paral, dlon_t)
                            : ArcPoint{a * dlon_t, 0.0};
    mpx_snyder_init_3_21(r.eccentricity, a, r.meridian);
    const double m1 = mpx_snyder_eqn_3_21(r.first_paral, r.meridian);
    const double m2 = mpx_snyder_eqn_3_21(r.second_paral, r.meridian);
    const double d = m2 - m1;
    // The true-scale meridian's point on the second parallel lies at the
    // straight-line distance d from its point on the first.
    const double top = std::sqrt(d * d - (t2.x - t1.x) * (t2.x - t1.x)) + t1.y;
    r.height = top - t2.y;
    r.p0 = (m2 * t1.y - top * m1) / d;
    r.p1 = (top - t1.y) / d;
    r.q0 = (m2 * t1.x - m1 * t2.x) / d;
    r.q1 = (t2.x - t1.x) / d;
    if (!std::isfinite(r.height + r.p0 + r.p1 + r.q0 + r.q1))
        return -2;
    return status;
}

int modpol_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    ModpolRecord &r = record_of(params);
    const double a = r.radius;
    const double dlon = lon - r.centre_merid;
    // This meridian's points on the two bounding parallels, and the slope
    // dx/dy of the straight meridian through them.
    ArcPoint pa{a * dlon, 0.0}, pb{a * dlon, r.height};
    if (std::fabs(r.first_paral) >= kZeroDenominator)
        pa = parallel_point(r.r1, r.first_paral, dlon);
    if (std::fabs(r.second_paral) >= kZeroDenominator) {
        pb = parallel_point(r.r2, r.second_paral, dlon);
        pb.y += r.height;
    }
    const double slope = (pb.x - pa.x) / (pb.y - pa.y);
    double xr = 0.0, yr = 0.0;
    if (std::fabs(lat) < kZeroDenominator) {
        // The equator is straight, at the height of the true-scale
        // meridian's point of meridian distance 0.
        yr = r.p0;
        xr = pa.x + (yr - pa.y) * slope;
    } else {
        // The parallel's circle, placed to pass through the true-scale
        // meridian's point at this meridian distance ...
        const double rad = parallel_radius(a, r.e2, lat);
        const double m = mpx_snyder_eqn_3_21(lat, r.meridian);
        const double xc = r.q0 + r.q1 * m;
        const double yc = r.p0 + r.p1 * m;
        const double w = std::copysign(std::sqrt(rad * rad - xc * xc), lat);
        const double centre = ((yc - rad) + w) + rad;
        // ... and where the meridian's line meets it.
        const double xl = (centre - pa.y) * slope + pa.x;
        const double v = slope * slope + 1;
        const double root = std::sqrt(v * rad * rad - xl * xl) * slope;
        xr = (xl + (lat > 0 ? -root : root)) / v;
        const double h = std::sqrt(rad * rad - xr * xr);
        yr = centre + (lat > 0 ? -h : h);
    }
    if (!std::isfinite(xr + yr))
        return 1;
    r.first_y = pa.y;
    *x = xr;
    *y = yr;
    return 0;
}

// A latitude beyond a pole folded back over it.
double fold_latitude(double phi) {
    if (phi < -std::numbers::pi / 2)
        phi = -std::numbers::pi - phi;
    if (phi > std::numbers::pi / 2)
        phi = std::numbers::pi - phi;
    return phi;
}

// A close start for the inverse, in two one-dimensional Newton solves:
// first the latitude whose parallel's circle passes through (x, y) (the
// circle depends on the latitude alone), then the longitude whose straight
// meridian passes through it. False, with lam and phi untouched, for a
// sheet bounded by the equator or when a solve does not settle; the
// iteration then starts where it always did.
bool close_start(const ModpolRecord &r, double x, double y, double &lam, double &phi) {
    if (std::fabs(r.first_paral) < kZeroDenominator || std::fabs(r.second_paral) < kZeroDenominator)
        return false;
    const double side = std::copysign(1.0, r.first_paral);
    const double a = r.radius;
    // f(p) = yc + side (sqrt(R^2 - xc^2) - sqrt(R^2 - x^2)) - y, with
    // R = N cot p, the meridian distance m, xc = Q0 + Q1 m, yc = P0 + P1 m;
    // dm/dp = rho and dR/dp = -rho - R cot p.
    double p = r.centre_lat;
    double rad = 0;
    for (int step = 0;; ++step) {
        if (step == kStartSteps)
            return false;
        const double sp = std::sin(p), cp = std::cos(p);
        const double w2 = 1 - r.e2 * sp * sp;
        const double n = a / std::sqrt(w2);
        const double rho = n * (1 - r.e2) / w2;
        rad = n * cp / sp;
        const double m = mpx_snyder_eqn_3_21(p, r.meridian);
        const double xc = r.q0 + r.q1 * m;
        const double root_c = std::sqrt(rad * rad - xc * xc);
        const double root_x = std::sqrt(rad * rad - x * x);
        const double f = r.p0 + r.p1 * m + side * (root_c - root_x) - y;
        const double d_rad = -rho - rad * cp / sp;
        const double df =
            r.p1 * rho + side * ((rad * d_rad - xc * r.q1 * rho) / root_c - rad * d_rad / root_x);
        const double move = f / df;
        p -= move;
        if (!(std::fabs(move) > kStartTolerance))
            break;
    }
    if (!(p * side > 0 && std::fabs(p) < std::numbers::pi / 2))
        return false;
    // g(d) = (x - xa)(yb - ya) - (y - ya)(xb - xa): (x, y) on the line
    // through this meridian's points a and b on the two parallels, with
    // a = (R1 sin E1, R1 (1 - cos E1)), E1 = d sin phi1, likewise b + (0, H).
    double d = x / (rad * std::sin(p));
    for (int step = 0;; ++step) {
        if (step == kStartSteps)
            return false;
        const double e1 = d * r.sin1, e2 = d * r.sin2;
        const double s1 = std::sin(e1), c1 = std::cos(e1);
        const double s2 = std::sin(e2), c2 = std::cos(e2);
        const double xa = r.r1 * s1, ya = r.r1 * (1 - c1);
        const double xb = r.r2 * s2, yb = r.r2 * (1 - c2) + r.height;
        const double xa_d = r.r1 * r.sin1 * c1, ya_d = r.r1 * r.sin1 * s1;
        const double xb_d = r.r2 * r.sin2 * c2, yb_d = r.r2 * r.sin2 * s2;
        const double g = (x - xa) * (yb - ya) - (y - ya) * (xb - xa);
        const double dg = -xa_d * (yb - ya) + (x - xa) * (yb_d - ya_d) + ya_d * (xb - xa) -
                          (y - ya) * (xb_d - xa_d);
        const double move = g / dg;
        d -= move;
        if (!(std::fabs(move) > kStartTolerance))
            break;
    }
    if (!std::isfinite(d))
        return false;
    lam = r.centre_merid + d;
    phi = p;
    return true;
}

int modpol_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    ModpolRecord &r = record_of(params);
    double phi = r.second_paral;
    double lam = x / (r.radius * std::cos(r.second_paral)) + r.centre_merid;
    close_start(r, x, y, lam, phi);
    for (int step = 1; step < kMaxInverseSteps; ++step) {
        const double phic = fold_latitude(phi);
        const double lamc =
            lam < r.long_cut - 4 * std::numbers::pi || lam > r.long_cut + 5 * std::numbers::pi
                ? mpx_normal_pi(lam)
                : lam;
        double xf = 0.0, yf = 0.0;
        if (modpol_forward(params, lamc, phic, &xf, &yf) != 0)
            return -2;
        const double y1 = r.first_y;
        // Secant in latitude between the first parallel and this point.
        double phi_next = r.first_paral;
        if (std::fabs(yf - y1) >= kZeroDenominator)
            phi_next = r.first_paral + (y - y1) * (phic - r.first_paral) / (yf - y1);
        else if (std::fabs(phic - r.first_paral) >= kZeroDenominator &&
                 std::fabs(y - y1) >= kZeroDenominator)
            return -2;
        // Longitude scaled along the parallel.
        if (std::fabs(xf) < kZeroDenominator)
            xf = kZeroDenominator;
        const double lam_next = r.centre_merid + (lamc - r.centre_merid) * x / xf;
        if (std::fabs(xf - x) <= kMapTolerance && std::fabs(yf - y) <= kMapTolerance &&
            std::fabs(phic - phi_next) <= kAngleTolerance &&
            std::fabs(lamc - lam_next) <= kAngleTolerance) {
            *lon = lamc;
            *lat = phic;
            return 0;
        }
        phi = phi_next;
        lam = lam_next;
    }
    return -2;
}

} // namespace

extern "C" int mpx_modpol_install(void) noexcept {
    ModpolRecord sample{};
    mpx_proj_create("modpol", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("first_paral", &sample.first_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("second_paral", &sample.second_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(modpol_init, modpol_forward, modpol_backward);
    mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
