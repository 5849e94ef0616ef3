// The converter's input side: how a line splits into coordinates and
// pass-through text, how numbers are written, and how over-long lines are
// skipped without losing the lines around them.
#include "line_reader.hpp"
#include "line_scan.hpp"
#include "number_format.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

using mpxcs::LineKind;
using mpxcs::scan_line;

struct ScanCase {
    const char *line;
    LineKind kind;
    double x, y, z;
    bool has_z;
    const char *rest; // pass-through text
};

const ScanCase kScanCases[] = {
    {"", LineKind::Blank, 0, 0, 0, false, ""},
    {" \t ", LineKind::Blank, 0, 0, 0, false, ""},
    {"# 1 2 3", LineKind::Comment, 0, 0, 0, false, ""},
    {"1 2", LineKind::Point, 1, 2, 0, false, ""},
    {"  -1.5\t2e3  7 name", LineKind::Point, -1.5, 2000, 7, true, " name"},
    {"1,2,3", LineKind::Point, 1, 2, 3, true, ""},
    {"1, 2, id 42", LineKind::Point, 1, 2, 0, false, ", id 42"},
    {"+1 +2", LineKind::Point, 1, 2, 0, false, ""},
    {"1 2 3abc", LineKind::Point, 1, 2, 0, false, " 3abc"},
    {"1 2\r", LineKind::Point, 1, 2, 0, false, "\r"},
    {"1 2 3 4", LineKind::Point, 1, 2, 3, true, " 4"},
    {"abc 2", LineKind::Malformed, 0, 0, 0, false, ""},
    {"12abc 2 rest", LineKind::Malformed, 0, 0, 0, false, " rest"},
    {"1", LineKind::Malformed, 0, 0, 0, false, ""},
    {"1,,2", LineKind::Malformed, 0, 0, 0, false, ",2"},
    {"+-1 2", LineKind::Malformed, 0, 0, 0, false, ""},
    {"0x10 2", LineKind::Malformed, 0, 0, 0, false, ""},
    {"nan 2", LineKind::NotFinite, 0, 2, 0, false, ""},
    {"1 -inf", LineKind::NotFinite, 1, 0, 0, false, ""},
    {"1 2 infinity", LineKind::NotFinite, 1, 2, 0, true, ""},
    {"1e999 2", LineKind::Malformed, 0, 0, 0, false, ""},
};

TEST(LineScan, SplitsColumnsAndPassThroughText) {
    for (const ScanCase &c : kScanCases) {
        SCOPED_TRACE(c.line);
        std::string_view line = c.line;
        mpxcs::ScannedLine scanned = scan_line(line, '#');
        ASSERT_EQ(scanned.kind, c.kind);
        if (c.kind == LineKind::Blank || c.kind == LineKind::Comment)
            continue;
        EXPECT_EQ(line.substr(scanned.rest_begin), c.rest);
        if (c.kind != LineKind::Point)
            continue;
        EXPECT_EQ(scanned.xyz[0], c.x);
        EXPECT_EQ(scanned.xyz[1], c.y);
        EXPECT_EQ(scanned.xyz[2], c.z);
        EXPECT_EQ(scanned.has_z, c.has_z);
    }
}

TEST(LineScan, EchoCoversExactlyTheCoordinateColumns) {
    std::string_view line = "  1 2 3  name";
    mpxcs::ScannedLine scanned = scan_line(line, '#');
    EXPECT_EQ(line.substr(0, scanned.echo_end), "  1 2 3");
}

TEST(LineScan, CommentCharacterCountsOnlyAsTheFirstNonBlank) {
    EXPECT_EQ(scan_line("* 1 2", '*').kind, LineKind::Comment);
    EXPECT_EQ(scan_line("# 1 2", '*').kind, LineKind::Malformed);
    EXPECT_EQ(scan_line(" \t# 1 2", '#').kind, LineKind::Comment);
    EXPECT_EQ(scan_line("1 2 # 3", '#').kind, LineKind::Point);
}

