// mpxgrid info: each file's header as stored, its covered rectangle and
// largest shift, and a few cells as the library reads them. Several files
// are opened as one chain, in the order given, as the library would.
#include "mpxgrid.hpp"
#include "ntv2_grid.hpp"

#include "mpxlib.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace mpxgrid {
namespace {

constexpr double kArcSecond = kDegree / 3600.0;
// Metres per radian of arc on the Earth, for showing shifts in metres.
constexpr double kEarthRadius = 6371000.0;

const char *kind_name(std::int32_t kind) {
    return kind == 0 ? "quadratic" : kind == 1 ? "bilinear" : "unknown";
}

std::vector<unsigned char> file_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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

void print_coverage(const GridHeader &h) {
    std::printf("coverage  lon %.10g to %.10g deg, lat %.10g to %.10g deg\n", h.lon_min / kDegree,
                (h.lon_min + h.num_cols * h.lon_step) / kDegree, h.lat_min / kDegree,
                (h.lat_min + h.num_rows * h.lat_step) / kDegree);
}

// Bilinear cells take their extreme shifts at their corners.
void print_largest_shift(const GridHeader &h, const std::vector<unsigned char> &bytes) {
    if (h.kind != 1)
        return;
    const std::size_t count = static_cast<std::size_t>(h.num_cols) * h.num_rows * 8;
    GridDescription grid{h, decode_doubles(bytes.data() + kHeaderSize, count)};
    double lon = 0, lat = 0;
    const double shift = largest_shift(grid, &lon, &lat);
    std::printf("largest shift %.6f\" (about %.3f m) at lon %.6f lat %.6f deg\n",
                shift / kArcSecond, shift * kEarthRadius, lon / kDegree, lat / kDegree);
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

int run_info(const std::vector<std::string> &paths) {
    std::vector<GridHeader> headers;
    std::vector<std::vector<unsigned char>> contents;
    std::string names;
    for (const std::string &path : paths) {
        contents.push_back(file_bytes(path));
        if (contents.back().size() < kHeaderSize) {
            std::fprintf(stderr, "mpxgrid: %s: cannot read a %zu-byte header\n", path.c_str(),
                         kHeaderSize);
            return 1;
        }
        headers.push_back(decode_header(contents.back().data()));
        std::printf("%sfile      %s\n", headers.size() > 1 ? "\n" : "", path.c_str());
        print_header(headers.back());
        names += (names.empty() ? "" : " ") + path;
    }
    // The library splits its list of names at blanks.
    bool blank = false;
    for (const std::string &path : paths)
        blank = blank || path.find(' ') != std::string::npos;
    const int grid_id = blank ? 0 : grid_access_init(names.c_str());
    if (grid_id == 0) {
        std::fprintf(stderr,
                     "mpxgrid: %s: not a usable grid (a header value out of range, a body "
                     "shorter than the header says, kinds mixed in a chain, or a blank in a "
                     "path)\n",
                     names.c_str());
        return 1;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths.size() > 1)
            std::printf("\n%zu. %s\n", i + 1, paths[i].c_str());
        print_coverage(headers[i]);
        print_largest_shift(headers[i], contents[i]);
    }
    // Cells as the chain finds them: those of the first file.
    const GridHeader &h = headers.front();
    print_cell(h, "south-west", 0, 0);
    print_cell(h, "middle", h.num_rows / 2, h.num_cols / 2);
    print_cell(h, "north-east", h.num_rows - 1, h.num_cols - 1);
    if (paths.size() > 1)
        std::printf("chain     %s (a point takes the first file that covers it)\n", names.c_str());
    grid_access_close(grid_id);
    return 0;
}

} // namespace mpxgrid
