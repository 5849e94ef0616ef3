// Template "xxxx": the shape of a complete projection with the largest
// parameter set. Its routines compute nothing and say so; a new projection
// starts as a copy of this file.
#include "frame/support.hpp"

#include "mpxlib.h"

#include <numbers>

namespace {

struct XxxxRecord {
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double centre_lat;
    double first_paral;
    double second_paral;
    double true_merid;
    double azimuth_angl;
    double point_1_lat;
    double point_1_long;
    double point_2_lat;
    double point_2_long;
    double origin_lat;
    double origin_long;
    double coeff_a1;
    double coeff_b1;
    double radius;
    double eccentricity;
    double long_cut;
};

XxxxRecord &record_of(void *params) { return *static_cast<XxxxRecord *>(params); }

int xxxx_init(void *params) noexcept {
    XxxxRecord &r = record_of(params);
    r.long_cut = r.centre_merid - std::numbers::pi; // window centred on the central meridian
    qfio_Printf("\n mpx_xxxx_init() not yet implemented ");
    return 0;
}

int xxxx_forward(void *, double, double, double *x, double *y) noexcept {
    qfio_Printf("\n mpx_xxxx_forward() not yet implemented ");
    *x = 0.0;
    *y = 0.0;
    return 0;
}

int xxxx_backward(void *, double, double, double *lon, double *lat) noexcept {
    qfio_Printf("\n mpx_xxxx_backward() not yet implemented ");
    *lon = 0.0;
    *lat = 0.0;
    return 0;
}

} // namespace

extern "C" int mpx_xxxx_install() noexcept {
    XxxxRecord r{};
    mpx_proj_create("xxxx", &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("false_east", &r.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &r.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &r.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &r.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &r.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("first_paral", &r.first_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("second_paral", &r.second_paral, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("true_merid", &r.true_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("azimuth_angl", &r.azimuth_angl, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("point_1_lat", &r.point_1_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("point_1_long", &r.point_1_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("point_2_lat", &r.point_2_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("point_2_long", &r.point_2_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_lat", &r.origin_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("origin_long", &r.origin_long, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("coeff_a1", &r.coeff_a1, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("coeff_b1", &r.coeff_b1, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &r.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &r.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(xxxx_init, xxxx_forward, xxxx_backward);
    mpx_proj_ins_mode(MPX_PROJ_MODE_UNCONDITIONED);
    return mpx_proj_end();
}
