// "winktrip": the Winkel Tripel projection, the mean of the Aitoff
// projection and the equirectangular projection with standard parallel
// "centre_lat", scaled by "scale_factor" and by the ellipsoid's radius of
// curvature in the prime vertical.
//
// Source: O. Winkel (1921); formulas as in Snyder and Voxland, An Album of
// Map Projections (USGS Professional Paper 1453, 1989), p. 231 (Aitoff:
// x = 2 D cos phi sin(dlon/2) / sin D, y = D sin phi / sin D with
// cos D = cos phi cos(dlon/2)), averaged with x = dlon cos phi1, y = phi.
// Here both halves are measured from the latitude "centre_lat" (dphi =
// phi - phi0), which also gives the standard parallel (cos phi0), and
// scaled by N = a / sqrt(1 - e^2 sin^2 dphi). The inverse is a
// finite-difference Newton iteration on the forward routine from an
// empirical estimate, to 0.0001 units of the map.
//
// Domain: the whole sphere; forward takes unconditioned input (mode 3). On
// a sphere with phi0 = 0 and scale 1 it is Winkel's projection with the
// standard parallel at the equator.
//
// Departures from the classic formulas:
// - The Aitoff angle D is computed as 2 atan2(sqrt(h), sqrt(1 - h)) with
//   h = sin^2(dphi/2) + cos dphi sin^2(dlon/4), the haversine form of
//   cos D = cos dphi cos(dlon/2), and the Aitoff half as
//   x = 2 |cos dphi sin(dlon/2)| (D / sin D), y = sin dphi (D / sin D),
//   instead of arccosines of cos D and of cos beta = sin dphi / sin D. The
//   arccosine snaps arguments within 1e-10 of 1, which loses D within about
//   3e-5 rad of the centre (x there came out at half its value, up to 90 m
//   low) and loses beta within 5e-5 rad of the central meridian (x 38 %
//   low at 60 degrees of latitude). The forms used here are continuous and
//   agree with the unsnapped formulas to rounding elsewhere.
// - Near D = pi (only reachable with |dlon| near 2 pi, or |dphi| near pi),
//   where sin D < 1e-7, the Aitoff half is dropped as the classic code
//   does (x = half the equirectangular x, y = dphi).
// - The inverse starts from the equirectangular half read backwards
//   (phi = y/(k0 a) + phi0, dlon = x/(k0 a (cos phi0 + cos dphi)/2)),
//   clamped to 88 and 179 degrees, instead of the classic empirical
//   estimate, whose slope term is multiplied by a and so starts nearly
//   every point at +-179 degrees: from there the iteration failed to settle
//   (status -2) for points of the world such as (-133, -64) on a sphere.
//   The iteration itself, its fences and stall rules are kept.
// - Before the finite-difference iteration, Newton steps with the
//   analytic Jacobian of the same formulas (two to four from that
//   estimate, each kept on the map and kept only when it brings the image
//   closer) take the start to a hundredth of the 0.0001 tolerance. The
//   iteration then accepts that start with the image already at hand,
//   instead of taking about three finite-difference steps of three forward
//   evaluations each; where the steps stop short (outside the map, or
//   where it folds more than 90 degrees from a centre off the equator) the
//   iteration starts from the estimate as before. On the world map the
//   results reproduce the map point within 1e-6 instead of 1e-4 and differ
//   from the earlier ones by less than the tolerance.
// - A non-finite input or result gives status 1 with the outputs untouched.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct WinktripRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double cos_lat0; // the equirectangular half's standard parallel
    double e2;
};

WinktripRecord &record_of(void *params) { return *static_cast<WinktripRecord *>(params); }

// Value 3 as set for this projection in the registry table: the
// unconditioned flag plus the unused flag 2.
constexpr int kWinktripMode = 3;
constexpr int kStatusUnrepresentable = 1;
constexpr int kStatusNotSettled = -2;

constexpr double kPi = std::numbers::pi;

