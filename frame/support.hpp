// The support layer: every file access, console print, environment lookup
// and heap allocation of the library goes through these operations, so a
// port to another platform (or an instrumented test build) touches only
// frame/. Internal: nothing here is exported.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#if defined(__GNUC__) || defined(__clang__)
#define MPX_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define MPX_PRINTF_FORMAT(fmt, args)
#endif

// Heap. Blocks are released with qmsc_HeapFree; null is returned when memory
// is short (or when the test hook below says so).
void *qmsc_HeapMalloc(std::size_t size) noexcept;
void qmsc_HeapFree(void *block) noexcept;

// Test hook: the next `successes` allocations succeed, every later one
// fails, until called again with a negative count (the default: never fail).
void qmsc_FailAfter(long successes) noexcept;

// Environment: the value, or null when the variable is not set.
const char *qstr_GetEnv(const char *name) noexcept;

// Files. A handle is an opaque non-null pointer; null means "no file".
struct QfioFile;
using qfio_handle = QfioFile *;

qfio_handle qfio_Open(const char *path, const char *mode, int flags) noexcept;
// Reads one line (with its newline, NUL-terminated, at most size-1
// characters); a CR LF line end is read as LF on every host, as Windows text
// mode reads it. Non-zero when a line was read, 0 at end of file or on error.
int qfio_Fgets(char *buffer, int size, qfio_handle file, int flags) noexcept;
int qfio_Feof(qfio_handle file) noexcept;
// origin 0: from the start of the file. Returns 0, or -1 on failure.
int qfio_CompatibleFseek(qfio_handle file, long offset, int origin) noexcept;
// Returns the number of bytes actually read, so callers can detect a
// truncated file.
std::size_t qfio_ReadSeq(qfio_handle file, void *buffer, std::size_t count, int flags) noexcept;
void qfio_Close(qfio_handle file, int flags) noexcept;

// Console output, with the standard library's printf conversions.
void qfio_Printf(const char *format, ...) noexcept MPX_PRINTF_FORMAT(1, 2);
// stream: the process's standard output (qfio_Stdout()).
void qfio_Fprintf(std::FILE *stream, const char *format, ...) noexcept MPX_PRINTF_FORMAT(2, 3);
std::FILE *qfio_Stdout() noexcept;
// Formats into buffer; the text is cut to size-1 characters, never past it.
void qfio_Sprintf(char *buffer, std::size_t size, const char *format, ...) noexcept
    MPX_PRINTF_FORMAT(3, 4);
