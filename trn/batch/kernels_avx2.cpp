// The AVX2 kernels: four lanes of doubles, the mathematical functions from
// SLEEF (1-ulp accuracy). This file alone is built with -mavx2 -mfma and is
// called only after batch.cpp has found both on the processor. It
// instantiates the formula templates with its vector type only, never with
// double, so no inline function built for AVX2 can stand in for the
// per-point path's own.
#include "trn/batch/batch.hpp"

#include <immintrin.h>
#include <limits>
#include <sleef.h>

namespace mpx_avx2 {

struct Mask {
    __m256d m;
};

struct Vec {
    static constexpr int kLanes = 4;
    __m256d v;
    Vec() noexcept = default;
    Vec(double d) noexcept : v(_mm256_set1_pd(d)) {} // broadcasts, as a scalar operand
    static Vec load(const double *p) noexcept { return Vec(_mm256_loadu_pd(p)); }
    explicit Vec(__m256d x) noexcept : v(x) {}
};

inline void store(double *p, Vec a) noexcept { _mm256_storeu_pd(p, a.v); }

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
inline unsigned lane_bits(Mask a) noexcept {
    return static_cast<unsigned>(_mm256_movemask_pd(a.m));
}

inline Vec select(Mask c, Vec if_true, Vec if_false) noexcept {
    return Vec(_mm256_blendv_pd(if_false.v, if_true.v, c.m));
}
inline Vec abs(Vec a) noexcept { return Vec(_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)); }
inline Vec copysign(Vec magnitude, Vec sign) noexcept {
    const __m256d sign_bit = _mm256_set1_pd(-0.0);
    return Vec(
        _mm256_or_pd(_mm256_andnot_pd(sign_bit, magnitude.v), _mm256_and_pd(sign_bit, sign.v)));
}
// True for NaN and infinities.
inline Mask not_finite(Vec a) noexcept {
    return {_mm256_cmp_pd(abs(a).v, _mm256_set1_pd(std::numeric_limits<double>::infinity()),
                          _CMP_NLT_UQ)};
}
// Correctly rounded, like std::sqrt.
inline Vec sqrt(Vec a) noexcept { return Vec(_mm256_sqrt_pd(a.v)); }
inline Vec atan(Vec a) noexcept { return Vec(Sleef_atand4_u10avx2(a.v)); }
inline Vec atan2(Vec y, Vec x) noexcept { return Vec(Sleef_atan2d4_u10avx2(y.v, x.v)); }
inline Vec exp(Vec a) noexcept { return Vec(Sleef_expd4_u10avx2(a.v)); }
inline Vec log(Vec a) noexcept { return Vec(Sleef_logd4_u10avx2(a.v)); }
inline Vec hypot(Vec a, Vec b) noexcept { return Vec(Sleef_hypotd4_u05avx2(a.v, b.v)); }
inline void sincos(Vec x, Vec &s, Vec &c) noexcept {
    const Sleef___m256d_2 sc = Sleef_sincosd4_u10avx2(x.v);
    s = Vec(sc.x);
    c = Vec(sc.y);
}

} // namespace mpx_avx2

#include "trn/batch/lanes.hpp"

namespace mpx_avx2 {
using mpx_lanes::norm;
} // namespace mpx_avx2

void batch_run_avx2(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                    int count) noexcept {
    mpx_lanes::run_block<mpx_avx2::Vec>(t, plan, block, count);
}
