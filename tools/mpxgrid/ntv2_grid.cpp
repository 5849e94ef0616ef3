#include "ntv2_grid.hpp"

#include <algorithm>
#include <cmath>

namespace mpxgrid {
namespace {

constexpr double kSecond = kDegree / 3600.0; // radians per second of arc

// The bilinear interpolation of four node values over a cell whose
// south-west corner is (x0, y0) and size (dx, dy),
//   s = s00 + (s10 - s00) u + (s01 - s00) v + (s11 - s10 - s01 + s00) u v,
// with u = (x - x0)/dx and v = (y - y0)/dy, rewritten in absolute x and y:
// s = a + b x + c y + d x y.
struct Bilinear {
    double a, b, c, d;
};

Bilinear absolute_form(double s00, double s10, double s01, double s11, double x0, double y0,
                       double dx, double dy) {
    const double du = (s10 - s00) / dx;
    const double dv = (s01 - s00) / dy;
    const double duv = (s11 - s10 - s01 + s00) / (dx * dy);
    return {s00 - du * x0 - dv * y0 + duv * x0 * y0, du - duv * y0, dv - duv * x0, duv};
}

int depth_of(const Ntv2File &file, const Ntv2Subgrid &g) {
    int depth = 0;
    for (std::string at = g.parent; at != "NONE"; ++depth) {
        const auto parent = std::find_if(file.subgrids.begin(), file.subgrids.end(),
                                         [&](const Ntv2Subgrid &p) { return p.name == at; });
        at = parent->parent; // the reader checked that every parent exists
    }
    return depth;
}

GridDescription grid_of(const Ntv2Subgrid &g) {
    GridDescription out;
    GridHeader &h = out.header;
    h.kind = 1;
    h.lon_min = -g.west * kSecond;
    h.lat_min = g.south * kSecond;
    h.lon_step = g.lon_step * kSecond;
    h.lat_step = g.lat_step * kSecond;
    h.num_cols = g.cols - 1;
    h.num_rows = g.rows - 1;
    out.coefficients.reserve(static_cast<std::size_t>(h.num_cols) * h.num_rows * 8);
    // Node (row, j) with j counted from the east, as NTv2 stores them;
    // shifts turned into radians, the longitude's to east-positive.
    const auto node = [&](int row, int j) { return static_cast<std::size_t>(row) * g.cols + j; };
    const auto dlon = [&](std::size_t n) { return -g.lon_shift[n] * kSecond; };
    const auto dlat = [&](std::size_t n) { return g.lat_shift[n] * kSecond; };
    for (int r = 0; r < h.num_rows; ++r) {
        for (int c = 0; c < h.num_cols; ++c) {
            const int west = g.cols - 1 - c, east = west - 1;
            const std::size_t sw = node(r, west), se = node(r, east);
            const std::size_t nw = node(r + 1, west), ne = node(r + 1, east);
            const double x0 = h.lon_min + c * h.lon_step, y0 = h.lat_min + r * h.lat_step;
            const Bilinear lon = absolute_form(dlon(sw), dlon(se), dlon(nw), dlon(ne), x0, y0,
                                               h.lon_step, h.lat_step);
            const Bilinear lat = absolute_form(dlat(sw), dlat(se), dlat(nw), dlat(ne), x0, y0,
                                               h.lon_step, h.lat_step);
            // lon' = lon + shift, lat' = lat + shift.
            for (double v : {lon.a, 1.0 + lon.b, lon.c, lon.d, lat.a, lat.b, 1.0 + lat.c, lat.d})
                out.coefficients.push_back(v);
        }
    }
    return out;
}

} // namespace

std::vector<ChainedGrid> ntv2_chain(const Ntv2File &file) {
    std::vector<const Ntv2Subgrid *> order;
    for (const Ntv2Subgrid &g : file.subgrids)
        order.push_back(&g);
    std::stable_sort(order.begin(), order.end(), [&](const Ntv2Subgrid *a, const Ntv2Subgrid *b) {
        const int da = depth_of(file, *a), db = depth_of(file, *b);
        if (da != db)
            return da > db;
        return a->lat_step * a->lon_step < b->lat_step * b->lon_step;
    });
    std::vector<ChainedGrid> chain;
    for (const Ntv2Subgrid *g : order)
        chain.push_back({g->name, grid_of(*g)});
    return chain;
}

double largest_shift(const GridDescription &grid, double *lon, double *lat) {
    const GridHeader &h = grid.header;
    double largest = 0.0;
    *lon = h.lon_min, *lat = h.lat_min;
    for (int r = 0; r < h.num_rows; ++r) {
        for (int c = 0; c < h.num_cols; ++c) {
            const double *k =
                &grid.coefficients[(static_cast<std::size_t>(r) * h.num_cols + c) * 8];
            for (int corner = 0; corner < 4; ++corner) {
                const double x = h.lon_min + (c + corner % 2) * h.lon_step;
                const double y = h.lat_min + (r + corner / 2) * h.lat_step;
                const double dx = k[0] + k[1] * x + k[2] * y + k[3] * x * y - x;
                const double dy = k[4] + k[5] * x + k[6] * y + k[7] * x * y - y;
                const double shift = std::hypot(dx * std::cos(y), dy);
                if (shift > largest)
                    largest = shift, *lon = x, *lat = y;
            }
        }
    }
    return largest;
}

} // namespace mpxgrid
