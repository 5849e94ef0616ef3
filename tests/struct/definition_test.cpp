// Building descriptors: access classes from name prefixes, the attribute
// limits, embedding one descriptor in another and calls out of order.
#include "frame/support.hpp"
#include "mpxlib.h"
#include "tests/common/message_log.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

struct Inner {
    double radius;
    double eccentricity;
};

struct Record {
    std::int32_t zone;
    char hemisphere;
    double scale;
    double name;
    Inner spheroid;
    double many[45];
};

class DefinitionTest : public MessageLogTest {
  protected:
    Record sample{};
};

// A descriptor of n double attributes over sample.many.
struct_desc *describe_n(const char *name, Record &sample, int n) {
    EXPECT_EQ(struct_begin(name, &sample), 0);
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(struct_add("x", &sample.many[i], 'd'), 0);
    return struct_end();
}

TEST_F(DefinitionTest, NamePrefixSetsAccessClassAndStoredName) {
    ASSERT_EQ(struct_begin("tm", &sample), 0);
    ASSERT_EQ(struct_add(".zone", &sample.zone, 'l'), 0);
    ASSERT_EQ(struct_add("%hemisphere", &sample.hemisphere, 'c'), 0);
    ASSERT_EQ(struct_add("scale", &sample.scale, 'd'), 0);
    ASSERT_EQ(struct_add("spheroid.radius", &sample.spheroid.radius, 'd'), 0);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->count, 4);

    struct Expected {
        std::string name;
        char type;
        std::size_t offset;
        char access_class;
    };
    const Expected expected[] = {
        {"zone", 'l', offsetof(Record, zone), MPX_ACCESS_HIDDEN},
        {"hemisphere", 'c', offsetof(Record, hemisphere), MPX_ACCESS_READ_ONLY},
        {"scale", 'd', offsetof(Record, scale), MPX_ACCESS_MODIFIABLE},
        {"spheroid.radius", 'd', offsetof(Record, spheroid), MPX_ACCESS_HIDDEN},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(d->attributes[i].name, expected[i].name);
        EXPECT_EQ(d->attributes[i].type, expected[i].type);
        EXPECT_EQ(d->attributes[i].offset, static_cast<std::int32_t>(expected[i].offset));
        EXPECT_EQ(d->attributes[i].access_class, expected[i].access_class);
        EXPECT_EQ(struct_offset(d, expected[i].name.c_str()), d->attributes[i].offset);
    }
    EXPECT_EQ(struct_offset(d, "%hemisphere"), -1);
    EXPECT_EQ(struct_offset(d, ".zone"), -1);
    EXPECT_EQ(struct_offset(d, "Scale"), -1);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DefinitionTest, FortiethAttributeFitsFortyFirstIsRefused) {
    ASSERT_EQ(struct_begin("forty", &sample), 0);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(struct_add("x", &sample.many[i], 'd'), 0) << i;
    EXPECT_EQ(struct_add("x", &sample.many[40], 'd'), -1);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->count, 40);
    EXPECT_EQ(messages(), Lines{"S1:STR:Too many attributes (struct_add)"});
}

TEST_F(DefinitionTest, EmbeddingStopsBelowFortyAttributes) {
    struct_desc *nine = describe_n("nine", sample, 9);
    struct_desc *ten = describe_n("ten", sample, 10);
    ASSERT_NE(nine, nullptr);
    ASSERT_NE(ten, nullptr);

    Record outer{};
    ASSERT_EQ(struct_begin("outer", &outer), 0);
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(struct_add("x", &outer.many[i], 'd'), 0);
    EXPECT_EQ(struct_add_struct(ten, &outer.many[0]), -1);
    EXPECT_EQ(messages(), Lines{"S1:STR:Too many attributes (struct_add_struct)"});

    // The embedded record sits 8 bytes into the sample: every offset moves by 8.
    ASSERT_EQ(struct_add_struct(nine, reinterpret_cast<char *>(&outer) + 8), 0);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->count, 39);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(d->attributes[30 + i].offset, nine->attributes[i].offset + 8);
    }
}

