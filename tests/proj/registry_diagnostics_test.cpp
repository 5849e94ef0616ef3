// The print of one projection call and the notice of a changed parameter.
#include "proj/registry.hpp"
#include "tests/proj/registry_support.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using registry_test::ErrorLines;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Lines = std::vector<std::string>;

namespace {

const std::string kCallLines = "\n -----------------------------------------"
                               "\n Projection routine = %KEYWORD% forward"
                               "\n      lon =    0.1000000000       lat =   -0.2000000000"
                               "\n        x =      12345.6789         y =         -0.5000"
                               "\n   status = 2";

std::string call_lines(const std::string &keyword) {
    std::string text = kCallLines;
    text.replace(text.find("%KEYWORD%"), 9, keyword);
    return text;
}

// The first fields of a "proj_b" record, in its layout.
struct ProjBHead {
    double param_one;
    double param_two;
    std::int32_t param_three;
    double radius;
    char message[32];
};

} // namespace

TEST(RegistryDebug, UnknownKeywordPrintsTheCallThenSaysSo) {
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("nothere", "forward", nullptr, 12345.6789, -0.5, 0.1, -0.2, 2), -1);
    EXPECT_EQ(GetCapturedStdout(), call_lines("nothere") + "\n Base projection not found");
}

TEST(RegistryDebug, KnownKeywordPrintsTheCallThenTheRecordByName) {
    ASSERT_EQ(proj_b_install(), 0);
    ProjBHead record{1.5, -2.0, 7, 6378137.0, "x"};
    CaptureStdout();
    EXPECT_EQ(mpx_proj_debug("proj_b", "forward", &record, 12345.6789, -0.5, 0.1, -0.2, 2), 0);
    EXPECT_EQ(GetCapturedStdout(), call_lines("proj_b") +
                                       "\nStructure Name = proj_b "
                                       "\nparam_one = 1.5\nparam_two = -2\nparam_three = 7"
                                       "\nspheroid.radius = 6378137");
}

TEST(RegistryNotice, WarnsOnceAndLogsEveryChangeWithItsValue) {
    ErrorLines errors;
    const double scale = 0.9996;
    const std::int32_t zone = 31;
    const char letter = 'N';
    CaptureStdout();
    EXPECT_EQ(proj_mod_notice("utm31", "scale_factor", MPX_TYPE_DOUBLE, &scale), 0);
    EXPECT_EQ(proj_mod_notice("utm31", "zone", MPX_TYPE_LONG, &zone), 0);
    EXPECT_EQ(proj_mod_notice("utm31", "hemisphere", MPX_TYPE_CHAR, &letter), 0);
    EXPECT_EQ(GetCapturedStdout(), "\n PROJECTION MODIFICATION on utm31"
                                   "\n attribute =  scale_factor =       0.999600000000"
                                   "\n PROJECTION MODIFICATION on utm31"
                                   "\n attribute =  zone = 31"
                                   "\n PROJECTION MODIFICATION on utm31"
                                   "\n attribute =  hemisphere");
    EXPECT_EQ(errors.take(), (Lines{"U1: Warning - projection parameters being modified !"}));
}
