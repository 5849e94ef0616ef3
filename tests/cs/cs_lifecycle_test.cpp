// The coordinate-system table: creation, sharing, copies, deletion, the
// enumeration and the identifier checks.
#include "frame/support.hpp"
#include "tests/cs/cs_fixture.hpp"

#include <cstring>

namespace {

std::vector<int> g_deleted;
int g_cleared = 0;
void on_delete(int id) noexcept { g_deleted.push_back(id); }
void on_clear() noexcept { ++g_cleared; }

std::vector<int> enumerate() {
    std::vector<int> ids;
    const int zero = 0;
    const int more = 1;
    for (int id = mpx_next_coord_sys(&zero); id != 0 && ids.size() < 100;
         id = mpx_next_coord_sys(&more))
        ids.push_back(id);
    return ids;
}

} // namespace

using CsLifecycle = CsTest;

TEST_F(CsLifecycle, CreateGivesDistinctUnlockedSystems) {
    const int a = mpx_create_coord_sys("WGS84", "GEODETIC", "degrees");
    const int b = mpx_create_coord_sys("WGS84", "GEODETIC", "degrees");
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    for (int id : {a, b}) {
        const mpx_coord_sys *cs = cs_lookup(id);
        ASSERT_NE(cs, nullptr);
        EXPECT_EQ(cs->locked, 0);
        EXPECT_EQ(cs->ref_count, 1);
        EXPECT_EQ(cs->spare, 0);
        EXPECT_EQ(cs->aoi.x0, 1.0);
        EXPECT_EQ(cs->aoi.x1, 0.0);
        EXPECT_EQ(cs->resolution, 0.0);
    }
    EXPECT_EQ(take_errors(), Lines{});
}

TEST_F(CsLifecycle, CrelockSharesOneRecordUntilItsLastReferenceIsDeleted) {
    const int a = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees/height");
    const int b = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees/height");
    ASSERT_GT(a, 0);
    EXPECT_EQ(b, a);
    EXPECT_EQ(cs_lookup(a)->ref_count, 2);
    EXPECT_EQ(cs_lookup(a)->locked, 1);
    EXPECT_EQ(enumerate(), (std::vector<int>{a, a}));
    EXPECT_EQ(mpx_delete_coord_sys(&a), 0);
    EXPECT_NE(cs_lookup(a), nullptr);
    EXPECT_EQ(mpx_delete_coord_sys(&a), 0);
    EXPECT_EQ(cs_lookup(a), nullptr);
    EXPECT_EQ(enumerate(), std::vector<int>{});
}

TEST_F(CsLifecycle, SharingNeedsALockedSystemWithTheSameNamesAndLabels) {
    const int unlocked = mpx_create_coord_sys("WGS84", "GRID_B", "");
    // The loader replaced the empty label by "metres": that is what matches.
    const int first = mpx_crelock_coord_sys("WGS84", "GRID_B", "metres");
    const int other_vertical = mpx_crelock_coord_sys("WGS84", "GRID_B", "metres/feet");
    const int again = mpx_crelock_coord_sys("WGS84", "GRID_B", "metres");
    const int lower_case = mpx_crelock_coord_sys("wgs84", "GRID_B", "metres");
    EXPECT_NE(first, unlocked);
    EXPECT_NE(other_vertical, first);
    EXPECT_EQ(again, first);
    EXPECT_NE(lower_case, first);
    EXPECT_EQ(std::string(cs_lookup(other_vertical)->vertical_label), "feet");
}

TEST_F(CsLifecycle, TwentiethSystemIsRefusedAndFreedSlotsAreReusedLowestFirst) {
    for (int i = 1; i <= MPX_MAX_COORD_SYS; ++i)
        ASSERT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), i);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 0);
    EXPECT_EQ(take_errors(), (Lines{"S1:Too many coordinate systems (cs_create)"}));
    for (int id : {12, 5})
        ASSERT_EQ(mpx_delete_coord_sys(&id), 0);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 5);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 12);
}

