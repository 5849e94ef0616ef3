// --info: a system's datum, units, projection and every projection
// parameter, read through the library's attribute inquiries, and for two
// systems the transformation the library would run, from its own
// description of the set-up.
#include "info.hpp"
#include "console.hpp"

#include <mpxlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace mpxcs {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082321;
constexpr double kArcSecondsPerRadian = 206264.80624709636;
constexpr double kPartsPerMillion = 1e6;
constexpr int kTextRoom = 512;
constexpr char kInit[] = "init";
constexpr char kInitVisible[] = "init-.";
constexpr char kNext[] = "next";

// One attribute as the library gives it: its name, type and value.
struct Attribute {
    std::string name;
    char type = MPX_TYPE_ANY;
    double d = 0.0;
    long l = 0;
    std::string text;
};

bool inquire(int id, const char *entity, char *name, Attribute &attribute) {
    attribute.type = MPX_TYPE_ANY;
    char room[kTextRoom] = {};
    if (mpx_inq_coord_sys(&id, entity, name, &attribute.type, room, kTextRoom) != 0)
        return false;
    attribute.name = name;
    if (attribute.type == MPX_TYPE_DOUBLE)
        std::memcpy(&attribute.d, room, sizeof attribute.d);
    else if (attribute.type == MPX_TYPE_LONG) {
        std::int32_t l;
        std::memcpy(&l, room, sizeof l);
        attribute.l = l;
    } else if (attribute.type == MPX_TYPE_CHAR)
        attribute.text.assign(1, room[0]);
    else
        attribute.text = room;
    return true;
}

// Every attribute of an entity in descriptor order ("init" lists hidden
// ones too, "init-." only the others).
std::vector<Attribute> list(int id, const char *entity, const char *first) {
    std::vector<Attribute> attributes;
    char name[kTextRoom];
    std::strcpy(name, first);
    Attribute attribute;
    while (inquire(id, entity, name, attribute)) {
        attributes.push_back(attribute);
        std::strcpy(name, kNext);
    }
    return attributes;
}

Attribute one(int id, const char *entity, const char *attribute_name) {
    char name[kTextRoom];
    std::strcpy(name, attribute_name);
    Attribute attribute;
    inquire(id, entity, name, attribute);
    return attribute;
}

bool contains(const std::string &name, const char *part) {
    return name.find(part) != std::string::npos;
}

// What a projection parameter measures, judged by its name: the
// descriptors give types, not units, and the parameter names of the
// projection tables follow these words.
enum class Kind { Length, Ratio, Angle };

Kind kind_of(const std::string &name) {
    if (contains(name, "radius") || contains(name, "false") || contains(name, "offset") ||
        contains(name, "east") || contains(name, "north"))
        return Kind::Length;
    if (contains(name, "scale") || contains(name, "fact") || contains(name, "eccentricity") ||
        contains(name, "ratio"))
        return Kind::Ratio;
    return Kind::Angle;
}

void print_value(const Attribute &a, Kind kind, const std::string &unit) {
    if (a.type == MPX_TYPE_DOUBLE) {
        if (kind == Kind::Angle)
            std::printf("%.12f deg (%s rad)", a.d * kDegreesPerRadian, shortest(a.d).c_str());
        else if (kind == Kind::Length)
            std::printf("%s %s", shortest(a.d).c_str(), unit.c_str());
        else
            std::printf("%s", shortest(a.d).c_str());
    } else if (a.type == MPX_TYPE_LONG) {
        std::printf("%ld", a.l);
    } else {
        std::printf("\"%s\"", a.text.c_str());
    }
}

const char *status_words(int status) {
    switch (status) {
    case 0:
        return "consistent";
    case MPX_STATUS_OTHER_DATUM:
        return "projection defined for another ellipsoid";
    case MPX_STATUS_OTHER_PRIME_MERIDIAN:
        return "projection defined for another prime meridian";
    case MPX_STATUS_OTHER_DATUM | MPX_STATUS_OTHER_PRIME_MERIDIAN:
        return "projection defined for another ellipsoid and prime meridian";
    default:
        return "unknown";
    }
}

