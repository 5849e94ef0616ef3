// Coordinate systems as the command line names them, DATUM,PROJECTION[,UNITS],
// and the library set-up of the transformation between two of them.
#pragma once

#include <string>
#include <string_view>

namespace mpxcs {

struct SystemName {
    std::string datum, projection, units;
    bool geodetic() const { return projection == "GEODETIC"; }
    bool geocentric() const { return projection == "GEOCENTRIC"; }
    bool degrees() const { return geodetic() && units == "degrees"; }
    std::string title() const; // DATUM,PROJECTION[,UNITS]
};

// Empty error text on success.
std::string parse_system_name(std::string_view text, SystemName &system);

// Matches the datum and projection exactly, without regard to case, against
// the database's records and takes the records' own names; checks that the
// units apply. Empty error text on success; else what is wrong, with the
// closest names. Needs the database selected.
std::string resolve_system(SystemName &system);

// Decimals of x and y that resolve a millimetre or better in the system's
// unit; heights are metres in every system.
int default_decimals(const SystemName &system);
int default_height_decimals();

// Creates both systems and makes their transformation current and ready.
// The library reports the reasons of a failure itself.
bool set_up_transformation(const SystemName &source, const SystemName &target);
// The transformation between two created, locked systems made current and
// ready.
bool make_current(int source_id, int target_id, const SystemName &source, const SystemName &target);

} // namespace mpxcs
