// "eckertiv" and "eckertvi": the Eckert IV and Eckert VI projections on the
// sphere of radius a. The two share their record and their backward
// routine; each has its own Newton iteration forward.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 32: Eckert IV forward eqs. 32-1 to 32-4, backward
// 32-9 to 32-11; Eckert VI forward eqs. 32-5 to 32-8, backward 32-12 to
// 32-14.
//
// Domain: the whole sphere; equal-area. The poles are lines half as long as
// the equator. Eckert IV takes unconditioned input (mode 1): a latitude
// beyond a pole maps like its mirror image; Eckert VI expects conditioned
// input (mode 0).
//
// Outside the outline the backward routines keep the closed forms' values:
// a map point beyond the pole lines gives NaN (the arcsine of a number
// beyond 1), written to the outputs; a point beyond the outline only in x
// gives a longitude beyond +-pi, status 0.
//
// Departures from Snyder:
// - At the poles the Eckert IV iteration 32-4 meets a double root and
//   settles about 1.5e-8 rad short of theta = pi/2, which makes the pole
//   line 0.13 m too long at 180 degrees on the Earth. Within 1e-10 rad of a
//   pole theta is pi/2 exactly; beyond 60 degrees the same Newton iteration
//   runs on eta = pi/2 - |theta|, where the equation reads
//   4 sin^2(eta/2) + (2 eta - sin 2 eta)/2 = (2 + pi/2)(1 - |sin phi|)
//   without cancellation, so that the pole's neighbours stay continuous
//   with it.
// - A non-finite input gives status 1 with the outputs untouched, instead
//   of 100 Newton steps on NaN.
// - Backward, an arcsine argument beyond +-1 by at most 1e-15 (rounding on
//   the pole line itself) is taken as +-1, so that the pole lines invert.
// - Backward, the NaN results outside the outline come with status 1, not
//   0: the library never passes a non-number on as a success (the
//   outputs, the closed forms' NaN, are written all the same).
#include "numeric/thresholds.hpp"
#include "proj/world/near_pole.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct EckertRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double long_cut;
    // Derived by init.
    double kx, ky; // x and y factors of the forward formulas
    double c1;     // constant of the auxiliary-angle equation, forward
    double iy;     // y to the auxiliary angle (its sine for Eckert IV)
    double c2;     // constant of the auxiliary-angle equation, backward
    double ix;     // x to longitude
};

EckertRecord &record_of(void *params) { return *static_cast<EckertRecord *>(params); }

// Values as set for these projections in the registry table.
constexpr int kEckertIvMode = MPX_PROJ_MODE_UNCONDITIONED;
constexpr int kEckertViMode = 0;
constexpr int kStatusUnrepresentable = 1;
constexpr int kStatusNotSettled = -2;

constexpr double kPi = std::numbers::pi;
// 2 + pi/2 and 1 + pi/2: theta's value at the pole in each equation.
constexpr double kEckertIvPole = 3.5707963267948966;
constexpr double kEckertViPole = 2.5707963267948966;
// Beyond this |sin phi| (60 degrees) Eckert IV iterates on the complement.
constexpr double kComplementSine = 0.8660254037844386;
// sqrt(4 + pi) and sqrt(2 + pi), taken of the rounded sums.
const double kRoot4Pi = std::sqrt(7.141592653589793);
const double kRoot2Pi = std::sqrt(5.141592653589793);

int eckertiv_init(void *params) noexcept {
    EckertRecord &r = record_of(params);
    const double a = r.radius;
    r.long_cut = r.centre_merid - kPi;
    r.kx = 2 / (std::sqrt(kPi) * kRoot4Pi) * a;
    r.ky = std::sqrt(kPi) / kRoot4Pi * 2 * a;
    r.c1 = kEckertIvPole;
    r.iy = kRoot4Pi / (std::sqrt(kPi) * a * 2);
    r.c2 = kEckertIvPole;
    r.ix = std::sqrt(kPi) * kRoot4Pi / (a * 2);
    return 0;
}

int eckertvi_init(void *params) noexcept {
    EckertRecord &r = record_of(params);
    const double a = r.radius;
    r.long_cut = r.centre_merid - kPi;
    r.kx = a / kRoot2Pi;
    r.ky = 2 * a / kRoot2Pi;
    r.c1 = kEckertViPole;
    r.iy = kRoot2Pi / (2 * a);
    r.c2 = kEckertViPole;
    r.ix = kRoot2Pi / a;
    return 0;
}

// The arcsine of the closed forms: NaN outside [-1, 1] as in Snyder, but an
// argument beyond +-1 by rounding alone (the pole line's own image) is
// taken as +-1.
double outline_asin(double v) {
    constexpr double kRounding = 1e-15;
    return std::fabs(v) > 1 && std::fabs(v) <= 1 + kRounding ? std::copysign(kPi / 2, v)
                                                             : std::asin(v);
}

int store(double xp, double yp, double *x, double *y) {
    if (!std::isfinite(xp) || !std::isfinite(yp))
        return kStatusUnrepresentable;
    *x = xp;
    *y = yp;
    return 0;
}

struct Auxiliary {
    double sin_theta, cos_theta;
};

