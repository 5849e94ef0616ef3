// Shared set-up of the database tests: the directory variable, fixture
// tables in the source tree and scratch tables written per test.
#pragma once

#include "mpxlib.h"
#include "tests/common/message_log.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class GdbTest : public MessageLogTest {
  protected:
    static std::string fixture_dir() { return MPX_SOURCE_DIR "tests/gdb/data/basic/"; }

    // Each test runs in its own process, so this holds until the test ends.
    static void use_directory(const std::string &directory) {
        setenv("TORVA_ORTIX_DIR", directory.c_str(), 1);
    }

    // An empty folder of this test's own (tests run in parallel).
    static std::filesystem::path scratch() {
        const char *tmp = std::getenv("MPX_TEST_TMP");
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::filesystem::path dir =
            std::filesystem::path(tmp ? tmp : ".") /
            (std::string("gdb_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return dir;
    }

    static void write_table(const std::filesystem::path &dir, const std::string &name,
                            const std::string &text) {
        std::ofstream(dir / (name + ".dat"), std::ios::binary) << text;
    }

    // Selects `table` and `key` of the fixture tables.
    static void select(const char *table, const char *key) {
        ASSERT_EQ(gdb_set_table(table), 0);
        ASSERT_EQ(gdb_set_name_key(key), 0);
    }

    static std::string load_text(const char *column) {
        char text[600] = "untouched";
        return gdb_load(column, "s", text) == 0 ? text : "failed";
    }
};
