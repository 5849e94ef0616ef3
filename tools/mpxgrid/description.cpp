// The grid description: a plain-text form of a grid file.
//
//   kind K                 0: quadratic cells (18 coefficients),
//                          1: bilinear cells (8 coefficients)
//   origin LON LAT         south-west corner, degrees
//   step DLON DLAT         cell width and height, degrees, positive
//   size COLS ROWS         cells per row, rows (positive)
//   cells                  then COLS x ROWS x (18 or 8) coefficients:
//                          row 0 (south) first, each row west to east,
//                          each cell's coefficients in index order, in
//                          radians as the polynomials take them
//
// Words are separated by blanks or line ends; '#' starts a comment.
#include "mpxgrid.hpp"
#include "text_input.hpp"

#include <cstdint>
#include <cstdio>

namespace mpxgrid {
namespace {

// Checks each value as it is read, so a message names the line at fault.
bool read_header(WordReader &in, GridHeader &h) {
    std::optional<int> kind, cols, rows;
    std::optional<double> lon, lat, dlon, dlat;
    if (!in.expect("kind") || !(kind = in.integer("kind")))
        return false;
    if (coefficients_per_cell(*kind) == 0)
        return in.fail("kind must be 0 (quadratic) or 1 (bilinear)");
    if (!in.expect("origin") || !(lon = in.number("origin longitude")) ||
        !(lat = in.number("origin latitude")) || !in.expect("step") ||
        !(dlon = in.number("longitude step")) || !(dlat = in.number("latitude step")))
        return false;
    if (!(*dlon > 0 && *dlat > 0))
        return in.fail("steps must be positive");
    if (!in.expect("size") || !(cols = in.integer("column count")) ||
        !(rows = in.integer("row count")))
        return false;
    if (*cols <= 0 || *rows <= 0)
        return in.fail("column and row counts must be positive");
    if (!in.expect("cells"))
        return false;
    h = {*kind, *lon * kDegree, *lat * kDegree, *dlon * kDegree, *dlat * kDegree, *cols, *rows};
    return true;
}

} // namespace

std::optional<GridDescription> read_description(const std::string &path) {
    auto words = read_words(path);
    if (!words) {
        std::fprintf(stderr, "mpxgrid: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    WordReader in(path, std::move(*words));
    GridDescription grid;
    if (!read_header(in, grid.header))
        return std::nullopt;
    const std::int64_t expected = std::int64_t{grid.header.num_cols} * grid.header.num_rows *
                                  coefficients_per_cell(grid.header.kind);
    // Read what is there, then compare: a bogus count never sizes anything.
    while (!in.at_end()) {
        const auto value = in.number("coefficient");
        if (!value)
            return std::nullopt;
        grid.coefficients.push_back(*value);
    }
    if (static_cast<std::int64_t>(grid.coefficients.size()) != expected) {
        in.fail("expected " + std::to_string(expected) + " coefficients, found " +
                std::to_string(grid.coefficients.size()));
        return std::nullopt;
    }
    return grid;
}

int run_build(const std::string &description, const std::string &output) {
    const auto grid = read_description(description);
    if (!grid)
        return 1;
    if (!write_grid_file(output, grid->header, grid->coefficients)) {
        std::fprintf(stderr, "mpxgrid: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

} // namespace mpxgrid
