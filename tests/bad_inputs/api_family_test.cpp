// API misuse, in this process: each case of api.txt is a short script of
// library calls on the database tests/bad_inputs/db/, the result of its last
// call and the message lines that last call reported:
//
//   SCRIPT | RESULT | MESSAGES
//
// Statements are separated by "; ", each "[var=]call arg ..."; an argument
// "null" is a null pointer, "''" an empty string, a name given a value
// earlier stands for that identifier. "repeat N statement" runs it N times.
// After each case every system is deleted and every chain closed.
#include "catalogue.hpp"
#include "tests/common/error_lines.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using bad_inputs::Case;

constexpr std::size_t kFields = 3;
constexpr int kMaxReferences = 100; // deletions per identifier when cleaning up
constexpr int kMaxRepeat = 200;

class Script {
  public:
    // Runs the script; the last statement's result and its messages.
    std::pair<int, std::string> run(const std::string &script) {
        int result = 0;
        std::size_t start = 0;
        while (start <= script.size()) {
            std::size_t end = script.find("; ", start);
            if (end == std::string::npos)
                end = script.size();
            test_support::take_errors();
            result = statement(script.substr(start, end - start));
            start = end + 2;
        }
        std::string messages;
        for (const std::string &line : test_support::take_errors())
            messages += (messages.empty() ? "" : "\n") + line;
        return {result, messages};
    }

    ~Script() {
        for (int id = 1; id <= MPX_MAX_COORD_SYS; ++id)
            for (int n = 0; n < kMaxReferences && mpx_delete_coord_sys(&id) == 0; ++n) {
            }
        for (const int chain : chains_)
            grid_access_close(chain);
        test_support::take_errors();
    }

  private:
    std::vector<std::string> words_;
    std::map<std::string, int> names_;
    std::vector<int> chains_;
    std::deque<std::string> texts_; // stable addresses within a statement
    int ints_[8] = {};

    const char *text(std::size_t i) {
        const std::string &w = words_.at(i);
        if (w == "null")
            return nullptr;
        if (w == "''")
            return "";
        if (w.starts_with("@db/")) {
            texts_.push_back(MPX_SOURCE_DIR "tests/bad_inputs/db/" + w.substr(4));
            return texts_.back().c_str();
        }
        return w.c_str();
    }
    int integer(std::size_t i) {
        const std::string &w = words_.at(i);
        const auto named = names_.find(w);
        return named != names_.end() ? named->second : std::atoi(w.c_str());
    }
    // The argument as an identifier pointer: null or a pointer to it.
    const int *id(std::size_t i) {
        if (words_.at(i) == "null")
            return nullptr;
        ints_[i] = integer(i);
        return &ints_[i];
    }
    double real(std::size_t i) {
        const std::string &w = words_.at(i);
        if (w == "nan")
            return std::nan("");
        if (w == "inf")
            return INFINITY;
        if (w == "-inf")
            return -INFINITY;
        return std::strtod(w.c_str(), nullptr);
    }

    int statement(const std::string &text) {
        std::istringstream in(text);
        words_.clear();
        texts_.clear();
        for (std::string w; in >> w;)
            words_.push_back(w);
        if (words_.empty())
            return 0;
        if (words_[0] == "repeat") {
            const int times = std::min(std::atoi(words_.at(1).c_str()), kMaxRepeat);
            const std::string rest = text.substr(text.find(words_[1]) + words_[1].size() + 1);
            int result = 0;
            for (int i = 0; i < times; ++i)
                result = statement(rest);
            return result;
        }
        std::string var;
        if (const std::size_t eq = words_[0].find('='); eq != std::string::npos) {
            var = words_[0].substr(0, eq);
            words_[0] = words_[0].substr(eq + 1);
        }
        const int result = call();
        if (!var.empty())
            names_[var] = result;
        return result;
    }

    int transform(bool nulls) {
        double x = 0, y = 0, z = 0, xo = 0, yo = 0, zo = 0;
        int which = -1;
        if (nulls) {
            which = integer(1);
        } else {
            x = real(1);
            y = real(2);
            z = real(3);
        }
        const int rc = mpx_transform(which == 0 ? nullptr : &x, which == 1 ? nullptr : &y,
                                     which == 2 ? nullptr : &z, which == 3 ? nullptr : &xo,
                                     which == 4 ? nullptr : &yo, which == 5 ? nullptr : &zo);
        if (rc == 0)
            EXPECT_TRUE(std::isfinite(xo) && std::isfinite(yo) && std::isfinite(zo));
        return rc;
    }

