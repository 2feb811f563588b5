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

std::string excluded_line(const poi::PoiRecord& entry, poi::FileKind output_kind) {
  std::string line;
  poi::append_position_and_name(line, entry);
  if (output_kind == poi::FileKind::text) line += entry.information.trimmed();
  return line;
}

bool exclusion_test(app::Program& program, const poi::PoiRecord& entry) {
  app::Exclusions& exclusions = program.exclusions;
  const std::int32_t circles = std::min(exclusions.count, exclusions.circles.capacity());
  if (circles <= 0) return false;
  // The entry is point 1: the radii and the cosine belong to its latitude.
  const engine::Origin origin(entry.latitude, entry.longitude);
  for (std::int32_t k = 1; k <= circles; ++k) {
    const poi::PoiRecord& centre = exclusions.circles[k];
    if (origin.distance_to(centre.latitude, centre.longitude) <= exclusions.radius) {
      exclusions.excluded_lines.push_back(excluded_line(entry, program.output.kind));
      return true;
    }
  }
  return false;
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

ExclusionsEnd finish_exclusions(app::Program& program, const std::string& list_path) {
  app::Exclusions& exclusions = program.exclusions;
  ExclusionsEnd end;
  if (exclusions.count > 0) {
    end.list_path = list_path.empty()
                        ? poi::directory_part(exclusions.path) + std::string(kExcludedListName)
                        : list_path;
    exclusions.list_path.clear();
    if (list_would_replace(program, end.list_path)) {
      end.list = ListWrite::in_use;
    } else {
      poi::OutputFile list(end.list_path, poi::OpenMode::truncate);
      write_excluded_list_header(list, exclusions.path, exclusions.radius, program.master.path);
      for (const std::string& line : exclusions.excluded_lines) list.write_line(line);
      end.list = list.close() ? ListWrite::written : ListWrite::incomplete;
      exclusions.list_path = end.list_path;
    }
    end.summary =
        Summary{exclusions.path, exclusions.count, exclusions.radius,
                static_cast<std::int32_t>(exclusions.excluded_lines.size()), exclusions.list_path};
  }
  exclusions.excluded_lines.clear();
  return end;
}

}  // namespace pinwright::exclusion
