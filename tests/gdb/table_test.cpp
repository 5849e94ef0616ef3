// Table files: the six-slot cache and its eviction, and files that are
// missing, unreadable, empty or shaped beyond the buffers.
#include "frame/support.hpp"
#include "tests/gdb/gdb_fixture.hpp"

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TableTest : public GdbTest {
  protected:
    void SetUp() override {
        GdbTest::SetUp();
        dir = scratch();
        use_directory(dir.string());
    }
    fs::path dir;
};

TEST_F(TableTest, SeventhTableEvictsTheSixthAndCachedOnesReadNoFile) {
    for (int i = 1; i <= 7; ++i)
        write_table(dir, "t" + std::to_string(i), "name,v\nR" + std::to_string(i) + ",1\n");
    for (int i = 1; i <= 7; ++i)
        ASSERT_EQ(gdb_set_table(("t" + std::to_string(i)).c_str()), 0) << i;
    for (int i = 1; i <= 7; ++i)
        fs::remove(dir / ("t" + std::to_string(i) + ".dat"));

    // t1 to t5 and t7 are still open in their slots; t6 was closed.
    for (const char *cached : {"t1", "t5", "t7"}) {
        ASSERT_EQ(gdb_set_table(cached), 0) << cached;
        const std::string key = std::string("R") + (cached + 1);
        EXPECT_EQ(gdb_set_name_key(key.c_str()), 0) << cached;
    }
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(gdb_set_table("t6"), -1);
    EXPECT_EQ(messages(), Lines{"S1:GDB:opening the file"});
}

TEST_F(TableTest, ReselectingATableRewindsItsListing) {
    write_table(dir, "a", "name,v\nA1,1\nA2,2\n");
    write_table(dir, "b", "name,v\nB1,1\n");
    char name[64];
    ASSERT_EQ(gdb_set_table("a"), 0);
    ASSERT_EQ(gdb_next_name_key(nullptr), 0);
    ASSERT_EQ(gdb_next_name_key(name), 0);
    ASSERT_EQ(gdb_set_table("b"), 0);
    ASSERT_EQ(gdb_set_table("a"), 0);
    ASSERT_EQ(gdb_next_name_key(name), 0); // only rewinds
    ASSERT_EQ(gdb_next_name_key(name), 0);
    EXPECT_STREQ(name, "A1");
}

TEST_F(TableTest, TableNameOfTwentyCharactersIsRefusedSilently) {
    write_table(dir, "abcdefghijklmnopqrs", "name\nX\n");
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqrst"), -1);
    EXPECT_EQ(gdb_set_table(nullptr), -1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqrs"), 0);
}

TEST_F(TableTest, MissingEmptyAndUnreadableFiles) {
    write_table(dir, "empty", "");
    fs::create_directory(dir / "folder.dat"); // opens, but reads nothing
    EXPECT_EQ(gdb_set_table("missing"), -1);
    EXPECT_EQ(gdb_set_table("empty"), -1);
    EXPECT_EQ(gdb_set_table("folder"), -1);
    EXPECT_EQ(messages(), (Lines{"S1:GDB:opening the file", "S2:GDB:reading the file",
                                 "S2:GDB:reading the file"}));
    // A file whose header could not be read stays cached with no columns.
    ASSERT_EQ(gdb_set_table("empty"), 0);
    EXPECT_EQ(gdb_set_name_key("X"), -1);
    EXPECT_EQ(gdb_next_name_key(nullptr), -2);
    EXPECT_EQ(messages().back(), "S2:GDB:reading the file");
    EXPECT_EQ(messages().size(), 5u);
}

TEST_F(TableTest, HeaderWithoutMemoryFreesTheSlotForARetry) {
    write_table(dir, "t", "name,v\nR,2\n");
    ASSERT_NE(gdb_path(), nullptr);
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_set_table("t"), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(messages(), Lines{"S1:GDB:memory shortage"});
    select("t", "R");
    EXPECT_EQ(load_text("v"), "2\n");
}

TEST_F(TableTest, LineLongerThanTheBufferIsReadAsSeveralLines) {
    const std::string long_line(2000, 'L');
    write_table(dir, "long", "name,v\n" + long_line + "\nNEXT,7\n");
    ASSERT_EQ(gdb_set_table("long"), 0);
    ASSERT_EQ(gdb_next_name_key(nullptr), 0);
    char name[512];
    std::vector<std::size_t> pieces;
    while (gdb_next_name_key(name) == 0 && pieces.size() < 10)
        pieces.push_back(std::string(name).size());
    // 511 characters per read; the last piece of the long line keeps its
    // newline, which ends the field.
    EXPECT_EQ(pieces, (std::vector<std::size_t>{511, 511, 511, 467, 4}));
    select("long", "next");
    EXPECT_EQ(load_text("v"), "7\n");
}

TEST_F(TableTest, HeaderBeyondFortyColumnsFoldsTheRestIntoTheFortieth) {
    std::string header = "name";
    std::string record = "R";
    for (int i = 1; i <= 59; ++i) {
        header += ",c" + std::to_string(i);
        record += "," + std::to_string(i);
    }
    write_table(dir, "wide", header + "\n" + record + "\n");
    select("wide", "R");
    EXPECT_EQ(load_text("c38"), "38");
    EXPECT_EQ(load_text("c39"), "failed"); // the 40th name runs to the line's end
    EXPECT_EQ(messages(), Lines{"S1:GDB:Att name not found"});

    std::string folded = "c39";
    std::string rest = "39";
    for (int i = 40; i <= 59; ++i) {
        folded += ",c" + std::to_string(i);
        rest += "," + std::to_string(i);
    }
    EXPECT_EQ(load_text((folded + "\n").c_str()), rest + "\n");
}

} // namespace
