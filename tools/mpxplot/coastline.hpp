// The coastline file: lines of "longitude latitude" in degrees, a line
// starting with '>' between polylines, '#' starting a comment line.
#pragma once

#include "map.hpp"

#include <string>
#include <vector>

namespace mpxplot {

// Empty error text on success.
std::string read_coastline(const std::string &file_name, std::vector<Path> &paths);

} // namespace mpxplot
