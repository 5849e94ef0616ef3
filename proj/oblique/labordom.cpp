// "labordom": Laborde's oblique Mercator projection (Madagascar).
//
// Source: J. Laborde, "La nouvelle projection du Service Geographique de
// Madagascar", Cahiers du Service Geographique de Madagascar 1 (1928); EPSG
// Guidance Note 7-2, Laborde Oblique Mercator (method 9813). The ellipsoid
// is mapped conformally onto the Gauss sphere of the origin (radius
// sqrt(rho0 N0)), a transverse-type Mercator is taken on that sphere about
// the central meridian, and the cubic complex term (-Ca + i Cb) z^3 turns
// it towards the azimuth of the central line. "tissot_ind" weighs that
// term: 1 gives the published grid, 0 the azimuth-free part
// Ca = 1/(12 kRg^2), Cb = 0.
//
// Domain: a few hundred kilometres around the origin, where the cubic term
// is a correction. Refused by init (-2): an origin on the equator or at a
// pole, azimuths of 0, 45, 135 and 180 degrees, k0 = 0, e = 1. Forward
// fails (-2) half a turn of sphere longitude from the central meridian
// (where tan(L/2) is infinite) and where the transverse latitude U reaches
// +-90 degrees (90 degrees of sphere longitude on the sphere's equator).
//
// Backward: no closed form; a bounded finite-difference Newton search on
// the forward mapping (numeric/bounded_newton.hpp), accepted at 0.1 mm.
//
// Departures:
// - a non-finite input or image is refused with -2 (nothing written)
//   rather than handed on as a coordinate with status 0;
// - the search starts from the forward steps undone one by one instead of
//   the plane estimate (grid offsets as arcs of a, which stays the start
//   where this one is not finite): the cubic term by the complex Newton
//   iteration z = (W + 2 G z^3)/(1 + 3 G z^2) of EPSG Guidance Note 7-2,
//   the sphere's transverse form from Snyder's eq. 8-6 (its exact
//   transverse Mercator) corrected by a fixed-point iteration on the
//   tan U tan(L/2) term, the Gauss sphere in closed form and the conformal
//   latitude by Snyder's series 3-5 and one Newton step. The start
//   reproduces the grid point within a micrometre (0.1 mm before), so the
//   search accepts it with one forward evaluation instead of two or three
//   Newton passes of three; the results differ from the plane start's by
//   less than the 0.1 mm acceptance.
#include "numeric/bounded_newton.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace {

struct LabordomRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double scale_factor;
    double origin_lat;
    double origin_long;
    double true_bearing;
    double tissot_ind;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double ca, cb;   // the cubic term's weights, real and imaginary
    double a_ratio;  // A: sphere longitudes per ellipsoid longitude
    double n0, rho0; // radii of curvature at the origin
    double k_rg;     // k0 sqrt(rho0 N0), the scaled Gauss-sphere radius
    double k0_tan;   // K0: conformal tangent of the origin latitude
    double p0s;      // the origin's latitude on the sphere
    double s0;       // sqrt((1 + sin p0s)/(1 - sin p0s))
    double quarter_pi;
    // For the start of the backward search: ln K0 - ln(S0)/A, the shift
    // from the sphere's isometric latitude over A to the ellipsoid's, and
    // the series 3-5 from the conformal latitude to the latitude.
    double psi_shift;
    double conformal[6];
};

LabordomRecord &record_of(void *params) { return *static_cast<LabordomRecord *>(params); }

// Mode flags 1 and 2: the forward routine takes unwrapped longitudes.
constexpr int kLabordomMode = 3;
constexpr int kStatusRefused = -2;
constexpr double kQuarterPi = std::numbers::pi / 4;
// Refused azimuths, as the grid was defined: 0 and 180 degrees, and 45 and
// 135 degrees (the first within 1e-10 through 2 Az = 90 degrees, the others
// within 1e-7).
constexpr double kAzimuth135 = 2.356194490192345;

