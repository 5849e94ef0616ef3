#include "converter.hpp"

#include "console.hpp"
#include "info.hpp"
#include "line_reader.hpp"
#include "platform.hpp"

#include <mpxlib.h>

#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

namespace mpxcs {
namespace {

// Lines per batch, so points per call of the array transform: large enough
// that the call and the hand-over between threads cost nothing per point,
// small enough that a retried batch stays cheap.
constexpr std::size_t kBatchLines = 4096;
// Batches in flight between the two threads: one being read, one being
// transformed, one being written.
constexpr std::size_t kSlots = 3;
// The UTF-8 byte-order mark some editors put at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

const char *problem_text(LineKind kind) {
    switch (kind) {
    case LineKind::Malformed:
        return "the first two columns are not both numbers";
    case LineKind::NotFinite:
        return "a coordinate is not a finite number";
    case LineKind::MixedSeparators:
        return "blanks and commas both separate the numbers: write decimals with a point "
               "(3.5, not 3,5), and separate columns by blanks or by commas only";
    case LineKind::LatitudeRange:
        return "latitude out of range";
    case LineKind::Hemisphere:
        return "a hemisphere letter does not fit its column (longitude E/W, latitude N/S; "
               "-r reads latitude first)";
    case LineKind::Blank:
    case LineKind::Comment:
    case LineKind::Point:
        break;
    }
    return "";
}

} // namespace

struct Converter::Batch {
    struct Line {
        LineKind kind;
        bool overlong;
        bool copy; // header, blank or comment: copied unchanged
        long number;
        std::size_t text_begin, text_size; // in text
        ScannedLine scanned;
        int point; // index in the batch's points, -1 for none
    };
    std::vector<Line> lines;
    std::string text;
    std::vector<double> in, out;
    std::vector<char> ok;
    std::string output;
    long long bytes_end = 0;
    bool end = false; // the input ends with this batch