TEST_F(DefinitionTest, EmbeddedAttributesKeepNamesTypesAndClasses) {
    Inner inner{};
    ASSERT_EQ(struct_begin("spheroid", &inner), 0);
    ASSERT_EQ(struct_add("%radius", &inner.radius, 'd'), 0);
    ASSERT_EQ(struct_add(".eccentricity", &inner.eccentricity, 'd'), 0);
    struct_desc *spheroid = struct_end();
    ASSERT_NE(spheroid, nullptr);

    ASSERT_EQ(struct_begin("outer", &sample), 0);
    ASSERT_EQ(struct_add("scale", &sample.scale, 'd'), 0);
    ASSERT_EQ(struct_add_struct(spheroid, &sample.spheroid), 0);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(struct_offset(d, "radius"), static_cast<int>(offsetof(Record, spheroid)));
    EXPECT_EQ(struct_offset(d, "eccentricity"),
              static_cast<int>(offsetof(Record, spheroid) + sizeof(double)));
    EXPECT_EQ(d->attributes[1].access_class, MPX_ACCESS_READ_ONLY);
    EXPECT_EQ(d->attributes[2].access_class, MPX_ACCESS_HIDDEN);
}

TEST_F(DefinitionTest, CallsOutOfOrderAreReported) {
    EXPECT_EQ(struct_add("x", &sample.scale, 'd'), -1);
    EXPECT_EQ(struct_add_struct(nullptr, &sample), -1);
    EXPECT_EQ(struct_end(), nullptr);
    ASSERT_EQ(struct_begin("first", &sample), 0);
    EXPECT_EQ(struct_begin("second", &sample), -1);
    EXPECT_EQ(messages(), (Lines{"P1:STR:Must call struct_begin before struct_add",
                                 "P2:STR:Must call struct_begin before struct_add_struct",
                                 "P2:STR:Must call struct_begin before struct_end",
                                 "P2:STR:Cannot have nested struct_begin"}));
}

TEST_F(DefinitionTest, OnlyTheFourFieldTypesAreAccepted) {
    ASSERT_EQ(struct_begin("types", &sample), 0);
    for (int type : {int{'*'}, int{'x'}, 0, int{'D'}})
        EXPECT_EQ(struct_add("x", &sample.scale, type), -1);
    EXPECT_EQ(struct_end()->count, 0);
    EXPECT_EQ(messages(),
              (Lines{"P1:STR:Bad data type (struct_add)", "P2:STR:Bad data type (struct_add)",
                     "P2:STR:Bad data type (struct_add)", "P2:STR:Bad data type (struct_add)"}));
}

TEST_F(DefinitionTest, FailedEndLeavesDefinitionOpen) {
    ASSERT_EQ(struct_begin("short", &sample), 0);
    ASSERT_EQ(struct_add("scale", &sample.scale, 'd'), 0);
    qmsc_FailAfter(0);
    EXPECT_EQ(struct_end(), nullptr);
    EXPECT_EQ(struct_begin("again", &sample), -1);
    qmsc_FailAfter(-1);
    struct_desc *d = struct_end();
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->name, "short");
    EXPECT_EQ(d->count, 1);
    EXPECT_EQ(messages(),
              (Lines{"S1:STR:memory shortage", "P2:STR:Cannot have nested struct_begin"}));
}

TEST_F(DefinitionTest, BeginWithoutMemoryOpensNothing) {
    qmsc_FailAfter(0);
    EXPECT_EQ(struct_begin("short", &sample), -1);
    qmsc_FailAfter(-1);
    EXPECT_EQ(messages(), Lines{"S1:STR:memory shortage"});
    EXPECT_EQ(struct_begin("short", &sample), 0);
}

TEST_F(DefinitionTest, UnusableNamesAndFieldsAreRefusedWithoutEffect) {
    EXPECT_EQ(struct_begin(nullptr, &sample), -1);
    EXPECT_EQ(struct_begin("bad", nullptr), -1);
    ASSERT_EQ(struct_begin("bad", &sample), 0);
    // Stored names of 40 characters would overrun an iteration's name buffer.
    static const std::string forty(40, 'n');
    static const std::string read_only_39 = "%" + forty.substr(1);
    EXPECT_EQ(struct_add(forty.c_str(), &sample.scale, 'd'), -1);
    EXPECT_EQ(struct_add(read_only_39.c_str(), &sample.scale, 'd'), 0);
    EXPECT_EQ(struct_add(nullptr, &sample.scale, 'd'), -1);
    EXPECT_EQ(struct_add("x", nullptr, 'd'), -1);
    EXPECT_EQ(struct_add("x", reinterpret_cast<char *>(&sample) - 8, 'd'), -1);
    EXPECT_EQ(struct_add_struct(nullptr, &sample), -1);
    EXPECT_EQ(struct_end()->count, 1);
    EXPECT_TRUE(messages().empty());
}

} // namespace
