// "robinson": the Robinson projection, by interpolation in Robinson's
// published table of the projection.
//
// Source: A. H. Robinson, "A new map projection: its development and
// characteristics", International Yearbook of Cartography 14 (1974); the
// table (relative length X of each parallel and relative distance Y of the
// parallel from the equator, at 5-degree steps) as reprinted in Snyder and
// Voxland, An Album of Map Projections (USGS Professional Paper 1453,
// 1989), pp. 82-83 and 222-223. The interpolation is Stirling's
// central-difference formula of the second degree, as in Snyder, "The
// Robinson projection: a computation algorithm", Cartography and GIS 17(4),
// 1990: T(j, u) = T[j] + u (T[j+1] - T[j-1])/2 + u^2 (T[j+1] - 2 T[j] +
// T[j-1])/2, with a row j = -1 mirroring row 1 for the first interval. The
// backward routine inverts the interpolation for the row and fraction, then
// corrects the latitude by a fixed-point iteration on y.
//
// Domain: the whole sphere of radius a (the eccentricity is declared but
// not used); x = 0.8487 a X dlon, y = 1.3523 a Y. Longitudes are brought
// into +-pi of the central meridian; the forward routine otherwise takes
// its input as it comes (mode 1). The poles are lines 0.5322 times the
// equator's length.
//
// Choices and departures:
// - The table ends at 90 degrees. A latitude beyond a pole by more than
//   1e-10 rad (which unconditioned input can bring) is refused with status
//   1, outputs untouched; within 1e-10 rad it is taken as the pole. The row
//   index is kept inside the table whatever the input.
// - A non-finite input or result gives status 1 with the outputs untouched
//   (forward and backward); the backward routine's own failures (a y beyond
//   the pole lines, a correction that does not settle) return -2 as the
//   method has it.
// - The table inversion chooses its row as the method does (by the series
//   of the root of the interpolation quadratic), then starts the latitude
//   correction from the quadratic's root itself rather than from the
//   three-term series. The correction, whose steps assume one metre of y
//   per metre of latitude, then finds y reproduced at its first evaluation
//   instead of after up to a dozen (more near the poles, where y grows at
//   0.37 of that rate); the latitudes differ from the series start's by
//   less than the correction's 1e-7 tolerance in y.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// Rows j = -1 to 18 (index j + 1): latitude 5j degrees; row -1 mirrors row
// 1 (X[-1] = X[1], Y[-1] = -Y[1]).
constexpr int kRows = 20;
constexpr std::array<double, kRows> kRobinsonX = {
    0.9986, 1.0000, 0.9986, 0.9954, 0.9900, 0.9822, 0.9730, 0.9600, 0.9427, 0.9216,
    0.8962, 0.8679, 0.8350, 0.7986, 0.7597, 0.7186, 0.6732, 0.6213, 0.5722, 0.5322};
constexpr std::array<double, kRows> kRobinsonY = {
    -0.0620, 0.0000, 0.0620, 0.1240, 0.1860, 0.2480, 0.3100, 0.3720, 0.4340, 0.4958,
    0.5571,  0.6176, 0.6769, 0.7346, 0.7903, 0.8435, 0.8936, 0.9394, 0.9761, 1.0000};

struct RobinsonRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double radius;
    double eccentricity; // declared for the loader, not used
    double long_cut;
    // Derived by init: the table with its mirrored row, the factors of x
    // and y, and the guard that keeps a node latitude in the row below it.
    double x_table[kRows];
    double y_table[kRows];
    double x_factor;
    double y_factor;
    double index_guard;
};

RobinsonRecord &record_of(void *params) { return *static_cast<RobinsonRecord *>(params); }

// The forward routine takes any longitude and latitude as they come.
constexpr int kRobinsonMode = MPX_PROJ_MODE_UNCONDITIONED;
constexpr int kStatusUnrepresentable = 1;
constexpr int kStatusFailed = -2;

constexpr double kXFactor = 0.8487;
constexpr double kYFactor = 1.3523;
constexpr double kIndexGuard = 1e-10;
constexpr double kDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kStepDegrees = 5.0;
// Interpolation rows: j - 1, j, j + 1 must exist, so j runs from 0 to 17.
constexpr int kLastRow = 17;
// The latitude correction stops when y is reproduced within this (in the
// unit of a, 0.1 micrometre in metres).
constexpr double kCorrectionTolerance = 1e-7;

int robinson_init(void *params) noexcept {
    RobinsonRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    std::copy(kRobinsonX.begin(), kRobinsonX.end(), r.x_table);
    std::copy(kRobinsonY.begin(), kRobinsonY.end(), r.y_table);
    r.x_factor = kXFactor;
    r.y_factor = kYFactor;
    r.index_guard = kIndexGuard;
    return 0;
}

