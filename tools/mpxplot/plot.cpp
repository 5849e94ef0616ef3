#include "plot.hpp"
#include "projector.hpp"

#include <mpxlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>

namespace mpxplot {
namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr int kTextRoom = 512;
constexpr std::size_t kTitleWidth = 100; // characters of a parameter line

// What a projection parameter measures, judged by its name: descriptors
// give types, not units, and the parameter names follow these words.
enum class Kind { Length, Number, Angle };

Kind kind_of(const std::string &name) {
    for (const char *word : {"false", "radius"})
        if (name.find(word) != std::string::npos)
            return Kind::Length;
    for (const char *word : {"scale", "fact", "ratio", "eccentricity", "coeff", "tissot"})
        if (name.find(word) != std::string::npos)
            return Kind::Number;
    return Kind::Angle;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string text_attribute(int id, const char *entity, const char *attribute) {
    char name[kTextRoom], value[kTextRoom] = "";
    std::strcpy(name, attribute);
    char type = MPX_TYPE_STRING;
    if (mpx_inq_coord_sys(&id, entity, name, &type, value, kTextRoom) != 0)
        return {};
    return value;
}

// "name value" for every visible parameter of the projection, in
// descriptor order, angles in degrees and lengths in the system's unit.
std::vector<std::string> parameters(int id) {
    std::string unit = text_attribute(id, "units", "horizontal_label");
    std::vector<std::string> items;
    char name[kTextRoom] = "init-.";
    for (;;) {
        char type = MPX_TYPE_ANY;
        alignas(double) char value[kTextRoom] = {};
        if (mpx_inq_coord_sys(&id, "projection", name, &type, value, kTextRoom) != 0)
            break;
        std::string item = std::string(name) + " ";
        if (type == MPX_TYPE_DOUBLE) {
            double d;
            std::memcpy(&d, value, sizeof d);
            Kind kind = kind_of(name);
            if (kind == Kind::Angle)
                item += number(d * kDegreesPerRadian) + " deg";
            else if (kind == Kind::Length)
                item += number(d) + " " + unit;
            else
                item += number(d);
        } else if (type == MPX_TYPE_LONG) {
            std::int32_t l;
            std::memcpy(&l, value, sizeof l);
            item += std::to_string(l);
        } else if (type == MPX_TYPE_CHAR) {
            item += value[0];
        } else {
            item += value;
        }
        items.push_back(item);
        std::strcpy(name, "next");
    }
    return items;
}

std::vector<std::string> wrapped(const std::vector<std::string> &items) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::string &item : items) {
        if (!line.empty() && line.size() + 2 + item.size() > kTitleWidth) {
            lines.push_back(line + ",");
            line.clear();
        }
        line += (line.empty() ? "" : ", ") + item;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string write_file(const std::string &file_name, const std::string &text) {
    std::ofstream file(file_name, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        return "cannot write " + file_name;
    return {};
}

} // namespace

std::string plot_system(const std::string &datum, const std::string &projection,
                        const PlotOptions &options, const std::string &svg_file) {
    Projector projector;
    if (std::string error = projector.open(datum, projection); !error.empty())
        return error;
    projector.validity.max_scale = options.max_scale;
    Map map;
    if (std::string error = draw_map(projector, options.map, options.coastline, map);
        !error.empty())
        return datum + "," + projection + ": " + error;
    Title title;
    title.heading = datum + "," + projection + " (" + projector.keyword() + ")";
    title.lines = wrapped(parameters(projector.id()));
    return write_file(svg_file, svg_text(map, title, options.size));
}

std::string svg_to_png(const std::string &svg_file, const std::string &png_file) {
    if (std::system("rsvg-convert --version > /dev/null 2>&1") != 0)
        return "--png needs rsvg-convert (Debian package librsvg2-bin), which was not found";
    std::string command = "rsvg-convert -o '" + png_file + "' '" + svg_file + "'";
    if (svg_file.find('\'') != std::string::npos || png_file.find('\'') != std::string::npos)
        return "file names with a quote cannot be passed to rsvg-convert";
    if (std::system(command.c_str()) != 0)
        return "rsvg-convert could not convert " + svg_file;
    return {};
}

} // namespace mpxplot
