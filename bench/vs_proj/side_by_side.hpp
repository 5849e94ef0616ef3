// Side-by-side timing of mpx_trans_array and PROJ's proj_trans_generic on
// the same points in the same run. Each family's file registers pairs of
// benchmarks named "<case>/mpx" and "<case>/proj"; the program's reporter
// prints the ratio of each pair after the usual table. PROJ is only an
// independent yardstick here: nothing of it is used by the library.
#pragma once

#include "../bench_support.hpp"

#include <proj.h>

#include <vector>

// A locked system of the bundled database (the sources' data/), which every
// case of the program shares: the library reads one database per process.
int bundled_system(const char *datum, const char *projection, const char *units = "");

// `count` points (three doubles each, height 0) on a regular grid over the
// given box in degrees.
std::vector<double> grid_points(double west, double east, double south, double north,
                                int count = 1'000'000);

// Times proj_trans_generic of the PROJ definition (a pipeline string, or a
// "source CRS|target CRS" pair for proj_create_crs_to_crs) over `points`,
// as PROJ's own callers do: one call for the whole array.
void time_proj(benchmark::State &state, const char *definition, PJ_DIRECTION direction,
               const std::vector<double> &points);

// Times mpx_trans_array from system `source` to `target` over `points`.
void time_mpx(benchmark::State &state, int source, int target, const std::vector<double> &points);

// Times a loop of per-point mpx_transform calls over the same points, as a
// host without the array form would run them.
void time_mpx_per_point(benchmark::State &state, int source, int target,
                        const std::vector<double> &points);

// The points after one pass of mpx_trans_array from `source` to `target`
// (used to make inverse input); empty when the pass fails.
std::vector<double> mpx_transformed(int source, int target, std::vector<double> points);
