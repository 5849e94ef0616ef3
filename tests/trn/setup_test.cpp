// Selection of the current pair, the 20-slot cache, the set-up with its
// datum-change search and failures, and the mode operations.
#include "frame/support.hpp"
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

namespace trn_test {
namespace {

using SetupTest = TrnTest;

TEST_F(SetupTest, BadIdentifiersClearTheSelectionAndNothingRunsWithoutOne) {
    select(locked("WGS84", "GEODETIC"), locked("WGS72", "GEODETIC"));
    const int deleted = locked("ED50", "GEODETIC");
    mpx_delete_coord_sys(&deleted);
    for (int bad : {0, 20, deleted}) {
        EXPECT_EQ(mpx_set_target(&bad), -1) << bad;
        EXPECT_EQ(mpx_set_source(&bad), -1) << bad;
        EXPECT_EQ(take_lines(),
                  (Lines{"P3:(mpx_set_target) bad id", "P3:(mpx_set_source) bad id"}));
    }
    EXPECT_EQ(mpx_set_source(nullptr), -1);
    EXPECT_EQ(mpx_inq_source() + mpx_inq_target(), 0);
    EXPECT_EQ(trn_current(), nullptr);
    Point out{};
    EXPECT_EQ(transform({0, 0, 0}, out), -1);
    const int one = 1;
    EXPECT_EQ(mpx_mod_num_points(&one), -1);
    EXPECT_EQ(mpx_mod_trans_mode(&one), -1);
    EXPECT_EQ(mpx_inq_trans_mode(&one), -1);
    EXPECT_EQ(take_lines(),
              (Lines{"P3:(mpx_set_source) bad id", "P3:(mpx_transform) No transformation set up",
                     "(mpx_mod_num_points) no transformation defined",
                     "(mpx_mod_trans_mode) no transformation defined",
                     "(mpx_inq_trans_mode) no transformation defined"}));
}

TEST_F(SetupTest, PairsAreCachedAndTheTwentyFirstIsRefusedUnlessOneIsUnused) {
    int ids[5];
    for (int &id : ids)
        id = locked("WGS84", "GEODETIC");
    Point out{};
    for (int made = 0; made < MPX_MAX_TRANSFORMATIONS; ++made) {
        select(ids[made / 5], ids[made % 5]);
        ASSERT_EQ(transform({1, 2, 3}, out), 0);
    }
    const int s = ids[4], t = ids[1];
    EXPECT_EQ(mpx_set_target(&t), 0); // (3, 1) is cached
    EXPECT_EQ(mpx_set_source(&s), -1);
    EXPECT_EQ(trn_current(), nullptr);
    EXPECT_EQ(take_lines(), Lines{"S1:Bad transformation creation"});
    select(ids[0], ids[0]); // cached and still set up
    EXPECT_EQ(trn_current(), trn_slot(0));
    EXPECT_EQ(trn_current()->status, 0);
    const int one = 1;
    ASSERT_EQ(mpx_mod_num_points(&one), 0); // (0, 0) in slot 0 is pending again
    ASSERT_EQ(mpx_set_target(&t), 0);
    ASSERT_EQ(mpx_set_source(&s), 0); // (4, 1) is new and takes slot 0
    EXPECT_EQ(trn_current(), trn_slot(0));
    EXPECT_EQ(trn_current()->num_points, -1);
    EXPECT_EQ(take_lines(), Lines{});
}

TEST_F(SetupTest, DeletingASystemReleasesItsPairsAndGridsAndFreedSlotsNeedMemory) {
    const int a = locked("NAD27", "GEODETIC");
    const int b = locked("NAD83", "GEODETIC");
    const int c = locked("NAD83", "GEODETIC");
    select(a, b);
    EXPECT_EQ(mpx_inq_trans_status(), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), 8);
    select(c, a);
    EXPECT_EQ(mpx_delete_coord_sys(&b), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
    EXPECT_EQ(trn_slot(0), nullptr);
    EXPECT_EQ(trn_current(), trn_slot(1)); // the current pair does not involve b
    EXPECT_EQ(mpx_delete_coord_sys(&a), 0);
    EXPECT_EQ(trn_slot(1), nullptr);
    EXPECT_EQ(mpx_inq_source(), c);
    EXPECT_EQ(mpx_inq_target(), 0);
    EXPECT_EQ(trn_current(), nullptr);
    qmsc_FailAfter(0); // no record for the next pair
    EXPECT_EQ(mpx_set_target(&c), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_lines(), (Lines{"S1:Memory shortage", "S2:Bad transformation creation"}));
    EXPECT_EQ(trn_slot(0), nullptr);
}

TEST_F(SetupTest, FailedSetUpRefusesEveryTransformUntilReArmed) {
    const int a = mpx_create_coord_sys("WGS84", "GEODETIC", "degrees");
    select(a, locked("WGS84", "GEODETIC", "radians"));
    Point out{7, 8, 9};
    EXPECT_EQ(transform({1, 2, 3}, out), -1);
    EXPECT_EQ(take_lines(), (Lines{"P1:Cannot transform with unlocked coord_sys", "S2:(trn_init)",
                                   "P2:(mpx_transform) Bad transformation"}));
    mpx_lock_coord_sys(&a);
    EXPECT_EQ(transform({1, 2, 3}, out), -1);
    EXPECT_EQ(take_lines(), Lines{"P2:(mpx_transform) Bad transformation"});
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    const int n = 10;
    EXPECT_EQ(mpx_mod_num_points(&n), 0);
    EXPECT_EQ(mpx_inq_trans_status(), 0);
}

// The report on a grid file that does not open: just that, or first that
// its path reaches the 80-character limit when the sources lie deep enough.
Lines open_failure_lines(const std::string &name) {
    const std::string path = MPX_SOURCE_DIR "tests/trn/data/" + name;
    if (path.size() < 80)
        return {"S2:error opening grid/datum change file (NADCON)"};
    return {"S2:grid file path of 80 characters or more:", "S2:" + shown_path(path),
            "S2:error opening grid/datum change file (NADCON)"};
}

TEST_F(SetupTest, DatumChangeSearchFailuresAreReportedAndReleaseWhatWasLoaded) {
    // No severity-3 line closes these chains: after the first, lines run on at "2".
    Lines missing_column(7, "P2:GDB:No key for gdb_load");
    missing_column.push_back("S2:error reading datum change (Bursa-Wolfe record)");
    struct Case {
        const char *source, *target;
        Lines lines;
    };
    for (const Case &c : {
             Case{"NAD27", "ED50", {"S1:No Datum change exists"}},
             Case{"TOKYO", "WGS84", {"S2:Unknown datum change type"}},
             Case{"MISSBW", "WGS84", missing_column},
             Case{"GRIDW", "ED50", {"S2:No datum change exists"}}, // a grid cannot be combined
             Case{"LONGREC", "NAD83", {"S2:error reading datum change (NADCON record)"}},
             // 47 characters fit the record; with this folder, not the grid path.
             Case{"NOGRID", "NAD83", open_failure_lines(std::string(47, 'n'))},
             // A field that is no finite number is refused, not read as 0 or
             // carried as NaN into every point.
             Case{"BWTEXT", "WGS84", {"S2:error reading datum change (Bursa-Wolfe record)"}},
             Case{"BWINF", "WGS84", {"S2:error reading datum change (Bursa-Wolfe record)"}},
             Case{"BWNAN", "WGS84", {"S2:error reading datum change (Bursa-Wolfe record)"}},
             Case{"BWEMPTY", "WGS84", {"S2:error reading datum change (Bursa-Wolfe record)"}},
             // An empty file name is read, but opens nothing.
             Case{"EMPTYGRID", "NAD83", {"S2:error opening grid/datum change file (NADCON)"}},
             // Every file of a chain is looked for in the grid directory
             // (where a long checkout path makes it too long to try).
             Case{"BLANKGRID", "NAD83", open_failure_lines("no_such.grd")},
         }) {
        SCOPED_TRACE(c.source);
        const int source = locked(c.source, "GEODETIC"), target = locked(c.target, "GEODETIC");
        select(source, target);
        EXPECT_EQ(mpx_inq_trans_status(), 3);
        Lines expected = c.lines;
        expected.insert(expected.end(),
                        {"S2:Error loading datum change information", "S2:(trn_init)"});
        EXPECT_EQ(take_lines(), expected);
        EXPECT_EQ(trn_current()->change_data, nullptr);
        EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
        mpx_delete_coord_sys(&source);
        mpx_delete_coord_sys(&target);
    }
}

// mpx_inq_trans_mode for modes 1 to 5; mpx_mod_trans_mode for modes 1 to 4
// with the robustness mode it leaves (unchanged where refused).
TEST_F(SetupTest, ModeTablesDependOnThePipelineAndTheTargetMode) {
    struct Row {
        const char *source, *target;
        int inquire[5], modify[4], robust_after[4];
    };
    const Lines refused{"P3:(mpx_mod_trans_mode) bad trans mode"};
    for (const Row &row : {
             Row{"GEODETIC", "CUT0", {-1, 0, 0, 2, 2}, {-1, 0, 0, 0}, {2, 2, 3, 2}},
             Row{"GEODETIC", "FREECUT", {0, 0, 0, 2, 2}, {0, 0, 0, 0}, {1, 2, 3, 2}},
             Row{"CUT0", "CUT0", {0, -1, -1, 1, 1}, {0, -1, -1, 0}, {1, 1, 1, 1}},
             Row{"GEOCENTRIC", "CUT0", {0, -1, -1, 1, 1}, {0, -1, -1, 0}, {1, 1, 1, 1}},
             Row{"GEODETIC", "GEODETIC", {0, -1, -1, 1, 2}, {0, -1, -1, 0}, {1, 1, 1, 1}},
         }) {
        SCOPED_TRACE(std::string(row.source) + " to " + row.target);
        select(locked("WGS84", row.source), locked("WGS84", row.target));
        for (int mode = 1; mode <= 5; ++mode)
            EXPECT_EQ(mpx_inq_trans_mode(&mode), row.inquire[mode - 1]) << mode;
        for (int mode = 1; mode <= 4; ++mode) {
            EXPECT_EQ(mpx_mod_trans_mode(&mode), row.modify[mode - 1]) << mode;
            EXPECT_EQ(trn_current()->robust_mode, row.robust_after[mode - 1]) << mode;
            EXPECT_EQ(take_lines(), row.modify[mode - 1] ? refused : Lines{}) << mode;
        }
    }
    for (const auto &[modify, inquire] : {std::pair{0, 0}, {5, 6}}) {
        EXPECT_EQ(mpx_mod_trans_mode(&modify), -1);
        EXPECT_EQ(mpx_inq_trans_mode(&inquire), -1);
        EXPECT_EQ(take_lines(), (Lines{"P3:(mpx_mod_trans_mode) unknown trans mode",
                                       "P3:(mpx_inq_trans_mode) unknown trans mode"}));
    }
}

TEST_F(SetupTest, NextBaseListsTheRegistryThenGivesAnEmptyName) {
    char name[MPX_NAME_SIZE] = "x";
    int listed = 0;
    while (mpx_inq_next_base(name) == 0 && listed < 100)
        ++listed;
    EXPECT_EQ(listed, proj_count());
    EXPECT_EQ(name[0], '\0');
}

} // namespace
} // namespace trn_test