std::string title_of(const SystemName &system) {
    std::string title = system.datum + "," + system.projection;
    if (!system.units.empty())
        title += "," + system.units;
    return title;
}

void print_system(int id, const SystemName &system) {
    std::printf("system %s\n", title_of(system).c_str());
    std::printf("  datum\n");
    for (const Attribute &a : list(id, "datum", kInit)) {
        std::printf("    %-22s ", a.name.c_str());
        print_value(a, a.name == "prime_merid" ? Kind::Angle : Kind::Ratio, "");
        if (a.name == "radius")
            std::printf(" (units of metre_factor metres)");
        std::printf("\n");
    }
    std::printf("  units\n");
    for (const Attribute &a : list(id, "units", kInit)) {
        std::printf("    %-22s ", a.name.c_str());
        print_value(a, Kind::Ratio, "");
        std::printf("\n");
    }
    const std::string unit = one(id, "units", "horizontal_label").text;
    // A geodetic or geocentric system has no projection to inquire (the
    // library would say so on the error channel).
    if (!system.geodetic() && !system.geocentric()) {
        const Attribute name = one(id, "projection", "name");
        std::printf("  projection %s\n", name.text.c_str());
        std::printf("    %-22s %s\n", "metre_factor",
                    shortest(one(id, "projection", "metre_factor").d).c_str());
        std::set<std::string> visible;
        for (const Attribute &a : list(id, "projection", kInitVisible))
            visible.insert(a.name);
        for (const Attribute &a : list(id, "projection", kInit)) {
            std::printf("    %-22s ", a.name.c_str());
            print_value(a, kind_of(a.name), unit);
            if (visible.count(a.name) == 0)
                std::printf("  [derived]");
            std::printf("\n");
        }
    } else {
        std::printf("  projection none (%s)\n", system.geodetic() ? "geodetic" : "geocentric");
    }
    std::printf("  status %d: %s\n", mpx_inq_status_coord_sys(&id),
                status_words(mpx_inq_status_coord_sys(&id)));
}

std::string degrees(double radians) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12g deg", radians * kDegreesPerRadian);
    return text;
}

void print_steps(const mpx_trans_info &info, const SystemName &source, const SystemName &target) {
    const mpx_transformation &t = info.record;
    int n = 0;
    std::printf("  steps\n");
    std::printf("    %d. scale x and y by %s\n", ++n, shortest(t.input_scale).c_str());
    if (t.pre_mode == 1)
        std::printf("    %d. geocentric X, Y, Z to geodetic on %s\n", ++n, source.datum.c_str());
    if (t.robust_mode == MPX_ROBUST_WRAP)
        std::printf("    %d. wrap the longitude into [%s, %s]\n", ++n,
                    degrees(t.window_low).c_str(), degrees(t.window_high).c_str());
    else if (t.robust_mode == MPX_ROBUST_REJECT)
        std::printf("    %d. reject longitudes outside [%s, %s] and latitudes beyond the poles\n",
                    ++n, degrees(t.window_low).c_str(), degrees(t.window_high).c_str());
    if (t.inner_mode == 2 || t.inner_mode == 3)
        std::printf("    %d. %s backward to geodetic on %s\n", ++n, source.projection.c_str(),
                    source.datum.c_str());
    if (t.datum_change_type != MPX_DATUM_CHANGE_NONE)
        std::printf("    %d. datum change %s to %s\n", ++n, source.datum.c_str(),
                    target.datum.c_str());
    if (t.inner_mode == 1 || t.inner_mode == 3)
        std::printf("    %d. %s forward from geodetic on %s\n", ++n, target.projection.c_str(),
                    target.datum.c_str());
    if (t.post_mode == 1)
        std::printf("    %d. geodetic to geocentric X, Y, Z on %s\n", ++n, target.datum.c_str());
    std::printf("    %d. scale x and y by %s\n", ++n, shortest(t.output_scale).c_str());
}

