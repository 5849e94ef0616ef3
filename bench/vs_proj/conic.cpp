// Lambert conformal conic with two standard parallels (Lambert-93), Albers
// equal-area (CONUS Albers) and the equidistant conic (USA Contiguous
// Equidistant Conic) on GRS 1980, forward and inverse, from
// and to geodetic degrees of the same datum: mpxlib and PROJ on the same
// points, over each system's useful area.
#include "side_by_side.hpp"

namespace {

BundledPair lambert93() { return bundled_pair("RGF93", "LAMBERT93"); }
BundledPair conus_albers() { return bundled_pair("NAD83", "CONUS_ALBERS"); }

constexpr const char *kProjLambert =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=lcc +lat_0=46.5 +lon_0=3 +lat_1=49 +lat_2=44 +x_0=700000 +y_0=6600000 "
    "+ellps=GRS80";
constexpr const char *kProjAlbers =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=aea +lat_0=23 +lon_0=-96 +lat_1=29.5 +lat_2=45.5 +ellps=GRS80";

// Metropolitan France, and the conterminous United States.
const std::vector<double> &france_degrees() {
    static const std::vector<double> p = grid_points(-5, 10, 41, 51.5);
    return p;
}
const std::vector<double> &conus_degrees() {
    static const std::vector<double> p = grid_points(-125, -67, 24, 50);
    return p;
}

void Lambert2Forward_mpx(benchmark::State &s) {
    const BundledPair p = lambert93();
    time_mpx(s, p.geodetic, p.projected, france_degrees());
}
void Lambert2Forward_proj(benchmark::State &s) {
    time_proj(s, kProjLambert, PJ_FWD, france_degrees());
}
void Lambert2Inverse_mpx(benchmark::State &s) {
    const BundledPair p = lambert93();
    const auto metres = mpx_transformed(p.geodetic, p.projected, france_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void Lambert2Inverse_proj(benchmark::State &s) {
    const BundledPair p = lambert93();
    const auto metres = mpx_transformed(p.geodetic, p.projected, france_degrees());
    time_proj(s, kProjLambert, PJ_INV, metres);
}
void AlbersForward_mpx(benchmark::State &s) {
    const BundledPair p = conus_albers();
    time_mpx(s, p.geodetic, p.projected, conus_degrees());
}
void AlbersForward_proj(benchmark::State &s) { time_proj(s, kProjAlbers, PJ_FWD, conus_degrees()); }
void AlbersInverse_mpx(benchmark::State &s) {
    const BundledPair p = conus_albers();
    const auto metres = mpx_transformed(p.geodetic, p.projected, conus_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void AlbersInverse_proj(benchmark::State &s) {
    const BundledPair p = conus_albers();
    const auto metres = mpx_transformed(p.geodetic, p.projected, conus_degrees());
    time_proj(s, kProjAlbers, PJ_INV, metres);
}

BENCHMARK(Lambert2Forward_mpx)->Name("Lambert2Forward/mpx");
BENCHMARK(Lambert2Forward_proj)->Name("Lambert2Forward/proj");
BENCHMARK(Lambert2Inverse_mpx)->Name("Lambert2Inverse/mpx");
BENCHMARK(Lambert2Inverse_proj)->Name("Lambert2Inverse/proj");
BENCHMARK(AlbersForward_mpx)->Name("AlbersForward/mpx");
BENCHMARK(AlbersForward_proj)->Name("AlbersForward/proj");
BENCHMARK(AlbersInverse_mpx)->Name("AlbersInverse/mpx");
BENCHMARK(AlbersInverse_proj)->Name("AlbersInverse/proj");

// The equidistant conic of the conterminous United States (ESRI:102005)
// on NAD83 over the same area; mpxlib and PROJ agree within 0.3 mm.
const ProjectionCase kCases[] = {
    {"EquidistantConic", "NAD83", "USA_EQUIDIST_CONIC",
     "+proj=eqdc +lat_0=39 +lon_0=-96 +lat_1=33 +lat_2=45 +ellps=GRS80", -125, -67, 24, 50, 0.001},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
