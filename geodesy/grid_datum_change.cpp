// Datum change by correction grids: each cell carries polynomials in the
// absolute longitude x and latitude y (radians) that give the coordinates
// on the other datum,
//   quadratic (18 coefficients, three polynomials: lon, lat, height):
//     P = c0 + c1 x + c2 y + c3 x y + c4 x^2 + c5 y^2
//   bilinear (8 coefficients, two polynomials: lon, lat):
//     P = c0 + c1 x + c2 y + c3 x y
// Forward evaluates them; inverse solves Plon(u, v) = x, Plat(u, v) = y by
// fixed-point iteration, first on the cell that holds the input point.
//
// Departure from the classic inverse, which keeps that first cell: when the
// solution lies in another cell, that cell is fetched and the solution
// sought again there (at most kInverseCellChanges times). A grid shifts
// points by up to hundreds of metres (NTv2 national grids), so the solution
// often lies in a neighbouring cell; solving on the first cell alone then
// extrapolates its polynomials and lands up to 5 cm from the point whose
// forward change gives the input. Where the solution stays in the first
// cell, nothing changes.
#include "geodesy/grid_access_state.hpp"

#include <algorithm>
#include <cmath>

namespace {

// 3.14 / 180 x 1e-7: about a centimetre on the ground.
constexpr double kInverseTolerance = 1.7444444444444445e-09;
constexpr int kInverseMaxTests = 100;
// A solution moves at most a cell or two from the input point's cell.
constexpr int kInverseCellChanges = 4;

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
    double lon_constant() const { return c[0]; }
    double lon_slope() const { return c[1]; } // x term of Plon
    double lat_constant() const { return c[terms]; }
    double lat_slope() const { return c[terms + 2]; } // y term of Plat
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
    double u = (target.x - cell.lon_constant()) / a;
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

// Moves the solution of the inverse into the cell that holds it: while the
// cell at the solution is not the one solved on, solve again there. The
// cell's coefficients live in `coefficients`, which `cell` reads. A
// solution outside every grid keeps the last cell's answer; false when a
// later solve does not settle or the cells keep changing.
bool solve_in_cell_of_solution(double *coefficients, const CellPolynomials &cell, Point target,
                               Point &solution) {
    double found[MPX_GRID_MAX_COEFFS];
    const std::size_t count = static_cast<std::size_t>(cell.terms) * (cell.has_height() ? 3 : 2);
    for (int change = 0; change <= kInverseCellChanges; ++change) {
        if (grid_access_get_block(solution.x, solution.y, found) != 0 ||
            std::equal(found, found + count, coefficients))
            return true;
        if (change == kInverseCellChanges)
            return false;
        std::copy(found, found + count, coefficients);
        if (!solve_inverse(cell, target, solution))
            return false;
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
    // Forward evaluates at the input point; inverse solves for the point on
    // the grid's source datum, where the height polynomial then applies.
    Point at = in;
    Point out{};
    if (!g->inverse)
        out = {cell.lon(in.x, in.y), cell.lat(in.x, in.y)};
    else if (solve_inverse(cell, in, out) && solve_in_cell_of_solution(coefficients, cell, in, out))
        at = out;
    else
        return -1;
    const double lon_result = out.x - target->prime_merid;
    const double height_result = cell.height(at.x, at.y, height);
    // Coefficients that overflow give no point, not an infinite one.
    if (!std::isfinite(lon_result) || !std::isfinite(out.y) || !std::isfinite(height_result))
        return -1;
    *lon_out = lon_result;
    *lat_out = out.y;
    *height_out = height_result;
    return 0;
}
