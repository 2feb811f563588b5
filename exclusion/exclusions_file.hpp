#pragma once

#include <string>
#include <string_view>

#include "app/program.hpp"

namespace pinwright::exclusion {

// An exclusions file is plain text, one item per line:
//   ; comment
//   radius = 25                     (any letter case, leading blanks allowed;
//                                    "Match radius = 25" as well)
//   5.12, 52.3, "description"       (one circle: longitude, latitude in degrees)
// A radius line without "=", or with nothing after it, sets the radius to 1.0.

inline constexpr std::string_view kExclusionsSuffix = "_x.asc";
inline constexpr std::string_view kExclusionsName = "exclusions.asc";

inline constexpr std::string_view kExclusionsFormatErrorTitle = "Format error";
inline constexpr std::string_view kExclusionsFormatErrorText =
    "Exclusion records must have the following format\rwith the positions in decimal degrees "
    "and\r\"value\" in metres\r\rMatch radius = \"value\"\r; Comment text\rLongitude, Latitude, "
    "\"Text\"";
inline constexpr std::string_view kTooManyExclusionsText =
    "Too many exclusion entries.\rMaximum is 5,000";

// The exclusions file for a Master file: "NAME_x.asc" beside it when that
// exists, else "exclusions.asc" in its folder; empty when there is neither.
std::string find_exclusions_file(std::string_view master_path);

// Whether `path` is a file the user loaded or chose (Master, Update, Output):
// the excluded list never replaces or appends to such a file, even one that
// happens to be called "excluded.asc".
bool in_use(const app::Program& program, const std::string& path);

// Looks for the exclusions file of `master_path`, loads its circles into the
// Exclusion table and (re)creates the excluded list "excluded.asc" beside it
// with its three header lines, left open for the duplicate run. Without an
// exclusions file only `exclusion_count` is reset. More than 5,000 circles
// end the program; a line that is not a number stops the reading with a box,
// the circles before it stay. The excluded list never replaces the Master
// file, a loaded Update file or the Output file: it is then not written, and
// `excluded_list_path` stays empty.
void read_exclusions(app::Program& program);

}  // namespace pinwright::exclusion
