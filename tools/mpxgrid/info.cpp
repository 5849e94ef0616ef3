// mpxgrid info: the header as stored, the covered rectangle, and a few
// cells as the library reads them.
#include "mpxgrid.hpp"

#include "mpxlib.h"

#include <cstdio>
#include <cstring>

namespace mpxgrid {
namespace {

const char *kind_name(std::int32_t kind) {
    return kind == 0 ? "quadratic" : kind == 1 ? "bilinear" : "unknown";
}

bool read_header_bytes(const std::string &path, unsigned char (&bytes)[kHeaderSize]) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    const bool complete = std::fread(bytes, 1, kHeaderSize, file) == kHeaderSize;
    std::fclose(file);
    return complete;
}

void print_header(const GridHeader &h) {
    std::printf("kind      %d (%s, %d coefficients per cell)\n", h.kind, kind_name(h.kind),
                coefficients_per_cell(h.kind));
    std::printf("lon_min   %.17g rad (%.10g deg)\n", h.lon_min, h.lon_min / kDegree);
    std::printf("lat_min   %.17g rad (%.10g deg)\n", h.lat_min, h.lat_min / kDegree);
    std::printf("lon_step  %.17g rad (%.10g deg)\n", h.lon_step, h.lon_step / kDegree);
    std::printf("lat_step  %.17g rad (%.10g deg)\n", h.lat_step, h.lat_step / kDegree);
    std::printf("num_cols  %d\nnum_rows  %d\n", h.num_cols, h.num_rows);
}

// Asks the library for the cell at (row, col) through a point at its centre.
void print_cell(const GridHeader &h, const char *label, int row, int col) {
    const double lon = h.lon_min + (col + 0.5) * h.lon_step;
    const double lat = h.lat_min + (row + 0.5) * h.lat_step;
    double c[MPX_GRID_MAX_COEFFS];
    std::printf("cell row %d col %d (%s):", row, col, label);
    if (grid_access_get_block(lon, lat, c) != 0) {
        std::printf(" not readable\n");
        return;
    }
    for (int i = 0; i < coefficients_per_cell(h.kind); ++i)
        std::printf(" %.17g", c[i]);
    std::printf("\n");
}

} // namespace

int run_info(const std::string &path) {
    unsigned char bytes[kHeaderSize];
    if (!read_header_bytes(path, bytes)) {
        std::fprintf(stderr, "mpxgrid: %s: cannot read a %zu-byte header\n", path.c_str(),
                     kHeaderSize);
        return 1;
    }
    const GridHeader h = decode_header(bytes);
    std::printf("file      %s\n", path.c_str());
    print_header(h);
    // The library splits its list of names at blanks.
    const int grid_id = path.find(' ') == std::string::npos ? grid_access_init(path.c_str()) : 0;
    if (grid_id == 0) {
        std::fprintf(stderr,
                     "mpxgrid: %s: not a usable grid (a header value out of range, a body "
                     "shorter than the header says, or a blank in the path)\n",
                     path.c_str());
        return 1;
    }
    std::printf("coverage  lon %.10g to %.10g deg, lat %.10g to %.10g deg\n", h.lon_min / kDegree,
                (h.lon_min + h.num_cols * h.lon_step) / kDegree, h.lat_min / kDegree,
                (h.lat_min + h.num_rows * h.lat_step) / kDegree);
    print_cell(h, "south-west", 0, 0);
    print_cell(h, "middle", h.num_rows / 2, h.num_cols / 2);
    print_cell(h, "north-east", h.num_rows - 1, h.num_cols - 1);
    grid_access_close(grid_id);
    return 0;
}

} // namespace mpxgrid