// The inverse: its starting point, kept within 88 and 179 degrees ...
constexpr double kStartLatLimit = 1.53588974175501; // 88 degrees
constexpr double kStartLonLimit = 3.12413936106985; // 179 degrees
// ... its tolerance in map units, its singular Jacobian, ...
constexpr double kMapTolerance = 0.0001;
constexpr double kMinDeterminant = 1e-7;
// ... and the fences that send a wandering iterate back: past 100 degrees
// of latitude it restarts at 88 degrees, past 2 pi of longitude at pi.
constexpr double kLatFence = 1.7453292519943295;
constexpr double kLatRestart = 1.53588974175501;
constexpr double kLonFence = 2 * kPi;
// Latitude accepted at the end: pi/2 plus 1e-12.
constexpr double kLatLimit = 1.5707963267958966;
// Stall states: a point that stops moving ends the search the second time
// (or after a longitude restart).
constexpr int kStallFresh = 1;
constexpr int kStallOnce = 10;
// The analytic Newton steps that bring the estimate close: from the
// equirectangular estimate two to four reach a micrometre anywhere on the
// world map; more than this many means they are not converging.
constexpr int kAnalyticSteps = 8;
// They go on to a hundredth of the tolerance: quadratic convergence makes
// that a last step for a few points only, and the result then lies within
// a hundredth of the tolerance of the exact inverse.
constexpr double kCloseEnough = kMapTolerance / 100;
// Below this Aitoff angle D (radians) the Jacobian takes the series of
// (sin D - D cos D) / sin^3 D, whose direct form cancels: after two
// terms the next is 2 D^4 / 63, 3e-14 here.
constexpr double kSmallAitoffAngle = 1e-3;

int winktrip_init(void *params) noexcept {
    WinktripRecord &r = record_of(params);
    r.long_cut = r.centre_merid - kPi;
    r.cos_lat0 = std::cos(r.centre_lat);
    r.e2 = r.eccentricity * r.eccentricity;
    return 0;
}

// The image of (lon, lat) and, when asked, its partial derivatives (map
// units per radian): the forward formulas, shared by the forward routine
// and the start of the inverse so that both see the same image to the bit.
struct Image {
    double x, y;
    double x_lam, x_phi, y_lam, y_phi;
};

