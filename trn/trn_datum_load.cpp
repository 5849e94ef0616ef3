// Datum-change search and loading: table "datumcha" names, for a key
// "SOURCE>TARGET", the kind of change; tables "bursawol", "smith" and
// "nadcon" hold its data under the same key.
#include "trn/trn_internal.hpp"

#include "trn/inspect.hpp"

#include "cs/cs_table.hpp"
#include "frame/error.hpp"
#include "frame/support.hpp"
#include "proj/registry.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kDatumChangeTable[] = "datumcha";
constexpr char kBursaWolfeTable[] = "bursawol";
constexpr char kBursaWolfeType[] = "bursawol";
constexpr double kPartsPerMillion = 1e-6;
// A datum whose name begins so is one the database treats as identical to
// every other (an engineering or local frame): no change is looked up.
constexpr char kIdentityDatumPrefix[] = "USC";
constexpr char kToWgs84[] = ">WGS84";

// A database field can fill a whole 512-byte line, so texts are loaded
// into buffers of that size before their length is judged.
constexpr std::size_t kFieldSize = 512;
constexpr std::size_t kControlFileMax = 47;
constexpr std::size_t kGridPathSize = 80;
constexpr char kGridPathTooLong[] = "grid file path of 80 characters or more:";
constexpr char kGridPathBlank[] = "grid file path holds a blank:";
// Every name of a control file (at most 47 characters, so at most 24
// names) becomes a path under 80 characters in the chain's list.
constexpr std::size_t kGridChainRoom = (kControlFileMax + 1) / 2 * kGridPathSize;
// Two names of at most 19 characters around ">", or one before ">WGS84".
constexpr std::size_t kKeySize = 2 * MPX_NAME_SIZE;

struct GridKind {
    const char *type;
    const char *table;
    const char *read_error;
    const char *open_error;
};

constexpr GridKind kSmith{"smith", "smith", "error reading datum change (Smith record)",
                          "error opening grid/datum change file (Smith)"};
constexpr GridKind kNadcon{"nadcon", "nadcon", "error reading datum change (NADCON record)",
                           "error opening grid/datum change file (NADCON)"};

// The pipeline calls every datum change through one routine type; these
// adapters restore the record's own type before calling the geodesy layer.
int no_datum_change(const void *, const mpx_ellipsoid *, const mpx_ellipsoid *, double, double,
                    double, double *, double *, double *) noexcept {
    return mpx_dummy();
}

int bursa_wolfe_change(const void *data, const mpx_ellipsoid *source, const mpx_ellipsoid *target,
                       double lon, double lat, double height, double *lon_out, double *lat_out,
                       double *height_out) noexcept {
    return mpx_bw_gd_to_gd(static_cast<const mpx_bw_params *>(data), source, target, lon, lat,
                           height, lon_out, lat_out, height_out);
}

int grid_change(const void *data, const mpx_ellipsoid *source, const mpx_ellipsoid *target,
                double lon, double lat, double height, double *lon_out, double *lat_out,
                double *height_out) noexcept {
    return mpx_grid_gd_to_gd(static_cast<const mpx_grid_change *>(data), source, target, lon, lat,
                             height, lon_out, lat_out, height_out);
}

void attach(mpx_transformation &t, int type, void *data) noexcept {
    trn_release_change_data(&t);
    t.datum_change_type = type;
    t.change_data = data;
}

void report_memory_shortage() noexcept {
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "memory shortage (trn_db_datum_ch_load)");
}

bool starts_with(const char *text, const char *prefix) noexcept {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The last column of a table keeps its line end; a file name must not.
void trim_line_end(char *text) noexcept {
    std::size_t length = std::strlen(text);
    while (length > 0 &&
           (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' '))
        text[--length] = '\0';
}

// A numeric field read strictly: the whole text (blanks and the line end
// aside) must be one finite number. Read as the database reads numbers, an
// empty or non-numeric field would become 0 and "nan" or "inf" would ride
// into every point: a datum change silently wrong by its whole size.
bool load_finite(const char *column, double *value) noexcept {
    char field[kFieldSize] = {};
    if (gdb_load(column, "s", field) != 0)
        return false;
    trim_line_end(field);
    char *end = nullptr;
    const double number = std::strtod(field, &end);
    if (end == field || *end != '\0' || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

int load_bursa_wolfe(mpx_transformation &t, const char *key) noexcept {
    auto *p = static_cast<mpx_bw_params *>(qmsc_HeapMalloc(sizeof(mpx_bw_params)));
    if (!p) {
        report_memory_shortage();
        return -1;
    }
    *p = mpx_bw_params{};
    p->type = MPX_BW_FULL;
    attach(t, MPX_DATUM_CHANGE_BURSA_WOLFE, p);
    trn_note_change(&t, kBursaWolfeType, nullptr);

    gdb_set_table(kBursaWolfeTable);
    gdb_set_name_key(key);
    double scale_change = 0.0;
    const struct {
        const char *column;
        double *value;
    } columns[] = {{"translation_x", &p->translation_x}, {"translation_y", &p->translation_y},
                   {"translation_z", &p->translation_z}, {"rotation_x", &p->rotation_x},
                   {"rotation_y", &p->rotation_y},       {"rotation_z", &p->rotation_z},
                   {"scale_change", &scale_change}};
    // Every column is attempted, so one report names all that are missing.
    bool loaded = true;
    for (const auto &c : columns)
        loaded = load_finite(c.column, c.value) && loaded;
    p->scale = 1.0 + scale_change * kPartsPerMillion;
    if (!loaded) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "error reading datum change (Bursa-Wolfe record)");
        return -1;
    }
    return 0;
}

// Says why a grid path cannot be opened, then names it on a line of its
// own; a message line holds 96 characters, so a longer path keeps its end
// (the file name).
void report_grid_path(const char *reason, const char *path) noexcept {
    constexpr std::size_t kLineRoom = 96;
    constexpr char kCut[] = "...";
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, reason);
    const std::size_t length = std::strlen(path);
    if (length <= kLineRoom) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, path);
        return;
    }
    char shown[kLineRoom + 1];
    qfio_Sprintf(shown, sizeof shown, "%s%s", kCut,
                 path + length - (kLineRoom - (sizeof kCut - 1)));
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, shown);
}

