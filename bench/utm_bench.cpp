// Cost per point of mpx_trans_array between geodetic degrees and UTM zone 31
// north on WGS 84, both ways (no datum change, so the projection dominates).
// The database is written into a temporary folder at start-up; only the
// public header is used, as by any host.
#include "bench_support.hpp"
#include "mpxlib.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kPoints = 1'000'000;

void write_database() {
    use_bench_database(
        "mpx_utm_bench",
        {{"datum_sp", "name,radius,eccentricity,metre_factor,prime_merid\n"
                      "WGS84,6378137.0,0.08181919084262149,1.0,\n"},
         {"project", "name,type,metre_factor,radius,eccentricity,prime_merid\n"
                     "UTM31N,utm,1.0,,,\n"},
         {"utm", "name,zone,hemisphere\nUTM31N,31,N\n"},
         {"datumcha", "name,change_type\n"},
         {"bursawol", "name,translation_x,translation_y,translation_z,rotation_x,rotation_y,"
                      "rotation_z,scale_change\n"}});
}

struct Systems {
    int geodetic = 0;
    int utm = 0;
};

const Systems &systems() {
    static const Systems s = [] {
        write_database();
        return Systems{mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees"),
                       mpx_crelock_coord_sys("WGS84", "UTM31N", "metres")};
    }();
    return s;
}

// Zone 31 from 0 to 6 E, 0 to 60 N, as geodetic degrees or (after one
// forward pass) UTM metres.
std::vector<double> zone_points() {
    std::vector<double> in(3 * static_cast<std::size_t>(kPoints));
    for (std::size_t i = 0; i < static_cast<std::size_t>(kPoints); ++i) {
        in[3 * i] = 6.0 * static_cast<double>(i % 1000) / 1000.0;
        in[3 * i + 1] = 60.0 * static_cast<double>(i / 1000) / 1000.0;
        in[3 * i + 2] = 0.0;
    }
    return in;
}

void run(benchmark::State &state, bool forward) {
    const Systems &s = systems();
    std::vector<double> in = zone_points();
    const int n = kPoints;
    if (!forward &&
        (!select_pair(s.geodetic, s.utm) || mpx_trans_array(&n, in.data(), in.data()) != 0)) {
        state.SkipWithError("forward pass for the inverse input failed");
        return;
    }
    if (!(forward ? select_pair(s.geodetic, s.utm) : select_pair(s.utm, s.geodetic))) {
        state.SkipWithError("transformation set-up failed");
        return;
    }
    time_trans_array(state, in);
}

void BM_UtmForward(benchmark::State &state) { run(state, true); }
void BM_UtmBackward(benchmark::State &state) { run(state, false); }

BENCHMARK(BM_UtmForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UtmBackward)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