// Stirling's formula at row j (0..17) with fraction u.
double interpolate(const double *table, int j, double u) {
    const double below = table[j];
    const double at = table[j + 1];
    const double above = table[j + 2];
    return at + u * (above - below) / 2 + u * u * (above - 2 * at + below) / 2;
}

struct Row {
    int j;
    double u;
};

// Row and fraction of a latitude given as |latitude in degrees| / 5, which
// the caller keeps within 0..18.
Row row_of(const RobinsonRecord &r, double p) {
    const int j = std::clamp(static_cast<int>(p - r.index_guard), 0, kLastRow);
    return {j, p - j};
}

int robinson_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const RobinsonRecord &r = record_of(params);
    if (!std::isfinite(lon) || !std::isfinite(lat))
        return kStatusUnrepresentable;
    if (std::fabs(lat) > std::numbers::pi / 2 + kPoleTolerance)
        return kStatusUnrepresentable;
    const double dlon = mpx_normal_pi(lon - r.centre_merid);
    const double p = std::min(std::fabs(lat * 0.2 * kDegreesPerRadian), 18.0);
    const Row row = row_of(r, p);
    const double xp = interpolate(r.x_table, row.j, row.u) * r.x_factor * dlon * r.radius;
    const double yp = std::fabs(interpolate(r.y_table, row.j, row.u) * r.y_factor * r.radius);
    *x = xp + r.false_east;
    *y = (lat < 0 ? -yp : yp) + r.false_north;
    return 0;
}

// The row search of the table inversion: from the row below |phi_deg|/5
// (phi_deg within +-90) downwards until the root f of the interpolation
// quadratic f + c f^2 = t, solved by its series, lies in the row. The
// estimate then takes the quadratic's root itself, 2 t / (1 + sqrt(1 +
// 4 c t)), which the forward interpolation reproduces to rounding wherever
// it lies inside the row. Gives the latitude estimate in degrees.
double invert_table(const RobinsonRecord &r, double yy, double phi_deg) {
    const double *t = r.y_table + 1; // t[i] is row i
    int i = std::max(static_cast<int>(std::fabs(phi_deg) * 0.2 - r.index_guard), 1);
    double f = 0, tt = 0, c = 0;
    for (;;) {
        const double du = t[i + 1] - t[i - 1];
        const double dv = t[i + 1] - 2 * t[i] + t[i - 1];
        tt = 2 * (std::fabs(yy) - t[i]) / du;
        c = dv / du;
        f = tt * (1 - c * tt * (1 - 2 * c * tt));
        if (f >= 0 || i == 1)
            break;
        --i;
    }
    const double discriminant = 1 + 4 * c * tt;
    if (discriminant >= 0)
        f = 2 * tt / (1 + std::sqrt(discriminant));
    const double deg = std::fabs((i + f) * kStepDegrees);
    return yy < 0 ? -deg : deg;
}

int robinson_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const RobinsonRecord &r = record_of(params);
    if (!std::isfinite(x) || !std::isfinite(y))
        return kStatusUnrepresentable;
    const double xp = x - r.false_east;
    const double yp = y - r.false_north;
    const double yy = yp / r.radius / r.y_factor;
    double phi_deg = invert_table(r, yy, std::clamp(yy * 90, -90.0, 90.0));
    // Fixed-point correction of the latitude until y is reproduced.
    Row row{0, 0.0};
    double residual = 1.0;
    int m = 0;
    while (std::fabs(residual) >= kCorrectionTolerance) {
        const double p = std::fabs(phi_deg * 0.2);
        // Row 18 (the pole) has no row above it: a latitude that reaches
        // it, or runs past the pole, cannot be interpolated.
        if (!(p - r.index_guard < kLastRow + 1))
            return kStatusFailed;
        row = row_of(r, p);
        const double y1 = std::fabs(interpolate(r.y_table, row.j, row.u) * r.radius * r.y_factor);
        residual = (yp < 0 ? -y1 : y1) - yp;
        ++m;
        phi_deg -= residual * kDegreesPerRadian / r.radius;
        if (m > kMaxIterations)
            break;
    }
    if (m >= kMaxIterations)
        return kStatusFailed;
    const double lam =
        xp / r.radius / r.x_factor / interpolate(r.x_table, row.j, row.u) + r.centre_merid;
    const double phi = phi_deg * kDegree;
    if (!std::isfinite(lam) || !std::isfinite(phi))
        return kStatusUnrepresentable;
    *lon = lam;
    *lat = phi;
    return 0;
}

} // namespace

extern "C" int mpx_robinson_install(void) noexcept {
    RobinsonRecord sample{};
    mpx_proj_create("robinson", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(robinson_init, robinson_forward, robinson_backward);
    mpx_proj_ins_mode(kRobinsonMode);
    return mpx_proj_end();
}
