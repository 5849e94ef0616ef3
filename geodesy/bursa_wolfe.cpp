// Seven-parameter (Bursa-Wolfe) similarity between geocentric frames,
// position-vector rotation convention (EPSG Guidance Note 7-2, method
// 1033), small-angle form:
//   X' = s (X - rz Y + ry Z) + tx
//   Y' = s (rz X + Y - rx Z) + ty
//   Z' = s (-ry X + rx Y + Z) + tz
// The inverse and the chaining of two records are first-order: exact for
// translations, correct to first order in the rotations and in s - 1, which
// is how such parameter sets are published and combined.
#include "geodesy/geocentric_forms.hpp"
#include "mpxlib.h"

#include <algorithm>

namespace {

struct Xyz {
    double x, y, z;
};

bool type_known(int type) { return type >= MPX_BW_IDENTITY && type <= MPX_BW_FULL; }

// Caller has checked the type.
Xyz apply(const mpx_bw_params &p, const Xyz &in) {
    Xyz out = in;
    mpx_forms::bursa_wolfe(p, out.x, out.y, out.z);
    return out;
}

} // namespace

extern "C" int mpx_xyz_to_xyz(const mpx_bw_params *p, double x, double y, double z, double *x_out,
                              double *y_out, double *z_out) noexcept {
    if (!p || !type_known(p->type) || !x_out || !y_out || !z_out)
        return -1;
    const Xyz out = apply(*p, {x, y, z});
    *x_out = out.x;
    *y_out = out.y;
    *z_out = out.z;
    return 0;
}

extern "C" int mpx_bw_invert(const mpx_bw_params *source, mpx_bw_params *result) noexcept {
    if (!source || !result)
        return -1;
    const mpx_bw_params s = *source; // result may be the source
    *result = {s.type,        -s.translation_x, -s.translation_y, -s.translation_z,
               -s.rotation_x, -s.rotation_y,    -s.rotation_z,    1.0 / s.scale};
    return 0;
}

extern "C" int mpx_bw_combine(const mpx_bw_params *first, const mpx_bw_params *second,
                              mpx_bw_params *result) noexcept {
    if (!first || !second || !result)
        return -1;
    const mpx_bw_params a = *first; // result may be either input
    const mpx_bw_params b = *second;
    *result = {std::max(a.type, b.type),          a.translation_x + b.translation_x,
               a.translation_y + b.translation_y, a.translation_z + b.translation_z,
               a.rotation_x + b.rotation_x,       a.rotation_y + b.rotation_y,
               a.rotation_z + b.rotation_z,       a.scale * b.scale};
    return 0;
}

extern "C" int mpx_bw_gd_to_gd(const mpx_bw_params *p, const mpx_ellipsoid *source,
                               const mpx_ellipsoid *target, double lon, double lat, double height,
                               double *lon_out, double *lat_out, double *height_out) noexcept {
    double x, y, z;
    if (mpx_gd_to_xyz(source, lon, lat, height, &x, &y, &z) != 0)
        return -1;
    return mpx_bw_xyz_to_gd(p, target, x, y, z, lon_out, lat_out, height_out);
}

extern "C" int mpx_bw_gd_to_xyz(const mpx_bw_params *p, const mpx_ellipsoid *source, double lon,
                                double lat, double height, double *x_out, double *y_out,
                                double *z_out) noexcept {
    double x, y, z;
    if (mpx_gd_to_xyz(source, lon, lat, height, &x, &y, &z) != 0)
        return -1;
    return mpx_xyz_to_xyz(p, x, y, z, x_out, y_out, z_out);
}

extern "C" int mpx_bw_xyz_to_gd(const mpx_bw_params *p, const mpx_ellipsoid *target, double x,
                                double y, double z, double *lon_out, double *lat_out,
                                double *height_out) noexcept {
    double tx, ty, tz;
    if (mpx_xyz_to_xyz(p, x, y, z, &tx, &ty, &tz) != 0)
        return -1;
    return mpx_xyz_to_gd(target, tx, ty, tz, lon_out, lat_out, height_out);
}
