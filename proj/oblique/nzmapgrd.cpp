// "nzmapgrd": the New Zealand Map Grid, a conformal projection of the
// International 1924 ellipsoid defined by fixed polynomial coefficients.
//
// Source: Department of Lands and Survey Technical Circular 1973/32 (I. F.
// Stirling, after W. I. Reilly, Survey Review 22 (168), 1973), as restated
// in OSG Technical Report 4.1 and EPSG Guidance Note 7-2 (method 9811): a
// real series gives the isometric-latitude difference from the latitude
// difference, and a sixth-degree complex series maps theta = dpsi + i dlam
// onto the grid. The coefficient tables are the published ones, unchanged.
//
// Domain: the series are fitted to New Zealand (about 34 to 48 degrees S,
// 166 to 179 degrees E) and hold to about a millimetre there; far away they
// are finite but meaningless. The longitude difference is never wrapped.
// No singular point: only an overflow of the guarded complex arithmetic
// fails (status 1, outputs untouched).
//
// Backward: the inverse complex series, two Newton steps on the forward
// complex series, the inverse latitude series, then the shared
// finite-difference Newton refinement on this forward mapping until it
// reproduces the input within a * 1.567794245191732e-10 (1 mm on the
// International ellipsoid). When the refinement cannot settle the series
// estimate is returned, still with status 0.
//
// Departure: an input or estimate that is not a number (NaN, infinity)
// gets status 1 in both directions instead of a non-finite result with
// status 0; every finite point behaves as the published algorithm.
#include "numeric/complex_ops.hpp"
#include "numeric/newton.hpp"
#include "numeric/power_series.hpp"

#include "mpxlib.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kLatitudeTerms = 10;
constexpr int kInverseLatitudeTerms = 9;
constexpr int kComplexTerms = 6;
// The multipliers 2 to 6 of the Newton step's terms.
constexpr int kMultipliers = kComplexTerms - 1;

struct NzmapgrdRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity; // declared for the loader, not read
    double long_cut;
    // Derived by init.
    double tolerance; // of the backward refinement, |dx| + |dy|
    double a[kLatitudeTerms];
    double d[kInverseLatitudeTerms];
    mpx_complex b[kComplexTerms];
    mpx_complex c[kComplexTerms];
    mpx_complex offset;                   // FN + i FE
    mpx_complex multiplier[kMultipliers]; // 2 + 0i to 6 + 0i
    double scale;                         // latitude unit: 1e5 seconds of arc
};

NzmapgrdRecord &record_of(void *params) { return *static_cast<NzmapgrdRecord *>(params); }

// Latitude series: dpsi from dphi (A1 to A10).
constexpr std::array<double, kLatitudeTerms> kA = {
    0.6399175073, -0.1358797613, 0.063294409, -0.02526853, 0.0117879,
    -0.0055161,   0.0026906,     -0.001333,   0.00067,     -0.00034};
// Its inverse: dphi from dpsi (D1 to D9).
constexpr std::array<double, kInverseLatitudeTerms> kD = {1.5627014243, 0.5185406398, -0.03333098,
                                                          -0.1052906,   -0.0368594,   0.007317,
                                                          0.01220,      0.00394,      -0.0013};
// Forward complex series (B1 to B6) and its inverse (C1 to C6).
constexpr std::array<mpx_complex, kComplexTerms> kB = {{{0.7557853228, 0.0, 0},
                                                        {0.249204646, 0.003371507, 0},
                                                        {-0.001541739, 0.041058560, 0},
                                                        {-0.10162907, 0.01727609, 0},
                                                        {-0.26623489, -0.36249218, 0},
                                                        {-0.6870983, -1.1651967, 0}}};
constexpr std::array<mpx_complex, kComplexTerms> kC = {{{1.3231270439, 0.0, 0},
                                                        {-0.577245789, -0.007809598, 0},
                                                        {0.508307513, -0.112208952, 0},
                                                        {-0.15094762, 0.18200602, 0},
                                                        {1.01418179, 1.64497696, 0},
                                                        {1.9660549, 2.5127645, 0}}};

// Backward tolerance per unit of a: 1 mm when a is 6378388 m.
constexpr double kToleranceOverRadius = 1.567794245191732e-10;
constexpr double kSecondsPerRadian = 206264.80624709636;
constexpr double kRadiansPerSecond = 4.84813681109536e-06;
constexpr double kLatitudeUnitScale = 1e-5;
// Value 1 as set for this projection in the registry table: the forward
// routine takes any longitude, unwrapped.
constexpr int kNzmapgrdMode = 1;

int nzmapgrd_init(void *params) noexcept {
    NzmapgrdRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.tolerance = r.radius * kToleranceOverRadius;
    for (int i = 0; i < kLatitudeTerms; ++i)
        r.a[i] = kA[static_cast<std::size_t>(i)];
    for (int i = 0; i < kInverseLatitudeTerms; ++i)
        r.d[i] = kD[static_cast<std::size_t>(i)];
    for (int i = 0; i < kComplexTerms; ++i) {
        r.b[i] = kB[static_cast<std::size_t>(i)];
        r.c[i] = kC[static_cast<std::size_t>(i)];
    }
    r.offset = {r.false_north, r.false_east, 0};
    for (int k = 0; k < kMultipliers; ++k)
        r.multiplier[k] = {k + 2.0, 0.0, 0};
    r.scale = kLatitudeUnitScale;
    return 0;
}

