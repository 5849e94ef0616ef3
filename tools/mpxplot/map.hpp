// The geometry of a picture in map coordinates: graticule, outline of the
// drawable area, coastline and indicatrices, each line densified where it
// bends and split where the projection stops.
#pragma once

#include "projector.hpp"

#include <vector>

namespace mpxplot {

using Polyline = std::vector<MapPoint>;
using Path = std::vector<LonLat>;

struct Indicatrix {
    LonLat place;
    MapPoint centre;
    LocalScale scale;
};

struct MapOptions {
    double graticule_step = 10.0; // degrees
    double tissot_step = 30.0;    // degrees; 0 draws none
    // Longitudes and latitudes drawn, in degrees; the longitudes are
    // brought into the projection's window.
    double west = -180.0, east = 180.0, south = -90.0, north = 90.0;
    bool whole_window = true; // west and east are the window's edges
    // Finest longest segment of a line, as a fraction of the picture's
    // larger side: a line is refined until its segments are this short.
    double segment_fraction = 1.0 / 400.0;
    // Cells of the grid on which the drawable area and its outline are
    // found, along the larger side of the area (each at most one degree).
    int grid_cells = 360;
};

struct Map {
    std::vector<Polyline> graticule, outline, coastline;
    std::vector<Indicatrix> tissot;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    // The scale where the projection is least distorted, which shows how
    // its axes are laid out.
    LocalScale central_scale;
    // Ground length of the indicatrices' radius, in the projection's unit.
    double tissot_radius = 0.0;
};

// Empty error text on success.
// The projector's orientation is set to that of the least distorted place.
std::string draw_map(Projector &projector, const MapOptions &options,
                     const std::vector<Path> &coastline, Map &map);

} // namespace mpxplot
