// Datum change by correction grids: each cell carries polynomials in the
// absolute longitude x and latitude y (radians) that give the coordinates
// on the other datum,
//   quadratic (18 coefficients, three polynomials: lon, lat, height):
//     P = c0 + c1 x + c2 y + c3 x y + c4 x^2 + c5 y^2
//   bilinear (8 coefficients, two polynomials: lon, lat):
//     P = c0 + c1 x + c2 y + c3 x y
// Forward evaluates them; inverse solves Plon(u, v) = x, Plat(u, v) = y by
// fixed-point iteration on the cell that holds the input point.
#include "geodesy/grid_access_state.hpp"

#include <cmath>

namespace {

// 3.14 / 180 x 1e-7: about a centimetre on the ground.
constexpr double kInverseTolerance = 1.7444444444444445e-09;
constexpr int kInverseMaxTests = 100;

// The coefficients of one cell, seen as polynomials of `terms` terms each.
struct CellPolynomials {
    const double *c;
    int terms; // 6 quadratic, 4 bilinear

    double eval(int which, double x, double y) const {
        const double *k = c + which * terms;
        double value = k[0] + k[1] * x + k[2] * y + k[3] * x * y;
        if (terms == 6)
            value += k[4] * x * x + k[5] * y * y;
        return value;
    }
    double lon(double x, double y) const { return eval(0, x, y); }
    double lat(double x, double y) const { return eval(1, x, y); }
    bool has_height() const { return terms == 6; }
    double height(double x, double y, double height_in) const {
        return has_height() ? eval(2, x, y) : height_in;
    }
    double lon_slope() const { return c[1]; }         // x term of Plon
    double lat_slope() const { return c[terms + 2]; } // y term of Plat
    double lat_constant() const { return c[terms]; }
};

struct Point {
    double x, y;
};

// Fixed-point iteration u' = (x - (Plon(u, v) - c1 u)) / c1, likewise for
// v; both updates use the previous pair. False when it does not settle
// (including NaN from a zero slope).
bool solve_inverse(const CellPolynomials &cell, Point target, Point &solution) {
    const double a = cell.lon_slope();
    const double b = cell.lat_slope();
    double u = (target.x - cell.lon(0.0, 0.0)) / a;
    double v = (target.y - cell.lat_constant()) / b;
    for (int test = 0; test < kInverseMaxTests; ++test) {
        const double next_u = (target.x - (cell.lon(u, v) - a * u)) / a;
        const double next_v = (target.y - (cell.lat(u, v) - b * v)) / b;
        const bool settled = std::fabs(next_u - u) <= kInverseTolerance &&
                             std::fabs(next_v - v) <= kInverseTolerance;
        u = next_u;
        v = next_v;
        if (settled) {
            solution = {u, v};
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int mpx_grid_gd_to_gd(const mpx_grid_change *g, const mpx_ellipsoid *source,
                                 const mpx_ellipsoid *target, double lon, double lat, double height,
                                 double *lon_out, double *lat_out, double *height_out) noexcept {
    if (!lon_out || !lat_out || !height_out)
        return -1;
    // Every failure hands the input point back.
    *lon_out = lon;
    *lat_out = lat;
    *height_out = height;
    if (!g || !source || !target)
        return -1;
    grid_access_set_current_id(g->grid_id);
    // The record must agree with the files, or the coefficients would be
    // read with the wrong layout.
    if ((g->num_coeffs != kGridQuadraticCoeffs && g->num_coeffs != kGridBilinearCoeffs) ||
        g->num_coeffs != grid_access_inq_num_coeffs())
        return -1;
    // The cell is looked up at the absolute longitude, the one the
    // polynomials are evaluated at, so that a datum with a prime meridian
    // other than Greenwich uses the cell that covers the point.
    const Point in{lon + source->prime_merid, lat};
    double coefficients[MPX_GRID_MAX_COEFFS];
    if (grid_access_get_block(in.x, in.y, coefficients) != 0)
        return -1;
    const CellPolynomials cell{coefficients, g->num_coeffs == kGridQuadraticCoeffs ? 6 : 4};
    Point out = in;
    if (!g->inverse)
        out = {cell.lon(in.x, in.y), cell.lat(in.x, in.y)};
    else if (!solve_inverse(cell, in, out))
        return -1;
    const double lon_result = out.x - target->prime_merid;
    const double height_result =
        cell.height(g->inverse ? out.x : in.x, g->inverse ? out.y : in.y, height);
    // Coefficients that overflow give no point, not an infinite one.
    if (!std::isfinite(lon_result) || !std::isfinite(out.y) || !std::isfinite(height_result))
        return -1;
    *lon_out = lon_result;
    *lat_out = out.y;
    *height_out = height_result;
    return 0;
}
