// Runs the built mpxcs as a user would: arguments, standard input text,
// captured standard output, standard error and exit status.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace mpxcs_test {

struct Run {
    int status = -1;
    std::string out, err;
    std::vector<std::string> out_lines() const;
};

// Where the tests write their scratch files: $MPX_TEST_TMP under CTest, a
// directory of the process's own when a test program is run by hand.
const std::string &scratch_dir();

// args are passed through the shell unquoted: keep them free of blanks
// and shell characters, or quote them in the text.
Run run_mpxcs(const std::string &args, const std::string &input);

// The bundled database, named explicitly so the tests do not depend on the
// environment they run in.
std::string bundled_db_option();

// The columns of an output line as numbers (stops at the first non-number).
std::vector<double> numbers_of(const std::string &line);

// One conversion of one point on the bundled database, and the first two
// output columns expected, with the reference they come from.
struct Conversion {
    const char *source;
    const char *target;
    const char *input;
    double x, y;
    double tolerance; // in the target's unit
    const char *reference;
};

// Runs every conversion through mpxcs (10 decimals) and checks its exit
// status and first two columns, reporting failures with the conversion.
void expect_conversions(std::span<const Conversion> conversions);

} // namespace mpxcs_test
