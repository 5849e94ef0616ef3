// What users of cs2cs-style tools rely on: one output line per input line in
// input order, comments and pass-through text kept, failed points marked
// without stopping the run, and clear exit statuses.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

const std::string kDb = mpxcs_test::bundled_db_option() + " ";
// One datum, geodetic to geodetic: points pass unchanged, so the text of
// every output line is known exactly.
const std::string kIdentity = kDb + "-d 2 WGS84,GEODETIC WGS84,GEODETIC ";
const std::string kMercator = kDb + "WGS84,GEODETIC WGS84,WORLD_MERCATOR ";
constexpr double kWgs84Radius = 6378137.0;
constexpr double kRadiansPerDegree = 0.017453292519943295;

TEST(MpxcsText, CopiesCommentsBlankLinesAndPassThroughText) {
    auto run = run_mpxcs(kIdentity, "# header, 1 2\n"
                                    "\n"
                                    "   \n"
                                    "1 2\n"
                                    "  3.5,-4.25,10 station A, 7\n"
                                    "5\t6\tname\r\n"
                                    "7 8");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "# header, 1 2\n"
                       "\n"
                       "   \n"
                       "1.00\t2.00\n"
                       "3.50,-4.25,10.00 station A, 7\n"
                       "5.00\t6.00\tname\r\n"
                       "7.00\t8.00\n");
    EXPECT_EQ(run.err, "");
}

TEST(MpxcsText, EchoErrorTextCommentCharacterAndFormat) {
    struct {
        const char *options;
        const char *input;
        const char *output;
    } cases[] = {
        {"-E", "1 2 x\n", "1 2\t1.00\t2.00 x\n"},
        {"-E", "1 2 3\n", "1 2 3\t1.00\t2.00 3.00\n"},
        {"-e FAILED", "one 2 x\n", "FAILED x\n"},
        {"", "one 2 x\n", "*\t* x\n"},
        {"-t '*'", "* 1 2\n# 1 2\n", "* 1 2\n*\t* 2\n"},
        {"-f '%.1f'", "1.25 -2 5\n", "1.2\t-2.0 5.0\n"},
        {"-d 0", "1.4 2.6\n", "1\t3\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options);
        auto run = run_mpxcs(kIdentity + c.options, c.input);
        EXPECT_EQ(run.out, c.output);
    }
}

TEST(MpxcsText, EmptyInputGivesEmptyOutput) {
    auto run = run_mpxcs(kIdentity, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(MpxcsFailures, FailedPointsInTheMiddleKeepTheirPlace) {
    auto run = run_mpxcs(kMercator, "# mercator\n"
                                    "10 50 a\n"
                                    "0 90 pole\n"
                                    "abc def bad\n"
                                    "20 -30 b\n"
                                    "nan 1 c\n"
                                    "1e400 1 d\n"
                                    "30 10 e\n");
    EXPECT_EQ(run.status, 2);
    auto lines = run.out_lines();
    ASSERT_EQ(lines.size(), 8u) << run.out;
    EXPECT_EQ(lines[0], "# mercator");
    EXPECT_EQ(lines[2], "*\t* pole");
    EXPECT_EQ(lines[3], "*\t* bad");
    EXPECT_EQ(lines[5], "*\t* c");
    EXPECT_EQ(lines[6], "*\t* d");
    struct {
        std::size_t line;
        double longitude;
    } converted[] = {{1, 10.0}, {4, 20.0}, {7, 30.0}};
    for (const auto &c : converted) {
        auto numbers = numbers_of(lines[c.line]);
        ASSERT_EQ(numbers.size(), 2u) << lines[c.line];
        EXPECT_NEAR(numbers[0], kWgs84Radius * c.longitude * kRadiansPerDegree, 1e-3);
    }
    EXPECT_EQ(lines[1].substr(lines[1].size() - 2), " a");
    EXPECT_EQ(lines[4].substr(lines[4].size() - 2), " b");
    EXPECT_EQ(lines[7].substr(lines[7].size() - 2), " e");
    // Each failure is reported once, with its line number.
    for (const char *place : {"-:3:", "-:4:", "-:6:", "-:7:"})
        EXPECT_NE(run.err.find(place), std::string::npos) << place << "\n" << run.err;
    for (const char *place : {"-:1:", "-:2:", "-:5:", "-:8:"})
        EXPECT_EQ(run.err.find(place), std::string::npos) << place << "\n" << run.err;
}

TEST(MpxcsFailures, OneBadPointInALargeFileCostsOnlyItself) {
    constexpr int kLines = 10000;
    constexpr int kPoleLine = 5000;
    std::string input;
    for (int i = 1; i <= kLines; ++i)
        input += i == kPoleLine ? "0 90\n"
                                : std::to_string(i % 360 - 180) + " 0 p" + std::to_string(i) + "\n";
    auto run = run_mpxcs(kMercator, input);
    EXPECT_EQ(run.status, 2);
    auto lines = run.out_lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kLines));
    for (int i = 1; i <= kLines; ++i) {
        const std::string &line = lines[static_cast<std::size_t>(i - 1)];
        if (i == kPoleLine) {
            EXPECT_EQ(line, "*\t*");
            continue;
        }
        double x = numbers_of(line).at(0);
        ASSERT_NEAR(x, kWgs84Radius * (i % 360 - 180) * kRadiansPerDegree, 1e-3) << line;
        ASSERT_EQ(line.substr(line.find(" p")), " p" + std::to_string(i));
    }
    EXPECT_NE(run.err.find("-:5000:"), std::string::npos) << run.err;
}

TEST(MpxcsFailures, OverlongLineFailsAndTheNextLinesConvert) {
    std::string input = "1 2\n3 4 " + std::string(100000, 'x') + "\n5 6\n";
    auto run = run_mpxcs(kIdentity, input);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "1.00\t2.00\n*\t*\n5.00\t6.00\n");
    EXPECT_NE(run.err.find("-:2: line too long"), std::string::npos) << run.err;
}

