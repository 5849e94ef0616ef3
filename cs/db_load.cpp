// Loading a new coordinate system from the database: the datum's
// ellipsoid, the kind of coordinates and their unit, and for a projected
// system its projection instance, judged against the datum it was defined
// for. A "field" projection is an affine grid over a reference projection.
#include "cs/cs_private.hpp"
#include "proj/registry.hpp"

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string_view>

namespace {

constexpr char kMsgLoad[] = "(cs_db_load)";
constexpr char kMsgFieldCreation[] = "Error creating field projection";

// A database line, hence any field, fits the database's 512-byte buffer.
constexpr std::size_t kFieldRoom = 512;
constexpr std::size_t kTypeSize = 20;     // "type": up to 19 characters
constexpr std::size_t kMeridianSize = 12; // prime-meridian names: up to 11
constexpr std::size_t kRefNameSize = 40;  // field references: up to 39

// A projection stated for an ellipsoid agrees with the datum's when its
// semi-major axis lies within 0.1 m and its eccentricity within 4e-7.
constexpr double kRadiusAgreement = 0.1;
constexpr double kEccentricityAgreement = 4e-07;

struct AngularUnit {
    const char *label;
    double radians; // radians per unit
};
constexpr std::array<AngularUnit, 3> kAngularUnits{{
    {"degrees", std::numbers::pi / 180.0},
    {"radians", 1.0},
    {"grads", std::numbers::pi / 200.0},
}};

int fail(int class_code, const char *text) {
    mpx_combine_error(class_code, 0, text);
    return -1;
}

bool select(const char *table, const char *key) {
    return gdb_set_table(table) == 0 && gdb_set_name_key(key) == 0;
}

bool load_double(const char *column, double *value) { return gdb_load(column, "d", value) == 0; }

// A text column without the newline and blanks that a line's last field
// keeps, cut to the room of `out`.
bool load_text(const char *column, char *out, std::size_t size) {
    char field[kFieldRoom] = {};
    if (gdb_load(column, "s", field) != 0)
        return false;
    std::size_t length = std::strlen(field);
    while (length > 0 && std::strchr(" \r\n", field[length - 1]))
        --length;
    length = length < size ? length : size - 1;
    std::memcpy(out, field, length);
    out[length] = '\0';
    return true;
}

// Every scale and ellipsoid division below needs a positive, finite factor;
// an empty or non-numeric column reads as 0.
bool valid_factor(double metres) {
    if (metres > 0.0 && std::isfinite(metres))
        return true;
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Bad metre factor");
    return false;
}

// A departure from reading the columns as they come: an empty or
// non-numeric radius reads as 0 and an eccentricity of 1 or more leaves no
// ellipsoid, and either would be carried silently into every point (NaN or
// garbage coordinates with status 0). Refused here, once, at creation.
bool valid_ellipsoid(double radius, double eccentricity) {
    if (radius > 0.0 && std::isfinite(radius) && eccentricity >= 0.0 && eccentricity < 1.0)
        return true;
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Bad ellipsoid (cs_db_load)");
    return false;
}

int load_datum(mpx_coord_sys *cs, char (&meridian)[kMeridianSize]) {
    mpx_datum &datum = cs->datum;
    if (!select("datum_sp", datum.name))
        return fail(MPX_CLASS_USER, "Datum not found");
    if (!load_double("radius", &datum.radius) ||
        !load_double("eccentricity", &datum.eccentricity) ||
        !load_double("metre_factor", &datum.metre_factor) || !valid_factor(datum.metre_factor))
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    if (!valid_ellipsoid(datum.radius, datum.eccentricity))
        return -1;
    datum.prime_merid = 0.0;
    // Optional: a datum without a prime-meridian name keeps the empty text.
    load_text("prime_merid", meridian, sizeof meridian);
    return 0;
}

int load_geodetic(mpx_coord_sys *cs) {
    cs->coord_type = MPX_COORD_GEODETIC;
    cs->projection.proj_index = MPX_SPECIAL_PROJECTION;
    char *label = cs->horizontal_label;
    if (label[0] == '\0' || std::strcmp(label, "natural") == 0)
        std::strcpy(label, "degrees");
    for (const AngularUnit &unit : kAngularUnits) {
        if (std::strcmp(label, unit.label) == 0) {
            cs->horizontal_factor = unit.radians;
            return 0;
        }
    }
    return fail(MPX_CLASS_PROGRAM, "Bad Angular unit");
}

// The "project" record's keyword and metre factor.
int load_projection_kind(mpx_coord_sys *cs, char (&type)[kTypeSize]) {
    if (!load_text("type", type, sizeof type) ||
        !load_double("metre_factor", &cs->projection.metre_factor) ||
        !valid_factor(cs->projection.metre_factor))
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    return 0;
}

struct FieldSetUp {
    char ref_proj_name[kRefNameSize];
    char ref_datum_name[kRefNameSize];
    double affine[6]; // a0, a1, a2, b0, b1, b2
    double metre_factor;
};

// The field record, then the reference projection's "project" record in
// place of the field's own.
int load_field(mpx_coord_sys *cs, FieldSetUp &field, char (&type)[kTypeSize]) {
    field.metre_factor = cs->projection.metre_factor;
    double x_offset = 0.0;
    double y_offset = 0.0;
    double x_xfact = 0.0;
    double x_yfact = 0.0;
    if (!select("field", cs->projection.name) ||
        !load_text("ref_proj_name", field.ref_proj_name, kRefNameSize) ||
        !load_text("ref_datum_name", field.ref_datum_name, kRefNameSize) ||
        !load_double("map_x_offset", &x_offset) || !load_double("map_y_offset", &y_offset) ||
        !load_double("map_x_xfact", &x_xfact) || !load_double("map_x_yfact", &x_yfact)) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "error loading field data");
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    }
    // A similarity: rotation and scale from two coefficients, then a shift.
    const double affine[6] = {x_offset, x_xfact, x_yfact, y_offset, -x_yfact, x_xfact};
    std::memcpy(field.affine, affine, sizeof affine);
    if (std::strcmp(field.ref_datum_name, cs->datum.name) != 0)
        cs->status |= MPX_STATUS_OTHER_DATUM;
    if (!select("project", field.ref_proj_name))
        return fail(MPX_CLASS_USER, "Field ref-projection not found");
    return load_projection_kind(cs, type);
}

