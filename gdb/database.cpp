// The geodetic database: the directory, the cache of open table files, the
// cursor over one selected record, and loading values and described records
// from it. Tables are comma-separated text files, read line by line with no
// index: every search rewinds its file.
#include "frame/support.hpp"
#include "gdb/table_format.hpp"
#include "mpxlib.h"
#include "struct/struct_data_shift.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace {

constexpr char kBadDatabaseType[] = "GDB:Bad database type";
constexpr char kNoTableForKey[] = "GDB:No table in gdb_set_key";
constexpr char kNoTableForListing[] = "GDB:No table in gdb_next_name_key";
constexpr char kNoKeyForLoad[] = "GDB:No key for gdb_load";
constexpr char kNoTable[] = "GDB:NO table";
constexpr char kFileNameTooBig[] = "GDB:file-name too big";
constexpr char kOpening[] = "GDB:opening the file";
constexpr char kReading[] = "GDB:reading the file";
constexpr char kMemoryShortage[] = "GDB:memory shortage";
constexpr char kColumnNotFound[] = "GDB:Att name not found";
constexpr char kBadDataType[] = "GDB:Bad data type";
constexpr char kDirectoryShortage[] = "Memory shortage";
constexpr char kNoSybase[] = "\n NO SYBASE ! ";

constexpr char kDirectoryVariable[] = "TORVA_ORTIX_DIR";
// Fixed when the library is configured (CMake option MPX_DEFAULT_DB_DIR).
#ifndef MPX_DEFAULT_DB_DIR
#define MPX_DEFAULT_DB_DIR "/usr/meridox/etc/ortix/"
#endif
constexpr char kDefaultDirectory[] = MPX_DEFAULT_DB_DIR;
constexpr char kSybasePrefix[] = "SYBASE/";
constexpr std::size_t kSybasePrefixLength = sizeof kSybasePrefix - 1;
constexpr char kTableSuffix[] = ".dat";

constexpr int kCacheSlots = 6;
constexpr int kMaxColumns = 40;
constexpr std::size_t kNameRoom = 20; // table names and keys: at most 19 characters
constexpr int kLineSize = 512;        // a longer line is read as several lines
constexpr std::size_t kValueSize = 128;
constexpr std::size_t kUnboundedText = static_cast<std::size_t>(-1);

enum class Selection { None, Table, Record };

struct CachedTable {
    char name[kNameRoom];
    qfio_handle file; // null: the slot is free
    int columns;
    char *header; // heap copy of the header line, split in place
    std::array<char *, kMaxColumns> column_names;
};

struct DatabaseState {
    bool type_chosen = false;
    int type = MPX_DB_FLAT_FILES;
    const char *directory = nullptr; // resolved on first need
    std::array<CachedTable, kCacheSlots> cache{};

    Selection selection = Selection::None;
    char table[kNameRoom] = {};
    int slot = 0;
    bool rewind_pending = false;
    char key[kNameRoom] = {}; // upper case
    char line[kLineSize] = {};
    // Fields of the record in `line`; all null while `line` holds no record.
    std::array<char *, kMaxColumns> fields{};
    char *value_buffer = nullptr; // of gdb_struct_load, kept once taken
};

DatabaseState g_db;

int fail(int class_code, const char *text) {
    mpx_combine_error(class_code, 0, text);
    return -1;
}

// The unsupported server type answers every table, record and load call.
int no_sybase() {
    qfio_Printf("%s", kNoSybase);
    return -1;
}

void choose_type(int type) {
    if (!g_db.type_chosen) {
        g_db.type = type;
        g_db.type_chosen = true;
    }
}

// An empty variable counts as unset: it would otherwise name the root
// directory, which no installation means.
const char *resolve_directory() {
    const char *value = qstr_GetEnv(kDirectoryVariable);
    if (!value || !*value) {
        choose_type(MPX_DB_FLAT_FILES);
        return kDefaultDirectory;
    }
    // After the server prefix comes a server name, not a directory: it is
    // kept exactly as given.
    const bool sybase = std::strncmp(value, kSybasePrefix, kSybasePrefixLength) == 0;
    if (sybase)
        value += kSybasePrefixLength;
    const std::size_t length = std::strlen(value);
    const bool add_slash = !sybase && value[length - 1] != '/';
    auto *copy = static_cast<char *>(qmsc_HeapMalloc(length + 2));
    if (!copy) {
        mpx_combine_error(MPX_CLASS_SYSTEM, 0, kDirectoryShortage);
        return nullptr;
    }
    std::memcpy(copy, value, length);
    copy[length] = '/';
    copy[length + (add_slash ? 1 : 0)] = '\0';
    choose_type(sybase ? MPX_DB_SYBASE : MPX_DB_FLAT_FILES);
    return copy;
}

