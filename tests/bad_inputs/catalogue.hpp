// The catalogue of bad inputs: one case per line of a family's file, fields
// separated by " | ", with the escapes \n \r \t \0 \\ \| and \xHH inside a
// field. Lines that are empty or start with '#' are comments.
#pragma once

#include <string>
#include <vector>

namespace bad_inputs {

struct Case {
    std::string file; // for failure reports: file:line
    int line = 0;
    std::vector<std::string> fields; // unescaped
    std::string where() const { return file + ":" + std::to_string(line); }
};

// Every case of `family` (tests/bad_inputs/<family>.txt); a case whose field
// count differs from `fields` is reported as a failure of the file.
std::vector<Case> read_family(const std::string &family, std::size_t fields);

// The field as the file would spell it (the inverse of the unescaping).
std::string escaped(const std::string &text);

// A private directory for this process's scratch files: $MPX_TEST_TMP
// when CTest sets it, else a new directory under the system's temporary
// directory. Ends with '/'.
const std::string &scratch_dir();

} // namespace bad_inputs
