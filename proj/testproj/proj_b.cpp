// Test projection "proj_b": prints every call and exchanges the two
// coordinates, so forward then backward gives the input back.
#include "frame/support.hpp"

#include "mpxlib.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kMessageSize = 32; // 31 characters and the terminator

struct ProjBRecord {
    double param_one;
    double param_two;
    std::int32_t param_three;
    double radius;
    char message[kMessageSize];
};

ProjBRecord &record_of(void *params) { return *static_cast<ProjBRecord *>(params); }

void print_message(const ProjBRecord &r) { qfio_Printf("\n test message = %s", r.message); }

// A null record or output has no meaning here; the call is refused.
constexpr int kRefused = -1;

} // namespace

extern "C" int proj_b_init(void *params) noexcept {
    if (!params)
        return kRefused;
    qfio_Printf("\n CALLED proj_b_init() ");
    std::strcpy(record_of(params).message, "<proj_b test message>");
    return 0;
}

extern "C" int proj_b_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    if (!params || !x || !y)
        return kRefused;
    qfio_Printf("\n CALLED proj_b_forward() ");
    print_message(record_of(params));
    *x = lat;
    *y = lon;
    return 0;
}

extern "C" int proj_b_backward(void *params, double x, double y, double *lon,
                               double *lat) noexcept {
    if (!params || !lon || !lat)
        return kRefused;
    qfio_Printf("\n CALLED proj_b_backward() ");
    print_message(record_of(params));
    *lon = y;
    *lat = x;
    return 0;
}

extern "C" int proj_b_install() noexcept {
    ProjBRecord r{};
    mpx_proj_create("proj_b", &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("param_one", &r.param_one, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("param_two", &r.param_two, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("param_three", &r.param_three, MPX_TYPE_LONG);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(proj_b_init, proj_b_forward, proj_b_backward);
    mpx_proj_end();
    return 0; // a test installer never fails its host
}
