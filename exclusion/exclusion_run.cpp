#include "exclusion/exclusion_run.hpp"

#include <algorithm>

#include "engine/distance.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

void write_excluded_list_header(poi::OutputFile& list, std::string_view exclusions_path,
                                float radius, std::string_view source_path) {
  list.write_line("; Exclusions read from " +
                  poi::shorten_path(exclusions_path, poi::kMessagePathWidth));
  list.write_line("; Radius of exclusion circle (metres): " + poi::f8_1(radius));
  list.write_line("; List of entries excluded from " +
                  poi::shorten_path(source_path, poi::kMessagePathWidth));
}

std::string exclusion_summary_text(const Summary& summary) {
  std::string text =
      "Exclusions read from " + poi::shorten_path(summary.exclusions_path, poi::kMessagePathWidth);
  text += "\r Number in file:" + poi::i8(summary.circle_count);
  text += "\r Exclusion circle radius (metres): " + poi::f8_1(summary.radius);
  text += "\r Number of POIs removed:" + poi::i8(summary.removed_count);
  text += "\r Output to " + poi::shorten_path(summary.list_path, poi::kMessagePathWidth);
  return text;
}

}  // namespace pinwright::exclusion
