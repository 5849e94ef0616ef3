// Serialisation of grid correction files (little-endian on every host), for
// the mpxgrid tool and for tests that need grid files. The writer writes
// exactly what it is given, so tests can also make malformed files.
//
// Layout: a 44-byte header (int32 kind, double lon_min, lat_min, lon_step,
// lat_step, int32 num_cols, num_rows; angles in radians), then the cells,
// southernmost row first, each row west to east, each cell its
// coefficients as doubles (18 for kind 0, 8 for kind 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mpxgrid {

inline constexpr std::size_t kHeaderSize = 44;

struct GridHeader {
    std::int32_t kind = 1;
    double lon_min = 0, lat_min = 0, lon_step = 0, lat_step = 0; // radians
    std::int32_t num_cols = 0, num_rows = 0;
};

// Coefficients per cell of a kind: 18 for 0, 8 for 1, 0 for any other.
int coefficients_per_cell(std::int32_t kind);

std::vector<unsigned char> encode_grid(const GridHeader &header,
                                       const std::vector<double> &coefficients);
// False when the file cannot be written.
bool write_grid_file(const std::string &path, const GridHeader &header,
                     const std::vector<double> &coefficients);
// Decodes the first kHeaderSize bytes.
GridHeader decode_header(const unsigned char *bytes);
// Decodes `count` doubles stored from `bytes` on.
std::vector<double> decode_doubles(const unsigned char *bytes, std::size_t count);

} // namespace mpxgrid
