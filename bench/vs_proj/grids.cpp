// The NTF to RGF93 shift grid of the bundled database (converted from IGN's
// ntf_r93.gsb) through mpx_trans_array, forward and inverse, beside PROJ's
// hgridshift on the original NTv2 file (skipped when Debian's proj-data is
// not installed).
#include "side_by_side.hpp"

namespace {

struct Systems {
    int ntf, rgf93;
};

// Fetched in each run (see bundled_system).
Systems systems() {
    return {bundled_system("NTF", "GEODETIC", "degrees"),
            bundled_system("RGF93", "GEODETIC", "degrees")};
}

const char *kProjShift = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                         "+step +proj=hgridshift +grids=/usr/share/proj/ntf_r93.gsb "
                         "+step +proj=unitconvert +xy_in=rad +xy_out=deg";

const std::vector<double> &france() {
    static const std::vector<double> p = grid_points(-4.5, 8, 42.5, 51);
    return p;
}

void NtfGridForward_mpx(benchmark::State &s) {
    time_mpx(s, systems().ntf, systems().rgf93, france());
}
void NtfGridForward_proj(benchmark::State &s) { time_proj(s, kProjShift, PJ_FWD, france()); }
void NtfGridInverse_mpx(benchmark::State &s) {
    time_mpx(s, systems().rgf93, systems().ntf, france());
}
void NtfGridInverse_proj(benchmark::State &s) { time_proj(s, kProjShift, PJ_INV, france()); }

BENCHMARK(NtfGridForward_mpx)->Name("NtfGridForward/mpx");
BENCHMARK(NtfGridForward_proj)->Name("NtfGridForward/proj");
BENCHMARK(NtfGridInverse_mpx)->Name("NtfGridInverse/mpx");
BENCHMARK(NtfGridInverse_proj)->Name("NtfGridInverse/proj");

} // namespace
