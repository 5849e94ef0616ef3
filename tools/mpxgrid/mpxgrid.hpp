// The subcommands of mpxgrid and the grid description they share.
#pragma once

#include "grid_file_writer.hpp"

#include <optional>
#include <string>

namespace mpxgrid {

inline constexpr double kDegree = 0.017453292519943295; // pi / 180

// A grid as the text description gives it: the header (angles converted to
// radians) and every cell's coefficients in file order.
struct GridDescription {
    GridHeader header;
    std::vector<double> coefficients;
};

// Nothing when the description is malformed (reported on stderr).
std::optional<GridDescription> read_description(const std::string &path);

// Each returns the process exit status.
int run_build(const std::string &description, const std::string &output);
int run_info(const std::vector<std::string> &paths);
int run_fit_bw(const std::string &parameters, const std::string &output);
int run_from_ntv2(const std::string &input, const std::string &output);

} // namespace mpxgrid