void print_datum_change(const mpx_trans_info &info) {
    const mpx_transformation &t = info.record;
    std::printf("  datum change ");
    switch (info.route) {
    case MPX_ROUTE_NONE:
        std::printf("none (same datum)\n");
        return;
    case MPX_ROUTE_IDENTITY:
        std::printf("identity (a USC datum: nothing looked up)\n");
        return;
    case MPX_ROUTE_DIRECT:
        std::printf("direct, key %s\n", info.keys[0]);
        break;
    case MPX_ROUTE_REVERSED:
        std::printf("reversed, key %s applied inverted\n", info.keys[0]);
        break;
    default:
        std::printf("through WGS 84, key %s then key %s inverted\n", info.keys[0], info.keys[1]);
        break;
    }
    std::printf("    type %s\n", info.change_type);
    if (t.datum_change_type == MPX_DATUM_CHANGE_BURSA_WOLFE) {
        const mpx_bw_params &p = info.bursa_wolfe;
        std::printf("    Bursa-Wolfe (position vector), as applied:\n");
        std::printf("      translation %.6f %.6f %.6f m\n", p.translation_x, p.translation_y,
                    p.translation_z);
        std::printf("      rotation %.6f %.6f %.6f arc-seconds (%.12g %.12g %.12g rad)\n",
                    p.rotation_x * kArcSecondsPerRadian, p.rotation_y * kArcSecondsPerRadian,
                    p.rotation_z * kArcSecondsPerRadian, p.rotation_x, p.rotation_y, p.rotation_z);
        std::printf("      scale %.12g (%.6f ppm)\n", p.scale, (p.scale - 1.0) * kPartsPerMillion);
    } else if (t.datum_change_type == MPX_DATUM_CHANGE_GRID) {
        std::printf("    grid files %s%s, %d coefficients%s\n", info.control_file,
                    " (relative to the database directory)", info.grid.num_coeffs,
                    info.grid.inverse ? ", applied inverted" : "");
    }
}

void print_transformation(const SystemName &source, const SystemName &target) {
    mpx_trans_info info{};
    const int status = mpx_inq_trans_info(&info);
    std::printf("conversion %s -> %s\n", title_of(source).c_str(), title_of(target).c_str());
    if (status != 0) {
        std::printf("  set-up failed\n");
        return;
    }
    print_steps(info, source, target);
    const mpx_transformation &t = info.record;
    std::printf("  input scale %s, output scale %s\n", shortest(t.input_scale).c_str(),
                shortest(t.output_scale).c_str());
    std::printf("  longitude window [%s, %s]%s\n", degrees(t.window_low).c_str(),
                degrees(t.window_high).c_str(),
                t.window_flag ? " (from the target)" : " (default)");
    print_datum_change(info);
}

} // namespace

std::string shortest(double value) {
    // Plain decimals where they stay readable, exponents beyond.
    constexpr double kFixedLow = 1e-5, kFixedHigh = 1e16;
    const double magnitude = std::fabs(value);
    const bool fixed = magnitude == 0.0 || (magnitude >= kFixedLow && magnitude < kFixedHigh);
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value,
                      fixed ? std::chars_format::fixed : std::chars_format::general);
    return std::string(text, result.ptr);
}

bool print_info(const SystemName &source, const SystemName *target,
                const std::vector<std::string> &settings) {
    if (!settings_have_a_system(source, target, settings))
        return false;
    const int source_id = create_with_settings(source, settings);
    if (source_id < 1)
        return false;
    print_system(source_id, source);
    if (!target)
        return true;
    const int target_id = create_with_settings(*target, settings);
    if (target_id < 1)
        return false;
    print_system(target_id, *target);
    if (!make_current(source_id, target_id, source, *target))
        return false;
    print_transformation(source, *target);
    return true;
}

} // namespace mpxcs
