// Cost per point of mpx_trans_array for geodetic degrees on one datum to
// geodetic degrees on another through a seven-parameter Bursa-Wolfe change.
// The database is written into a temporary folder at start-up; only the
// public header is used, as by any host.
#include "bench_support.hpp"
#include "mpxlib.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kPoints = 1'000'000;

// WGS 72 to WGS 84 (EPSG Guidance Note 7-2, Position Vector example).
void write_database() {
    use_bench_database(
        "mpx_trans_array_bench",
        {{"datum_sp", "name,radius,eccentricity,metre_factor,prime_merid\n"
                      "WGS84,6378137.0,0.08181919084262149,1.0,\n"
                      "WGS72,6378135.0,0.08181881066274871,1.0,\n"},
         {"project", "name,type,metre_factor\n"},
         {"datumcha", "name,change_type\nWGS72>WGS84,bursawol\n"},
         {"bursawol", "name,translation_x,translation_y,translation_z,rotation_x,rotation_y,"
                      "rotation_z,scale_change\n"
                      "WGS72>WGS84,0.0,0.0,4.5,0.0,0.0,2.6858677933468294e-06,0.219\n"}});
}

// Makes the WGS 72 to WGS 84 transformation current; false on failure.
bool select_transformation() {
    write_database();
    const int source = mpx_crelock_coord_sys("WGS72", "GEODETIC", "degrees");
    const int target = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees");
    return select_pair(source, target);
}

void BM_TransArrayBursaWolfe(benchmark::State &state) {
    static const bool ready = select_transformation();
    if (!ready) {
        state.SkipWithError("transformation set-up failed");
        return;
    }
    // A grid of points over the North Sea, where the example lies.
    std::vector<double> in(3 * static_cast<std::size_t>(kPoints));
    for (std::size_t i = 0; i < static_cast<std::size_t>(kPoints); ++i) {
        in[3 * i] = -5.0 + 15.0 * static_cast<double>(i % 1000) / 1000.0;
        in[3 * i + 1] = 50.0 + 12.0 * static_cast<double>(i / 1000) / 1000.0;
        in[3 * i + 2] = 100.0;
    }
    time_trans_array(state, in);
}

BENCHMARK(BM_TransArrayBursaWolfe)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
