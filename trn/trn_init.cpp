// Set-up of a transformation record: everything the point pipeline needs is
// resolved here once (routines, scales, window, ellipsoids, datum change), so
// the per-point path looks nothing up.
#include "trn/trn_internal.hpp"

#include "cs/cs_table.hpp"
#include "frame/error.hpp"
#include "proj/registry.hpp"

#include <numbers>

namespace {

mpx_ellipsoid ellipsoid_of(const mpx_coord_sys &cs) noexcept {
    return mpx_ellipsoid{cs.datum.radius / cs.datum.metre_factor, cs.datum.eccentricity,
                         cs.datum.prime_merid};
}

void set_window(mpx_transformation &t, const mpx_coord_sys &target) noexcept {
    double long_cut = 0.0;
    if (proj_long_cut(&target, &long_cut) == 1) {
        t.window_flag = 1;
        t.window_low = long_cut;
        t.window_high = long_cut + 2.0 * std::numbers::pi;
        return;
    }
    t.window_flag = target.coord_type == MPX_COORD_GEOCENTRIC ? 1 : 0;
    t.window_low = -std::numbers::pi;
    t.window_high = std::numbers::pi;
}

// A backward result may stray from its band by the rounding of the
// routine's own arithmetic (lambda0 + atan2 at a seam), never more.
constexpr double kSourceWindowSlack = 1e-9; // radians

void set_source_window(mpx_transformation &t, const mpx_coord_sys &source) noexcept {
    TrnSourceWindow &w = reinterpret_cast<TrnRecord &>(t).source_window;
    double long_cut = 0.0;
    // A projection that takes any longitude forward (Mercator's linear x)
    // has no window its inverse must stay in.
    w.applies = source.coord_type == MPX_COORD_PROJECTED &&
                (proj_mode_of(&source) & MPX_PROJ_MODE_UNCONDITIONED) == 0 &&
                proj_long_cut(&source, &long_cut) == 1;
    constexpr double kTurn = 2.0 * std::numbers::pi;
    w.low = long_cut - kTurn - kSourceWindowSlack;
    w.high = long_cut + 2.0 * kTurn + kSourceWindowSlack;
}

// Source end: robustness, input scale, geocentric pre-step. False for a
// coordinate type the library does not know.
bool set_source_end(mpx_transformation &t, const mpx_coord_sys &source) noexcept {
    switch (source.coord_type) {
    case MPX_COORD_PROJECTED:
        t.robust_mode = MPX_ROBUST_NONE;
        t.input_scale = 1.0;
        t.pre_mode = 0;
        return true;
    case MPX_COORD_GEODETIC:
        t.robust_mode = MPX_ROBUST_WRAP;
        t.input_scale = source.horizontal_factor;
        t.pre_mode = 0;
        return true;
    case MPX_COORD_GEOCENTRIC:
        t.robust_mode = MPX_ROBUST_NONE;
        t.input_scale = 1.0;
        t.pre_mode = 1;
        return true;
    default:
        return false;
    }
}

bool set_target_end(mpx_transformation &t, const mpx_coord_sys &target) noexcept {
    switch (target.coord_type) {
    case MPX_COORD_PROJECTED:
        t.output_scale = 1.0;
        t.post_mode = 0;
        return true;
    case MPX_COORD_GEODETIC:
        t.output_scale = 1.0 / target.horizontal_factor;
        t.post_mode = 0;
        return true;
    case MPX_COORD_GEOCENTRIC:
        t.output_scale = 1.0;
        t.post_mode = 1;
        return true;
    default:
        return false;
    }
}

void set_inner_steps(mpx_transformation &t, mpx_coord_sys &source, mpx_coord_sys &target) noexcept {
    const bool source_projected = source.coord_type == MPX_COORD_PROJECTED;
    const bool target_projected = target.coord_type == MPX_COORD_PROJECTED;
    // A geodetic or geocentric end has no routine the pipeline may call.
    t.source_backward = source_projected ? proj_backward_of(&source) : nullptr;
    t.source_params = source_projected ? source.params : nullptr;
    t.target_forward = target_projected ? proj_forward_of(&target) : nullptr;
    t.target_params = target_projected ? target.params : nullptr;
    if (source_projected)
        t.inner_mode = target_projected ? kInnerProjectedToProjected : kInnerProjectedToGeodetic;
    else
        t.inner_mode = target_projected ? kInnerGeodeticToProjected : kInnerGeodeticToGeodetic;
}

int fail(mpx_transformation &t) noexcept {
    t.status = kTrnFailed;
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "(trn_init)");
    return -1;
}

} // namespace

int trn_init(mpx_transformation *t) noexcept {
    mpx_coord_sys *source = cs_lookup(t->source_id);
    mpx_coord_sys *target = cs_lookup(t->target_id);
    if (!source || !target) {
        err_deliver_direct("bad cs id (trn_init)");
        return fail(*t);
    }
    if (!source->locked || !target->locked) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Cannot transform with unlocked coord_sys");
        return fail(*t);
    }
    trn_release_change_data(t);
    if (trn_db_load(t) != 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Error loading datum change information");
        return fail(*t);
    }
    t->source_ellipsoid = ellipsoid_of(*source);
    t->target_ellipsoid = ellipsoid_of(*target);
    set_window(*t, *target);
    set_source_window(*t, *source);
    t->target_proj_mode = proj_mode_of(target);
    if (!set_source_end(*t, *source) || !set_target_end(*t, *target)) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "bad coord type (trn_init)");
        return fail(*t);
    }
    set_inner_steps(*t, *source, *target);
    t->datum_change = trn_datum_change_routine(t->datum_change_type);
    if (!t->datum_change) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Bad datum change mode");
        return fail(*t);
    }
    t->status = kTrnReady;
    return 0;
}

void trn_settle(mpx_transformation *t) noexcept {
    if (t->status == kTrnPending)
        trn_init(t);
}
