// Every record of the bundled database says where it comes from: each table
// ends with a "source" column, and no record leaves it empty.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(BundledDatabase, EveryRecordNamesItsSource) {
    int tables = 0;
    for (const auto &entry : std::filesystem::directory_iterator(MPX_SOURCE_DIR "data/")) {
        if (entry.path().extension() != ".dat")
            continue;
        ++tables;
        std::ifstream in(entry.path());
        std::string header;
        ASSERT_TRUE(std::getline(in, header)) << entry.path();
        const auto last_comma = header.rfind(',');
        ASSERT_NE(last_comma, std::string::npos) << entry.path();
        EXPECT_EQ(header.substr(last_comma + 1), "source") << entry.path();
        int line_number = 1;
        for (std::string line; std::getline(in, line);) {
            ++line_number;
            const auto comma = line.rfind(',');
            const bool has_source = comma != std::string::npos && comma + 1 < line.size() &&
                                    line.find_first_not_of(' ', comma + 1) != std::string::npos;
            EXPECT_TRUE(has_source) << entry.path().string() << ":" << line_number << ": " << line;
        }
    }
    EXPECT_GE(tables, 10);
}

} // namespace
