// The array path's pipeline over a group of lanes, written once over the
// vector type of an instruction set (kernels_<set>.cpp defines the type and
// includes this file). One pass per group runs every step in the per-point
// pipeline's order. Each guard of the per-point routines (a non-finite
// value, a pole, a wrap of more than one turn, a rejection, a backward
// result off the map) only marks the lane as handed back; whatever the lane then
// computes is discarded.
//
// The vector type V brings, besides the operations of
// numeric/number_forms.hpp (norm excepted): a mask type from its
// comparisons with | and &, not_finite(V), hypot(V, V), V::kLanes,
// V::load(const double *), store(double *, V) and lane_bits(mask) (bit i set
// for lane i).
#pragma once

#include "geodesy/geocentric_forms.hpp"
#include "numeric/thresholds.hpp"
#include "proj/cylindrical/mercator_forms.hpp"
#include "proj/cylindrical/tranmerc_forms.hpp"
#include "trn/batch/batch.hpp"
#include "trn/trn_internal.hpp"

#include <numbers>

namespace mpx_lanes {

inline constexpr double kHalfPi = std::numbers::pi / 2.0;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The per-point pipeline's limit of a wrappable longitude (transform.cpp).
inline constexpr double kLongestWrappableLongitude = 1e9;

// The scalar norm's rule (numeric/number_forms.hpp) lane by lane: a plain
// square root inside the range where it is exact, hypot outside. A kernel
// file makes it its vector type's own with a using-declaration.
template <class V> V norm(V a, V b) noexcept {
    const V r = sqrt(a * a + b * b);
    const auto plain = (r < mpx_forms::kLargestPlainNorm) & (r > mpx_forms::kSmallestPlainNorm);
    if (lane_bits(plain) == (1u << V::kLanes) - 1u)
        return r;
    return select(plain, r, hypot(a, b));
}

template <class V> auto not_finite(V a, V b) noexcept { return not_finite(a) | not_finite(b); }
template <class V> auto not_finite(V a, V b, V c) noexcept {
    return not_finite(a) | not_finite(b) | not_finite(c);
}
// is_pole of numeric/thresholds.hpp (false for NaN).
template <class V> auto pole(V phi) noexcept { return abs(kHalfPi - abs(phi)) <= kPoleTolerance; }
template <class V> auto beyond_pole(V phi) noexcept { return (phi < -kHalfPi) | (phi > kHalfPi); }

template <class V> struct Lanes {
    V x, y, z;
    decltype(V() < V()) back;
};

template <class V> void window(const mpx_transformation &t, Lanes<V> &p) noexcept {
    switch (t.robust_mode) {
    case MPX_ROBUST_WRAP: {
        // One turn either way, as the per-point pipeline does first; a
        // longitude further out goes back to it.
        p.back = p.back | (abs(p.x) > kLongestWrappableLongitude);
        const auto below = p.x < t.window_low;
        const auto above = p.x > t.window_high;
        p.x = select(below, p.x + kTwoPi, select(above, p.x - kTwoPi, p.x));
        p.back = p.back | (below & (p.x < t.window_low)) | (above & (p.x > t.window_high));
        return;
    }
    case MPX_ROBUST_REJECT:
        p.back = p.back | (p.x < t.window_low) | (p.x > t.window_high) | beyond_pole(p.y);
        return;
    default:
        return;
    }
}

template <class V>
void backward(BatchStep step, const void *params, const TrnSourceWindow &w, Lanes<V> &p) noexcept {
    V lon, lat;
    if (step == BatchStep::Tranmerc) {
        const TranmercRecord &r = *static_cast<const TranmercRecord *>(params);
        V xp, yp;
        mpx_forms::tranmerc_from_grid(r, p.x, p.y, xp, yp);
        const V phi1 = mpx_forms::tranmerc_footpoint(r, yp);
        p.back = p.back | pole(phi1);
        mpx_forms::tranmerc_ellipsoid_backward(r, xp, phi1, lon, lat);
    } else {
        mpx_forms::mercator_backward(*static_cast<const MercatorRecord *>(params), p.x, p.y, lon,
                                     lat);
    }
    p.back = p.back | not_finite(lon, lat) | beyond_pole(lat);
    if (w.applies)
        p.back = p.back | (lon < w.low) | (lon > w.high);
    p.x = lon;
    p.y = lat;
}

template <class V> void forward(BatchStep step, const void *params, Lanes<V> &p) noexcept {
    V x, y;
    p.back = p.back | pole(p.y);
    if (step == BatchStep::Tranmerc) {
        const TranmercRecord &r = *static_cast<const TranmercRecord *>(params);
        mpx_forms::tranmerc_ellipsoid_forward(r, p.x - r.centre_merid, p.y, x, y);
    } else {
        mpx_forms::mercator_forward(*static_cast<const MercatorRecord *>(params), p.x, p.y, x, y);
    }
    p.back = p.back | not_finite(x, y);
    p.x = x;
    p.y = y;
}

template <class V>
void run_lanes(const mpx_transformation &t, const BatchPlan &plan, Lanes<V> &p) noexcept {
    p.x = p.x * t.input_scale;
    p.y = p.y * t.input_scale;
    p.back = p.back | not_finite(p.x, p.y, p.z);
    if (t.pre_mode == 1) {
        mpx_forms::xyz_to_gd(t.source_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        p.back = p.back | not_finite(p.x, p.y, p.z);
    }
    window(t, p);
    if (plan.source != BatchStep::None)
        backward(plan.source, t.source_params, trn_source_window(t), p);
    if (plan.bursa_wolfe) {
        mpx_forms::gd_to_xyz(t.source_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        mpx_forms::bursa_wolfe(*static_cast<const mpx_bw_params *>(t.change_data), p.x, p.y, p.z);
        mpx_forms::xyz_to_gd(t.target_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
        p.back = p.back | not_finite(p.x, p.y, p.z);
    }
    if (plan.target != BatchStep::None)
        forward(plan.target, t.target_params, p);
    if (t.post_mode == 1)
        mpx_forms::gd_to_xyz(t.target_ellipsoid, p.x, p.y, p.z, p.x, p.y, p.z);
    p.x = p.x * t.output_scale;
    p.y = p.y * t.output_scale;
    p.back = p.back | not_finite(p.x, p.y, p.z);
}

// A block in groups of V::kLanes; the caller pads the last group with
// zeros, and its extra lanes are ignored.
template <class V>
void run_block(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
               int count) noexcept {
    constexpr int kLanes = V::kLanes;
    static_assert(kBatchBlock % kLanes == 0 && kBatchPad % kLanes == 0);
    for (int i = 0; i < count; i += kLanes) {
        Lanes<V> p{V::load(block.x + i), V::load(block.y + i), V::load(block.z + i),
                   V(0.0) < V(0.0)};
        run_lanes(t, plan, p);
        store(block.x + i, p.x);
        store(block.y + i, p.y);
        store(block.z + i, p.z);
        const unsigned back = lane_bits(p.back);
        for (int lane = 0; lane < kLanes; ++lane)
            block.handed_back[i + lane] = static_cast<unsigned char>((back >> lane) & 1u);
    }
}

} // namespace mpx_lanes
