// "mercator": the normal Mercator projection, ellipsoidal, spherical when
// e = 0.
//
// Source: Snyder, Map Projections: A Working Manual (USGS Professional Paper
// 1395, 1987), chapter 7: forward eqs. 7-6 and 7-7, backward eq. 7-13 for
// the conformal latitude and the series 3-5 from it to the latitude.
//
// Domain: every longitude, mapped linearly without wrapping (mode 1), and
// every latitude short of the poles. Singular: within 1e-10 rad of a pole
// (status 2, outputs untouched). A latitude beyond a pole maps like its
// mirror image inside.
//
// Departure from Snyder: the isometric latitude ln[(1 + sin phi)/cos phi] is
// computed for |phi| and given the sign of phi, the same value, which keeps
// 1 + sin phi from cancelling in the south and stays finite and accurate up
// to the pole tolerance (|cos phi| keeps a latitude beyond a pole on its
// mirror image). A non-finite input or result
// (NaN, infinite, a longitude so large that x overflows) gives status 1 with
// the outputs untouched.
#include "numeric/thresholds.hpp"

#include "mpxlib.h"
#include "proj/cylindrical/mercator_forms.hpp"

#include <cmath>
#include <numbers>

namespace {

MercatorRecord &record_of(void *params) { return *static_cast<MercatorRecord *>(params); }

// The forward routine takes any longitude and latitude as they come.
constexpr int kMercatorMode = MPX_PROJ_MODE_UNCONDITIONED;
constexpr int kStatusSingular = 2;

int mercator_init(void *params) noexcept {
    MercatorRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi;
    mpx_snyder_init_3_5(r.eccentricity, r.conformal);
    return 0;
}

} // namespace

int mercator_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    const MercatorRecord &r = record_of(params);
    if (is_pole(lat))
        return kStatusSingular;
    double east = 0.0;
    double north = 0.0;
    mpx_forms::mercator_forward(r, lon, lat, east, north);
    return store_finite(east, north, x, y);
}

int mercator_backward(void *params, double x, double y, double *lon, double *lat) noexcept {
    double lambda = 0.0;
    double phi = 0.0;
    mpx_forms::mercator_backward(record_of(params), x, y, lambda, phi);
    return store_finite(lambda, phi, lon, lat);
}

extern "C" int mpx_mercator_install(void) noexcept {
    MercatorRecord sample{};
    mpx_proj_create("mercator", &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(mercator_init, mercator_forward, mercator_backward);
    mpx_proj_ins_mode(kMercatorMode);
    return mpx_proj_end();
}
