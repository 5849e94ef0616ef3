#include "database.hpp"

#include "platform.hpp"

#include <mpxlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace mpxcs {
namespace {

constexpr char kDirVariable[] = "TORVA_ORTIX_DIR";
// A database directory is recognised by its table of datums.
constexpr char kProbeTable[] = "datum_sp.dat";
// Tables every conversion reads.
constexpr const char *kRequiredTables[] = {"datum_sp.dat", "project.dat"};
// Room for a whole field, as the database cursor requires.
constexpr int kFieldSize = 512;

// `dir` (ending in '/') joined with a relative path, its leading "../"
// resolved: grid file names must stay short (the library takes under 80
// characters for directory and file name together).
std::string join_relative(std::string dir, std::string_view relative) {
    while (relative.substr(0, 3) == "../" && dir.size() > 1) {
        std::size_t slash = dir.find_last_of("/\\", dir.size() - 2);
        if (slash == std::string::npos)
            break;
        dir.resize(slash + 1);
        relative.remove_prefix(3);
    }
    return dir.append(relative);
}

std::string bundled_database() {
    std::string exe_dir = executable_dir();
    if (!exe_dir.empty()) {
        std::string installed = join_relative(exe_dir, MPXCS_INSTALLED_DB_RELATIVE);
        if (file_exists(installed + kProbeTable))
            return installed;
    }
    if (file_exists(std::string(MPXCS_BUILD_TREE_DB) + kProbeTable))
        return MPXCS_BUILD_TREE_DB;
    return MPXCS_INSTALLED_DB;
}

// The last column of a record keeps its line end: cut it off for printing.
void trim_line_end(char *text) {
    std::size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
}

struct Listing {
    const char *table;
    const char *header;
    const char *columns[3];
    char types[3];
};

constexpr Listing kListings[] = {
    {"datum_sp", "name\tradius\teccentricity", {"radius", "eccentricity", nullptr}, {'d', 'd', 0}},
    {"project", "name\ttype\tmetre_factor", {"type", "metre_factor", nullptr}, {'s', 'd', 0}},
    {"datumcha", "key\tchange_type", {"change_type", nullptr, nullptr}, {'s', 0, 0}},
};

const Listing *find_listing(const std::string &what) {
    if (what == "datums")
        return &kListings[0];
    if (what == "projections")
        return &kListings[1];
    return &kListings[2];
}

} // namespace

std::string select_database(const std::string &db_option) {
    std::string dir = db_option;
    if (dir.empty()) {
        const char *value = std::getenv(kDirVariable);
        dir = value != nullptr && *value != '\0' ? value : bundled_database();
    }
    if (!set_environment(kDirVariable, dir.c_str()))
        return "cannot set " + std::string(kDirVariable);
    // The library appends the '/' the same way.
    if (dir.back() != '/')
        dir += '/';
    // Said here, with the system's reason, rather than as the library's
    // chain of codes at the first name it cannot find.
    for (const char *table : kRequiredTables) {
        std::string path = dir + table;
        std::FILE *file = std::fopen(path.c_str(), "rb");
        if (file == nullptr)
            return "cannot read the database table " + path + ": " + std::strerror(errno) +
                   " (choose the database directory with --db or " + kDirVariable + ")";
        std::fclose(file);
    }
    return {};
}

std::string database_dir() {
    const char *path = gdb_path();
    return path != nullptr ? path : "";
}

std::vector<std::string> record_names(const char *table) {
    std::vector<std::string> names;
    if (gdb_set_table(table) != 0 || gdb_next_name_key(nullptr) != 0)
        return names;
    char name[kFieldSize];
    while (gdb_next_name_key(name) == 0)
        names.emplace_back(name);
    return names;
}

bool list_database(const std::string &what) {
    const Listing &listing = *find_listing(what);
    if (gdb_set_table(listing.table) != 0 || gdb_next_name_key(nullptr) != 0)
        return false;
    std::printf("%s\n", listing.header);
    char name[kFieldSize];
    int status;
    while ((status = gdb_next_name_key(name)) == 0) {
        std::printf("%s", name);
        for (int i = 0; i < 3 && listing.columns[i] != nullptr; ++i) {
            if (listing.types[i] == 'd') {
                double value = 0.0;
                gdb_load(listing.columns[i], &listing.types[i], &value);
                std::printf("\t%.15g", value);
            } else {
                char text[kFieldSize] = "";
                gdb_load(listing.columns[i], &listing.types[i], text);
                trim_line_end(text);
                std::printf("\t%s", text);
            }
        }
        std::printf("\n");
    }
    return status == 1;
}

} // namespace mpxcs
