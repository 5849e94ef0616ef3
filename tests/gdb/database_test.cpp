// The geodetic database: where it lives, the table format, the six-slot
// table cache, record selection and listing, and loading values and whole
// described records.
#include "frame/support.hpp"
#include "tests/common/fresh_process.hpp"
#include "tests/common/message_log.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {

class GdbTest : public testing::Test {
  protected:
    // Each test runs in its own process, so the variable holds until it ends.
    // The fixture tables are named without the '/' that the lookup appends.
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/gdb/data", 1);
    }
    static std::string text(const char *column) {
        char value[600] = "untouched";
        return gdb_load(column, "s", value) == 0 ? value : "failed";
    }
};

TEST_F(GdbTest, KeyIsACaseInsensitivePrefixAndFileOrderWins) {
    // Found names are upper-cased as far as matched; a key of 20 characters is refused.
    // clang-format off
    const char *const cases[][2] = {
        {"WGS84", "WGS84"}, {"wgs84", "WGS84"}, {"WGS", "WGS84"}, {"WGS84B", "WGS84B"},
        {"wgs7", "WGS72"}, {"ed", "ED50"}, {"NTF", "NTF"}, {"BLANKS", "-"}, {"NAD27", "-"},
        {"WGS84BX", "-"}, {"ABCDEFGHIJKLMNOPQRS", "-"}, {"WGS84WGS84WGS84WGS84", "-"}};
    // clang-format on
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    for (const auto &c : cases)
        EXPECT_EQ(gdb_set_name_key(c[0]) == 0 ? text("name") : "-", c[1]) << c[0];
    EXPECT_EQ(gdb_load("name", "s", nullptr), -1); // the failed search dropped the record
    EXPECT_EQ(reported, "P1:GDB:No key for gdb_load\n");
}

TEST_F(GdbTest, FieldsReadLikeTheStandardConversions) {
    // Key, column, and the field read as 'd', 'l', 'c' and 's'.
    const std::tuple<const char *, const char *, double, std::int32_t, char, const char *> cases[] =
        {{"NTF", "radius", 6378249.2, 6378249, '6', "6378249.2 junk"},
         {"NTF", "remark", 0.0, 0, 'a', "a,b,c\n"}, // the last column runs to the line's end
         {"ED50", "flag", 0.0, 0, '\0', ""},        // beyond the record's four fields
         {"WGS84B", "radius", 1.0, 1, '1', "1\t"},  // tabs are skipped, never trimmed
         {"BIG", "radius", 99999999999.0, INT32_MAX, '9', "99999999999"},
         {"BIG", "eccentricity", -99999999999.0, INT32_MIN, '-', "-99999999999"}};
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    for (const auto &[key, column, d, l, c, s] : cases) {
        ASSERT_EQ(gdb_set_name_key(key), 0);
        std::tuple<double, std::int32_t, char> got{-1.0, -1, 'x'};
        auto &[as_d, as_l, as_c] = got;
        EXPECT_EQ(gdb_load(column, "d", &as_d) + gdb_load(column, "l", &as_l) +
                      gdb_load(column, "c", &as_c),
                  0);
        EXPECT_EQ(got, std::make_tuple(d, l, c)) << key << " " << column;
        EXPECT_EQ(text(column), s) << key << " " << column;
    }
}

TEST_F(GdbTest, ListingSelectsEachRecordInFileOrderAfterARewind) {
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    char name[600] = "untouched";
    ASSERT_EQ(gdb_next_name_key(name), 0); // right after a selection it only rewinds
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(gdb_load("radius", "s", name), 1);
    ASSERT_EQ(gdb_next_name_key(name), 0);
    EXPECT_EQ(text("radius"), "6378137.0");
    ASSERT_EQ(gdb_set_table("tm"), 0);
    ASSERT_EQ(gdb_set_table("datum_sp"), 0); // a cache hit too: the next call only rewinds
    ASSERT_EQ(gdb_next_name_key(name), 0);
    std::string names;
    for (int i = 0; i < 20 && gdb_next_name_key(name) == 0; ++i)
        names += std::string(name) + " ";
    EXPECT_EQ(names, "WGS84 wgs72 BLANKS ED50 NTF WGS84B BIG ");
    EXPECT_EQ(gdb_next_name_key(name), 1);
}

