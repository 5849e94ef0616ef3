// Record layouts are the same on every target (64-bit Linux, 32-bit
// Windows): the offset of every attribute of every described record is
// compared with one table, data/record_layouts.txt. Records may hold only
// doubles, 32-bit integers ('l', never the host's `long`), characters and
// character arrays, so nothing in them depends on pointer or `long` size.
// A record not yet in the table is held to the alignment rule that makes
// its layout equal everywhere. To pin it, run this test on Linux with
// MPX_RECORD_LAYOUTS_OUT naming a file: it writes every record's lines there.
#include "cs/cs_table.hpp"
#include "proj/registry.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// "<record> <attribute> <type> <offset>", and "<record> size <bytes>" for the
// registry's parameter records.
std::vector<std::string> layout_lines(const struct_desc *d, int size) {
    std::vector<std::string> lines;
    if (size >= 0)
        lines.push_back(std::string(d->name) + " size " + std::to_string(size));
    for (int i = 0; i < d->count; ++i) {
        const struct_attr &a = d->attributes[i];
        std::ostringstream line;
        line << d->name << ' ' << a.name << ' ' << a.type << ' ' << a.offset;
        lines.push_back(line.str());
    }
    return lines;
}

// All lines of one record, keyed by its name.
std::map<std::string, std::vector<std::string>> described_records() {
    std::map<std::string, std::vector<std::string>> records;
    for (CsDescriptor which : {CsDescriptor::Units, CsDescriptor::Aoi, CsDescriptor::Resolution,
                               CsDescriptor::Datum, CsDescriptor::Projection, CsDescriptor::Affine})
        if (const struct_desc *d = cs_descriptor(which))
            records[d->name] = layout_lines(d, -1);
    for (int i = 0; i < proj_count(); ++i)
        if (const mpx_proj_entry *e = proj_entry(i); e && e->descriptor)
            records[e->descriptor->name] = layout_lines(e->descriptor, e->param_size);
    return records;
}

std::map<std::string, std::vector<std::string>> pinned_records() {
    std::map<std::string, std::vector<std::string>> records;
    std::ifstream file(MPX_SOURCE_DIR "tests/platform/data/record_layouts.txt", std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            records[line.substr(0, line.find(' '))].push_back(line);
    }
    return records;
}

// Doubles on 8-byte and 32-bit integers on 4-byte offsets, records a
// multiple of 8 bytes: the layout any of the targets gives such a record.
bool aligned_everywhere(const std::vector<std::string> &lines) {
    for (const std::string &line : lines) {
        std::istringstream fields(line);
        std::string record, attribute, type;
        long value = 0;
        fields >> record >> attribute >> type >> value;
        const long alignment = attribute == "size" || type == "d" ? 8 : type == "l" ? 4 : 1;
        if (value % alignment != 0)
            return false;
    }
    return true;
}

TEST(RecordLayout, EveryDescribedRecordHasTheSameOffsetsOnEveryTarget) {
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "data/", 1);
    mpx_inq_next_base(nullptr); // initialises the descriptors and the registry
    const auto described = described_records();
    if (const char *out = std::getenv("MPX_RECORD_LAYOUTS_OUT")) {
        std::ofstream file(out, std::ios::binary);
        file << "# <record> <attribute> <type> <offset>, <record> size <parameter record bytes>\n";
        for (const auto &[name, lines] : described)
            for (const std::string &line : lines)
                file << line << '\n';
    }
    const auto pinned = pinned_records();
    ASSERT_GT(pinned.size(), 30u);
    for (const auto &[name, lines] : described) {
        std::ostringstream all;
        for (const std::string &line : lines)
            all << line << '\n';
        if (auto found = pinned.find(name); found != pinned.end())
            EXPECT_EQ(lines, found->second) << "described now:\n" << all.str();
        else
            EXPECT_TRUE(aligned_everywhere(lines)) << "not pinned and misaligned:\n" << all.str();
    }
    for (const auto &[name, lines] : pinned)
        EXPECT_TRUE(described.count(name)) << name << " is pinned but no longer described";
}

// A 'l' attribute is four bytes wide on every target: written and read
// through the descriptor, it leaves its neighbours untouched.
TEST(RecordLayout, LongAttributesAreThirtyTwoBitsWide) {
    struct Record {
        std::int32_t before, value, after;
    } r{-1, 0, -1};
    ASSERT_EQ(struct_begin("long_width", &r), 0);
    struct_add("value", &r.value, MPX_TYPE_LONG);
    static struct_desc *const d = struct_end(); // kept for the process
    ASSERT_NE(d, nullptr);
    const std::int32_t written = -2147483647 - 1;
    ASSERT_EQ(struct_mod(d, &r, "value", "l", &written), 0);
    std::int64_t read = 0x5555555555555555;
    char name[] = "value", type = MPX_TYPE_LONG;
    ASSERT_EQ(struct_inq(d, &r, name, &type, &read, sizeof read), 0);
    EXPECT_EQ(static_cast<std::int32_t>(read & 0xffffffff), written);
    EXPECT_EQ(read >> 32, 0x55555555); // the upper half of the buffer is not written
    EXPECT_EQ(r.before, -1);
    EXPECT_EQ(r.after, -1);
}

} // namespace
