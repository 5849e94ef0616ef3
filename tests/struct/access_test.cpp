// Reading, writing and iterating a described record: the shared cursor, the
// access classes, and the conversion of every type into text.
#include "mpxlib.h"
#include "struct/struct_data_shift.hpp"
#include "tests/common/message_log.hpp"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Laid out as a Transverse Mercator record begins: hidden values first.
struct Record {
    std::int32_t zone;
    char hemisphere;
    double radius;
    double false_east;
    double false_north;
    char label[16];
    char flag;
    std::int32_t count;
    double origin;
};

class AccessTest : public MessageLogTest {
  protected:
    void SetUp() override {
        MessageLogTest::SetUp();
        ASSERT_EQ(struct_begin("tm", &record), 0);
        ASSERT_EQ(struct_add(".zone", &record.zone, 'l'), 0);
        ASSERT_EQ(struct_add(".hemisphere", &record.hemisphere, 'c'), 0);
        ASSERT_EQ(struct_add("spheroid.radius", &record.radius, 'd'), 0);
        ASSERT_EQ(struct_add("false_east", &record.false_east, 'd'), 0);
        ASSERT_EQ(struct_add("false_north", &record.false_north, 'd'), 0);
        ASSERT_EQ(struct_add("label", &record.label, 's'), 0);
        ASSERT_EQ(struct_add("flag", &record.flag, 'c'), 0);
        ASSERT_EQ(struct_add("count", &record.count, 'l'), 0);
        ASSERT_EQ(struct_add("%origin", &record.origin, 'd'), 0);
        d = struct_end();
        ASSERT_NE(d, nullptr);
        record = {32, 'N', 6378137.0, 500000.0, 0.1, "abc", 'Y', -42, 123.0};
    }

    // Every name an iteration returns, starting with `keyword`.
    std::vector<std::string> listing(const char *keyword) {
        std::vector<std::string> names;
        char name[kStructNameRoom];
        std::strcpy(name, keyword);
        char type = 0;
        while (struct_inq(d, &record, name, &type, nullptr, 0) == 0 && names.size() < 20) {
            names.emplace_back(name);
            std::strcpy(name, "next");
        }
        return names;
    }

    std::string text_of(const char *name, int room = 64) {
        char buffer[64] = "unchanged";
        char type = 's';
        char n[kStructNameRoom];
        std::strcpy(n, name);
        return struct_inq(d, &record, n, &type, buffer, room) == 0 ? buffer : "failed";
    }

    Record record{};
    struct_desc *d = nullptr;
};

TEST_F(AccessTest, InitDotListsEachVisibleAttributeOnceAfterLeadingHiddenOnes) {
    EXPECT_EQ(listing("init-."), (std::vector<std::string>{"false_east", "false_north", "label",
                                                           "flag", "count", "origin"}));
    EXPECT_EQ(listing("init"),
              (std::vector<std::string>{"zone", "hemisphere", "spheroid.radius", "false_east",
                                        "false_north", "label", "flag", "count", "origin"}));
}

TEST_F(AccessTest, IterationEndLeavesNameUntouchedAndStaysAtTheEnd) {
    char name[kStructNameRoom] = "init-.";
    char type = 0;
    for (int i = 0; i < 6; ++i) {
        ASSERT_EQ(struct_inq(d, &record, name, &type, nullptr, 0), 0);
        std::strcpy(name, "next");
    }
    // "next" far past the end must neither wrap the cursor nor find anything.
    for (int i = 0; i < 40000; ++i)
        ASSERT_EQ(struct_inq(d, &record, name, &type, nullptr, 0), 1);
    EXPECT_STREQ(name, "next");
}

TEST_F(AccessTest, KeywordsAreMatchedOnTheirFirstFourCharacters) {
    char name[kStructNameRoom] = "initial";
    char type = 0;
    ASSERT_EQ(struct_inq(d, &record, name, &type, nullptr, 0), 0);
    EXPECT_STREQ(name, "zone"); // "initial" restarts with the all-classes filter
    std::strcpy(name, "nextone");
    ASSERT_EQ(struct_inq(d, &record, name, &type, nullptr, 0), 0);
    EXPECT_STREQ(name, "hemisphere");
}

