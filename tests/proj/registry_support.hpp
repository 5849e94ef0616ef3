// Helpers of the registry tests: the error lines a test provoked, and a
// small linear projection whose routines record what they were given.
#pragma once

#include "mpxlib.h"

#include <cstdint>
#include <string>
#include <vector>

namespace registry_test {

// Installs a handler for the lifetime of the object and keeps every line.
class ErrorLines {
  public:
    ErrorLines() {
        lines().clear();
        mpx_install_error(collect);
    }
    ~ErrorLines() { mpx_install_error(nullptr); }
    ErrorLines(const ErrorLines &) = delete;
    ErrorLines &operator=(const ErrorLines &) = delete;

    std::vector<std::string> take() {
        std::vector<std::string> taken;
        taken.swap(lines());
        return taken;
    }

  private:
    static std::vector<std::string> &lines() {
        static std::vector<std::string> kept;
        return kept;
    }
    static void collect(const char *line) { lines().emplace_back(line); }
};

// "linear": x = scale * lon + false_east, y = scale * lat; its routines
// remember their last inputs so wrappers around it can be checked.
struct LinearRecord {
    double scale;
    double false_east;
    double radius;
    double eccentricity;
    double long_cut;
    std::int32_t init_calls;
    double last_in_1, last_in_2;
};

inline int linear_init(void *p) noexcept {
    auto &r = *static_cast<LinearRecord *>(p);
    ++r.init_calls;
    r.long_cut = -3.0;
    return 0;
}
inline int linear_forward(void *p, double lon, double lat, double *x, double *y) noexcept {
    auto &r = *static_cast<LinearRecord *>(p);
    r.last_in_1 = lon;
    r.last_in_2 = lat;
    *x = r.scale * lon + r.false_east;
    *y = r.scale * lat;
    return 0;
}
inline int linear_backward(void *p, double x, double y, double *lon, double *lat) noexcept {
    auto &r = *static_cast<LinearRecord *>(p);
    r.last_in_1 = x;
    r.last_in_2 = y;
    *lon = (x - r.false_east) / r.scale;
    *lat = y / r.scale;
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
