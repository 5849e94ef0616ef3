// The test projections "proj_a" and "proj_b" and the template "xxxx", used
// through the registry as a host would.
#include "tests/proj/support.hpp"

#include <numbers>

using proj_test::Instance;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(TestProjections, ProjAAndProjBPrintEveryCallAndExchangeTheCoordinates) {
    ASSERT_EQ(proj_a_install(), 0);
    ASSERT_EQ(proj_b_install(), 0);
    Instance a("proj_a"), b("proj_b");
    EXPECT_EQ(std::tuple(a.entry().mode, a.entry().descriptor->count), std::tuple(0, 8));
    EXPECT_EQ(std::tuple(b.entry().mode, b.entry().ecc_offset), std::tuple(0, -1));
    // proj_a lays its fields out in another order than it installs them.
    a.set("param_one", 10.0).set("tid", std::int32_t{42}).set("p_char", 'q');
    double xy[4], lonlat[4];
    CaptureStdout();
    EXPECT_EQ(a.init(), 0);
    EXPECT_EQ(a.forward(0.1, 0.2, xy[0], xy[1]), 0);
    EXPECT_EQ(a.backward(xy[0], xy[1], lonlat[0], lonlat[1]), 0);
    EXPECT_EQ(b.init(), 0);
    EXPECT_EQ(b.forward(0.1, 0.2, xy[2], xy[3]), 0);
    EXPECT_EQ(b.backward(xy[2], xy[3], lonlat[2], lonlat[3]), 0);
    const std::string a_message = "\n test message = <proj_a test message>, tid = 42 ";
    const std::string b_message = "\n test message = <proj_b test message>";
    EXPECT_EQ(GetCapturedStdout(), "\n proj_a_init() called " + a_message +
                                       "\n proj_a_forward() called " + a_message +
                                       "\n proj_a_backward() called " + a_message +
                                       "\n CALLED proj_b_init() \n CALLED proj_b_forward() " +
                                       b_message + "\n CALLED proj_b_backward() " + b_message);
    EXPECT_EQ(std::tuple(a.get("long_cut"), a.get<char>("p_char")), std::tuple(190.0, 'q'));
    for (int i : {0, 2}) {
        EXPECT_EQ(std::tuple(xy[i], xy[i + 1]), std::tuple(0.2, 0.1));
        EXPECT_EQ(std::tuple(lonlat[i], lonlat[i + 1]), std::tuple(0.1, 0.2));
    }
}

TEST(TestProjections, TemplateXxxxInstallsTwentyParametersAndAnswersZero) {
    ASSERT_EQ(mpx_xxxx_install(), 0);
    Instance t("xxxx");
    EXPECT_EQ(std::tuple(t.entry().mode, t.entry().descriptor->count), std::tuple(1, 20));
    EXPECT_GE(t.entry().ecc_offset, 0);
    t.set("centre_merid", 0.5);
    double x = 7, y = 7, lon = 7, lat = 7;
    CaptureStdout();
    EXPECT_EQ(t.init(), 0);
    EXPECT_EQ(t.forward(1.0, 0.5, x, y), 0);
    EXPECT_EQ(t.backward(100.0, 200.0, lon, lat), 0);
    EXPECT_EQ(GetCapturedStdout(), "\n mpx_xxxx_init() not yet implemented "
                                   "\n mpx_xxxx_forward() not yet implemented "
                                   "\n mpx_xxxx_backward() not yet implemented ");
    EXPECT_DOUBLE_EQ(t.get("long_cut"), 0.5 - std::numbers::pi);
    EXPECT_EQ(std::tuple(x, y, lon, lat), std::tuple(0.0, 0.0, 0.0, 0.0));
}
