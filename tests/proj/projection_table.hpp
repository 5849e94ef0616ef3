// Reader of the projection test tables under tests/proj/tables/ (one
// directive per non-blank, non-comment line; format in the runner,
// projection_tables_test.cpp), and the registry lookup the projection tests
// share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace projection_table {

enum class Kind {
    Projection,   // projection <keyword>
    Ellipsoid,    // ellipsoid <a> <e>
    Param,        // param <name> [deg|char] <value>
    Tolerance,    // tolerance <value> m
    FailsInit,    // fails init <status>
    Forward,      // forward <lon deg> <lat deg> <x> <y>
    Inverse,      // inverse <x> <y> <lon deg> <lat deg>
    Roundtrip,    // roundtrip <lon deg> <lat deg>
    FailsForward, // fails forward <lon deg> <lat deg> <status>
    FailsInverse, // fails inverse <x> <y> <status>
};

enum class ParamUnit { Plain, Degrees, Character };

struct Directive {
    Kind kind{};
    int line = 0;
    std::string word;      // projection keyword or parameter name
    ParamUnit unit{};      // of a Param
    std::string text;      // a Param's value as written
    double values[4] = {}; // numbers in the order written (degrees as written)
    int status = 0;        // of the fails lines
};

struct LineError {
    int line = 0;
    std::string text;
};

struct Table {
    std::vector<Directive> directives;
    std::vector<LineError> errors; // one per malformed line; line 0: unreadable file
};

// Parses one line; false with `error` set when it is malformed. Comment and
// blank lines give false with an empty error.
bool parse_line(std::string_view line, int number, Directive &out, std::string &error);

// Reads a whole file; an unreadable file is one error.
Table read_table(const std::string &path);

// Registry index of `keyword` after mpx_base_install (run once), installing
// it from the tests' own installer table when the base table lacks it; -1
// when unknown.
int installed_projection(const std::string &keyword);

} // namespace projection_table
