// The AVX2 kernels: four lanes of doubles, the mathematical functions from
// SLEEF (1-ulp accuracy). This file alone is built with -mavx2 -mfma and is
// called only after batch.cpp has found both on the processor. It
// instantiates the formula templates with its vector type only, never with
// double, so no inline function built for AVX2 can stand in for the
// per-point path's own.
//
// One pass per group of four lanes runs every step of the pipeline in the
// per-point pipeline's order. Each guard of the per-point routines (a
// non-finite value, a pole, a wrap of more than one turn, a rejection, a
// latitude beyond a pole) only marks the lane as handed back; whatever the
// lane then computes is discarded.
#include "trn/batch/batch.hpp"

#include "geodesy/geocentric_forms.hpp"
#include "numeric/thresholds.hpp"
#include "proj/cylindrical/mercator_forms.hpp"
#include "proj/cylindrical/tranmerc_forms.hpp"
#include "trn/trn_internal.hpp"

#include <immintrin.h>
#include <limits>
#include <numbers>
#include <sleef.h>

namespace mpx_avx2 {

struct Mask {
    __m256d m;
};

struct Vec {
    __m256d v;
    Vec() noexcept = default;
    Vec(double d) noexcept : v(_mm256_set1_pd(d)) {} // NOLINT: broadcasts like a scalar
    explicit Vec(__m256d x) noexcept : v(x) {}
};

inline Vec operator+(Vec a, Vec b) noexcept { return Vec(_mm256_add_pd(a.v, b.v)); }
inline Vec operator-(Vec a, Vec b) noexcept { return Vec(_mm256_sub_pd(a.v, b.v)); }
inline Vec operator*(Vec a, Vec b) noexcept { return Vec(_mm256_mul_pd(a.v, b.v)); }
inline Vec operator/(Vec a, Vec b) noexcept { return Vec(_mm256_div_pd(a.v, b.v)); }
inline Vec operator-(Vec a) noexcept { return Vec(_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))); }

