// What the two Lambert keywords declare, over any record built on their
// declared fields: the classic form (lambert.cpp) and its exact companion
// (proj/exact/lambert_exact.cpp) differ only in their derived fields and
// routines. "lambert1" leaves the parallels out (they stay zero) and sets
// mode 0; "lambert2" sets no mode.
#pragma once

#include "mpxlib.h"

#include <type_traits>

// The attributes the keywords declare, in installer order; a record adds
// its derived fields after them.
struct LambertDeclared {
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double centre_lat;
    double first_paral;
    double second_paral;
    double radius;
    double eccentricity;
    double long_cut;
};

template <class Record>
int install_lambert_keyword(const char *keyword, bool two_parallels, mpx_proj_init_fn init,
                            mpx_proj_forward_fn forward, mpx_proj_backward_fn backward) noexcept {
    static_assert(std::is_base_of_v<LambertDeclared, Record>);
    Record sample{};
    mpx_proj_create(keyword, &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par("false_east", &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_north", &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("scale_factor", &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_merid", &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("centre_lat", &sample.centre_lat, MPX_TYPE_DOUBLE);
    if (two_parallels) {
        mpx_proj_ins_par("first_paral", &sample.first_paral, MPX_TYPE_DOUBLE);
        mpx_proj_ins_par("second_paral", &sample.second_paral, MPX_TYPE_DOUBLE);
    }
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(init, forward, backward);
    if (!two_parallels)
        mpx_proj_ins_mode(0);
    return mpx_proj_end();
}
