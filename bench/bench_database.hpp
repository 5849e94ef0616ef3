// A throw-away database for a benchmark: table files written into a folder
// of the system's temporary directory, which then becomes the library's
// database directory. Only the public header is used, as by any host.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

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
