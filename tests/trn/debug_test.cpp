// The diagnostic dump, compared as exact console text on small states.
#include "trn_support.hpp"

namespace trn_test {
namespace {

using DebugTest = TrnTest;

// The dump without its banner, which every dump begins with.
std::string dump_after_banner(int flags) {
    const std::string banner = "\n  === MPX_DEBUG()";
    testing::internal::CaptureStdout();
    EXPECT_EQ(mpx_debug(flags), 0);
    const std::string text = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(text.starts_with(banner)) << text;
    return text.substr(banner.size());
}

TEST_F(DebugTest, EmptyTablesPrintHeadingsAndZeroReferences) {
    EXPECT_EQ(dump_after_banner(0), "");
    EXPECT_EQ(dump_after_banner(1 | 4 | 8 | 16),
              "\n L = 1\n  --- COORDINATE SYSTEM INFO\n L = 0\n  --- TRANSFORMATION INFO"
              "\n  --- TRANSFORMATION SUMMARY INFO\n Current : 0 -> 0");
}

TEST_F(DebugTest, RegistryListsEveryDescriptorWithoutValues) {
    const std::string text = dump_after_banner(2);
    EXPECT_TRUE(text.starts_with("\n  --- BASE PROJECTION INFO\n L = " +
                                 std::to_string(proj_count()) + "\nStructure Name = "));
    EXPECT_NE(text.find("\nStructure Name = probe \n Number of attributes = 2"
                        "\n Att name, offset = long_cut, 0\n Att name, offset = spheroid.radius, 8"
                        "\nStructure Name = freeprobe "),
              std::string::npos);
}

TEST_F(DebugTest, CoordinateSystemShowsItsBlocksAndParameters) {
    locked("WGS84", "CUT0");
    mpx_crelock_coord_sys("WGS84", "CUT0", "metres"); // shares it: two references
    EXPECT_EQ(dump_after_banner(4),
              "\n  --- COORDINATE SYSTEM INFO\n L = 1\n S = WGS84\n S = CUT0\n S = metres\n S = "
              "\n L = 2\n L = 1\n L = 0\n L = 0\nStructure Name = datum \nname = WGS84"
              "\nradius = 6378137\neccentricity = 0.0818191908426\nmetre_factor = 1"
              "\nprime_merid = 0\nStructure Name = projection \nname = CUT0\nmetre_factor = 1"
              "\nStructure Name = aoi \nx0 = 1\nx1 = 0\ny0 = 0\ny1 = 0\nStructure Name = units "
              "\nhorizontal_label = metres\nhorizontal_factor = 1\nvertical_label = "
              "\nvertical_factor = 0\n L = " +
                  std::to_string(proj_find("probe")) +
                  "\nStructure Name = probe \nlong_cut = 0\nspheroid.radius = 6378137"
                  "\n L = 2");
}

TEST_F(DebugTest, TransformationShowsModesScalesWindowEllipsoidsAndChange) {
    const int source = locked("WGS72", "GEODETIC", "degrees");
    select(source, locked("WGS84", "GEODETIC", "grads"));
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    EXPECT_EQ(
        dump_after_banner(8 | 16),
        "\n  --- TRANSFORMATION INFO\n S = Current trans\n L = 0\n L = 1\n L = 2\n L = 0\n L = 0"
        "\n L = 0\n L = 4\n D =    0.017453292519943\n D =      63.661977236758\n L = 2"
        "\n L = 0\n L = 0\n D =     -3.1415926535898\n D =      3.1415926535898"
        "\n D =              6378135\n D =    0.081818810662749\n D =              6378137"
        "\n D =    0.081819190842621\n S = Datum change type = Bursa-Wolfe\n L = 3"
        "\n D =                    0\n D =                    0\n D =                  4.5"
        "\n D =                    0\n D =                    0\n D =  2.6858677933468e-06"
        "\n D =          1.000000219\n  --- TRANSFORMATION SUMMARY INFO\n Current : 1 -> 2"
        "\n Trans : 1 -> 2 ** Current **\n status = 0\n Modes (pre,post,inner) = (0, 0, 4)");
}

TEST_F(DebugTest, PendingRecordIsShownWithoutBeingSetUp) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("NAD27", "GEODETIC"); // its set-up would fail
    select(a, b);
    select(b, a); // (2, 2) and then (2, 1) take over the never-used slot
    EXPECT_EQ(dump_after_banner(16),
              "\n  --- TRANSFORMATION SUMMARY INFO\n Current : 2 -> 1"
              "\n Trans : 2 -> 1 ** Current **\n status = -1\n Modes (pre,post,inner) = (0, 0, 0)");
    EXPECT_EQ(take_lines(), Lines{});
}

} // namespace
} // namespace trn_test
