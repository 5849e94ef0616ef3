// Internal operations of the projection registry, used by coordinate
// systems (cs/), transformations (trn/) and the diagnostic dump.
#pragma once

#include "mpxlib.h"

// Entry by index: 0..count-1 for installed entries, MPX_SPECIAL_PROJECTION
// for the special entry of geodetic and geocentric systems; null otherwise.
mpx_proj_entry *proj_entry(int index) noexcept;
// Number of installed entries (the special entry is not counted).
int proj_count() noexcept;
// Fills the special entry (descriptor "special...", mpx_dummy routines).
void proj_set_special(struct_desc *descriptor) noexcept;
// Hands over the "Affine" descriptor (six doubles a0, a1, a2, b0, b1, b2)
// that heads every field entry's descriptor.
void proj_set_affine(struct_desc *descriptor) noexcept;

// Index of the first entry whose keyword equals `keyword` exactly, or -1.
int proj_find(const char *keyword) noexcept;

// Parameter record of a coordinate system (cs->projection.proj_index).
int proj_alloc_params(mpx_coord_sys *cs) noexcept; // size, or -1 (reported)
void proj_free_params(mpx_coord_sys *cs) noexcept;
int proj_init_params(mpx_coord_sys *cs) noexcept; // init status (reported)
mpx_proj_forward_fn proj_forward_of(const mpx_coord_sys *cs) noexcept;
mpx_proj_backward_fn proj_backward_of(const mpx_coord_sys *cs) noexcept;
int proj_mode_of(const mpx_coord_sys *cs) noexcept;
// 1 with *value set when the record has "long_cut", else 0.
int proj_long_cut(const mpx_coord_sys *cs, double *value) noexcept;

// "metres", "feet", ... for a metre factor within 0.001, else "????".
const char *proj_unit_name(double metres_per_unit) noexcept;

// Field (affine) wrappers over a base projection.
int proj_field_entry(const char *base_keyword) noexcept;
// affine: a0, a1, a2, b0, b1, b2. Returns a new heap record, or null.
void *proj_field_params(int field_index, int base_index, const double affine[6],
                        const void *base_params) noexcept;

// The notice printed after a projection parameter was changed by name.
int proj_mod_notice(const char *proj_name, const char *attribute, int type,
                    const void *value) noexcept;

// Placeholder routine of the special entry: reports and returns -999.
int mpx_dummy() noexcept;