TEST_F(CsLifecycle, NamesOfNineteenCharactersFitAndTwentyAreTooBig) {
    const std::string nineteen = "DATUM_19_CHARACTERS";
    ASSERT_EQ(nineteen.size(), 19u);
    EXPECT_EQ(mpx_create_coord_sys(nineteen.c_str(), "GEODETIC", "radians"), 1);
    EXPECT_EQ(take_errors(), Lines{});
    const std::string twenty = nineteen + "X";
    EXPECT_EQ(mpx_create_coord_sys(twenty.c_str(), "GEODETIC", "radians"), -1);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC_PROJECTIONS", "radians"), -1);
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees/metres_above"), -1);
    EXPECT_EQ(take_errors(), (Lines{"P1:Name too big", "P2:Name too big", "P2:Name too big"}));
    EXPECT_EQ(enumerate(), std::vector<int>{1});
}

TEST_F(CsLifecycle, MissingNamesAreRefusedAndMissingUnitsMeanNone) {
    EXPECT_EQ(mpx_create_coord_sys(nullptr, "GEODETIC", ""), -1);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", nullptr, ""), -1);
    EXPECT_EQ(take_errors(), (Lines{"P1:Missing name (cs_create)", "P2:Missing name (cs_create)"}));
    const int id = mpx_create_coord_sys("WGS84", "GEOCENTRIC", nullptr);
    ASSERT_EQ(id, 1);
    EXPECT_STREQ(cs_lookup(id)->horizontal_label, "");
}

TEST_F(CsLifecycle, FailedLoadReportsTwoLinesAndLeavesNoRecord) {
    EXPECT_EQ(mpx_create_coord_sys("NO_DATUM", "GEODETIC", "degrees"), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"U1:Datum not found", "S3:(mpx create_coord_sys) database load error"}));
    EXPECT_EQ(mpx_crelock_coord_sys("NO_DATUM", "GEODETIC", "degrees"), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"U1:Datum not found", "S3:(mpx_crelock_coord_sys) database load error"}));
    EXPECT_EQ(enumerate(), std::vector<int>{});
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC", "degrees"), 1);
}

TEST_F(CsLifecycle, CopyIsUnlockedWithItsOwnParametersAndTheSourceStatus) {
    const int source = mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "");
    ASSERT_GT(source, 0);
    ASSERT_EQ(mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "metres"), source);
    const int copy = mpx_copy_coord_sys(&source);
    ASSERT_GT(copy, 0);
    ASSERT_NE(copy, source);
    const mpx_coord_sys *s = cs_lookup(source);
    const mpx_coord_sys *c = cs_lookup(copy);
    EXPECT_EQ(c->locked, 0);
    EXPECT_EQ(c->ref_count, 1);
    EXPECT_EQ(c->status, s->status);
    EXPECT_EQ(c->status, MPX_STATUS_OTHER_PRIME_MERIDIAN);
    EXPECT_STREQ(c->horizontal_label, "metres");
    ASSERT_NE(c->params, s->params);
    const int size = proj_entry(s->projection.proj_index)->param_size;
    EXPECT_EQ(std::memcmp(c->params, s->params, static_cast<std::size_t>(size)), 0);
    // Changing the copy leaves the source alone.
    static_cast<double *>(c->params)[0] = 99.0;
    EXPECT_EQ(static_cast<double *>(s->params)[0], 0.0);
    // A copy of a geodetic system has no parameter record to copy.
    const int geodetic = mpx_create_coord_sys("WGS84", "GEODETIC", "grads");
    const int geodetic_copy = mpx_copy_coord_sys(&geodetic);
    ASSERT_GT(geodetic_copy, 0);
    EXPECT_EQ(cs_lookup(geodetic_copy)->params, nullptr);
    EXPECT_EQ(cs_lookup(geodetic_copy)->horizontal_factor, cs_lookup(geodetic)->horizontal_factor);
}

