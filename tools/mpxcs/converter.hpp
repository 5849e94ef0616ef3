// The converter's main loop: input lines are scanned into batches, each
// batch's points go through the library's array transform, and the output
// lines are written in input order. A batch with a failing point is redone
// point by point, so one bad point costs only itself.
#pragma once

#include "line_scan.hpp"
#include "number_format.hpp"
#include "options.hpp"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mpxcs {

// Why a line gives no point.
enum class LineProblem { None, Malformed, NotFinite, Overlong };

class Converter {
  public:
    // always_z: print z even for lines that gave none (geocentric systems).
    Converter(const Options &options, NumberFormat xy_format, NumberFormat z_format, bool always_z);

    // Converts one input to standard output; false when it cannot be read.
    bool convert(std::FILE *input, const char *name);
    unsigned long failed_points() const { return failed_points_; }

  private:
    struct PendingLine {
        LineKind kind;
        LineProblem problem;
        long number;
        std::size_t text_begin, text_size; // in text_
        ScannedLine scanned;
        int point; // index in the batch's points, -1 for none
    };

    void add_line(std::string_view line, bool overlong, long number);
    void flush_batch();
    bool transform_batch();
    void retry_point(const PendingLine &line);
    void write_line(const PendingLine &line);
    void write_output();

    const Options &options_;
    NumberFormat xy_format_, z_format_;
    bool always_z_;
    const char *input_name_ = "-";
    std::vector<PendingLine> lines_;
    std::string text_;
    std::vector<double> in_, out_;
    std::vector<char> point_ok_;
    std::string output_;
    unsigned long failed_points_ = 0;
};

} // namespace mpxcs
