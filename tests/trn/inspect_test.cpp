// Seeing inside a conversion on the bundled database: the trace hook shows
// every step the pipeline runs and ends at the values written out, and the
// set-up's description names the route of its datum change.
#include "cs/cs_table.hpp"
#include "tests/common/error_lines.hpp"
#include "tests/common/fresh_process.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Step {
    int step, status;
    double x, y, z;
};

std::vector<Step> &steps() {
    static std::vector<Step> kept;
    return kept;
}

void keep_step(void *user, int step, int status, double x, double y, double z) {
    EXPECT_EQ(user, &steps());
    steps().push_back({step, status, x, y, z});
}

std::vector<int> step_codes() {
    std::vector<int> codes;
    for (const Step &s : steps())
        codes.push_back(s.step);
    return codes;
}

class Inspect : public ::testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        test_support::collect_errors();
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1);
        ASSERT_EQ(cs_initialise(), 0);
        steps().clear();
    }
    void TearDown() override { mpx_install_trace(nullptr, nullptr); }
    static void use(const char *source_datum, const char *source_projection,
                    const char *target_datum, const char *target_projection) {
        const int source = mpx_crelock_coord_sys(source_datum, source_projection, "degrees");
        const int target = mpx_crelock_coord_sys(target_datum, target_projection, "degrees");
        ASSERT_GT(source, 0);
        ASSERT_GT(target, 0);
        mpx_set_source(&source);
        mpx_set_target(&target);
    }
};

TEST_F(Inspect, TraceShowsEveryStepAndEndsAtTheOutput) {
    use("ED50", "UTM31N", "WGS84", "GEOCENTRIC");
    mpx_install_trace(keep_step, &steps());
    const double x = 500000.0, y = 5538630.0, z = 12.0;
    double out[3];
    ASSERT_EQ(mpx_transform(&x, &y, &z, &out[0], &out[1], &out[2]), 0);
    EXPECT_EQ(step_codes(), (std::vector<int>{MPX_TRACE_SCALED_INPUT, MPX_TRACE_SOURCE_BACKWARD,
                                              MPX_TRACE_DATUM_CHANGE, MPX_TRACE_TO_GEOCENTRIC,
                                              MPX_TRACE_OUTPUT}));
    // On the central meridian of zone 31 the backward step gives 3 deg E.
    EXPECT_NEAR(steps()[1].x, 3.0 * std::numbers::pi / 180.0, 1e-15);
    EXPECT_EQ(steps()[1].z, 12.0);
    const Step &last = steps().back();
    EXPECT_EQ(last.x, out[0]);
    EXPECT_EQ(last.y, out[1]);
    EXPECT_EQ(last.z, out[2]);

    // Removed, the hook sees nothing more.
    mpx_install_trace(nullptr, &steps());
    steps().clear();
    ASSERT_EQ(mpx_transform(&x, &y, &z, &out[0], &out[1], &out[2]), 0);
    EXPECT_TRUE(steps().empty());
}

TEST_F(Inspect, TraceShowsTheWindowAndAFailingStep) {
    use("WGS84", "GEODETIC", "WGS84", "UTM31N");
    mpx_install_trace(keep_step, &steps());
    // 370 deg is wrapped to 10 deg before the projection sees it.
    const double lon = 370.0, lat = 45.0, z = 0.0;
    double out[3];
    ASSERT_EQ(mpx_transform(&lon, &lat, &z, &out[0], &out[1], &out[2]), 0);
    ASSERT_EQ(step_codes(), (std::vector<int>{MPX_TRACE_SCALED_INPUT, MPX_TRACE_WINDOW,
                                              MPX_TRACE_TARGET_FORWARD, MPX_TRACE_OUTPUT}));
    EXPECT_NEAR(steps()[1].x, 10.0 * std::numbers::pi / 180.0, 1e-14);

    // Rejected by robustness 3: the window step says so and is the last.
    const int reject = MPX_ROBUST_REJECT;
    ASSERT_EQ(mpx_mod_trans_mode(&reject), 0);
    steps().clear();
    const double beyond_pole = 91.0;
    EXPECT_EQ(mpx_transform(&lon, &beyond_pole, &z, &out[0], &out[1], &out[2]), 1);
    ASSERT_EQ(steps().size(), 2u);
    EXPECT_EQ(steps()[1].step, MPX_TRACE_WINDOW);
    EXPECT_EQ(steps()[1].status, 1);
}