// The guarded complex operations, remembering whether any guard tripped.
// Once one has, the values are meaningless and the caller discards them.
struct Guarded {
    bool failed = false;
    mpx_complex note(mpx_complex v) {
        failed = failed || v.status != 0;
        return v;
    }
    mpx_complex add(mpx_complex p, mpx_complex q) { return note(complex_ops::add(p, q)); }
    mpx_complex sub(mpx_complex p, mpx_complex q) { return note(complex_ops::subtract(p, q)); }
    mpx_complex mul(mpx_complex p, mpx_complex q) { return note(complex_ops::multiply(p, q)); }
    mpx_complex div(mpx_complex p, mpx_complex q) { return note(complex_ops::divide(p, q)); }
    // powers[k] = v^(k + 1), k = 0..5, by the power operation (not by
    // repeated multiplication), as the published algorithm forms them. The
    // power operation's guards, modulus and argument depend on v alone, so
    // they are taken once for the five powers.
    std::array<mpx_complex, kComplexTerms> powers(mpx_complex v) {
        const complex_ops::Polar polar = complex_ops::polar(v);
        std::array<mpx_complex, kComplexTerms> p{};
        p[0] = v;
        for (std::size_t k = 1; k < p.size(); ++k)
            p[k] = note(complex_ops::power(polar, static_cast<double>(k + 1)));
        return p;
    }
};

int nzmapgrd_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const NzmapgrdRecord &r = record_of(params);
    const double dphi = (lat - r.centre_lat) * kSecondsPerRadian * r.scale;
    const double dpsi = power_series(r.a, kLatitudeTerms, dphi);

    Guarded g;
    const std::array<mpx_complex, kComplexTerms> theta = g.powers({dpsi, lon - r.centre_merid, 0});
    mpx_complex sum = g.mul(r.b[0], theta[0]);
    for (int n = 1; n < kComplexTerms; ++n)
        sum = g.add(sum, g.mul(r.b[n], theta[static_cast<std::size_t>(n)]));
    const mpx_complex z = g.add(g.mul(sum, {r.radius, 0.0, 0}), r.offset);
    if (g.failed || !std::isfinite(z.re) || !std::isfinite(z.im))
        return 1;
    *x = z.im;
    *y = z.re;
    return 0;
}

int nzmapgrd_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const NzmapgrdRecord &r = record_of(params);
    Guarded g;
    const mpx_complex z = g.div(g.sub({y, x, 0}, r.offset), {r.radius, 0.0, 0});
    const std::array<mpx_complex, kComplexTerms> zn = g.powers(z);
    mpx_complex theta = g.mul(r.c[0], zn[0]);
    for (int n = 1; n < kComplexTerms; ++n)
        theta = g.add(theta, g.mul(r.c[n], zn[static_cast<std::size_t>(n)]));

    // Two Newton steps on the forward series, a fixed count: theta =
    // (z + sum (n-1) Bn theta^n) / (sum n Bn theta^(n-1)).
    constexpr int kNewtonSteps = 2;
    for (int step = 0; step < kNewtonSteps; ++step) {
        const std::array<mpx_complex, kComplexTerms> t = g.powers(theta);
        mpx_complex num = g.add(z, g.mul(r.b[1], t[1]));
        for (int n = 2; n < kComplexTerms; ++n)
            num = g.add(num,
                        g.mul(g.mul(r.b[n], t[static_cast<std::size_t>(n)]), r.multiplier[n - 2]));
        mpx_complex den = r.b[0];
        for (int n = 1; n < kComplexTerms; ++n)
            den = g.add(
                den, g.mul(g.mul(r.b[n], t[static_cast<std::size_t>(n - 1)]), r.multiplier[n - 1]));
        theta = g.div(num, den);
    }
    if (g.failed)
        return 1;

    const double dpsi = theta.re;
    const double dphi = power_series(r.d, kInverseLatitudeTerms, dpsi);
    double lambda = theta.im + r.centre_merid;
    double phi = dphi / r.scale * kRadiansPerSecond + r.centre_lat;
    if (!std::isfinite(lambda) || !std::isfinite(phi))
        return 1;
    // On failure the refinement leaves the series estimate in place.
    newton_refine(nzmapgrd_forward, params, {x, y, r.tolerance}, &lambda, &phi);
    *lon = lambda;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_nzmapgrd_install(void) noexcept {
    NzmapgrdRecord sample{};
    mpx_proj_create("nzmapgrd", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(nzmapgrd_init, nzmapgrd_forward, nzmapgrd_backward);
    mpx_proj_ins_mode(kNzmapgrdMode);
    return mpx_proj_end();
}
