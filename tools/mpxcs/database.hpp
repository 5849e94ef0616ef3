// Which database the converter reads, and the listing of its records.
#pragma once

#include <string>
#include <vector>

namespace mpxcs {

// --db, else TORVA_ORTIX_DIR, else the bundled database next to the
// installed program or in the source tree of the build; the tables every
// conversion needs must be readable. The library reads
// the variable on its first use, so this runs before any library call.
// Empty error text on success.
std::string select_database(const std::string &db_option);

// The database directory chosen, ending in '/'.
std::string database_dir();

// The names of every record of a table ("datum_sp", "project"), in file
// order; empty when the table cannot be read.
std::vector<std::string> record_names(const char *table);

// Prints the records of "datums", "projections" or "changes"; false when
// the table cannot be read.
bool list_database(const std::string &what);

} // namespace mpxcs
