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
