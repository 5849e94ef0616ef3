// Structure descriptors: building them, reading, writing, iterating and
// printing a described record, and the limits and misuse they refuse.
#include "frame/support.hpp"
#include "tests/common/fresh_process.hpp"
#include "tests/common/message_log.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

namespace {

// Laid out as a Transverse Mercator record begins: hidden values first.
struct Record {
    std::int32_t zone;
    double radius, false_east, false_north;
    char label[120], flag;
    std::int32_t count;
    double origin, many[41];
};

class DescriptorTest : public testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        struct_begin("tm", &r);
        struct_add(".zone", &r.zone, 'l');
        struct_add("spheroid.radius", &r.radius, 'd');
        struct_add("false_east", &r.false_east, 'd');
        struct_add("false_north", &r.false_north, 'd');
        struct_add("label", &r.label, 's');
        struct_add("flag", &r.flag, 'c');
        struct_add("count", &r.count, 'l');
        struct_add("%origin", &r.origin, 'd');
        d = end_definition();
        r = {32, 6378137.0, 1.0 / 3.0, 0.1, "abc", 'Y', -42, 123456789012345.0, {}};
    }

    // The names an iteration from `keyword` on lists.
    std::string listing(const char *keyword) {
        char name[40], type = 0;
        std::string names;
        for (std::strcpy(name, keyword); struct_inq(d, &r, name, &type, nullptr, 0) == 0;
             std::strcpy(name, "next"))
            names += std::string(name) + " ";
        return names;
    }

    // The console listing, checked against the expected one in tests/struct/data/.
    int dump(struct_desc *of, void *record, const char *expected_file) {
        testing::internal::CaptureStdout();
        const int result = struct_dump(of, record);
        std::ifstream in(MPX_SOURCE_DIR "tests/struct/data/" + std::string(expected_file));
        EXPECT_EQ(testing::internal::GetCapturedStdout() + "\n",
                  std::string(std::istreambuf_iterator<char>(in), {}));
        return result;
    }

    void add_doubles(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(struct_add("x", &r.many[i], 'd'), 0) << i;
    }

    Record r{};
    struct_desc *d = nullptr;
};

TEST_F(DescriptorTest, InitDotListsEachVisibleAttributeOnceAfterLeadingHiddenOnes) {
    const std::string visible = "false_east false_north label flag count origin ";
    EXPECT_EQ(listing("init-."), visible);
    EXPECT_EQ(listing("init"), "zone spheroid.radius " + visible);
    // Keywords are recognised by their first four characters only.
    EXPECT_EQ(listing("initial"), listing("init"));
    EXPECT_EQ(listing("init-.x"), listing("init"));
    char name[40] = "next", type = 0; // far past the end: the 16-bit cursor must not wrap
    for (int i = 0; i < 40000; ++i)
        ASSERT_EQ(struct_inq(d, &r, name, &type, nullptr, 0), 1);
    EXPECT_STREQ(name, "next");
}

TEST_F(DescriptorTest, TextNeedsRoomForItsTerminatorAndNamesMatchExactly) {
    // clang-format off
    const std::tuple<const char *, int, const char *> cases[] = {
        {"false_north", 4, "0 0.1"}, {"false_north", 3, "-1 unchanged"}, {"label", 4, "0 abc"},
        {"label", 3, "-1 unchanged"}, {"%origin", 64, "-1 unchanged"},
        {"False_east", 64, "-1 unchanged"}};
    // clang-format on
    for (const auto &[attribute, room, text] : cases) {
        char buffer[64] = "unchanged", name[40], type = 's';
        std::strcpy(name, attribute);
        const int result = struct_inq(d, &r, name, &type, buffer, room);
        EXPECT_EQ(std::to_string(result) + " " + buffer, text) << attribute << " in " << room;
    }
    EXPECT_EQ(struct_offset(d, "origin"), offsetof(Record, origin));
    EXPECT_EQ(reported, "S1:STR:result too large for the string\n"
                        "S2:STR:result too large for the string\n");
}

