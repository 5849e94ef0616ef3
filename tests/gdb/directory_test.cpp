// Where the database lives and which type it is: the directory variable, its
// default, the unsupported server type and the one-time choice of type.
#include "frame/support.hpp"
#include "tests/gdb/gdb_fixture.hpp"

#include <string>

namespace {

using DirectoryTest = GdbTest;

constexpr char kNoSybase[] = "\n NO SYBASE ! ";

TEST_F(DirectoryTest, UnsetVariableUsesBuiltInDirectory) {
    unsetenv("TORVA_ORTIX_DIR");
    EXPECT_STREQ(gdb_path(), "/usr/meridox/etc/ortix/");
    EXPECT_STREQ(gdb_grid_path(), "/usr/meridox/etc/ortix/");
    EXPECT_EQ(gdb_set_table("datum_sp"), -1); // no installation on the test machine
    EXPECT_EQ(messages(), Lines{"S1:GDB:opening the file"});
}

TEST_F(DirectoryTest, EmptyVariableCountsAsUnset) {
    use_directory("");
    EXPECT_STREQ(gdb_path(), "/usr/meridox/etc/ortix/");
}

TEST_F(DirectoryTest, SlashIsAppendedOnlyWhenMissing) {
    use_directory("/data/ortix");
    EXPECT_STREQ(gdb_path(), "/data/ortix/");
}

TEST_F(DirectoryTest, TrailingSlashIsKept) {
    use_directory("/data/ortix/");
    EXPECT_STREQ(gdb_path(), "/data/ortix/");
}

TEST_F(DirectoryTest, ResolvedDirectoryIsUsedForTables) {
    std::string dir = fixture_dir();
    dir.pop_back(); // without its trailing '/'
    use_directory(dir);
    EXPECT_EQ(gdb_set_table("datum_sp"), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DirectoryTest, SybasePrefixSelectsUnsupportedServer) {
    use_directory("SYBASE/server");
    EXPECT_STREQ(gdb_path(), "server");
    EXPECT_EQ(gdb_set_db(MPX_DB_FLAT_FILES), 0); // too late: the type is chosen
    testing::internal::CaptureStdout();
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    EXPECT_EQ(gdb_set_name_key("WGS84"), -1); // no table selected
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kNoSybase);
    EXPECT_EQ(messages(), Lines{"P1:GDB:No table in gdb_set_key"});
}

TEST_F(DirectoryTest, TypeChosenByLookupCannotBeChangedLater) {
    use_directory(fixture_dir());
    ASSERT_NE(gdb_path(), nullptr);
    EXPECT_EQ(gdb_set_db(MPX_DB_SYBASE), 0);
    EXPECT_EQ(gdb_set_db(7), 0); // once chosen, even a bad type changes nothing
    EXPECT_EQ(gdb_set_table("datum_sp"), 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DirectoryTest, HostCanForceTheTypeFirst) {
    use_directory(fixture_dir());
    EXPECT_EQ(gdb_set_db(9), -1);
    EXPECT_EQ(messages(), Lines{"P1:GDB:Bad database type"});
    EXPECT_EQ(gdb_set_db(MPX_DB_SYBASE), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kNoSybase);
    EXPECT_STREQ(gdb_path(), fixture_dir().c_str());
}

TEST_F(DirectoryTest, MemoryShortageIsReportedAndRetried) {
    use_directory("/data/ortix");
    qmsc_FailAfter(0);
    EXPECT_EQ(gdb_path(), nullptr);
    EXPECT_EQ(gdb_set_table("datum_sp"), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(messages(), (Lines{"S1:Memory shortage", "S2:Memory shortage"}));
    EXPECT_STREQ(gdb_path(), "/data/ortix/");
}

TEST_F(DirectoryTest, PathThatDoesNotFitTheLineIsRefused) {
    // The 512-byte line holds a path of at most 511 characters.
    const std::string dir = "/" + std::string(488, 'd') + "/";
    use_directory(dir);
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopqr"), -1); // 490 + 18 + 4 = 512
    EXPECT_EQ(messages(), Lines{"S1:GDB:file-name too big"});
    EXPECT_EQ(gdb_set_table("abcdefghijklmnopq"), -1); // 511: fits, but no such file
    EXPECT_EQ(messages().back(), "S2:GDB:opening the file");
}

} // namespace
