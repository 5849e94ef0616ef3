// struct_add and struct_add_struct report every field they refuse: a
// silent -1 would leave a descriptor short of an attribute with nothing in
// the host's log to say why.
#include "tests/common/message_log.hpp"

#include <cstdint>
#include <string>

namespace {

TEST(BadField, EveryRefusedFieldIsReported) {
    struct Record {
        double a, b;
    } inner_sample{}, r{};
    reported.clear();
    ASSERT_EQ(struct_begin("inner", &inner_sample), 0);
    ASSERT_EQ(struct_add("a", &inner_sample.a, 'd'), 0);
    struct_desc *inner = end_definition();

    ASSERT_EQ(struct_begin("outer", &r), 0);
    void *before_sample = reinterpret_cast<void *>(reinterpret_cast<std::uintptr_t>(&r) - 8);
    const std::string longest(39, 'n'), too_long(40, 'n');
    EXPECT_EQ(struct_add(nullptr, &r.a, 'd'), -1);
    EXPECT_EQ(struct_add("a", nullptr, 'd'), -1);
    EXPECT_EQ(struct_add("a", before_sample, 'd'), -1);
    EXPECT_EQ(struct_add(too_long.c_str(), &r.a, 'd'), -1);
    EXPECT_EQ(struct_add(("%" + too_long).c_str(), &r.a, 'd'), -1);
    EXPECT_EQ(struct_add_struct(nullptr, &r.b), -1);
    EXPECT_EQ(struct_add_struct(inner, nullptr), -1);
    EXPECT_EQ(struct_add_struct(inner, before_sample), -1);
    EXPECT_EQ(reported, "P1:STR:Bad field (struct_add)\n"
                        "P2:STR:Bad field (struct_add)\n"
                        "P2:STR:Bad field (struct_add)\n"
                        "P2:STR:Bad field (struct_add)\n"
                        "P2:STR:Bad field (struct_add)\n"
                        "P2:STR:Bad field (struct_add_struct)\n"
                        "P2:STR:Bad field (struct_add_struct)\n"
                        "P2:STR:Bad field (struct_add_struct)\n");
    // Nothing refused was stored; what fits still goes in.
    EXPECT_EQ(struct_add(("%" + longest).c_str(), &r.a, 'd'), 0);
    EXPECT_EQ(struct_add_struct(inner, &r.b), 0);
    const struct_desc *outer = end_definition();
    ASSERT_EQ(outer->count, 2);
    EXPECT_EQ(outer->attributes[1].offset, static_cast<std::int32_t>(sizeof(double)));
}

} // namespace