CachedTable &current_table() { return g_db.cache[static_cast<std::size_t>(g_db.slot)]; }

// Reads the next line of `file` into the line buffer: 1 a line, 0 end of
// file, -1 read error. Any record the buffer held is forgotten.
int read_line(qfio_handle file) {
    g_db.fields.fill(nullptr);
    if (qfio_Fgets(g_db.line, kLineSize, file, 0))
        return 1;
    return qfio_Feof(file) ? 0 : -1;
}

// Rewinds to the first record: back to the start, past the header line.
bool rewind_to_records(qfio_handle file) {
    return qfio_CompatibleFseek(file, 0, 0) == 0 && read_line(file) == 1;
}

void split_record(const CachedTable &table) {
    // A table without column names still has record names to list.
    gdb_split_line(g_db.line, g_db.fields.data(), std::max(table.columns, 1));
}

// Prefix test against the current key, upper-casing the text in place as
// far as it compares.
bool starts_with_key(char *text) {
    for (std::size_t i = 0; g_db.key[i] != '\0'; ++i) {
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (text[i] != g_db.key[i])
            return false;
    }
    return true;
}

void release_slot(CachedTable &table) {
    qfio_Close(table.file, 0);
    qmsc_HeapFree(table.header);
    table = CachedTable{};
}

// The slot holding `name`, else the first free one, else slot 6 emptied.
int take_slot(const char *name) {
    for (int i = 0; i < kCacheSlots; ++i) {
        const CachedTable &table = g_db.cache[static_cast<std::size_t>(i)];
        if (!table.file || std::strcmp(table.name, name) == 0)
            return i;
    }
    release_slot(g_db.cache[kCacheSlots - 1]);
    return kCacheSlots - 1;
}

// Builds directory + name + ".dat" in the line buffer; false when it does
// not fit.
bool build_path(const char *directory, const char *name) {
    const std::size_t dir_length = std::strlen(directory);
    const std::size_t name_length = std::strlen(name);
    const std::size_t suffix_length = sizeof kTableSuffix - 1;
    if (dir_length + name_length + suffix_length >= sizeof g_db.line)
        return false;
    g_db.fields.fill(nullptr);
    char *out = g_db.line;
    std::memcpy(out, directory, dir_length);
    std::memcpy(out + dir_length, name, name_length);
    std::memcpy(out + dir_length + name_length, kTableSuffix, suffix_length + 1);
    return true;
}

int open_table(CachedTable &table, const char *name) {
    const char *directory = gdb_path();
    if (!directory)
        return -1;
    if (!build_path(directory, name))
        return fail(MPX_CLASS_SYSTEM, kFileNameTooBig);
    table.file = qfio_Open(g_db.line, "r", 0);
    if (!table.file)
        return fail(MPX_CLASS_SYSTEM, kOpening);
    std::strcpy(table.name, name);
    // A header that cannot be read leaves the file cached with no columns.
    if (read_line(table.file) != 1)
        return fail(MPX_CLASS_SYSTEM, kReading);
    const std::size_t length = std::strlen(g_db.line);
    table.header = static_cast<char *>(qmsc_HeapMalloc(length + 1));
    if (!table.header) {
        // Freed rather than kept column-less, so a later selection retries.
        release_slot(table);
        return fail(MPX_CLASS_SYSTEM, kMemoryShortage);
    }
    std::memcpy(table.header, g_db.line, length + 1);
    table.columns = gdb_split_line(table.header, table.column_names.data(), kMaxColumns);
    return 0;
}

int column_index(const CachedTable &table, const char *column) {
    for (int i = 0; i < table.columns; ++i)
        if (std::strcmp(table.column_names[static_cast<std::size_t>(i)], column) == 0)
            return i;
    return -1;
}

// gdb_load with a bound on the text it writes.
int load(const char *column, const char *type, void *value, std::size_t room) {
    if (g_db.selection != Selection::Record)
        return fail(MPX_CLASS_PROGRAM, kNoKeyForLoad);
    if (g_db.type == MPX_DB_SYBASE)
        return no_sybase();
    if (!column || !type || !value)
        return -1;
    const int index = column_index(current_table(), column);
    if (index < 0)
        return fail(MPX_CLASS_SYSTEM, kColumnNotFound);
    const char *field = g_db.fields[static_cast<std::size_t>(index)];
    if (!field)
        return 1;
    if (gdb_convert_field(field, *type, value, room) != 0)
        return fail(MPX_CLASS_PROGRAM, kBadDataType);
    return 0;
}

} // namespace

