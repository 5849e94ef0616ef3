// "dutch": the Netherlands' national grid (Rijksdriehoeksmeting, RD) by its
// approximation polynomials on the Bessel 1841 ellipsoid.
//
// Source: the approximation polynomials of the Rijksdriehoeksmeting (RD)
// between Bessel 1841 latitude and longitude and RD coordinates, in their
// rounded classic form: RD from latitude and longitude differences to the
// Amersfoort origin (52 09 22.178 N, 5 23 15.500 E) in units of 10^4
// arc-seconds, and latitude and longitude from grid differences in units
// of 100 km. The exact grid is the oblique stereographic projection of
// EPSG:28992 (Amersfoort / RD New).
//
// Domain: the Netherlands and its surroundings, where the polynomials hold
// the grid to a few decimetres (see the test table for the measured
// figures); the forward polynomials are evaluated for any input. The
// backward polynomials only start a bounded Newton search on the forward
// polynomials (numeric/bounded_newton.hpp), so forward and backward are
// each other's inverse to 0.1 mm.
//
// The polynomials belong to Bessel 1841: "spheroid.radius" and
// "spheroid.eccentricity" are declared for the coordinate system but not
// read.
//
// Departure: a non-finite input or image is refused with status 1 (nothing
// written) instead of being handed on with status 0.
#include "numeric/bounded_newton.hpp"

#include "mpxlib.h"

#include <cmath>
#include <numbers>

namespace {

struct DutchRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init: the units and the origin of the polynomials.
    double to_units;   // radians to 10^4 arc-seconds
    double from_units; // 10^4 arc-seconds to radians
    double length_unit;
    double phi0_units, lambda0_units;
    // Forward coefficients (x, then y) and backward start coefficients
    // (latitude, then longitude), in the order of the terms below.
    double fx[6], fy[8];
    double blat[7], blon[6];
};

DutchRecord &record_of(void *params) { return *static_cast<DutchRecord *>(params); }

constexpr int kDutchMode = 0;
constexpr int kStatusUnrepresentable = 1;
constexpr double kToUnits = 20.626480624709636; // 1 rad in 10^4 arc-seconds
constexpr double kFromUnits = 0.0484813681109536;
constexpr double kLengthUnit = 100000.0; // 100 km
constexpr double kArcSecond = 4.84813681109536e-06;
// Amersfoort, the origin of the grid: 52 09 22.178 N, 5 23 15.500 E.
constexpr double kOriginLatitude = 0.9102967269708094;
constexpr double kOriginLongitude = 0.0940320375389926;

// x: l, l p, l p^2, l^3, l p^3, l^3 p.
constexpr double kForwardX[6] = {190066.91, -11831.0, -114.2, -32.39, -2.33, -0.61};
// y: p, l^2, p^2, l^2 p, l^4, p^3, l^2 p^2, p^4.
constexpr double kForwardY[8] = {309020.34, 3638.36, 72.92, -157.97, 0.09, 59.77, -6.45, 0.07};
// Latitude (arc-seconds): v, u^2, v^2, u^2 v, v^3, u^4, u^2 v^2.
constexpr double kBackwardLat[7] = {3236.033, -32.592, -0.247, -0.85, -0.065, 0.005, -0.017};
// Longitude (arc-seconds): u, u v, u v^2, u^3, u v^3, u^3 v.
constexpr double kBackwardLon[6] = {5261.305, 105.979, 2.458, -0.819, 0.056, -0.056};

int dutch_init(void *params) noexcept {
    DutchRecord &r = record_of(params);
    r.to_units = kToUnits;
    r.from_units = kFromUnits;
    r.length_unit = kLengthUnit;
    r.phi0_units = kToUnits * kOriginLatitude;
    r.lambda0_units = kToUnits * kOriginLongitude;
    for (int i = 0; i < 6; ++i)
        r.fx[i] = kForwardX[i], r.blon[i] = kBackwardLon[i];
    for (int i = 0; i < 8; ++i)
        r.fy[i] = kForwardY[i];
    for (int i = 0; i < 7; ++i)
        r.blat[i] = kBackwardLat[i];
    r.long_cut = r.lambda0_units * r.from_units - std::numbers::pi;
    return 0;
}

int dutch_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const DutchRecord &r = record_of(params);
    const double p = lat * r.to_units - r.phi0_units;
    const double l = lon * r.to_units - r.lambda0_units;
    const double p2 = p * p, p3 = p2 * p, p4 = p3 * p;
    const double l2 = l * l, l3 = l2 * l, l4 = l3 * l;
    const double east = r.false_east + r.fx[0] * l + r.fx[1] * l * p + r.fx[2] * l * p2 +
                        r.fx[3] * l3 + r.fx[4] * l * p3 + r.fx[5] * l3 * p;
    const double north = r.false_north + r.fy[0] * p + r.fy[1] * l2 + r.fy[2] * p2 +
                         r.fy[3] * l2 * p + r.fy[4] * l4 + r.fy[5] * p3 + r.fy[6] * l2 * p2 +
                         r.fy[7] * p4;
    if (!std::isfinite(east) || !std::isfinite(north))
        return kStatusUnrepresentable;
    *x = east;
    *y = north;
    return 0;
}

int dutch_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const DutchRecord &r = record_of(params);
    const double u = (x - r.false_east) / r.length_unit;
    const double v = (y - r.false_north) / r.length_unit;
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u;
    const double v2 = v * v, v3 = v2 * v;
    const double phi =
        r.phi0_units * r.from_units +
        kArcSecond * (r.blat[0] * v + r.blat[1] * u2 + r.blat[2] * v2 + r.blat[3] * u2 * v +
                      r.blat[4] * v3 + r.blat[5] * u4 + r.blat[6] * u2 * v2);
    const double lambda = r.lambda0_units * r.from_units +
                          kArcSecond * (r.blon[0] * u + r.blon[1] * u * v + r.blon[2] * u * v2 +
                                        r.blon[3] * u3 + r.blon[4] * u * v3 + r.blon[5] * u3 * v);
    return bounded_newton_search(dutch_forward, params, x, y, lambda, phi, lon, lat);
}

} // namespace

extern "C" int mpx_dutch_install(void) noexcept {
    DutchRecord sample{};
    mpx_proj_create("dutch", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(dutch_init, dutch_forward, dutch_backward);
    mpx_proj_ins_mode(kDutchMode);
    return mpx_proj_end();
}
