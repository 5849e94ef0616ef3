// Shared by the fuzz targets whose parsers read files: a private temporary
// directory for the process and a way to put one input into a file there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The process's own directory (made on first use, with a trailing '/';
// removed at exit, so each target deletes the files it writes).
const std::string &temp_dir();

// Writes the bytes to `path`, replacing any earlier content; aborts the run
// when the file cannot be written, since every later input would be void.
void write_file(const std::string &path, const std::uint8_t *data, std::size_t size);

} // namespace fuzz