TEST_F(AccessTest, ExactNamesFindEveryClassButNotThePrefixedSpelling) {
    EXPECT_EQ(text_of("zone"), "32");
    EXPECT_EQ(text_of("origin"), "123");
    EXPECT_EQ(text_of("%origin"), "failed");
    EXPECT_EQ(text_of(".zone"), "failed");
    EXPECT_EQ(text_of("False_east"), "failed");
    EXPECT_TRUE(messages().empty()); // an absent name is not reported
}

TEST_F(AccessTest, EveryTypeConvertsToText) {
    struct Case {
        const char *name;
        double value;
        const char *text;
    };
    // "%.12lg": 12 significant digits, trailing zeros dropped.
    const Case cases[] = {
        {"false_east", 1.0, "1"},
        {"false_east", 0.5, "0.5"},
        {"false_east", 123.0, "123"},
        {"false_east", 1.0 / 3.0, "0.333333333333"},
        {"false_east", -2.5e15, "-2.5e+15"},
        {"false_east", 123456789012345.0, "1.23456789012e+14"},
        {"false_east", 1e-20, "1e-20"},
        {"false_east", 0.1, "0.1"},
    };
    for (const Case &c : cases) {
        record.false_east = c.value;
        EXPECT_EQ(text_of(c.name), c.text) << c.value;
    }
    EXPECT_EQ(text_of("count"), "-42");
    record.count = INT32_MIN;
    EXPECT_EQ(text_of("count"), "-2147483648");
    EXPECT_EQ(text_of("hemisphere"), "N");
    EXPECT_EQ(text_of("label"), "abc");
    EXPECT_TRUE(messages().empty());
}

TEST_F(AccessTest, TextNeedsRoomForItsTerminator) {
    EXPECT_EQ(text_of("false_north", 4), "0.1");
    EXPECT_EQ(text_of("label", 4), "abc");
    EXPECT_EQ(text_of("label", 3), "failed");

    char buffer[8] = "keep";
    char type = 's';
    char name[kStructNameRoom] = "false_north";
    EXPECT_EQ(struct_inq(d, &record, name, &type, buffer, 3), -1);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(messages(), (Lines{"S1:STR:result too large for the string",
                                 "S2:STR:result too large for the string"}));
}

TEST_F(AccessTest, NumbersAreNeverConvertedIntoAnotherNumericType) {
    std::int32_t as_long = 7;
    char type = 'l';
    char name[kStructNameRoom] = "false_east";
    EXPECT_EQ(struct_inq(d, &record, name, &type, &as_long, 0), -1);
    EXPECT_EQ(as_long, 7);
    EXPECT_EQ(messages(), Lines{"P1:STR:Unknown data type (struct_data_shift)"});
}

TEST_F(AccessTest, StarReadsInOwnTypeAndReportsIt) {
    char name[kStructNameRoom] = "count";
    char type = '*';
    EXPECT_EQ(struct_inq(d, &record, name, &type, nullptr, 0), 0);
    EXPECT_EQ(type, 'l');

    std::strcpy(name, "false_east");
    type = '*';
    double value = 0.0;
    EXPECT_EQ(struct_inq(d, &record, name, &type, &value, 0), 0);
    EXPECT_EQ(type, 'd');
    EXPECT_EQ(value, 500000.0);

    // A wanted type of 0 lists without reading, even without a record.
    type = 0;
    EXPECT_EQ(struct_inq(d, nullptr, name, &type, &value, 0), 0);
    EXPECT_EQ(type, 0);
}

