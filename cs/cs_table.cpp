// The coordinate-system table: the process-wide slots, the enumeration
// cursor, the initialisation flag, the record descriptors and the
// transformation layer's listener.
#include "cs/cs_private.hpp"
#include "frame/support.hpp"
#include "proj/registry.hpp"

#include <array>
#include <cstring>

namespace {

constexpr int kUnset = -1;
constexpr std::size_t kDescriptorCount = 7;

struct CsState {
    std::array<mpx_coord_sys *, kCsSlots> slots{};
    // Enumeration: the slot under the cursor and how many of its references
    // are still to be yielded. A never-started enumeration is at its end.
    int cursor = kCsSlots;
    int remaining = kUnset;
    bool initialised = false;
    CsInitProgress init_progress{};
    std::array<struct_desc *, kDescriptorCount> descriptors{};
    CsListener listener{};
};

CsState g_cs;

mpx_coord_sys *&slot(int id) { return g_cs.slots[static_cast<std::size_t>(id)]; }

// The units text: the horizontal label before the first '/', the vertical
// label after it. The caller has checked that the text fits a label.
void split_units(const char *units, char *horizontal, char *vertical) {
    const char *slash = std::strchr(units, '/');
    const std::size_t length = slash ? static_cast<std::size_t>(slash - units) : std::strlen(units);
    std::memcpy(horizontal, units, length);
    horizontal[length] = '\0';
    std::strcpy(vertical, slash ? slash + 1 : "");
}

bool fits_name(const char *text) { return std::strlen(text) < MPX_NAME_SIZE; }

int shared_record(const char *datum_name, const char *projection_name, const char *units) {
    char horizontal[MPX_NAME_SIZE];
    char vertical[MPX_NAME_SIZE];
    split_units(units, horizontal, vertical);
    for (int id = 1; id < kCsSlots; ++id) {
        const mpx_coord_sys *cs = slot(id);
        if (cs && cs->spare == 0 && cs->locked == 1 &&
            std::strcmp(cs->datum.name, datum_name) == 0 &&
            std::strcmp(cs->projection.name, projection_name) == 0 &&
            std::strcmp(cs->horizontal_label, horizontal) == 0 &&
            std::strcmp(cs->vertical_label, vertical) == 0)
            return id;
    }
    return 0;
}

void release(int id) {
    mpx_coord_sys *cs = slot(id);
    proj_free_params(cs);
    qmsc_HeapFree(cs);
    slot(id) = nullptr;
}

} // namespace

mpx_coord_sys *cs_lookup(int id) noexcept { return id >= 1 && id < kCsSlots ? slot(id) : nullptr; }

int cs_create(const char *datum_name, const char *projection_name, const char *units, bool share,
              bool *is_new) noexcept {
    *is_new = false;
    // A missing unit text means no labels; a missing name cannot be loaded.
    const char *unit_text = units ? units : "";
    if (!datum_name || !projection_name) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Missing name (cs_create)");
        return -1;
    }
    if (!fits_name(datum_name) || !fits_name(projection_name) || !fits_name(unit_text)) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Name too big");
        return -1;
    }
    if (share) {
        const int id = shared_record(datum_name, projection_name, unit_text);
        if (id > 0) {
            ++slot(id)->ref_count;
            return id;
        }
    }
    int id = 1;
    while (id < kCsSlots && slot(id))
        ++id;
    if (id == kCsSlots) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Too many coordinate systems (cs_create)");
        return 0;
    }
    auto *cs = static_cast<mpx_coord_sys *>(qmsc_HeapMalloc(sizeof(mpx_coord_sys)));
    if (!cs) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Memory shortage (cs_create)");
        return 0;
    }
    // Zero-filled: the vertical factor and the area's y bounds, which
    // nothing sets, read as 0.
    std::memset(cs, 0, sizeof *cs);
    std::strcpy(cs->datum.name, datum_name);
    std::strcpy(cs->projection.name, projection_name);
    split_units(unit_text, cs->horizontal_label, cs->vertical_label);
    cs->resolution = 0.0;
    cs->aoi.x0 = 1.0; // an empty area: x0 above x1
    cs->aoi.x1 = 0.0;
    cs->ref_count = 1;
    slot(id) = cs;
    *is_new = true;
    return id;
}

int cs_delete(int id) noexcept {
    mpx_coord_sys *cs = cs_lookup(id);
    if (!cs) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 0, "Deleting non-existent coord_sys (cs_delete)");
        return -1;
    }
    if (--cs->ref_count <= 0)
        release(id);
    return 0;
}

int cs_next(bool restart) noexcept {
    if (restart) {
        g_cs.cursor = 1;
        g_cs.remaining = kUnset;
    }
    for (; g_cs.cursor < kCsSlots; ++g_cs.cursor, g_cs.remaining = kUnset) {
        const mpx_coord_sys *cs = slot(g_cs.cursor);
        if (!cs)
            continue;
        if (g_cs.remaining == kUnset)
            g_cs.remaining = cs->ref_count;
        if (g_cs.remaining > 0) {
            --g_cs.remaining;
            return g_cs.cursor;
        }
    }
    return 0;
}

void cs_clear_table() noexcept {
    // Run once, by the first initialisation; should it run again, no record
    // is lost without being released.
    for (int id = 1; id < kCsSlots; ++id)
        if (slot(id))
            release(id);
    if (g_cs.listener.on_clear)
        g_cs.listener.on_clear();
}

int cs_initialised() noexcept { return g_cs.initialised ? 1 : 0; }

void cs_set_initialised() noexcept { g_cs.initialised = true; }

CsInitProgress &cs_init_progress() noexcept { return g_cs.init_progress; }

struct_desc *cs_descriptor(CsDescriptor which) noexcept {
    return g_cs.descriptors[static_cast<std::size_t>(which)];
}

void cs_set_descriptor(CsDescriptor which, struct_desc *descriptor) noexcept {
    g_cs.descriptors[static_cast<std::size_t>(which)] = descriptor;
}

void cs_set_listener(CsListener listener) noexcept { g_cs.listener = listener; }

void cs_notify_delete(int id) noexcept {
    if (g_cs.listener.on_delete)
        g_cs.listener.on_delete(id);
}
