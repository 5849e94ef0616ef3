// The exact companions (Transverse Mercator by Krüger's series to n^6,
// Lambert by the closed formulas) beside the classic forms, on the same
// points in one run: the projection routines alone, through the registry
// entries of both (this program reaches the registry's internals, so it
// links the library's static twin).
#include "mpxlib.h"
#include "proj/registry.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int kPoints = 100'000;
constexpr double kDegree = std::numbers::pi / 180.0;

// Registry indexes of the exact and the classic form of a keyword: the
// exact forms go first, the classic ones follow with the base set.
struct Forms {
    int exact, classic;
};

Forms forms(const char *keyword) {
    static const int first_base = [] {
        mpx_exact_install();
        const int count = proj_count();
        mpx_base_install();
        return count;
    }();
    int classic = -1;
    for (int i = first_base; i < proj_count() && classic < 0; ++i)
        if (std::strcmp(proj_entry(i)->descriptor->name, keyword) == 0)
            classic = i;
    return Forms{proj_find(keyword), classic};
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
    if (std::strcmp(e.descriptor->name, "lambert2") == 0) { // Lambert-93
        set("first_paral", 49 * kDegree);
        set("second_paral", 44 * kDegree);
        set("scale_factor", 1.0);
    } else { // UTM zone 31
        set("scale_factor", 0.9996);
    }
    set("centre_merid", 3 * kDegree);
    set("false_east", 500000.0);
    e.init(record.data());
    return record;
}

// 0 to 6 E, 40 to 55 N (zone 31, France), radians.
std::vector<double> zone_points() {
    std::vector<double> p(2 * kPoints);
    for (int i = 0; i < kPoints; ++i) {
        p[2 * i] = 6.0 * kDegree * (i % 317) / 317.0;
        p[2 * i + 1] = (40.0 + 15.0 * (i / 317) / (kPoints / 317.0)) * kDegree;
    }
    return p;
}

void run(benchmark::State &state, const char *keyword, bool exact, bool forward) {
    const Forms f = forms(keyword);
    const int index = exact ? f.exact : f.classic;
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

void BM_TranmercClassicForward(benchmark::State &s) { run(s, "tranmerc", false, true); }
void BM_TranmercExactForward(benchmark::State &s) { run(s, "tranmerc", true, true); }
void BM_TranmercClassicBackward(benchmark::State &s) { run(s, "tranmerc", false, false); }
void BM_TranmercExactBackward(benchmark::State &s) { run(s, "tranmerc", true, false); }
void BM_Lambert2ClassicForward(benchmark::State &s) { run(s, "lambert2", false, true); }
void BM_Lambert2ExactForward(benchmark::State &s) { run(s, "lambert2", true, true); }
void BM_Lambert2ClassicBackward(benchmark::State &s) { run(s, "lambert2", false, false); }
void BM_Lambert2ExactBackward(benchmark::State &s) { run(s, "lambert2", true, false); }

BENCHMARK(BM_TranmercClassicForward);
BENCHMARK(BM_TranmercExactForward);
BENCHMARK(BM_TranmercClassicBackward);
BENCHMARK(BM_TranmercExactBackward);
BENCHMARK(BM_Lambert2ClassicForward);
BENCHMARK(BM_Lambert2ExactForward);
BENCHMARK(BM_Lambert2ClassicBackward);
BENCHMARK(BM_Lambert2ExactBackward);

} // namespace

BENCHMARK_MAIN();