TEST_F(DescriptorTest, ModWritesOnlyModifiableAttributesOfTheSameType) {
    const double east = 400000.0, wrong = 1.0;
    const std::int32_t count = 9;
    const char flag = 'Z';
    EXPECT_EQ(struct_mod(d, &r, "false_east", "d", &east), 0);
    EXPECT_EQ(struct_mod(d, &r, "count", "l", &count), 0);
    EXPECT_EQ(struct_mod(d, &r, "flag", "c", &flag), 0);
    EXPECT_EQ(struct_mod(d, &r, "count", "d", &wrong), -1);
    EXPECT_EQ(struct_mod(d, &r, "origin", "d", &wrong), -2);
    EXPECT_EQ(struct_mod(d, &r, "zone", "l", &count), -2);
    EXPECT_EQ(struct_mod(d, &r, "spheroid.radius", "d", &wrong), -2);
    EXPECT_EQ(struct_mod(d, &r, "%origin", "d", &wrong), -1);
    EXPECT_EQ(struct_mod(d, &r, "label", "s", "xyz"), -1);
    EXPECT_EQ(dump(d, &r, "dump_record.txt"), 1);
    EXPECT_EQ(reported, "P1:STR:Unknown data type (struct_data_shift)\n"
                        "S2:STR:Attribute is not modifiable (struct_mod)\n"
                        "S2:STR:Attribute is not modifiable (struct_mod)\n"
                        "S2:STR:Attribute is not modifiable (struct_mod)\n"
                        "S2:STR:Attribute name not found (struct_mod)\n"
                        "S2:STR:result too large for the string\n");
}

TEST_F(DescriptorTest, DumpListsOffsetsOrValuesUntilOneIsTooLong) {
    EXPECT_EQ(dump(d, nullptr, "dump_offsets.txt"), 0);
    std::memset(r.label, 'x', 99); // 99 characters still fit
    EXPECT_EQ(dump(d, &r, "dump_label99.txt"), 1);
    r.label[99] = 'x';
    EXPECT_EQ(dump(d, &r, "dump_stopped.txt"), 1);
    EXPECT_EQ(reported, "S1:STR:result too large for the string\n");
    ASSERT_EQ(struct_begin("empty", &r), 0); // nothing to list, nothing to find
    d = end_definition();
    EXPECT_EQ(listing("init") + std::to_string(struct_offset(d, "x")), "-1");
    EXPECT_EQ(dump(d, nullptr, "dump_empty.txt"), 0);
}

TEST_F(DescriptorTest, LimitsAreFortyAttributesThirtyNineEmbeddedAndThirtyNineCharacters) {
    ASSERT_EQ(struct_begin("full", &r), 0);
    add_doubles(32);
    EXPECT_EQ(struct_add_struct(d, &r), -1); // 32 + 8 is not below 40
    add_doubles(8);
    EXPECT_EQ(struct_add("x", &r.many[40], 'd'), -1);
    EXPECT_EQ(end_definition()->count, 40);
    // A stored name of 40 characters would overrun an iteration's name buffer.
    static const std::string forty(40, 'n'), read_only_39 = "%" + forty.substr(1);
    ASSERT_EQ(struct_begin("long", &r), 0);
    EXPECT_EQ(struct_add(forty.c_str(), &r.flag, 'c'), -1);
    EXPECT_EQ(struct_add(read_only_39.c_str(), &r.flag, 'c'), 0);
    EXPECT_EQ(end_definition()->count, 1);
    ASSERT_EQ(struct_begin("outer", &r), 0);
    add_doubles(31);
    ASSERT_EQ(struct_add_struct(d, &r.many), 0); // names kept, offsets moved
    struct_desc *outer = end_definition();
    EXPECT_EQ(dump(outer, nullptr, "dump_embedded.txt"), 0);
    EXPECT_EQ(struct_mod(outer, &r, "zone", "l", &r.zone), -2); // classes kept
    EXPECT_EQ(reported, "S1:STR:Too many attributes (struct_add_struct)\n"
                        "S2:STR:Too many attributes (struct_add)\n"
                        "P2:STR:Bad field (struct_add)\n"
                        "S2:STR:Attribute is not modifiable (struct_mod)\n");
}

TEST_F(DescriptorTest, MisuseAndMemoryShortageAreReportedAndAFailedEndStaysOpen) {
    EXPECT_EQ(struct_add("x", &r.flag, 'c'), -1);
    EXPECT_EQ(struct_add_struct(d, &r), -1);
    EXPECT_EQ(struct_end(), nullptr);
    qmsc_FailAfter(0);
    EXPECT_EQ(struct_begin("short", &r), -1);
    qmsc_FailAfter(-1);
    ASSERT_EQ(struct_begin("short", &r), 0);
    EXPECT_EQ(struct_add("x", &r.flag, '*') + struct_add("x", &r.flag, 0), -2);
    add_doubles(1);
    qmsc_FailAfter(0);
    EXPECT_EQ(struct_end(), nullptr);
    EXPECT_EQ(struct_begin("again", &r), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(end_definition()->count, 1);
    EXPECT_EQ(reported, "P1:STR:Must call struct_begin before struct_add\n"
                        "P2:STR:Must call struct_begin before struct_add_struct\n"
                        "P2:STR:Must call struct_begin before struct_end\nS2:STR:memory shortage\n"
                        "P2:STR:Bad data type (struct_add)\nP2:STR:Bad data type (struct_add)\n"
                        "S2:STR:memory shortage\nP2:STR:Cannot have nested struct_begin\n");
}

} // namespace
