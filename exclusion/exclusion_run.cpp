#include "exclusion/exclusion_run.hpp"

#include <algorithm>

#include "engine/distance.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

namespace {

void open_list_for_appending(app::Program& program) {
  app::Exclusions& exclusions = program.exclusions;
  const std::string path = poi::directory_part(exclusions.path) + std::string(kExcludedListName);
  if (list_would_replace(program, path)) return;
  exclusions.list_path = path;
  exclusions.list = poi::OutputFile(exclusions.list_path, poi::OpenMode::append);
  if (exclusions.list.is_open()) {
    write_excluded_list_header(exclusions.list, exclusions.path, exclusions.radius,
                               program.master.path);
  }
}

void list_excluded_entry(app::Program& program, const poi::PoiRecord& entry) {
  poi::OutputFile& list = program.exclusions.list;
  // A failed opening is not retried for every entry; the summary reports it.
  if (!list.is_open() && !list.failed()) open_list_for_appending(program);
  list.write_line(excluded_line(entry, program.output.kind));
}

}  // namespace

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
      ++exclusions.removed_count;
      list_excluded_entry(program, entry);
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

ExclusionsEnd finish_exclusions(app::Program& program) {
  app::Exclusions& exclusions = program.exclusions;
  ExclusionsEnd end;
  if (exclusions.count > 0) {
    end.summary = Summary{exclusions.path, exclusions.count, exclusions.radius,
                          exclusions.removed_count, exclusions.list_path};
  }
  exclusions.removed_count = 0;
  // A list removed or replaced while open is not where the summary says.
  poi::OutputFile& list = exclusions.list;
  const bool in_place = !list.is_open() || list.is_at_path();
  const bool complete = list.is_open() ? list.close() && in_place : !list.failed();
  end.list_incomplete = !complete;
  list = poi::OutputFile();
  return end;
}

}  // namespace pinwright::exclusion
