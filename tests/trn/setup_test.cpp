// Selection of the current pair, the 20-slot cache, the set-up with its
// datum-change search and failures, and the mode operations.
#include "frame/support.hpp"
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

#include <cstring>
#include <ostream>
#include <utility>

namespace trn_test {
namespace {

using Lines = std::vector<std::string>;
using SetupTest = TrnTest;

int occupied_slots() {
    int count = 0;
    for (int slot = 0; slot < MPX_MAX_TRANSFORMATIONS; ++slot)
        count += trn_slot(slot) != nullptr;
    return count;
}

const mpx_bw_params &bursa_wolfe() {
    const mpx_transformation *t = trn_current();
    EXPECT_EQ(t->datum_change_type, MPX_DATUM_CHANGE_BURSA_WOLFE);
    return *static_cast<const mpx_bw_params *>(t->change_data);
}

TEST_F(SetupTest, BadIdentifiersAreRefusedAndClearTheSelection) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("WGS72", "GEODETIC");
    select(a, b);
    ASSERT_NE(trn_current(), nullptr);
    const int deleted = locked("ED50", "GEODETIC");
    mpx_delete_coord_sys(&deleted);
    for (int bad : {0, -1, 20, 7, deleted}) {
        EXPECT_EQ(mpx_set_source(&bad), -1) << bad;
        EXPECT_EQ(mpx_set_target(&bad), -1) << bad;
    }
    EXPECT_EQ(mpx_set_source(nullptr), -1);
    EXPECT_EQ(mpx_inq_source(), 0);
    EXPECT_EQ(mpx_inq_target(), 0);
    EXPECT_EQ(trn_current(), nullptr);
    Lines expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back("P3:(mpx_set_source) bad id");
        expected.push_back("P3:(mpx_set_target) bad id");
    }
    expected.push_back("P3:(mpx_set_source) bad id");
    EXPECT_EQ(take_lines(), expected);
}

TEST_F(SetupTest, SameSourceTwiceDoesNothingAndSwitchingBackReusesTheRecord) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("WGS72", "GEODETIC");
    select(a, b);
    mpx_transformation *ab = trn_current();
    EXPECT_EQ(ab->status, -1);
    EXPECT_EQ(ab->num_points, -1);
    EXPECT_EQ(mpx_inq_trans_status(), 0);
    select(b, a);
    EXPECT_NE(trn_current(), ab);
    EXPECT_EQ(mpx_set_source(&b), 0);
    select(a, b);
    EXPECT_EQ(trn_current(), ab);
    EXPECT_EQ(ab->status, 0); // set up once, kept while the other pair was current
    EXPECT_EQ(mpx_inq_source(), a);
    EXPECT_EQ(mpx_inq_target(), b);
}

TEST_F(SetupTest, TwentyFirstPairIsRefusedAndANeverUsedRecordIsReused) {
    int ids[5];
    for (int &id : ids)
        id = locked("WGS84", "GEODETIC");
    int made = 0;
    Point out{};
    for (int s : ids) {
        for (int t : ids) {
            if (made == MPX_MAX_TRANSFORMATIONS)
                break;
            select(s, t);
            ASSERT_EQ(transform({1, 2, 3}, out), 0);
            ++made;
        }
    }
    const int s = ids[4], t = ids[1];
    EXPECT_EQ(mpx_set_target(&t), 0); // (3, 1) is cached
    EXPECT_EQ(mpx_set_source(&s), -1);
    EXPECT_EQ(trn_current(), nullptr);
    EXPECT_EQ(take_lines(), Lines{"S1:Bad transformation creation"});

    // A pair made current but never used gives its slot to the next pair.
    select(ids[0], ids[0]);
    const int one = 1;
    ASSERT_EQ(mpx_mod_num_points(&one), 0); // (0, 0) in slot 0 is pending again
    ASSERT_EQ(mpx_set_target(&t), 0);       // (0, 1) exists
    ASSERT_EQ(mpx_set_source(&s), 0);       // (4, 1) is new
    EXPECT_EQ(trn_current(), trn_slot(0));
    EXPECT_EQ(trn_current()->source_id, s);
    EXPECT_EQ(trn_current()->target_id, t);
    EXPECT_EQ(trn_current()->num_points, -1);
    EXPECT_EQ(take_lines(), Lines{});
}