Image winkel_image(const WinktripRecord &r, double lon, double lat, bool with_jacobian) {
    const double dlon = lon - r.centre_merid;
    const double dlat = lat - r.centre_lat;
    const double sin_dlat = std::sin(dlat);
    const double cos_dlat = std::cos(dlat);
    const double s2 = std::sin(dlat / 2);
    const double s4 = std::sin(dlon / 4);
    const double h = std::clamp(s2 * s2 + cos_dlat * s4 * s4, 0.0, 1.0);
    const double d = 2 * std::atan2(std::sqrt(h), std::sqrt(1 - h));
    const double sin_d = std::sin(d);
    const double sin_half = std::sin(dlon / 2);
    const bool aitoff = sin_d >= kZeroDenominator || d < kPi / 2;
    double ratio = 1.0; // D / sin D
    double aitoff_x = 0;
    double aitoff_y = dlat;
    if (aitoff) {
        ratio = d > 0 ? d / sin_d : 1.0;
        aitoff_x = std::copysign(2 * std::fabs(cos_dlat * sin_half) * ratio, dlon);
        aitoff_y = sin_dlat * ratio;
    }
    const double w = 1 - r.e2 * sin_dlat * sin_dlat;
    const double n = r.radius / std::sqrt(w);
    const double kn = n * r.scale_factor;
    Image img{};
    img.x = kn * (dlon * r.cos_lat0 + aitoff_x) * 0.5 + r.false_east;
    img.y = (aitoff_y + dlat) * 0.5 * kn + r.false_north;
    if (!with_jacobian)
        return img;
    // With C = cos D = cos dphi cos(dlon/2), f = D / sin D and
    // g = df/dC / (-1) = (sin D - D cos D) / sin^3 D (1/3 + 2 D^2/15 near
    // D = 0, where the quotient cancels): df/dphi = g sin dphi cos(dlon/2),
    // df/dlon = g cos dphi sin(dlon/2) / 2.
    double ax_lam = 0, ax_phi = 0, ay_lam = 0, ay_phi = 1;
    if (aitoff) {
        const double cos_half = 1 - 2 * s4 * s4;
        const double g = d < kSmallAitoffAngle
                             ? 1.0 / 3 + 2 * d * d / 15
                             : (sin_d - d * (1 - 2 * h)) / (sin_d * sin_d * sin_d);
        // The Aitoff x takes the sign of dlon, not of cos dphi.
        const double sign = cos_dlat < 0 ? -1.0 : 1.0;
        ax_lam = sign * cos_dlat * (cos_half * ratio + g * cos_dlat * sin_half * sin_half);
        ax_phi = sign * 2 * sin_half * sin_dlat * (g * cos_dlat * cos_half - ratio);
        ay_lam = g * sin_dlat * cos_dlat * sin_half / 2;
        ay_phi = cos_dlat * ratio + g * sin_dlat * sin_dlat * cos_half;
    }
    // dN/dphi = N e^2 sin dphi cos dphi / (1 - e^2 sin^2 dphi).
    const double kn_phi = kn * r.e2 * sin_dlat * cos_dlat / w;
    img.x_lam = kn * (r.cos_lat0 + ax_lam) * 0.5;
    img.x_phi = (kn_phi * (dlon * r.cos_lat0 + aitoff_x) + kn * ax_phi) * 0.5;
    img.y_lam = kn * ay_lam * 0.5;
    img.y_phi = (kn_phi * (aitoff_y + dlat) + kn * (ay_phi + 1)) * 0.5;
    return img;
}

int winktrip_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const Image img = winkel_image(record_of(params), lon, lat, false);
    if (!std::isfinite(img.x) || !std::isfinite(img.y))
        return kStatusUnrepresentable;
    *x = img.x;
    *y = img.y;
    return 0;
}

// The image as the iteration sees it: where the forward routine refuses a
// point (a non-finite image), the outputs it leaves alone, zeros.
Image image_at(const WinktripRecord &r, double lon, double lat, bool with_jacobian = false) {
    const Image img = winkel_image(r, lon, lat, with_jacobian);
    if (!std::isfinite(img.x) || !std::isfinite(img.y))
        return Image{};
    return img;
}

double miss(const Image &img, double x, double y) {
    return std::fabs(x - img.x) + std::fabs(y - img.y);
}

// Newton steps with the analytic Jacobian from the estimate (lam, phi),
// kept on the map, while each brings the image closer. True with the point and its
// image once the image is within kCloseEnough of (x, y); false, with the
// arguments untouched, when the steps stop short of the tolerance.
bool approach(const WinktripRecord &r, double x, double y, double &lam, double &phi, Image &at) {
    double lam_k = lam, phi_k = phi;
    Image here = image_at(r, lam_k, phi_k, true);
    for (int step = 0; step < kAnalyticSteps && miss(here, x, y) > kCloseEnough; ++step) {
        const double det = here.x_lam * here.y_phi - here.x_phi * here.y_lam;
        if (!(std::fabs(det) >= kMinDeterminant))
            break;
        const double ex = x - here.x;
        const double ey = y - here.y;
        // The map's edges are reached from either side: a step beyond a
        // pole or the 180th meridian stops on it.
        const double lam_n = std::clamp(lam_k + (here.y_phi * ex - here.x_phi * ey) / det,
                                        r.centre_merid - kPi, r.centre_merid + kPi);
        const double phi_n =
            std::clamp(phi_k + (here.x_lam * ey - here.y_lam * ex) / det, -kPi / 2, kPi / 2);
        const Image next = image_at(r, lam_n, phi_n, true);
        if (!(miss(next, x, y) < miss(here, x, y)))
            break;
        lam_k = lam_n;
        phi_k = phi_n;
        here = next;
    }
    if (!(miss(here, x, y) <= kMapTolerance))
        return false;
    lam = lam_k;
    phi = phi_k;
    at = here;
    return true;
}

