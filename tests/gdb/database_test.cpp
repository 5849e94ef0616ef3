// The geodetic database: where it lives, the table format, the six-slot
// table cache, record selection and listing, and loading values and whole
// described records.
#include "frame/support.hpp"
#include "tests/common/message_log.hpp"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

namespace {

constexpr char kData[] = MPX_SOURCE_DIR "tests/gdb/data"; // the lookup appends the '/'
constexpr char kNoSybase[] = "\n NO SYBASE ! ";

class GdbTest : public MessageLogTest {
  protected:
    // Each test runs in its own process, so the variable holds until it ends.
    void SetUp() override {
        MessageLogTest::SetUp();
        setenv("TORVA_ORTIX_DIR", kData, 1);
    }
    static std::string text(const char *column) {
        char value[600] = "untouched";
        return gdb_load(column, "s", value) == 0 ? value : "failed";
    }
};

TEST_F(GdbTest, KeyIsACaseInsensitivePrefixAndFileOrderWins) {
    const char *const cases[][2] = {
        {"WGS84", "WGS84"},
        {"wgs84", "WGS84"},
        {"WGS", "WGS84"},
        {"WGS84B", "WGS84B"},
        {"wgs7", "WGS72"}, // the matched part is upper-cased in the record
        {"ed", "ED50"},
        {"NTF", "NTF"},
        {"BLANKS", "-"}, // the raw line starts with blanks
        {"NAD27", "-"},
        {"WGS84BX", "-"},
        {"ABCDEFGHIJKLMNOPQRS", "-"},
        {"WGS84WGS84WGS84WGS84", "-"}, // 20 characters: refused outright
    };
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    for (const auto &c : cases)
        EXPECT_EQ(gdb_set_name_key(c[0]) == 0 ? text("name") : "-", c[1]) << c[0];
    EXPECT_EQ(gdb_set_name_key(nullptr), -1);
    EXPECT_EQ(reported, "");
    EXPECT_EQ(gdb_load("name", "s", nullptr), -1); // the failed search dropped the record
    EXPECT_EQ(reported, "P1:GDB:No key for gdb_load\n");
}

TEST_F(GdbTest, FieldsReadLikeTheStandardConversions) {
    struct Case {
        const char *key, *column;
        double d;
        std::int32_t l;
        char c;
        const char *s;
    };
    const Case cases[] = {
        {"WGS84", "radius", 6378137.0, 6378137, '6', "6378137.0"},
        {"WGS84", "remark", 0.0, 0, 'W', "World Geodetic System 1984\n"}, // the last column
        {"NTF", "radius", 6378249.2, 6378249, '6', "6378249.2 junk"},
        {"NTF", "eccentricity", 0.0, 0, 'a', "abc"},
        {"NTF", "code", 4275.0, 4275, '4', "4275  x"},
        {"NTF", "flag", 0.0, 0, '\0', ""},
        {"NTF", "remark", 0.0, 0, 'a', "a,b,c\n"},
        {"ED50", "flag", 0.0, 0, '\0', ""},       // beyond the record's four fields
        {"WGS84B", "radius", 1.0, 1, '1', "1\t"}, // tabs are skipped, never trimmed
        {"BIG", "radius", 99999999999.0, INT32_MAX, '9', "99999999999"},
        {"BIG", "eccentricity", -99999999999.0, INT32_MIN, '-', "-99999999999"},
    };
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    for (const Case &c : cases) {
        ASSERT_EQ(gdb_set_name_key(c.key), 0);
        double d = -1.0;
        std::int32_t l = -1;
        char ch = 'x';
        EXPECT_EQ(gdb_load(c.column, "d", &d) + gdb_load(c.column, "l", &l) +
                      gdb_load(c.column, "c", &ch),
                  0);
        EXPECT_EQ(std::tie(d, l, ch), std::tie(c.d, c.l, c.c)) << c.key << " " << c.column;
        EXPECT_EQ(text(c.column), c.s) << c.key << " " << c.column;
    }
    EXPECT_EQ(reported, "");
}

TEST_F(GdbTest, ListingSelectsEachRecordInFileOrderAfterARewind) {
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    char name[600] = "untouched";
    double radius = -1.0;
    ASSERT_EQ(gdb_next_name_key(name), 0); // right after a selection it only rewinds
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(gdb_load("radius", "d", &radius), 1);
    ASSERT_EQ(gdb_next_name_key(name), 0);
    EXPECT_EQ(gdb_load("radius", "d", &radius), 0);
    EXPECT_EQ(radius, 6378137.0);
    ASSERT_EQ(gdb_set_table("tm"), 0);
    ASSERT_EQ(gdb_set_table("datum_sp"), 0); // a cache hit rewinds too
    std::string names;
    for (int i = 0; i < 20 && gdb_next_name_key(name) == 0; ++i)
        names += std::string(name) + " ";
    EXPECT_EQ(names, "WGS84 WGS84 wgs72 BLANKS ED50 NTF WGS84B BIG ");
    EXPECT_EQ(gdb_next_name_key(name), 1);
}

TEST_F(GdbTest, StructLoadFillsVisibleAttributesInOrderUntilOneFails) {
    struct Record {
        std::int32_t zone;
        double radius, false_east, scale_factor, extra;
        char label[200];
    } sample{};
    const std::tuple<const char *, const char *, const char *, int, double> cases[] = {
        {"false_north", "tm", "GK3", 0, -5000000.5},
        {"%origin", "tm", "UTM32N", -1, 0.0},           // read-only: refused
        {"label", "tm", "GK3", -1, 0.0},                // longer than the value buffer
        {"false_north", "datum_sp", "WGS84", -1, 0.0}}; // every listed name needs its column
    for (const auto &[extra, table, key, result, value] : cases) {
        ASSERT_EQ(struct_begin("tm", &sample), 0);
        struct_add(".zone", &sample.zone, 'l');
        struct_add("spheroid.radius", &sample.radius, 'd');
        struct_add("false_east", &sample.false_east, 'd');
        struct_add("scale_factor", &sample.scale_factor, 'd');
        const bool text = std::string(extra) == "label";
        struct_add(extra, text ? static_cast<void *>(sample.label) : &sample.extra,
                   text ? 's' : 'd');
        Record record{32, 6378137.0, 0.0, 0.0, 0.0, ""};
        ASSERT_EQ(gdb_set_table(table), 0);
        ASSERT_EQ(gdb_set_name_key(key), 0);
        EXPECT_EQ(gdb_struct_load(end_definition(), &record), result) << extra;
        const bool tm = std::string(table) == "tm";
        EXPECT_EQ(std::tie(record.zone, record.radius, record.extra),
                  std::make_tuple(32, 6378137.0, value));
        EXPECT_EQ(record.scale_factor, !tm ? 0.0 : key[0] == 'G' ? 1.0 : 0.9996) << extra;
        EXPECT_STREQ(record.label, "");
    }
    EXPECT_EQ(reported, "S1:STR:Attribute is not modifiable (struct_mod)\n"
                        "S2:STR:result too large for the string\nS2:GDB:Att name not found\n");
}

TEST_F(GdbTest, MisuseAndUnknownNamesAreReported) {
    int sample = 0;
    ASSERT_EQ(struct_begin("one", &sample), 0);
    struct_add("code", &sample, 'l');
    struct_desc *d = end_definition();
    char name[64];
    EXPECT_EQ(gdb_load("code", "l", &sample), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1);
    EXPECT_EQ(gdb_next_name_key(name), -1);
    EXPECT_EQ(gdb_set_table("absent"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1);             // a failed selection leaves no table
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqrst"), -1); // 20 characters: no report
    EXPECT_EQ(gdb_set_table(nullptr), -1);
    ASSERT_EQ(gdb_set_table("abcdefghijklmnopqrs"), 0);
    ASSERT_EQ(gdb_set_name_key("nineteen"), 0);
    EXPECT_EQ(gdb_load("Name", "s", name), -1); // column names are case-sensitive
    EXPECT_EQ(gdb_load("name", "x", name), -1);
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_struct_load(d, &sample), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(reported, "P1:GDB:No key for gdb_load\nP2:GDB:No table in gdb_set_key\n"
                        "P2:GDB:No table in gdb_next_name_key\nS2:GDB:opening the file\n"
                        "P2:GDB:No table in gdb_set_key\nS2:GDB:Att name not found\n"
                        "P2:GDB:Bad data type\nS2:GDB:memory shortage\n");
}

TEST_F(GdbTest, SeventhTableEvictsTheSixthAndCachedOnesReadNoFile) {
    for (const char *table :
         {"datum_sp", "tm", "wide", "long", "abcdefghijklmnopqrs", "sixth", "seventh"})
        ASSERT_EQ(gdb_set_table(table), 0) << table;
    qmsc_FailAfter(0); // opening a file takes a header copy
    for (const char *table : {"datum_sp", "seventh", "long"})
        EXPECT_EQ(gdb_set_table(table), 0) << table;
    EXPECT_EQ(gdb_set_table("sixth"), -1);
    qmsc_FailAfter(-1);
    ASSERT_EQ(gdb_set_table("sixth"), 0); // the failed open left the slot free
    ASSERT_EQ(gdb_set_name_key("s6"), 0);
    EXPECT_EQ(text("v"), "6\n");
    EXPECT_EQ(reported, "S1:GDB:memory shortage\n");
}

TEST_F(GdbTest, EmptyAndUnreadableFilesStayCachedWithoutColumns) {
    EXPECT_EQ(gdb_set_table("empty"), -1);
    EXPECT_EQ(gdb_set_table("folder"), -1);
    ASSERT_EQ(gdb_set_table("empty"), 0);
    EXPECT_EQ(gdb_set_name_key("X"), -1);
    EXPECT_EQ(gdb_next_name_key(nullptr), -2);
    EXPECT_EQ(reported, "S1:GDB:reading the file\nS2:GDB:reading the file\n"
                        "S2:GDB:reading the file\nS2:GDB:reading the file\n");
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
    EXPECT_EQ(text("c38"), "38");
    EXPECT_EQ(text("c39"), "failed");
    EXPECT_EQ(text("c39,c40,c41,c42,c43,c44,c45,c46,c47,c48,c49,c50,c51,c52,c53,c54,c55,c56,c57,"
                   "c58,c59\n"),
              "39,40,41,42,43,44,45,46,47,48,49,50,51,52,53,54,55,56,57,58,59\n");
    EXPECT_EQ(reported, "S1:GDB:Att name not found\n");
}

// The variable's value ("unset" for none) and the directory it names.
using Directory = std::pair<std::string, std::string>;
class DirectoryTest : public GdbTest, public testing::WithParamInterface<Directory> {};

TEST_P(DirectoryTest, VariableNamesTheDirectoryWithATrailingSlash) {
    const auto &[variable, path] = GetParam();
    variable == "unset" ? unsetenv("TORVA_ORTIX_DIR")
                        : setenv("TORVA_ORTIX_DIR", variable.c_str(), 1);
    EXPECT_EQ(gdb_path(), path);
    EXPECT_EQ(gdb_grid_path(), path);
}
INSTANTIATE_TEST_SUITE_P(Lookup, DirectoryTest,
                         testing::Values(Directory{"unset", "/usr/meridox/etc/ortix/"},
                                         Directory{"", "/usr/meridox/etc/ortix/"},
                                         Directory{"/data/ortix", "/data/ortix/"},
                                         Directory{"/data/ortix/", "/data/ortix/"},
                                         Directory{"SYBASE/server", "server"}));

TEST_F(GdbTest, SybasePrefixChoosesTheUnsupportedServerForGood) {
    setenv("TORVA_ORTIX_DIR", "SYBASE/server", 1);
    ASSERT_NE(gdb_path(), nullptr);
    EXPECT_EQ(gdb_set_db(MPX_DB_FLAT_FILES), 0); // too late: the lookup chose
    testing::internal::CaptureStdout();
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kNoSybase);
    EXPECT_EQ(reported, "P1:GDB:No table in gdb_set_key\n");
}

TEST_F(GdbTest, HostForcesTheTypeBeforeTheLookup) {
    EXPECT_EQ(gdb_set_db(9), -1);
    EXPECT_EQ(gdb_set_db(MPX_DB_SYBASE), 0);
    EXPECT_EQ(gdb_set_db(MPX_DB_FLAT_FILES), 0); // ignored once chosen
    EXPECT_STREQ(gdb_path(), MPX_SOURCE_DIR "tests/gdb/data/");
    testing::internal::CaptureStdout();
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kNoSybase);
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