TEST_F(GdbTest, StructLoadFillsVisibleAttributesInOrderUntilOneFails) {
    struct Record {
        std::int32_t zone;
        double radius, scale_factor, last;
        char label[200];
    } record{};
    // The attribute described last, the record, and the values loaded (0 when refused).
    const std::tuple<const char *, const char *, double, double> cases[] = {
        {"false_north", "GK3", 1.0, -5000000.5},
        {"%origin", "UTM32N", 0.9996, 0.0}, // read-only: refused
        {"label", "GK3", 1.0, 0.0},         // longer than the value buffer
        {"absent", "GK3", 1.0, 0.0}};       // every listed name needs its column
    ASSERT_EQ(gdb_set_table("tm"), 0);
    for (const auto &[last, key, scale, value] : cases) {
        struct_begin("tm", &record);
        struct_add(".zone", &record.zone, 'l');
        struct_add("spheroid.radius", &record.radius, 'd');
        struct_add("scale_factor", &record.scale_factor, 'd');
        last[0] == 'l' ? struct_add(last, record.label, 's') : struct_add(last, &record.last, 'd');
        struct_desc *d = end_definition();
        record = {32, 6378137.0, 0.0, 0.0, ""};
        ASSERT_EQ(gdb_set_name_key(key), 0);
        EXPECT_EQ(gdb_struct_load(d, &record), value == 0.0 ? -1 : 0) << last;
        EXPECT_EQ(std::tie(record.zone, record.radius, record.scale_factor, record.last),
                  std::make_tuple(32, 6378137.0, scale, value))
            << last;
    }
    EXPECT_EQ(reported, "S1:STR:Attribute is not modifiable (struct_mod)\n"
                        "S2:STR:result too large for the string\nS2:GDB:Att name not found\n");
}

// A folder named like a table: Windows refuses to open it as a file;
// elsewhere it opens and its first read fails.
#ifdef _WIN32
constexpr char kFolderReport[] = "S2:GDB:opening the file\n";
#else
constexpr char kFolderReport[] = "S2:GDB:reading the file\n";
#endif

