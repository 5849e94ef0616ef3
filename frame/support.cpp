// Support layer on the C++ standard library.
#include "frame/support.hpp"

#include <cstdlib>
#include <cstring>

namespace {

// Allocation-failure countdown for tests; negative means "never fail".
long g_allocations_left = -1;

std::FILE *as_file(qfio_handle file) { return reinterpret_cast<std::FILE *>(file); }

} // namespace

void *qmsc_HeapMalloc(std::size_t size) noexcept {
    if (g_allocations_left == 0)
        return nullptr;
    if (g_allocations_left > 0)
        --g_allocations_left;
    // A zero-byte request still yields a distinct block the caller may free.
    return std::malloc(size == 0 ? 1 : size);
}

void qmsc_HeapFree(void *block) noexcept { std::free(block); }

void qmsc_FailAfter(long successes) noexcept { g_allocations_left = successes; }

const char *qstr_GetEnv(const char *name) noexcept { return name ? std::getenv(name) : nullptr; }

qfio_handle qfio_Open(const char *path, const char *mode, int) noexcept {
    if (!path || !mode)
        return nullptr;
    return reinterpret_cast<qfio_handle>(std::fopen(path, mode));
}

// Text files are read as Windows reads them in text mode, on every host: a
// CR LF line end arrives as LF, so a table keeps its meaning whichever
// platform's line ends it was saved with (a column name or a last field
// never ends in a stray CR).
int qfio_Fgets(char *buffer, int size, qfio_handle file, int) noexcept {
    if (!file || !buffer || size < 2)
        return 0;
    if (!std::fgets(buffer, size, as_file(file)))
        return 0;
    const std::size_t length = std::strlen(buffer);
    if (length >= 2 && buffer[length - 2] == '\r' && buffer[length - 1] == '\n') {
        buffer[length - 2] = '\n';
        buffer[length - 1] = '\0';
    } else if (length >= 1 && buffer[length - 1] == '\r') {
        // A CR that filled the buffer: its LF, if it comes next, ends the line.
        const int next = std::fgetc(as_file(file));
        if (next == '\n')
            buffer[length - 1] = '\n';
        else if (next != EOF)
            std::ungetc(next, as_file(file));
    }
    return 1;
}

int qfio_Feof(qfio_handle file) noexcept { return file ? std::feof(as_file(file)) : 1; }

int qfio_CompatibleFseek(qfio_handle file, long offset, int origin) noexcept {
    if (!file)
        return -1;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return std::fseek(as_file(file), offset, whence) == 0 ? 0 : -1;
}

std::size_t qfio_ReadSeq(qfio_handle file, void *buffer, std::size_t count, int) noexcept {
    if (!file || !buffer)
        return 0;
    return std::fread(buffer, 1, count, as_file(file));
}

void qfio_Close(qfio_handle file, int) noexcept {
    if (file)
        std::fclose(as_file(file));
}

void qfio_Printf(const char *format, ...) noexcept {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

void qfio_Fprintf(std::FILE *stream, const char *format, ...) noexcept {
    if (!stream)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
}

std::FILE *qfio_Stdout() noexcept { return stdout; }

void qfio_Sprintf(char *buffer, std::size_t size, const char *format, ...) noexcept {
    if (!buffer || size == 0)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, size, format, args);
    va_end(args);
}
