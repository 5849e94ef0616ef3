// "modstero": the modified-stereographic conformal projection: an oblique
// stereographic projection of the sphere, or of the conformal sphere of an
// ellipsoid, followed by a complex polynomial with up to ten coefficients.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 26: eqs. 26-1 to 26-4 (sphere and, with the
// conformal latitude 3-1, ellipsoid) forward; backward Newton's method on
// the complex polynomial, then 26-5 style inverse stereographic and the
// latitude iteration 3-4. Coefficient sets: Snyder's Table 33 (Miller's
// oblated stereographic, Lee's Alaska, the GS-50 and 48-state maps).
//
// Domain: a map of the region the coefficients were fitted to (a
// hemisphere at most). Singular points: the antipode of the centre, where
// the stereographic scale is infinite; on the ellipsoid also the poles,
// which fail with -2. With n = 1 and the coefficient 1 + 0i this is the
// plain oblique stereographic projection with scale 1 at the centre.
//
// Departures: "num_const" outside 0 to 10 is refused by init with
// kBadCoefficientCount (the record has ten coefficient slots). A forward
// result that is not finite (NaN input, the antipode, overflow of the
// polynomial far away) gets status 1 instead of a non-finite coordinate
// with status 0; nothing is written then.
#include "numeric/complex_ops.hpp"
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr int kMaxCoefficients = 10;

struct ModsteroRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat;
    int32_t num_const;
    double coeff_a[kMaxCoefficients];
    double coeff_b[kMaxCoefficients];
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init.
    double sin_phi0, cos_phi0;
    double sin_chi0, cos_chi0; // conformal latitude of the centre
    double e2;
    double quarter_pi;
    int32_t method; // kMethodSphere or kMethodEllipsoid
    mpx_complex coeff[kMaxCoefficients];
    mpx_complex scale; // a + 0i
};

ModsteroRecord &record_of(void *params) { return *static_cast<ModsteroRecord *>(params); }

// The coefficients in use; a count changed after init never reads past the
// ten slots.
int terms(const ModsteroRecord &r) { return std::clamp<int>(r.num_const, 0, kMaxCoefficients); }

constexpr int32_t kMethodSphere = 0;
constexpr int32_t kMethodEllipsoid = 1;
constexpr double kSphereEccentricity = kZeroDenominator;
// Init status for a "num_const" outside 0 to 10.
constexpr int kBadCoefficientCount = -1;
// Status of a guard, or of an iteration that did not settle.
constexpr int kNotSettled = -2;
// Status of a forward result that is not finite.
constexpr int kNotRepresentable = 1;
// The Newton search on the polynomial stops when both parts of the
// correction are at most this (a fraction of a micrometre on the Earth).
constexpr double kPolynomialTolerance = 1e-12;
// Value 0 as set for this projection in the registry table.
constexpr int kModsteroMode = 0;

constexpr double kHalfPi = std::numbers::pi / 2;

// Conformal latitude, Snyder eq. 3-1, with the guards that keep it finite.
// False (and *chi untouched) when a guard trips.
bool conformal_latitude(const ModsteroRecord &r, double phi, double *chi) {
    const double s = r.eccentricity * std::sin(phi);
    if (std::fabs(1 + s) < kZeroDenominator)
        return false;
    const double ratio = (1 - s) / (1 + s);
    if (ratio < 0)
        return false;
    const double u = phi * 0.5 + r.quarter_pi;
    if (std::fabs(kHalfPi - std::fabs(u)) <= kPoleTolerance)
        return false; // tan(u) is not defined
    *chi = 2 * std::atan(std::tan(u) * std::pow(ratio, r.eccentricity * 0.5)) - kHalfPi;
    return true;
}