int load_grid(mpx_transformation &t, const char *key, const GridKind &kind) noexcept {
    auto *g = static_cast<mpx_grid_change *>(qmsc_HeapMalloc(sizeof(mpx_grid_change)));
    if (!g) {
        report_memory_shortage();
        return -1;
    }
    *g = mpx_grid_change{};
    attach(t, MPX_DATUM_CHANGE_GRID, g);

    gdb_set_table(kind.table);
    gdb_set_name_key(key);
    char control_file[kFieldSize] = {};
    const bool loaded = gdb_load("control_file", "s", control_file) == 0;
    trim_line_end(control_file);
    trn_note_change(&t, kind.type, control_file);
    const std::size_t length = std::strlen(control_file);
    if (!loaded || length > kControlFileMax) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kind.read_error);
        return -1;
    }
    // An empty name was read well enough; it is the opening that fails (the
    // grid directory alone is no grid file).
    const char *directory = gdb_grid_path();
    if (!directory || length == 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kind.open_error);
        return -1;
    }

    // The grid names are relative to the grid directory. A path that does
    // not fit, or a directory that holds a blank (the grid layer would split
    // the path in two), is refused like a file that does not open, and the
    // report names it: a bare "error opening" would leave the user guessing.
    //
    // Departure from the classic loader, which puts the directory in front
    // of the whole text: a control file may name several grid files,
    // separated by blanks (the sub-grids of an NTv2 file, densest first),
    // and each is found in the grid directory. The classic form looked the
    // second and later names up from the host's current directory.
    char paths[kGridChainRoom] = {};
    const char *problem = nullptr;
    char path[kFieldSize + kFieldSize];
    for (const char *name = control_file; *name != '\0' && !problem;) {
        const std::size_t name_length = std::strcspn(name, " ");
        qfio_Sprintf(path, sizeof path, "%s%.*s", directory, static_cast<int>(name_length), name);
        problem = std::strlen(path) >= kGridPathSize ? kGridPathTooLong
                  : std::strchr(directory, ' ')      ? kGridPathBlank
                                                     : nullptr;
        if (!problem) {
            if (paths[0] != '\0')
                std::strcat(paths, " ");
            std::strcat(paths, path);
        }
        name += name_length;
        name += std::strspn(name, " ");
    }
    if (problem) {
        report_grid_path(problem, path);
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kind.open_error);
        return -1;
    }
    const int grid_id = grid_access_init(paths);
    if (grid_id == 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kind.open_error);
        return -1;
    }
    g->grid_id = grid_id;
    g->num_coeffs = grid_access_inq_num_coeffs();
    return 0;
}

bool key_found(const char *key) noexcept { return gdb_set_name_key(key) == 0; }

int attach_identity(mpx_transformation &t) noexcept {
    auto *p = static_cast<mpx_bw_params *>(qmsc_HeapMalloc(sizeof(mpx_bw_params)));
    if (!p) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "memory shortage (trn_db_load)");
        return -1;
    }
    *p = mpx_bw_params{};
    p->type = MPX_BW_IDENTITY;
    p->scale = 1.0;
    attach(t, MPX_DATUM_CHANGE_BURSA_WOLFE, p);
    return 0;
}

mpx_bw_params *bursa_wolfe_of(const mpx_transformation &t) noexcept {
    if (t.datum_change_type != MPX_DATUM_CHANGE_BURSA_WOLFE || !t.change_data)
        return nullptr;
    return static_cast<mpx_bw_params *>(t.change_data);
}