TEST(NumberFormat, FixedDecimalsRoundToNearest) {
    struct {
        int decimals;
        double value;
        const char *text;
    } cases[] = {{3, 1.0005, "1.000"}, // 1.0005 is stored just below
                 {3, 2.5e-4, "0.000"}, // ties to even in the stored binary
                 {2, -1234.5678, "-1234.57"}, {0, 2.5, "2"},
                 {9, 3.0, "3.000000000"},     {3, -4e-4, "0.000"},
                 {3, -0.0, "0.000"},          {2, 1e20, "100000000000000000000.00"}};
    for (const auto &c : cases) {
        std::string out;
        mpxcs::NumberFormat(c.decimals, "").append(out, c.value);
        EXPECT_EQ(out, c.text) << c.value;
    }
}

TEST(NumberFormat, HugeValueFitsTheBuffer) {
    std::string out;
    mpxcs::NumberFormat(mpxcs::kMaxDecimals, "").append(out, -1.7976931348623157e308);
    EXPECT_EQ(out.size(), 1 + 309 + 1 + 17u);
}

TEST(NumberFormat, PrintfFormatIsUsedAsGiven) {
    std::string out;
    mpxcs::NumberFormat(3, "[%+.1e]").append(out, 1234.5);
    EXPECT_EQ(out, "[+1.2e+03]");
}

TEST(NumberFormat, AcceptsOnlyOneConversionOfADouble) {
    for (const char *good : {"%f", "%.4f", "%12.3f", "%-+ #012.4g", "x=%e%%", "%a"})
        EXPECT_TRUE(mpxcs::is_valid_number_format(good)) << good;
    for (const char *bad :
         {"", "abc", "%s", "%d", "%f %f", "%n", "%.4", "%", "%%", "%123f", "%.123f", "%lf", "%*f"})
        EXPECT_FALSE(mpxcs::is_valid_number_format(bad)) << bad;
}

// Writes `text` to a scratch file and reads it back line by line.
std::vector<std::string> read_lines(const std::string &text, std::vector<bool> &overlong) {
    // One file per test: ctest runs the tests in parallel.
    std::string path = std::string(std::getenv("MPX_TEST_TMP")) + "/reader_input_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    file = std::fopen(path.c_str(), "rb");
    mpxcs::LineReader reader(file);
    std::vector<std::string> lines;
    std::string_view line;
    bool too_long = false;
    while (reader.next(line, too_long)) {
        lines.emplace_back(line);
        overlong.push_back(too_long);
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(reader.bytes_consumed(), static_cast<long long>(text.size()));
    std::fclose(file);
    return lines;
}

TEST(LineReader, KeepsLinesAndAFinalLineWithoutNewline) {
    std::vector<bool> overlong;
    auto lines = read_lines("a\n\nb c\nlast", overlong);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b c", "last"}));
    EXPECT_EQ(overlong, std::vector<bool>(4, false));
}

TEST(LineReader, SkipsOverlongLinesAndKeepsTheirNeighbours) {
    std::string longest(mpxcs::kMaxLineLength, 'x');
    std::string too_long(3 * mpxcs::kMaxLineLength + 7, 'y');
    std::vector<bool> overlong;
    auto lines = read_lines("1 2\n" + longest + "\n" + too_long + "\n3 4\n" + too_long, overlong);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "1 2");
    EXPECT_EQ(lines[1], longest);
    EXPECT_EQ(lines[3], "3 4");
    EXPECT_EQ(overlong, (std::vector<bool>{false, false, true, false, true}));
}

TEST(LineReader, ManyLinesAcrossBufferRefills) {
    std::string text;
    for (int i = 0; i < 50000; ++i)
        text += std::to_string(i) + " " + std::to_string(2 * i) + "\n";
    std::vector<bool> overlong;
    auto lines = read_lines(text, overlong);
    ASSERT_EQ(lines.size(), 50000u);
    EXPECT_EQ(lines[12345], "12345 24690");
    EXPECT_EQ(lines.back(), "49999 99998");
}

} // namespace

