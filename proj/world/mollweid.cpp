// "mollweid": the Mollweide (homalographic) projection on the sphere of
// radius a.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 31: forward eqs. 31-1 to 31-5 (the Newton iteration
// 31-4 for the auxiliary angle), backward eqs. 31-6 to 31-8 in closed form.
//
// Domain: the whole sphere; equal-area. The outline is the ellipse
// x^2/(kx pi)^2 + y^2/ky^2 = 1. Singular lines: the poles, which are points
// (a map point within 1e-10 rad of a pole line goes back to the central
// meridian). Longitudes and latitudes outside the window are taken as they
// come (mode 1): a latitude beyond a pole maps like its mirror image.
//
// Departures from Snyder:
// - At the poles the iteration 31-4 meets a triple root (sin t + t = pi at
//   t = pi): in double precision it settles about 1.2e-5 rad short of pi,
//   which puts the pole 112 m off the central meridian at 180 degrees of
//   longitude. A latitude within 1e-10 rad of a pole takes theta = +-pi/2
//   exactly. Beyond 60 degrees of latitude the same Newton iteration runs
//   on the complement eps = pi - |2 theta|, solving
//   eps - sin eps = pi (1 - |sin phi|) with both sides free of cancellation,
//   so that the neighbours of the pole stay continuous with it (a point
//   1e-10 rad from the pole lies about 4 m from the central meridian at 180
//   degrees of longitude, as the exact projection has it).
// - Backward, the printed eq. 31-7 snaps every latitude within about
//   1.4e-5 rad (90 m) of a pole onto it, where mpx_asin meets an argument
//   within 1e-10 of 1. Beyond 60 degrees the latitude comes from the same
//   complement, 1 - |sin phi| = (eps - sin eps)/pi, instead; a map point
//   within 1e-10 of the pole line in sin theta (0.3 m from the pole on the
//   ground) still goes to the pole.
// - A map point outside the outline in y (where 31-6 has no real solution)
//   gives status 1 with the outputs untouched, as does a non-finite input
//   or result, instead of a silent NaN.
#include "numeric/thresholds.hpp"
#include "proj/world/near_pole.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct MollweidRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double long_cut;
    // Derived by init.
    double ky; // sqrt(2) a
    double kx; // sqrt(8) a / pi
};

MollweidRecord &record_of(void *params) { return *static_cast<MollweidRecord *>(params); }

// The forward routine takes any longitude and latitude as they come.
constexpr int kMollweidMode = MPX_PROJ_MODE_UNCONDITIONED;
constexpr int kStatusUnrepresentable = 1;
constexpr int kStatusNotSettled = -2;

constexpr double kPi = std::numbers::pi;
constexpr double kInvPi = 0.3183098861837907;
// Beyond this |sin phi| (60 degrees) the iteration runs on the complement.
constexpr double kComplementSine = 0.8660254037844386;

int mollweid_init(void *params) noexcept {
    MollweidRecord &r = record_of(params);
    r.long_cut = r.centre_merid - kPi;
    r.ky = std::sqrt(2.0) * r.radius;
    r.kx = std::sqrt(8.0) * r.radius * kInvPi;
    return 0;
}

struct Auxiliary {
    double sin_theta, cos_theta;
};

// Eq. 31-4 as printed: Newton on t + sin t = pi sin phi, t = 2 theta.
bool solve_direct(double lat, Auxiliary *out) {
    const double target = kPi * std::sin(lat);
    // A latitude beyond a pole starts from its mirror image inside.
    double t = std::fabs(lat) <= kPi / 2 ? lat : std::asin(std::sin(lat));
    for (int n = 1; n < kMaxIterations; ++n) {
        const double step = (std::sin(t) + t - target) / (std::cos(t) + 1);
        t -= step;
        if (std::fabs(step) <= kLatitudeTolerance) {
            *out = {std::sin(t / 2), std::cos(t / 2)};
            return true;
        }
    }
    return false;
}

// The same iteration near a pole, on eps = pi - |t|:
// eps - sin eps = pi (1 - |sin phi|) = pi cos^2 phi / (1 + |sin phi|).
bool solve_complement(double lat, Auxiliary *out) {
    const double s = std::fabs(std::sin(lat));
    const double c = std::cos(lat);
    const double target = kPi * c * c / (1 + s);
    double eps = kPi - std::asin(s); // the direct iteration's start, mirrored
    for (int n = 1; n < kMaxIterations; ++n) {
        const double half_sin = std::sin(eps / 2);
        const double step = (eps_minus_sin(eps) - target) / (2 * half_sin * half_sin);
        eps -= step;
        if (std::fabs(step) <= kLatitudeTolerance) {
            // theta = +-(pi - eps)/2: cos theta = sin(eps/2).
            *out = {std::copysign(std::cos(eps / 2), std::sin(lat)), std::sin(eps / 2)};
            return true;
        }
    }
    return false;
}

int mollweid_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const MollweidRecord &r = record_of(params);
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusUnrepresentable;
    Auxiliary a{};
    if (is_pole(lat))
        a = {std::copysign(1.0, lat), 0.0};
    else if (!(std::fabs(std::sin(lat)) > kComplementSine ? solve_complement(lat, &a)
                                                          : solve_direct(lat, &a)))
        return kStatusNotSettled;
    const double xp = a.cos_theta * r.kx * (lon - r.centre_merid) + r.false_east;
    const double yp = a.sin_theta * r.ky + r.false_north;
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusUnrepresentable;
    *x = xp;
    *y = yp;
    return 0;
}

int mollweid_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const MollweidRecord &r = record_of(params);
    const double v = (y - r.false_north) / r.ky; // sin theta
    double phi = 0;
    double cos_theta = 0;
    if (std::fabs(v) <= kComplementSine) { // eqs. 31-6 and 31-7 as printed
        const double theta = std::asin(v);
        phi = mpx_asin((2 * theta + std::sin(2 * theta)) * kInvPi);
        cos_theta = std::cos(theta);
    } else {
        // Near a pole, on the complement: eps = pi - 2|theta| and
        // 1 - |sin phi| = 2 sin^2(delta/2) = (eps - sin eps)/pi, delta the
        // colatitude. mpx_asin's snap of sin theta within 1e-10 of 1 stays.
        const double theta = mpx_asin(v);
        const double eps = kPi - 2 * std::fabs(theta);
        const double delta = 2 * std::asin(std::sqrt(eps_minus_sin(eps) * kInvPi / 2));
        phi = std::copysign(kPi / 2 - delta, v);
        cos_theta = std::sin(eps / 2);
    }
    const double lam =
        is_pole(phi) ? r.centre_merid : (x - r.false_east) / (cos_theta * r.kx) + r.centre_merid;
    if (!std::isfinite(lam) || !std::isfinite(phi))
        return kStatusUnrepresentable;
    *lon = lam;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_mollweid_install(void) noexcept {
    MollweidRecord sample{};
    mpx_proj_create("mollweid", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(mollweid_init, mollweid_forward, mollweid_backward);
    mpx_proj_ins_mode(kMollweidMode);
    return mpx_proj_end();
}
