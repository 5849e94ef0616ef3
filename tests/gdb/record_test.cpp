// Selecting records by name, listing them, and loading values and whole
// described records from the selected one.
#include "frame/support.hpp"
#include "tests/gdb/gdb_fixture.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace {

class RecordTest : public GdbTest {
  protected:
    void SetUp() override {
        GdbTest::SetUp();
        use_directory(fixture_dir());
    }
};

TEST_F(RecordTest, KeyIsACaseInsensitivePrefixAndFileOrderWins) {
    struct Case {
        const char *key;
        const char *found_code; // the record's "code" column
    };
    const Case cases[] = {
        {"WGS84", "4326"}, {"wgs84", "4326"}, {"WGS", "4326"},    {"WGS84B", "1"},
        {"wgs72", "4322"}, {"ed", "4230"},    {"NTF", "4275  x"},
    };
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    for (const Case &c : cases) {
        ASSERT_EQ(gdb_set_name_key(c.key), 0) << c.key;
        EXPECT_EQ(load_text("code"), c.found_code) << c.key;
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(RecordTest, MatchedNameIsUpperCasedInTheRecord) {
    select("datum_sp", "wgs7");
    EXPECT_EQ(load_text("name"), "WGS72"); // the file says "wgs72"
}

TEST_F(RecordTest, RecordsThatAreNotThereFailWithoutReport) {
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    EXPECT_EQ(gdb_set_name_key("BLANKS"), -1); // a name after blanks is never found
    EXPECT_EQ(gdb_set_name_key("NAD27"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84BX"), -1);
    EXPECT_EQ(gdb_set_name_key("ABCDEFGHIJKLMNOPQRS"), -1);  // 19 characters
    EXPECT_EQ(gdb_set_name_key("WGS84WGS84WGS84WGS84"), -1); // 20: refused outright
    EXPECT_EQ(gdb_set_name_key(nullptr), -1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(gdb_load("code", "s", nullptr), -1); // the failed search dropped the record
    EXPECT_EQ(messages(), Lines{"P1:GDB:No key for gdb_load"});
}

TEST_F(RecordTest, ListingGivesEveryNameInFileOrderThenOne) {
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    char name[600];
    ASSERT_EQ(gdb_next_name_key(nullptr), 0);
    std::vector<std::string> names;
    int result = 0;
    for (int i = 0; i < 20 && (result = gdb_next_name_key(name)) == 0; ++i)
        names.emplace_back(name);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(names,
              (std::vector<std::string>{"WGS84", "wgs72", "BLANKS", "ED50", "NTF", "WGS84B"}));
    EXPECT_EQ(gdb_next_name_key(name), 1);
}

TEST_F(RecordTest, ListedRecordIsSelectedForLoading) {
    ASSERT_EQ(gdb_set_table("datum_sp"), 0);
    char name[600] = "untouched";
    // Right after a table selection the first call only rewinds, even with
    // a buffer; no record line is read yet.
    ASSERT_EQ(gdb_next_name_key(name), 0);
    EXPECT_STREQ(name, "untouched");
    double radius = -1.0;
    EXPECT_EQ(gdb_load("radius", "d", &radius), 1);
    EXPECT_EQ(radius, -1.0);
    ASSERT_EQ(gdb_next_name_key(name), 0);
    EXPECT_EQ(gdb_load("radius", "d", &radius), 0);
    EXPECT_EQ(radius, 6378137.0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(RecordTest, LoadConvertsByType) {
    select("datum_sp", "WGS84");
    double radius = 0.0;
    std::int32_t code = 0;
    char flag = 0;
    EXPECT_EQ(gdb_load("radius", "d", &radius), 0);
    EXPECT_EQ(gdb_load("code", "l", &code), 0);
    EXPECT_EQ(gdb_load("flag", "c", &flag), 0);
    EXPECT_EQ(radius, 6378137.0);
    EXPECT_EQ(code, 4326);
    EXPECT_EQ(flag, 'Y');
    EXPECT_EQ(load_text("remark"), "World Geodetic System 1984\n"); // the last column
    EXPECT_TRUE(messages().empty());
}

TEST_F(RecordTest, JunkBlanksAndMissingFieldsReadAsTheStandardConversions) {
    select("datum_sp", "NTF");
    double radius = 0.0, eccentricity = -1.0;
    std::int32_t code = 0;
    char flag = 'x';
    EXPECT_EQ(gdb_load("radius", "d", &radius), 0);
    EXPECT_EQ(gdb_load("eccentricity", "d", &eccentricity), 0);
    EXPECT_EQ(gdb_load("code", "l", &code), 0);
    EXPECT_EQ(gdb_load("flag", "c", &flag), 0);
    EXPECT_EQ(radius, 6378249.2);
    EXPECT_EQ(eccentricity, 0.0);
    EXPECT_EQ(code, 4275);
    EXPECT_EQ(flag, '\0');
    EXPECT_EQ(load_text("name"), "NTF");
    EXPECT_EQ(load_text("remark"), "a,b,c\n");

    ASSERT_EQ(gdb_set_name_key("ED50"), 0); // four fields of six
    code = -1;
    flag = 'x';
    EXPECT_EQ(gdb_load("remark", "d", &radius), 0);
    EXPECT_EQ(gdb_load("remark", "l", &code), 0);
    EXPECT_EQ(gdb_load("flag", "c", &flag), 0);
    EXPECT_EQ(radius, 0.0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(flag, '\0');
    EXPECT_EQ(load_text("remark"), "");
}

TEST_F(RecordTest, LoadFailuresAreReported) {
    double value = 0.0;
    EXPECT_EQ(gdb_load("radius", "d", &value), -1);
    select("datum_sp", "WGS84");
    EXPECT_EQ(gdb_load("Radius", "d", &value), -1); // column names are case-sensitive
    EXPECT_EQ(gdb_load("radius", "x", &value), -1);
    EXPECT_EQ(messages(), (Lines{"P1:GDB:No key for gdb_load", "S2:GDB:Att name not found",
                                 "P2:GDB:Bad data type"}));
}

TEST_F(RecordTest, SearchAndListingNeedATable) {
    char name[64];
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1);
    EXPECT_EQ(gdb_next_name_key(name), -1);
    EXPECT_EQ(gdb_set_table("absent"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1); // a failed selection leaves none
    EXPECT_EQ(messages(),
              (Lines{"P1:GDB:No table in gdb_set_key", "P2:GDB:No table in gdb_next_name_key",
                     "S2:GDB:opening the file", "P2:GDB:No table in gdb_set_key"}));
}

// A parameter record laid out as a projection's: hidden values first.
struct TmRecord {
    std::int32_t zone;
    double radius;
    double false_east;
    double false_north;
    double scale_factor;
    double origin;
    char label[200];
};

class StructLoadTest : public RecordTest {
  protected:
    struct_desc *describe(bool with_origin, bool with_label) {
        EXPECT_EQ(struct_begin("tm", &sample), 0);
        EXPECT_EQ(struct_add(".zone", &sample.zone, 'l'), 0);
        EXPECT_EQ(struct_add("spheroid.radius", &sample.radius, 'd'), 0);
        EXPECT_EQ(struct_add("false_east", &sample.false_east, 'd'), 0);
        EXPECT_EQ(struct_add("false_north", &sample.false_north, 'd'), 0);
        EXPECT_EQ(struct_add("scale_factor", &sample.scale_factor, 'd'), 0);
        if (with_origin)
            EXPECT_EQ(struct_add("%origin", &sample.origin, 'd'), 0);
        if (with_label)
            EXPECT_EQ(struct_add("label", &sample.label, 's'), 0);
        return struct_end();
    }
    TmRecord sample{};
};

TEST_F(StructLoadTest, FillsVisibleAttributesAndLeavesHiddenOnes) {
    struct_desc *d = describe(false, false);
    TmRecord record{};
    record.zone = 32;
    record.radius = 6378137.0;
    select("tm", "GK3");
    EXPECT_EQ(gdb_struct_load(d, &record), 0);
    EXPECT_EQ(record.false_east, 3500000.0);
    EXPECT_EQ(record.false_north, -5000000.5);
    EXPECT_EQ(record.scale_factor, 1.0);
    EXPECT_EQ(record.zone, 32);
    EXPECT_EQ(record.radius, 6378137.0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(StructLoadTest, ReadOnlyAttributeIsRefusedAfterTheOnesBefore) {
    struct_desc *d = describe(true, false);
    TmRecord record{};
    select("tm", "UTM32N");
    EXPECT_EQ(gdb_struct_load(d, &record), -1);
    EXPECT_EQ(record.scale_factor, 0.9996);
    EXPECT_EQ(record.origin, 0.0);
    EXPECT_EQ(messages(), Lines{"S1:STR:Attribute is not modifiable (struct_mod)"});
}

TEST_F(StructLoadTest, TextAttributeCannotBeLoaded) {
    struct_desc *d = describe(false, true);
    TmRecord record{};
    select("tm", "UTM32N");
    EXPECT_EQ(gdb_struct_load(d, &record), -1);
    EXPECT_STREQ(record.label, "");
    EXPECT_EQ(messages(), Lines{"S1:STR:result too large for the string"});
}

TEST_F(StructLoadTest, EveryVisibleAttributeNeedsItsColumn) {
    struct_desc *d = describe(false, false);
    TmRecord record{};
    select("datum_sp", "WGS84");
    EXPECT_EQ(gdb_struct_load(d, &record), -1);
    EXPECT_EQ(messages(), Lines{"S1:GDB:Att name not found"});
}

TEST_F(StructLoadTest, NeedsASelectedRecordAndItsBuffer) {
    struct_desc *d = describe(false, false);
    TmRecord record{};
    select("tm", "GK3");
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_struct_load(d, &record), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(gdb_struct_load(nullptr, &record), -1);
    EXPECT_EQ(gdb_struct_load(d, nullptr), -1);
    EXPECT_EQ(gdb_struct_load(d, &record), 0);
    ASSERT_EQ(gdb_set_table("tm"), 0);
    EXPECT_EQ(gdb_struct_load(d, &record), -1);
    EXPECT_EQ(messages(), (Lines{"S1:GDB:memory shortage", "P2:GDB:No key for gdb_load"}));
}

} // namespace