TEST_F(GdbTest, MisuseUnknownNamesAndUnreadableTablesAreReported) {
    int sample = 0;
    struct_begin("one", &sample);
    struct_add("code", &sample, 'l');
    struct_desc *d = end_definition();
    char name[64];
    EXPECT_EQ(gdb_next_name_key(name), -1);
    EXPECT_EQ(gdb_set_table("absent"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1); // a failed selection leaves no table
    EXPECT_EQ(gdb_set_table("empty"), -1);
    EXPECT_EQ(gdb_set_table("folder"), -1);
    ASSERT_EQ(gdb_set_table("empty"), 0); // cached with no columns
    EXPECT_EQ(gdb_set_name_key("X"), -1);
    EXPECT_EQ(gdb_next_name_key(nullptr), -2);
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqrst"), -1); // 20 characters: no report
    ASSERT_EQ(gdb_set_table("abcdefghijklmnopqrs"), 0);
    ASSERT_EQ(gdb_set_name_key("nineteen"), 0);
    EXPECT_EQ(gdb_load("Name", "s", name), -1); // column names are case-sensitive
    EXPECT_EQ(gdb_load("name", "x", name), -1);
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_struct_load(d, &sample), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(reported, "P1:GDB:No table in gdb_next_name_key\nS2:GDB:opening the file\n"
                        "P2:GDB:No table in gdb_set_key\nS2:GDB:reading the file\n" +
                            std::string(kFolderReport) +
                            "S2:GDB:reading the file\n"
                            "S2:GDB:reading the file\nS2:GDB:Att name not found\n"
                            "P2:GDB:Bad data type\nS2:GDB:memory shortage\n");
}

TEST_F(GdbTest, SeventhTableEvictsTheSixthAndCachedOnesReadNoFile) {
    for (const char *table : {"datum_sp", "tm", "wide", "long", "abcdefghijklmnopqrs", "t6", "t7"})
        ASSERT_EQ(gdb_set_table(table), 0) << table;
    qmsc_FailAfter(0); // opening a file takes a header copy
    for (const char *table : {"datum_sp", "t7", "long"})
        EXPECT_EQ(gdb_set_table(table), 0) << table;
    EXPECT_EQ(gdb_set_table("t6"), -1);
    qmsc_FailAfter(-1);
    ASSERT_EQ(gdb_set_table("t6"), 0); // the failed open left the slot free
    ASSERT_EQ(gdb_set_name_key("s6"), 0);
    EXPECT_EQ(text("v"), "6\n");
    EXPECT_EQ(reported, "S1:GDB:memory shortage\n");
}

TEST_F(GdbTest, LongLinesAreReadInPiecesAndWideHeadersFoldIntoTheFortiethName) {
    ASSERT_EQ(gdb_set_table("long"), 0);
    ASSERT_EQ(gdb_next_name_key(nullptr), 0);
    char name[512];
    std::string lengths;
    for (int i = 0; i < 10 && gdb_next_name_key(name) == 0; ++i)
        lengths += std::to_string(std::string(name).size()) + " ";
    EXPECT_EQ(lengths, "511 511 511 467 4 "); // the newline of the last piece ends its field
    ASSERT_EQ(gdb_set_table("wide"), 0);
    ASSERT_EQ(gdb_set_name_key("R"), 0);
    EXPECT_EQ(text("c38") + text("c39"), "38failed");
    EXPECT_EQ(text("c39,c40,c41,c42,c43,c44,c45,c46,c47,c48,c49,c50,c51,c52,c53,c54,c55,c56,c57,"
                   "c58,c59\n"),
              "39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,58,59\n");
    EXPECT_EQ(reported, "S1:GDB:Att name not found\n");
}

TEST_F(GdbTest, UnsetVariableMeansTheBuiltInDirectory) {
    unsetenv("TORVA_ORTIX_DIR");
    EXPECT_STREQ(gdb_grid_path(), MPX_DEFAULT_DB_DIR);
}

TEST_F(GdbTest, EmptyVariableCountsAsUnset) {
    setenv("TORVA_ORTIX_DIR", "", 1);
    EXPECT_STREQ(gdb_path(), MPX_DEFAULT_DB_DIR);
}

TEST_F(GdbTest, SybasePrefixChoosesTheUnsupportedServerForGood) {
    setenv("TORVA_ORTIX_DIR", "SYBASE/server", 1);
    EXPECT_STREQ(gdb_path(), "server");
    EXPECT_EQ(gdb_set_db(MPX_DB_FLAT_FILES), 0); // too late: the lookup chose
    testing::internal::CaptureStdout();
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n NO SYBASE ! ");
}

TEST_F(GdbTest, HostForcesTheTypeBeforeTheLookup) {
    setenv("TORVA_ORTIX_DIR", "/data/ortix/", 1);
    EXPECT_EQ(gdb_set_db(9), -1);
    EXPECT_EQ(gdb_set_db(MPX_DB_SYBASE), 0);
    EXPECT_EQ(gdb_set_db(MPX_DB_FLAT_FILES), 0); // ignored once chosen
    EXPECT_STREQ(gdb_path(), "/data/ortix/");    // a trailing '/' is kept
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);    // the lookup keeps the type
    EXPECT_EQ(reported, "P1:GDB:Bad database type\n");
}

TEST_F(GdbTest, DirectoryWithoutMemoryIsReportedAndRetriedAndMustFitTheLine) {
    setenv("TORVA_ORTIX_DIR", ("/" + std::string(488, 'd')).c_str(), 1); // 490 with its '/'
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_path(), nullptr);
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqr"), -1); // 490 + 18 + 4 = 512
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopq"), -1);  // 511 fits, but no such file
    EXPECT_EQ(reported, "S1:Memory shortage\nS2:Memory shortage\nS2:GDB:file-name too big\n"
                        "S2:GDB:opening the file\n");
}

} // namespace
