// --info, --trace and --set on the bundled database: what a user sees of a
// system, of a conversion and of each point's way through it.
#include "run_mpxcs.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using mpxcs_test::numbers_of;
using mpxcs_test::run_mpxcs;

const std::string kDb = mpxcs_test::bundled_db_option() + " ";

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool has_line(const std::string &text, const std::string &line) {
    for (const std::string &l : lines_of(text))
        if (l == line)
            return true;
    return false;
}

TEST(MpxcsInfo, DescribesOneSystem) {
    auto run = run_mpxcs(kDb + "--info ED50,mod_tranmerc", "");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char *line : {
             "system ED50,mod_tranmerc",
             "    name                   \"ED50\"",
             "    radius                 6378388 (units of metre_factor metres)",
             "    horizontal_label       \"metres\"",
             "  projection mod_tranmerc",
             "    false_east             500000 metres",
             "    scale_factor           0.9996",
             "    centre_merid           3.000000000000 deg (0.05235987755982988 rad)",
             "    spheroid.radius        6378388 metres  [derived]",
             "  status 0: consistent",
         })
        EXPECT_TRUE(has_line(run.out, line)) << line << "\n" << run.out;
}

TEST(MpxcsInfo, SaysWhenAProjectionWasDefinedForAnotherEllipsoid) {
    // BNG is defined on Airy 1830, not on WGS 84's ellipsoid.
    auto run = run_mpxcs(kDb + "--info WGS84,BNG", "");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(has_line(run.out, "  status 1: projection defined for another ellipsoid"))
        << run.out;
}

TEST(MpxcsInfo, DescribesTheConversionAndItsDatumChange) {
    struct Case {
        const char *systems;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"ED50,UTM31N WGS84,GEOCENTRIC",
         {"conversion ED50,UTM31N -> WGS84,GEOCENTRIC", "    1. scale x and y by 1",
          "    2. UTM31N backward to geodetic on ED50", "    3. datum change ED50 to WGS84",
          "    4. geodetic to geocentric X, Y, Z on WGS84", "    5. scale x and y by 1",
          "  datum change direct, key ED50>WGS84", "    type bursawol",
          "      translation -87.000000 -98.000000 -121.000000 m"}},
        {"WGS84,GEODETIC ED50,UTM31N",
         {"    1. scale x and y by 0.017453292519943295",
          "    2. wrap the longitude into [-177 deg, 183 deg]",
          "    4. UTM31N forward from geodetic on ED50",
          "  longitude window [-177 deg, 183 deg] (from the target)",
          "  datum change reversed, key ED50>WGS84 applied inverted",
          "      translation 87.000000 98.000000 121.000000 m"}},
        {"ED50,GEODETIC DHDN,GEODETIC",
         {"  datum change through WGS 84, key ED50>WGS84 then key DHDN>WGS84 inverted"}},
        {"OSGB36_GRID,GEODETIC WGS84,GEODETIC",
         {"  datum change direct, key OSGB36_GRID>WGS84", "    type smith",
          "    grid files grids/osgb36_wgs84.grd (relative to the database directory), 8 "
          "coefficients"}},
        {"WGS84,GEODETIC WGS84,GEODETIC,grads",
         {"    2. wrap the longitude into [-180 deg, 180 deg]",
          "    3. scale x and y by 63.66197723675813", "  datum change none (same datum)"}},
    };
    for (const Case &c : cases) {
        auto run = run_mpxcs(kDb + "--info " + c.systems, "");
        ASSERT_EQ(run.status, 0) << c.systems << run.err;
        for (const std::string &line : c.lines)
            EXPECT_TRUE(has_line(run.out, line)) << c.systems << ": " << line << "\n" << run.out;
    }
}

TEST(MpxcsInfo, RefusesBadUse) {
    EXPECT_EQ(run_mpxcs(kDb + "--info", "").status, 1);
    EXPECT_EQ(run_mpxcs(kDb + "--info A,B C,D E,F", "").status, 1);
    auto unknown = run_mpxcs(kDb + "--info NOWHERE,GEODETIC", "");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "");
    auto no_change = run_mpxcs(kDb + "--info SPHERE,GEODETIC WGS84,GEODETIC", "");
    EXPECT_EQ(no_change.status, 1);
    EXPECT_NE(no_change.err.find("no transformation from SPHERE to WGS84"), std::string::npos);
}

// The trace's steps of one point, without the "mpxcs: -:N: trace " prefix.
std::vector<std::string> trace_of(const std::string &err, long line) {
    const std::string prefix = "mpxcs: -:" + std::to_string(line) + ": trace ";
    std::vector<std::string> steps;
    for (const std::string &l : lines_of(err))
        if (l.rfind(prefix, 0) == 0)
            steps.push_back(l.substr(prefix.size()));
    return steps;
}

