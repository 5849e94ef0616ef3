// Reading and changing a coordinate system's attributes by entity and
// attribute name: units, datum, area of interest, resolution, the
// projection's name and metre factor, and every projection parameter.
// Both operations go through the structure descriptors, so the iteration
// keywords ("init", "init-.", "next") list an entity's attributes.
//
// Writes are limited to unlocked systems: the area of interest, the
// resolution, and the parameters of a modifiable projection instance (one
// whose projection name is "mod_" followed by exactly its base keyword).
// A parameter change re-runs the projection's init at once and is
// announced on the console.
#include "cs/cs_private.hpp"
#include "proj/registry.hpp"

#include <cstring>

namespace {

constexpr int kInvalidId = -1;
constexpr int kUnknownInquiryEntity = -4;
constexpr int kDatumRefused = -1;
constexpr int kLocked = -2;
constexpr int kNotModifiable = -4;
constexpr int kAttributeRefused = -5;
constexpr int kUnknownModEntity = -6;

constexpr char kModifiablePrefix[] = "mod_";

int read_id(const int *id) { return id ? *id : 0; }

bool is(const char *text, const char *expected) { return text && std::strcmp(text, expected) == 0; }

// The two attributes of the projection block; every other projection
// attribute lives in the parameter record.
bool names_projection_block(const char *attribute) {
    return is(attribute, "name") || is(attribute, "metre_factor");
}

struct_desc *parameter_descriptor(const mpx_coord_sys &cs) {
    const mpx_proj_entry *entry = proj_entry(cs.projection.proj_index);
    return entry ? entry->descriptor : nullptr;
}

// "mod_" + the keyword of the entry that computes the instance, exactly.
bool is_modifiable(const mpx_coord_sys &cs) {
    const struct_desc *d = parameter_descriptor(cs);
    if (!d || !d->name)
        return false;
    const std::size_t prefix = sizeof kModifiablePrefix - 1;
    return std::strncmp(cs.projection.name, kModifiablePrefix, prefix) == 0 &&
           std::strcmp(cs.projection.name + prefix, d->name) == 0;
}

int inquire_projection(mpx_coord_sys &cs, char *attribute, char *type, void *value,
                       int value_size) {
    if (cs.coord_type != MPX_COORD_PROJECTED) {
        mpx_combine_error(MPX_CLASS_USER, 3, "No projection parameters to inquire");
        return 0;
    }
    if (names_projection_block(attribute))
        return struct_inq(cs_descriptor(CsDescriptor::Projection), &cs.projection, attribute, type,
                          value, value_size);
    return struct_inq(parameter_descriptor(cs), cs.params, attribute, type, value, value_size);
}

int modify_projection(mpx_coord_sys &cs, const char *attribute, const char *type,
                      const void *value) {
    if (cs.coord_type != MPX_COORD_PROJECTED) {
        mpx_combine_error(MPX_CLASS_USER, 3, "No projection parameters to modify");
        return 0;
    }
    if (!is_modifiable(cs)) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "Projection instance is not modifiable");
        return kNotModifiable;
    }
    // struct_mod refuses a missing type or value, so *type is safe below.
    if (struct_mod(parameter_descriptor(cs), cs.params, attribute, type, value) != 0) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3,
                          "(mpx_mod_coord_sys) unmodifiable projection attribute");
        return kAttributeRefused;
    }
    // The derived fields follow the new value at once; a failed init keeps
    // the new value and is returned after the notice.
    const int status = proj_init_params(&cs);
    proj_mod_notice(cs.projection.name, attribute, *type, value);
    return status;
}

} // namespace

extern "C" int mpx_inq_coord_sys(const int *id, const char *entity, char *attribute, char *type,
                                 void *value, int value_size) noexcept {
    mpx_coord_sys *cs = cs_lookup(read_id(id));
    if (!cs) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_inq_coord_sys) id not found");
        return kInvalidId;
    }
    if (is(entity, "aoi"))
        return struct_inq(cs_descriptor(CsDescriptor::Aoi), &cs->aoi, attribute, type, value,
                          value_size);
    if (is(entity, "resolution"))
        return struct_inq(cs_descriptor(CsDescriptor::Resolution), cs, attribute, type, value,
                          value_size);
    if (is(entity, "units"))
        return struct_inq(cs_descriptor(CsDescriptor::Units), cs, attribute, type, value,
                          value_size);
    if (is(entity, "datum"))
        return struct_inq(cs_descriptor(CsDescriptor::Datum), &cs->datum, attribute, type, value,
                          value_size);
    if (is(entity, "projection"))
        return inquire_projection(*cs, attribute, type, value, value_size);
    mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_inq_coord_sys) unknown entity");
    return kUnknownInquiryEntity;
}

extern "C" int mpx_mod_coord_sys(const int *id, const char *entity, const char *attribute,
                                 const char *type, const void *value) noexcept {
    mpx_coord_sys *cs = cs_lookup(read_id(id));
    if (!cs) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_mod_coord_sys) id not found");
        return kInvalidId;
    }
    if (cs->locked) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_mod_coord_sys) coord sys is locked");
        return kLocked;
    }
    if (is(entity, "aoi"))
        return struct_mod(cs_descriptor(CsDescriptor::Aoi), &cs->aoi, attribute, type, value);
    if (is(entity, "resolution"))
        return struct_mod(cs_descriptor(CsDescriptor::Resolution), cs, attribute, type, value);
    if (is(entity, "datum")) {
        mpx_combine_error(MPX_CLASS_PROGRAM, 3, "No DATUM modifications allowed");
        return kDatumRefused;
    }
    if (is(entity, "projection"))
        return modify_projection(*cs, attribute, type, value);
    mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(mpx_mod_coord_sys) unknown entity");
    return kUnknownModEntity;
}
