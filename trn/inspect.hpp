// What the transformation layer lets a host see of its work: the trace hook
// that the point pipeline calls after each step, and the notes the
// datum-change search leaves on how it found a change.
#pragma once

#include "mpxlib.h"

// The installed trace hook (a null `fn` when none). The pipeline reads it
// once per point.
struct TrnTraceHook {
    mpx_trace_fn fn;
    void *user;
    void operator()(int step, int status, double x, double y, double z) const noexcept {
        if (fn)
            fn(user, step, status, x, y, z);
    }
};
TrnTraceHook trn_trace_hook() noexcept;

// Notes on the change of a record of the table (records outside it, as in
// white-box tests, are not noted). The search starts a fresh note, then
// names its route and the keys it read, and each loaded record its type
// and grid files.
void trn_note_start(const mpx_transformation *t) noexcept;
void trn_note_route(const mpx_transformation *t, int route, const char *first_key,
                    const char *second_key) noexcept;
void trn_note_change(const mpx_transformation *t, const char *change_type,
                     const char *control_file) noexcept;

// The grid files noted for the change of a record of the table ("" when
// none), for naming the grid route when a point cannot be changed.
const char *trn_grid_route(const mpx_transformation *t) noexcept;