TEST(MpxcsUsage, BadCommandLinesExitWithStatusOne) {
    const char *bad[] = {
        "",
        "-Z WGS84,GEODETIC WGS84,GEODETIC",
        "WGS84,GEODETIC",
        "-d",
        "-d x WGS84,GEODETIC WGS84,GEODETIC",
        "-d 99 WGS84,GEODETIC WGS84,GEODETIC",
        "-f '%s' WGS84,GEODETIC WGS84,GEODETIC",
        "-f '%f %f' WGS84,GEODETIC WGS84,GEODETIC",
        "-t ab WGS84,GEODETIC WGS84,GEODETIC",
        "--list everything",
        "--list datums WGS84,GEODETIC",
        "WGS84 WGS84,GEODETIC",
        ",GEODETIC WGS84,GEODETIC",
        "WGS84,GEODETIC,degrees,x WGS84,GEODETIC",
    };
    for (const char *args : bad) {
        SCOPED_TRACE(args);
        auto run = run_mpxcs(kDb + args, "1 2\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: mpxcs"), std::string::npos) << run.err;
    }
}

TEST(MpxcsUsage, DatabaseErrorsExitWithStatusOneBeforeAnyOutput) {
    struct {
        const char *args;
        const char *message;
    } cases[] = {
        {"NODATUM,GEODETIC WGS84,GEODETIC", "mpxcs: unknown datum NODATUM (not in "},
        {"WGS84,NOPROJECTION WGS84,GEODETIC", "mpxcs: unknown projection NOPROJECTION (not in "},
        {"WGS84,GEODETIC WGS84,GEODETIC,gon",
         "mpxcs: units gon do not apply to WGS84,GEODETIC: geodetic units are degrees, radians "
         "or grads\n"},
        {"SPHERE,GEODETIC WGS84,GEODETIC",
         "mpxcs: no transformation from SPHERE to WGS84: the database has no datum change "
         "between them (see --list changes)\n"},
        {"WGS84,GEODETIC WGS84,GEODETIC no_such_file.txt",
         "mpxcs: cannot open no_such_file.txt: No such file or directory\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args);
        auto run = run_mpxcs(kDb + c.args, "1 2\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

TEST(MpxcsUsage, HelpAndVersion) {
    auto help = run_mpxcs("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: mpxcs", 0), 0u);
    auto version = run_mpxcs("--version", "");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("mpxcs (mpxlib) ", 0), 0u);
}

TEST(MpxcsDatabase, ListsTheBundledRecords) {
    struct {
        const char *what;
        std::vector<std::string> names;
    } cases[] = {
        {"datums",
         {"WGS84\t", "ETRS89\t", "NAD83\t", "NAD27\t", "ED50\t", "OSGB36\t", "DHDN\t",
          "AMERSFOORT\t", "CH1903\t", "NZGD49\t", "TIMBALAI1948\t", "TANANARIVE\t", "NTF\t",
          "PULKOVO1942\t", "TOKYO\t", "AGD66\t", "SPHERE\t", "OSGB36_GRID\t"}},
        {"projections",
         {"UTM1N\tutm", "UTM60N\tutm", "UTM1S\tutm", "UTM60S\tutm", "BNG\ttranmerc",
          "GK2\ttranmerc", "GK5\ttranmerc", "WORLD_MERCATOR\tmercator",
          "WORLD_PLATECARREE\tplacaree", "TRINIDAD_GRID\tcassini\t0.201166195164"}},
        {"changes", {"ED50>WGS84\tbursawol", "OSGB36_GRID>WGS84\tsmith"}},
    };
    for (const auto &c : cases) {
        auto run = run_mpxcs(kDb + "--list " + c.what, "");
        EXPECT_EQ(run.status, 0) << run.err;
        for (const std::string &name : c.names)
            EXPECT_NE(run.out.find("\n" + name), std::string::npos) << c.what << ": " << name;
    }
}

TEST(MpxcsDatabase, DbOptionWinsOverTheEnvironmentAndTheBundledCopy) {
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "no/such/dir/", 1);
    EXPECT_EQ(run_mpxcs("WGS84,GEODETIC WGS84,GEODETIC", "1 2\n").status, 1);
    EXPECT_EQ(run_mpxcs(kIdentity, "1 2\n").status, 0);
    unsetenv("TORVA_ORTIX_DIR");
    auto bundled = run_mpxcs("-d 2 WGS84,GEODETIC WGS84,GEODETIC", "1 2\n");
    EXPECT_EQ(bundled.status, 0) << bundled.err;
    EXPECT_EQ(bundled.out, "1.00\t2.00\n");
}

TEST(MpxcsDatabase, GridRouteAgreesWithTheBursaWolfeRoute) {
    const std::string points = "-1.5 52.0\n-4.0 56.0\n0.5 51.3\n";
    auto grid = run_mpxcs(kDb + "OSGB36_GRID,GEODETIC WGS84,GEODETIC", points);
    auto bursa_wolfe = run_mpxcs(kDb + "OSGB36,GEODETIC WGS84,GEODETIC", points);
    ASSERT_EQ(grid.status, 0) << grid.err;
    ASSERT_EQ(bursa_wolfe.status, 0) << bursa_wolfe.err;
    auto grid_lines = grid.out_lines(), bw_lines = bursa_wolfe.out_lines();
    ASSERT_EQ(grid_lines.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        auto g = numbers_of(grid_lines[i]), b = numbers_of(bw_lines[i]);
        // Both model the same change; 1e-4 degree is about 10 m.
        EXPECT_NEAR(g.at(0), b.at(0), 1e-4) << grid_lines[i];
        EXPECT_NEAR(g.at(1), b.at(1), 1e-4) << grid_lines[i];
    }
}

} // namespace
