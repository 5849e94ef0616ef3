// Reading and writing a described record by attribute name, and the shared
// iteration that lists a descriptor's attributes.
#include "mpxlib.h"
#include "struct/struct_data_shift.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kNotFound[] = "STR:Attribute name not found (struct_mod)";
constexpr char kNotModifiable[] = "STR:Attribute is not modifiable (struct_mod)";

// Iteration keywords: compared on their first four characters only, so any
// name beginning with them is a keyword, never an attribute name.
constexpr char kInit[] = "init";
constexpr char kNext[] = "next";
constexpr std::size_t kKeywordLength = 4;
constexpr char kInitVisibleSuffix[] = "-.";

constexpr std::int16_t kFilterAll = 0;
constexpr std::int16_t kFilterVisible = -3; // every class but hidden

int count_of(const struct_desc *d) { return d->attributes ? std::max<int>(d->count, 0) : 0; }

const struct_attr *find(const struct_desc *d, const char *name) {
    if (!d || !name)
        return nullptr;
    const int count = count_of(d);
    for (int i = 0; i < count; ++i)
        if (std::strcmp(d->attributes[i].name, name) == 0)
            return &d->attributes[i];
    return nullptr;
}

bool is_keyword(const char *name, const char *keyword) {
    return std::strncmp(name, keyword, kKeywordLength) == 0;
}

// Restarts ("init...") or advances ("next") the descriptor's shared cursor
// and returns the attribute there or the first after it that the filter
// passes; null at the end.
const struct_attr *iterate(struct_desc *d, const char *keyword) {
    const int count = count_of(d);
    if (is_keyword(keyword, kInit)) {
        d->cursor = 0;
        d->filter = std::strcmp(keyword + kKeywordLength, kInitVisibleSuffix) == 0 ? kFilterVisible
                                                                                   : kFilterAll;
    } else {
        // Held at the end, so "next" called past it never wraps the cursor.
        d->cursor = static_cast<std::int16_t>(std::min(d->cursor + 1, count));
    }
    for (int i = std::max<int>(d->cursor, 0); i < count; ++i) {
        const struct_attr &attr = d->attributes[i];
        if (d->filter == kFilterVisible && attr.access_class == MPX_ACCESS_HIDDEN)
            continue;
        d->cursor = static_cast<std::int16_t>(i);
        return &attr;
    }
    return nullptr;
}

void *field_of(void *record, const struct_attr &attr) {
    return record ? static_cast<char *>(record) + attr.offset : nullptr;
}

} // namespace

extern "C" int struct_inq(struct_desc *d, void *record, char *name, char *type, void *value,
                          int value_size) noexcept {
    if (!d || !name || !type)
        return -1;
    const struct_attr *attr = nullptr;
    if (is_keyword(name, kInit) || is_keyword(name, kNext)) {
        attr = iterate(d, name);
        if (!attr)
            return 1;
        std::strcpy(name, attr->name);
    } else {
        attr = find(d, name);
        if (!attr)
            return -1;
    }
    const char wanted = *type;
    const int result =
        struct_data_shift(field_of(record, *attr), value, attr->type, wanted, value_size);
    if (wanted == MPX_TYPE_ANY)
        *type = attr->type;
    return result;
}

extern "C" int struct_mod(struct_desc *d, void *record, const char *name, const char *type,
                          const void *value) noexcept {
    if (!d || !record || !name || !type || !value)
        return -1;
    const struct_attr *attr = find(d, name);
    if (!attr) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kNotFound);
        return -1;
    }
    if (attr->access_class != MPX_ACCESS_MODIFIABLE) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kNotModifiable);
        return -2;
    }
    // Text room 0: a text attribute can never be written through here.
    return struct_data_shift(value, field_of(record, *attr), *type, attr->type, 0);
}

extern "C" int struct_offset(struct_desc *d, const char *name) noexcept {
    const struct_attr *attr = find(d, name);
    return attr ? attr->offset : -1;
}
