// The shared timing loops and the ratio reporter of the side-by-side
// benchmark program.
#include "side_by_side.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <utility>

namespace {

// The cache's size: every cached system may meet every other one in a
// transformation, and the library caches at most MPX_MAX_TRANSFORMATIONS
// pairs (deleting a system releases the pairs that use it), so with five
// systems the 20 pairs always fit; and five is more than any case needs.
constexpr std::size_t kCachedSystems = 5;
static_assert(kCachedSystems * (kCachedSystems - 1) <= MPX_MAX_TRANSFORMATIONS &&
              kCachedSystems <= MPX_MAX_COORD_SYS);

struct CachedSystem {
    std::string key; // datum, projection and units, each ended by '\n'
    int id;
};

} // namespace

int bundled_system(const char *datum, const char *projection, const char *units) {
    static const bool database_chosen = [] {
#ifdef _WIN32
        return _putenv_s("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/") == 0;
#else
        return setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1) == 0;
#endif
    }();
    // Most recently used first; the cache holds the only reference to each
    // of its systems, so a deletion frees the library's place.
    static std::vector<CachedSystem> cache;
    if (!database_chosen)
        return -1;
    const std::string key = std::string(datum) + '\n' + projection + '\n' + units + '\n';
    const auto found = std::find_if(cache.begin(), cache.end(),
                                    [&key](const CachedSystem &c) { return c.key == key; });
    if (found != cache.end()) {
        std::rotate(cache.begin(), found, found + 1);
        return cache.front().id;
    }
    if (cache.size() >= kCachedSystems) {
        mpx_delete_coord_sys(&cache.back().id);
        cache.pop_back();
    }
    const int id = mpx_crelock_coord_sys(datum, projection, units);
    if (id > 0)
        cache.insert(cache.begin(), {key, id});
    return id;
}

BundledPair bundled_pair(const char *datum, const char *projection, const char *units) {
    return {bundled_system(datum, "GEODETIC", "degrees"), bundled_system(datum, projection, units)};
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

// An empty array is what mpx_transformed returns when the pass that makes
// a case's input fails: that case must show as an error, never as a cost.
bool has_points(benchmark::State &state, const std::vector<double> &points) {
    if (points.empty())
        state.SkipWithError("no input points (the mpx pass that makes them failed)");
    return !points.empty();
}

void proj_pass(PJ *pj, PJ_DIRECTION direction, std::vector<double> &work) {
    const std::size_t n = work.size() / 3;
    const std::size_t stride = 3 * sizeof(double);
    const std::size_t done =
        proj_trans_generic(pj, direction, work.data(), stride, n, work.data() + 1, stride, n,
                           work.data() + 2, stride, n, nullptr, 0, 0);
    benchmark::DoNotOptimize(done);
}

// Sets up (source, target) and makes one untimed pass of mpx_trans_array,
// which must transform every point; otherwise reports why and gives false.
bool ready_for_mpx(benchmark::State &state, int source, int target,
                   const std::vector<double> &points) {
    if (!has_points(state, points))
        return false;
    if (!select_pair(source, target)) {
        state.SkipWithError("transformation set-up failed");
        return false;
    }
    std::vector<double> out(points.size());
    const int n = static_cast<int>(points.size() / 3);
    if (mpx_trans_array(&n, points.data(), out.data()) != 0) {
        state.SkipWithError("mpx_trans_array failed on a point");
        return false;
    }
    return true;
}

using PjPointer = std::unique_ptr<PJ, PjDeleter>;

PjPointer proj_operation(const char *definition) {
    const std::string text = definition;
    const auto bar = text.find('|');
    return PjPointer(bar == std::string::npos
                         ? proj_create(PJ_DEFAULT_CTX, definition)
                         : proj_create_crs_to_crs(PJ_DEFAULT_CTX, text.substr(0, bar).c_str(),
                                                  text.substr(bar + 1).c_str(), nullptr));
}

// Metres per degree of a great circle on a sphere of 6371 km: turns the
// differences of inverse runs into rough distances.
constexpr double kMetresPerDegree = 111195;

// Before a case is timed: on one point in every 997 of its grid, the
// largest distance in metres between PROJ's and mpxlib's images, and
// between the grid and PROJ's inverse of mpxlib's images; -1 when one of
// the passes fails.
double largest_difference(const ProjectionCase &c, const char *definition,
                          const std::vector<double> &degrees) {
    std::vector<double> sample;
    for (std::size_t i = 0; i < degrees.size(); i += 3 * 997)
        sample.insert(sample.end(), degrees.begin() + static_cast<std::ptrdiff_t>(i),
                      degrees.begin() + static_cast<std::ptrdiff_t>(i + 3));
    const auto pj = proj_operation(definition);
    const std::vector<double> mpx = mpx_transformed(bundled_pair(c.datum, c.system), sample);
    if (!pj || mpx.empty())
        return -1;
    std::vector<double> forward = sample, inverse = mpx;
    proj_pass(pj.get(), PJ_FWD, forward);
    proj_pass(pj.get(), PJ_INV, inverse);
    double largest = 0;
    for (std::size_t i = 0; i < sample.size(); i += 3) {
        const double dlon = std::remainder(inverse[i] - sample[i], 360.0);
        const double dlat = inverse[i + 1] - sample[i + 1];
        const double across = std::cos(sample[i + 1] * std::numbers::pi / 180) * dlon;
        const double distances[] = {std::hypot(forward[i] - mpx[i], forward[i + 1] - mpx[i + 1]),
                                    kMetresPerDegree * std::hypot(across, dlat)};
        for (const double d : distances) {
            if (!std::isfinite(d))
                return -1;
            largest = std::max(largest, d);
        }
    }
    return largest;
}

} // namespace