int modstero_init(void *params) noexcept {
    ModsteroRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    if (r.num_const < 0 || r.num_const > kMaxCoefficients)
        return kBadCoefficientCount;
    for (int j = 0; j < kMaxCoefficients; ++j)
        r.coeff[j] = {r.coeff_a[j], r.coeff_b[j], 0};
    r.scale = {r.radius, 0.0, 0};
    r.sin_phi0 = std::sin(r.centre_lat);
    r.cos_phi0 = std::cos(r.centre_lat);
    r.quarter_pi = std::numbers::pi / 4;
    if (std::fabs(r.eccentricity) < kSphereEccentricity) {
        r.method = kMethodSphere;
        return 0;
    }
    r.method = kMethodEllipsoid;
    r.e2 = r.eccentricity * r.eccentricity;
    double chi0 = 0.0;
    if (!conformal_latitude(r, r.centre_lat, &chi0))
        return kNotSettled;
    r.sin_chi0 = std::sin(chi0);
    r.cos_chi0 = std::cos(chi0);
    return 0;
}

int modstero_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const ModsteroRecord &r = record_of(params);
    const double dlon = lon - r.centre_merid;
    const double sin_dlon = std::sin(dlon);
    const double cos_dlon = std::cos(dlon);
    mpx_complex w{};
    if (r.method == kMethodSphere) { // eqs. 26-1 to 26-3
        const double sin_phi = std::sin(lat);
        const double cos_phi = std::cos(lat);
        const double k = 2 / (cos_dlon * cos_phi * r.cos_phi0 + sin_phi * r.sin_phi0 + 1);
        w = {k * sin_dlon * cos_phi, k * (sin_phi * r.cos_phi0 - cos_dlon * r.sin_phi0 * cos_phi),
             0};
    } else { // the same on the conformal sphere
        double chi = 0.0;
        if (!conformal_latitude(r, lat, &chi))
            return kNotSettled;
        const double sin_phi = std::sin(lat);
        if (std::fabs(std::cos(lat) / std::sqrt(1 - r.e2 * sin_phi * sin_phi)) < kZeroDenominator)
            return kNotSettled; // a pole
        const double sin_chi = std::sin(chi);
        const double cos_chi = std::cos(chi);
        const double k = 2 / (cos_chi * r.cos_chi0 * cos_dlon + sin_chi * r.sin_chi0 + 1);
        w = {k * cos_chi * sin_dlon, (sin_chi * r.cos_chi0 - cos_chi * r.sin_chi0 * cos_dlon) * k,
             0};
    }
    // Eq. 26-4: S = sum of c_j w^j.
    mpx_complex sum{};
    mpx_complex power = w;
    for (int j = 0; j < terms(r); ++j) {
        sum = complex_ops::add(sum, complex_ops::multiply(r.coeff[j], power));
        power = complex_ops::multiply(power, w);
    }
    const double east = sum.re * r.radius + r.false_east;
    const double north = sum.im * r.radius + r.false_north;
    if (!std::isfinite(east) || !std::isfinite(north))
        return kNotRepresentable;
    *x = east;
    *y = north;
    return 0;
}

// Newton's method in the complex plane for sum c_j w^j = the scaled grid
// point, from w = 0 with the first correction the scaled point itself. The status of the
// complex operations is not tested: a failed operation's value (DBL_MAX)
// drives the estimate away and the search ends at its cap.
bool invert_polynomial(const ModsteroRecord &r, double x, double y, mpx_complex *w_out) {
    // The first correction is the target scaled in real arithmetic; the
    // residuals use the complex quotient.
    const mpx_complex target =
        complex_ops::divide({x - r.false_east, y - r.false_north, 0}, r.scale);
    mpx_complex w{};
    mpx_complex delta{(x - r.false_east) / r.radius, (y - r.false_north) / r.radius, 0};
    int count = 0;
    for (;; ++count) {
        const bool settled = std::fabs(delta.re) <= kPolynomialTolerance &&
                             std::fabs(delta.im) <= kPolynomialTolerance;
        if ((count > 0 && settled) || count >= kMaxIterations)
            break;
        w = complex_ops::add(w, delta);
        mpx_complex f{}, df{};
        mpx_complex power = w;
        mpx_complex lower{1.0, 0.0, 0};
        for (int j = 0; j < terms(r); ++j) {
            f = complex_ops::add(f, complex_ops::multiply(r.coeff[j], power));
            df =
                complex_ops::add(df, complex_ops::multiply(complex_ops::multiply(r.coeff[j], lower),
                                                           {j + 1.0, 0.0, 0}));
            lower = power;
            power = complex_ops::multiply(power, w);
        }
        const mpx_complex step = complex_ops::divide(complex_ops::subtract(f, target), df);
        delta = {-step.re, -step.im, 0};
    }
    if (count >= kMaxIterations)
        return false;
    *w_out = w; // the last correction, within the tolerance, is not applied
    return true;
}

