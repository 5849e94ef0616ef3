#include "run_mpxcs.hpp"
#include "tests/common/shell.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace mpxcs_test {
namespace {

std::string scratch_path(const char *suffix) {
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "run";
    return scratch_dir() + "/" + name + suffix;
}

} // namespace

const std::string &scratch_dir() {
    static const std::string dir = [] {
        if (const char *tmp = std::getenv("MPX_TEST_TMP"); tmp && *tmp)
            return std::string(tmp);
        std::error_code error;
        const std::filesystem::path made =
            std::filesystem::temp_directory_path(error) /
            ("mpxcs-tests-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(made, error);
        return error ? std::string(".") : made.string();
    }();
    return dir;
}

std::vector<std::string> Run::out_lines() const {
    std::vector<std::string> lines;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

Run run_mpxcs(const std::string &args, const std::string &input) {
    std::string in = scratch_path(".in"), out = scratch_path(".out"), err = scratch_path(".err");
    std::ofstream(in, std::ios::binary) << input;
    std::string command = "\"" MPX_BINARY_DIR "bin/mpxcs\" " + args + " < \"" + in + "\" > \"" +
                          out + "\" 2> \"" + err + "\"";
#ifdef _WIN32
    // cmd.exe quotes with double quotes only.
    std::replace(command.begin(), command.end(), '\'', '"');
#endif
    Run run;
    run.status = test_support::run_shell(command);
    run.out = test_support::file_bytes(out);
    run.err = test_support::file_bytes(err);
    return run;
}

std::string bundled_db_option() { return "--db " MPX_SOURCE_DIR "data/"; }

std::vector<double> numbers_of(const std::string &line) {
    std::vector<double> numbers;
    std::istringstream stream(line);
    for (double value; stream >> value;)
        numbers.push_back(value);
    return numbers;
}

void expect_conversions(std::span<const Conversion> conversions) {
    for (const Conversion &c : conversions) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.target + ": " + c.input + " (" +
                     c.reference + ")");
        Run run = run_mpxcs(bundled_db_option() + " -d 10 " + c.source + " " + c.target,
                            std::string(c.input) + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<double> numbers = numbers_of(run.out);
        ASSERT_GE(numbers.size(), 2u) << run.out;
        EXPECT_NEAR(numbers[0], c.x, c.tolerance);
        EXPECT_NEAR(numbers[1], c.y, c.tolerance);
    }
}

} // namespace mpxcs_test
