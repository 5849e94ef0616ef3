// The diagnostic dump, compared as exact console text on small states.
#include "cs/cs_table.hpp"
#include "proj/registry.hpp"
#include "trn_support.hpp"

namespace trn_test {
namespace {

using DebugTest = TrnTest;

std::string dump(int flags) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(mpx_debug(flags), 0);
    return testing::internal::GetCapturedStdout();
}

constexpr char kBanner[] = "\n  === MPX_DEBUG()";

TEST_F(DebugTest, NoFlagsPrintOnlyTheBanner) { EXPECT_EQ(dump(0), kBanner); }

TEST_F(DebugTest, EmptyTablesPrintHeadingsAndZeroReferences) {
    EXPECT_EQ(dump(1 | 4 | 8 | 16), std::string(kBanner) + "\n L = 1" +
                                        "\n  --- COORDINATE SYSTEM INFO"
                                        "\n L = 0"
                                        "\n  --- TRANSFORMATION INFO"
                                        "\n  --- TRANSFORMATION SUMMARY INFO"
                                        "\n Current : 0 -> 0");
}

TEST_F(DebugTest, RegistryListsEveryDescriptorWithoutValues) {
    const std::string text = dump(2);
    const std::string head = std::string(kBanner) +
                             "\n  --- BASE PROJECTION INFO\n L = " + std::to_string(proj_count()) +
                             "\nStructure Name = ";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\nStructure Name = probe "
                        "\n Number of attributes = 3"
                        "\n Att name, offset = cut, 0"
                        "\n Att name, offset = spheroid.radius, 8"
                        "\n Att name, offset = long_cut, 16"
                        "\nStructure Name = freeprobe "),
              std::string::npos);
}

TEST_F(DebugTest, CoordinateSystemShowsItsBlocksAndParameters) {
    const int id = locked("WGS84", "CUT0");
    // Fields no operation sets get known values for an exact comparison.
    mpx_coord_sys *cs = cs_lookup(id);
    cs->aoi.y0 = cs->aoi.y1 = 0.0;
    cs->vertical_factor = 0.0;
    mpx_crelock_coord_sys("WGS84", "CUT0", "metres"); // shares it: two references
    const std::string expected =
        std::string(kBanner) +
        "\n  --- COORDINATE SYSTEM INFO"
        "\n L = 1\n S = WGS84\n S = CUT0\n S = metres\n S = "
        "\n L = 2\n L = 1\n L = 0\n L = 0"
        "\nStructure Name = datum \nname = WGS84\nradius = 6378137"
        "\neccentricity = 0.0818191908426\nmetre_factor = 1\nprime_merid = 0"
        "\nStructure Name = projection \nname = CUT0\nmetre_factor = 1"
        "\nStructure Name = aoi \nx0 = 1\nx1 = 0\ny0 = 0\ny1 = 0"
        "\nStructure Name = units \nhorizontal_label = metres\nhorizontal_factor = 1"
        "\nvertical_label = \nvertical_factor = 0"
        "\n L = " +
        std::to_string(proj_find("probe")) +
        "\nStructure Name = probe \ncut = 0\nspheroid.radius = 6378137\nlong_cut = 0"
        "\n L = 2";
    EXPECT_EQ(dump(4), expected);
}

TEST_F(DebugTest, TransformationShowsModesScalesWindowEllipsoidsAndChange) {
    const int source = locked("WGS72", "GEODETIC", "degrees");
    const int target = locked("WGS84", "GEODETIC", "grads");
    select(source, target);
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    const std::string expected = std::string(kBanner) +
                                 "\n  --- TRANSFORMATION INFO"
                                 "\n S = Current trans"
                                 "\n L = 0\n L = 1\n L = 2\n L = 0\n L = 0\n L = 0\n L = 4"
                                 "\n D =    0.017453292519943\n D =      63.661977236758"
                                 "\n L = 2\n L = 0\n L = 0"
                                 "\n D =     -3.1415926535898\n D =      3.1415926535898"
                                 "\n D =              6378135\n D =    0.081818810662749"
                                 "\n D =              6378137\n D =    0.081819190842621"
                                 "\n S = Datum change type = Bursa-Wolfe"
                                 "\n L = 3"
                                 "\n D =                    0\n D =                    0"
                                 "\n D =                  4.5\n D =                    0"
                                 "\n D =                    0\n D =  2.6858677933468e-06"
                                 "\n D =          1.000000219"
                                 "\n  --- TRANSFORMATION SUMMARY INFO"
                                 "\n Current : 1 -> 2"
                                 "\n Trans : 1 -> 2 ** Current **"
                                 "\n status = 0"
                                 "\n Modes (pre,post,inner) = (0, 0, 4)";
    EXPECT_EQ(dump(8 | 16), expected);
}

TEST_F(DebugTest, PendingRecordIsShownWithoutBeingSetUp) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("NAD27", "GEODETIC"); // its set-up would fail
    select(a, b);
    select(b, a); // (2, 2) and then (2, 1) take over the never-used slot
    const std::string text = dump(16);
    EXPECT_EQ(text, std::string(kBanner) + "\n  --- TRANSFORMATION SUMMARY INFO"
                                           "\n Current : 2 -> 1"
                                           "\n Trans : 2 -> 1 ** Current **"
                                           "\n status = -1"
                                           "\n Modes (pre,post,inner) = (0, 0, 0)");
    EXPECT_EQ(take_lines(), std::vector<std::string>{});
}

} // namespace
} // namespace trn_test