// Latitude from the conformal latitude, Snyder eq. 3-4 by iteration from
// phi = chi. False when a guard trips or it does not settle.
bool geodetic_latitude(const ModsteroRecord &r, double chi, double *phi_out) {
    const double u = chi * 0.5 + r.quarter_pi;
    if (std::fabs(kHalfPi - std::fabs(u)) <= kPoleTolerance)
        return false;
    const double t = std::tan(u);
    double phi = chi;
    for (int step = 1; step < kMaxIterations; ++step) {
        const double s = r.eccentricity * std::sin(phi);
        if (std::fabs(1 - s) < kZeroDenominator)
            return false;
        const double ratio = (1 + s) / (1 - s);
        if (ratio < 0)
            return false;
        const double next = 2 * std::atan(std::pow(ratio, r.eccentricity * 0.5) * t) - kHalfPi;
        if (std::fabs(next - phi) < kLatitudeTolerance) {
            *phi_out = next;
            return true;
        }
        phi = next;
    }
    return false;
}

int modstero_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const ModsteroRecord &r = record_of(params);
    mpx_complex w{};
    if (!invert_polynomial(r, x, y, &w))
        return kNotSettled;
    const double rho = std::sqrt(w.im * w.im + w.re * w.re);
    if (std::fabs(rho) < kZeroDenominator) {
        *lon = r.centre_merid;
        *lat = r.centre_lat;
        return 0;
    }
    const double c = 2 * std::atan(rho * 0.5);
    const double sin_c = std::sin(c);
    const double cos_c = std::cos(c);
    double lambda = 0.0, phi = 0.0;
    if (r.method == kMethodSphere) {
        phi = mpx_asin(sin_c * w.im * r.cos_phi0 / rho + cos_c * r.sin_phi0);
        lambda = std::atan2(sin_c * w.re, cos_c * rho * r.cos_phi0 - sin_c * w.im * r.sin_phi0) +
                 r.centre_merid;
    } else {
        const double chi = mpx_asin(sin_c * r.cos_chi0 * w.im / rho + cos_c * r.sin_chi0);
        if (!geodetic_latitude(r, chi, &phi))
            return kNotSettled;
        lambda = std::atan2(sin_c * w.re, cos_c * r.cos_chi0 * rho - sin_c * r.sin_chi0 * w.im) +
                 r.centre_merid;
    }
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_modstero_install(void) noexcept {
    static constexpr const char *kCoeffA[kMaxCoefficients] = {
        "coeff_a1", "coeff_a2", "coeff_a3", "coeff_a4", "coeff_a5",
        "coeff_a6", "coeff_a7", "coeff_a8", "coeff_a9", "coeff_a10"};
    static constexpr const char *kCoeffB[kMaxCoefficients] = {
        "coeff_b1", "coeff_b2", "coeff_b3", "coeff_b4", "coeff_b5",
        "coeff_b6", "coeff_b7", "coeff_b8", "coeff_b9", "coeff_b10"};
    ModsteroRecord sample{};
    mpx_proj_create("modstero", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("num_const", &sample.num_const, MPX_TYPE_LONG);
    for (int j = 0; j < kMaxCoefficients; ++j)
        mpx_proj_ins_par(kCoeffA[j], &sample.coeff_a[j], MPX_TYPE_DOUBLE);
    for (int j = 0; j < kMaxCoefficients; ++j)
        mpx_proj_ins_par(kCoeffB[j], &sample.coeff_b[j], MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(modstero_init, modstero_forward, modstero_backward);
    mpx_proj_ins_mode(kModsteroMode);
    return mpx_proj_end();
}
