// Grid correction files: one input is one grid file. It is opened as a
// chain of one file and as a chain of itself twice, its cells are read at
// points chosen from its own header (corners, centre, edges) and at hostile
// points, and the datum change runs forward and inverse through them. Every
// chain is closed again, so the chain table never fills up.
#include "fuzz_files.hpp"
#include "mpxlib.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

// The header's little-endian number of `count` bytes at `offset`; 0 past
// the end of a short input.
std::uint64_t header_bits(const std::uint8_t *data, std::size_t size, std::size_t offset,
                          std::size_t count) {
    std::uint64_t bits = 0;
    for (std::size_t i = count; size >= offset + count && i-- > 0;)
        bits = bits << 8 | data[offset + i];
    return bits;
}

double header_double(const std::uint8_t *data, std::size_t size, std::size_t offset) {
    return std::bit_cast<double>(header_bits(data, size, offset, 8));
}

struct Point {
    double lon, lat;
};

// Where the header says the grid lies, whatever the rest of the file holds,
// plus points no grid covers.
std::vector<Point> probe_points(const std::uint8_t *data, std::size_t size) {
    const double west = header_double(data, size, 4);
    const double south = header_double(data, size, 12);
    const double lon_step = header_double(data, size, 20);
    const double lat_step = header_double(data, size, 28);
    const auto cols = static_cast<std::int32_t>(header_bits(data, size, 36, 4));
    const auto rows = static_cast<std::int32_t>(header_bits(data, size, 40, 4));
    const double east = west + cols * lon_step;
    const double north = south + rows * lat_step;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    return {{west, south},
            {(west + east) / 2, (south + north) / 2},
            {std::nextafter(east, west), std::nextafter(north, south)},
            {east, north},
            {west + lon_step / 2, south + lat_step / 2},
            {0.0, 0.0},
            {nan, south},
            {west, inf},
            {-inf, -inf}};
}

void exercise_chain(const std::string &names, const std::vector<Point> &points) {
    const int id = grid_access_init(names.c_str());
    if (id == 0)
        return;
    const int num_coeffs = grid_access_inq_num_coeffs();
    if (num_coeffs != 18 && num_coeffs != 8)
        std::abort();
    const mpx_ellipsoid ellipsoid{6378137.0, 0.0818191908426215, 0.0};
    for (const Point &p : points) {
        double coefficients[MPX_GRID_MAX_COEFFS];
        grid_access_set_current_id(id);
        grid_access_get_block(p.lon, p.lat, coefficients);
        for (int inverse = 0; inverse < 2; ++inverse) {
            const mpx_grid_change change{id, inverse, num_coeffs};
            double lon = 0, lat = 0, height = 0;
            if (mpx_grid_gd_to_gd(&change, &ellipsoid, &ellipsoid, p.lon, p.lat, 100.0, &lon, &lat,
                                  &height) == 0 &&
                !(std::isfinite(lon) && std::isfinite(lat) && std::isfinite(height)))
                std::abort();
        }
    }
    grid_access_close(id);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::temp_dir() + "input.grd";
    fuzz::write_file(path, data, size);
    const std::vector<Point> points = probe_points(data, size);
    exercise_chain(path, points);
    exercise_chain(path + " " + path, points);
    std::remove(path.c_str());
    return 0;
}
