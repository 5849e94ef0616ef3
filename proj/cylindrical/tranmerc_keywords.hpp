// What the three Transverse Mercator keywords ("tranmerc", "stm", "utm")
// declare and set, over any record built on their declared fields: the
// series form (tranmerc_forms.hpp) and the exact companion
// (proj/exact/tranmerc_exact.cpp) differ only in their derived fields and
// routines.
#pragma once

#include "mpxlib.h"

#include <cstdint>
#include <type_traits>

// The attributes the keywords declare, in installer order; a record adds
// its derived fields after them.
struct TranmercDeclared {
    int32_t zone;
    char hemisphere;
    int32_t grid_ws; // non-zero: x grows westward and y southward
    double false_east;
    double false_north;
    double scale_factor;
    double centre_merid;
    double centre_lat;
    double radius;
    double eccentricity;
    double long_cut;
};

namespace tranmerc_keywords {

// Mode 2: forward expects longitudes brought into the window (not mode 1).
inline constexpr int kMode = 2;
inline constexpr int32_t kNoZone = -999;
inline constexpr char kNoHemisphere = ' ';

// UTM grid (NIMA TM 8358.2, ch. 2): 60 zones of 6 degrees from 180 W.
inline constexpr double kUtmFalseEasting = 500000.0;
inline constexpr double kUtmSouthFalseNorthing = 10000000.0;
inline constexpr double kUtmScale = 0.9996;
inline constexpr double kUtmZoneWidth = 0.10471975511965977;    // 6 degrees
inline constexpr double kUtmWestOfZoneZero = 3.193952531149623; // 183 degrees: zone 1 on 177 W

enum class Keyword { Tranmerc, Stm, Utm };

// The variant part of init: the fields each keyword fixes before the
// common part derives the rest.
inline void set_keyword_fields(TranmercDeclared &r, Keyword keyword) noexcept {
    switch (keyword) {
    case Keyword::Tranmerc:
        r.grid_ws = 0;
        r.zone = kNoZone;
        r.hemisphere = kNoHemisphere;
        return;
    case Keyword::Stm:
        r.zone = kNoZone;
        r.hemisphere = kNoHemisphere;
        r.grid_ws = 1;
        return;
    case Keyword::Utm:
        r.grid_ws = 0;
        r.false_east = kUtmFalseEasting;
        // Only an upper-case 'S' means south; the zone is not range-checked,
        // so zone 0 lies on 183 W and zones past 60 keep counting eastward.
        r.false_north = r.hemisphere == 'S' ? kUtmSouthFalseNorthing : 0.0;
        r.scale_factor = kUtmScale;
        r.centre_merid = r.zone * kUtmZoneWidth - kUtmWestOfZoneZero;
        r.centre_lat = 0.0;
        return;
    }
}

// A dotted attribute name, shown (dot dropped) when `visible`: "utm" reads
// zone and hemisphere from its table and hides the origin; the other two do
// the opposite.
inline const char *name_as(const char *dotted, bool visible) noexcept {
    return visible ? dotted + 1 : dotted;
}

inline const char *keyword_name(Keyword keyword) noexcept {
    switch (keyword) {
    case Keyword::Stm:
        return "stm";
    case Keyword::Utm:
        return "utm";
    default:
        return "tranmerc";
    }
}

// Registers one keyword with the shared record layout and mode 2.
template <class Record>
int install(Keyword keyword, mpx_proj_init_fn init, mpx_proj_forward_fn forward,
            mpx_proj_backward_fn backward) noexcept {
    static_assert(std::is_base_of_v<TranmercDeclared, Record>);
    const bool utm = keyword == Keyword::Utm;
    Record sample{};
    mpx_proj_create(keyword_name(keyword), &sample, static_cast<int>(sizeof sample));
    mpx_proj_ins_par(name_as(".zone", utm), &sample.zone, MPX_TYPE_LONG);
    mpx_proj_ins_par(name_as(".hemisphere", utm), &sample.hemisphere, MPX_TYPE_CHAR);
    mpx_proj_ins_par(".grid_ws", &sample.grid_ws, MPX_TYPE_LONG);
    mpx_proj_ins_par(name_as(".false_east", !utm), &sample.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".false_north", !utm), &sample.false_north, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".scale_factor", !utm), &sample.scale_factor, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".centre_merid", !utm), &sample.centre_merid, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(name_as(".centre_lat", !utm), &sample.centre_lat, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &sample.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(init, forward, backward);
    mpx_proj_ins_mode(kMode);
    return mpx_proj_end();
}

} // namespace tranmerc_keywords