int labordom_init(void *params) noexcept {
    LabordomRecord &r = record_of(params);
    const double phi0 = r.origin_lat;
    const double az = r.true_bearing;
    const double e = r.eccentricity;
    // An origin on the equator or at a pole has no Gauss sphere of use.
    if (std::fabs(phi0) <= kPoleTolerance || is_pole(phi0) || std::fabs(az) <= kPoleTolerance ||
        std::fabs(std::fabs(az) - std::numbers::pi) < kZeroDenominator || is_pole(2 * az) ||
        std::fabs(std::fabs(az) - kAzimuth135) < kZeroDenominator ||
        std::fabs(r.scale_factor) < kZeroDenominator ||
        std::fabs(std::fabs(e) - 1) < kZeroDenominator)
        return kStatusRefused;
    r.long_cut = r.origin_long - std::numbers::pi;
    r.quarter_pi = kQuarterPi;
    const double e2 = e * e;
    const double s = std::sin(phi0);
    const double t = 1 - e2 * s * s;
    r.n0 = r.radius / std::sqrt(t);
    r.rho0 = (1 - e2) * r.n0 / t;
    r.k_rg = std::sqrt(r.rho0 * r.n0) * r.scale_factor;
    const double l = 1 / (r.k_rg * r.k_rg * 12);
    r.ca = (1 - std::cos(2 * az) * r.tissot_ind) * l;
    r.cb = std::sin(2 * az) * r.tissot_ind * l;
    r.p0s = std::atan(std::tan(phi0) * std::sqrt(r.rho0 / r.n0));
    if (std::fabs(r.p0s) <= kPoleTolerance)
        return kStatusRefused;
    const double sp = std::sin(r.p0s);
    r.a_ratio = s / sp;
    r.s0 = std::sqrt((1 + sp) / (1 - sp));
    r.k0_tan = std::tan(phi0 / 2 + kQuarterPi) * std::pow((1 - e * s) / (1 + e * s), e / 2);
    if (std::fabs(r.k0_tan) < kZeroDenominator)
        return kStatusRefused;
    r.psi_shift = std::log(r.k0_tan) - std::log(r.s0) / r.a_ratio;
    mpx_snyder_init_3_5(e, r.conformal);
    return 0;
}

int labordom_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const LabordomRecord &r = record_of(params);
    const double e = r.eccentricity;
    const double es = e * std::sin(lat);
    if (std::fabs(1 + es) < kZeroDenominator)
        return kStatusRefused;
    // Ratio of the conformal tangents of the point and of the origin.
    const double w =
        std::tan(lat / 2 + kQuarterPi) * std::pow((1 - es) / (1 + es), e / 2) / r.k0_tan;
    if (w < 0)
        return kStatusRefused;
    const double ps = 2 * (std::atan(std::pow(w, r.a_ratio) * r.s0) - kQuarterPi);
    const double l = (lon - r.origin_long) * r.a_ratio;
    if (is_pole(l / 2))
        return kStatusRefused;
    const double su = std::cos(ps) * std::sin(l);
    const double u = mpx_asin(su);
    if (is_pole(u))
        return kStatusRefused;
    // The transverse Mercator of the sphere about the central meridian.
    const double y0 = (ps - r.p0s) * r.k_rg + std::sin(ps) * std::tan(u) * std::tan(l / 2) * r.k_rg;
    const double x0 = std::log((1 + su) / (1 - su)) * (r.k_rg * 0.5);
    // z^3 with z = x0 + i y0, turned and weighted by (-Ca + i Cb).
    const double re3 = x0 * x0 * x0 - 3 * x0 * y0 * y0;
    const double im3 = 3 * x0 * x0 * y0 - y0 * y0 * y0;
    const double east = x0 - r.ca * re3 - r.cb * im3 + r.false_east;
    const double north = y0 + r.cb * re3 - r.ca * im3 + r.false_north;
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusRefused;
    *x = east;
    *y = north;
    return 0;
}

