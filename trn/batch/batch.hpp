// The array path's fast lane: whole blocks of points through vector
// kernels, step by step, for pipelines whose every step has a kernel. The
// per-point pipeline (transform.cpp) stays the reference: a kernel never
// decides a status, and every lane that meets any guard of a per-point
// routine is handed back to it.
#pragma once

#include "mpxlib.h"

// Points per block: a few hundred, held in a fixed buffer on the stack.
inline constexpr int kBatchBlock = 256;
// The last group of a block is padded with zeros to a multiple of this,
// the widest vector's lane count.
inline constexpr int kBatchPad = 8;

struct BatchBlock {
    double x[kBatchBlock], y[kBatchBlock], z[kBatchBlock];
    // Non-zero: the lane met a guard; the per-point path must redo it.
    unsigned char handed_back[kBatchBlock];
};

// The steps that have kernels.
enum class BatchStep { None, Tranmerc, Mercator };

struct BatchPlan;
// Runs `count` points of a block in place.
using BatchRunner = void (*)(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                             int count);

struct BatchPlan {
    BatchStep source; // backward step (modes 2 and 3)
    BatchStep target; // forward step (modes 1 and 3)
    bool bursa_wolfe; // the datum change is a Bursa-Wolfe record
    BatchRunner run;
};

// The kernels of this processor, chosen once at start-up; null when the
// build has no vector maths (no SLEEF) or the processor has neither
// AVX-512F nor AVX2 with FMA.
BatchRunner batch_runner() noexcept;

// True, with the plan, when every step of a ready transformation has a
// kernel and the processor has an instruction set for them.
bool batch_plan(const mpx_transformation &t, BatchPlan &plan) noexcept;

#ifdef MPX_HAVE_SLEEF
// The kernels of kernels_avx2.cpp and kernels_avx512.cpp, each built for
// its instruction set.
void batch_run_avx2(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                    int count) noexcept;
void batch_run_avx512(const mpx_transformation &t, const BatchPlan &plan, BatchBlock &block,
                      int count) noexcept;
#endif
