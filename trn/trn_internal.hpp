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

// The longitudes a backward result may have when the source projection's
// forward only takes longitudes inside a window (its ".long_cut" and the
// turn after it): the window and one turn either side, since some inverses
// give their longitudes in another turn (the bipolar conic's window starts
// at its central meridian plus pi). A result beyond that is no point of the
// map but the inverse of a point far outside the projection's area (the
// Transverse Mercator series at easting 1e8 gives millions of degrees).
struct TrnSourceWindow {
    bool applies = false;
    double low = 0.0, high = 0.0;
};

// What the table allocates for each pair: the public record first (so a
// pointer to the record is a pointer to the whole), then what only the
// library's own pipeline reads.
struct TrnRecord {
    mpx_transformation record;
    TrnSourceWindow source_window;
};

// The source window of a record the table allocated.
inline const TrnSourceWindow &trn_source_window(const mpx_transformation &t) noexcept {
    return reinterpret_cast<const TrnRecord &>(t).source_window;
}

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