// Source and target each lead to WGS84: chain the first with the inverse of
// the second (both must be Bursa-Wolfe).
int load_through_wgs84(mpx_transformation &t, const char *source_key,
                       const char *target_key) noexcept {
    const int source_result = trn_db_datum_ch_load(&t, source_key);
    const mpx_bw_params *source_record = bursa_wolfe_of(t);
    const bool source_is_bursa_wolfe = source_record != nullptr;
    const mpx_bw_params source_copy = source_is_bursa_wolfe ? *source_record : mpx_bw_params{};
    const int target_result = trn_db_datum_ch_load(&t, target_key);
    if (source_result != 0 || target_result != 0)
        return -1;
    mpx_bw_params *target_record = bursa_wolfe_of(t);
    if (!source_is_bursa_wolfe || !target_record) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "No datum change exists");
        return -1;
    }
    mpx_bw_invert(target_record, target_record);
    mpx_bw_combine(&source_copy, target_record, target_record);
    return 0;
}

int search(mpx_transformation &t, const char *source_datum, const char *target_datum) noexcept {
    if (std::strcmp(source_datum, target_datum) == 0)
        return 0;
    if (starts_with(source_datum, kIdentityDatumPrefix) ||
        starts_with(target_datum, kIdentityDatumPrefix)) {
        trn_note_route(&t, MPX_ROUTE_IDENTITY, nullptr, nullptr);
        return attach_identity(t);
    }

    gdb_set_table(kDatumChangeTable);
    char direct[kKeySize], reversed[kKeySize], source_wgs84[kKeySize], target_wgs84[kKeySize];
    qfio_Sprintf(direct, sizeof direct, "%.19s>%.19s", source_datum, target_datum);
    qfio_Sprintf(reversed, sizeof reversed, "%.19s>%.19s", target_datum, source_datum);
    qfio_Sprintf(source_wgs84, sizeof source_wgs84, "%.19s%s", source_datum, kToWgs84);
    qfio_Sprintf(target_wgs84, sizeof target_wgs84, "%.19s%s", target_datum, kToWgs84);

    if (key_found(direct)) {
        trn_note_route(&t, MPX_ROUTE_DIRECT, direct, nullptr);
        return trn_db_datum_ch_load(&t, direct);
    }
    if (key_found(reversed)) {
        trn_note_route(&t, MPX_ROUTE_REVERSED, reversed, nullptr);
        if (trn_db_datum_ch_load(&t, reversed) != 0)
            return -1;
        if (t.datum_change_type == MPX_DATUM_CHANGE_GRID)
            static_cast<mpx_grid_change *>(t.change_data)->inverse = 1;
        else
            mpx_bw_invert(static_cast<mpx_bw_params *>(t.change_data),
                          static_cast<mpx_bw_params *>(t.change_data));
        return 0;
    }
    if (key_found(source_wgs84) && key_found(target_wgs84)) {
        trn_note_route(&t, MPX_ROUTE_VIA_WGS84, source_wgs84, target_wgs84);
        return load_through_wgs84(t, source_wgs84, target_wgs84);
    }
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "No Datum change exists");
    return -1;
}

} // namespace

int trn_db_load(mpx_transformation *t) noexcept {
    const mpx_coord_sys *source = cs_lookup(t->source_id);
    const mpx_coord_sys *target = cs_lookup(t->target_id);
    if (!source || !target) {
        err_deliver_direct("bad cs id (trn_db_load)");
        return -1;
    }
    trn_note_start(t);
    const int result = search(*t, source->datum.name, target->datum.name);
    // A failed search keeps no half-loaded change (nor an open grid chain).
    if (result != 0)
        trn_release_change_data(t);
    return result;
}

int trn_db_datum_ch_load(mpx_transformation *t, const char *key) noexcept {
    gdb_set_table(kDatumChangeTable);
    gdb_set_name_key(key);
    char change_type[kFieldSize] = {};
    if (gdb_load("change_type", "s", change_type) != 0) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, "error reading datum change type");
        return -1;
    }
    if (starts_with(change_type, kBursaWolfeType))
        return load_bursa_wolfe(*t, key);
    if (starts_with(change_type, kSmith.type))
        return load_grid(*t, key, kSmith);
    if (starts_with(change_type, kNadcon.type))
        return load_grid(*t, key, kNadcon);
    mpx_combine_error(MPX_CLASS_SYSTEM, 0, "Unknown datum change type");
    return -1;
}

void trn_release_change_data(mpx_transformation *t) noexcept {
    if (t->change_data && t->datum_change_type == MPX_DATUM_CHANGE_GRID)
        grid_access_close(static_cast<mpx_grid_change *>(t->change_data)->grid_id);
    qmsc_HeapFree(t->change_data);
    t->change_data = nullptr;
    t->datum_change_type = MPX_DATUM_CHANGE_NONE;
}

mpx_datum_change_fn trn_datum_change_routine(int datum_change_type) noexcept {
    switch (datum_change_type) {
    case MPX_DATUM_CHANGE_NONE:
        return no_datum_change;
    case MPX_DATUM_CHANGE_BURSA_WOLFE:
        return bursa_wolfe_change;
    case MPX_DATUM_CHANGE_GRID:
        return grid_change;
    default:
        return nullptr;
    }
}
