// Horner forms in which the projections evaluate their trigonometric series
// (Snyder 1987, eqs. 3-35, 3-37, 3-39): one sine and one cosine per point
// instead of one per term.
//
// Each form has three faces: the value at x; `_terms`, the summands at x;
// and `_diff`, the series at x minus the series whose summands `_terms`
// stored, term by term so that close latitudes do not lose digits. `_terms`
// and `_diff` build their summands with one helper, so a difference at the
// latitude of the stored terms is exactly 0.
#include "numeric/number_forms.hpp"

#include "mpxlib.h"

#include <cmath>

namespace {

// Summands of A sin 2x + B sin 4x + C sin 6x + D sin 8x in powers of
// K = cos 2x, each times S = sin 2x (index i holds the K^i term).
void terms35(double x, const double *s, double *out) noexcept {
    const double sn = std::sin(2.0 * x);
    const double k = std::cos(2.0 * x);
    out[0] = s[0] * sn;
    out[1] = s[1] * k * sn;
    out[2] = s[2] * (k * k) * sn;
    out[3] = s[3] * (k * k * k) * sn;
}

// Summands of a0 sin x + ... + a3 sin 7x in odd powers of S = sin x
// (index i holds the S^(2i+1) term).
void terms37(double x, const double *s, double *out) noexcept {
    const double sn = std::sin(x);
    const double s2 = sn * sn;
    out[0] = s[0] * sn;
    out[1] = s[1] * (s2 * sn);
    out[2] = s[2] * (s2 * s2 * sn);
    out[3] = s[3] * (s2 * s2 * s2 * sn);
}

// Summands of a0 + a1 cos 2x + ... + a4 cos 8x in powers of K = cos 2x.
void terms39(double x, const double *s, double *out) noexcept {
    const double k = std::cos(2.0 * x);
    const double k2 = k * k;
    out[0] = s[0];
    out[1] = s[1] * k;
    out[2] = s[2] * k2;
    out[3] = s[3] * (k2 * k);
    out[4] = s[4] * (k2 * k2);
}

// Sum of (now[i] - then[i]) from the highest index down: the small
// high-order differences are added first.
double difference(const double *now, const double *then, int count) noexcept {
    double sum = 0.0;
    for (int i = count - 1; i >= 0; --i)
        sum += now[i] - then[i];
    return sum;
}

constexpr int kTerms35 = 4;
constexpr int kTerms37 = 4;
constexpr int kTerms39 = 5;

} // namespace

// sin 4x = 2 S K, sin 6x = S (4 K^2 - 1), sin 8x = S (8 K^3 - 4 K).
extern "C" void mpx_proj_factors_35(double a, double b, double c, double d, double *s) noexcept {
    s[0] = a - c;
    s[1] = 2.0 * b - 4.0 * d;
    s[2] = 4.0 * c;
    s[3] = 8.0 * d;
}

extern "C" double mpx_snyder_eqn_3_35(double x, const double *s) noexcept {
    const double sn = std::sin(2.0 * x);
    const double k = std::cos(2.0 * x);
    return sn * (((s[3] * k + s[2]) * k + s[1]) * k + s[0]);
}

extern "C" void mpx_snyder_eqn_3_35_terms(double x, const double *s, double *t) noexcept {
    terms35(x, s, t);
}

extern "C" double mpx_snyder_eqn_3_35_diff(double x, const double *s, const double *t) noexcept {
    double now[kTerms35];
    terms35(x, s, now);
    return difference(now, t, kTerms35);
}

// The multiple-angle identities sin 3x = 3S - 4S^3,
// sin 5x = 5S - 20S^3 + 16S^5, sin 7x = 7S - 56S^3 + 112S^5 - 64S^7, taken
// exactly (+3 a1, +112 a3), so that the form equals the sine series it
// stands for; no routine of the library calls this family, so hosts get the
// mathematically correct series rather than a variant with other signs.
extern "C" void mpx_proj_factors_37(double a0, double a1, double a2, double a3,
                                    double *s) noexcept {
    s[0] = a0 + 3.0 * a1 + 5.0 * a2 + 7.0 * a3;
    s[1] = -4.0 * a1 - 20.0 * a2 - 56.0 * a3;
    s[2] = 16.0 * a2 + 112.0 * a3;
    s[3] = -64.0 * a3;
}

extern "C" double mpx_snyder_eqn_3_37(double x, const double *s) noexcept {
    const double sn = std::sin(x);
    const double s2 = sn * sn;
    return sn * (((s[3] * s2 + s[2]) * s2 + s[1]) * s2 + s[0]);
}

extern "C" void mpx_snyder_eqn_3_37_terms(double x, const double *s, double *t) noexcept {
    terms37(x, s, t);
}

extern "C" double mpx_snyder_eqn_3_37_diff(double x, const double *s, const double *t) noexcept {
    double now[kTerms37];
    terms37(x, s, now);
    return difference(now, t, kTerms37);
}

// cos 4x = 2K^2 - 1, cos 6x = 4K^3 - 3K, cos 8x = 8K^4 - 8K^2 + 1.
extern "C" void mpx_proj_factors_39(double a0, double a1, double a2, double a3, double a4,
                                    double *s) noexcept {
    s[0] = a0 - a2 + a4;
    s[1] = a1 - 3.0 * a3;
    s[2] = 2.0 * a2 - 8.0 * a4;
    s[3] = 4.0 * a3;
    s[4] = 8.0 * a4;
}

extern "C" double mpx_snyder_eqn_3_39(double x, const double *s) noexcept {
    return mpx_forms::series_3_39(std::cos(2.0 * x), s);
}

extern "C" void mpx_snyder_eqn_3_39_terms(double x, const double *s, double *t) noexcept {
    terms39(x, s, t);
}

extern "C" double mpx_snyder_eqn_3_39_diff(double x, const double *s, const double *t) noexcept {
    double now[kTerms39];
    terms39(x, s, now);
    return difference(now, t, kTerms39);
}
