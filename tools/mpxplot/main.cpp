// mpxplot: draws a coordinate system of the geodetic database as a picture:
// graticule, outline of the area where the projection works, Tissot
// indicatrices, a coastline and a title with its parameters.
#include "coastline.hpp"
#include "database.hpp"
#include "plot.hpp"

#include <mpxlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;   // usage, database or file error
constexpr int kExitPicture = 2; // the system cannot be drawn
constexpr char kCoastlineFile[] = "coastline/gshhg_crude.txt";

constexpr char kUsage[] =
    "usage: mpxplot [options] DATUM,PROJECTION -o FILE.svg\n"
    "       mpxplot [options] --gallery FILE.md\n"
    "  -o FILE          the SVG picture to write\n"
    "  --png            also write FILE with .png for .svg (needs rsvg-convert)\n"
    "  --step DEG       graticule spacing in degrees (default 10)\n"
    "  --tissot DEG     spacing of the Tissot indicatrices (default 30, 0 for none)\n"
    "  --area W,E,S,N   draw only these longitudes and latitudes (degrees)\n"
    "  --max-scale K    draw where the linear scale is at most K (default 10)\n"
    "  --cells N        grid cells along the area's larger side on which the\n"
    "                   outline is found (default 360, at most one degree each)\n"
    "  --size PX        largest width and height of the map in pixels (default 800)\n"
    "  --coastline FILE coastline of \"lon lat\" lines, '>' between lines\n"
    "                   (default: coastline/gshhg_crude.txt of the database)\n"
    "  --no-coastline   draw no coastline\n"
    "  --gallery FILE   one picture per installed base projection, and a page\n"
    "  --db DIR         database directory\n"
    "  -h, --help       this text\n";

struct Options {
    std::string system, output, gallery, db, coastline;
    bool png = false, no_coastline = false;
    mpxplot::PlotOptions plot;
};

bool positive_number(const char *text, double &value) {
    char *end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value) && value >= 0.0;
}

bool parse_area(const std::string &text, mpxplot::MapOptions &map) {
    double v[4];
    const char *c = text.c_str();
    for (int k = 0; k < 4; ++k) {
        char *end = nullptr;
        v[k] = std::strtod(c, &end);
        if (end == c || !std::isfinite(v[k]) || *end != (k < 3 ? ',' : '\0'))
            return false;
        c = end + (k < 3 ? 1 : 0);
    }
    if (!(v[0] < v[1] && v[1] - v[0] <= 360.0 && -90.0 <= v[2] && v[2] < v[3] && v[3] <= 90.0))
        return false;
    map.west = v[0];
    map.east = v[1];
    map.south = v[2];
    map.north = v[3];
    map.whole_window = false;
    return true;
}

// Empty error text on success.
std::string parse(int argc, char **argv, Options &o) {
    for (int k = 1; k < argc; ++k) {
        std::string arg = argv[k];
        bool has_value = k + 1 < argc;
        auto value = [&]() { return std::string(argv[++k]); };
        double number = 0.0;
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(kExitOk);
        } else if (arg == "--png") {
            o.png = true;
        } else if (arg == "--no-coastline") {
            o.no_coastline = true;
        } else if (!has_value && arg.size() > 1 && arg[0] == '-') {
            return "option " + arg + " needs a value";
        } else if (arg == "-o") {
            o.output = value();
        } else if (arg == "--gallery") {
            o.gallery = value();
        } else if (arg == "--db") {
            o.db = value();
        } else if (arg == "--coastline") {
            o.coastline = value();
        } else if (arg == "--area") {
            if (!parse_area(value(), o.plot.map))
                return "--area needs W,E,S,N in degrees, W < E, S < N";
        } else if (arg == "--step" || arg == "--tissot" || arg == "--max-scale" ||
                   arg == "--size" || arg == "--cells") {
            if (!positive_number(argv[++k], number))
                return arg + " needs a number of at least 0";
            if (arg == "--step")
                o.plot.map.graticule_step = number;
            else if (arg == "--tissot")
                o.plot.map.tissot_step = number;
            else if (arg == "--max-scale")
                o.plot.max_scale = number;
            else if (arg == "--cells")
                o.plot.map.grid_cells = static_cast<int>(std::min(number, 100000.0));
            else
                o.plot.size.width = o.plot.size.height = number;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (o.system.empty()) {
            o.system = arg;
        } else {
            return "one coordinate system only";
        }
    }
    if (o.gallery.empty() && (o.system.empty() || o.output.empty()))
        return "a coordinate system and -o FILE.svg are needed";
    if (o.plot.map.grid_cells < 4)
        return "--cells must be at least 4";
    if (!(o.plot.max_scale > 1.0))
        return "--max-scale must be above 1";
    if (!(o.plot.size.width >= 100.0 && o.plot.size.width <= 20000.0))
        return "--size must be from 100 to 20000 pixels";
    return {};
}

int fail(const std::string &error, int status) {
    std::fprintf(stderr, "mpxplot: %s\n", error.c_str());
    return status;
}

} // namespace

int main(int argc, char **argv) {
    Options o;
    if (std::string error = parse(argc, argv, o); !error.empty()) {
        std::fprintf(stderr, "mpxplot: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    if (std::string error = mpxcs::select_database(o.db); !error.empty())
        return fail(error, kExitUsage);
    if (!o.no_coastline) {
        std::string file = o.coastline;
        if (file.empty()) {
            const char *dir = gdb_path();
            file = std::string(dir != nullptr ? dir : "") + kCoastlineFile;
        }
        if (std::string error = mpxplot::read_coastline(file, o.plot.coastline); !error.empty())
            return fail(error, kExitUsage);
    }
    if (!o.gallery.empty()) {
        if (std::string error = mpxplot::write_gallery(o.plot, o.gallery); !error.empty())
            return fail(error, kExitPicture);
        return kExitOk;
    }
    std::size_t comma = o.system.find(',');
    if (comma == std::string::npos || comma == 0 || comma + 1 == o.system.size())
        return fail("coordinate system '" + o.system + "' is not DATUM,PROJECTION", kExitUsage);
    std::string datum = o.system.substr(0, comma), projection = o.system.substr(comma + 1);
    if (std::string error = mpxplot::plot_system(datum, projection, o.plot, o.output);
        !error.empty())
        return fail(error, kExitPicture);
    if (o.png) {
        std::string png = o.output;
        std::size_t dot = png.rfind('.');
        png = (dot == std::string::npos ? png : png.substr(0, dot)) + ".png";
        if (std::string error = mpxplot::svg_to_png(o.output, png); !error.empty())
            return fail(error, kExitUsage);
    }
    return kExitOk;
}
