#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "exclusion/circles.hpp"

namespace pinwright::exclusion {

// An exclusions file is plain text, one item per line:
//   ; comment
//   radius = 25                     (any letter case, leading blanks allowed;
//                                    "Match radius = 25" as well)
//   5.12, 52.3, "description"       (one circle: longitude, latitude in degrees)
// A radius line without "=", or with nothing after it, sets the radius to 1.0.

inline constexpr std::string_view kExclusionsSuffix = "_x.asc";
inline constexpr std::string_view kExclusionsName = "exclusions.asc";

// The exclusions file for a Master file: "NAME_x.asc" beside it when that
// exists, else "exclusions.asc" in its folder; empty when there is neither.
std::string find_exclusions_file(std::string_view master_path);

// What reading the exclusions file came to.
struct ExclusionsRead {
  enum class Status {
    no_file,        // none beside the Master file: no circles
    read,           // all lines read
    format_error,   // a line that is no circle, or a radius that is no number
    storage_limit,  // more circles than the table holds
    unreadable,     // the file cannot be opened or read
  };

  Status status = Status::no_file;
  std::string path;       // the exclusions file
  std::int64_t line = 0;  // format error: 1-based line number
  std::string line_text;  // format error: the line as read
  // What was read; after a format error or too many circles, the circles
  // before it.
  Circles circles;
};

// Reads the circles of the exclusions file at `path`, at most `limit` of
// them.
ExclusionsRead read_exclusion_circles(const std::string& path, std::int64_t limit);

}  // namespace pinwright::exclusion
