// UTM zone 31 north and world Mercator on WGS 84, forward and inverse, from
// and to geodetic degrees: mpxlib and PROJ on the same points.
#include "side_by_side.hpp"

namespace {

BundledPair utm() { return bundled_pair("WGS84", "UTM31N", "metres"); }
BundledPair mercator() { return bundled_pair("WGS84", "WORLD_MERCATOR", "metres"); }

constexpr const char *kProjUtm = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                 "+step +proj=utm +zone=31 +ellps=WGS84";
constexpr const char *kProjMercator =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=merc +ellps=WGS84";

const std::vector<double> &utm_degrees() {
    static const std::vector<double> p = grid_points(0, 6, 0, 60);
    return p;
}

void Utm31nForward_mpx(benchmark::State &s) {
    const BundledPair p = utm();
    time_mpx(s, p.geodetic, p.projected, utm_degrees());
}
void Utm31nForward_proj(benchmark::State &s) { time_proj(s, kProjUtm, PJ_FWD, utm_degrees()); }
void Utm31nInverse_mpx(benchmark::State &s) {
    const BundledPair p = utm();
    time_mpx(s, p.projected, p.geodetic, mpx_transformed(p.geodetic, p.projected, utm_degrees()));
}
void Utm31nInverse_proj(benchmark::State &s) {
    const BundledPair p = utm();
    time_proj(s, kProjUtm, PJ_INV, mpx_transformed(p.geodetic, p.projected, utm_degrees()));
}
void MercatorForward_mpx(benchmark::State &s) {
    const BundledPair p = mercator();
    time_mpx(s, p.geodetic, p.projected, grid_points(-180, 180, -80, 80));
}
void MercatorForward_proj(benchmark::State &s) {
    time_proj(s, kProjMercator, PJ_FWD, grid_points(-180, 180, -80, 80));
}

BENCHMARK(Utm31nForward_mpx)->Name("Utm31nForward/mpx");
BENCHMARK(Utm31nForward_proj)->Name("Utm31nForward/proj");
BENCHMARK(Utm31nInverse_mpx)->Name("Utm31nInverse/mpx");
BENCHMARK(Utm31nInverse_proj)->Name("Utm31nInverse/proj");
BENCHMARK(MercatorForward_mpx)->Name("MercatorForward/mpx");
BENCHMARK(MercatorForward_proj)->Name("MercatorForward/proj");

} // namespace
