// Operations shared by the files of cs/ only.
#pragma once

#include "cs/cs_table.hpp"

// Slot count of the table: slot 0 is never used, identifiers are 1..19.
inline constexpr int kCsSlots = MPX_MAX_COORD_SYS + 1;

// A new record for the three names, or with `share` the first locked record
// with the same names and labels (one more reference). Returns the
// identifier; 0 when the table is full or memory is short; -1 for a name
// of 20 or more characters. *is_new tells which.
int cs_create(const char *datum_name, const char *projection_name, const char *units, bool share,
              bool *is_new) noexcept;
// Drops one reference; the last one releases the record and its parameter
// record. 0, or -1 (reported) for an invalid identifier.
int cs_delete(int id) noexcept;
// A new unlocked copy of a system: its identifier, or below 1 (reported).
int cs_copy(int id) noexcept;
// Fills a new record from the database. 0, or -1 after reporting.
int cs_db_load(mpx_coord_sys *cs) noexcept;

// Next identifier of the enumeration (a restart first when `restart`), 0
// at its end.
int cs_next(bool restart) noexcept;

// Releases every record and tells the listener to clear the transformations.
void cs_clear_table() noexcept;
void cs_set_initialised() noexcept;
// The steps of the initialisation that have succeeded, so that a retry
// after a failure runs only the others.
struct CsInitProgress {
    bool table_cleared = false;
    bool tables_opened = false;
    bool base_installed = false;
};
CsInitProgress &cs_init_progress() noexcept;
void cs_set_descriptor(CsDescriptor which, struct_desc *descriptor) noexcept;
// Tells the listener that a reference to `id` was deleted.
void cs_notify_delete(int id) noexcept;