// What the "project" record says the projection was defined for.
struct DefinedFor {
    double radius = 0.0; // 0: not stated
    double eccentricity = 0.0;
    char meridian[kMeridianSize] = {};
};

DefinedFor load_defined_for() {
    DefinedFor d;
    if (!load_double("radius", &d.radius))
        d.radius = 0.0;
    if (d.radius > 0.0)
        load_double("eccentricity", &d.eccentricity);
    load_text("prime_merid", d.meridian, sizeof d.meridian);
    return d;
}

// An empty prime-meridian name in the projection's record states nothing,
// like a radius of 0.
void judge_consistency(mpx_coord_sys *cs, const DefinedFor &d, const char *datum_meridian) {
    const mpx_datum &datum = cs->datum;
    if (d.radius > 0.0 && (std::fabs(d.radius * cs->projection.metre_factor -
                                     datum.radius * datum.metre_factor) > kRadiusAgreement ||
                           std::fabs(d.eccentricity - datum.eccentricity) > kEccentricityAgreement))
        cs->status |= MPX_STATUS_OTHER_DATUM;
    if (d.meridian[0] != '\0' && std::strcmp(d.meridian, datum_meridian) != 0)
        cs->status |= MPX_STATUS_OTHER_PRIME_MERIDIAN;
}

