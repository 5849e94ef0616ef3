// The converter as a new user meets it next to cs2cs: streaming answers to
// a co-process, the input formats people have (CSV, degrees-minutes-seconds,
// latitude first, headers, byte-order marks), names typed in any case, and
// one clear line for every failure.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

const std::string kDb = mpxcs_test::bundled_db_option() + " ";
const std::string kIdentity = kDb + "-d 2 WGS84,GEODETIC WGS84,GEODETIC ";

std::string scratch_dir(const char *name) {
    std::string dir = mpxcs_test::scratch_dir() + "/" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Equal texts, or where they first part. EXPECT_EQ on texts of thousands
// of lines would have GoogleTest build a line-by-line edit table, gigabytes
// for these, which a 32-bit process cannot even allocate.
testing::AssertionResult same_text(const std::string &got, const std::string &expected) {
    auto [g, e] = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
    if (g == got.end() && e == expected.end())
        return testing::AssertionSuccess();
    auto line_start = static_cast<std::size_t>(
        std::find(std::make_reverse_iterator(g), got.rend(), '\n').base() - got.begin());
    constexpr std::size_t kShown = 60;
    return testing::AssertionFailure()
           << "the texts part at byte " << (g - got.begin()) << ", line "
           << std::count(got.begin(), g, '\n') + 1 << " (" << got.size() << " bytes against "
           << expected.size() << "):\n  got      "
           << testing::PrintToString(got.substr(line_start, kShown)) << "\n  expected "
           << testing::PrintToString(expected.substr(line_start, kShown));
}

#ifndef _WIN32
// A co-process: mpxcs with a pipe on each side. Each line written is
// answered before the next is written; every wait is bounded, so a converter
// that buffers its answers fails the test instead of hanging it.
class CoProcess {
  public:
    explicit CoProcess(const std::vector<std::string> &args) {
        int to_child[2], from_child[2];
        if (pipe(to_child) != 0 || pipe(from_child) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(to_child[0], 0);
            dup2(from_child[1], 1);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            close(to_child[1]);
            close(from_child[0]);
            std::vector<char *> argv;
            std::string program = MPX_BINARY_DIR "bin/mpxcs";
            argv.push_back(program.data());
            for (const std::string &arg : args)
                argv.push_back(const_cast<char *>(arg.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(to_child[0]);
        close(from_child[1]);
        in_ = to_child[1];
        out_ = from_child[0];
    }
    ~CoProcess() {
        if (in_ >= 0)
            close(in_);
        if (out_ >= 0)
            close(out_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The answer to one line, or "" when none came within the time limit.
    std::string ask(const std::string &line) {
        std::string text = line + "\n";
        if (write(in_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return {};
        std::string answer;
        constexpr int kWaitMs = 10000;
        while (answer.empty() || answer.back() != '\n') {
            pollfd ready{out_, POLLIN, 0};
            if (poll(&ready, 1, kWaitMs) != 1)
                return {};
            char buffer[256];
            ssize_t count = read(out_, buffer, sizeof buffer);
            if (count <= 0)
                return {};
            answer.append(buffer, static_cast<std::size_t>(count));
        }
        return answer;
    }

  private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};

TEST(MpxcsStreaming, ACoProcessGetsEachAnswerBeforeWritingTheNextLine) {
    CoProcess mpxcs(
        {"--db", MPX_SOURCE_DIR "data/", "-d", "2", "WGS84,GEODETIC", "WGS84,GEODETIC"});
    EXPECT_EQ(mpxcs.ask("1 2 first"), "1.00\t2.00 first\n");
    EXPECT_EQ(mpxcs.ask("# a comment"), "# a comment\n");
    EXPECT_EQ(mpxcs.ask("one 2 x"), "*\t* x\n");
    EXPECT_EQ(mpxcs.ask("3,4"), "3.00,4.00\n");
}
#endif

TEST(MpxcsStreaming, FilesPipesAndFlushGiveTheSameText) {
    // Enough lines for several batches, a failing point and a bad line mid-way.
    std::string input;
    for (int i = 0; i < 20000; ++i)
        input += i == 12345 ? "0 90\n"
                 : i == 777 ? "x y\n"
                            : std::to_string(i % 360 - 180) + " " + std::to_string(i % 170 - 85) +
                                  " 5 p\n";
    std::string dir = scratch_dir("streaming");
    // Binary, as run_mpxcs writes its input: Windows' text mode would end
    // the file's lines with CR LF, which the converter keeps.
    std::ofstream(dir + "/in.txt", std::ios::binary) << input;
    const std::string systems = kDb + "WGS84,GEODETIC WGS84,WORLD_MERCATOR ";
    auto file = run_mpxcs(systems + dir + "/in.txt", "");
    auto piped = run_mpxcs(systems, input); // read through a pipe below
#ifndef _WIN32
    std::string command = "cat " + dir + "/in.txt | \"" MPX_BINARY_DIR "bin/mpxcs\" " + systems +
                          "> " + dir + "/piped.txt 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
    std::ifstream piped_file(dir + "/piped.txt", std::ios::binary);
    piped.out.assign(std::istreambuf_iterator<char>(piped_file), {});
#endif
    auto flushed = run_mpxcs("--flush " + systems + dir + "/in.txt", "");
    EXPECT_EQ(file.status, 2);
    EXPECT_EQ(file.out_lines().size(), 20000u);
    EXPECT_TRUE(same_text(piped.out, file.out));
    EXPECT_TRUE(same_text(flushed.out, file.out));
    EXPECT_EQ(flushed.err, file.err);
    EXPECT_EQ(file.err, "mpxcs: " + dir +
                            "/in.txt:778: the first two columns are not both "
                            "numbers\nmpxcs: " +
                            dir +
                            "/in.txt:12346: point not converted: "
                            "transformation error (status 2)\n");
}

TEST(MpxcsInput, LatitudesBeyondThePolesAreRefusedLongitudesWrap) {
    auto run = run_mpxcs(kIdentity, "3 95\n370 45\n-3 -90.5\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "*\t*\n10.00\t45.00\n*\t*\n");
    EXPECT_EQ(run.err, "mpxcs: -:1: latitude out of range\nmpxcs: -:3: latitude out of range\n");
    // In radians and grads the pole is where it belongs; -r reads it first.
    EXPECT_EQ(run_mpxcs(kDb + "WGS84,GEODETIC,radians WGS84,GEODETIC", "0 1.58\n").status, 2);
    EXPECT_EQ(run_mpxcs(kDb + "WGS84,GEODETIC,grads WGS84,GEODETIC", "0 99.9\n").status, 0);
    EXPECT_EQ(run_mpxcs(kIdentity + "-r", "95 3\n").status, 2);
}

TEST(MpxcsInput, DecimalCommasAreRefusedCommasOnlyAreCsv) {
    struct {
        const char *input;
        const char *output;
    } cases[] = {
        {"3.5,45.25\n", "3.50,45.25\n"},
        {"3.5, 45.25, 10 name\n", "3.50,45.25,10.00 name\n"},
        {"3.5 45.25 10 a,b\n", "3.50\t45.25 10.00 a,b\n"},
        {"3,5 45,25\n", nullptr},
        {"3,5 45\n", nullptr},
        {"3 45,25\n", nullptr},
        {"3 45 10,5\n", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        auto run = run_mpxcs(kIdentity, c.input);
        if (c.output) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, c.output);
            continue;
        }
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out.substr(0, 3), "*\t*");
        EXPECT_EQ(run.err, "mpxcs: -:1: blanks and commas both separate the numbers: write "
                           "decimals with a point (3.5, not 3,5), and separate columns by "
                           "blanks or by commas only\n");
    }
}

TEST(MpxcsInput, DegreesMinutesSecondsInAndOutAsCs2cs) {
    struct {
        const char *options;
        const char *input;
        const char *output;
    } cases[] = {
        {"-w 2", "3d30'15.2\"E 45d15'N\n", "3d30'15.2\"E\t45d15'N\n"},
        {"-w 2", "-3d30'15.2\" -45d15'\n", "3d30'15.2\"W\t45d15'S\n"},
        {"-w 2", "45 3\n", "45dE\t3dN\n"},
        {"-w 0", "3.00416666666 0.5\n", "3d0'15\"E\t0d30'N\n"},
        {"-d 6", "3d30'W 45.5N 7\n", "-3.500000\t45.500000 7.000000\n"},
        {"-w 1 -r", "45d15'N 3d30'E\n", "3d30'E\t45d15'N\n"},
        {"-w 1 -s", "3d30'E 45d15'N\n", "45d15'N\t3d30'E\n"},
        {"-d 1 -r -s", "45 3\n", "45.0\t3.0\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.options) + " " + c.input);
        auto run = run_mpxcs(kDb + c.options + " WGS84,GEODETIC WGS84,GEODETIC", c.input);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.output);
    }
    // cs2cs -w3 on EPSG:23031 to WGS 84 (towgs84 -87,-98,-121) prints
    // 2d59'55.946"E 41d59'53.459"N for this point.
    auto utm = run_mpxcs(kDb + "-w 3 ED50,UTM31N WGS84,GEODETIC", "500000 4649776\n");
    EXPECT_EQ(utm.out, "2d59'55.946\"E\t41d59'53.459\"N\n");
    // Letters in the wrong column, and DMS where degrees are not the unit.
    EXPECT_EQ(run_mpxcs(kIdentity, "45N 3E\n").status, 2);
    EXPECT_EQ(run_mpxcs(kDb + "WGS84,GEODETIC,radians WGS84,GEODETIC", "0d30' 1\n").status, 2);
    EXPECT_EQ(run_mpxcs(kDb + "-w 2 WGS84,GEODETIC WGS84,UTM31N", "").status, 1);
}

TEST(MpxcsInput, HeadersByteOrderMarksAndIndentedComments) {
    auto run = run_mpxcs(kIdentity + "--header", "\xEF\xBB\xBFlon lat name\n1 2 a\n  # note\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "lon lat name\n1.00\t2.00 a\n  # note\n");
    auto bom = run_mpxcs(kIdentity, "\xEF\xBB\xBF"
                                    "1 2\n");
    EXPECT_EQ(bom.out, "1.00\t2.00\n");
    // Without --header a header line is a failed line, as in cs2cs.
    EXPECT_EQ(run_mpxcs(kIdentity, "lon lat\n1 2\n").status, 2);
}

TEST(MpxcsInput, KeepHeightCopiesHeightsThroughTheDatumChange) {
    const std::string systems = "ED50,UTM31N WGS84,GEODETIC";
    auto ellipsoidal = run_mpxcs(kDb + systems, "500000 4649776 100\n");
    auto kept = run_mpxcs(kDb + "--keep-height " + systems, "500000 4649776 100\n");
    ASSERT_EQ(kept.status, 0) << kept.err;
    auto changed = numbers_of(ellipsoidal.out);
    auto same = numbers_of(kept.out);
    ASSERT_EQ(same.size(), 3u);
    EXPECT_GT(std::abs(changed.at(2) - 100.0), 1.0); // the Bursa-Wolfe shift moves it
    EXPECT_EQ(same[2], 100.0);
    EXPECT_EQ(same[0], changed[0]);
    EXPECT_EQ(run_mpxcs(kDb + "--keep-height WGS84,GEODETIC WGS84,GEOCENTRIC", "").status, 1);
}

TEST(MpxcsNames, MatchedExactlyWithoutRegardToCase) {
    auto canonical = run_mpxcs(kDb + "ED50,UTM31N WGS84,GEODETIC,degrees", "500000 4649776\n");
    auto lower = run_mpxcs(kDb + "ed50,utm31n wgs84,geodetic,DEGREES", "500000 4649776\n");
    ASSERT_EQ(lower.status, 0) << lower.err;
    EXPECT_EQ(lower.out, canonical.out);
    struct {
        const char *args;
        const char *message;
    } refused[] = {
        {"WGS84,UTM3 WGS84,GEODETIC",
         "mpxcs: unknown projection UTM3 (not in " MPX_SOURCE_DIR
         "data/project.dat); did you mean UTM3N, UTM3S, UTM30N, UTM31N, UTM32N, UTM33N ...?\n"},
        {"WGS8,GEODETIC WGS84,GEODETIC", "did you mean WGS84"},
        {"WGS84,UTM31N,feet WGS84,GEODETIC",
         "mpxcs: units feet do not apply to WGS84,UTM31N: its unit is metres\n"},
        {"WGS84,GEOCENTRIC,km WGS84,GEODETIC",
         "mpxcs: units km do not apply to WGS84,GEOCENTRIC: its unit is metres\n"},
        {"ABCDEFGHIJKLMNOPQRSTU,GEODETIC WGS84,GEODETIC",
         "mpxcs: datum name ABCDEFGHIJKLMNOPQRSTU is longer than the database's "
         "19-character limit\n"},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.args);
        auto run = run_mpxcs(kDb + c.args, "1 2\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(run_mpxcs(kDb + "WGS84,UTM31N,Metres WGS84,GEODETIC", "500000 0\n").status, 0);
}

TEST(MpxcsMessages, OneLineEachWithoutChainCodesTheChainUnderVerbose) {
    const std::regex chain_code("(^|: )[A-Z][0-9]+:");
    std::string long_dir = scratch_dir("a_database_directory_whose_name_is_long_enough_to_pass_"
                                       "the_grid_limit");
    // The copy makes the folder itself: GCC 12's std::filesystem::copy for
    // Windows takes any existing target on the source's drive for the source
    // itself (Windows' stat gives every file inode 0) and fails "File exists".
    std::filesystem::remove(long_dir);
    std::filesystem::copy(MPX_SOURCE_DIR "data", long_dir,
                          std::filesystem::copy_options::recursive);
    struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"--db /no/such/dir/ WGS84,GEODETIC WGS84,UTM31N",
         "mpxcs: cannot read the database table /no/such/dir/datum_sp.dat: No such file or "
         "directory (choose the database directory with --db or TORVA_ORTIX_DIR)\n"},
        {"--db " + long_dir + " OSGB36_GRID,GEODETIC WGS84,GEODETIC",
         "mpxcs: no transformation from OSGB36_GRID to WGS84: grid file path of 80 characters "
         "or more: ..."},
        {kDb + "WGS84,GEODETIC WGS84,GEODETIC " + MPX_SOURCE_DIR + "data",
         "mpxcs: cannot read " MPX_SOURCE_DIR "data: Is a directory\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args);
        auto run = run_mpxcs(c.args, "1 2\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(std::regex_search(run.err, chain_code)) << run.err;
    }
    auto grid = run_mpxcs("--db " + long_dir + " OSGB36_GRID,GEODETIC WGS84,GEODETIC", "");
    EXPECT_NE(grid.err.find("_grid_limit/grids/osgb36_wgs84.grd\n"), std::string::npos) << grid.err;
    auto pole = run_mpxcs(kDb + "WGS84,GEODETIC WGS84,WORLD_MERCATOR", "3 90\n");
    EXPECT_EQ(pole.err, "mpxcs: -:1: point not converted: transformation error (status 2)\n");
    auto verbose = run_mpxcs(kDb + "--verbose WGS84,GEODETIC WGS84,WORLD_MERCATOR", "3 90\n");
    EXPECT_EQ(verbose.err, "mpxcs: -:1: point not converted: transformation error (status 2)\n"
                           "mpxcs: -:1:   library: S3:(mpx_transform) transformation error\n");
}

#ifndef _WIN32
TEST(MpxcsMessages, AnInputWithoutReadPermissionIsNamedWithTheReason) {
    std::string path = scratch_dir("permission") + "/locked.txt";
    std::ofstream(path) << "1 2\n";
    std::filesystem::permissions(path, std::filesystem::perms::none);
    if (std::FILE *file = std::fopen(path.c_str(), "rb")) { // the superuser reads anyway
        std::fclose(file);
        GTEST_SKIP() << "run as a user that permissions bind";
    }
    auto run = run_mpxcs(kIdentity + path, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "mpxcs: cannot open " + path + ": Permission denied\n");
}
#endif

TEST(MpxcsMessages, WarningsOnceAndWithoutChangingTheStatus) {
    // BNG is defined on the Airy ellipsoid, not on WGS 84's.
    auto run = run_mpxcs(kDb + "WGS84,GEODETIC WGS84,BNG", "-1 52\n-2 53\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "mpxcs: warning: Inconsistent datum/projection pair\n");
    EXPECT_EQ(run.out_lines().size(), 2u);
}

TEST(MpxcsMessages, HelpGivesTheDefaultDecimalsOfEveryUnit) {
    auto help = run_mpxcs("--help", "");
    for (const char *text :
         {"degrees 9", "grads 9", "radians 11", "metres (and every linear unit) 3", "heights 3",
          "-w N", "--keep-height", "--flush", "--header", "-r ", "-s ", "--verbose"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
}

} // namespace
