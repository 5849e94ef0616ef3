// The number of grid chains open at once is bounded, as the public header
// says: one more is refused until a chain is closed.
#include "mpxlib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(GridChains, AtMostTheDocumentedNumberAreOpenAtOnce) {
    const char *file = MPX_SOURCE_DIR "tests/trn/data/nad_shift.grd";
    std::vector<int> ids;
    for (int i = 0; i < MPX_GRID_MAX_CHAINS; ++i) {
        ids.push_back(grid_access_init(file));
        ASSERT_NE(ids.back(), 0) << i;
    }
    EXPECT_EQ(grid_access_init(file), 0);
    grid_access_close(ids[10]);
    const int reopened = grid_access_init(file);
    EXPECT_EQ(reopened, ids[10]); // the freed id is the lowest free one
    ids[10] = reopened;
    for (int id : ids)
        grid_access_close(id);
}

} // namespace
