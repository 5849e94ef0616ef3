// The few operating-system services the converter needs beyond standard C++:
// terminal and file-type tests, the program's own directory and setting an
// environment variable. Everything platform-specific stays in platform.cpp.
#pragma once

#include <cstdio>
#include <string>

namespace mpxcs {

bool stderr_is_terminal();

// Size in bytes when `file` is a regular file, else -1 (pipes, terminals).
long long regular_file_size(std::FILE *file);

// Directory of the running executable with a trailing '/', or empty when
// the system does not tell.
std::string executable_dir();

// Reads what is available, up to `size` bytes, waiting only while nothing
// is: a pipe's line is seen as soon as it is written. The byte count, 0 at
// the end, -1 on an error (errno tells why).
long long read_some(std::FILE *file, char *buffer, std::size_t size);

// True when `file` is a directory (which opens, but cannot be read).
bool is_directory(std::FILE *file);

bool set_environment(const char *name, const char *value);

bool file_exists(const std::string &path);

// Standard input, output and error as byte streams: on Windows text mode
// would turn CRLF into LF on the way in and LF into CRLF on the way out, and
// read a Ctrl-Z as the end. The converter keeps each line's own ending, so
// its output is the same bytes on every platform.
void use_binary_stdio();

} // namespace mpxcs
