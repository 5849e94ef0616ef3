// The families of bad input that reach the converter: damaged tables and
// grids of the database, bad lines and options, bad system names. Each case
// runs mpxcs in a process of its own on a fresh copy of the small database
// tests/bad_inputs/db/, after the case's set-up damages it:
//
//   SETUP | ARGS | INPUT | STATUS | STDOUT | STDERR
//
// SETUP is "-", or actions joined by " && ", each one of
//   write FILE CONTENT     replace (or add) a file of the database
//   remove FILE
//   grid FILE truncate N   two_cells.grd cut after N bytes, saved as FILE
//   grid FILE i32 AT V     two_cells.grd with the int32 at byte AT set to V
//   grid FILE f64 AT V     ... the double at byte AT (nan, inf allowed)
// ARGS are blank-separated ("%20" is a blank inside one, "''" an empty
// argument, @db the database directory). STDERR is compared with the
// database directory written @db and the usage text after an option error
// written <usage>. MPX_CONVERTER_WRAPPER (the environment's, else the
// build's: memcheck in a Valgrind build) is a command put before mpxcs.
// Windows has no posix_spawn: there the converter families are not built.
#ifndef _WIN32
#include "catalogue.hpp"
#include "tests/common/shell.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using bad_inputs::Case;

constexpr std::size_t kFields = 6;
constexpr char kUsageStart[] = "usage: mpxcs [options]";

void spill(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void replace_all(std::string &text, const std::string &from, const std::string &to) {
    for (std::size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
         at += to.size())
        text.replace(at, from.size(), to);
}

std::vector<std::string> words(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

double number_of(const std::string &text) {
    if (text == "nan")
        return std::numeric_limits<double>::quiet_NaN();
    if (text == "inf")
        return std::numeric_limits<double>::infinity();
    if (text == "-inf")
        return -std::numeric_limits<double>::infinity();
    return std::strtod(text.c_str(), nullptr);
}

// Damages a copy of the database's grid as the set-up says.
std::string damaged_grid(const std::vector<std::string> &w) {
    std::string grid = test_support::file_bytes(MPX_SOURCE_DIR "tests/bad_inputs/db/two_cells.grd");
    const std::string &how = w.at(2);
    const std::size_t at = std::strtoul(w.at(3).c_str(), nullptr, 10);
    if (how == "truncate")
        return grid.substr(0, std::min(at, grid.size()));
    if (grid.size() < at + 8)
        grid.resize(at + 8);
    if (how == "i32") {
        const auto v = static_cast<std::uint32_t>(std::strtol(w.at(4).c_str(), nullptr, 10));
        for (int i = 0; i < 4; ++i)
            grid[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    } else if (how == "f64") {
        const auto v = std::bit_cast<std::uint64_t>(number_of(w.at(4)));
        for (int i = 0; i < 8; ++i)
            grid[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    } else {
        ADD_FAILURE() << "unknown grid damage " << how;
    }
    return grid;
}

void damage(const std::string &db, const std::string &setup) {
    const std::vector<std::string> w = words(setup);
    ASSERT_GE(w.size(), 2u) << setup;
    if (w[0] == "write") {
        // The content is everything after "write FILE ", blanks included.
        const std::size_t start = setup.find(w[1]) + w[1].size() + 1;
        spill(db + w[1], start <= setup.size() ? setup.substr(start) : std::string());
    } else if (w[0] == "remove") {
        fs::remove(db + w[1]);
    } else if (w[0] == "grid") {
        spill(db + w[1], damaged_grid(w));
    } else {
        FAIL() << "unknown set-up " << setup;
    }
}

// A fresh copy of the database, then each action of the set-up in turn.
void set_up(const std::string &db, const std::string &setup) {
    fs::remove_all(db);
    fs::copy(MPX_SOURCE_DIR "tests/bad_inputs/db", db);
    if (setup == "-")
        return;
    constexpr char kThen[] = " && ";
    for (std::size_t start = 0; start <= setup.size();) {
        std::size_t end = setup.find(kThen, start);
        if (end == std::string::npos)
            end = setup.size();
        damage(db, setup.substr(start, end - start));
        start = end + sizeof kThen - 1;
    }
}

struct Result {
    int status = -1;
    std::string out, err;
};

Result run_converter(const std::string &args, const std::string &input, const std::string &db) {
    const std::string scratch = bad_inputs::scratch_dir();
    const std::string in = scratch + "case.in", out = scratch + "case.out",
                      err = scratch + "case.err";
    spill(in, input);
    std::vector<std::string> argv_text;
    const char *wrapper = std::getenv("MPX_CONVERTER_WRAPPER");
    argv_text = words(wrapper ? wrapper : MPX_CONVERTER_WRAPPER);
    argv_text.push_back(MPX_BINARY_DIR "bin/mpxcs");
    for (std::string word : words(args)) {
        if (word == "''")
            word.clear();
        replace_all(word, "%20", " ");
        replace_all(word, "@db", db);
        argv_text.push_back(word);
    }
    std::vector<char *> argv;
    for (std::string &a : argv_text)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    Result result;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int raw = 0;
        waitpid(pid, &raw, 0);
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = test_support::file_bytes(out);
    result.err = test_support::file_bytes(err);
    replace_all(result.out, db, "@db/");
    replace_all(result.err, db, "@db/");
    if (const std::size_t usage = result.err.find(kUsageStart); usage != std::string::npos)
        result.err = result.err.substr(0, usage) + "<usage>";
    return result;
}

// Runs every case of the family; with MPX_BAD_INPUTS_RECORD set, writes the
// results found to <family>.txt.found in the scratch directory instead, so
// that a new case's expectations can be reviewed and copied.
void run_family(const std::string &family) {
    ASSERT_FALSE(bad_inputs::scratch_dir().empty()) << "no scratch directory";
    const bool record = std::getenv("MPX_BAD_INPUTS_RECORD") != nullptr;
    std::ofstream found;
    if (record)
        found.open(bad_inputs::scratch_dir() + family + ".txt.found");
    const std::string db = bad_inputs::scratch_dir() + "db/";
    const std::vector<Case> cases = bad_inputs::read_family(family, kFields);
    EXPECT_FALSE(cases.empty());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where());
        set_up(db, c.fields[0]);
        const Result r = run_converter(c.fields[1], c.fields[2], db);
        if (record) {
            found << bad_inputs::escaped(c.fields[0]) << " | " << bad_inputs::escaped(c.fields[1])
                  << " | " << bad_inputs::escaped(c.fields[2]) << " | " << r.status << " | "
                  << bad_inputs::escaped(r.out) << " | " << bad_inputs::escaped(r.err) << "\n";
            continue;
        }
        EXPECT_EQ(r.status, std::atoi(c.fields[3].c_str()));
        EXPECT_EQ(r.out, c.fields[4]);
        EXPECT_EQ(r.err, c.fields[5]);
    }
}

TEST(BadInputCatalogue, DamagedTables) { run_family("tables"); }
TEST(BadInputCatalogue, DamagedGrids) { run_family("grids"); }
TEST(BadInputCatalogue, ConverterLinesAndOptions) { run_family("converter"); }
TEST(BadInputCatalogue, SystemNames) { run_family("names"); }

} // namespace
#endif // _WIN32
