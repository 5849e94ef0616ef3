#include "catalogue.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace bad_inputs {
namespace {

constexpr char kSeparator[] = " | ";
constexpr std::size_t kSeparatorLength = sizeof kSeparator - 1;

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Splits at unescaped " | " and resolves the escapes of each field.
std::vector<std::string> split_fields(const std::string &line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (line.compare(i, kSeparatorLength, kSeparator) == 0) {
            fields.emplace_back();
            i += kSeparatorLength - 1;
        } else if (c == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            switch (e) {
            case 'n':
                fields.back() += '\n';
                break;
            case 'r':
                fields.back() += '\r';
                break;
            case 't':
                fields.back() += '\t';
                break;
            case '0':
                fields.back() += '\0';
                break;
            case 'x':
                if (i + 2 < line.size() && hex_digit(line[i + 1]) >= 0 &&
                    hex_digit(line[i + 2]) >= 0) {
                    fields.back() +=
                        static_cast<char>(hex_digit(line[i + 1]) * 16 + hex_digit(line[i + 2]));
                    i += 2;
                    break;
                }
                [[fallthrough]];
            default: // \\ and \| and anything else: the character itself
                fields.back() += e;
                break;
            }
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

} // namespace

std::vector<Case> read_family(const std::string &family, std::size_t fields) {
    const std::string path = MPX_SOURCE_DIR "tests/bad_inputs/" + family + ".txt";
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::vector<Case> cases;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (text.empty() || text[0] == '#')
            continue;
        Case c{family + ".txt", number, split_fields(text)};
        if (c.fields.size() != fields) {
            ADD_FAILURE() << c.where() << ": " << c.fields.size() << " fields, " << fields
                          << " expected";
            continue;
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::string escaped(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '|' && i > 0 && text[i - 1] == ' ')
            out += "\\|";
        else if (c < 32 || c >= 127) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

const std::string &scratch_dir() {
    static const std::string dir = [] {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::path base;
        if (const char *tmp = std::getenv("MPX_TEST_TMP"); tmp && *tmp)
            base = tmp;
        else
            base = fs::temp_directory_path(error);
        const fs::path made = base / ("bad_inputs-" + std::to_string(std::random_device{}()));
        fs::create_directories(made, error);
        return error ? std::string() : made.string() + "/";
    }();
    return dir;
}

} // namespace bad_inputs
