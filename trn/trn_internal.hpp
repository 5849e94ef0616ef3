// Internal operations of the transformation layer, shared by its files and
// reachable from the white-box tests.
#pragma once

#include "mpxlib.h"

// Values of a record's `status`.
constexpr int kTrnPending = -1;
constexpr int kTrnReady = 0;
constexpr int kTrnFailed = 3;

// Values of a record's `inner_mode` (geocentric counts as geodetic).
constexpr int kInnerGeodeticToProjected = 1;
constexpr int kInnerProjectedToGeodetic = 2;
constexpr int kInnerProjectedToProjected = 3;
constexpr int kInnerGeodeticToGeodetic = 4;

// --- The transformation table (trn_table.cpp owns the state) -------------

// The current transformation, or null.
mpx_transformation *trn_current() noexcept;
// The record in slot 0..MPX_MAX_TRANSFORMATIONS-1, or null.
mpx_transformation *trn_slot(int slot) noexcept;
// The current source and target identifiers, 0 for none.
int trn_current_source() noexcept;
int trn_current_target() noexcept;
// Cursor of mpx_inq_next_base: the registry index listed next.
int trn_listing_index() noexcept;
void trn_listing_set(int index) noexcept;

// --- Set-up (trn_init.cpp) -------------------------------------------------

// Sets a record up from its two systems; 0, or -1 with status 3.
int trn_init(mpx_transformation *t) noexcept;
// Runs a pending set-up (status -1) and leaves a ready or failed one alone.
void trn_settle(mpx_transformation *t) noexcept;

// --- Datum change (trn_datum_load.cpp) -------------------------------------

// Finds the datum change of a record's two datums in the database and
// attaches it; 0, or -1 after reporting.
int trn_db_load(mpx_transformation *t) noexcept;
// Loads the "datumcha" record of `key` and attaches its change data.
int trn_db_datum_ch_load(mpx_transformation *t, const char *key) noexcept;
// Closes a grid chain the record holds, frees its change data and marks it
// as having none.
void trn_release_change_data(mpx_transformation *t) noexcept;
// The routine the point pipeline calls for a datum-change type, or null for
// a type the library does not know.
mpx_datum_change_fn trn_datum_change_routine(int datum_change_type) noexcept;
