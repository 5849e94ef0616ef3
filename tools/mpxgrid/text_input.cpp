#include "text_input.hpp"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace mpxgrid {

std::optional<std::vector<Word>> read_words(const std::string &path) {
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    std::vector<Word> words;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream fields(line.substr(0, line.find('#')));
        for (std::string text; fields >> text;)
            words.push_back({text, number});
    }
    if (in.bad())
        return std::nullopt;
    return words;
}

std::optional<double> parse_double(const std::string &text) {
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parse_int(const std::string &text) {
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

WordReader::WordReader(std::string path, std::vector<Word> words)
    : path_(std::move(path)), words_(std::move(words)) {}

bool WordReader::fail(const std::string &message) const {
    const int line = words_.empty() ? 0 : next_ == 0 ? words_.front().line : words_[next_ - 1].line;
    std::fprintf(stderr, "mpxgrid: %s:%d: %s\n", path_.c_str(), line, message.c_str());
    return false;
}

std::optional<std::string> WordReader::word(const char *what) {
    if (at_end()) {
        fail(std::string("missing ") + what);
        return std::nullopt;
    }
    return words_[next_++].text;
}

bool WordReader::expect(const char *keyword) {
    const auto text = word(keyword);
    return text && (*text == keyword ||
                    fail(std::string("expected '") + keyword + "', found '" + *text + "'"));
}

std::optional<double> WordReader::number(const char *what) {
    const auto text = word(what);
    if (!text)
        return std::nullopt;
    const auto value = parse_double(*text);
    if (!value)
        fail(std::string("bad ") + what + " '" + *text + "'");
    return value;
}

std::optional<int> WordReader::integer(const char *what) {
    const auto text = word(what);
    if (!text)
        return std::nullopt;
    const auto value = parse_int(*text);
    if (!value)
        fail(std::string("bad ") + what + " '" + *text + "'");
    return value;
}

} // namespace mpxgrid
