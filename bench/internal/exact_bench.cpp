// The exact Transverse Mercator (Krüger's series to n^6) beside the classic
// series form, on the same points in one run: the projection routines
// alone, through the registry entries of both (this program reaches the
// registry's internals, so it links the library's static twin).
#include "mpxlib.h"
#include "proj/registry.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int kPoints = 100'000;
constexpr double kDegree = std::numbers::pi / 180.0;

// Registry indexes of the exact and the classic "tranmerc": the exact forms
// go first, the classic ones follow with the base set.
struct Forms {
    int exact, classic;
};

const Forms &forms() {
    static const Forms f = [] {
        mpx_exact_install();
        const int first_base = proj_count();
        mpx_base_install();
        int classic = -1;
        for (int i = first_base; i < proj_count() && classic < 0; ++i)
            if (std::strcmp(proj_entry(i)->descriptor->name, "tranmerc") == 0)
                classic = i;
        return Forms{proj_find("tranmerc"), classic};
    }();
    return f;
}

std::vector<double> record_of(int index) {
    const mpx_proj_entry &e = *proj_entry(index);
    std::vector<double> record(static_cast<std::size_t>(e.param_size) / 8 + 1, 0.0);
    const auto set = [&](const char *name, double value) {
        std::memcpy(reinterpret_cast<char *>(record.data()) + struct_offset(e.descriptor, name),
                    &value, sizeof value);
    };
    set("spheroid.radius", 6378137.0);
    set("spheroid.eccentricity", 0.081819190842621486);
    set("scale_factor", 0.9996);
    set("centre_merid", 3 * kDegree);
    set("false_east", 500000.0);
    e.init(record.data());
    return record;
}

// Zone 31 (0 to 6 E), 0 to 60 N, radians.
std::vector<double> zone_points() {
    std::vector<double> p(2 * kPoints);
    for (int i = 0; i < kPoints; ++i) {
        p[2 * i] = 6.0 * kDegree * (i % 317) / 317.0;
        p[2 * i + 1] = 60.0 * kDegree * (i / 317) / (kPoints / 317.0);
    }
    return p;
}

void run(benchmark::State &state, bool exact, bool forward) {
    const int index = exact ? forms().exact : forms().classic;
    const mpx_proj_entry &e = *proj_entry(index);
    std::vector<double> record = record_of(index);
    std::vector<double> in = zone_points();
    if (!forward)
        for (int i = 0; i < kPoints; ++i)
            e.forward(record.data(), in[2 * i], in[2 * i + 1], &in[2 * i], &in[2 * i + 1]);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            double u = 0, v = 0;
            const int status = forward
                                   ? e.forward(record.data(), in[2 * i], in[2 * i + 1], &u, &v)
                                   : e.backward(record.data(), in[2 * i], in[2 * i + 1], &u, &v);
            benchmark::DoNotOptimize(status);
            benchmark::DoNotOptimize(u);
            benchmark::DoNotOptimize(v);
        }
    }
    state.counters["per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPoints,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TranmercClassicForward(benchmark::State &s) { run(s, false, true); }
void BM_TranmercExactForward(benchmark::State &s) { run(s, true, true); }
void BM_TranmercClassicBackward(benchmark::State &s) { run(s, false, false); }
void BM_TranmercExactBackward(benchmark::State &s) { run(s, true, false); }

BENCHMARK(BM_TranmercClassicForward);
BENCHMARK(BM_TranmercExactForward);
BENCHMARK(BM_TranmercClassicBackward);
BENCHMARK(BM_TranmercExactBackward);

} // namespace

BENCHMARK_MAIN();
