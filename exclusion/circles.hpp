#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "poi/compact_table.hpp"
#include "poi/file_slot.hpp"

namespace pinwright::exclusion {

// The exclusion circles read from an exclusions file: centres, one radius.
struct Circles {
  struct Centre {
    float latitude = 0.0f;
    float longitude = 0.0f;
  };

  std::string path;     // the exclusions file
  float radius = 1.0f;  // metres
  std::vector<Centre> centres;

  bool empty() const { return centres.empty(); }
};

// Whether a point lies within the exclusion radius of a centre. The point is
// point 1 of the distance (the radii and the cosine belong to its latitude),
// the centre point 2; the first centre found ends the search.
bool inside_a_circle(const Circles& circles, float latitude, float longitude);

// The line of entry `index` in the excluded list: longitude and latitude in
// F10.5 and the name in double quotes; the information text follows only for
// a text Output file (an OV2 Output carries none). Texts are cut as a record
// holds them.
std::string excluded_line(const poi::CompactTable& table, std::int32_t index,
                          poi::FileKind output_kind);

// Pairs closer than this are not reported.
inline constexpr float kReportThresholdMetres = 1.0f;

// The two matches-report lines for entries a and b of `table`, `metres`
// apart: b's last column names a and the distance.
std::string match_pair_lines(const poi::CompactTable& table, std::int32_t a, std::int32_t b,
                             float metres);

}  // namespace pinwright::exclusion
