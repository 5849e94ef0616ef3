// Which pipelines the array path can run in blocks, and with which
// instruction set. Built for the baseline processor; only the kernels of
// kernels_<set>.cpp are built for their own instruction set, and they are
// called only after the processor has been asked.
#include "trn/batch/batch.hpp"

#include "proj/cylindrical/mercator_forms.hpp"
#include "proj/cylindrical/tranmerc_forms.hpp"
#include "trn/trn_internal.hpp"

namespace {

BatchRunner choose_runner() noexcept {
#if defined(MPX_HAVE_SLEEF) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f"))
        return batch_run_avx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return batch_run_avx2;
#endif
    return nullptr;
}

// The step of a projection routine (the forward or the backward one, given
// with the family's two routines of the same direction).
template <class Routine>
bool projection_kernel(Routine fn, Routine tranmerc, Routine mercator, const void *params,
                       BatchStep &step) noexcept {
    if (fn == tranmerc) {
        step = BatchStep::Tranmerc;
        // The sphere's closed forms have no kernel.
        return static_cast<const TranmercRecord *>(params)->method == kTranmercEllipsoid;
    }
    step = BatchStep::Mercator;
    return fn == mercator;
}

bool datum_kernel(const mpx_transformation &t, bool &bursa_wolfe) noexcept {
    bursa_wolfe = false;
    if (t.datum_change_type == MPX_DATUM_CHANGE_NONE)
        return true;
    if (t.datum_change_type != MPX_DATUM_CHANGE_BURSA_WOLFE || !t.change_data ||
        t.datum_change != trn_datum_change_routine(MPX_DATUM_CHANGE_BURSA_WOLFE))
        return false;
    const int type = static_cast<const mpx_bw_params *>(t.change_data)->type;
    bursa_wolfe = true;
    return type >= MPX_BW_IDENTITY && type <= MPX_BW_FULL;
}

} // namespace

BatchRunner batch_runner() noexcept {
    static const BatchRunner runner = choose_runner();
    return runner;
}

bool batch_plan(const mpx_transformation &t, BatchPlan &plan) noexcept {
    plan = {BatchStep::None, BatchStep::None, false, batch_runner()};
    if (!plan.run || t.status != kTrnReady)
        return false;
    if (t.robust_mode < MPX_ROBUST_NONE || t.robust_mode > MPX_ROBUST_REJECT)
        return false;
    if (t.inner_mode < kInnerGeodeticToProjected || t.inner_mode > kInnerGeodeticToGeodetic)
        return false;
    const bool backward =
        t.inner_mode == kInnerProjectedToGeodetic || t.inner_mode == kInnerProjectedToProjected;
    const bool forward =
        t.inner_mode == kInnerGeodeticToProjected || t.inner_mode == kInnerProjectedToProjected;
    if (backward &&
        !projection_kernel<mpx_proj_backward_fn>(t.source_backward, tranmerc_backward,
                                                 mercator_backward, t.source_params, plan.source))
        return false;
    if (forward &&
        !projection_kernel<mpx_proj_forward_fn>(t.target_forward, tranmerc_forward,
                                                mercator_forward, t.target_params, plan.target))
        return false;
    return datum_kernel(t, plan.bursa_wolfe);
}