namespace {

// Lines drawn from the characters numbers and separators are made of, so
// that most of them come close to valid input: every split must stay inside
// the line, and a point must hold finite numbers only.
TEST(LineScan, RandomNearNumberLinesStayInsideTheLine) {
    const std::string alphabet = "0123456789+-.eE, \t\r#xnaif";
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 200000; ++i) {
        std::string line;
        for (int n = length(random); n > 0; --n)
            line += alphabet[pick(random)];
        mpxcs::ScannedLine scanned = scan_line(line, '#');
        ASSERT_LE(scanned.echo_end, line.size()) << line;
        ASSERT_LE(scanned.rest_begin, line.size()) << line;
        if (scanned.kind == LineKind::Point) {
            for (double value : scanned.xyz)
                ASSERT_TRUE(std::isfinite(value)) << line;
        }
    }
}

} // namespace

namespace {

TEST(LineScan, DegreesMinutesSecondsInCs2csNotation) {
    struct {
        const char *text;
        bool ok;
        double degrees;
        char hemisphere;
    } cases[] = {
        {"3d30'15.2\"E", true, 3.0 + 30.0 / 60 + 15.2 / 3600, 'E'},
        {"-3d30'15.2\"", true, -(3.0 + 30.0 / 60 + 15.2 / 3600), 0},
        {"45d15'N", true, 45.25, 'N'},
        {"45d15's", true, -45.25, 'S'},
        {"12.5W", true, -12.5, 'W'},
        {"3d", true, 3.0, 0},
        {"+3d0'30\"", true, 3.0 + 30.0 / 3600, 0},
        {"3d60'", false, 0, 0},     // minutes stop at 59
        {"3d30'75\"", false, 0, 0}, // so do seconds
        {"-3d30'W", false, 0, 0},   // a sign and a hemisphere
        {"3d30'15", false, 0, 0},   // seconds without their mark
        {"3d-30'", false, 0, 0},
        {"d30'", false, 0, 0},
        {"N", false, 0, 0},
        {"3x", false, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        double degrees = 0.0;
        char hemisphere = 0;
        ASSERT_EQ(mpxcs::parse_dms(c.text, degrees, hemisphere), c.ok);
        if (!c.ok)
            continue;
        EXPECT_NEAR(degrees, c.degrees, 1e-12);
        EXPECT_EQ(hemisphere, c.hemisphere);
    }
}

TEST(NumberFormat, DegreesMinutesSecondsAsCs2csWritesThem) {
    struct {
        double degrees;
        int decimals;
        const char *text;
    } cases[] = {
        {2.998873771, 3, "2d59'55.946\"E"},
        {-45.25, 2, "45d15'W"},
        {45.0, 2, "45dE"},
        {3.00416666666, 0, "3d0'15\"E"},
        {179.99999999, 2, "180dE"},
        {-1e-9, 2, "0dE"},
        {-0.5, 1, "0d30'W"},
        {1.0 / 3600 / 8, 4, "0d0'0.125\"E"},
    };
    for (const auto &c : cases) {
        std::string out;
        mpxcs::append_dms(out, c.degrees, c.decimals, 'E', 'W');
        EXPECT_EQ(out, c.text) << c.degrees;
    }
}

} // namespace

namespace {

// The integer shortcut of fixed decimals writes exactly what std::to_chars
// writes, near rounding ties and across magnitudes.
TEST(NumberFormat, FastDecimalsMatchTheExactConversion) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-8.0, 14.0);
    std::uniform_int_distribution<int> decimals(0, 12);
    for (int i = 0; i < 200000; ++i) {
        int d = decimals(random);
        double value = std::pow(10.0, exponent(random)) * (i % 2 ? -1.0 : 1.0);
        if (i % 3 == 0) // on a tie of the chosen decimals, or next to one
            value = (std::round(value * std::pow(10.0, d)) + 0.5) / std::pow(10.0, d);
        char exact[400];
        auto result =
            std::to_chars(exact, exact + sizeof exact, value, std::chars_format::fixed, d);
        std::string expected(exact, result.ptr);
        if (expected.find_first_not_of("-0.") == std::string::npos && expected[0] == '-')
            expected.erase(0, 1);
        std::string out;
        mpxcs::NumberFormat(d, "").append(out, value);
        ASSERT_EQ(out, expected) << value << " with " << d << " decimals";
    }
}

} // namespace
