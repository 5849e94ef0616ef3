#include "converter.hpp"

#include "console.hpp"
#include "info.hpp"
#include "line_reader.hpp"
#include "platform.hpp"

#include <mpxlib.h>

#include <utility>

namespace mpxcs {
namespace {

// Points per call of the array transform: large enough that the call costs
// nothing per point, small enough that a retried batch stays cheap.
constexpr std::size_t kBatchPoints = 4096;
// Output is written in blocks of about this size.
constexpr std::size_t kOutputBlock = 1 << 16;

const char *problem_text(LineProblem problem) {
    switch (problem) {
    case LineProblem::Malformed:
        return "the first two columns are not both numbers";
    case LineProblem::NotFinite:
        return "a coordinate is not a finite number";
    case LineProblem::Overlong:
        return "line too long";
    case LineProblem::None:
        break;
    }
    return "";
}

} // namespace

Converter::Converter(const Options &options, NumberFormat xy_format, NumberFormat z_format,
                     bool always_z)
    : options_(options), xy_format_(std::move(xy_format)), z_format_(std::move(z_format)),
      always_z_(always_z) {
    lines_.reserve(kBatchPoints);
    in_.reserve(3 * kBatchPoints);
    out_.resize(3 * kBatchPoints);
    point_ok_.reserve(kBatchPoints);
}

bool Converter::convert(std::FILE *input, const char *name) {
    input_name_ = name;
    console_progress_start(regular_file_size(input));
    LineReader reader(input);
    std::string_view line;
    bool overlong = false;
    long number = 0;
    while (reader.next(line, overlong)) {
        add_line(line, overlong, ++number);
        // A traced point goes alone, so its trace is printed once, by its line.
        if (lines_.size() == kBatchPoints || options_.trace) {
            flush_batch();
            console_progress_update(reader.bytes_consumed());
        }
    }
    flush_batch();
    write_output();
    console_progress_finish();
    return !reader.failed();
}

void Converter::add_line(std::string_view line, bool overlong, long number) {
    PendingLine pending{
        LineKind::Malformed, LineProblem::Overlong, number, text_.size(), 0, {}, -1};
    if (!overlong) {
        pending.scanned = scan_line(line, options_.comment);
        pending.kind = pending.scanned.kind;
        pending.problem = pending.kind == LineKind::Malformed   ? LineProblem::Malformed
                          : pending.kind == LineKind::NotFinite ? LineProblem::NotFinite
                                                                : LineProblem::None;
        text_.append(line);
        pending.text_size = line.size();
    }
    if (pending.kind == LineKind::Point) {
        pending.point = static_cast<int>(in_.size() / 3);
        in_.insert(in_.end(), pending.scanned.xyz, pending.scanned.xyz + 3);
    }
    lines_.push_back(pending);
}

// True when every point converted in one call. Messages of a failed call
// are held back: the retry reports each failing point with its line.
bool Converter::transform_batch() {
    int count = static_cast<int>(in_.size() / 3);
    point_ok_.assign(static_cast<std::size_t>(count), 1);
    if (count == 0)
        return true;
    console_set_place(input_name_, 0);
    console_set_quiet(true);
    int status = mpx_trans_array(&count, in_.data(), out_.data());
    console_set_quiet(false);
    return status == 0;
}

void Converter::retry_point(const PendingLine &line) {
    unsigned long reports = console_library_reports();
    const double *in = &in_[3 * static_cast<std::size_t>(line.point)];
    double *out = &out_[3 * static_cast<std::size_t>(line.point)];
    int status = mpx_transform(&in[0], &in[1], &in[2], &out[0], &out[1], &out[2]);
    if (status == 0)
        return;
    point_ok_[static_cast<std::size_t>(line.point)] = 0;
    // A point outside the system's domain may be refused silently.
    if (console_library_reports() == reports)
        console_error("point rejected (status " + std::to_string(status) + ")");
}

// Messages come out in line order, each with its line number.
void Converter::flush_batch() {
    bool retry = !transform_batch();
    for (const PendingLine &line : lines_) {
        console_set_place(input_name_, line.number);
        if (retry && line.point >= 0)
            retry_point(line);
        if (line.point >= 0)
            trace_print(input_name_, line.number, line.scanned.has_z);
        if (line.problem != LineProblem::None)
            console_error(problem_text(line.problem));
        write_line(line);
        if (output_.size() >= kOutputBlock)
            write_output();
    }
    console_set_place(input_name_, 0);
    lines_.clear();
    text_.clear();
    in_.clear();
}

void Converter::write_line(const PendingLine &line) {
    std::string_view text(text_.data() + line.text_begin, line.text_size);
    if (line.kind == LineKind::Blank || line.kind == LineKind::Comment) {
        output_.append(text);
        output_ += '\n';
        return;
    }
    const ScannedLine &scanned = line.scanned;
    if (options_.echo && line.problem != LineProblem::Overlong) {
        output_.append(text.substr(0, scanned.echo_end));
        output_ += '\t';
    }
    bool converted = line.point >= 0 && point_ok_[static_cast<std::size_t>(line.point)] != 0;
    if (converted) {
        const double *out = &out_[3 * static_cast<std::size_t>(line.point)];
        xy_format_.append(output_, out[0]);
        output_ += '\t';
        xy_format_.append(output_, out[1]);
        if (scanned.has_z || always_z_) {
            output_ += ' ';
            z_format_.append(output_, out[2]);
        }
    } else {
        ++failed_points_;
        output_.append(options_.error_text);
    }
    if (line.problem != LineProblem::Overlong)
        output_.append(text.substr(scanned.rest_begin));
    output_ += '\n';
}

void Converter::write_output() {
    std::fwrite(output_.data(), 1, output_.size(), stdout);
    output_.clear();
}

} // namespace mpxcs
