// mpxgrid fit-bw: a bilinear grid description that follows a Bursa-Wolfe
// datum change. Each cell's two polynomials (in absolute radians) pass
// exactly through the changed coordinates of the cell's four corners,
// computed at height 0 with the library's own Bursa-Wolfe change.
//
// Parameters file (words separated by blanks, '#' starts a comment):
//   source_ellipsoid A INVERSE_FLATTENING
//   target_ellipsoid A INVERSE_FLATTENING
//   bursa_wolfe TX TY TZ RX RY RZ DS    metres; arc-seconds, position-vector
//                                       convention; parts per million
//   grid LON_MIN LAT_MIN DLON DLAT COLS ROWS    degrees; cell counts
#include "mpxgrid.hpp"
#include "text_input.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace mpxgrid {
namespace {

constexpr double kArcSecond = kDegree / 3600.0;
constexpr double kPartsPerMillion = 1e-6;
// A guard against a typo that would write gigabytes: national grids at
// fitting resolutions stay far below it.
constexpr std::int64_t kMaxFitCells = 1'000'000;

struct FitParameters {
    mpx_ellipsoid source{}, target{};
    mpx_bw_params change{};
    double arc_seconds[3]{}, ppm = 0;                    // as given, for the record
    double lon_min = 0, lat_min = 0, dlon = 0, dlat = 0; // degrees
    int cols = 0, rows = 0;
};

bool read_ellipsoid(WordReader &in, const char *keyword, mpx_ellipsoid &e) {
    if (!in.expect(keyword))
        return false;
    const auto a = in.number("semi-major axis");
    const auto inverse_flattening = a ? in.number("inverse flattening") : std::nullopt;
    if (!inverse_flattening)
        return false;
    if (!(*a > 0 && *inverse_flattening > 1))
        return in.fail("need a positive axis and an inverse flattening above 1");
    const double f = 1.0 / *inverse_flattening;
    e = {*a, std::sqrt(f * (2.0 - f)), 0.0};
    return true;
}

bool read_parameters(WordReader &in, FitParameters &p) {
    if (!read_ellipsoid(in, "source_ellipsoid", p.source) ||
        !read_ellipsoid(in, "target_ellipsoid", p.target))
        return false;
    double values[7];
    if (!in.expect("bursa_wolfe"))
        return false;
    for (double &value : values) {
        const auto number = in.number("Bursa-Wolfe parameter");
        if (!number)
            return false;
        value = *number;
    }
    std::copy(values + 3, values + 6, p.arc_seconds);
    p.ppm = values[6];
    p.change = {MPX_BW_FULL,
                values[0],
                values[1],
                values[2],
                values[3] * kArcSecond,
                values[4] * kArcSecond,
                values[5] * kArcSecond,
                1.0 + values[6] * kPartsPerMillion};
    std::optional<double> lon, lat, dlon, dlat;
    std::optional<int> cols, rows;
    if (!in.expect("grid"))
        return false;
    if (!((lon = in.number("origin longitude")) && (lat = in.number("origin latitude")) &&
          (dlon = in.number("longitude step")) && (dlat = in.number("latitude step")) &&
          (cols = in.integer("column count")) && (rows = in.integer("row count"))))
        return false;
    if (!(*dlon > 0 && *dlat > 0 && *cols > 0 && *rows > 0))
        return in.fail("steps and counts must be positive");
    if (std::int64_t{*cols} * *rows > kMaxFitCells)
        return in.fail("more than " + std::to_string(kMaxFitCells) + " cells");
    if (!in.at_end())
        return in.fail("unexpected words after the grid line");
    p.lon_min = *lon;
    p.lat_min = *lat;
    p.dlon = *dlon;
    p.dlat = *dlat;
    p.cols = *cols;
    p.rows = *rows;
    return true;
}

// Bilinear P = c0 + c1 x + c2 y + c3 x y through f00 at (x0, y0), f10 at
// (x1, y0), f01 at (x0, y1) and f11 at (x1, y1).
void fit_bilinear(double x0, double y0, double dx, double dy, double f00, double f10, double f01,
                  double f11, double *c) {
    const double a = (f10 - f00) / dx;
    const double b = (f01 - f00) / dy;
    const double d = (f11 - f10 - f01 + f00) / (dx * dy);
    c[0] = f00 - a * x0 - b * y0 + d * x0 * y0;
    c[1] = a - d * y0;
    c[2] = b - d * x0;
    c[3] = d;
}

bool write_cell(std::FILE *out, const FitParameters &p, const GridHeader &h, int row, int col) {
    const double x0 = h.lon_min + col * h.lon_step;
    const double y0 = h.lat_min + row * h.lat_step;
    double lon[2][2], lat[2][2]; // [dy][dx]
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            double height;
            if (mpx_bw_gd_to_gd(&p.change, &p.source, &p.target, x0 + i * h.lon_step,
                                y0 + j * h.lat_step, 0.0, &lon[j][i], &lat[j][i], &height) != 0)
                return false;
        }
    }
    double c[8];
    fit_bilinear(x0, y0, h.lon_step, h.lat_step, lon[0][0], lon[0][1], lon[1][0], lon[1][1], c);
    fit_bilinear(x0, y0, h.lon_step, h.lat_step, lat[0][0], lat[0][1], lat[1][0], lat[1][1], c + 4);
    std::fprintf(out, "# row %d col %d\n", row, col);
    for (int k = 0; k < 8; k += 4)
        std::fprintf(out, "%.17g %.17g %.17g %.17g\n", c[k], c[k + 1], c[k + 2], c[k + 3]);
    return true;
}

