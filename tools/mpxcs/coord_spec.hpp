// Coordinate systems as the command line names them, DATUM,PROJECTION[,UNITS],
// and the library set-up of the transformation between two of them.
#pragma once

#include <string>
#include <string_view>

namespace mpxcs {

struct CoordSpec {
    std::string datum, projection, units;
    bool geodetic() const { return projection == "GEODETIC"; }
    bool geocentric() const { return projection == "GEOCENTRIC"; }
};

// Empty error text on success.
std::string parse_coord_spec(std::string_view text, CoordSpec &spec);

// Decimals of x and y that resolve a millimetre or better in the system's
// unit; heights are metres in every system.
int default_decimals(const CoordSpec &spec);
int default_height_decimals();

// Creates both systems and makes their transformation current and ready.
// The library reports the reasons of a failure itself.
bool set_up_transformation(const CoordSpec &source, const CoordSpec &target);

} // namespace mpxcs
