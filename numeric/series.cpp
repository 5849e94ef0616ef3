// Latitude series of the ellipsoid (Snyder 1987): conformal (3-5),
// authalic (3-18), meridian distance (3-21) and footpoint (3-24, 3-26).
// Each initialiser turns the series coefficients into the Horner form 3-35
// once per projection instance; the per-point cost is then one sine, one
// cosine and a few multiplications.
#include "mpxlib.h"

#include <cmath>

namespace {

// Index of the linear coefficient of the meridian distance (the factor of
// phi in 3-21), and of the linear summand in a terms array.
constexpr int kLinear = 5;

struct Powers {
    double e2, e4, e6, e8;
};

Powers powers(double e) noexcept {
    const double e2 = e * e;
    return {e2, e2 * e2, e2 * e2 * e2, e2 * e2 * e2 * e2};
}

} // namespace

// Conformal latitude chi to geodetic phi: phi = chi + 3-35(chi) (eq. 3-5).
extern "C" void mpx_snyder_init_3_5(double e, double *s) noexcept {
    const auto [e2, e4, e6, e8] = powers(e);
    mpx_proj_factors_35(e2 / 2 + 5 * e4 / 24 + e6 / 12 + 13 * e8 / 360,
                        7 * e4 / 48 + 29 * e6 / 240 + 811 * e8 / 11520,
                        7 * e6 / 120 + 81 * e8 / 1120, 4279 * e8 / 161280, s);
}

// Authalic latitude beta to geodetic phi: phi = beta + 3-35(beta) (eq. 3-18).
extern "C" void mpx_snyder_init_3_18(double e, double *s) noexcept {
    const auto [e2, e4, e6, e8] = powers(e);
    mpx_proj_factors_35(e2 / 3 + 31 * e4 / 180 + 517 * e6 / 5040, 23 * e4 / 360 + 251 * e6 / 3780,
                        761 * e6 / 45360, 0.0, s);
}

extern "C" double mpx_snyder_eqn_3_18(double x, const double *s) noexcept {
    return x + mpx_snyder_eqn_3_35(x, s);
}

extern "C" void mpx_snyder_eqn_3_18_terms(double x, const double *s, double *t) noexcept {
    mpx_snyder_eqn_3_35_terms(x, s, t);
    t[kLinear] = x;
}

extern "C" double mpx_snyder_eqn_3_18_diff(double x, const double *s, const double *t) noexcept {
    return mpx_snyder_eqn_3_35_diff(x, s, t) + (x - t[kLinear]);
}

// Meridian distance M = s[5] phi + 3-35(phi) in the unit of a (eq. 3-21).
extern "C" void mpx_snyder_init_3_21(double e, double a, double *s) noexcept {
    const auto [e2, e4, e6, e8] = powers(e);
    mpx_proj_factors_35(-a * (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024),
                        a * (15 * e4 / 256 + 45 * e6 / 1024), -a * 35 * e6 / 3072, 0.0, s);
    s[kLinear] = a * (1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256);
}

extern "C" double mpx_snyder_eqn_3_21(double phi, const double *s) noexcept {
    return phi * s[kLinear] + mpx_snyder_eqn_3_35(phi, s);
}

extern "C" void mpx_snyder_eqn_3_21_terms(double phi, const double *s, double *t) noexcept {
    mpx_snyder_eqn_3_35_terms(phi, s, t);
    t[kLinear] = phi * s[kLinear];
}

extern "C" double mpx_snyder_eqn_3_21_diff(double phi, const double *s, const double *t) noexcept {
    return mpx_snyder_eqn_3_35_diff(phi, s, t) + (phi * s[kLinear] - t[kLinear]);
}

// e1 of the footpoint series (eq. 3-24).
extern "C" double mpx_snyder_eqn_3_24(double e) noexcept {
    const double root = std::sqrt(1 - e * e);
    return (1 - root) / (1 + root);
}

// Rectifying latitude mu to footpoint latitude: phi = mu + 3-35(mu) (3-26).
extern "C" void mpx_snyder_init_3_26(double e, double *s) noexcept {
    const double e1 = mpx_snyder_eqn_3_24(e);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_2 * e1_2;
    mpx_proj_factors_35(3 * e1 / 2 - 27 * e1_3 / 32, 21 * e1_2 / 16 - 55 * e1_4 / 32,
                        151 * e1_3 / 96, 1097 * e1_4 / 512, s);
}
