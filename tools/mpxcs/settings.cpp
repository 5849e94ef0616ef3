// --set PARAM=VALUE: projection parameters of a "mod_" system changed by
// name through the library, before the system is locked. The library
// announces each change with console lines on standard output; the
// converter sends them to standard error, so they never mix with points.
#include "console.hpp"
#include "info.hpp"

#include <mpxlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#define mpxcs_dup _dup
#define mpxcs_dup2 _dup2
#define mpxcs_close _close
#define mpxcs_fileno _fileno
#else
#include <unistd.h>
#define mpxcs_dup dup
#define mpxcs_dup2 dup2
#define mpxcs_close close
#define mpxcs_fileno fileno
#endif

namespace mpxcs {
namespace {

constexpr char kModPrefix[] = "mod_";
constexpr std::string_view kDegreeSuffix = "deg";
constexpr double kRadiansPerDegree = 0.017453292519943295;
// Room for a text attribute's value when only its type is asked for.
constexpr int kValueRoom = 512;

bool is_modifiable_name(const SystemName &system) {
    return system.projection.rfind(kModPrefix, 0) == 0;
}

// Runs `call` with standard output caught in a temporary file, then copies
// what it printed to standard error as whole lines (the library's console
// lines begin with a line end rather than ending with one). Without a
// temporary file the text goes to standard error directly.
template <typename Call> int with_stdout_on_stderr(Call call) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::FILE *caught = std::tmpfile();
    const int target = mpxcs_fileno(caught ? caught : stderr);
    const int saved = mpxcs_dup(mpxcs_fileno(stdout));
    if (saved >= 0)
        mpxcs_dup2(target, mpxcs_fileno(stdout));
    const int result = call();
    std::fflush(stdout);
    if (saved >= 0) {
        mpxcs_dup2(saved, mpxcs_fileno(stdout));
        mpxcs_close(saved);
    }
    if (!caught)
        return result;
    std::rewind(caught);
    std::string text;
    char block[256];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof block, caught)) > 0)
        text.append(block, n);
    std::fclose(caught);
    if (!text.empty() && text.front() == '\n')
        text.erase(0, 1);
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    std::fputs(text.c_str(), stderr);
    return result;
}

bool parse_double(const std::string &text, double &value) {
    std::string_view number = text;
    double factor = 1.0;
    if (number.size() > kDegreeSuffix.size() &&
        number.substr(number.size() - kDegreeSuffix.size()) == kDegreeSuffix) {
        number.remove_suffix(kDegreeSuffix.size());
        factor = kRadiansPerDegree;
    }
    std::string copy(number);
    char *end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    value *= factor;
    return !copy.empty() && end == copy.c_str() + copy.size();
}

bool apply_one(int id, const SystemName &system, const std::string &setting) {
    const std::size_t equals = setting.find('=');
    std::string name = setting.substr(0, equals);
    const std::string text = setting.substr(equals + 1);
    char attribute[MPX_NAME_SIZE * 4] = {};
    if (name.size() >= sizeof attribute) {
        console_error("--set " + setting + ": no such parameter");
        return false;
    }
    name.copy(attribute, name.size());
    char type = MPX_TYPE_ANY;
    char room[kValueRoom];
    if (mpx_inq_coord_sys(&id, "projection", attribute, &type, room, kValueRoom) != 0) {
        console_error("--set " + setting + ": " + system.projection + " has no parameter " + name);
        return false;
    }
    double d = 0.0;
    std::int32_t l = 0;
    char c = text.empty() ? '\0' : text[0];
    const void *value = &c;
    bool parsed = true;
    if (type == MPX_TYPE_DOUBLE) {
        parsed = parse_double(text, d);
        value = &d;
    } else if (type == MPX_TYPE_LONG) {
        char *end = nullptr;
        const long number = std::strtol(text.c_str(), &end, 10);
        parsed = !text.empty() && end == text.c_str() + text.size() && number >= INT32_MIN &&
                 number <= INT32_MAX;
        l = static_cast<std::int32_t>(number);
        value = &l;
    } else if (type == MPX_TYPE_CHAR) {
        parsed = text.size() == 1;
    }
    if (!parsed) {
        console_error("--set " + setting + ": not a value of the parameter's type");
        return false;
    }
    const char type_code[2] = {type, '\0'};
    const int result = with_stdout_on_stderr(
        [&] { return mpx_mod_coord_sys(&id, "projection", attribute, type_code, value); });
    if (result != 0) {
        console_failure("--set " + setting + " refused (status " + std::to_string(result) + ")");
        return false;
    }
    return true;
}

} // namespace

bool settings_have_a_system(const SystemName &source, const SystemName *target,
                            const std::vector<std::string> &settings) {
    if (settings.empty() || is_modifiable_name(source) || (target && is_modifiable_name(*target)))
        return true;
    console_error("--set needs a source or target whose projection is a mod_ record");
    return false;
}

int create_with_settings(const SystemName &system, const std::vector<std::string> &settings) {
    const int id =
        mpx_create_coord_sys(system.datum.c_str(), system.projection.c_str(), system.units.c_str());
    if (id < 1) {
        console_failure("cannot create the coordinate system " + system.title());
        return id;
    }
    if (is_modifiable_name(system))
        for (const std::string &setting : settings)
            if (!apply_one(id, system, setting))
                return 0;
    mpx_lock_coord_sys(&id);
    return id;
}

bool set_up_with_settings(const SystemName &source, const SystemName &target,
                          const std::vector<std::string> &settings) {
    if (settings.empty())
        return set_up_transformation(source, target);
    if (!settings_have_a_system(source, &target, settings))
        return false;
    const int source_id = create_with_settings(source, settings);
    if (source_id < 1)
        return false;
    const int target_id = create_with_settings(target, settings);
    if (target_id < 1)
        return false;
    return make_current(source_id, target_id, source, target);
}

} // namespace mpxcs
