#include "system_name.hpp"

#include "console.hpp"
#include "database.hpp"

#include <mpxlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <numeric>
#include <utility>

namespace mpxcs {
namespace {

// Decimals that resolve a millimetre or better: linear units are metres or
// longer, a degree or grad of latitude is about 1e5 m, a radian 6.4e6 m.
constexpr int kLinearDecimals = 3;
constexpr int kDegreeDecimals = 9;
constexpr int kRadianDecimals = 11;
// Record names of the database are at most this long.
constexpr std::size_t kMaxNameLength = 19;
// Names offered after "did you mean".
constexpr std::size_t kSuggestions = 6;
constexpr int kTextRoom = 512;
// The library's reason when no datum change joins two datums.
constexpr char kNoChange[] = "No Datum change exists";

constexpr const char *kGeodeticUnits[] = {"degrees", "radians", "grads"};
constexpr const char *kMetreSpellings[] = {"metres", "meters", "metre", "meter", "m"};

std::string upper(std::string_view text) {
    std::string result(text);
    for (char &c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && upper(a) == upper(b);
}

// Edit distance without regard to case, for suggestions.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            bool same = std::toupper(static_cast<unsigned char>(a[i - 1])) ==
                        std::toupper(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The names closest to `name`: those it begins, shortest first, else the
// nearest by edit distance.
std::string closest_names(const std::string &name, const std::vector<std::string> &names) {
    std::vector<std::pair<std::size_t, std::string>> ranked;
    std::string key = upper(name);
    for (const std::string &candidate : names)
        if (upper(candidate).rfind(key, 0) == 0)
            ranked.emplace_back(candidate.size(), candidate);
    if (ranked.empty())
        for (const std::string &candidate : names)
            ranked.emplace_back(distance(name, candidate), candidate);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::string list;
    for (std::size_t i = 0; i < ranked.size() && i < kSuggestions; ++i)
        list += (i == 0 ? "" : ", ") + ranked[i].second;
    if (ranked.size() > kSuggestions)
        list += " ...";
    return list;
}

// Replaces `name` by its record's own name; an error text when there is
// none.
std::string resolve_record(std::string &name, const char *what, const char *table) {
    if (name.size() > kMaxNameLength)
        return std::string(what) + " name " + name + " is longer than the database's " +
               std::to_string(kMaxNameLength) + "-character limit";
    std::vector<std::string> names = record_names(table);
    for (const std::string &record : names)
        if (same_name(record, name)) {
            name = record;
            return {};
        }
    std::string error = "unknown " + std::string(what) + " " + name + " (not in " + database_dir() +
                        table + ".dat)";
    if (!names.empty())
        error += "; did you mean " + closest_names(name, names) + "?";
    return error;
}

// The unit label the library gives a projected system.
std::string projected_unit(const SystemName &system) {
    int id = mpx_create_coord_sys(system.datum.c_str(), system.projection.c_str(), "");
    if (id < 1)
        return {};
    char name[kTextRoom] = "horizontal_label";
    char type = MPX_TYPE_ANY;
    char room[kTextRoom] = {};
    std::string unit;
    if (mpx_inq_coord_sys(&id, "units", name, &type, room, kTextRoom) == 0)
        unit = room;
    mpx_delete_coord_sys(&id);
    return unit;
}

std::string resolve_units(SystemName &system) {
    std::string given = system.units;
    for (char &c : given)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string title = system.datum + "," + system.projection;
    if (system.geodetic()) {
        for (const char *unit : kGeodeticUnits)
            if (given == unit) {
                system.units = unit;
                return {};
            }
        return "units " + system.units + " do not apply to " + title +
               ": geodetic units are degrees, radians or grads";
    }
    if (given.empty())
        return {};
    std::string unit = system.geocentric() ? "metres" : projected_unit(system);
    bool metres = unit == "metres" &&
                  std::find(std::begin(kMetreSpellings), std::end(kMetreSpellings), given) !=
                      std::end(kMetreSpellings);
    if (metres || (!unit.empty() && same_name(unit, given))) {
        system.units.clear(); // the projection's own unit: nothing to choose
        return {};
    }
    return "units " + system.units + " do not apply to " + title + ": its unit is " +
           (unit.empty() ? std::string("fixed by the database") : unit);
}

int create_locked(const SystemName &system) {
    int id = mpx_crelock_coord_sys(system.datum.c_str(), system.projection.c_str(),
                                   system.units.c_str());
    if (id < 1)
        console_failure("cannot create the coordinate system " + system.title());
    return id;
}

} // namespace

std::string SystemName::title() const {
    return datum + "," + projection + (units.empty() ? "" : "," + units);
}

std::string parse_system_name(std::string_view text, SystemName &system) {
    std::size_t first = text.find(',');
    if (first == std::string_view::npos)
        return "coordinate system '" + std::string(text) + "' is not DATUM,PROJECTION[,UNITS]";
    std::size_t second = text.find(',', first + 1);
    system.datum = text.substr(0, first);
    system.projection = text.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    system.units = second == std::string_view::npos ? std::string() : text.substr(second + 1);
    if (system.datum.empty() || system.projection.empty() ||
        system.units.find(',') != std::string::npos)
        return "coordinate system '" + std::string(text) + "' is not DATUM,PROJECTION[,UNITS]";
    // The built-in kinds are named without regard to case, like records.
    for (const char *kind : {"GEODETIC", "GEOCENTRIC"})
        if (same_name(system.projection, kind))
            system.projection = kind;
    if (system.geodetic() && system.units.empty())
        system.units = "degrees";
    return {};
}

std::string resolve_system(SystemName &system) {
    std::string error = resolve_record(system.datum, "datum", "datum_sp");
    if (error.empty() && !system.geodetic() && !system.geocentric())
        error = resolve_record(system.projection, "projection", "project");
    if (error.empty())
        error = resolve_units(system);
    console_clear_chain();
    return error;
}

int default_decimals(const SystemName &system) {
    if (!system.geodetic())
        return kLinearDecimals;
    return system.units == "radians" ? kRadianDecimals : kDegreeDecimals;
}

int default_height_decimals() { return kLinearDecimals; }

bool set_up_transformation(const SystemName &source, const SystemName &target) {
    int source_id = create_locked(source);
    if (source_id < 1)
        return false;
    int target_id = create_locked(target);
    if (target_id < 1)
        return false;
    return make_current(source_id, target_id, source, target);
}

bool make_current(int source_id, int target_id, const SystemName &source,
                  const SystemName &target) {
    if (mpx_set_source(&source_id) != 0 || mpx_set_target(&target_id) != 0) {
        console_failure("cannot prepare the conversion from " + source.title() + " to " +
                        target.title());
        return false;
    }
    if (mpx_inq_trans_status() != 0) {
        // The library's reason when it has one (a grid file it cannot
        // read), else the usual one.
        std::string why = console_library_reason();
        console_failure("no transformation from " + source.datum + " to " + target.datum,
                        why.empty() || why == kNoChange
                            ? "the database has no datum change between them (see --list changes)"
                            : why);
        return false;
    }
    return true;
}

} // namespace mpxcs
