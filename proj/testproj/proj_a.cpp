// Test projection "proj_a": prints every call and exchanges the two
// coordinates, so forward then backward gives the input back. Its record
// lays the fields out in another order than it installs them; only the
// descriptor's offsets connect the two.
#include "frame/support.hpp"

#include "mpxlib.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kMessageSize = 32; // 31 characters and the terminator

struct ProjARecord {
    double param_one;
    double param_two;
    std::int32_t param_three;
    double radius;
    double eccentricity;
    char p_char;
    std::int32_t tid;
    double long_cut;
    char message[kMessageSize];
};

ProjARecord &record_of(void *params) { return *static_cast<ProjARecord *>(params); }

void print_message(const ProjARecord &r) {
    qfio_Printf("\n test message = %s, tid = %ld ", r.message, static_cast<long>(r.tid));
}

// A null record or output has no meaning here; the call is refused.
constexpr int kRefused = -1;

} // namespace

extern "C" int proj_a_init(void *params) noexcept {
    if (!params)
        return kRefused;
    ProjARecord &r = record_of(params);
    qfio_Printf("\n proj_a_init() called ");
    // Degrees added to a parameter as the test has always done: the value
    // only shows that init ran and wrote the hidden attribute.
    r.long_cut = r.param_one + 180.0;
    std::strcpy(r.message, "<proj_a test message>");
    print_message(r);
    return 0;
}

extern "C" int proj_a_forward(void *params, double lon, double lat, double *x, double *y) noexcept {
    if (!params || !x || !y)
        return kRefused;
    qfio_Printf("\n proj_a_forward() called ");
    print_message(record_of(params));
    *x = lat;
    *y = lon;
    return 0;
}

extern "C" int proj_a_backward(void *params, double x, double y, double *lon,
                               double *lat) noexcept {
    if (!params || !lon || !lat)
        return kRefused;
    qfio_Printf("\n proj_a_backward() called ");
    print_message(record_of(params));
    *lon = y;
    *lat = x;
    return 0;
}

extern "C" int proj_a_install() noexcept {
    ProjARecord r{};
    mpx_proj_create("proj_a", &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("param_one", &r.param_one, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("param_two", &r.param_two, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("param_three", &r.param_three, MPX_TYPE_LONG);
    mpx_proj_ins_par("tid", &r.tid, MPX_TYPE_LONG);
    mpx_proj_ins_par("p_char", &r.p_char, MPX_TYPE_CHAR);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &r.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &r.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(proj_a_init, proj_a_forward, proj_a_backward);
    mpx_proj_end();
    return 0; // a test installer never fails its host
}
