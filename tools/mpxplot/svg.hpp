// The picture as SVG, one group per layer: "outline", "graticule",
// "coastline", "tissot" and "title", so that tools and tests find them.
#pragma once

#include "map.hpp"

#include <string>
#include <vector>

namespace mpxplot {

struct Title {
    std::string heading;            // the system and its projection
    std::vector<std::string> lines; // its parameters
};

struct PictureSize {
    double width = 800.0;  // pixels, the map's largest width
    double height = 800.0; // pixels, the map's largest height
};

// The SVG text of a map. Coordinates are printed with two decimals, the
// radii of the indicatrices with four, so that a picture is the same text
// from run to run.
std::string svg_text(const Map &map, const Title &title, const PictureSize &size);

} // namespace mpxplot
