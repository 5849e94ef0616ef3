// Lines per second of the built mpxcs on a million UTM points with a
// Bursa-Wolfe datum change (ED50 / UTM zone 31N to WGS 84 degrees), the
// converter's main job. The input file is generated once in the build tree;
// each iteration runs the program on it as a user would.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr long kPoints = 1000000;
const std::string kInput = MPX_BINARY_DIR "mpxcs_bench_utm31n.txt";

#ifdef _WIN32
constexpr char kNullDevice[] = "NUL";
#else
constexpr char kNullDevice[] = "/dev/null";
#endif

// A regular grid of points over zone 31 between 40 and 52 degrees north,
// each with a height and a point name to pass through.
void write_input() {
    std::FILE *file = std::fopen(kInput.c_str(), "wb");
    if (file == nullptr)
        return;
    for (long i = 0; i < kPoints; ++i) {
        double easting = 300000.0 + static_cast<double>(i % 1000) * 400.0;
        double northing = 4430000.0 + static_cast<double>(i / 1000) * 1330.0;
        std::fprintf(file, "%.3f %.3f %.3f pt%ld\n", easting, northing,
                     static_cast<double>(i % 500), i);
    }
    std::fclose(file);
}

// Runs `command` on the generated input once per iteration and reports the
// lines per second.
void run_on_input(benchmark::State &state, const std::string &command, const char *program) {
    static const bool written = (write_input(), true);
    (void)written;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError((std::string(program) + " failed").c_str());
            break;
        }
    }
    state.counters["lines_per_second"] = benchmark::Counter(
        static_cast<double>(kPoints), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MpxcsUtmToGeodeticWithBursaWolfe(benchmark::State &state) {
    run_on_input(state,
                 "\"" MPX_BINARY_DIR "bin/mpxcs\" --db \"" MPX_SOURCE_DIR
                 "data/\" ED50,UTM31N WGS84,GEODETIC \"" +
                     kInput + "\" > " + kNullDevice,
                 "mpxcs");
}

BENCHMARK(BM_MpxcsUtmToGeodeticWithBursaWolfe)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// PROJ's cs2cs on the same file and the same change (EPSG:23031's
// three-parameter towgs84), when it is installed: the ratio of the two
// lines-per-second figures is the converter's speed-up.
void BM_Cs2csUtmToGeodeticWithBursaWolfe(benchmark::State &state) {
#ifdef _WIN32
    state.SkipWithError("cs2cs is not looked for on Windows");
#else
    if (std::system("command -v cs2cs > /dev/null 2>&1") != 0) {
        state.SkipWithError("cs2cs is not installed");
        return;
    }
    run_on_input(state,
                 "cs2cs -f %.9f +proj=utm +zone=31 +ellps=intl +towgs84=-87,-98,-121 +to "
                 "+proj=longlat +datum=WGS84 \"" +
                     kInput + "\" > " + kNullDevice,
                 "cs2cs");
#endif
}

BENCHMARK(BM_Cs2csUtmToGeodeticWithBursaWolfe)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
