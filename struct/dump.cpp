// Console listing of a descriptor, or of a record through its descriptor.
#include "frame/support.hpp"
#include "mpxlib.h"
#include "struct/struct_data_shift.hpp"

#include <cstring>

namespace {

constexpr int kValueRoom = 100; // a value of 100 characters or more ends the dump

} // namespace

extern "C" int struct_dump(struct_desc *d, void *record) noexcept {
    if (!d)
        return -1;
    qfio_Printf("\nStructure Name = %s ", d->name);
    if (!record) {
        qfio_Printf("\n Number of attributes = %d", d->count);
        const int count = d->attributes ? d->count : 0;
        for (int i = 0; i < count; ++i)
            qfio_Printf("\n Att name, offset = %s, %d", d->attributes[i].name,
                        static_cast<int>(d->attributes[i].offset));
        return 0;
    }
    char name[kStructNameRoom] = "init";
    char value[kValueRoom];
    // Ends after at most count + 1 inquiries: each "next" moves the cursor on.
    for (;;) {
        char type = MPX_TYPE_STRING;
        if (struct_inq(d, record, name, &type, value, kValueRoom) != 0)
            return 1;
        qfio_Printf("\n%s = %s", name, value);
        std::strcpy(name, "next");
    }
}