// Half the correction as the next difference step, at least 1e-5 degree.
double next_step(double correction) {
    const double h = correction / 2;
    return std::fabs(h) <= kNewtonMinStep ? kNewtonMinStep : h;
}

int winktrip_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const WinktripRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusUnrepresentable;
    // Starting point: the equirectangular half read backwards, with the
    // parallel's length averaged between both halves.
    const double kn = r.radius * r.scale_factor;
    double phi =
        std::clamp((y - r.false_north) / kn + r.centre_lat, -kStartLatLimit, kStartLatLimit);
    double lam =
        std::clamp((x - r.false_east) / (kn * (r.cos_lat0 + std::cos(phi - r.centre_lat)) / 2) +
                       r.centre_merid,
                   r.centre_merid - kStartLonLimit, r.centre_merid + kStartLonLimit);
    Image at{};
    if (!approach(r, x, y, lam, phi, at))
        at = image_at(r, lam, phi);
    double h_phi = kNewtonStartStep;
    double h_lam = kNewtonStartStep;
    int k = 1;
    int stall = kStallFresh;
    for (;;) {
        const double ex = x - at.x;
        const double ey = y - at.y;
        if (std::fabs(ex) + std::fabs(ey) <= kMapTolerance)
            break;
        const Image north = image_at(r, lam, phi + h_phi);
        const Image east = image_at(r, lam + h_lam, phi);
        const double x_lam = (east.x - at.x) / h_lam;
        const double y_lam = (east.y - at.y) / h_lam;
        const double x_phi = (north.x - at.x) / h_phi;
        const double y_phi = (north.y - at.y) / h_phi;
        const double det = y_phi * x_lam - x_phi * y_lam;
        // A nearly singular Jacobian ends the search at the current point.
        if (!(std::fabs(det) >= kMinDeterminant))
            break;
        const double d_lam = (y_phi * ex - x_phi * ey) / det;
        const double d_phi = (x_lam * ey - y_lam * ex) / det;
        double lam_n = lam + d_lam;
        double phi_n = phi + d_phi;
        h_lam = next_step(d_lam);
        h_phi = next_step(d_phi);
        if (k > 2) {
            if (phi_n > kLatFence) {
                phi_n = kLatRestart, h_phi = -kNewtonStartStep, stall = kStallFresh;
            } else if (phi_n < -kLatFence) {
                phi_n = -kLatRestart, h_phi = kNewtonStartStep, stall = kStallFresh;
            }
            if (lam_n > kLonFence) {
                lam_n = kPi, h_lam = -kNewtonStartStep, ++stall;
            } else if (lam_n < -kLonFence) {
                lam_n = -kPi, h_lam = kNewtonStartStep, ++stall;
            }
            if (std::fabs(lam_n - lam) < kLatitudeTolerance &&
                std::fabs(phi_n - phi) < kLatitudeTolerance) {
                if (stall == 2 || stall >= kStallOnce)
                    return kStatusNotSettled;
                stall = kStallOnce;
            } else {
                stall = 0;
            }
        }
        ++k;
        lam = lam_n;
        phi = phi_n;
        if (k >= kMaxIterations)
            return kStatusNotSettled;
        at = image_at(r, lam, phi);
    }
    if (k >= kMaxIterations || !(std::fabs(phi) <= kLatLimit) || !std::isfinite(lam))
        return kStatusNotSettled;
    *lon = lam;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_winktrip_install(void) noexcept {
    WinktripRecord sample{};
    mpx_proj_create("winktrip", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(winktrip_init, winktrip_forward, winktrip_backward);
    mpx_proj_ins_mode(kWinktripMode);
    return mpx_proj_end();
}
