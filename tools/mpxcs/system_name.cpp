#include "system_name.hpp"

#include "console.hpp"

#include <mpxlib.h>

namespace mpxcs {
namespace {

// Decimals that resolve a millimetre or better: linear units are metres or
// longer, a degree or grad of latitude is about 1e5 m, a radian 6.4e6 m.
constexpr int kLinearDecimals = 3;
constexpr int kDegreeDecimals = 9;
constexpr int kRadianDecimals = 11;

int create_locked(const SystemName &system) {
    int id = mpx_crelock_coord_sys(system.datum.c_str(), system.projection.c_str(),
                                   system.units.c_str());
    if (id < 1)
        console_error("cannot create the coordinate system " + system.datum + "," +
                      system.projection);
    return id;
}

} // namespace

std::string parse_system_name(std::string_view text, SystemName &system) {
    std::size_t first = text.find(',');
    if (first == std::string_view::npos)
        return "coordinate system '" + std::string(text) + "' is not DATUM,PROJECTION[,UNITS]";
    std::size_t second = text.find(',', first + 1);
    system.datum = text.substr(0, first);
    system.projection = text.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
    system.units = second == std::string_view::npos ? std::string() : text.substr(second + 1);
    if (system.datum.empty() || system.projection.empty() ||
        system.units.find(',') != std::string::npos)
        return "coordinate system '" + std::string(text) + "' is not DATUM,PROJECTION[,UNITS]";
    if (system.geodetic() && system.units.empty())
        system.units = "degrees";
    return {};
}

int default_decimals(const SystemName &system) {
    if (!system.geodetic())
        return kLinearDecimals;
    return system.units == "radians" ? kRadianDecimals : kDegreeDecimals;
}

int default_height_decimals() { return kLinearDecimals; }

bool set_up_transformation(const SystemName &source, const SystemName &target) {
    int source_id = create_locked(source);
    if (source_id < 1)
        return false;
    int target_id = create_locked(target);
    if (target_id < 1)
        return false;
    return make_current(source_id, target_id, source, target);
}

bool make_current(int source_id, int target_id, const SystemName &source,
                  const SystemName &target) {
    if (mpx_set_source(&source_id) != 0 || mpx_set_target(&target_id) != 0)
        return false;
    if (mpx_inq_trans_status() != 0) {
        console_error("no transformation from " + source.datum + " to " + target.datum);
        return false;
    }
    return true;
}

} // namespace mpxcs
