// Splitting table lines into fields and reading fields as values.
#include "gdb/table_format.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(std::string line, int n, int *found = nullptr) {
    std::vector<char *> fields(static_cast<std::size_t>(n), nullptr);
    const int count = gdb_split_line(line.data(), fields.data(), n);
    if (found)
        *found = count;
    return {fields.begin(), fields.end()};
}

using Fields = std::vector<std::string>;

TEST(SplitLine, FourColumnRecordKeepsNewlineInLastField) {
    EXPECT_EQ(split("  NAME  ,value   ,,last, field  \n", 4),
              (Fields{"NAME", "value", "", "last, field  \n"}));
}

TEST(SplitLine, TableOfSplittingRules) {
    struct Case {
        std::string line;
        int n;
        Fields fields;
        int found;
    };
    const Case cases[] = {
        {"a,b,c\n", 40, {"a", "b", "c"}, 3},     // a header ends cleanly
        {"a,b\n", 4, {"a", "b", "", ""}, 2},     // missing fields are empty
        {"\t a \t, b\n", 2, {"a \t", "b\n"}, 2}, // tabs are never trimmed
        {",,x\n", 3, {"", "", "x\n"}, 3},        // commas between fields
        {"a,,\n", 3, {"a", "", ""}, 2},          // a trailing comma adds nothing
        {"x", 2, {"x", ""}, 1},                  // no newline at all
        {"\n", 2, {"", ""}, 0},                  // an empty line
        {"   \n", 1, {""}, 0},                   // only blanks
        {"only one field  ,\n", 1, {"only one field  ,\n"}, 1},
        {std::string("a\0b,c", 5), 3, {"a", "", ""}, 1}, // a NUL ends the line
    };
    for (const Case &c : cases) {
        int found = -1;
        Fields fields = split(c.line, c.n, &found);
        fields.resize(c.fields.size()); // the rest are empty texts
        EXPECT_EQ(fields, c.fields) << c.line;
        EXPECT_EQ(found, c.found) << c.line;
    }
}

TEST(SplitLine, RandomLinesStayInsideTheBuffer) {
    // Under the sanitizers: every field pointer lies in the line, every field
    // ends inside it, and no field but the last holds a comma.
    std::mt19937 random(12345);
    const char alphabet[] = "ab ,\t,\n ";
    for (int round = 0; round < 2000; ++round) {
        std::string line(random() % 80, ' ');
        for (char &c : line)
            c = alphabet[random() % (sizeof alphabet - 1)];
        const int n = 1 + static_cast<int>(random() % 40);
        std::vector<char *> fields(static_cast<std::size_t>(n), nullptr);
        std::string buffer = line;
        const int found = gdb_split_line(buffer.data(), fields.data(), n);
        ASSERT_LE(found, n);
        for (int i = 0; i < n; ++i) {
            const char *f = fields[static_cast<std::size_t>(i)];
            ASSERT_GE(f, buffer.data());
            ASSERT_LE(f, buffer.data() + buffer.size());
            if (i + 1 < n)
                ASSERT_EQ(std::string(f).find(','), std::string::npos) << line;
        }
    }
}

TEST(ConvertField, NumbersReadLikeAtofAndAtol) {
    struct Case {
        const char *text;
        double d;
        std::int32_t l;
    };
    const Case cases[] = {
        {"6378137.0", 6378137.0, 6378137},
        {"  -12.5e3 junk", -12500.0, -12},
        {"0.9996\n", 0.9996, 0},
        {"", 0.0, 0},
        {"abc", 0.0, 0},
        {"99999999999", 99999999999.0, INT32_MAX}, // clamped to the 32-bit field
        {"-99999999999", -99999999999.0, INT32_MIN},
    };
    for (const Case &c : cases) {
        double d = -1.0;
        std::int32_t l = -1;
        ASSERT_EQ(gdb_convert_field(c.text, 'd', &d, 0), 0);
        ASSERT_EQ(gdb_convert_field(c.text, 'l', &l, 0), 0);
        EXPECT_EQ(d, c.d) << c.text;
        EXPECT_EQ(l, c.l) << c.text;
    }
}

TEST(ConvertField, CharactersAndTexts) {
    char c = 'x';
    EXPECT_EQ(gdb_convert_field("", 'c', &c, 0), 0);
    EXPECT_EQ(c, '\0');
    EXPECT_EQ(gdb_convert_field("North", 'c', &c, 0), 0);
    EXPECT_EQ(c, 'N');
    char text[8] = "-------";
    EXPECT_EQ(gdb_convert_field("abcdefghij", 's', text, sizeof text), 0);
    EXPECT_STREQ(text, "abcdefg"); // cut to the room given
    EXPECT_EQ(gdb_convert_field("abc", 'x', text, sizeof text), -1);
    EXPECT_STREQ(text, "abcdefg");
}

} // namespace
