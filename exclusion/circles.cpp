#include "exclusion/circles.hpp"

#include "engine/distance.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

bool inside_a_circle(const Circles& circles, float latitude, float longitude) {
  if (circles.centres.empty()) return false;
  const engine::Origin origin(latitude, longitude);
  for (const Circles::Centre& centre : circles.centres)
    if (origin.distance_to(centre.latitude, centre.longitude) <= circles.radius) return true;
  return false;
}

std::string excluded_line(const poi::CompactTable& table, std::int32_t index,
                          poi::FileKind output_kind) {
  std::string line;
  poi::append_position_and_name(line, table, index);
  if (output_kind == poi::FileKind::text) line += table.information_field(index);
  return line;
}

std::string match_pair_lines(const poi::CompactTable& table, std::int32_t a, std::int32_t b,
                             float metres) {
  const std::string justified = poi::justify_left(poi::f8_2(metres));
  const std::string_view distance = poi::trim_right(justified);
  std::string lines;
  poi::append_position_and_name(lines, table, a);
  lines += ", \"\"\n";
  poi::append_position_and_name(lines, table, b);
  lines += ", \"matches ";
  lines += table.name_field(a);
  lines += " (";
  lines += distance;
  lines += "m)\"\n";
  return lines;
}

}  // namespace pinwright::exclusion
