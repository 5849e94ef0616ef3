// Reading the tool's plain-text inputs: words separated by blanks, '#'
// starting a comment that runs to the end of the line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace mpxgrid {

struct Word {
    std::string text;
    int line;
};

// The words of a file, or nothing when it cannot be read.
std::optional<std::vector<Word>> read_words(const std::string &path);

// Numbers in the C locale's syntax; nothing for anything else, including
// trailing characters ("1.5x"), values out of range and NaN or infinity.
std::optional<double> parse_double(const std::string &text);
std::optional<int> parse_int(const std::string &text);

// Walks a word list; reports problems as "FILE:LINE: what" on stderr.
class WordReader {
  public:
    WordReader(std::string path, std::vector<Word> words);
    bool at_end() const { return next_ >= words_.size(); }
    // The next word, or nothing at the end (reported).
    std::optional<std::string> word(const char *what);
    std::optional<double> number(const char *what);
    std::optional<int> integer(const char *what);
    // True when the next word is `keyword`.
    bool expect(const char *keyword);
    // Prints the message against the current line; returns false.
    bool fail(const std::string &message) const;

  private:
    std::string path_;
    std::vector<Word> words_;
    std::size_t next_ = 0;
};

} // namespace mpxgrid
