// New Zealand Map Grid, the Swiss grid (series against PROJ's closed
// somerc) and the GS-50 modified stereographic, forward and inverse, from
// and to geodetic degrees on each grid's own ellipsoid: mpxlib and PROJ on
// the same points.
#include "side_by_side.hpp"

#include <utility>

namespace {

BundledPair nzmg() { return bundled_pair("NZGD49", "NZMG"); }
BundledPair lv03() { return bundled_pair("CH1903", "LV03"); }
BundledPair gs50() { return bundled_pair("NAD27", "GS50"); }

constexpr const char *kProjNzmg = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                  "+step +proj=nzmg +lat_0=-41 +lon_0=173 +x_0=2510000 "
                                  "+y_0=6023150 +ellps=intl";
constexpr const char *kProjSwiss =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=somerc +lat_0=46.95240555555556 +lon_0=7.439583333333333 +k_0=1 "
    "+x_0=600000 +y_0=200000 +ellps=bessel";
constexpr const char *kProjGs50 = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                  "+step +proj=gs50 +ellps=clrk66";

const std::vector<double> &nz_degrees() {
    static const std::vector<double> p = grid_points(166, 179, -48, -34);
    return p;
}
const std::vector<double> &ch_degrees() {
    static const std::vector<double> p = grid_points(5.9, 10.5, 45.8, 47.8);
    return p;
}
const std::vector<double> &us_degrees() {
    static const std::vector<double> p = grid_points(-125, -67, 25, 49);
    return p;
}

// The Swiss grid prints (north, east); PROJ's somerc (east, north).
std::vector<double> swapped(std::vector<double> points) {
    for (std::size_t i = 0; i + 1 < points.size(); i += 3)
        std::swap(points[i], points[i + 1]);
    return points;
}

void NzmgForward_mpx(benchmark::State &s) {
    const BundledPair p = nzmg();
    time_mpx(s, p.geodetic, p.projected, nz_degrees());
}
void NzmgForward_proj(benchmark::State &s) { time_proj(s, kProjNzmg, PJ_FWD, nz_degrees()); }
void NzmgInverse_mpx(benchmark::State &s) {
    const BundledPair p = nzmg();
    const auto metres = mpx_transformed(p.geodetic, p.projected, nz_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void NzmgInverse_proj(benchmark::State &s) {
    const BundledPair p = nzmg();
    const auto metres = mpx_transformed(p.geodetic, p.projected, nz_degrees());
    time_proj(s, kProjNzmg, PJ_INV, metres);
}
void SwissForward_mpx(benchmark::State &s) {
    const BundledPair p = lv03();
    time_mpx(s, p.geodetic, p.projected, ch_degrees());
}
void SwissForward_proj(benchmark::State &s) { time_proj(s, kProjSwiss, PJ_FWD, ch_degrees()); }
void SwissInverse_mpx(benchmark::State &s) {
    const BundledPair p = lv03();
    const auto metres = mpx_transformed(p.geodetic, p.projected, ch_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void SwissInverse_proj(benchmark::State &s) {
    const BundledPair p = lv03();
    const auto metres = mpx_transformed(p.geodetic, p.projected, ch_degrees());
    time_proj(s, kProjSwiss, PJ_INV, swapped(metres));
}
void Gs50Forward_mpx(benchmark::State &s) {
    const BundledPair p = gs50();
    time_mpx(s, p.geodetic, p.projected, us_degrees());
}
void Gs50Forward_proj(benchmark::State &s) { time_proj(s, kProjGs50, PJ_FWD, us_degrees()); }
void Gs50Inverse_mpx(benchmark::State &s) {
    const BundledPair p = gs50();
    const auto metres = mpx_transformed(p.geodetic, p.projected, us_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void Gs50Inverse_proj(benchmark::State &s) {
    const BundledPair p = gs50();
    const auto metres = mpx_transformed(p.geodetic, p.projected, us_degrees());
    time_proj(s, kProjGs50, PJ_INV, metres);
}

BENCHMARK(NzmgForward_mpx)->Name("NzmgForward/mpx");
BENCHMARK(NzmgForward_proj)->Name("NzmgForward/proj");
BENCHMARK(NzmgInverse_mpx)->Name("NzmgInverse/mpx");
BENCHMARK(NzmgInverse_proj)->Name("NzmgInverse/proj");
BENCHMARK(SwissForward_mpx)->Name("SwissForward/mpx");
BENCHMARK(SwissForward_proj)->Name("SwissForward/proj");
BENCHMARK(SwissInverse_mpx)->Name("SwissInverse/mpx");
BENCHMARK(SwissInverse_proj)->Name("SwissInverse/proj");
BENCHMARK(Gs50Forward_mpx)->Name("Gs50Forward/mpx");
BENCHMARK(Gs50Forward_proj)->Name("Gs50Forward/proj");
BENCHMARK(Gs50Inverse_mpx)->Name("Gs50Inverse/mpx");
BENCHMARK(Gs50Inverse_proj)->Name("Gs50Inverse/proj");

} // namespace