TEST(MpxcsTrace, EachPointsTraceEndsAtExactlyItsOutput) {
    const std::string input = "500000 5538630 12\n# a comment\n400000 5000000\n";
    auto run = run_mpxcs(kDb + "--trace ED50,UTM31N WGS84,GEODETIC", input);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto out = run.out_lines();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1], "# a comment");
    for (long line : {1L, 3L}) {
        const auto steps = trace_of(run.err, line);
        ASSERT_EQ(steps.size(), 4u) << run.err;
        EXPECT_EQ(steps[0].rfind("scaled input: x ", 0), 0u) << steps[0];
        EXPECT_EQ(steps[1].rfind("source projection backward: lon ", 0), 0u) << steps[1];
        EXPECT_EQ(steps[2].rfind("after datum change: lon ", 0), 0u) << steps[2];
        EXPECT_EQ(steps[3], "output: " + out[static_cast<std::size_t>(line - 1)]);
    }
    // Without --trace the same points give the same output and no trace.
    auto plain = run_mpxcs(kDb + "ED50,UTM31N WGS84,GEODETIC", input);
    EXPECT_EQ(plain.out, run.out);
    EXPECT_EQ(plain.err, "");
}

TEST(MpxcsTrace, ShowsWhereAFailingPointFailed) {
    // The Mercator projection cannot show the pole (status 2).
    auto run = run_mpxcs(kDb + "--trace WGS84,GEODETIC WGS84,WORLD_MERCATOR", "3 90\n3 10\n");
    EXPECT_EQ(run.status, 2);
    const auto failing = trace_of(run.err, 1);
    ASSERT_EQ(failing.size(), 3u) << run.err;
    EXPECT_EQ(failing[1].rfind("longitude window: ", 0), 0u);
    EXPECT_NE(failing[2].find("target projection forward: "), std::string::npos);
    EXPECT_NE(failing[2].find("(status 2)"), std::string::npos) << failing[2];
    const auto good = trace_of(run.err, 2);
    ASSERT_EQ(good.size(), 4u) << run.err;
    EXPECT_EQ(good[3], "output: " + run.out_lines().at(1));
}

TEST(MpxcsSet, AdjustedModTranmercMatchesTheGaussKruegerZone) {
    const std::string input = "9.5 50.25\n10 48\n";
    auto adjusted = run_mpxcs(kDb + "--set centre_merid=9deg --set scale_factor=1 "
                                    "--set false_east=3500000 DHDN,GEODETIC DHDN,mod_tranmerc",
                              input);
    auto gk3 = run_mpxcs(kDb + "DHDN,GEODETIC DHDN,GK3", input);
    ASSERT_EQ(adjusted.status, 0) << adjusted.err;
    EXPECT_EQ(adjusted.out, gk3.out);
    // The library's notice goes to stderr, whole lines, never to the points.
    EXPECT_EQ(adjusted.err, "mpxcs: warning: projection parameters being modified\n"
                            " PROJECTION MODIFICATION on mod_tranmerc\n"
                            " attribute =  centre_merid =       0.157079632679\n"
                            " PROJECTION MODIFICATION on mod_tranmerc\n"
                            " attribute =  scale_factor =       1.000000000000\n"
                            " PROJECTION MODIFICATION on mod_tranmerc\n"
                            " attribute =  false_east = 3500000.000000000000\n");
    // Unadjusted, mod_tranmerc is UTM zone 31N.
    auto plain = run_mpxcs(kDb + "DHDN,GEODETIC DHDN,mod_tranmerc", input);
    auto utm = run_mpxcs(kDb + "DHDN,GEODETIC DHDN,UTM31N", input);
    EXPECT_EQ(plain.out, utm.out);
    // --info shows the adjusted parameters.
    auto info = run_mpxcs(kDb + "--info --set centre_merid=0.15 DHDN,mod_tranmerc", "");
    EXPECT_TRUE(has_line(info.out, "    centre_merid           8.594366926962 deg (0.15 rad)"))
        << info.out;
}

TEST(MpxcsSet, RefusesWhatCannotBeSet) {
    struct Case {
        const char *args;
        const char *message;
    };
    const Case cases[] = {
        {"--set scale_factor=1 WGS84,GEODETIC WGS84,UTM31N",
         "mpxcs: --set needs a source or target whose projection is a mod_ record\n"},
        {"--set nothing=1 WGS84,GEODETIC WGS84,mod_tranmerc",
         "mpxcs: --set nothing=1: mod_tranmerc has no parameter nothing\n"},
        {"--set scale_factor=one WGS84,GEODETIC WGS84,mod_tranmerc",
         "mpxcs: --set scale_factor=one: not a value of the parameter's type\n"},
        {"--set spheroid.radius=1 WGS84,GEODETIC WGS84,mod_tranmerc",
         "mpxcs: --set spheroid.radius=1 refused (status -5): Attribute is not modifiable "
         "(struct_mod)\n"},
        {"--set =1 WGS84,GEODETIC WGS84,mod_tranmerc", nullptr},
        {"--set scale_factor WGS84,GEODETIC WGS84,mod_tranmerc", nullptr},
    };
    for (const Case &c : cases) {
        auto run = run_mpxcs(kDb + c.args, "1 2\n");
        EXPECT_EQ(run.status, 1) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        if (c.message)
            EXPECT_EQ(run.err, c.message) << c.args;
        else
            EXPECT_NE(run.err.find("--set needs PARAM=VALUE"), std::string::npos) << run.err;
    }
}

} // namespace
