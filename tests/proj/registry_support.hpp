// Registry helpers the coordinate-system tests share: the error lines a
// test provoked, and "linear", a small projection to build systems on.
#pragma once

#include "tests/proj/support.hpp"

namespace registry_test {

// Keeps every error line while it lives.
class ErrorLines {
  public:
    ErrorLines() {
        proj_test::take_errors();
        proj_test::collect_errors();
    }
    ~ErrorLines() { mpx_install_error(nullptr); }
    ErrorLines(const ErrorLines &) = delete;
    ErrorLines &operator=(const ErrorLines &) = delete;
    std::vector<std::string> take() { return proj_test::take_errors(); }
};

// "linear": x = scale * lon + false_east, y = scale * lat; init starts the
// longitude window at -3.
struct LinearRecord {
    double scale, false_east, radius, eccentricity, long_cut;
};
inline LinearRecord &linear(void *p) { return *static_cast<LinearRecord *>(p); }
inline int linear_init(void *p) noexcept {
    linear(p).long_cut = -3.0;
    return 0;
}
inline int linear_forward(void *p, double lon, double lat, double *x, double *y) noexcept {
    *x = linear(p).scale * lon + linear(p).false_east;
    *y = linear(p).scale * lat;
    return 0;
}
inline int linear_backward(void *p, double x, double y, double *lon, double *lat) noexcept {
    *lon = (x - linear(p).false_east) / linear(p).scale;
    *lat = y / linear(p).scale;
    return 0;
}
inline int install_linear(int mode = 3, const char *keyword = "linear") {
    LinearRecord r{};
    mpx_proj_create(keyword, &r, static_cast<int>(sizeof r));
    mpx_proj_ins_par("scale", &r.scale, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("false_east", &r.false_east, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &r.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.eccentricity", &r.eccentricity, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &r.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(linear_init, linear_forward, linear_backward);
    mpx_proj_ins_mode(mode);
    return mpx_proj_end();
}

} // namespace registry_test
