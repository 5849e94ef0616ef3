// A grid path that reaches the 80-character limit is refused with a report
// that says so and names the path.
#include "trn_support.hpp"

#include <string>

namespace trn_test {
namespace {

// The database folder spelled with enough "./" that the grid path of any
// control file reaches 80 characters.
#define LONG_DIRECTORY                                                                             \
    MPX_SOURCE_DIR "tests/trn/data/./././././././././././././././././././././././././././"

class GridPath : public TrnTest {
  protected:
    void SetUp() override {
        setenv("TORVA_ORTIX_DIR", LONG_DIRECTORY, 1);
        test_support::collect_errors();
    }
};

TEST_F(GridPath, APathOfEightyCharactersOrMoreIsNamedInTheReport) {
    const std::string path = LONG_DIRECTORY "nad_shift.grd";
    ASSERT_GE(path.size(), 80u);
    select(locked("NAD27", "GEODETIC"), locked("NAD83", "GEODETIC"));
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    EXPECT_EQ(take_lines(),
              (Lines{"S1:grid file path of 80 characters or more:", "S2:" + shown_path(path),
                     "S2:error opening grid/datum change file (NADCON)",
                     "S2:Error loading datum change information", "S2:(trn_init)"}));
}

} // namespace
} // namespace trn_test

namespace trn_test {
namespace {

// A control file that names several grid files (a chain, as the sub-grids
// of an NTv2 file give) finds every one of them in the grid directory, and
// the chain gives the same point as its first file alone.
TEST_F(TrnTest, EveryFileOfAChainIsFoundInTheGridDirectory) {
    const int nad83 = locked("NAD83", "GEODETIC");
    Point single{}, chained{};
    for (auto [datum, out] : {std::pair{"NAD27", &single}, std::pair{"CHAINGRID", &chained}}) {
        select(locked(datum, "GEODETIC"), nad83);
        ASSERT_EQ(mpx_inq_trans_status(), 0) << datum;
        ASSERT_EQ(transform({-95, 40, 0}, *out), 0) << datum;
    }
    EXPECT_TRUE(single.x == chained.x && single.y == chained.y);
    EXPECT_TRUE(take_lines().empty());
}

} // namespace
} // namespace trn_test
