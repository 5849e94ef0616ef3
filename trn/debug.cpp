// The diagnostic dump: the library's internal state as console text, one
// value per line, sections chosen by flag bits.
#include "trn/trn_internal.hpp"

#include "cs/cs_table.hpp"
#include "frame/support.hpp"
#include "proj/registry.hpp"

#include <initializer_list>

namespace {

constexpr int kShowInitialised = 1;
constexpr int kShowRegistry = 2;
constexpr int kShowCoordinateSystems = 4;
constexpr int kShowTransformations = 8;
constexpr int kShowSummary = 16;

void heading(const char *text) noexcept { qfio_Printf("\n %s", text); }
void integer(long value) noexcept { qfio_Printf("\n L = %ld", value); }
void text(const char *value) noexcept { qfio_Printf("\n S = %s", value); }
void real(double value) noexcept { qfio_Printf("\n D = %20.14g", value); }

// Descriptors are missing only when an initialisation failed part-way.
void dump_record(struct_desc *d, void *record) noexcept {
    if (d)
        struct_dump(d, record);
}

void dump_registry() noexcept {
    heading(" --- BASE PROJECTION INFO");
    integer(proj_count());
    for (int index = 0; index < proj_count(); ++index) {
        const mpx_proj_entry *entry = proj_entry(index);
        if (entry)
            dump_record(entry->descriptor, nullptr);
    }
}

void dump_coordinate_system(int id, mpx_coord_sys &cs) noexcept {
    integer(id);
    text(cs.datum.name);
    text(cs.projection.name);
    text(cs.horizontal_label);
    text(cs.vertical_label);
    integer(cs.ref_count);
    integer(cs.locked);
    integer(cs.spare);
    integer(cs.status);
    dump_record(cs_descriptor(CsDescriptor::Datum), &cs.datum);
    dump_record(cs_descriptor(CsDescriptor::Projection), &cs.projection);
    dump_record(cs_descriptor(CsDescriptor::Aoi), &cs.aoi);
    dump_record(cs_descriptor(CsDescriptor::Units), &cs);
    integer(cs.projection.proj_index);
    const mpx_proj_entry *entry = proj_entry(cs.projection.proj_index);
    if (cs.params && entry)
        dump_record(entry->descriptor, cs.params);
}

void dump_coordinate_systems() noexcept {
    heading(" --- COORDINATE SYSTEM INFO");
    long references = 0;
    for (int id = 1; id <= MPX_MAX_COORD_SYS; ++id) {
        mpx_coord_sys *cs = cs_lookup(id);
        if (!cs)
            continue;
        dump_coordinate_system(id, *cs);
        references += cs->ref_count;
    }
    integer(references);
}

void dump_datum_change(const mpx_transformation &t) noexcept {
    if (t.datum_change_type == MPX_DATUM_CHANGE_NONE) {
        text("Datum change type = none");
    } else if (t.datum_change_type == MPX_DATUM_CHANGE_BURSA_WOLFE && t.change_data) {
        const auto &p = *static_cast<const mpx_bw_params *>(t.change_data);
        text("Datum change type = Bursa-Wolfe");
        integer(p.type);
        for (double value : {p.translation_x, p.translation_y, p.translation_z, p.rotation_x,
                             p.rotation_y, p.rotation_z, p.scale})
            real(value);
    } else if (t.datum_change_type == MPX_DATUM_CHANGE_GRID && t.change_data) {
        const auto &g = *static_cast<const mpx_grid_change *>(t.change_data);
        text("Datum change type = Grid");
        integer(g.inverse);
        integer(g.num_coeffs);
    } else {
        text("Unknown datum change mode");
    }
}

void dump_transformation(int slot, const mpx_transformation &t) noexcept {
    if (&t == trn_current())
        text("Current trans");
    integer(slot);
    for (int value : {t.source_id, t.target_id, t.status, t.pre_mode, t.post_mode, t.inner_mode})
        integer(value);
    real(t.input_scale);
    real(t.output_scale);
    for (int value : {t.robust_mode, t.target_proj_mode, t.window_flag})
        integer(value);
    for (double value :
         {t.window_low, t.window_high, t.source_ellipsoid.radius, t.source_ellipsoid.eccentricity,
          t.target_ellipsoid.radius, t.target_ellipsoid.eccentricity})
        real(value);
    dump_datum_change(t);
}

void dump_transformations() noexcept {
    heading(" --- TRANSFORMATION INFO");
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot) {
        if (const mpx_transformation *t = trn_slot(slot))
            dump_transformation(slot, *t);
    }
}

void dump_summary() noexcept {
    heading(" --- TRANSFORMATION SUMMARY INFO");
    qfio_Printf("\n Current : %ld -> %ld", static_cast<long>(trn_current_source()),
                static_cast<long>(trn_current_target()));
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot) {
        const mpx_transformation *t = trn_slot(slot);
        if (!t)
            continue;
        qfio_Printf("\n Trans : %ld -> %ld", static_cast<long>(t->source_id),
                    static_cast<long>(t->target_id));
        if (t == trn_current())
            qfio_Printf(" ** Current **");
        qfio_Printf("\n status = %d", t->status);
        qfio_Printf("\n Modes (pre,post,inner) = (%d, %d, %d)", t->pre_mode, t->post_mode,
                    t->inner_mode);
    }
}

} // namespace

extern "C" int mpx_debug(int flags) noexcept {
    heading(" === MPX_DEBUG()");
    if (flags & kShowInitialised)
        integer(cs_initialised());
    if (flags & kShowRegistry)
        dump_registry();
    if (flags & kShowCoordinateSystems)
        dump_coordinate_systems();
    if (flags & kShowTransformations)
        dump_transformations();
    if (flags & kShowSummary)
        dump_summary();
    return 0;
}
