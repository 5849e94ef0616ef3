// "placaree": the equirectangular projection (plate carree) on the sphere of
// radius a, true to scale along the standard parallel "centre_lat".
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 12, eqs. 12-1 and 12-2 and their inverses.
//
// Domain: the whole plane; no singular point. A non-finite input or result
// (NaN, infinite, an overflow; a standard parallel at a pole, which makes
// every x equal to the false easting and the backward longitude infinite)
// gives status 1 with the outputs untouched rather than a silent non-number. The eccentricity is
// declared for the loader but not used: the projection is spherical. As in Snyder, y is a times the
// latitude itself, not its distance from the standard parallel: the false northing alone places the
// origin.
#include "mpxlib.h"
#include "numeric/thresholds.hpp"

#include <cmath>
#include <numbers>

namespace {

struct PlacareeRecord {
    // Declared attributes, in installer order.
    double false_east;
    double false_north;
    double centre_merid;
    double centre_lat; // the standard parallel
    double radius;
    double eccentricity;
    double long_cut;
    // Derived by init: length of one radian of longitude, a cos(phi1).
    double parallel_radius;
};

PlacareeRecord &record_of(void *params) { return *static_cast<PlacareeRecord *>(params); }

// Value 3 as set for this projection in the registry table: the
// unconditioned flag (any longitude maps linearly) plus the unused flag 2.
constexpr int kPlacareeMode = 3;

int placaree_init(void *params) noexcept {
    PlacareeRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    r.parallel_radius = r.radius * std::cos(r.centre_lat);
    return 0;
}

int placaree_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const PlacareeRecord &r = record_of(params);
    return store_finite((lon - r.centre_merid) * r.parallel_radius + r.false_east,
                        lat * r.radius + r.false_north, x, y);
}

int placaree_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    const PlacareeRecord &r = record_of(params);
    return store_finite((x - r.false_east) / r.parallel_radius + r.centre_merid,
                        (y - r.false_north) / r.radius, lon, lat);
}

} // namespace

extern "C" int mpx_placaree_install(void) noexcept {
    PlacareeRecord sample{};
    mpx_proj_create("placaree", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(placaree_init, placaree_forward, placaree_backward);
    mpx_proj_ins_mode(kPlacareeMode);
    return mpx_proj_end();
}
