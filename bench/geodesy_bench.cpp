// Per-point cost of the geodesy routines: the conversions, the Bursa-Wolfe
// change, and the grid change with its cell cache hit or missed.
#include "mpxlib.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr double kDegree = 0.017453292519943295;
const mpx_ellipsoid kAiry{6377563.396, 0.081673373874141891, 0.0};
const mpx_ellipsoid kWgs84{6378137.0, 0.081819190842621486, 0.0};
// EPSG:1314, rotations in radians.
const mpx_bw_params kOsgbToWgs84{MPX_BW_FULL, 446.448,   -125.157,  542.060,
                                 7.282e-7,    1.1975e-6, 4.0826e-6, 1.0 - 20.4894e-6};

void BM_GeodeticToGeocentric(benchmark::State &state) {
    double x, y, z;
    for (auto _ : state) {
        mpx_gd_to_xyz(&kWgs84, -0.03, 0.92, 50.0, &x, &y, &z);
        benchmark::DoNotOptimize(x);
    }
}

void BM_GeocentricToGeodetic(benchmark::State &state) {
    double lon, lat, h;
    for (auto _ : state) {
        mpx_xyz_to_gd(&kWgs84, 3771793.968, 140253.342, 5124304.349, &lon, &lat, &h);
        benchmark::DoNotOptimize(lat);
    }
}

void BM_BursaWolfeGeodetic(benchmark::State &state) {
    double lon, lat, h;
    for (auto _ : state) {
        mpx_bw_gd_to_gd(&kOsgbToWgs84, &kAiry, &kWgs84, -0.03, 0.92, 0.0, &lon, &lat, &h);
        benchmark::DoNotOptimize(lat);
    }
}

// range(0): 0 forward, 1 inverse; range(1): distinct cells visited in turn
// (1 always hits the cache, 120 cycles through more cells than it holds).
void BM_GridChange(benchmark::State &state) {
    const int id = grid_access_init(MPX_SOURCE_DIR "data/grids/osgb36_wgs84.grd");
    if (id == 0) {
        state.SkipWithError("grid file not found");
        return;
    }
    const mpx_grid_change change{id, static_cast<int>(state.range(0)),
                                 grid_access_inq_num_coeffs()};
    const int cells = static_cast<int>(state.range(1));
    int cell = 0;
    double lon, lat, h;
    for (auto _ : state) {
        const double x = (-7.5 + cell % 10) * kDegree, y = (49.5 + cell / 10) * kDegree;
        mpx_grid_gd_to_gd(&change, &kAiry, &kWgs84, x, y, 0.0, &lon, &lat, &h);
        benchmark::DoNotOptimize(lat);
        cell = (cell + 1) % cells;
    }
    grid_access_close(id);
}

BENCHMARK(BM_GeodeticToGeocentric);
BENCHMARK(BM_GeocentricToGeodetic);
BENCHMARK(BM_BursaWolfeGeodetic);
BENCHMARK(BM_GridChange)->Args({0, 1})->Args({1, 1})->Args({0, 120});

} // namespace

BENCHMARK_MAIN();
