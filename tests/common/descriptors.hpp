// Descriptors live until the process ends and only their users hold them.
// Tests keep theirs in static storage, as the registry does, so the leak
// checker sees them owned.
#pragma once

#include "mpxlib.h"

inline struct_desc *end_definition() {
    constexpr int kKept = 64;
    static struct_desc *kept[kKept];
    static int count = 0;
    struct_desc *d = struct_end();
    if (d && count < kKept)
        kept[count++] = d;
    return d;
}