// Eq. 32-4 as printed: Newton on theta + sin theta cos theta + 2 sin theta
// = (2 + pi/2) sin phi, from theta = phi/2. The last correction, once
// small enough, is not applied.
bool eckertiv_direct(double target, double lat, Auxiliary *out) {
    double theta = lat / 2;
    double step = 0;
    for (int n = 1; n < kMaxIterations; ++n) {
        theta -= step;
        const double s = std::sin(theta);
        const double c = std::cos(theta);
        step = ((c + 2) * s + theta - target) / (2 * (c + 1) * c);
        if (std::fabs(step) <= kLatitudeTolerance) {
            *out = {s, c};
            return true;
        }
    }
    return false;
}

// The same iteration near a pole, on eta = pi/2 - |theta|:
// 4 sin^2(eta/2) + (2 eta - sin 2 eta)/2 = (2 + pi/2)(1 - |sin phi|),
// whose terms carry no cancellation.
bool eckertiv_complement(double lat, Auxiliary *out) {
    const double s = std::fabs(std::sin(lat));
    const double c = std::cos(lat);
    const double target = kEckertIvPole * c * c / (1 + s);
    double eta = kPi / 2 - std::asin(s) / 2; // the direct start, mirrored
    double step = 0;
    for (int n = 1; n < kMaxIterations; ++n) {
        eta -= step;
        const double half = std::sin(eta / 2);
        const double sin_eta = std::sin(eta);
        step =
            (4 * half * half + eps_minus_sin(2 * eta) / 2 - target) / (2 * sin_eta * (1 + sin_eta));
        if (std::fabs(step) <= kLatitudeTolerance) {
            *out = {std::copysign(std::cos(eta), std::sin(lat)), sin_eta};
            return true;
        }
    }
    return false;
}

int eckertiv_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const EckertRecord &r = record_of(params);
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusUnrepresentable;
    Auxiliary a{};
    if (is_pole(lat))
        a = {std::copysign(1.0, lat), 0.0};
    else if (std::fabs(std::sin(lat)) > kComplementSine
                 ? !eckertiv_complement(lat, &a)
                 // A latitude beyond a pole starts from its mirror image inside.
                 : !eckertiv_direct(r.c1 * std::sin(lat),
                                    std::fabs(lat) <= kPi / 2 ? lat : std::asin(std::sin(lat)), &a))
        return kStatusNotSettled;
    return store((lon - r.centre_merid) * (a.cos_theta + 1) * r.kx + r.false_east,
                 a.sin_theta * r.ky + r.false_north, x, y);
}

// Eq. 32-8: Newton on theta + sin theta = (1 + pi/2) sin phi, from
// theta = phi.
int eckertvi_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const EckertRecord &r = record_of(params);
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusUnrepresentable;
    const double target = r.c1 * std::sin(lat);
    // A latitude beyond a pole starts from its mirror image inside.
    double theta = std::fabs(lat) <= kPi / 2 ? lat : std::asin(std::sin(lat));
    double step = 0;
    for (int n = 1; n < kMaxIterations; ++n) {
        theta -= step;
        const double c = std::cos(theta);
        step = (std::sin(theta) + theta - target) / (c + 1);
        if (std::fabs(step) <= kLatitudeTolerance)
            return store((lon - r.centre_merid) * (c + 1) * r.kx + r.false_east,
                         theta * r.ky + r.false_north, x, y);
    }
    return kStatusNotSettled;
}

// The backward results as the closed forms give them: NaN outside the
// outline, written out, but then with status 1.
int answer(double lam, double phi, double *lon, double *lat) {
    *lon = lam;
    *lat = phi;
    return std::isfinite(lam) && std::isfinite(phi) ? 0 : kStatusUnrepresentable;
}

// Eqs. 32-9 to 32-11 with the standard arcsine: NaN outside the outline.
int eckertiv_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const EckertRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusUnrepresentable;
    const double theta = outline_asin((y - r.false_north) * r.iy);
    const double c = std::cos(theta);
    return answer((x - r.false_east) * r.ix / (c + 1) + r.centre_merid,
                  outline_asin(((c + 2) * std::sin(theta) + theta) / r.c2), lon, lat);
}

// Eqs. 32-12 to 32-14 with the standard arcsine: NaN outside the outline.
int eckertvi_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const EckertRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusUnrepresentable;
    const double theta = (y - r.false_north) * r.iy;
    return answer((x - r.false_east) * r.ix / (std::cos(theta) + 1) + r.centre_merid,
                  outline_asin((std::sin(theta) + theta) / r.c2), lon, lat);
}

int install(const char *keyword, mpx_proj_init_fn init, mpx_proj_forward_fn forward,
            mpx_proj_backward_fn backward, int mode) {
    EckertRecord sample{};
    mpx_proj_create(keyword, &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(init, forward, backward);
    mpx_proj_ins_mode(mode);
    return mpx_proj_end();
}

} // namespace

extern "C" int mpx_eckertiv_install(void) noexcept {
    return install("eckertiv", eckertiv_init, eckertiv_forward, eckertiv_backward, kEckertIvMode);
}

extern "C" int mpx_eckertvi_install(void) noexcept {
    return install("eckertvi", eckertvi_init, eckertvi_forward, eckertvi_backward, kEckertViMode);
}