// Writes a double at an entry's declared offset, which must lie inside the
// record the entry declared.
bool put_double(const mpx_coord_sys *cs, const mpx_proj_entry &entry, int offset, double value) {
    if (offset == -1)
        return true;
    if (offset < 0 || offset > entry.param_size - static_cast<int>(sizeof value))
        return false;
    std::memcpy(static_cast<unsigned char *>(cs->params) + offset, &value, sizeof value);
    return true;
}

// The instance: its parameters from the keyword's table, the datum's
// ellipsoid in the projection's unit.
int load_instance(mpx_coord_sys *cs, const char *type, const char *key) {
    const int index = proj_find(type);
    if (index < 0)
        return fail(MPX_CLASS_SYSTEM, "Base projection not found");
    cs->projection.proj_index = index;
    if (proj_alloc_params(cs) < 0)
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    const mpx_proj_entry &entry = *proj_entry(index);
    const mpx_datum &datum = cs->datum;
    const double radius = datum.radius * (datum.metre_factor / cs->projection.metre_factor);
    if (!select(type, key) || gdb_struct_load(entry.descriptor, cs->params) != 0 ||
        !put_double(cs, entry, entry.radius_offset, radius) ||
        !put_double(cs, entry, entry.ecc_offset, datum.eccentricity))
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    return 0;
}

// The base record moves into a field record behind the affine map.
int attach_field(mpx_coord_sys *cs, const FieldSetUp &field, const char *type) {
    const int field_index = proj_field_entry(type);
    if (field_index < 0) {
        proj_free_params(cs);
        return fail(MPX_CLASS_SYSTEM, kMsgFieldCreation);
    }
    void *record =
        proj_field_params(field_index, cs->projection.proj_index, field.affine, cs->params);
    if (!record)
        return fail(MPX_CLASS_SYSTEM, kMsgFieldCreation);
    proj_free_params(cs);
    cs->params = record;
    cs->projection.proj_index = field_index;
    cs->projection.metre_factor = field.metre_factor;
    return 0;
}

int load_projected(mpx_coord_sys *cs, const char *datum_meridian) {
    cs->coord_type = MPX_COORD_PROJECTED;
    cs->horizontal_factor = 1.0;
    if (!select("project", cs->projection.name))
        return fail(MPX_CLASS_USER, "Projection not found");
    char type[kTypeSize] = {};
    if (load_projection_kind(cs, type) != 0)
        return -1;
    cs->horizontal_factor = cs->projection.metre_factor;
    std::strcpy(cs->horizontal_label, proj_unit_name(cs->projection.metre_factor));

    FieldSetUp field{};
    const bool is_field = std::string_view(type) == "field";
    if (is_field && load_field(cs, field, type) != 0)
        return -1;
    const DefinedFor defined_for = load_defined_for();
    const char *key = is_field ? field.ref_proj_name : cs->projection.name;
    if (load_instance(cs, type, key) != 0)
        return -1;
    judge_consistency(cs, defined_for, datum_meridian);
    if (is_field && attach_field(cs, field, type) != 0)
        return -1;
    if (proj_init_params(cs) != 0)
        return fail(MPX_CLASS_SYSTEM, kMsgLoad);
    return 0;
}

} // namespace

int cs_db_load(mpx_coord_sys *cs) noexcept {
    if (!cs)
        return -1;
    char datum_meridian[kMeridianSize] = {};
    if (load_datum(cs, datum_meridian) != 0)
        return -1;
    if (std::strcmp(cs->projection.name, "GEODETIC") == 0)
        return load_geodetic(cs);
    if (std::strcmp(cs->projection.name, "GEOCENTRIC") == 0) {
        cs->coord_type = MPX_COORD_GEOCENTRIC;
        cs->projection.proj_index = MPX_SPECIAL_PROJECTION;
        cs->horizontal_factor = 1.0;
        return 0;
    }
    return load_projected(cs, datum_meridian);
}