    void clear() {
        lines.clear();
        text.clear();
        in.clear();
        end = false;
    }
};

Converter::Converter(const Options &options, const ScanRules &scan_rules,
                     const OutputRules &output_rules, NumberFormat xy_format, NumberFormat z_format)
    : options_(options), scan_rules_(scan_rules), output_rules_(output_rules),
      xy_format_(std::move(xy_format)), z_format_(std::move(z_format)) {}

Converter::~Converter() = default;

bool Converter::convert(std::FILE *input, const char *name) {
    input_name_ = name;
    line_number_ = 0;
    long long size = regular_file_size(input);
    bool streaming = size < 0 && !is_directory(input); // a terminal or a pipe
    console_progress_start(size);
    LineReader reader(input);
    bool serial = streaming || options_.trace || options_.flush;
    bool read_ok = serial ? convert_serial(reader, streaming) : convert_threaded(reader);
    console_progress_finish();
    if (!read_ok) {
        console_set_place(input_name_, 0);
        console_error("cannot read " + std::string(name) + ": " + std::strerror(reader.error()));
    }
    return read_ok;
}

void Converter::parse(LineReader &reader, Batch &batch, std::size_t limit, bool waiting_stops) {
    batch.clear();
    std::string_view line;
    bool overlong = false;
    while (batch.lines.size() < limit) {
        if (waiting_stops && !batch.lines.empty() && !reader.line_ready())
            break;
        if (!reader.next(line, overlong)) {
            batch.end = true;
            break;
        }
        add_line(batch, line, overlong, ++line_number_);
    }
    batch.bytes_end = reader.bytes_consumed();
}

void Converter::add_line(Batch &batch, std::string_view line, bool overlong, long number) {
    if (number == 1 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        line.remove_prefix(kByteOrderMark.size());
    Batch::Line pending{LineKind::Malformed, overlong, false, number, batch.text.size(), 0, {}, -1};
    if (!overlong) {
        batch.text.append(line);
        pending.text_size = line.size();
        if (number == 1 && options_.header) {
            pending.copy = true;
        } else {
            pending.scanned = scan_line(line, scan_rules_);
            pending.kind = pending.scanned.kind;
            pending.copy = pending.kind == LineKind::Blank || pending.kind == LineKind::Comment;
        }
    }
    if (!pending.copy && pending.kind == LineKind::Point) {
        pending.point = static_cast<int>(batch.in.size() / 3);
        batch.in.insert(batch.in.end(), pending.scanned.xyz, pending.scanned.xyz + 3);
    }
    batch.lines.push_back(pending);
}

// Messages of a failed array call are held back: the retry reports each
// failing point with its line, and every message comes out in line order.
void Converter::transform(Batch &batch) {
    std::size_t points = batch.in.size() / 3;
    batch.ok.assign(points, 1);
    batch.out.resize(batch.in.size());
    bool retry = false;
    if (points > 0) {
        int count = static_cast<int>(points);
        console_set_place(input_name_, 0);
        console_set_quiet(true);
        retry = mpx_trans_array(&count, batch.in.data(), batch.out.data()) != 0;
        console_set_quiet(false);
    }
    for (std::size_t i = 0; i < batch.lines.size(); ++i) {
        const Batch::Line &line = batch.lines[i];
        if (line.copy)
            continue;
        console_set_place(input_name_, line.number);
        if (line.point >= 0) {
            if (retry)
                retry_point(batch, i);
            trace_print(input_name_, line.number, line.scanned.has_z);
            if (batch.ok[static_cast<std::size_t>(line.point)] == 0)
                ++failed_points_;
            continue;
        }
        ++failed_points_;
        console_error(line.overlong ? "line too long" : problem_text(line.kind));
    }
    console_set_place(input_name_, 0);
}

void Converter::retry_point(Batch &batch, std::size_t line) {
    auto point = static_cast<std::size_t>(batch.lines[line].point);
    const double *in = &batch.in[3 * point];
    double *out = &batch.out[3 * point];
    console_clear_chain();
    int status = mpx_transform(&in[0], &in[1], &in[2], &out[0], &out[1], &out[2]);
    if (status == 0)
        return;
    batch.ok[point] = 0;
    std::string reason = console_library_reason();
    console_failure("point not converted",
                    (reason.empty() ? std::string("outside the systems' domain") : reason) +
                        " (status " + std::to_string(status) + ")");
}

void Converter::format(Batch &batch) const {
    batch.output.clear();
    for (std::size_t i = 0; i < batch.lines.size(); ++i)
        write_line(batch, i);
}

void Converter::append_xyz(std::string &out, const double *xyz, const double *input, bool has_z,
                           char separator) const {
    const OutputRules &rules = output_rules_;
    int first = rules.swap ? 1 : 0;
    for (int i : {first, 1 - first}) {
        if (i != first)
            out += separator == ',' ? ',' : '\t';
        if (rules.dms)
            append_dms(out, xyz[i], rules.dms_decimals, i == 0 ? 'E' : 'N', i == 0 ? 'W' : 'S');
        else
            xy_format_.append(out, xyz[i]);
    }
    if (has_z || rules.always_z) {
        out += separator;
        z_format_.append(out, rules.keep_height && has_z ? input[2] : xyz[2]);
    }
}

void Converter::write_line(Batch &batch, std::size_t index) const {
    const Batch::Line &line = batch.lines[index];
    std::string &output = batch.output;
    std::string_view text(batch.text.data() + line.text_begin, line.text_size);
    if (line.copy) {
        output.append(text);
        output += '\n';
        return;
    }
    const ScannedLine &scanned = line.scanned;
    // Commas in, commas out: no line mixes the two separators.
    char separator = scanned.csv ? ',' : ' ';
    if (options_.echo && !line.overlong) {
        output.append(text.substr(0, scanned.echo_end));
        output += scanned.csv ? ',' : '\t';
    }
    auto point = static_cast<std::size_t>(line.point);
    if (line.point >= 0 && batch.ok[point] != 0)
        append_xyz(output, &batch.out[3 * point], &batch.in[3 * point], scanned.has_z, separator);
    else
        output.append(options_.error_text);
    if (!line.overlong)
        output.append(text.substr(scanned.rest_begin));
    output += '\n';
}

bool Converter::convert_serial(LineReader &reader, bool streaming) {
    Batch batch;
    std::size_t limit = options_.trace || options_.flush ? 1 : kBatchLines;
    do {
        parse(reader, batch, limit, streaming);
        transform(batch);
        format(batch);
        std::fwrite(batch.output.data(), 1, batch.output.size(), stdout);
        if (streaming || options_.flush)
            std::fflush(stdout);
        console_progress_update(batch.bytes_end);
    } while (!batch.end);
    return !reader.failed();
}

// The second thread reads and scans batch n+1 and formats and writes batch
// n-1 while this one transforms batch n. Batches are handed over in input
// order through a ring of slots; each counter below only grows.
bool Converter::convert_threaded(LineReader &reader) {
    std::array<Batch, kSlots> slots;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t parsed = 0, transformed = 0, written = 0;
    bool input_done = false;

    std::thread helper([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] {
                return written < transformed || (!input_done && parsed - written < kSlots) ||
                       (input_done && written == parsed);
            });
            if (written < transformed) {
                Batch &batch = slots[written % kSlots];
                lock.unlock();
                format(batch);
                std::fwrite(batch.output.data(), 1, batch.output.size(), stdout);
                lock.lock();
                ++written;
            } else if (input_done) {
                break;
            } else {
                Batch &batch = slots[parsed % kSlots];
                lock.unlock();
                parse(reader, batch, kBatchLines, false);
                lock.lock();
                ++parsed;
                input_done = batch.end;
            }
            changed.notify_all();
        }
    });

    for (bool end = false; !end;) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return transformed < parsed; });
        Batch &batch = slots[transformed % kSlots];
        lock.unlock();
        transform(batch);
        console_progress_update(batch.bytes_end);
        lock.lock();
        ++transformed;
        end = batch.end;
        changed.notify_all();
    }
    helper.join();
    return !reader.failed();
}

} // namespace mpxcs
