// A failed initialisation is retried by the next creation; the retry must
// not release the systems that exist, nor hand their identifiers to others.
#include "tests/common/fresh_process.hpp"
#include "tests/cs/cs_fixture.hpp"

namespace {

int g_cleared = 0;
void on_delete(int) noexcept {}
void on_clear() noexcept { ++g_cleared; }

// No "bursawol" table: every initialisation fails, every creation goes on.
TEST(CsInitialisationRetry, ExistingSystemsSurviveAndKeepTheirIdentifiers) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/no_bursawol/", 1);
    test_support::collect_errors();
    cs_set_listener({on_delete, on_clear});
    const int first = mpx_create_coord_sys("WGS84", "GEODETIC", "degrees");
    ASSERT_EQ(first, 1);
    EXPECT_EQ(take_errors(), (Lines{"S1:GDB:opening the file", "S2:initialising the database"}));
    const int second = mpx_create_coord_sys("WGS84", "GEOCENTRIC", "");
    EXPECT_EQ(second, 2);
    // Only the table that failed is opened again.
    EXPECT_EQ(take_errors(), (Lines{"S2:GDB:opening the file", "S2:initialising the database"}));
    ASSERT_NE(cs_lookup(first), nullptr);
    EXPECT_STREQ(cs_lookup(first)->projection.name, "GEODETIC");
    EXPECT_STREQ(cs_lookup(second)->projection.name, "GEOCENTRIC");
    EXPECT_EQ(g_cleared, 1); // the first attempt's clearing only
}

} // namespace