TEST_F(CsLifecycle, CopyFailuresAreReportedAndLeaveNoRecord) {
    const int missing = 7;
    EXPECT_EQ(mpx_copy_coord_sys(&missing), -1);
    EXPECT_EQ(take_errors(), (Lines{"P1:id not found (cs_copy)", "P3:(mpx_copy_coord_sys) error"}));
    const int source = mpx_create_coord_sys("WGS84", "GRID_B", "");
    ASSERT_EQ(source, 1);
    take_errors();
    qmsc_FailAfter(1); // the record, not its parameters
    EXPECT_EQ(mpx_copy_coord_sys(&source), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_errors(), (Lines{"S1:memory shortage", "S2:(mpx_copy_coord_sys",
                                    "P3:(mpx_copy_coord_sys) error"}));
    EXPECT_EQ(enumerate(), std::vector<int>{1});
}

TEST_F(CsLifecycle, InvalidIdentifiersAreReportedByEveryOperation) {
    const int id = mpx_create_coord_sys("WGS84", "GEODETIC", "");
    ASSERT_EQ(id, 1);
    for (const int bad : {0, 2, 19, 20, -1}) {
        EXPECT_EQ(mpx_lock_coord_sys(&bad), -1);
        EXPECT_EQ(mpx_inq_status_coord_sys(&bad), -1);
        EXPECT_EQ(mpx_delete_coord_sys(&bad), -1);
        EXPECT_EQ(take_errors(), (Lines{"P3:(mpx_lock_coord_sys) id not found",
                                        "P3:(mpx_inq_status_coord_sys) id not found",
                                        "P1:Deleting non-existent coord_sys (cs_delete)",
                                        "P3:(mpx_delete_coord_sys) error"}))
            << "id " << bad;
    }
    EXPECT_EQ(mpx_lock_coord_sys(nullptr), -1);
    EXPECT_EQ(mpx_delete_coord_sys(nullptr), -1);
    take_errors();
    EXPECT_EQ(mpx_lock_coord_sys(&id), 0);
    EXPECT_EQ(cs_lookup(id)->locked, 1);
    EXPECT_EQ(mpx_inq_status_coord_sys(&id), 0);
}

TEST_F(CsLifecycle, EveryDeletedReferenceIsAnnouncedToTheListener) {
    g_deleted.clear();
    cs_set_listener({on_delete, on_clear});
    const int shared = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees");
    ASSERT_EQ(mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees"), shared);
    const int bad = 9;
    mpx_delete_coord_sys(&bad);
    EXPECT_EQ(mpx_delete_coord_sys(&shared), 0);
    EXPECT_EQ(g_deleted, std::vector<int>{shared});
    EXPECT_NE(cs_lookup(shared), nullptr);
    // Checking a creation takes and deletes one reference of the shared
    // system, which is announced like any deletion.
    EXPECT_EQ(mpx_check_creation_coord_sys("WGS84", "GEODETIC", "degrees"), 0);
    EXPECT_EQ(g_deleted, (std::vector<int>{shared, shared}));
    EXPECT_EQ(cs_lookup(shared)->ref_count, 1);
    cs_set_listener({});
}

TEST_F(CsLifecycle, EnumerationYieldsEachReferenceAndDeletingThemEmptiesTheTable) {
    EXPECT_EQ(enumerate(), std::vector<int>{});
    const int a = mpx_create_coord_sys("WGS84", "GEODETIC", "");
    const int b = mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "");
    mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "");
    mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "");
    const int c = mpx_create_coord_sys("WGS84", "GRID_B", "");
    EXPECT_EQ(enumerate(), (std::vector<int>{a, b, b, b, c}));
    const int zero = 0;
    const int more = 1;
    for (int id = mpx_next_coord_sys(&zero); id != 0; id = mpx_next_coord_sys(&more))
        ASSERT_EQ(mpx_delete_coord_sys(&id), 0);
    EXPECT_EQ(enumerate(), std::vector<int>{});
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC", ""), 1);
}

