// The coordinate-system table: creation, sharing, copies, deletion, the
// enumeration, the identifier checks and the one-time initialisation.
#include "frame/support.hpp"
#include "tests/common/fresh_process.hpp"
#include "tests/cs/cs_fixture.hpp"

#include <cstring>

namespace {

Ids g_deleted;
int g_cleared = 0;
void on_delete(int id) noexcept { g_deleted.push_back(id); }
void on_clear() noexcept { ++g_cleared; }

} // namespace

using CsLifecycle = CsTest;

TEST_F(CsLifecycle, CrelockSharesLockedSystemsAndTheEnumerationYieldsEachReference) {
    const int a = mpx_create_coord_sys("WGS84", "GEODETIC", ""); // loaded as "degrees"
    const int b = mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "m/up");
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "m/up"), b);
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "m/up"), b);
    // Not shared: an unlocked system, another vertical label, another case.
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees"), 3);
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEOCENTRIC", "m/down"), 4);
    EXPECT_EQ(mpx_crelock_coord_sys("wgs84", "GEOCENTRIC", "m/up"), 5);
    EXPECT_EQ(enumerate(), (Ids{a, b, b, b, 3, 4, 5}));
    EXPECT_EQ(mpx_delete_coord_sys(&b), 0);
    EXPECT_EQ(enumerate(), (Ids{a, b, b, 3, 4, 5})); // still there
    const int zero = 0, more = 1;
    for (int id = mpx_next_coord_sys(&zero); id != 0; id = mpx_next_coord_sys(&more))
        ASSERT_EQ(mpx_delete_coord_sys(&id), 0);
    EXPECT_EQ(enumerate(), Ids{});
}

TEST_F(CsLifecycle, FailedCreationsLeaveNoRecordAndTheTwentiethIsRefused) {
    EXPECT_EQ(mpx_create_coord_sys("NO_DATUM", "GEODETIC", "degrees"), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"U1:Datum not found", "S3:(mpx create_coord_sys) database load error"}));
    EXPECT_EQ(mpx_crelock_coord_sys("NO_DATUM", "GEODETIC", "degrees"), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"U1:Datum not found", "S3:(mpx_crelock_coord_sys) database load error"}));
    EXPECT_EQ(mpx_create_coord_sys("DATUM_19_CHARACTERS", "GEODETIC", "radians"), 1);
    EXPECT_EQ(mpx_create_coord_sys("DATUM_20_CHARACTERSX", "GEODETIC", "radians"), -1);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEODETIC_PROJECTIONS", "radians"), -1);
    EXPECT_EQ(mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees/metres_above"), -1);
    EXPECT_EQ(mpx_create_coord_sys(nullptr, "GEODETIC", ""), -1);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", nullptr, ""), -1);
    EXPECT_EQ(take_errors(), (Lines{"P1:Name too big", "P2:Name too big", "P2:Name too big",
                                    "P2:Missing name (cs_create)", "P2:Missing name (cs_create)"}));
    EXPECT_EQ(enumerate(), Ids{1});
    ASSERT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", nullptr), 2); // no units: no labels
    EXPECT_STREQ(cs_lookup(2)->horizontal_label, "");
    for (int i = 3; i <= MPX_MAX_COORD_SYS; ++i)
        ASSERT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), i);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 0);
    EXPECT_EQ(take_errors(), Lines{"S2:Too many coordinate systems (cs_create)"}); // chain runs on
    for (int id : {12, 5}) // freed slots are reused lowest first
        ASSERT_EQ(mpx_delete_coord_sys(&id), 0);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 5);
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), 12);
}

TEST_F(CsLifecycle, CopyIsUnlockedWithItsOwnParametersAndTheSourceStatus) {
    const int source = mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "");
    ASSERT_EQ(mpx_crelock_coord_sys("WGS84", "PARIS_GRID", "metres"), source);
    const int copy = mpx_copy_coord_sys(&source);
    ASSERT_GT(copy, source);
    const mpx_coord_sys *s = cs_lookup(source), *c = cs_lookup(copy);
    EXPECT_TRUE(c->locked == 0 && c->ref_count == 1);
    EXPECT_EQ(c->status, MPX_STATUS_OTHER_PRIME_MERIDIAN);
    const auto size = static_cast<std::size_t>(proj_entry(s->projection.proj_index)->param_size);
    EXPECT_EQ(std::memcmp(c->params, s->params, size), 0);
    static_cast<double *>(c->params)[0] = 99.0; // the source keeps its own
    EXPECT_EQ(static_cast<double *>(s->params)[0], 0.0);
    const int geodetic = mpx_create_coord_sys("WGS84", "GEODETIC", "grads");
    EXPECT_EQ(cs_lookup(mpx_copy_coord_sys(&geodetic))->params, nullptr);
    EXPECT_EQ(take_errors(), Lines(2, "Inconsistent datum/projection pair"));
    const int missing = 7;
    EXPECT_EQ(mpx_copy_coord_sys(&missing), -1);
    EXPECT_EQ(take_errors(), (Lines{"P1:id not found (cs_copy)", "P3:(mpx_copy_coord_sys) error"}));
    qmsc_FailAfter(1); // the record, not its parameters
    EXPECT_EQ(mpx_copy_coord_sys(&source), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(take_errors(), (Lines{"S1:memory shortage", "S2:(mpx_copy_coord_sys",
                                    "P3:(mpx_copy_coord_sys) error"}));
    EXPECT_EQ(enumerate(), (Ids{source, source, copy, geodetic, geodetic + 1}));
}

