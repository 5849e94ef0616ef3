// One picture of one coordinate system, from its name to the SVG file, and
// the gallery of one picture per installed base projection.
#pragma once

#include "map.hpp"
#include "svg.hpp"

#include <string>
#include <vector>

namespace mpxplot {

struct PlotOptions {
    MapOptions map;
    PictureSize size;
    double max_scale = 10.0;
    std::vector<Path> coastline;
};

// Draws DATUM,PROJECTION into `svg_file`. Empty error text on success.
std::string plot_system(const std::string &datum, const std::string &projection,
                        const PlotOptions &options, const std::string &svg_file);

// Writes `markdown_file` and, in the folder of the same name without
// ".md", one SVG per installed base projection that has a system in the
// database (the first "project" record of its type, on the datum whose
// ellipsoid it names, else WGS84). Empty error text on success.
std::string write_gallery(const PlotOptions &options, const std::string &markdown_file);

// Converts an SVG file to PNG with rsvg-convert. Empty error text on success.
std::string svg_to_png(const std::string &svg_file, const std::string &png_file);

} // namespace mpxplot
