// Building descriptors: one definition at a time, attribute by attribute,
// from a sample record in memory. The finished descriptor owns an exact-size
// copy of the definition table and never changes again.
#include "frame/support.hpp"
#include "mpxlib.h"
#include "struct/struct_data_shift.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr char kNested[] = "STR:Cannot have nested struct_begin";
constexpr char kMemoryShortage[] = "STR:memory shortage";
constexpr char kNoBeginAdd[] = "STR:Must call struct_begin before struct_add";
constexpr char kNoBeginAddStruct[] = "STR:Must call struct_begin before struct_add_struct";
constexpr char kNoBeginEnd[] = "STR:Must call struct_begin before struct_end";
constexpr char kBadType[] = "STR:Bad data type (struct_add)";
constexpr char kTooManyAdd[] = "STR:Too many attributes (struct_add)";
constexpr char kTooManyAddStruct[] = "STR:Too many attributes (struct_add_struct)";
constexpr char kBadFieldAdd[] = "STR:Bad field (struct_add)";
constexpr char kBadFieldAddStruct[] = "STR:Bad field (struct_add_struct)";

constexpr int kMaxAttributes = MPX_STRUCT_MAX_ATTRIBUTES;

struct DefinitionState {
    std::array<struct_attr, kMaxAttributes> table{};
    struct_desc *open = nullptr; // the descriptor under construction
    std::uintptr_t sample = 0;   // address every field offset is taken from
};

DefinitionState g_definition;

int fail(int class_code, const char *text) {
    mpx_combine_error(class_code, 0, text);
    return -1;
}

// Byte position of `address` in the sample record, or -1 when it lies
// before the sample or beyond what a 32-bit offset can hold.
std::int64_t offset_in_sample(const void *address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    if (!address || at < g_definition.sample ||
        at - g_definition.sample > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int64_t>(at - g_definition.sample);
}

// Access class and stored name by the name's spelling: a leading '%' marks
// a read-only attribute, a leading '.' or a '.' anywhere a hidden one.
struct_attr classify(const char *name) {
    struct_attr attr{};
    attr.name = name;
    attr.access_class = MPX_ACCESS_MODIFIABLE;
    if (name[0] == '%') {
        attr.name = name + 1;
        attr.access_class = MPX_ACCESS_READ_ONLY;
    } else if (name[0] == '.') {
        attr.name = name + 1;
        attr.access_class = MPX_ACCESS_HIDDEN;
    } else if (std::strchr(name, '.')) {
        attr.access_class = MPX_ACCESS_HIDDEN;
    }
    return attr;
}

bool is_field_type(int type) {
    return type == MPX_TYPE_CHAR || type == MPX_TYPE_DOUBLE || type == MPX_TYPE_LONG ||
           type == MPX_TYPE_STRING;
}

} // namespace

extern "C" int struct_begin(const char *name, void *sample) noexcept {
    if (g_definition.open)
        return fail(MPX_CLASS_PROGRAM, kNested);
    if (!name || !sample)
        return -1;
    auto *d = static_cast<struct_desc *>(qmsc_HeapMalloc(sizeof(struct_desc)));
    if (!d)
        return fail(MPX_CLASS_SYSTEM, kMemoryShortage);
    d->name = name;
    d->cursor = 0;
    d->filter = 0;
    d->count = 0;
    d->attributes = g_definition.table.data();
    g_definition.open = d;
    g_definition.sample = reinterpret_cast<std::uintptr_t>(sample);
    return 0;
}

extern "C" int struct_add(const char *name, void *field, int type) noexcept {
    struct_desc *d = g_definition.open;
    if (!d)
        return fail(MPX_CLASS_PROGRAM, kNoBeginAdd);
    if (!is_field_type(type))
        return fail(MPX_CLASS_PROGRAM, kBadType);
    if (d->count >= kMaxAttributes)
        return fail(MPX_CLASS_SYSTEM, kTooManyAdd);
    // A name that would not fit an iteration's name buffer, or a field outside
    // the sample, is refused rather than stored for a later overrun; and
    // reported, so that a descriptor short of an attribute says why.
    if (!name)
        return fail(MPX_CLASS_PROGRAM, kBadFieldAdd);
    struct_attr attr = classify(name);
    const std::int64_t offset = offset_in_sample(field);
    if (offset < 0 || std::strlen(attr.name) >= kStructNameRoom)
        return fail(MPX_CLASS_PROGRAM, kBadFieldAdd);
    attr.type = static_cast<char>(type);
    attr.offset = static_cast<std::int32_t>(offset);
    g_definition.table[static_cast<std::size_t>(d->count)] = attr;
    ++d->count;
    return 0;
}

extern "C" int struct_add_struct(struct_desc *other, void *embedded) noexcept {
    struct_desc *d = g_definition.open;
    if (!d)
        return fail(MPX_CLASS_PROGRAM, kNoBeginAddStruct);
    // Refusals are reported, as struct_add's are.
    if (!other || other == d || other->count < 0 || (other->count > 0 && !other->attributes))
        return fail(MPX_CLASS_PROGRAM, kBadFieldAddStruct);
    if (d->count + other->count >= kMaxAttributes)
        return fail(MPX_CLASS_SYSTEM, kTooManyAddStruct);
    const std::int64_t shift = offset_in_sample(embedded);
    if (shift < 0)
        return fail(MPX_CLASS_PROGRAM, kBadFieldAddStruct);
    for (int i = 0; i < other->count; ++i) {
        const std::int64_t offset = shift + other->attributes[i].offset;
        if (other->attributes[i].offset < 0 || offset > std::numeric_limits<std::int32_t>::max())
            return fail(MPX_CLASS_PROGRAM, kBadFieldAddStruct);
    }
    for (int i = 0; i < other->count; ++i) {
        struct_attr attr = other->attributes[i];
        attr.offset = static_cast<std::int32_t>(shift + attr.offset);
        g_definition.table[static_cast<std::size_t>(d->count + i)] = attr;
    }
    d->count = static_cast<std::int16_t>(d->count + other->count);
    return 0;
}

extern "C" struct_desc *struct_end(void) noexcept {
    struct_desc *d = g_definition.open;
    if (!d) {
        fail(MPX_CLASS_PROGRAM, kNoBeginEnd);
        return nullptr;
    }
    struct_attr *attributes = nullptr;
    if (d->count > 0) {
        const auto count = static_cast<std::size_t>(d->count);
        attributes = static_cast<struct_attr *>(qmsc_HeapMalloc(count * sizeof(struct_attr)));
        if (!attributes) {
            fail(MPX_CLASS_SYSTEM, kMemoryShortage);
            return nullptr;
        }
        std::memcpy(attributes, g_definition.table.data(), count * sizeof(struct_attr));
    }
    d->attributes = attributes;
    g_definition.open = nullptr;
    return d;
}
