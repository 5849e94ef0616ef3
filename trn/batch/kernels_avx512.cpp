// The AVX-512 kernels: eight lanes of doubles, the mathematical functions
// from SLEEF (1-ulp accuracy). This file alone is built with -mavx512f and
// is called only after batch.cpp has found AVX-512F on the processor; like
// the AVX2 file it instantiates the formula templates with its vector type
// only. Only AVX-512F instructions are used (sign bits by integer
// operations, masks as __mmask8).
#include "trn/batch/batch.hpp"

#include <cstdint>
#include <immintrin.h>
#include <limits>
#include <sleef.h>

namespace mpx_avx512 {

struct Mask {
    __mmask8 m;
};

struct Vec {
    static constexpr int kLanes = 8;
    __m512d v;
    Vec() noexcept = default;
    Vec(double d) noexcept : v(_mm512_set1_pd(d)) {} // broadcasts, as a scalar operand
    static Vec load(const double *p) noexcept { return Vec(_mm512_loadu_pd(p)); }
    explicit Vec(__m512d x) noexcept : v(x) {}
};

inline void store(double *p, Vec a) noexcept { _mm512_storeu_pd(p, a.v); }

inline __m512i sign_bits() noexcept {
    return _mm512_set1_epi64(static_cast<long long>(UINT64_C(0x8000000000000000)));
}
inline __m512i bits_of(Vec a) noexcept { return _mm512_castpd_si512(a.v); }
inline Vec from_bits(__m512i b) noexcept { return Vec(_mm512_castsi512_pd(b)); }

inline Vec operator+(Vec a, Vec b) noexcept { return Vec(_mm512_add_pd(a.v, b.v)); }
inline Vec operator-(Vec a, Vec b) noexcept { return Vec(_mm512_sub_pd(a.v, b.v)); }
inline Vec operator*(Vec a, Vec b) noexcept { return Vec(_mm512_mul_pd(a.v, b.v)); }
inline Vec operator/(Vec a, Vec b) noexcept { return Vec(_mm512_div_pd(a.v, b.v)); }
inline Vec operator-(Vec a) noexcept {
    return from_bits(_mm512_xor_si512(bits_of(a), sign_bits()));
}

inline Mask operator<(Vec a, Vec b) noexcept { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator<=(Vec a, Vec b) noexcept { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ)}; }
inline Mask operator>(Vec a, Vec b) noexcept { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator>=(Vec a, Vec b) noexcept { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ)}; }
inline Mask operator|(Mask a, Mask b) noexcept { return {static_cast<__mmask8>(a.m | b.m)}; }
inline Mask operator&(Mask a, Mask b) noexcept { return {static_cast<__mmask8>(a.m & b.m)}; }
inline unsigned lane_bits(Mask a) noexcept { return a.m; }

inline Vec select(Mask c, Vec if_true, Vec if_false) noexcept {
    return Vec(_mm512_mask_blend_pd(c.m, if_false.v, if_true.v));
}
inline Vec abs(Vec a) noexcept { return from_bits(_mm512_andnot_si512(sign_bits(), bits_of(a))); }
inline Vec copysign(Vec magnitude, Vec sign) noexcept {
    return from_bits(_mm512_or_si512(_mm512_andnot_si512(sign_bits(), bits_of(magnitude)),
                                     _mm512_and_si512(sign_bits(), bits_of(sign))));
}
// True for NaN and infinities.
inline Mask not_finite(Vec a) noexcept {
    return {_mm512_cmp_pd_mask(abs(a).v, _mm512_set1_pd(std::numeric_limits<double>::infinity()),
                               _CMP_NLT_UQ)};
}
// Correctly rounded, like std::sqrt.
inline Vec sqrt(Vec a) noexcept { return Vec(_mm512_sqrt_pd(a.v)); }
inline Vec atan(Vec a) noexcept { return Vec(Sleef_atand8_u10avx512f(a.v)); }
inline Vec atan2(Vec y, Vec x) noexcept { return Vec(Sleef_atan2d8_u10avx512f(y.v, x.v)); }
inline Vec exp(Vec a) noexcept { return Vec(Sleef_expd8_u10avx512f(a.v)); }
inline Vec log(Vec a) noexcept { return Vec(Sleef_logd8_u10avx512f(a.v)); }
inline Vec hypot(Vec a, Vec b) noexcept { return Vec(Sleef_hypotd8_u05avx512f(a.v, b.v)); }
inline void sincos(Vec x, Vec &s, Vec &c) noexcept {
    const Sleef___m512d_2 sc = Sleef_sincosd8_u10avx512f(x.v);
    s = Vec(sc.x);
    c = Vec(sc.y);
}

} // namespace mpx_avx512

#include "trn/batch/lanes.hpp"

namespace mpx_avx512 {
using mpx_lanes::norm;
} // namespace mpx_avx512

void batch_run_avx512(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                      int count) noexcept {
    mpx_lanes::run_block<mpx_avx512::Vec>(t, plan, block, count);
}
