// The console listing of a descriptor and of a record through it.
#include "mpxlib.h"
#include "tests/common/message_log.hpp"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct Record {
    std::int32_t zone;
    char hemisphere;
    double scale;
    char text[120];
};

class DumpTest : public MessageLogTest {
  protected:
    void SetUp() override {
        MessageLogTest::SetUp();
        ASSERT_EQ(struct_begin("tm", &record), 0);
        ASSERT_EQ(struct_add(".zone", &record.zone, 'l'), 0);
        ASSERT_EQ(struct_add("%hemisphere", &record.hemisphere, 'c'), 0);
        ASSERT_EQ(struct_add("scale", &record.scale, 'd'), 0);
        ASSERT_EQ(struct_add("text", &record.text, 's'), 0);
        d = struct_end();
        ASSERT_NE(d, nullptr);
        record = {32, 'S', 0.9996, "grid"};
    }

    std::string dump(void *of) {
        testing::internal::CaptureStdout();
        result = struct_dump(d, of);
        return testing::internal::GetCapturedStdout();
    }

    Record record{};
    struct_desc *d = nullptr;
    int result = -9;
};

TEST_F(DumpTest, WithoutRecordListsNamesAndOffsets) {
    EXPECT_EQ(dump(nullptr), "\nStructure Name = tm "
                             "\n Number of attributes = 4"
                             "\n Att name, offset = zone, 0"
                             "\n Att name, offset = hemisphere, 4"
                             "\n Att name, offset = scale, 8"
                             "\n Att name, offset = text, 16");
    EXPECT_EQ(result, 0);
}

TEST_F(DumpTest, WithRecordPrintsEveryClassAsText) {
    EXPECT_EQ(dump(&record), "\nStructure Name = tm "
                             "\nzone = 32"
                             "\nhemisphere = S"
                             "\nscale = 0.9996"
                             "\ntext = grid");
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DumpTest, StopsAtAValueTooLongForItsBuffer) {
    std::memset(record.text, 'x', 100);
    record.text[100] = '\0';
    EXPECT_EQ(dump(&record), "\nStructure Name = tm "
                             "\nzone = 32"
                             "\nhemisphere = S"
                             "\nscale = 0.9996");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(messages(), Lines{"S1:STR:result too large for the string"});

    record.text[99] = '\0'; // 99 characters still fit
    EXPECT_NE(dump(&record).find("\ntext = " + std::string(99, 'x')), std::string::npos);
}

TEST(DumpEmpty, PrintsNameAndZeroCount) {
    int sample = 0;
    ASSERT_EQ(struct_begin("empty", &sample), 0);
    struct_desc *d = struct_end();
    testing::internal::CaptureStdout();
    EXPECT_EQ(struct_dump(d, nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nStructure Name = empty \n Number of attributes = 0");
}

} // namespace
