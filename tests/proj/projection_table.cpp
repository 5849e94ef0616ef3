#include "projection_table.hpp"

#include "mpxlib.h"
#include "proj/registry.hpp"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace projection_table {
namespace {

std::vector<std::string> tokens_of(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> tokens;
    std::istringstream in{std::string(line)};
    for (std::string token; in >> token;)
        tokens.push_back(token);
    return tokens;
}

// The whole token must be a number ("nan" and "inf" included, for the
// failure lines).
bool number_of(const std::string &token, double &value) {
    char *end = nullptr;
    errno = 0;
    value = std::strtod(token.c_str(), &end);
    return end != token.c_str() && *end == '\0' && errno != ERANGE;
}

bool status_of(const std::string &token, int &value) {
    char *end = nullptr;
    errno = 0;
    const long parsed = std::strtol(token.c_str(), &end, 10);
    if (end == token.c_str() || *end != '\0' || errno == ERANGE || parsed < -100000 ||
        parsed > 100000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// Fills out.values from tokens[first...], exactly `count` numbers.
bool numbers_of(const std::vector<std::string> &tokens, std::size_t first, std::size_t count,
                Directive &out, std::string &error) {
    if (tokens.size() != first + count) {
        error = "expected " + std::to_string(count) + " numbers after '" + tokens[first - 1] + "'";
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!number_of(tokens[first + i], out.values[i])) {
            error = "not a number: '" + tokens[first + i] + "'";
            return false;
        }
    }
    return true;
}

bool parse_param(const std::vector<std::string> &tokens, Directive &out, std::string &error) {
    out.kind = Kind::Param;
    if (tokens.size() < 3) {
        error = "param needs a name and a value";
        return false;
    }
    out.word = tokens[1];
    std::size_t value_at = 2;
    out.unit = ParamUnit::Plain;
    if (tokens[2] == "deg" || tokens[2] == "char") {
        out.unit = tokens[2] == "deg" ? ParamUnit::Degrees : ParamUnit::Character;
        value_at = 3;
    }
    if (tokens.size() != value_at + 1) {
        error = "param takes one value";
        return false;
    }
    out.text = tokens[value_at];
    if (out.unit == ParamUnit::Character) {
        if (out.text.size() != 1) {
            error = "char value must be one character";
            return false;
        }
        return true;
    }
    if (!number_of(out.text, out.values[0])) {
        error = "not a number: '" + out.text + "'";
        return false;
    }
    return true;
}

bool parse_fails(const std::vector<std::string> &tokens, Directive &out, std::string &error) {
    const std::string what = tokens.size() > 1 ? tokens[1] : "";
    std::size_t count = 0;
    if (what == "init") {
        out.kind = Kind::FailsInit;
    } else if (what == "forward" || what == "inverse") {
        out.kind = what == "forward" ? Kind::FailsForward : Kind::FailsInverse;
        count = 2;
    } else {
        error = "fails needs init, forward or inverse";
        return false;
    }
    if (tokens.size() != count + 3) {
        error = "fails " + what + " takes " + std::to_string(count) + " numbers and a status";
        return false;
    }
    if (count > 0 && !numbers_of({tokens.begin(), tokens.end() - 1}, 2, count, out, error))
        return false;
    if (!status_of(tokens.back(), out.status)) {
        error = "not a status: '" + tokens.back() + "'";
        return false;
    }
    return true;
}

// Installers of the projections that have tables here, for a registry whose
// mpx_base_install does not run them (yet).
struct Installer {
    const char *keyword;
    int (*install)();
};
constexpr Installer kInstallers[] = {
    {"tranmerc", mpx_tranmerc_install}, {"stm", mpx_stm_install},
    {"utm", mpx_utm_install},           {"mercator", mpx_mercator_install},
    {"placaree", mpx_placaree_install}, {"cassini", mpx_cassini_install},
};

} // namespace

int installed_projection(const std::string &keyword) {
    static const bool base_installed = [] {
        mpx_base_install();
        return true;
    }();
    (void)base_installed;
    const int index = proj_find(keyword.c_str());
    if (index >= 0)
        return index;
    for (const Installer &installer : kInstallers) {
        if (keyword == installer.keyword && installer.install() == 0)
            return proj_find(keyword.c_str());
    }
    return -1;
}

bool parse_line(std::string_view line, int number, Directive &out, std::string &error) {
    error.clear();
    out = Directive{};
    out.line = number;
    const std::vector<std::string> tokens = tokens_of(line);
    if (tokens.empty())
        return false;
    const std::string &head = tokens[0];
    if (head == "projection") {
        out.kind = Kind::Projection;
        if (tokens.size() != 2) {
            error = "projection takes one keyword";
            return false;
        }
        out.word = tokens[1];
        return true;
    }
    if (head == "ellipsoid") {
        out.kind = Kind::Ellipsoid;
        return numbers_of(tokens, 1, 2, out, error);
    }
    if (head == "tolerance") {
        out.kind = Kind::Tolerance;
        if (tokens.size() != 3 || tokens[2] != "m") {
            error = "tolerance takes a value in metres: tolerance <value> m";
            return false;
        }
        return numbers_of({tokens.begin(), tokens.end() - 1}, 1, 1, out, error);
    }
    if (head == "param")
        return parse_param(tokens, out, error);
    if (head == "fails")
        return parse_fails(tokens, out, error);
    if (head == "forward" || head == "inverse") {
        out.kind = head == "forward" ? Kind::Forward : Kind::Inverse;
        return numbers_of(tokens, 1, 4, out, error);
    }
    if (head == "roundtrip") {
        out.kind = Kind::Roundtrip;
        return numbers_of(tokens, 1, 2, out, error);
    }
    error = "unknown directive '" + head + "'";
    return false;
}

Table read_table(const std::string &path) {
    Table table;
    std::ifstream in(path);
    if (!in) {
        table.errors.push_back({0, "cannot open " + path});
        return table;
    }
    int number = 0;
    std::string error;
    for (std::string line; std::getline(in, line);) {
        Directive directive;
        if (parse_line(line, ++number, directive, error))
            table.directives.push_back(directive);
        else if (!error.empty())
            table.errors.push_back({number, error});
    }
    return table;
}

} // namespace projection_table