void time_proj(benchmark::State &state, const char *definition, PJ_DIRECTION direction,
               const std::vector<double> &points) {
    if (!has_points(state, points))
        return;
    const auto pj = proj_operation(definition);
    if (!pj) {
        state.SkipWithError("PROJ could not create the operation");
        return;
    }
    // PROJ marks a point it cannot transform with HUGE_VAL.
    std::vector<double> work = points;
    proj_pass(pj.get(), direction, work);
    if (!std::all_of(work.begin(), work.end(), [](double v) { return std::isfinite(v); })) {
        state.SkipWithError("PROJ failed on a point");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        work = points;
        state.ResumeTiming();
        proj_pass(pj.get(), direction, work);
        benchmark::ClobberMemory();
    }
    count_points(state, points.size() / 3);
}

void time_mpx(benchmark::State &state, int source, int target, const std::vector<double> &points) {
    if (ready_for_mpx(state, source, target, points))
        time_trans_array(state, points);
}

void time_mpx_per_point(benchmark::State &state, int source, int target,
                        const std::vector<double> &points) {
    if (!ready_for_mpx(state, source, target, points))
        return;
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

std::vector<double> mpx_transformed(BundledPair pair, std::vector<double> degrees) {
    return mpx_transformed(pair.geodetic, pair.projected, std::move(degrees));
}

bool register_projection_cases(std::span<const ProjectionCase> cases) {
    for (const ProjectionCase &c : cases) {
        const std::string name = c.name;
        const std::string proj =
            std::string("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step ") +
            c.proj;
        const auto degrees = [c] { return grid_points(c.west, c.east, c.south, c.north); };
        benchmark::RegisterBenchmark((name + "Forward/mpx").c_str(),
                                     [c, degrees](benchmark::State &s) {
                                         const BundledPair p = bundled_pair(c.datum, c.system);
                                         time_mpx(s, p.geodetic, p.projected, degrees());
                                     });
        benchmark::RegisterBenchmark(
            (name + "Forward/proj").c_str(), [c, proj, degrees](benchmark::State &s) {
                const double difference = largest_difference(c, proj.c_str(), degrees());
                s.counters["differ_m"] = difference;
                if (difference < 0)
                    s.SkipWithError("PROJ and mpxlib could not be compared");
                else if (difference > c.tolerance)
                    s.SkipWithError("PROJ and mpxlib differ by more than the case's tolerance");
                else
                    time_proj(s, proj.c_str(), PJ_FWD, degrees());
            });
        benchmark::RegisterBenchmark(
            (name + "Inverse/mpx").c_str(), [c, degrees](benchmark::State &s) {
                const BundledPair p = bundled_pair(c.datum, c.system);
                time_mpx(s, p.projected, p.geodetic, mpx_transformed(p, degrees()));
            });
        benchmark::RegisterBenchmark(
            (name + "Inverse/proj").c_str(), [c, proj, degrees](benchmark::State &s) {
                const BundledPair p = bundled_pair(c.datum, c.system);
                time_proj(s, proj.c_str(), PJ_INV, mpx_transformed(p, degrees()));
            });
    }
    return true;
}

namespace {

// The console table, then one line per "<case>/mpx" and "<case>/proj" pair:
// both costs per point and how many times faster mpxlib is; where the case
// also has a "<case>/point" run (per-point mpx_transform), its cost and
// ratio too. A case with a failed run shows its error instead of figures.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.rfind('/');
            if (slash == std::string::npos)
                continue;
            Case &c = cases_[name.substr(0, slash)];
            const std::string kind = name.substr(slash + 1);
            const auto counter = run.counters.find("per_point");
            if (run.error_occurred)
                c.failure += " " + kind + ": " + run.error_message + ";";
            else if (counter != run.counters.end())
                c.cost[kind] = counter->second.value;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-40s %12s %12s %8s %12s %8s\n", "case", "mpx ns/pt", "PROJ ns/pt", "ratio",
                    "point ns/pt", "ratio");
        for (const auto &[name, c] : cases_) {
            if (!c.failure.empty()) {
                std::printf("%-40s FAILED%s\n", name.c_str(), c.failure.c_str());
                continue;
            }
            const auto mpx = c.cost.find("mpx"), proj = c.cost.find("proj"),
                       point = c.cost.find("point");
            if (mpx == c.cost.end() || proj == c.cost.end())
                continue;
            std::printf("%-40s %12.1f %12.1f %7.1fx", name.c_str(), mpx->second * 1e9,
                        proj->second * 1e9, proj->second / mpx->second);
            if (point != c.cost.end())
                std::printf(" %12.1f %7.1fx", point->second * 1e9, proj->second / point->second);
            std::printf("\n");
        }
    }

  private:
    struct Case {
        std::map<std::string, double> cost; // seconds per point by run kind
        std::string failure;                // the failed runs' errors
    };
    std::map<std::string, Case> cases_;
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