TEST_F(SetupTest, RecordAllocationFailureReportsMemoryShortage) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("WGS72", "GEODETIC");
    EXPECT_EQ(mpx_set_source(&a), 0);
    qmsc_FailAfter(0);
    EXPECT_EQ(mpx_set_target(&b), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_lines(), (Lines{"S1:Memory shortage", "S2:Bad transformation creation"}));
    EXPECT_EQ(occupied_slots(), 0);
}

TEST_F(SetupTest, DeletingASystemReleasesItsPairsAndTheSelection) {
    const int a = locked("WGS84", "GEODETIC");
    const int b = locked("WGS72", "GEODETIC");
    const int c = locked("ED50", "GEODETIC");
    select(a, b);
    mpx_inq_trans_status();
    select(b, c);
    mpx_inq_trans_status();
    select(c, a);
    EXPECT_EQ(occupied_slots(), 3);
    EXPECT_EQ(mpx_delete_coord_sys(&b), 0);
    EXPECT_EQ(occupied_slots(), 1);
    EXPECT_EQ(trn_slot(2)->source_id, c);
    EXPECT_EQ(mpx_inq_source(), c); // the current pair does not involve b
    EXPECT_EQ(trn_current(), trn_slot(2));
    EXPECT_EQ(mpx_delete_coord_sys(&a), 0);
    EXPECT_EQ(occupied_slots(), 0);
    EXPECT_EQ(mpx_inq_source(), c);
    EXPECT_EQ(mpx_inq_target(), 0);
    EXPECT_EQ(trn_current(), nullptr);
    EXPECT_EQ(take_lines(), Lines{});
}

TEST_F(SetupTest, SetUpFailureIsReportedOnceThenEveryTransformIsRefused) {
    const int a = locked("NAD27", "GEODETIC");
    const int b = locked("WGS84", "GEODETIC");
    select(a, b);
    Point p{1, 2, 3}, out{7, 8, 9};
    EXPECT_EQ(transform(p, out), -1);
    EXPECT_EQ(take_lines(),
              (Lines{"S1:No Datum change exists", "S2:Error loading datum change information",
                     "S2:(trn_init)", "P2:(mpx_transform) Bad transformation"}));
    EXPECT_EQ(transform(p, out), -1);
    EXPECT_EQ(take_lines(), Lines{"P2:(mpx_transform) Bad transformation"});
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    EXPECT_EQ(out.x, 7.0);
    EXPECT_EQ(out.y, 8.0);
    EXPECT_EQ(out.z, 9.0);
}

TEST_F(SetupTest, UnlockedSystemFailsUntilTheRecordIsReArmed) {
    const int a = unlocked("WGS84", "GEODETIC");
    const int b = locked("WGS84", "GEODETIC", "radians");
    select(a, b);
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    EXPECT_EQ(take_lines(),
              (Lines{"P1:Cannot transform with unlocked coord_sys", "S2:(trn_init)"}));
    mpx_lock_coord_sys(&a);
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    const int n = 10;
    EXPECT_EQ(mpx_mod_num_points(&n), 0);
    EXPECT_EQ(trn_current()->num_points, 10);
    EXPECT_EQ(trn_current()->status, -1);
    EXPECT_EQ(mpx_inq_trans_status(), 0);
    EXPECT_EQ(take_lines(), Lines{});
}

TEST_F(SetupTest, OperationsWithoutATransformation) {
    Point out{};
    EXPECT_EQ(transform({0, 0, 0}, out), -1);
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    const int one = 1;
    EXPECT_EQ(mpx_mod_num_points(&one), -1);
    EXPECT_EQ(mpx_mod_trans_mode(&one), -1);
    EXPECT_EQ(mpx_inq_trans_mode(&one), -1);
    EXPECT_EQ(take_lines(), (Lines{"P3:(mpx_transform) No transformation set up",
                                   "(mpx_mod_num_points) no transformation defined",
                                   "(mpx_mod_trans_mode) no transformation defined",
                                   "(mpx_inq_trans_mode) no transformation defined"}));
}

