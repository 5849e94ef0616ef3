// Which database the converter reads, and the listing of its records.
#pragma once

#include <string>

namespace mpxcs {

// --db, else TORVA_ORTIX_DIR, else the bundled database next to the
// installed program or in the source tree of the build. The library reads
// the variable on its first use, so this runs before any library call.
// Empty error text on success.
std::string select_database(const std::string &db_option);

// Prints the records of "datums", "projections" or "changes"; false when
// the table cannot be read.
bool list_database(const std::string &what);

} // namespace mpxcs
