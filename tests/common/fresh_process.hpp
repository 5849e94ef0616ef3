// Tests that need the library's process-wide state as a new process has it
// (initialisation not yet run, the database directory not yet resolved, the
// error chain closed). CTest runs each test in a process of its own; when a
// test program is run by hand, every test after the first skips with a note
// instead of failing on what earlier tests left behind.
#pragma once

#include <gtest/gtest.h>

namespace test_support {

// The counts include the test that is running (as passed until it fails).
inline bool earlier_tests_ran() {
    const testing::UnitTest &unit = *testing::UnitTest::GetInstance();
    return unit.successful_test_count() + unit.failed_test_count() + unit.skipped_test_count() > 1;
}

} // namespace test_support

#define MPX_SKIP_UNLESS_FRESH_PROCESS()                                                            \
    do {                                                                                           \
        if (test_support::earlier_tests_ran())                                                     \
            GTEST_SKIP() << "needs a fresh process (CTest runs each test in its own; or run it "   \
                            "alone with --gtest_filter)";                                          \
    } while (false)