// ---- Datum-change search ---------------------------------------------------

TEST_F(SetupTest, UscDatumGetsTheIdentityWithoutAnyRecord) {
    // No "datumcha" record links these datums at all.
    select(locked("USC_LOCAL", "GEODETIC"), locked("NAD27", "GEODETIC"));
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    const mpx_bw_params &p = bursa_wolfe();
    EXPECT_EQ(p.type, MPX_BW_IDENTITY);
    EXPECT_EQ(p.translation_x, 0.0);
    EXPECT_EQ(p.rotation_z, 0.0);
    EXPECT_EQ(p.scale, 1.0);
}

TEST_F(SetupTest, ShortBursaWolfeRowReadsItsMissingColumnsAsZero) {
    select(locked("SHORTBW", "GEODETIC"), locked("WGS84", "GEODETIC"));
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    const mpx_bw_params &p = bursa_wolfe();
    EXPECT_EQ(p.translation_x, 1.5);
    EXPECT_EQ(p.translation_y, 0.0);
    EXPECT_EQ(p.scale, 1.0);
}

struct SearchFailure {
    const char *source_datum;
    const char *target_datum;
    Lines lines;
};

void PrintTo(const SearchFailure &c, std::ostream *os) {
    *os << c.source_datum << " to " << c.target_datum;
}

class SearchFailureTest : public TrnTest, public ::testing::WithParamInterface<SearchFailure> {};

TEST_P(SearchFailureTest, IsReportedAndFailsTheSetUp) {
    const SearchFailure &c = GetParam();
    select(locked(c.source_datum, "GEODETIC"), locked(c.target_datum, "GEODETIC"));
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    Lines expected = c.lines;
    expected.push_back("S2:Error loading datum change information");
    expected.push_back("S2:(trn_init)");
    EXPECT_EQ(take_lines(), expected);
    EXPECT_EQ(trn_current()->change_data, nullptr);
}

const Lines kMissingBursaWolfeRow = {
    "P1:GDB:No key for gdb_load", "P2:GDB:No key for gdb_load",
    "P2:GDB:No key for gdb_load", "P2:GDB:No key for gdb_load",
    "P2:GDB:No key for gdb_load", "P2:GDB:No key for gdb_load",
    "P2:GDB:No key for gdb_load", "S2:error reading datum change (Bursa-Wolfe record)"};

INSTANTIATE_TEST_SUITE_P(
    Search, SearchFailureTest,
    ::testing::Values(
        SearchFailure{"NAD27", "ED50", {"S1:No Datum change exists"}},
        SearchFailure{"TOKYO", "WGS84", {"S1:Unknown datum change type"}},
        SearchFailure{"MISSBW", "WGS84", kMissingBursaWolfeRow},
        SearchFailure{"NOGRID", "NAD83", {"S1:error opening grid/datum change file (NADCON)"}}));

// ---- Mode operations ---------------------------------------------------------

// Expected results of mpx_inq_trans_mode for modes 1 to 5 and, after
// mpx_mod_trans_mode with modes 1 to 4, the result and the robustness mode.
struct ModeRow {
    const char *what;
    const char *source_projection;
    const char *target_projection;
    int inquire[5];
    int modify[4];
    int robust_after[4];
};

void PrintTo(const ModeRow &row, std::ostream *os) { *os << row.what; }