// Transformations hear of every deleted reference, even of a shared system.
TEST_F(CsLifecycle, InvalidIdentifiersAreRefusedAndEveryDeletedReferenceAnnounced) {
    cs_set_listener({on_delete, on_clear});
    const int shared = mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees");
    ASSERT_EQ(mpx_crelock_coord_sys("WGS84", "GEODETIC", "degrees"), shared);
    for (const int bad : {0, 2, 20}) {
        EXPECT_EQ(mpx_lock_coord_sys(&bad), -1);
        EXPECT_EQ(mpx_inq_status_coord_sys(&bad), -1);
        EXPECT_EQ(mpx_delete_coord_sys(&bad), -1);
        EXPECT_EQ(take_errors(), (Lines{"P3:(mpx_lock_coord_sys) id not found",
                                        "P3:(mpx_inq_status_coord_sys) id not found",
                                        "P1:Deleting non-existent coord_sys (cs_delete)",
                                        "P3:(mpx_delete_coord_sys) error"}))
            << bad;
    }
    EXPECT_EQ(mpx_lock_coord_sys(nullptr) + mpx_delete_coord_sys(nullptr), -2);
    EXPECT_EQ(mpx_delete_coord_sys(&shared), 0);
    EXPECT_EQ(mpx_check_creation_coord_sys("WGS84", "GEODETIC", "degrees"), 0);
    EXPECT_EQ(g_deleted, (Ids{shared, shared}));
    EXPECT_EQ(cs_lookup(shared)->ref_count, 1);
}

// Each allocation of a field system's creation fails in turn: a report, no
// record left behind (and, under the sanitizers, no leak).
TEST_F(CsLifecycle, AllocationFailuresAnywhereInACreationLeaveNoRecord) {
    for (long successes = 0; successes < 40; ++successes) {
        qmsc_FailAfter(successes);
        const int id = mpx_create_coord_sys("WGS84", "FIELD_TWO", "");
        qmsc_FailAfter(-1);
        if (id > 0)
            break;
        const Lines lines = take_errors();
        EXPECT_TRUE(successes > 0 ? !lines.empty()
                                  : lines == Lines{"S1:Memory shortage (cs_create)"});
        EXPECT_EQ(enumerate(), Ids{}) << successes;
    }
}

TEST(CsInitialisation, FailedInitialisationIsRetriedAndCreationGoesOn) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/partial/", 1);
    test_support::collect_errors();
    cs_set_listener({on_delete, on_clear});
    EXPECT_EQ(mpx_create_coord_sys("WGS84", "GEOCENTRIC", ""), -1);
    EXPECT_EQ(take_errors(),
              (Lines{"S1:GDB:opening the file", "S2:GDB:opening the file",
                     "S2:initialising the database", "S2:GDB:Att name not found", "S2:(cs_db_load)",
                     "S3:(mpx create_coord_sys) database load error"}));
    EXPECT_EQ(cs_initialise(), -1);
    EXPECT_EQ(g_cleared, 1); // the retry clears nothing
}

// The other descriptors show in the diagnostic dump and in field systems.
TEST(CsInitialisation, BuildsTheSpecialEntryAndTheAccessClasses) {
    MPX_SKIP_UNLESS_FRESH_PROCESS();
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/cs/data/db/", 1);
    ASSERT_EQ(cs_initialise(), 0);
    const struct_desc *special = proj_entry(MPX_SPECIAL_PROJECTION)->descriptor;
    ASSERT_EQ(special, cs_descriptor(CsDescriptor::Special));
    EXPECT_STREQ(special->name, "special...");
    EXPECT_EQ(cs_descriptor(CsDescriptor::Units)->attributes[1].access_class, MPX_ACCESS_READ_ONLY);
    EXPECT_EQ(cs_descriptor(CsDescriptor::Affine)->attributes[4].access_class, MPX_ACCESS_HIDDEN);
}
