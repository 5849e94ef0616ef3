// Text lines read through the support layer: CR LF line ends arrive as LF on
// every host, as Windows text mode gives them, even when the CR is the last
// character that fits the buffer; a CR anywhere else is kept.
#include "frame/support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string &bytes, int size) {
    const char *dir = std::getenv("MPX_TEST_TMP"); // unset when run directly
    const std::string path = std::string(dir ? dir : ".") + "/text_lines_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ofstream(path, std::ios::binary) << bytes;
    qfio_handle file = qfio_Open(path.c_str(), "r", 0);
    EXPECT_NE(file, nullptr);
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    while (file && qfio_Fgets(buffer.data(), size, file, 0))
        lines.emplace_back(buffer.data());
    qfio_Close(file, 0);
    return lines;
}

TEST(TextLines, CrLfEndsReadAsLfAndOtherCarriageReturnsStay) {
    EXPECT_EQ(lines_of("name,x\r\nA,1\r\nB\r2\nlast\r", 64),
              (std::vector<std::string>{"name,x\n", "A,1\n", "B\r2\n", "last\r"}));
}

TEST(TextLines, CarriageReturnThatFillsTheBufferTakesItsLineFeed) {
    // Buffer of 6: five characters per read. "abcd\r" fills it; its LF follows.
    EXPECT_EQ(lines_of("abcd\r\nefghij\r\nk\r\n", 6),
              (std::vector<std::string>{"abcd\n", "efghi", "j\n", "k\n"}));
    EXPECT_EQ(lines_of("abcd\rxy\n", 6), (std::vector<std::string>{"abcd\r", "xy\n"}));
}

} // namespace
