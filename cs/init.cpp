// The library's one-time initialisation, run by the first creation of a
// coordinate system (or the first listing of base projections).
#include "cs/cs_private.hpp"
#include "proj/registry.hpp"

#include <initializer_list>

namespace {

constexpr char kString = MPX_TYPE_STRING;
constexpr char kDouble = MPX_TYPE_DOUBLE;

struct Attribute {
    const char *name; // with its access prefix
    void *field;
    char type;
};

struct_desc *describe(const char *name, void *sample, std::initializer_list<Attribute> attributes) {
    if (struct_begin(name, sample) != 0)
        return nullptr;
    for (const Attribute &a : attributes)
        struct_add(a.name, a.field, a.type);
    return struct_end();
}

// Each descriptor is built on a sample that only lends its addresses.
struct_desc *make(CsDescriptor which) {
    mpx_coord_sys cs{};
    double affine[6] = {};
    switch (which) {
    case CsDescriptor::Units:
        return describe("units", &cs,
                        {{"%horizontal_label", cs.horizontal_label, kString},
                         {"%horizontal_factor", &cs.horizontal_factor, kDouble},
                         {"%vertical_label", cs.vertical_label, kString},
                         {"%vertical_factor", &cs.vertical_factor, kDouble}});
    case CsDescriptor::Aoi:
        return describe("aoi", &cs.aoi,
                        {{"x0", &cs.aoi.x0, kDouble},
                         {"x1", &cs.aoi.x1, kDouble},
                         {"y0", &cs.aoi.y0, kDouble},
                         {"y1", &cs.aoi.y1, kDouble}});
    case CsDescriptor::Resolution:
        return describe("resolution", &cs, {{"resolution", &cs.resolution, kDouble}});
    case CsDescriptor::Datum:
        return describe("datum", &cs.datum,
                        {{"%name", cs.datum.name, kString},
                         {"%radius", &cs.datum.radius, kDouble},
                         {"%eccentricity", &cs.datum.eccentricity, kDouble},
                         {"%metre_factor", &cs.datum.metre_factor, kDouble},
                         {"%prime_merid", &cs.datum.prime_merid, kDouble}});
    case CsDescriptor::Projection:
        return describe("projection", &cs.projection,
                        {{"%name", cs.projection.name, kString},
                         {"%metre_factor", &cs.projection.metre_factor, kDouble}});
    case CsDescriptor::Affine:
        return describe("Affine", affine,
                        {{"%map_x_offset", &affine[0], kDouble},
                         {"%map_x_xfact", &affine[1], kDouble},
                         {"%map_x_yfact", &affine[2], kDouble},
                         {"%map_y_offset", &affine[3], kDouble},
                         {".map_y_xfact", &affine[4], kDouble},
                         {".map_y_yfact", &affine[5], kDouble}});
    case CsDescriptor::Special:
        return describe("special...", &cs, {});
    }
    return nullptr;
}

// Builds, in their fixed order, the descriptors still missing: those of an
// earlier, failed initialisation are kept rather than built twice.
bool build_descriptors() {
    for (CsDescriptor which :
         {CsDescriptor::Units, CsDescriptor::Aoi, CsDescriptor::Resolution, CsDescriptor::Datum,
          CsDescriptor::Projection, CsDescriptor::Affine, CsDescriptor::Special}) {
        if (!cs_descriptor(which))
            cs_set_descriptor(which, make(which));
        if (!cs_descriptor(which))
            return false;
    }
    return true;
}

} // namespace

// A failed initialisation is run again by the next creation, but only the
// steps that have not yet succeeded run again. Clearing the table in
// particular happens once: the systems created meanwhile (a creation goes on
// when the initialisation failed) must not be released by a retry, nor
// their identifiers handed to new systems behind the host's back.
int cs_initialise() noexcept {
    if (cs_initialised())
        return 0;
    CsInitProgress &done = cs_init_progress();
    if (!done.table_cleared) {
        cs_clear_table();
        done.table_cleared = true;
    }
    // All four are opened even when one fails, so one report covers them; a
    // table opened once stays open, and selecting it again costs nothing.
    if (!done.tables_opened) {
        bool opened = true;
        for (const char *table : {"datum_sp", "project", "datumcha", "bursawol"})
            opened = gdb_set_table(table) == 0 && opened;
        if (!opened) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 0, "initialising the database");
            return -1;
        }
        done.tables_opened = true;
    }
    if (!build_descriptors()) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "building the record descriptors");
        return -1;
    }
    proj_set_special(cs_descriptor(CsDescriptor::Special));
    proj_set_affine(cs_descriptor(CsDescriptor::Affine));
    if (!done.base_installed) {
        if (mpx_base_install() != 0) {
            mpx_combine_error(MPX_CLASS_SYSTEM, 0, "installing base projections");
            return -1;
        }
        done.base_installed = true;
    }
    cs_set_initialised();
    return 0;
}