TEST_F(Inspect, DescribesTheRouteOfTheDatumChange) {
    struct Case {
        const char *source, *target;
        int route;
        std::string first_key, second_key, change_type, control_file;
        int change;
    };
    const Case cases[] = {
        {"WGS84", "WGS84", MPX_ROUTE_NONE, "", "", "", "", MPX_DATUM_CHANGE_NONE},
        {"ED50", "WGS84", MPX_ROUTE_DIRECT, "ED50>WGS84", "", "bursawol", "",
         MPX_DATUM_CHANGE_BURSA_WOLFE},
        {"WGS84", "ED50", MPX_ROUTE_REVERSED, "ED50>WGS84", "", "bursawol", "",
         MPX_DATUM_CHANGE_BURSA_WOLFE},
        {"ED50", "DHDN", MPX_ROUTE_VIA_WGS84, "ED50>WGS84", "DHDN>WGS84", "bursawol", "",
         MPX_DATUM_CHANGE_BURSA_WOLFE},
        {"WGS84", "OSGB36_GRID", MPX_ROUTE_REVERSED, "OSGB36_GRID>WGS84", "", "smith",
         "grids/osgb36_wgs84.grd", MPX_DATUM_CHANGE_GRID},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.source) + " to " + c.target);
        use(c.source, "GEODETIC", c.target, "GEODETIC");
        mpx_trans_info info;
        ASSERT_EQ(mpx_inq_trans_info(&info), 0);
        EXPECT_EQ(info.route, c.route);
        EXPECT_EQ(info.keys[0], c.first_key);
        EXPECT_EQ(info.keys[1], c.second_key);
        EXPECT_EQ(info.change_type, c.change_type);
        EXPECT_EQ(info.control_file, c.control_file);
        EXPECT_EQ(info.record.datum_change_type, c.change);
        EXPECT_EQ(info.record.inner_mode, 4);
    }
    // ED50 to WGS 84 reversed: the translations as applied are negated.
    use("WGS84", "GEODETIC", "ED50", "GEODETIC");
    mpx_trans_info info;
    ASSERT_EQ(mpx_inq_trans_info(&info), 0);
    EXPECT_DOUBLE_EQ(info.bursa_wolfe.translation_x, 87.0);
    EXPECT_DOUBLE_EQ(info.bursa_wolfe.translation_z, 121.0);
    use("WGS84", "GEODETIC", "OSGB36_GRID", "GEODETIC");
    ASSERT_EQ(mpx_inq_trans_info(&info), 0);
    EXPECT_EQ(info.grid.inverse, 1);
    EXPECT_EQ(mpx_inq_trans_info(nullptr), -1);
}

TEST_F(Inspect, NoCurrentTransformationOrAFailedSetUp) {
    mpx_trans_info info;
    EXPECT_EQ(mpx_inq_trans_info(&info), -1);
    EXPECT_EQ(test_support::take_errors(),
              test_support::Lines{"P3:(mpx_inq_trans_info) no transformation defined"});
    // SPHERE has no datum change: the set-up fails and says so.
    use("SPHERE", "GEODETIC", "WGS84", "GEODETIC");
    test_support::take_errors();
    EXPECT_EQ(mpx_inq_trans_info(&info), 3);
    EXPECT_EQ(info.record.status, 3);
    EXPECT_EQ(test_support::take_errors(),
              (test_support::Lines{"S1:No Datum change exists",
                                   "S2:Error loading datum change information", "S2:(trn_init)"}));
}

} // namespace