class ModeTableTest : public TrnTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(ModeTableTest, InquiryAndModification) {
    const ModeRow &row = GetParam();
    const char *source_units = std::strcmp(row.source_projection, "GEOCENTRIC") ? "degrees" : "m";
    const int source = locked("WGS84", row.source_projection, source_units);
    const int target = locked("WGS84", row.target_projection);
    select(source, target);
    for (int mode = 1; mode <= 5; ++mode) {
        EXPECT_EQ(mpx_inq_trans_mode(&mode), row.inquire[mode - 1]) << row.what << mode;
    }
    for (int mode = 1; mode <= 4; ++mode) {
        const int before = trn_current()->robust_mode;
        EXPECT_EQ(mpx_mod_trans_mode(&mode), row.modify[mode - 1]) << row.what << mode;
        const int expected = row.modify[mode - 1] == 0 ? row.robust_after[mode - 1] : before;
        EXPECT_EQ(trn_current()->robust_mode, expected) << row.what << mode;
        const Lines refused{"P3:(mpx_mod_trans_mode) bad trans mode"};
        EXPECT_EQ(take_lines(), row.modify[mode - 1] == 0 ? Lines{} : refused);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTableTest,
    ::testing::Values(ModeRow{"geodetic to projection without unconditioned mode",
                              "GEODETIC",
                              "CUT0",
                              {-1, 0, 0, 2, 2},
                              {-1, 0, 0, 0},
                              {0, 2, 3, 2}},
                      ModeRow{"geodetic to unconditioned projection",
                              "GEODETIC",
                              "FREECUT",
                              {0, 0, 0, 2, 2},
                              {0, 0, 0, 0},
                              {1, 2, 3, 2}},
                      ModeRow{"projected to projected",
                              "CUT0",
                              "CUT0",
                              {0, -1, -1, 1, 1},
                              {0, -1, -1, 0},
                              {1, 0, 0, 1}},
                      ModeRow{"geocentric to projection",
                              "GEOCENTRIC",
                              "CUT0",
                              {0, -1, -1, 1, 1},
                              {0, -1, -1, 0},
                              {1, 0, 0, 1}},
                      ModeRow{"geodetic to geodetic",
                              "GEODETIC",
                              "GEODETIC",
                              {0, -1, -1, 1, 2},
                              {0, -1, -1, 0},
                              {1, 0, 0, 1}}));

TEST_F(SetupTest, UnknownModesAreRefused) {
    select(locked("WGS84", "GEODETIC"), locked("WGS84", "CUT0"));
    for (int mode : {0, 5, -3}) {
        EXPECT_EQ(mpx_mod_trans_mode(&mode), -1);
        EXPECT_EQ(take_lines(), Lines{"P3:(mpx_mod_trans_mode) unknown trans mode"});
    }
    for (int mode : {0, 6}) {
        EXPECT_EQ(mpx_inq_trans_mode(&mode), -1);
        EXPECT_EQ(take_lines(), Lines{"P3:(mpx_inq_trans_mode) unknown trans mode"});
    }
    EXPECT_EQ(trn_current()->robust_mode, MPX_ROBUST_WRAP);
}

// ---- Units, window and pipeline shape ----------------------------------------

// The flag is visible only in the dump: a window from "long_cut" or a
// geocentric target sets it.
TEST_F(SetupTest, WindowFlagMarksLongCutAndGeocentricTargets) {
    const int geodetic = locked("WGS84", "GEODETIC");
    for (const auto &[target, flag] : {std::pair{"GEODETIC", 0}, {"CUT0", 1}, {"GEOCENTRIC", 1}}) {
        select(geodetic, locked("WGS84", target));
        ASSERT_EQ(mpx_inq_trans_status(), 0);
        EXPECT_EQ(trn_current()->window_flag, flag) << target;
    }
}

TEST_F(SetupTest, NextBaseListsEveryRegisteredKeywordThenEnds) {
    char name[MPX_NAME_SIZE] = "x";
    EXPECT_EQ(mpx_inq_next_base(nullptr), 0);
    Lines keywords;
    while (mpx_inq_next_base(name) == 0)
        keywords.emplace_back(name);
    EXPECT_EQ(name[0], '\0');
    EXPECT_EQ(mpx_inq_next_base(name), 1);
    ASSERT_GE(keywords.size(), 4u);
    const Lines last(keywords.end() - 4, keywords.end());
    EXPECT_EQ(last, (Lines{"probe", "freeprobe", "proj_a", "proj_b"}));
    EXPECT_EQ(mpx_inq_next_base(nullptr), 0);
    EXPECT_EQ(mpx_inq_next_base(name), 0);
    EXPECT_EQ(std::string(name), keywords.front());
}

} // namespace
} // namespace trn_test
