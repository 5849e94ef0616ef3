// NTv2 sub-grids as grid correction files: one bilinear file per sub-grid,
// in the order a chain must name them.
#pragma once

#include "mpxgrid.hpp"
#include "ntv2_reader.hpp"

#include <string>
#include <vector>

namespace mpxgrid {

struct ChainedGrid {
    std::string subgrid; // the NTv2 sub-grid's name
    GridDescription grid;
};

// One bilinear grid per sub-grid, densest first: a chain takes the first
// file that covers a point, so every child comes before its parent (deeper
// sub-grids first, finer cells first among equals). Each cell's two
// polynomials reproduce NTv2's bilinear interpolation of its four nodes, in
// absolute radians, east-positive longitudes.
std::vector<ChainedGrid> ntv2_chain(const Ntv2File &file);

// The largest shift of a bilinear grid, radians, over its cell corners
// (where bilinear cells take their extremes); its position in *lon, *lat.
double largest_shift(const GridDescription &grid, double *lon, double *lat);

} // namespace mpxgrid
