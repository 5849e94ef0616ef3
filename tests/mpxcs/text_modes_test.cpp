// The converter reads files and standard input as bytes and writes each
// line with its own ending, so it gives the same text on every platform
// (Windows text mode would change line ends and stop at a Ctrl-Z).
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using mpxcs_test::run_mpxcs;

const std::string kSample = MPX_SOURCE_DIR "data/samples/utm31n_ed50.txt";
const std::string kSystems = mpxcs_test::bundled_db_option() + " ED50,UTM31N WGS84,GEODETIC ";

std::string read_all(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string with_crlf(const std::string &text) {
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

// The README's example, byte for byte as the 64-bit Linux build prints it;
// the Windows build under Wine must print the very same.
TEST(MpxcsTextModes, ReadmeSampleGivesThePinnedOutputFromAFileAndFromStandardInput) {
    const std::string expected = read_all(MPX_SOURCE_DIR "data/samples/utm31n_ed50_wgs84.txt");
    ASSERT_FALSE(expected.empty());
    auto from_file = run_mpxcs(kSystems + kSample, "");
    EXPECT_EQ(from_file.status, 0) << from_file.err;
    EXPECT_EQ(from_file.out, expected);
    auto from_stdin = run_mpxcs(kSystems, read_all(kSample));
    EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
    EXPECT_EQ(from_stdin.out, expected);
}

TEST(MpxcsTextModes, CrlfInputGivesTheSameLinesWithCrlfEnds) {
    const std::string expected =
        with_crlf(read_all(MPX_SOURCE_DIR "data/samples/utm31n_ed50_wgs84.txt"));
    auto from_stdin = run_mpxcs(kSystems, with_crlf(read_all(kSample)));
    EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
    EXPECT_EQ(from_stdin.out, expected);
}

// The bundled database with CRLF line ends (as a Windows checkout may have
// it) gives the very same conversion.
TEST(MpxcsTextModes, CrlfDatabaseGivesThePinnedOutput) {
    namespace fs = std::filesystem;
    const fs::path db = fs::path(mpxcs_test::scratch_dir()) / "crlf_data";
    fs::remove_all(db);
    fs::copy(MPX_SOURCE_DIR "data", db, fs::copy_options::recursive);
    for (const fs::directory_entry &entry : fs::directory_iterator(db))
        if (entry.path().extension() == ".dat") {
            const std::string crlf = with_crlf(read_all(entry.path().string()));
            std::ofstream(entry.path(), std::ios::binary) << crlf;
        }
    auto run =
        run_mpxcs("--db " + db.generic_string() + "/ ED50,UTM31N WGS84,GEODETIC " + kSample, "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, read_all(MPX_SOURCE_DIR "data/samples/utm31n_ed50_wgs84.txt"));
}

// A Ctrl-Z (0x1a) is text like any other byte, not the end of the input.
TEST(MpxcsTextModes, ControlZIsNotTheEndOfTheInput) {
    auto run = run_mpxcs(mpxcs_test::bundled_db_option() + " -d 2 WGS84,GEODETIC WGS84,GEODETIC",
                         "1 2 a\x1a"
                         "b\n3 4\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1.00\t2.00 a\x1a"
                       "b\n3.00\t4.00\n");
}

} // namespace