    int call() {
        const std::string &f = words_[0];
        if (f == "create")
            return mpx_create_coord_sys(text(1), text(2), text(3));
        if (f == "crelock")
            return mpx_crelock_coord_sys(text(1), text(2), text(3));
        if (f == "check")
            return mpx_check_creation_coord_sys(text(1), text(2), text(3));
        if (f == "copy")
            return mpx_copy_coord_sys(id(1));
        if (f == "lock")
            return mpx_lock_coord_sys(id(1));
        if (f == "delete")
            return mpx_delete_coord_sys(id(1));
        if (f == "status")
            return mpx_inq_status_coord_sys(id(1));
        if (f == "next")
            return mpx_next_coord_sys(id(1));
        if (f == "source")
            return mpx_set_source(id(1));
        if (f == "target")
            return mpx_set_target(id(1));
        if (f == "num_points")
            return mpx_mod_num_points(id(1));
        if (f == "mode")
            return mpx_mod_trans_mode(id(1));
        if (f == "inq_mode")
            return mpx_inq_trans_mode(id(1));
        if (f == "trans_status")
            return mpx_inq_trans_status();
        if (f == "transform")
            return transform(false);
        if (f == "transform_null")
            return transform(true);
        if (f == "array" || f == "array_null") {
            // array N: N points at (lon 0.05, lat 0.87, 0) in radians
            const int n = integer(1);
            std::vector<double> points(30, 0.5);
            const bool nulls = f == "array_null";
            const int which = nulls ? integer(2) : -1;
            return mpx_trans_array(which == 0 ? nullptr : &n, which == 1 ? nullptr : points.data(),
                                   which == 2 ? nullptr : points.data());
        }
        if (f == "polyline") {
            const int n = 1;
            double points[3] = {};
            return mpx_trans_polyline(&n, points, points);
        }
        if (f == "inq") {
            // inq ID ENTITY ATTRIBUTE TYPE SIZE
            char attribute[64] = {};
            char type[8] = {};
            alignas(double) char value[64] = {};
            if (const char *a = text(3))
                std::snprintf(attribute, sizeof attribute, "%s", a);
            if (const char *t = text(4))
                std::snprintf(type, sizeof type, "%s", t);
            return mpx_inq_coord_sys(id(1), text(2), words_.at(3) == "null" ? nullptr : attribute,
                                     words_.at(4) == "null" ? nullptr : type,
                                     words_.size() > 5 && words_[5] == "null" ? nullptr : value,
                                     words_.size() > 5 && words_[5] != "null" ? integer(5) : 8);
        }
        if (f == "mod") {
            // mod ID ENTITY ATTRIBUTE TYPE VALUE
            const char *type = text(4);
            const double d = real(5);
            const std::int32_t l = integer(5);
            const char *s = text(5);
            const void *value = s == nullptr   ? nullptr
                                : !type        ? s
                                : *type == 'd' ? static_cast<const void *>(&d)
                                : *type == 'l' ? static_cast<const void *>(&l)
                                               : s;
            return mpx_mod_coord_sys(id(1), text(2), text(3), type, value);
        }
        if (f == "grid_init") {
            std::string names;
            for (std::size_t i = 1; i < words_.size(); ++i)
                names += (i > 1 ? " " : "") + std::string(text(i) ? text(i) : "");
            const int chain = grid_access_init(
                words_.size() > 1 && words_[1] == "null" ? nullptr : names.c_str());
            if (chain > 0)
                chains_.push_back(chain);
            return chain;
        }
        if (f == "grid_set")
            return grid_access_set_current_id(integer(1));
        if (f == "grid_coeffs")
            return grid_access_inq_num_coeffs();
        if (f == "grid_block") {
            double block[MPX_GRID_MAX_COEFFS];
            return grid_access_get_block(
                real(1), real(2), words_.size() > 3 && words_[3] == "null" ? nullptr : block);
        }
        if (f == "grid_close") {
            grid_access_close(integer(1));
            return 0;
        }
        if (f == "info") {
            mpx_trans_info info;
            return mpx_inq_trans_info(words_.size() > 1 && words_[1] == "null" ? nullptr : &info);
        }
        if (f == "next_base") {
            char name[MPX_NAME_SIZE];
            return mpx_inq_next_base(words_.size() > 1 && words_[1] == "null" ? nullptr : name);
        }
        if (f == "set_table")
            return gdb_set_table(text(1));
        if (f == "set_key")
            return gdb_set_name_key(text(1));
        if (f == "next_key") {
            char name[512];
            return gdb_next_name_key(words_.size() > 1 && words_[1] == "null" ? nullptr : name);
        }
        if (f == "load") {
            alignas(double) char value[512];
            return gdb_load(text(1), text(2),
                            words_.size() > 3 && words_[3] == "null" ? nullptr : value);
        }
        if (f == "db_type")
            return gdb_set_db(integer(1));
        ADD_FAILURE() << "unknown call " << f;
        return -999;
    }
};

TEST(BadInputCatalogue, ApiMisuse) {
    setenv("TORVA_ORTIX_DIR", MPX_SOURCE_DIR "tests/bad_inputs/db/", 1);
    test_support::collect_errors();
    mpx_inq_next_base(nullptr);
    const bool record = std::getenv("MPX_BAD_INPUTS_RECORD") != nullptr;
    std::ofstream found;
    if (record)
        found.open(bad_inputs::scratch_dir() + "api.txt.found");
    const std::vector<Case> cases = bad_inputs::read_family("api", kFields);
    EXPECT_FALSE(cases.empty());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where() + ": " + c.fields[0]);
        std::pair<int, std::string> got;
        {
            Script script;
            got = script.run(c.fields[0]);
        }
        if (record) {
            found << c.fields[0] << " | " << got.first << " | " << bad_inputs::escaped(got.second)
                  << "\n";
            continue;
        }
        EXPECT_EQ(got.first, std::atoi(c.fields[1].c_str()));
        EXPECT_EQ(got.second, c.fields[2]);
    }
}

} // namespace
