// The database as Windows keeps it: tables with CRLF line ends, the
// directory named with a drive letter and backslashes, and a grid control
// file naming a subfolder with a backslash. Each variant must give the
// NADCON change of the LF original in tests/trn/data/.
#include "tests/common/shell.hpp"
#include "trn_support.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace trn_test {
namespace {

namespace fs = std::filesystem;

// NAD27 -> NAD83 of (-95, 40) degrees through tests/trn/data/nad_shift.grd,
// as the LF database gives it on 64-bit Linux.
constexpr Point kNad27{-95.0, 40.0, 0.0};
constexpr Point kNad83{-94.999427042204871, 39.998854084409736, 0.0};
constexpr double kTolerance = 1e-9;

// A copy of tests/trn/data/ under the test's scratch folder: tables with
// CRLF line ends, grid files in the subfolder "grids", and the NADCON
// record's control file naming it with `separator`.
fs::path crlf_database(const char *folder, char separator) {
    const char *scratch = std::getenv("MPX_TEST_TMP");
    const fs::path dir = fs::path(scratch ? scratch : ".") / folder;
    fs::remove_all(dir);
    fs::create_directories(dir / "grids");
    for (const fs::directory_entry &entry :
         fs::directory_iterator(MPX_SOURCE_DIR "tests/trn/data")) {
        const fs::path name = entry.path().filename();
        if (name.extension() == ".grd") {
            fs::copy_file(entry.path(), dir / "grids" / name);
            continue;
        }
        std::string text = test_support::file_bytes(entry.path().string()), crlf;
        if (name == "nadcon.dat")
            text.replace(text.find("nad_shift.grd"), 0, std::string("grids") + separator);
        for (char c : text)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        std::ofstream(dir / name, std::ios::binary) << crlf;
    }
    return dir;
}

void expect_nadcon_change(const std::string &directory) {
    setenv("TORVA_ORTIX_DIR", directory.c_str(), 1);
    test_support::collect_errors();
    const int nad27 = mpx_crelock_coord_sys("NAD27", "GEODETIC", "degrees");
    const int nad83 = mpx_crelock_coord_sys("NAD83", "GEODETIC", "degrees");
    ASSERT_GT(nad27, 0) << directory;
    ASSERT_GT(nad83, 0) << directory;
    ASSERT_EQ(mpx_set_source(&nad27), 0);
    ASSERT_EQ(mpx_set_target(&nad83), 0);
    EXPECT_EQ(mpx_inq_trans_status(), 0);
    EXPECT_EQ(take_lines(), Lines{});
    Point out{};
    Point in = kNad27;
    ASSERT_EQ(mpx_transform(&in.x, &in.y, &in.z, &out.x, &out.y, &out.z), 0);
    EXPECT_NEAR(out.x, kNad83.x, kTolerance);
    EXPECT_NEAR(out.y, kNad83.y, kTolerance);
    EXPECT_NEAR(out.z, kNad83.z, kTolerance);
}

TEST(WindowsDatabase, CrlfTablesGiveTheChangeOfTheirLfOriginals) {
    MPX_SKIP_UNLESS_FRESH_PROCESS(); // the database folder is resolved once a process
    expect_nadcon_change(crlf_database("crlf", '/').generic_string() + "/");
}

TEST(WindowsDatabase, LfOriginalGivesTheSameChange) {
    MPX_SKIP_UNLESS_FRESH_PROCESS(); // the database folder is resolved once a process
    expect_nadcon_change(MPX_SOURCE_DIR "tests/trn/data");
}

#ifdef _WIN32
// "Z:\...\windows_db" under Wine, "C:\..." on Windows; no trailing separator,
// so the lookup appends its '/' after the backslashed path.
TEST(WindowsDatabase, DriveLetterAndBackslashesInDirectoryAndControlFile) {
    MPX_SKIP_UNLESS_FRESH_PROCESS(); // the database folder is resolved once a process
    fs::path dir = fs::absolute(crlf_database("wdb", '\\'));
    dir.make_preferred();
    const std::string text = dir.string();
    ASSERT_TRUE(text.size() > 3 && text[1] == ':' && text[2] == '\\') << text;
    expect_nadcon_change(text);
}

TEST(WindowsDatabase, TrailingBackslashIsKeptAndStillNamesTheDirectory) {
    MPX_SKIP_UNLESS_FRESH_PROCESS(); // the database folder is resolved once a process
    fs::path dir = fs::absolute(crlf_database("wdb2", '\\'));
    dir.make_preferred();
    expect_nadcon_change(dir.string() + "\\");
}
#endif

} // namespace
} // namespace trn_test