TEST_F(AccessTest, ModWritesOnlyModifiableAttributesOfTheSameType) {
    const double east = 400000.0;
    const std::int32_t count = 9;
    const char flag = 'Z';
    EXPECT_EQ(struct_mod(d, &record, "false_east", "d", &east), 0);
    EXPECT_EQ(struct_mod(d, &record, "count", "l", &count), 0);
    EXPECT_EQ(struct_mod(d, &record, "flag", "c", &flag), 0);
    EXPECT_EQ(record.false_east, 400000.0);
    EXPECT_EQ(record.count, 9);
    EXPECT_EQ(record.flag, 'Z');
    EXPECT_EQ(record.false_north, 0.1); // neighbours untouched
    EXPECT_TRUE(messages().empty());

    const double wrong = 1.0;
    EXPECT_EQ(struct_mod(d, &record, "count", "d", &wrong), -1);
    EXPECT_EQ(record.count, 9);
    EXPECT_EQ(struct_mod(d, &record, "origin", "d", &wrong), -2);
    EXPECT_EQ(struct_mod(d, &record, "zone", "l", &count), -2);
    EXPECT_EQ(struct_mod(d, &record, "spheroid.radius", "d", &wrong), -2);
    EXPECT_EQ(struct_mod(d, &record, "%origin", "d", &wrong), -1);
    EXPECT_EQ(struct_mod(d, &record, "label", "s", "xyz"), -1);
    EXPECT_STREQ(record.label, "abc");
    EXPECT_EQ(record.origin, 123.0);
    EXPECT_EQ(messages(), (Lines{"P1:STR:Unknown data type (struct_data_shift)",
                                 "S2:STR:Attribute is not modifiable (struct_mod)",
                                 "S2:STR:Attribute is not modifiable (struct_mod)",
                                 "S2:STR:Attribute is not modifiable (struct_mod)",
                                 "S2:STR:Attribute name not found (struct_mod)",
                                 "S2:STR:result too large for the string"}));
}

TEST_F(AccessTest, NullArgumentsFailQuietly) {
    char name[kStructNameRoom] = "init";
    char type = 's';
    char buffer[16];
    const double v = 1.0;
    EXPECT_EQ(struct_inq(nullptr, &record, name, &type, buffer, 16), -1);
    EXPECT_EQ(struct_inq(d, &record, nullptr, &type, buffer, 16), -1);
    EXPECT_EQ(struct_inq(d, &record, name, nullptr, buffer, 16), -1);
    std::strcpy(name, "false_east");
    EXPECT_EQ(struct_inq(d, nullptr, name, &type, buffer, 16), -1);
    EXPECT_EQ(struct_mod(nullptr, &record, "false_east", "d", &v), -1);
    EXPECT_EQ(struct_mod(d, nullptr, "false_east", "d", &v), -1);
    EXPECT_EQ(struct_mod(d, &record, "false_east", "d", nullptr), -1);
    EXPECT_EQ(struct_offset(nullptr, "false_east"), -1);
    EXPECT_EQ(struct_offset(d, nullptr), -1);
    EXPECT_EQ(struct_dump(nullptr, &record), -1);
    EXPECT_TRUE(messages().empty());
}

TEST_F(AccessTest, ConversionRejectsUnknownCodes) {
    const double v = 2.0;
    char text[16] = "keep";
    double out = 0.0;
    EXPECT_EQ(struct_data_shift(&v, text, 'x', 's', 16), -1);
    EXPECT_EQ(struct_data_shift(&v, &out, 'd', 'x', 0), -1);
    EXPECT_EQ(struct_data_shift(&v, &out, 'd', '*', 0), 0);
    EXPECT_EQ(out, 2.0);
    EXPECT_EQ(struct_data_shift(&v, nullptr, 'd', 'd', 0), 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(messages(), (Lines{"P1:STR:Unknown data type (struct_data_shift)",
                                 "P2:STR:Unknown data type (struct_data_shift)"}));
}

TEST(EmptyDescriptor, HasNoAttributesAndEndsEveryIterationAtOnce) {
    int sample = 0;
    ASSERT_EQ(struct_begin("empty", &sample), 0);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->attributes, nullptr);
    char name[kStructNameRoom] = "init";
    char type = 0;
    EXPECT_EQ(struct_inq(d, &sample, name, &type, nullptr, 0), 1);
    std::strcpy(name, "anything");
    EXPECT_EQ(struct_inq(d, &sample, name, &type, nullptr, 0), -1);
    EXPECT_EQ(struct_offset(d, "anything"), -1);
}

} // namespace
