// The transformation table: one cached record per (source, target) pair,
// the current selection, and the release of records whose coordinate
// systems go away.
#include "trn/trn_internal.hpp"

#include "cs/cs_table.hpp"
#include "frame/support.hpp"

#include <array>
#include <cstring>

namespace {

constexpr int kNoSystem = 0;
constexpr int kNumPointsUnset = -1;

struct TrnState {
    std::array<mpx_transformation *, MPX_MAX_TRANSFORMATIONS> slots{};
    int source = kNoSystem;
    int target = kNoSystem;
    mpx_transformation *current = nullptr;
    int listing_index = 0;
    bool listening = false;
};

TrnState g_trn;

void release_record(int slot) noexcept {
    mpx_transformation *t = g_trn.slots[static_cast<std::size_t>(slot)];
    if (!t)
        return;
    trn_release_change_data(t);
    if (g_trn.current == t)
        g_trn.current = nullptr;
    qmsc_HeapFree(t);
    g_trn.slots[static_cast<std::size_t>(slot)] = nullptr;
}

void on_system_deleted(int id) noexcept {
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot) {
        const mpx_transformation *t = g_trn.slots[static_cast<std::size_t>(slot)];
        if (t && (t->source_id == id || t->target_id == id))
            release_record(slot);
    }
    if (g_trn.source == id) {
        g_trn.source = kNoSystem;
        g_trn.current = nullptr;
    }
    if (g_trn.target == id) {
        g_trn.target = kNoSystem;
        g_trn.current = nullptr;
    }
}

// The initialisation empties the table; the records are freed rather than
// forgotten so that a repeated initialisation leaks nothing.
void on_tables_cleared() noexcept {
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot)
        release_record(slot);
    g_trn.source = kNoSystem;
    g_trn.target = kNoSystem;
    g_trn.current = nullptr;
}

void listen_to_coordinate_systems() noexcept {
    if (g_trn.listening)
        return;
    cs_set_listener(CsListener{on_system_deleted, on_tables_cleared});
    g_trn.listening = true;
}

// A pending record; the fields only the set-up fills read as zero until it
// runs (the dump may show them before).
void arm(mpx_transformation *t, int source, int target) noexcept {
    std::memset(t, 0, sizeof(TrnRecord)); // the record and what follows it
    t->source_id = source;
    t->target_id = target;
    t->status = kTrnPending;
    t->num_points = kNumPointsUnset;
    t->datum_change_type = MPX_DATUM_CHANGE_NONE;
    t->change_data = nullptr;
}

// A fresh record in the first empty slot, or the first record that was
// never set up (reused); null after reporting when neither is possible.
mpx_transformation *make_record(int source, int target) noexcept {
    for (auto &slot : g_trn.slots) {
        if (!slot) {
            void *block = qmsc_HeapMalloc(sizeof(TrnRecord));
            if (!block) {
                mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Memory shortage");
                return nullptr;
            }
            slot = static_cast<mpx_transformation *>(block);
            arm(slot, source, target);
            return slot;
        }
        if (slot->status == kTrnPending) {
            trn_release_change_data(slot);
            arm(slot, source, target);
            return slot;
        }
    }
    return nullptr;
}

int make_pair_current() noexcept {
    if (g_trn.source == kNoSystem || g_trn.target == kNoSystem)
        return 0;
    for (mpx_transformation *t : g_trn.slots) {
        if (t && t->source_id == g_trn.source && t->target_id == g_trn.target) {
            g_trn.current = t;
            return 0;
        }
    }
    g_trn.current = make_record(g_trn.source, g_trn.target);
    if (!g_trn.current) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Bad transformation creation");
        return -1;
    }
    return 0;
}

// Shared body of mpx_set_source and mpx_set_target.
int select_end(const int *id, int &end, const char *bad_id_message) noexcept {
    listen_to_coordinate_systems();
    const int value = id ? *id : kNoSystem;
    if (id && value == end)
        return 0;
    if (!cs_lookup(value)) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, bad_id_message);
        end = kNoSystem;
        g_trn.current = nullptr;
        return -1;
    }
    end = value;
    return make_pair_current();
}

} // namespace

mpx_transformation *trn_current() noexcept { return g_trn.current; }

mpx_transformation *trn_slot(int slot) noexcept {
    if (slot < 0 || slot >= MPX_MAX_TRANSFORMATIONS)
        return nullptr;
    return g_trn.slots[static_cast<std::size_t>(slot)];
}

int trn_current_source() noexcept { return g_trn.source; }
int trn_current_target() noexcept { return g_trn.target; }

int trn_listing_index() noexcept { return g_trn.listing_index; }
void trn_listing_set(int index) noexcept { g_trn.listing_index = index; }

extern "C" int mpx_set_source(const int *id) noexcept {
    return select_end(id, g_trn.source, "(mpx_set_source) bad id");
}

extern "C" int mpx_set_target(const int *id) noexcept {
    return select_end(id, g_trn.target, "(mpx_set_target) bad id");
}

extern "C" int mpx_inq_source(void) noexcept { return g_trn.source; }
extern "C" int mpx_inq_target(void) noexcept { return g_trn.target; }
