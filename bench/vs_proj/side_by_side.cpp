// The shared timing loops and the ratio reporter of the side-by-side
// benchmark program.
#include "side_by_side.hpp"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

int bundled_system(const char *datum, const char *projection, const char *units) {
    static const bool database_chosen = [] {
#ifdef _WIN32
        return _putenv_s("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/") == 0;
#else
        return setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1) == 0;
#endif
    }();
    return database_chosen ? mpx_crelock_coord_sys(datum, projection, units) : -1;
}

std::vector<double> grid_points(double west, double east, double south, double north, int count) {
    const int side = 1000;
    std::vector<double> points(3 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double u = static_cast<double>(i % side) / (side - 1);
        const double v = static_cast<double>((i / side) % side) / (side - 1);
        points[3 * static_cast<std::size_t>(i)] = west + (east - west) * u;
        points[3 * static_cast<std::size_t>(i) + 1] = south + (north - south) * v;
        points[3 * static_cast<std::size_t>(i) + 2] = 0.0;
    }
    return points;
}

namespace {

void count_points(benchmark::State &state, std::size_t points) {
    state.counters["per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(points),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct PjDeleter {
    void operator()(PJ *pj) const { proj_destroy(pj); }
};

} // namespace

void time_proj(benchmark::State &state, const char *definition, PJ_DIRECTION direction,
               const std::vector<double> &points) {
    const std::string text = definition;
    const auto bar = text.find('|');
    std::unique_ptr<PJ, PjDeleter> pj(
        bar == std::string::npos
            ? proj_create(PJ_DEFAULT_CTX, definition)
            : proj_create_crs_to_crs(PJ_DEFAULT_CTX, text.substr(0, bar).c_str(),
                                     text.substr(bar + 1).c_str(), nullptr));
    if (!pj) {
        state.SkipWithError("PROJ could not create the operation");
        return;
    }
    const std::size_t n = points.size() / 3;
    std::vector<double> work(points.size());
    const std::size_t stride = 3 * sizeof(double);
    for (auto _ : state) {
        state.PauseTiming();
        work = points;
        state.ResumeTiming();
        const std::size_t done =
            proj_trans_generic(pj.get(), direction, work.data(), stride, n, work.data() + 1, stride,
                               n, work.data() + 2, stride, n, nullptr, 0, 0);
        benchmark::DoNotOptimize(done);
        benchmark::ClobberMemory();
    }
    count_points(state, n);
}

void time_mpx(benchmark::State &state, int source, int target, const std::vector<double> &points) {
    if (!select_pair(source, target)) {
        state.SkipWithError("transformation set-up failed");
        return;
    }
    time_trans_array(state, points);
}

void time_mpx_per_point(benchmark::State &state, int source, int target,
                        const std::vector<double> &points) {
    if (!select_pair(source, target)) {
        state.SkipWithError("transformation set-up failed");
        return;
    }
    std::vector<double> out(points.size());
    const std::size_t n = points.size() / 3;
    for (auto _ : state) {
        int failures = 0;
        for (std::size_t i = 0; i < 3 * n; i += 3)
            failures += mpx_transform(&points[i], &points[i + 1], &points[i + 2], &out[i],
                                      &out[i + 1], &out[i + 2]) != 0;
        benchmark::DoNotOptimize(failures);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    count_points(state, n);
}

std::vector<double> mpx_transformed(int source, int target, std::vector<double> points) {
    const int n = static_cast<int>(points.size() / 3);
    if (!select_pair(source, target) || mpx_trans_array(&n, points.data(), points.data()) != 0)
        return {};
    return points;
}

namespace {

// The console table, then one line per "<case>/mpx" and "<case>/proj" pair:
// both costs per point and how many times faster mpxlib is; where the case
// also has a "<case>/point" run (per-point mpx_transform), its cost and
// ratio too.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.rfind('/');
            const auto counter = run.counters.find("per_point");
            if (slash == std::string::npos || counter == run.counters.end() || run.error_occurred)
                continue;
            costs_[name.substr(0, slash)][name.substr(slash + 1)] = counter->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-40s %12s %12s %8s %12s %8s\n", "case", "mpx ns/pt", "PROJ ns/pt", "ratio",
                    "point ns/pt", "ratio");
        for (const auto &[name, cost] : costs_) {
            const auto mpx = cost.find("mpx"), proj = cost.find("proj"), point = cost.find("point");
            if (mpx == cost.end() || proj == cost.end())
                continue;
            std::printf("%-40s %12.1f %12.1f %7.1fx", name.c_str(), mpx->second * 1e9,
                        proj->second * 1e9, proj->second / mpx->second);
            if (point != cost.end())
                std::printf(" %12.1f %7.1fx", point->second * 1e9, proj->second / point->second);
            std::printf("\n");
        }
    }

  private:
    std::map<std::string, std::map<std::string, double>> costs_;
};

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
