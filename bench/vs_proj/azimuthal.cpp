// Oblique stereographic (Stereo 70 on Pulkovo 1942(58)) and Lambert
// azimuthal equal-area (ETRS89-LAEA Europe), forward and inverse, from and
// to geodetic degrees of the same datum, over Romania and Europe, and the
// north polar orthographic, gnomonic and azimuthal equidistant systems:
// mpxlib and PROJ on the same points. PROJ's "stere" computes the same
// oblique formulas as "stereo" (Snyder's, on the conformal latitude); its
// "sterea" (EPSG's double projection) is timed alongside for reference.
#include "side_by_side.hpp"

namespace {

BundledPair stereo70() { return bundled_pair("PULKOVO58", "RO_SNYDER_STEREO"); }
BundledPair laea() { return bundled_pair("ETRS89", "ETRS89_LAEA"); }

constexpr const char *kProjStereo =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=stere +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=krass";
constexpr const char *kProjSterea =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=krass";
constexpr const char *kProjLaea =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000 +ellps=GRS80";

const std::vector<double> &romania() {
    static const std::vector<double> p = grid_points(20, 30, 43.5, 48.5);
    return p;
}
const std::vector<double> &europe() {
    static const std::vector<double> p = grid_points(-10, 30, 35, 70);
    return p;
}
const std::vector<double> &romania_metres() {
    static const std::vector<double> p = mpx_transformed(stereo70(), romania());
    return p;
}
const std::vector<double> &europe_metres() {
    static const std::vector<double> p = mpx_transformed(laea(), europe());
    return p;
}

void ObliqueStereoForward_mpx(benchmark::State &s) {
    const BundledPair p = stereo70();
    time_mpx(s, p.geodetic, p.projected, romania());
}
void ObliqueStereoForward_proj(benchmark::State &s) {
    time_proj(s, kProjStereo, PJ_FWD, romania());
}
void ObliqueStereoInverse_mpx(benchmark::State &s) {
    const BundledPair p = stereo70();
    time_mpx(s, p.projected, p.geodetic, romania_metres());
}
void ObliqueStereoInverse_proj(benchmark::State &s) {
    time_proj(s, kProjStereo, PJ_INV, romania_metres());
}
void DoubleStereoForward_proj(benchmark::State &s) { time_proj(s, kProjSterea, PJ_FWD, romania()); }
void DoubleStereoInverse_proj(benchmark::State &s) {
    time_proj(s, kProjSterea, PJ_INV, romania_metres());
}
void LaeaForward_mpx(benchmark::State &s) {
    const BundledPair p = laea();
    time_mpx(s, p.geodetic, p.projected, europe());
}
void LaeaForward_proj(benchmark::State &s) { time_proj(s, kProjLaea, PJ_FWD, europe()); }
void LaeaInverse_mpx(benchmark::State &s) {
    const BundledPair p = laea();
    time_mpx(s, p.projected, p.geodetic, europe_metres());
}
void LaeaInverse_proj(benchmark::State &s) { time_proj(s, kProjLaea, PJ_INV, europe_metres()); }

BENCHMARK(ObliqueStereoForward_mpx)->Name("ObliqueStereoForward/mpx");
BENCHMARK(ObliqueStereoForward_proj)->Name("ObliqueStereoForward/proj");
BENCHMARK(ObliqueStereoInverse_mpx)->Name("ObliqueStereoInverse/mpx");
BENCHMARK(ObliqueStereoInverse_proj)->Name("ObliqueStereoInverse/proj");
BENCHMARK(DoubleStereoForward_proj)->Name("ObliqueStereoForward/proj_sterea");
BENCHMARK(DoubleStereoInverse_proj)->Name("ObliqueStereoInverse/proj_sterea");
BENCHMARK(LaeaForward_mpx)->Name("LaeaForward/mpx");
BENCHMARK(LaeaForward_proj)->Name("LaeaForward/proj");
BENCHMARK(LaeaInverse_mpx)->Name("LaeaInverse/mpx");
BENCHMARK(LaeaInverse_proj)->Name("LaeaInverse/proj");

// The north polar orthographic, gnomonic (both on the sphere of radius a,
// as Esri defines them) and azimuthal equidistant (ellipsoidal) systems on
// WGS 84; mpxlib and PROJ agree within 1e-7 m, 1e-7 m and 1 mm.
const ProjectionCase kCases[] = {
    {"PolarOrthographic", "WGS84", "NORTH_POLE_ORTHO", "+proj=ortho +lat_0=90 +lon_0=0 +R=6378137",
     -179, 179, 5, 89, 0.001},
    {"PolarGnomonic", "WGS84", "NORTH_POLE_GNOMONIC", "+proj=gnom +lat_0=90 +lon_0=0 +R=6378137",
     -179, 179, 30, 89, 0.001},
    {"PolarEquidistant", "WGS84", "NORTH_POLE_AEQD", "+proj=aeqd +lat_0=90 +lon_0=0 +ellps=WGS84",
     -179, 179, -60, 89, 0.002},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
