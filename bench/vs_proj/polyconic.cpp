// Polyconic (SIRGAS 2000 / Brazil Polyconic), Bonne (ATIG Bonne France
// Etat Major), the IMW modified polyconic and the bipolar oblique conic of
// the Americas, forward and inverse, from and to geodetic degrees of the
// same datum: mpxlib and PROJ on the same points, over each system's
// useful area.
#include "side_by_side.hpp"

namespace {

BundledPair brazil() { return bundled_pair("SIRGAS2000", "BRAZIL_POLYCONIC"); }
BundledPair bonne_france() { return bundled_pair("ATIG", "BONNE_FRANCE"); }

constexpr const char *kProjPolyconic =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=poly +lat_0=0 +lon_0=-54 +x_0=5000000 +y_0=10000000 +ellps=GRS80";
constexpr const char *kProjBonne =
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=bonne +lat_1=45 +lon_0=2.33720833333333 +a=6376523 +rf=308.64";

// Brazil, and metropolitan France.
const std::vector<double> &brazil_degrees() {
    static const std::vector<double> p = grid_points(-74, -34, -34, 5);
    return p;
}
const std::vector<double> &france_degrees() {
    static const std::vector<double> p = grid_points(-5, 10, 41, 51.5);
    return p;
}

void PolyconicForward_mpx(benchmark::State &s) {
    const BundledPair p = brazil();
    time_mpx(s, p.geodetic, p.projected, brazil_degrees());
}
void PolyconicForward_proj(benchmark::State &s) {
    time_proj(s, kProjPolyconic, PJ_FWD, brazil_degrees());
}
void PolyconicInverse_mpx(benchmark::State &s) {
    const BundledPair p = brazil();
    const auto metres = mpx_transformed(p.geodetic, p.projected, brazil_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void PolyconicInverse_proj(benchmark::State &s) {
    const BundledPair p = brazil();
    const auto metres = mpx_transformed(p.geodetic, p.projected, brazil_degrees());
    time_proj(s, kProjPolyconic, PJ_INV, metres);
}
void BonneForward_mpx(benchmark::State &s) {
    const BundledPair p = bonne_france();
    time_mpx(s, p.geodetic, p.projected, france_degrees());
}
void BonneForward_proj(benchmark::State &s) { time_proj(s, kProjBonne, PJ_FWD, france_degrees()); }
void BonneInverse_mpx(benchmark::State &s) {
    const BundledPair p = bonne_france();
    const auto metres = mpx_transformed(p.geodetic, p.projected, france_degrees());
    time_mpx(s, p.projected, p.geodetic, metres);
}
void BonneInverse_proj(benchmark::State &s) {
    const BundledPair p = bonne_france();
    const auto metres = mpx_transformed(p.geodetic, p.projected, france_degrees());
    time_proj(s, kProjBonne, PJ_INV, metres);
}

BENCHMARK(PolyconicForward_mpx)->Name("PolyconicForward/mpx");
BENCHMARK(PolyconicForward_proj)->Name("PolyconicForward/proj");
BENCHMARK(PolyconicInverse_mpx)->Name("PolyconicInverse/mpx");
BENCHMARK(PolyconicInverse_proj)->Name("PolyconicInverse/proj");
BENCHMARK(BonneForward_mpx)->Name("BonneForward/mpx");
BENCHMARK(BonneForward_proj)->Name("BonneForward/proj");
BENCHMARK(BonneInverse_mpx)->Name("BonneInverse/mpx");
BENCHMARK(BonneInverse_proj)->Name("BonneInverse/proj");

// The IMW sheet NM-31 on ED50 over the sheet (mpxlib and PROJ agree within
// 0.7 mm), and the bipolar oblique conic of the Americas on NAD27 (the
// sphere of Clarke 1866's semi-major axis) east of 100 W, short of the fold
// beyond pole A. The bipolar forms agree within a millimetre away from the
// seam between the two cones, but in a band along it they differ by up to
// 380 km: there PROJ's bipc adjusts the radius with the half-angle
// (104 degrees - z)/2 itself raised to the power n where Snyder's eq.
// 17-19 has its tangent.
const ProjectionCase kCases[] = {
    {"ImwPolyconic", "ED50", "IMW_NM31", "+proj=imw_p +lat_1=48 +lat_2=52 +lon_0=3 +ellps=intl", 0,
     6, 48, 52, 0.002},
    {"BipolarConic", "NAD27", "BIPOLAR_AMERICAS", "+proj=bipc +ns +ellps=clrk66", -100, -35, -55,
     70, 4e5},
};

const bool kRegistered = register_projection_cases(kCases);

} // namespace
