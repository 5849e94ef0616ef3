#include "line_reader.hpp"

#include "platform.hpp"

#include <cerrno>
#include <cstring>

namespace mpxcs {
namespace {

// Input is read in blocks of this size (large reads cost little per line).
constexpr std::size_t kReadBlock = 1 << 20;
// Room for one whole longest line plus a read.
constexpr std::size_t kBufferSize = kMaxLineLength + kReadBlock + 1;

} // namespace

LineReader::LineReader(std::FILE *file)
    : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)),
      capacity_(kBufferSize) {}

// Moves the unread tail to the front and reads behind it; false when nothing
// more can be read.
bool LineReader::refill() {
    if (eof_)
        return false;
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    long long count = read_some(file_, buffer_.get() + end_, capacity_ - end_);
    if (count <= 0) {
        eof_ = true;
        failed_ = count < 0;
        error_ = count < 0 ? errno : 0;
        return false;
    }
    end_ += static_cast<std::size_t>(count);
    return true;
}

bool LineReader::line_ready() const {
    return eof_ || std::memchr(buffer_.get() + begin_, '\n', end_ - begin_) != nullptr;
}

void LineReader::take(std::size_t count) {
    consumed_ += static_cast<long long>(count);
    begin_ += count;
}

bool LineReader::next(std::string_view &line, bool &overlong) {
    overlong = false;
    std::size_t searched = 0; // bytes of the pending line known to hold no newline
    for (;;) {
        const char *start = buffer_.get() + begin_;
        const void *newline = std::memchr(start + searched, '\n', end_ - begin_ - searched);
        if (newline != nullptr) {
            auto length = static_cast<std::size_t>(static_cast<const char *>(newline) - start);
            overlong = overlong || length > kMaxLineLength;
            line = overlong ? std::string_view() : std::string_view(start, length);
            take(length + 1);
            return true;
        }
        if (end_ - begin_ > kMaxLineLength) {
            // Drop the over-long line's text read so far; read on for its end.
            overlong = true;
            take(end_ - begin_);
        }
        searched = end_ - begin_;
        if (!refill()) {
            if (begin_ == end_ && !overlong)
                return false;
            line = overlong ? std::string_view()
                            : std::string_view(buffer_.get() + begin_, end_ - begin_);
            take(end_ - begin_);
            return true;
        }
    }
}

} // namespace mpxcs
