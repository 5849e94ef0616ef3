// Internal operations of the coordinate-system table, used by
// transformations (trn/) and the diagnostic dump.
#pragma once

#include "mpxlib.h"

// The record of a valid identifier (1..19, slot occupied), else null.
mpx_coord_sys *cs_lookup(int id) noexcept;

// Runs the one-time library initialisation if it has not succeeded yet.
// Returns 0, or -1 after reporting.
int cs_initialise() noexcept;
// 1 once the initialisation has succeeded.
int cs_initialised() noexcept;

// The record descriptors built by the initialisation.
enum class CsDescriptor { Units, Aoi, Resolution, Datum, Projection, Affine, Special };
struct_desc *cs_descriptor(CsDescriptor which) noexcept;

// Observers that the transformation layer installs, so that the
// coordinate-system layer never depends on it: called when a reference to
// system `id` is deleted, and when the initialisation clears the tables.
struct CsListener {
    void (*on_delete)(int id) noexcept;
    void (*on_clear)() noexcept;
};
void cs_set_listener(CsListener listener) noexcept;