// The start of the search: the forward steps undone in reverse order.
// False when a step does not settle or leaves the principal branch (far
// outside the grid); the plane estimate is the start there.
bool undo_forward(const LabordomRecord &r, double x, double y, double &lam, double &phi) {
    // z + G z^3 = w with G = -Ca + i Cb, by Newton's method from z = w:
    // z = (w + 2 G z^3)/(1 + 3 G z^2). |G z^2| is about 1e-3 over the
    // grid, so three steps reach the rounding.
    const std::complex<double> w(x - r.false_east, y - r.false_north);
    const std::complex<double> g(-r.ca, r.cb);
    const double z_tolerance = kLatitudeTolerance * r.k_rg;
    std::complex<double> z = w;
    for (int step = 0;; ++step) {
        if (step == kMaxIterations)
            return false;
        const std::complex<double> gz2 = g * z * z;
        const std::complex<double> next = (w + 2.0 * gz2 * z) / (1.0 + 3.0 * gz2);
        const double moved = std::fabs(next.real() - z.real()) + std::fabs(next.imag() - z.imag());
        z = next;
        if (!(moved > z_tolerance))
            break;
    }
    const double zx = z.real(), zy = z.imag();
    // The sphere: X0 = kRg atanh(sin U), so sin U = tanh xi and
    // tan U = sinh xi; the latitude solves
    // ps + sin ps tan U tan(L/2) = Y0/kRg + p0s with sin L = sin U / cos ps.
    const double xi = zx / r.k_rg;
    const double exp_xi = std::exp(xi);
    const double cosh_xi = (exp_xi + 1 / exp_xi) / 2;
    const double tan_u = (exp_xi - 1 / exp_xi) / 2;
    const double sin_u = tan_u / cosh_xi;
    const double q = zy / r.k_rg + r.p0s;
    // Snyder eq. 8-6 inverts the exact transverse Mercator, which agrees
    // with this form to the fourth order in L (1e-13 at 500 km from the
    // origin); the correction term's slope is about L^2/2, so the
    // fixed-point steps settle in two or three.
    double ps = std::asin(std::sin(q) / cosh_xi);
    double sin_l = 0;
    for (int step = 0;; ++step) {
        if (step == kMaxIterations)
            return false;
        sin_l = sin_u / std::cos(ps);
        if (!(std::fabs(sin_l) < 1))
            return false;
        const double tan_half_l = sin_l / (1 + std::sqrt(1 - sin_l * sin_l));
        const double next = q - std::sin(ps) * tan_u * tan_half_l;
        const double moved = std::fabs(next - ps);
        ps = next;
        if (!(moved > kLatitudeTolerance))
            break;
    }
    // The Gauss sphere: ps = 2 atan(w^A S0) - pi/2 with w = exp(psi) / K0,
    // psi the isometric latitude of the ellipsoid; the conformal latitude
    // is gd(psi) = atan(sinh psi).
    const double psi = std::atanh(std::sin(ps)) / r.a_ratio + r.psi_shift;
    const double chi = std::atan(std::sinh(psi));
    lam = std::asin(sin_l) / r.a_ratio + r.origin_long;
    phi = chi + mpx_snyder_eqn_3_35(chi, r.conformal);
    // The series stops at e^8 (2e-12 on the Earth, some 10 micrometres):
    // one Newton step on psi(phi) = atanh(sin phi) - e atanh(e sin phi),
    // whose slope is (1 - e^2) / (cos phi (1 - e^2 sin^2 phi)), takes the
    // latitude to the rounding.
    const double e = r.eccentricity;
    const double s = std::sin(phi);
    const double miss = std::atanh(s) - e * std::atanh(e * s) - psi;
    phi -= miss * std::sqrt(1 - s * s) * (1 - e * e * s * s) / (1 - e * e);
    return std::isfinite(lam) && std::isfinite(phi);
}

int labordom_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const LabordomRecord &r = record_of(params);
    double lam = 0, phi = 0;
    if (!undo_forward(r, x, y, lam, phi)) {
        // Plane estimate: grid offsets as arcs of the ellipsoid's radius.
        phi = (y - r.false_north) / r.radius + r.origin_lat;
        lam = std::cos(phi) * (x - r.false_east) / r.radius + r.origin_long;
    }
    return bounded_newton_search(labordom_forward, params, x, y, lam, phi, lon, lat);
}

} // namespace

extern "C" int mpx_labordom_install(void) noexcept {
    LabordomRecord sample{};
    mpx_proj_create("labordom", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &sample.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_long", &sample.origin_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("true_bearing", &sample.true_bearing, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("tissot_ind", &sample.tissot_ind, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(labordom_init, labordom_forward, labordom_backward);
    mpx_proj_ins_mode(kLabordomMode);
    return mpx_proj_end();
}
