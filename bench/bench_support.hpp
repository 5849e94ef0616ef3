// What the transformation benchmarks share: a throw-away database written
// into the system's temporary directory, and the timed loop over
// mpx_trans_array. Only the public header is used, as by any host.
#pragma once

#include "mpxlib.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// tables: (table name, file text) pairs. Call before the first library call.
inline void
use_bench_database(const char *folder_name,
                   std::initializer_list<std::pair<const char *, const char *>> tables) {
    const auto folder = std::filesystem::temp_directory_path() / folder_name;
    std::filesystem::create_directories(folder);
    for (const auto &[table, text] : tables)
        std::ofstream(folder / (std::string(table) + ".dat")) << text;
    const std::string directory = folder.string() + "/";
#ifdef _WIN32
    _putenv_s("TORVA_ORTIX_DIR", directory.c_str());
#else
    setenv("TORVA_ORTIX_DIR", directory.c_str(), 1);
#endif
}

// Makes (source, target) the current pair and sets it up; false on failure.
inline bool select_pair(int source, int target) {
    return source > 0 && target > 0 && mpx_set_source(&source) == 0 &&
           mpx_set_target(&target) == 0 && mpx_inq_trans_status() == 0;
}

// Times mpx_trans_array of the current transformation over `in` (three
// doubles a point) and reports the cost per point.
inline void time_trans_array(benchmark::State &state, const std::vector<double> &in) {
    std::vector<double> out(in.size());
    const int n = static_cast<int>(in.size() / 3);
    for (auto _ : state) {
        const int result = mpx_trans_array(&n, in.data(), out.data());
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_point"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