void write_preamble(std::FILE *out, const std::string &source, const FitParameters &p) {
    std::fprintf(out,
                 "# Bilinear grid fitted by 'mpxgrid fit-bw %s' to the Bursa-Wolfe change\n"
                 "#   source ellipsoid a %.10g e %.17g\n#   target ellipsoid a %.10g e %.17g\n"
                 "#   translations %.10g %.10g %.10g m\n"
                 "#   rotations %.10g %.10g %.10g arc-seconds (position vector)\n"
                 "#   scale change %.10g ppm\n"
                 "# Each cell is exact at its four corners (height 0).\n",
                 source.c_str(), p.source.radius, p.source.eccentricity, p.target.radius,
                 p.target.eccentricity, p.change.translation_x, p.change.translation_y,
                 p.change.translation_z, p.arc_seconds[0], p.arc_seconds[1], p.arc_seconds[2],
                 p.ppm);
    std::fprintf(out, "kind 1\norigin %.17g %.17g\nstep %.17g %.17g\nsize %d %d\ncells\n",
                 p.lon_min, p.lat_min, p.dlon, p.dlat, p.cols, p.rows);
}

} // namespace

int run_fit_bw(const std::string &parameters, const std::string &output) {
    auto words = read_words(parameters);
    if (!words) {
        std::fprintf(stderr, "mpxgrid: cannot read %s\n", parameters.c_str());
        return 1;
    }
    WordReader in(parameters, std::move(*words));
    FitParameters p;
    if (!read_parameters(in, p))
        return 1;
    // The same degree-to-radian conversion as 'build', so the corners fitted
    // here are the corners of the cells in the binary file.
    const GridHeader h{
        1,     p.lon_min * kDegree, p.lat_min * kDegree, p.dlon * kDegree, p.dlat * kDegree, p.cols,
        p.rows};
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> out(std::fopen(output.c_str(), "w"),
                                                         std::fclose);
    if (!out) {
        std::fprintf(stderr, "mpxgrid: cannot write %s\n", output.c_str());
        return 1;
    }
    write_preamble(out.get(), parameters, p);
    for (int row = 0; row < p.rows; ++row) {
        for (int col = 0; col < p.cols; ++col) {
            if (!write_cell(out.get(), p, h, row, col)) {
                std::fprintf(stderr, "mpxgrid: the Bursa-Wolfe change failed\n");
                return 1;
            }
        }
    }
    return std::fclose(out.release()) == 0 ? 0 : 1;
}

} // namespace mpxgrid
