// The gallery: one picture per installed base projection, on the first
// system of the database that uses it.
#include "plot.hpp"

#include <mpxlib.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace mpxplot {
namespace {

constexpr int kFieldRoom = 512; // a whole field, as the database cursor requires
// Two ellipsoids are the same when their semi-axes in metres and their
// eccentricities agree to this relative difference.
constexpr double kSameEllipsoid = 1e-9;
constexpr char kFallbackDatum[] = "WGS84";

struct Record {
    std::string name, type;
    double radius = 0.0, eccentricity = 0.0, metre_factor = 1.0;
};

std::string trimmed(const char *text) {
    std::string s = text;
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
    return s;
}

double number_or(const char *column, double fallback) {
    char text[kFieldRoom] = "";
    const char type = MPX_TYPE_STRING;
    if (gdb_load(column, &type, text) != 0)
        return fallback;
    std::string value = trimmed(text);
    if (value.empty())
        return fallback;
    char *end = nullptr;
    double d = std::strtod(value.c_str(), &end);
    return *end == '\0' && std::isfinite(d) ? d : fallback;
}

// Every record of a table with the columns the gallery needs.
std::vector<Record> records(const char *table, bool with_type) {
    std::vector<Record> out;
    if (gdb_set_table(table) != 0 || gdb_next_name_key(nullptr) != 0)
        return out;
    char name[kFieldRoom];
    while (gdb_next_name_key(name) == 0) {
        Record r;
        r.name = trimmed(name);
        if (with_type) {
            char type[kFieldRoom] = "";
            const char text_type = MPX_TYPE_STRING;
            gdb_load("type", &text_type, type);
            r.type = trimmed(type);
        }
        r.radius = number_or("radius", 0.0);
        r.eccentricity = number_or("eccentricity", 0.0);
        r.metre_factor = number_or("metre_factor", 1.0);
        out.push_back(r);
    }
    return out;
}

bool same_ellipsoid(const Record &a, const Record &b) {
    double ra = a.radius * a.metre_factor, rb = b.radius * b.metre_factor;
    return std::fabs(ra - rb) <= kSameEllipsoid * rb &&
           std::fabs(a.eccentricity - b.eccentricity) <= kSameEllipsoid;
}

bool modifiable(const std::string &name) {
    return name.size() > 4 && std::tolower(static_cast<unsigned char>(name[0])) == 'm' &&
           std::tolower(static_cast<unsigned char>(name[1])) == 'o' &&
           std::tolower(static_cast<unsigned char>(name[2])) == 'd' && name[3] == '_';
}

struct Choice {
    std::string keyword, datum, projection;
};

std::vector<Choice> choose_systems() {
    std::vector<std::string> keywords;
    char name[MPX_NAME_SIZE + 1];
    mpx_inq_next_base(nullptr);
    while (mpx_inq_next_base(name) == 0)
        keywords.push_back(name);
    std::vector<Record> systems = records("project", true);
    std::vector<Record> datums = records("datum_sp", false);
    std::vector<Choice> choices;
    for (const std::string &keyword : keywords) {
        Choice choice{keyword, {}, {}};
        for (const Record &system : systems) {
            if (system.type != keyword || modifiable(system.name))
                continue;
            choice.projection = system.name;
            choice.datum = kFallbackDatum;
            if (system.radius > 0.0)
                for (const Record &datum : datums)
                    if (same_ellipsoid(system, datum)) {
                        choice.datum = datum.name;
                        break;
                    }
            break;
        }
        choices.push_back(choice);
    }
    return choices;
}

} // namespace

std::string write_gallery(const PlotOptions &options, const std::string &markdown_file) {
    namespace fs = std::filesystem;
    fs::path markdown(markdown_file);
    fs::path folder = markdown.parent_path() / markdown.stem();
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return "cannot create " + folder.string();
    std::string text = "# Gallery of the base projections\n\n"
                       "One picture per installed base projection, on the first system of the "
                       "bundled database that uses it, drawn by `mpxplot` (`cmake --build "
                       "--preset release --target gallery` writes this page and its pictures "
                       "again). Graticule every 10 degrees, Tissot indicatrices every 30 "
                       "degrees, the GSHHG crude coastline; the shaded area is where the "
                       "projection converts a point both ways within 64 m and its scale stays "
                       "below 10. A projection drawn over the whole world shows where its "
                       "formulas stop holding: the series of the national grids diverge far "
                       "from their area.\n\n";
    std::string missing;
    for (const Choice &choice : choose_systems()) {
        if (choice.projection.empty()) {
            missing += (missing.empty() ? "" : ", ") + ("\"" + choice.keyword + "\"");
            continue;
        }
        std::string file = choice.keyword + ".svg";
        if (std::string failure =
                plot_system(choice.datum, choice.projection, options, (folder / file).string());
            !failure.empty())
            return failure;
        text += "## " + choice.keyword + "\n\n`" + choice.datum + "," + choice.projection +
                "`\n\n![" + choice.keyword + " on " + choice.projection + "](" +
                folder.filename().string() + "/" + file + ")\n\n";
    }
    if (!missing.empty())
        text += "Installed but without a system in the bundled database: " + missing + ".\n";
    std::ofstream out(markdown, std::ios::binary);
    out << text;
    out.close();
    return out ? std::string() : "cannot write " + markdown.string();
}

} // namespace mpxplot
