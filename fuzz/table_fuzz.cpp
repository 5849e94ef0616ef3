// Database table files: one input is one table file. Each input gets a table
// name never used before, so the table cache always opens and parses the
// file (a name reused would be a cache hit on the file of an earlier input).
// The records are listed, searched by name and loaded column by column and
// through a descriptor; the line splitter also runs on the raw input.
#include "fuzz_files.hpp"
#include "gdb/table_format.hpp"
#include "mpxlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kMaxColumns = 40;
constexpr std::size_t kLineRoom = 512; // the library's line buffer: a field is shorter
constexpr int kMaxRecords = 64;        // enough to reach every path, keeps inputs fast
constexpr std::size_t kKeyRoom = 20;

struct Record {
    double false_east;
    std::int32_t zone;
    char hemisphere;
    char source[64];
};

void ignore_error(const char *) {}

struct_desc *record_descriptor() {
    static Record sample;
    static struct_desc *const d = [] {
        struct_begin("fuzz", &sample);
        struct_add("false_east", &sample.false_east, 'd');
        struct_add("zone", &sample.zone, 'l');
        struct_add("hemisphere", &sample.hemisphere, 'c');
        struct_add("source", sample.source, 's');
        return struct_end();
    }();
    return d;
}

// The header's column names, split the way the library splits them.
int header_columns(const std::uint8_t *data, std::size_t size, char *header, char **columns) {
    const std::size_t length = std::min(size, kLineRoom - 1);
    std::memcpy(header, data, length);
    header[length] = '\0';
    if (char *newline = std::strchr(header, '\n'))
        newline[1] = '\0';
    return gdb_split_line(header, columns, kMaxColumns);
}

void split_directly(const std::uint8_t *data, std::size_t size) {
    char line[kLineRoom];
    char *fields[kMaxColumns];
    const std::size_t length = std::min(size, sizeof line - 1);
    std::memcpy(line, data, length);
    line[length] = '\0';
    const int n = size > 0 ? data[0] % kMaxColumns + 1 : 1;
    const int found = gdb_split_line(line, fields, n);
    if (found < 0 || found > n)
        std::abort();
    for (int i = 0; i < n; ++i)
        if (fields[i] < line || fields[i] + std::strlen(fields[i]) >= line + sizeof line)
            std::abort();
}

void load_every_column(char **columns, int count) {
    static const char kTypes[] = "cdls";
    for (int i = 0; i < count; ++i) {
        for (const char type : std::string_view(kTypes)) {
            alignas(double) char value[kLineRoom];
            gdb_load(columns[i], &type, value);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool ready = [] {
        mpx_install_error(ignore_error);
        setenv("TORVA_ORTIX_DIR", fuzz::temp_dir().c_str(), 1);
        return true;
    }();
    (void)ready;
    split_directly(data, size);

    static unsigned long input_number = 0;
    char table[kKeyRoom];
    std::snprintf(table, sizeof table, "t%lu", input_number++);
    const std::string path = fuzz::temp_dir() + table + ".dat";
    fuzz::write_file(path, data, size);

    char header[kLineRoom];
    char *columns[kMaxColumns];
    const int count = header_columns(data, size, header, columns);
    if (gdb_set_table(table) == 0 && gdb_next_name_key(nullptr) == 0) {
        char names[kMaxRecords][kKeyRoom];
        int listed = 0;
        char name[kLineRoom];
        while (listed < kMaxRecords && gdb_next_name_key(name) == 0) {
            load_every_column(columns, count);
            std::snprintf(names[listed++], kKeyRoom, "%s", name);
        }
        Record record{};
        for (int i = 0; i < listed; ++i) {
            if (gdb_set_name_key(names[i]) == 0) {
                load_every_column(columns, count);
                gdb_struct_load(record_descriptor(), &record);
            }
        }
    }
    // The library keeps the file open; the name is never selected again.
    std::remove(path.c_str());
    return 0;
}
