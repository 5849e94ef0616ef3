// Reads an input stream line by line through one large buffer, each read
// taking what is available (so a pipe's lines are seen as they come). A line
// longer than kMaxLineLength is not kept: it is reported as over-long and
// skipped up to its newline, so no input can make the converter grow
// without bound.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace mpxcs {

constexpr std::size_t kMaxLineLength = 65536;

class LineReader {
  public:
    explicit LineReader(std::FILE *file);

    // false at the end of the input (or on a read error). `line` excludes
    // the newline and stays valid until the next call.
    bool next(std::string_view &line, bool &overlong);
    // True when next() can return without reading: a whole line is in the
    // buffer, or the input has ended.
    bool line_ready() const;
    bool failed() const { return failed_; }
    int error() const { return error_; } // errno of a failed read
    long long bytes_consumed() const { return consumed_; }

  private:
    bool refill();
    void take(std::size_t count);

    std::FILE *file_;
    // Left uninitialised: zeroing a megabyte per file would cost more than
    // reading a short one.
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t begin_ = 0, end_ = 0;
    long long consumed_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    int error_ = 0;
};

} // namespace mpxcs
