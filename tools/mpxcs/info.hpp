// Seeing inside a conversion: --info describes systems and the
// transformation between them, --trace shows every step of each point, and
// --set changes the parameters of a modifiable ("mod_") projection. All of
// it goes through the public header: attribute inquiries and
// modifications, the library's transformation description and its trace
// hook, so nothing here can drift from what the library computes.
#pragma once

#include "number_format.hpp"
#include "system_name.hpp"

#include <string>
#include <vector>

namespace mpxcs {

// Prints SOURCE (and the conversion to TARGET when given) on stdout;
// settings apply to the "mod_" systems first. False after a failure
// (reported on stderr).
bool print_info(const SystemName &source, const SystemName *target,
                const std::vector<std::string> &settings);

// The shortest text that reads back as exactly `value`.
std::string shortest(double value);

// False (after saying so) when there are settings but neither system is a
// "mod_" one; target may be null.
bool settings_have_a_system(const SystemName &source, const SystemName *target,
                            const std::vector<std::string> &settings);

// A locked system, after applying the settings when its projection is a
// "mod_" record: its identifier, or below 1 after reporting.
int create_with_settings(const SystemName &system, const std::vector<std::string> &settings);

// set_up_transformation, after applying PARAM=VALUE settings to the source
// and target systems whose projection is a "mod_" record. The library's
// console notice of each change goes to stderr.
bool set_up_with_settings(const SystemName &source, const SystemName &target,
                          const std::vector<std::string> &settings);

// From now on every point's pipeline steps are kept; trace_print writes
// those of the last point converted to stderr, ending with its output in
// the converter's own format (with z when the converter prints z).
void trace_install(const SystemName &source, const NumberFormat &xy_format,
                   const NumberFormat &z_format, bool always_z);
void trace_print(const char *input_name, long line, bool has_z);

} // namespace mpxcs
