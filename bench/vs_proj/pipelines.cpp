// The array path's yardstick pipelines on the bundled database: Bursa-Wolfe
// from ED50 to WGS 84 geodetic degrees, and ED50 UTM 31N to WGS 84 UTM 31N,
// mpxlib and PROJ on the same points; and beside every pipeline of the set
// (with the UTM and Mercator cases of cylindrical.cpp) the per-point
// mpx_transform loop, as "<case>/point".
#include "side_by_side.hpp"

namespace {

BundledPair ed50_utm() { return bundled_pair("ED50", "UTM31N", "metres"); }
BundledPair wgs84_utm() { return bundled_pair("WGS84", "UTM31N", "metres"); }
BundledPair mercator() { return bundled_pair("WGS84", "WORLD_MERCATOR", "metres"); }

// EPSG:1133, the record of the bundled bursawol.dat.
constexpr const char *kProjEd50ToWgs84 =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=cart +ellps=intl +step +proj=helmert +x=-87 +y=-98 +z=-121 "
    "+step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
constexpr const char *kProjEd50UtmToWgs84Utm =
    "+proj=pipeline +step +inv +proj=utm +zone=31 +ellps=intl "
    "+step +proj=cart +ellps=intl +step +proj=helmert +x=-87 +y=-98 +z=-121 "
    "+step +inv +proj=cart +ellps=WGS84 +step +proj=utm +zone=31 +ellps=WGS84";

// Western Europe around zone 31, where ED50 is used.
const std::vector<double> &europe_degrees() {
    static const std::vector<double> p = grid_points(-3, 9, 36, 62);
    return p;
}

const std::vector<double> &ed50_utm_metres() {
    static const std::vector<double> p = mpx_transformed(ed50_utm(), europe_degrees());
    return p;
}

const std::vector<double> &wgs84_utm_metres() {
    static const std::vector<double> p = mpx_transformed(wgs84_utm(), grid_points(0, 6, 0, 60));
    return p;
}

void Ed50ToWgs84_mpx(benchmark::State &s) {
    time_mpx(s, ed50_utm().geodetic, wgs84_utm().geodetic, europe_degrees());
}
void Ed50ToWgs84_point(benchmark::State &s) {
    time_mpx_per_point(s, ed50_utm().geodetic, wgs84_utm().geodetic, europe_degrees());
}
void Ed50ToWgs84_proj(benchmark::State &s) {
    time_proj(s, kProjEd50ToWgs84, PJ_FWD, europe_degrees());
}
void Ed50Utm31nToWgs84Utm31n_mpx(benchmark::State &s) {
    time_mpx(s, ed50_utm().projected, wgs84_utm().projected, ed50_utm_metres());
}
void Ed50Utm31nToWgs84Utm31n_point(benchmark::State &s) {
    time_mpx_per_point(s, ed50_utm().projected, wgs84_utm().projected, ed50_utm_metres());
}
void Ed50Utm31nToWgs84Utm31n_proj(benchmark::State &s) {
    time_proj(s, kProjEd50UtmToWgs84Utm, PJ_FWD, ed50_utm_metres());
}
void Utm31nForward_point(benchmark::State &s) {
    const BundledPair p = wgs84_utm();
    time_mpx_per_point(s, p.geodetic, p.projected, grid_points(0, 6, 0, 60));
}
void Utm31nInverse_point(benchmark::State &s) {
    const BundledPair p = wgs84_utm();
    time_mpx_per_point(s, p.projected, p.geodetic, wgs84_utm_metres());
}
void MercatorForward_point(benchmark::State &s) {
    const BundledPair p = mercator();
    time_mpx_per_point(s, p.geodetic, p.projected, grid_points(-180, 180, -80, 80));
}

BENCHMARK(Ed50ToWgs84_mpx)->Name("Ed50ToWgs84Geodetic/mpx");
BENCHMARK(Ed50ToWgs84_point)->Name("Ed50ToWgs84Geodetic/point");
BENCHMARK(Ed50ToWgs84_proj)->Name("Ed50ToWgs84Geodetic/proj");
BENCHMARK(Ed50Utm31nToWgs84Utm31n_mpx)->Name("Ed50Utm31nToWgs84Utm31n/mpx");
BENCHMARK(Ed50Utm31nToWgs84Utm31n_point)->Name("Ed50Utm31nToWgs84Utm31n/point");
BENCHMARK(Ed50Utm31nToWgs84Utm31n_proj)->Name("Ed50Utm31nToWgs84Utm31n/proj");
BENCHMARK(Utm31nForward_point)->Name("Utm31nForward/point");
BENCHMARK(Utm31nInverse_point)->Name("Utm31nInverse/point");
BENCHMARK(MercatorForward_point)->Name("MercatorForward/point");

} // namespace