extern "C" int gdb_set_db(int type) noexcept {
    if (g_db.type_chosen)
        return 0;
    if (type != MPX_DB_FLAT_FILES && type != MPX_DB_SYBASE)
        return fail(MPX_CLASS_PROGRAM, kBadDatabaseType);
    choose_type(type);
    return 0;
}

extern "C" const char *gdb_path(void) noexcept {
    if (!g_db.directory)
        g_db.directory = resolve_directory();
    return g_db.directory;
}

extern "C" const char *gdb_grid_path(void) noexcept { return gdb_path(); }

extern "C" int gdb_set_table(const char *table) noexcept {
    const bool resolved = g_db.type_chosen || gdb_path();
    g_db.selection = Selection::None;
    if (!resolved || !table || strnlen(table, kNameRoom) >= kNameRoom)
        return -1;
    std::strcpy(g_db.table, table);
    if (g_db.type == MPX_DB_SYBASE)
        return no_sybase();
    g_db.rewind_pending = true;
    g_db.slot = take_slot(table);
    CachedTable &cached = current_table();
    if (!cached.file && open_table(cached, table) != 0)
        return -1;
    g_db.selection = Selection::Table;
    return 0;
}

extern "C" int gdb_set_name_key(const char *key) noexcept {
    if (g_db.selection == Selection::None)
        return fail(MPX_CLASS_PROGRAM, kNoTableForKey);
    g_db.selection = Selection::Table;
    if (!key || strnlen(key, kNameRoom) >= kNameRoom)
        return -1;
    std::size_t i = 0;
    for (; key[i] != '\0'; ++i)
        g_db.key[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[i])));
    g_db.key[i] = '\0';
    if (g_db.type == MPX_DB_SYBASE)
        return no_sybase();
    const CachedTable &table = current_table();
    if (!table.file)
        return fail(MPX_CLASS_PROGRAM, kNoTable);
    if (!rewind_to_records(table.file))
        return fail(MPX_CLASS_SYSTEM, kReading);
    // The first test is on the raw line, so a name after leading blanks is
    // never found; the second confirms it on the split-off first field.
    while (read_line(table.file) == 1) {
        if (!starts_with_key(g_db.line))
            continue;
        split_record(table);
        if (starts_with_key(g_db.fields[0])) {
            g_db.selection = Selection::Record;
            return 0;
        }
    }
    return -1;
}

extern "C" int gdb_next_name_key(char *name) noexcept {
    if (g_db.selection == Selection::None)
        return fail(MPX_CLASS_PROGRAM, kNoTableForListing);
    g_db.selection = Selection::Table;
    if (g_db.type == MPX_DB_SYBASE)
        return no_sybase();
    const CachedTable &table = current_table();
    if (!table.file)
        return fail(MPX_CLASS_PROGRAM, kNoTable);
    if (!name || g_db.rewind_pending) {
        // Only rewinds: no record is read, so a gdb_load right after this
        // finds no record line and returns 1 rather than stale fields.
        g_db.rewind_pending = false;
        if (!rewind_to_records(table.file)) {
            fail(MPX_CLASS_SYSTEM, kReading);
            return -2;
        }
    } else {
        const int read = read_line(table.file);
        if (read != 1)
            return read == 0 ? 1 : -1;
        split_record(table);
        std::strcpy(name, g_db.fields[0]);
    }
    if (name)
        g_db.selection = Selection::Record;
    return 0;
}

extern "C" int gdb_load(const char *column, const char *type, void *value) noexcept {
    return load(column, type, value, kUnboundedText);
}

extern "C" int gdb_struct_load(struct_desc *d, void *record) noexcept {
    if (!d || !record)
        return -1;
    if (!g_db.value_buffer) {
        g_db.value_buffer = static_cast<char *>(qmsc_HeapMalloc(kValueSize));
        if (!g_db.value_buffer)
            return fail(MPX_CLASS_SYSTEM, kMemoryShortage);
    }
    char name[kStructNameRoom] = "init-.";
    // Ends after at most count + 1 inquiries: each "next" moves the cursor on.
    for (;;) {
        char type = MPX_TYPE_ANY;
        const int listed = struct_inq(d, record, name, &type, nullptr, 0);
        if (listed == 1)
            return 0;
        // A text column longer than the value buffer is cut; struct_mod then
        // refuses it like every text attribute.
        if (listed != 0 || load(name, &type, g_db.value_buffer, kValueSize) != 0 ||
            struct_mod(d, record, name, &type, g_db.value_buffer) != 0)
            return -1;
        std::strcpy(name, "next");
    }
}
