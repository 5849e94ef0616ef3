// Side-by-side timing of mpx_trans_array and PROJ's proj_trans_generic on
// the same points in the same run. Each family's file registers pairs of
// benchmarks named "<case>/mpx" and "<case>/proj"; the program's reporter
// prints the ratio of each pair after the usual table. PROJ is only an
// independent yardstick here: nothing of it is used by the library.
#pragma once

#include "../bench_support.hpp"

#include <proj.h>

#include <span>
#include <vector>

// A locked system of the bundled database (the sources' data/; the library
// reads one database per process), or -1. The program's cases need more
// systems in all than the library has places for (MPX_MAX_COORD_SYS
// systems, MPX_MAX_TRANSFORMATIONS cached pairs), so the systems are kept
// in a small cache that deletes the least recently used one when it is
// full: fetch the systems in each benchmark run and never keep an
// identifier beyond it.
int bundled_system(const char *datum, const char *projection, const char *units = "");

// A projected system of the bundled database and the geodetic system in
// degrees on the same datum: the two ends of most cases. Fetch it in the
// run that uses it (see bundled_system).
struct BundledPair {
    int geodetic, projected;
};
BundledPair bundled_pair(const char *datum, const char *projection, const char *units = "");

// `count` points (three doubles each, height 0) on a regular grid over the
// given box in degrees.
std::vector<double> grid_points(double west, double east, double south, double north,
                                int count = 1'000'000);

// Times proj_trans_generic of the PROJ definition (a pipeline string, or a
// "source CRS|target CRS" pair for proj_create_crs_to_crs) over `points`,
// as PROJ's own callers do: one call for the whole array. An empty array
// (a failed mpx pass that was to make the input) or a first pass in which
// PROJ fails on some point is reported as an error, not timed.
void time_proj(benchmark::State &state, const char *definition, PJ_DIRECTION direction,
               const std::vector<double> &points);

// Times mpx_trans_array from system `source` to `target` over `points`.
// A failed set-up, an empty array or a first pass that stops at a failing
// point is reported as an error, not timed; likewise for the per-point loop.
void time_mpx(benchmark::State &state, int source, int target, const std::vector<double> &points);

// Times a loop of per-point mpx_transform calls over the same points, as a
// host without the array form would run them.
void time_mpx_per_point(benchmark::State &state, int source, int target,
                        const std::vector<double> &points);

// The points after one pass of mpx_trans_array from `source` to `target`
// (used to make inverse input); empty when the pass fails.
std::vector<double> mpx_transformed(int source, int target, std::vector<double> points);
// The points (geodetic degrees) after one pass to the pair's projected
// system; empty when the pass fails.
std::vector<double> mpx_transformed(BundledPair pair, std::vector<double> degrees);

// One projection case of the usual shape: geodetic degrees on `datum` to
// the bundled projected system `system` and back, beside the same
// projection in PROJ, on a grid of points over a box in degrees (the
// inverse runs on the images of the grid made by mpxlib). Before it is
// timed, PROJ's forward images of a sample of the grid must agree with
// mpxlib's, and PROJ's inverse of mpxlib's images with the grid, within
// the tolerance (the "differ_m" column shows the largest difference).
struct ProjectionCase {
    const char *name;   // the runs are "<name>Forward/..." and "<name>Inverse/..."
    const char *datum;  // bundled datum of both systems
    const char *system; // bundled projected system
    const char *proj;   // the same projection in PROJ, radians in and metres out
    double west, east, south, north;
    double tolerance; // metres
};

// Registers the four runs "<name>Forward/mpx", "<name>Forward/proj",
// "<name>Inverse/mpx" and "<name>Inverse/proj" of each case; call it in
// the initialiser of a namespace-scope constant, before main runs them.
bool register_projection_cases(std::span<const ProjectionCase> cases);