inline Mask operator<(Vec a, Vec b) noexcept { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(Vec a, Vec b) noexcept { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator>(Vec a, Vec b) noexcept { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator>=(Vec a, Vec b) noexcept { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
inline Mask operator|(Mask a, Mask b) noexcept { return {_mm256_or_pd(a.m, b.m)}; }
inline Mask operator&(Mask a, Mask b) noexcept { return {_mm256_and_pd(a.m, b.m)}; }
inline Mask &operator|=(Mask &a, Mask b) noexcept { return a = a | b; }
inline bool all(Mask a) noexcept { return _mm256_movemask_pd(a.m) == 0xF; }

inline Vec select(Mask c, Vec if_true, Vec if_false) noexcept {
    return Vec(_mm256_blendv_pd(if_false.v, if_true.v, c.m));
}
inline Vec abs(Vec a) noexcept { return Vec(_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)); }
// Correctly rounded, like std::sqrt.
inline Vec sqrt(Vec a) noexcept { return Vec(_mm256_sqrt_pd(a.v)); }
inline Vec atan(Vec a) noexcept { return Vec(Sleef_atand4_u10avx2(a.v)); }
inline Vec atan2(Vec y, Vec x) noexcept { return Vec(Sleef_atan2d4_u10avx2(y.v, x.v)); }
inline Vec asinh(Vec a) noexcept { return Vec(Sleef_asinhd4_u10avx2(a.v)); }
inline Vec atanh(Vec a) noexcept { return Vec(Sleef_atanhd4_u10avx2(a.v)); }
inline Vec exp(Vec a) noexcept { return Vec(Sleef_expd4_u10avx2(a.v)); }
inline Vec log(Vec a) noexcept { return Vec(Sleef_logd4_u10avx2(a.v)); }
inline Vec copysign(Vec magnitude, Vec sign) noexcept {
    const __m256d sign_bit = _mm256_set1_pd(-0.0);
    return Vec(
        _mm256_or_pd(_mm256_andnot_pd(sign_bit, magnitude.v), _mm256_and_pd(sign_bit, sign.v)));
}
inline void sincos(Vec x, Vec &s, Vec &c) noexcept {
    const Sleef___m256d_2 sc = Sleef_sincosd4_u10avx2(x.v);
    s = Vec(sc.x);
    c = Vec(sc.y);
}
// The scalar norm's rule lane by lane: a plain square root inside the
// range where it is exact, hypot outside.
inline Vec norm(Vec a, Vec b) noexcept {
    const Vec r = sqrt(a * a + b * b);
    const Mask plain = (r < mpx_forms::kLargestPlainNorm) & (r > mpx_forms::kSmallestPlainNorm);
    if (all(plain))
        return r;
    return select(plain, r, Vec(Sleef_hypotd4_u05avx2(a.v, b.v)));
}

} // namespace mpx_avx2

namespace {

using mpx_avx2::Mask;
using mpx_avx2::Vec;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kHalfPi = std::numbers::pi / 2.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The per-point pipeline's limit of a wrappable longitude (transform.cpp).
constexpr double kLongestWrappableLongitude = 1e9;

Mask not_finite(Vec a) noexcept { return {_mm256_cmp_pd(abs(a).v, Vec(kInfinity).v, _CMP_NLT_UQ)}; }
Mask not_finite(Vec a, Vec b) noexcept { return not_finite(a) | not_finite(b); }
Mask not_finite(Vec a, Vec b, Vec c) noexcept {
    return not_finite(a) | not_finite(b) | not_finite(c);
}
// is_pole of numeric/thresholds.hpp (false for NaN).
Mask pole(Vec phi) noexcept { return abs(kHalfPi - abs(phi)) <= kPoleTolerance; }
Mask beyond_pole(Vec phi) noexcept { return (phi < -kHalfPi) | (phi > kHalfPi); }

struct Lanes {
    Vec x, y, z;
    Mask back;
};

void window(const mpx_transformation &t, Lanes &p) noexcept {
    switch (t.robust_mode) {
    case MPX_ROBUST_WRAP: {
        // One turn either way, as the per-point pipeline does first; a
        // longitude further out goes back to it.
        p.back |= abs(p.x) > kLongestWrappableLongitude;
        const Mask below = p.x < t.window_low;
        const Mask above = p.x > t.window_high;
        p.x = select(below, p.x + kTwoPi, select(above, p.x - kTwoPi, p.x));
        p.back |= (below & (p.x < t.window_low)) | (above & (p.x > t.window_high));
        return;
    }
    case MPX_ROBUST_REJECT:
        p.back |= (p.x < t.window_low) | (p.x > t.window_high) | beyond_pole(p.y);
        return;
    default:
        return;
    }
}

void backward(BatchStep step, const void *params, Lanes &p) noexcept {
    Vec lon, lat;
    if (step == BatchStep::Tranmerc) {
        const TranmercRecord &r = *static_cast<const TranmercRecord *>(params);
        Vec xp, yp;
        mpx_forms::tranmerc_from_grid(r, p.x, p.y, xp, yp);
        const Vec phi1 = mpx_forms::tranmerc_footpoint(r, yp);
        p.back |= pole(phi1);
        mpx_forms::tranmerc_ellipsoid_backward(r, xp, phi1, lon, lat);
    } else {
        mpx_forms::mercator_backward(*static_cast<const MercatorRecord *>(params), p.x, p.y, lon,
                                     lat);
    }
    p.back |= not_finite(lon, lat) | beyond_pole(lat);
    p.x = lon;
    p.y = lat;
}

void forward(BatchStep step, const void *params, Lanes &p) noexcept {
    Vec x, y;
    p.back |= pole(p.y);
    if (step == BatchStep::Tranmerc) {
        const TranmercRecord &r = *static_cast<const TranmercRecord *>(params);
        mpx_forms::tranmerc_ellipsoid_forward(r, p.x - r.centre_merid, p.y, x, y);
    } else {
        mpx_forms::mercator_forward(*static_cast<const MercatorRecord *>(params), p.x, p.y, x, y);
    }
    p.back |= not_finite(x, y);
    p.x = x;
    p.y = y;
}

void run_lanes(const mpx_transformation &t, const BatchPlan &plan, Lanes &p) noexcept {
    p.x = p.x * t.input_scale;
    p.y = p.y * t.input_scale;
    p.back |= not_finite(p.x, p.y, p.z);
    if (t.pre_mode == 1) {
        mpx_forms::xyz_to_gd(t.source_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        p.back |= not_finite(p.x, p.y, p.z);
    }
    window(t, p);
    if (plan.source != BatchStep::None)
        backward(plan.source, t.source_params, p);
    if (plan.bursa_wolfe) {
        mpx_forms::gd_to_xyz(t.source_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        mpx_forms::bursa_wolfe(*static_cast<const mpx_bw_params *>(t.change_data), p.x, p.y, p.z);
        mpx_forms::xyz_to_gd(t.target_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        p.back |= not_finite(p.x, p.y, p.z);
    }
    if (plan.target != BatchStep::None)
        forward(plan.target, t.target_params, p);
    if (t.post_mode == 1)
        mpx_forms::gd_to_xyz(t.target_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
    p.x = p.x * t.output_scale;
    p.y = p.y * t.output_scale;
    p.back |= not_finite(p.x, p.y, p.z);
}

} // namespace

void batch_run_avx2(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                    int count) noexcept {
    constexpr int kLanes = 4;
    static_assert(kBatchBlock % kLanes == 0);
    for (int i = 0; i < count; i += kLanes) {
        // The caller pads the last group with zeros; its extra lanes are
        // ignored.
        Lanes p{Vec(_mm256_loadu_pd(block.x + i)), Vec(_mm256_loadu_pd(block.y + i)),
                Vec(_mm256_loadu_pd(block.z + i)), Mask{_mm256_setzero_pd()}};
        run_lanes(t, plan, p);
        _mm256_storeu_pd(block.x + i, p.x.v);
        _mm256_storeu_pd(block.y + i, p.y.v);
        _mm256_storeu_pd(block.z + i, p.z.v);
        const int back = _mm256_movemask_pd(p.back.m);
        for (int lane = 0; lane < kLanes; ++lane)
            block.handed_back[i + lane] = static_cast<unsigned char>((back >> lane) & 1);
    }
}
