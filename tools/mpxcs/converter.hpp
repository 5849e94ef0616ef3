// The converter's main loop. Input lines are scanned into batches, each
// batch's points go through the library's array transform, and the output
// lines are written in input order. A batch with a failing point is redone
// point by point, so one bad point costs only itself.
//
// Files go through a pipeline: a second thread reads, scans and formats
// batches while this thread has the library transform the batch between
// them (the library is only ever called from this thread, and messages are
// printed here, in line order). Input from a terminal or a pipe is answered
// as its lines arrive: a batch holds only the lines already complete, and
// its answer is flushed at once, so a script can drive mpxcs as a
// co-process.
#pragma once

#include "line_scan.hpp"
#include "number_format.hpp"
#include "options.hpp"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mpxcs {

class LineReader;

// How output lines are written, beyond the numbers' format.
struct OutputRules {
    bool always_z = false;    // print z even for lines that gave none (geocentric)
    bool dms = false;         // x and y as degrees, minutes and seconds
    int dms_decimals = 0;     // decimals of the seconds
    bool swap = false;        // latitude first (-s)
    bool keep_height = false; // z copied from the input
};

class Converter {
  public:
    Converter(const Options &options, const ScanRules &scan_rules, const OutputRules &output_rules,
              NumberFormat xy_format, NumberFormat z_format);
    ~Converter();

    // Converts one input to standard output; false when it cannot be read
    // (said on stderr).
    bool convert(std::FILE *input, const char *name);
    unsigned long failed_points() const { return failed_points_; }

    struct Batch;

  private:
    // Fills `batch` with the next lines; stops early at the first line not
    // yet complete when `waiting_stops` (streaming input).
    void parse(LineReader &reader, Batch &batch, std::size_t limit, bool waiting_stops);
    void add_line(Batch &batch, std::string_view line, bool overlong, long number);
    void transform(Batch &batch);
    void retry_point(Batch &batch, std::size_t line);
    void format(Batch &batch) const;
    void write_line(Batch &batch, std::size_t line) const;
    void append_xyz(std::string &out, const double *xyz, const double *input, bool has_z,
                    char separator) const;

    bool convert_serial(LineReader &reader, bool streaming);
    bool convert_threaded(LineReader &reader);

    const Options &options_;
    ScanRules scan_rules_;
    OutputRules output_rules_;
    NumberFormat xy_format_, z_format_;
    const char *input_name_ = "-";
    long line_number_ = 0;
    unsigned long failed_points_ = 0;
};

} // namespace mpxcs
