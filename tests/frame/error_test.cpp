// Composition of message lines, the severity chain and both conventions.
#include "frame/error.hpp"
#include "mpxlib.h"
#include "tests/common/fresh_process.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;
void collect(const char *line) { g_lines.emplace_back(line); }

class ErrorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MPX_SKIP_UNLESS_FRESH_PROCESS();
        g_lines.clear();
    }
    void TearDown() override { mpx_install_error(nullptr); }
};

TEST_F(ErrorTest, ComposesClassLetterSeverityDigitAndText) {
    mpx_install_error(collect);
    mpx_combine_error(80, 3, "(mpx_set_source) bad id");
    mpx_combine_error(83, 3, "Memory shortage (cs_create)");
    mpx_combine_error(85, 3, "Datum not found");
    EXPECT_EQ(g_lines,
              (std::vector<std::string>{"P3:(mpx_set_source) bad id",
                                        "S3:Memory shortage (cs_create)", "U3:Datum not found"}));
}

TEST_F(ErrorTest, SeverityZeroChainsOneTwoThenReopensAfterThree) {
    mpx_install_error(collect);
    for (int severity : {0, 0, 3, 0})
        mpx_combine_error(83, severity, "x");
    EXPECT_EQ(g_lines, (std::vector<std::string>{"S1:x", "S2:x", "S3:x", "S1:x"}));
}

TEST_F(ErrorTest, UnknownClassAndSeverityShowBlanks) {
    mpx_install_error(collect);
    mpx_combine_error(81, 3, "a");
    mpx_combine_error(83, 7, "b");
    mpx_combine_error(83, 0, "c"); // after a severity of 7 the chain continues
    EXPECT_EQ(g_lines, (std::vector<std::string>{" 3:a", "S :b", "S2:c"}));
}

TEST_F(ErrorTest, WithoutHandlerNothingIsComposedAndChainStaysClosed) {
    mpx_combine_error(83, 0, "lost");
    mpx_combine_error(83, 0, "lost too");
    mpx_install_error(collect);
    mpx_combine_error(83, 0, "first");
    EXPECT_EQ(g_lines, (std::vector<std::string>{"S1:first"}));
}

TEST_F(ErrorTest, ForwardingConventionNeverCallsHandlerButAdvancesChain) {
    mpx_install_error_f(collect);
    mpx_combine_error(83, 0, "hidden");
    err_deliver_direct("Inconsistent datum/projection pair");
    EXPECT_TRUE(g_lines.empty());
    mpx_install_error(collect);
    mpx_combine_error(83, 0, "shown");
    EXPECT_EQ(g_lines, (std::vector<std::string>{"S2:shown"}));
}

TEST_F(ErrorTest, DirectLineHasNoPrefixAndLeavesChainAlone) {
    mpx_install_error(collect);
    mpx_combine_error(83, 0, "open");
    err_deliver_direct("Inconsistent datum/projection pair");
    mpx_combine_error(83, 0, "continue");
    EXPECT_EQ(g_lines, (std::vector<std::string>{"S1:open", "Inconsistent datum/projection pair",
                                                 "S2:continue"}));
}

TEST_F(ErrorTest, NullHandlerStopsEveryDelivery) {
    mpx_install_error(collect);
    mpx_install_error(nullptr);
    mpx_combine_error(80, 3, "dropped");
    err_deliver_direct("dropped");
    EXPECT_TRUE(g_lines.empty());
}

TEST_F(ErrorTest, OverlongHostTextIsCutToTheLine) {
    mpx_install_error(collect);
    const std::string text(300, 'x');
    mpx_combine_error(80, 3, text.c_str());
    ASSERT_EQ(g_lines.size(), 1u);
    EXPECT_EQ(g_lines[0], "P3:" + std::string(96, 'x'));
}

} // namespace