TEST_F(CsLifecycle, RecordShortageIsReportedAndReturnsZero) {
    qmsc_FailAfter(0);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC", ""), 0);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_errors(), (Lines{"S1:Memory shortage (cs_create)"}));
}

// Every allocation of a field system's creation fails in turn: each
// attempt ends in a report, never a crash, and leaves no record behind
// (the sanitizer build checks that nothing leaks either).
TEST_F(CsLifecycle, AllocationFailuresAnywhereInACreationLeaveNoRecord) {
    for (long successes = 0; successes < 40; ++successes) {
        qmsc_FailAfter(successes);
        int id = mpx_create_coord_sys("WGS84", "FIELD_TWO", "");
        qmsc_FailAfter(-1);
        if (id > 0) {
            EXPECT_EQ(mpx_delete_coord_sys(&id), 0);
            break;
        }
        EXPECT_FALSE(take_errors().empty()) << successes;
        EXPECT_EQ(enumerate(), std::vector<int>{}) << successes;
    }
}

TEST(CsInitialisation, FailedInitialisationIsRetriedAndCreationGoesOn) {
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/partial/", 1);
    registry_test::ErrorLines errors;
    g_cleared = 0;
    cs_set_listener({on_delete, on_clear});
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), -1);
    EXPECT_EQ(cs_initialised(), 0);
    EXPECT_EQ(errors.take(),
              (Lines{"S1:GDB:opening the file", "S2:GDB:opening the file",
                     "S2:initialising the database", "S2:GDB:Att name not found", "S2:(cs_db_load)",
                     "S3:(mpx create_coord_sys) database load error"}));
    EXPECT_EQ(cs_initialise(), -1);
    EXPECT_EQ(g_cleared, 2);
    cs_set_listener({});
}

TEST(CsInitialisation, BuildsTheRecordDescriptorsAndTheSpecialEntry) {
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/db/", 1);
    ASSERT_EQ(cs_initialise(), 0);
    EXPECT_EQ(cs_initialised(), 1);
    struct Expected {
        CsDescriptor which;
        const char *name;
        int count;
    };
    for (const Expected &e :
         {Expected{CsDescriptor::Units, "units", 4}, Expected{CsDescriptor::Aoi, "aoi", 4},
          Expected{CsDescriptor::Resolution, "resolution", 1},
          Expected{CsDescriptor::Datum, "datum", 5},
          Expected{CsDescriptor::Projection, "projection", 2},
          Expected{CsDescriptor::Affine, "Affine", 6},
          Expected{CsDescriptor::Special, "special...", 0}}) {
        const struct_desc *d = cs_descriptor(e.which);
        ASSERT_NE(d, nullptr) << e.name;
        EXPECT_STREQ(d->name, e.name);
        EXPECT_EQ(d->count, e.count) << e.name;
    }
    const struct_desc *units = cs_descriptor(CsDescriptor::Units);
    EXPECT_EQ(units->attributes[1].offset,
              static_cast<int>(offsetof(mpx_coord_sys, horizontal_factor)));
    EXPECT_EQ(units->attributes[1].access_class, MPX_ACCESS_READ_ONLY);
    EXPECT_EQ(cs_descriptor(CsDescriptor::Aoi)->attributes[3].offset, 24);
    EXPECT_EQ(cs_descriptor(CsDescriptor::Affine)->attributes[4].access_class, MPX_ACCESS_HIDDEN);
    EXPECT_EQ(proj_entry(MPX_SPECIAL_PROJECTION)->descriptor, cs_descriptor(CsDescriptor::Special));
    EXPECT_EQ(cs_initialise(), 0); // once only
}
