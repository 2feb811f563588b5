#include "exclusion/exclusion_run.hpp"

#include <algorithm>

#include "engine/distance.hpp"
#include "exclusion/exclusions_file.hpp"
#include "exclusion/reports.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

namespace {

void open_list_for_appending(app::Program& program) {
  const std::string path =
      poi::directory_part(program.exclusions_path) + std::string(kExcludedListName);
  if (in_use(program, path)) return;
  program.excluded_list_path = path;
  program.excluded_list = poi::OutputFile(program.excluded_list_path, poi::OpenMode::append);
  if (program.excluded_list.is_open()) {
    write_excluded_list_header(program.excluded_list, program.exclusions_path,
                               program.exclusion_radius, program.master_path);
  }
}

void list_excluded_entry(app::Program& program, const poi::PoiRecord& entry) {
  // A failed opening is not retried for every entry; the summary reports it.
  if (!program.excluded_list.is_open() && !program.excluded_list.failed())
    open_list_for_appending(program);
  program.excluded_list.write_line(excluded_line(entry, program.output_is_ov2));
}

}  // namespace

void write_excluded_list_header(poi::OutputFile& list, std::string_view exclusions_path,
                                float radius, std::string_view source_path) {
  list.write_line("; Exclusions read from " + poi::shorten_path(exclusions_path, 50));
  list.write_line("; Radius of exclusion circle (metres): " + poi::f8_1(radius));
  list.write_line("; List of entries excluded from " + poi::shorten_path(source_path, 50));
}

std::string excluded_line(const poi::PoiRecord& entry, bool output_is_ov2) {
  std::string line;
  poi::append_position_and_name(line, entry);
  if (!output_is_ov2) line += entry.information.trimmed();
  return line;
}

bool exclusion_test(app::Program& program) {
  const poi::PoiRecord& entry = program.current_entry;
  const std::int32_t circles =
      std::min(program.exclusion_count, program.exclusion_table.capacity());
  if (circles <= 0) return false;
  // The entry is point 1: the radii and the cosine belong to its latitude.
  const engine::Origin origin(entry.latitude, entry.longitude);
  for (std::int32_t k = 1; k <= circles; ++k) {
    const poi::PoiRecord& centre = program.exclusion_table[k];
    if (origin.distance_to(centre.latitude, centre.longitude) <= program.exclusion_radius) {
      ++program.excluded_count;
      list_excluded_entry(program, entry);
      return true;
    }
  }
  return false;
}

std::string exclusion_summary_text(const app::Program& program) {
  std::string text = "Exclusions read from " + poi::shorten_path(program.exclusions_path, 50);
  text += "\r Number in file:" + poi::i8(program.exclusion_count);
  text += "\r Exclusion circle radius (metres): " + poi::f8_1(program.exclusion_radius);
  text += "\r Number of POIs removed:" + poi::i8(program.excluded_count);
  text += "\r Output to " + poi::shorten_path(program.excluded_list_path, 50);
  return text;
}

void exclusion_summary(app::Program& program) {
  if (program.exclusion_count > 0) {
    program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::exclamation, 1,
                               exclusion_summary_text(program), kSummaryTitle);
  }
  program.excluded_count = 0;
  // A list removed or replaced while open is not where the summary says.
  const bool in_place = !program.excluded_list.is_open() || program.excluded_list.is_at_path();
  const bool complete = program.excluded_list.is_open() ? program.excluded_list.close() && in_place
                                                        : !program.excluded_list.failed();
  if (!complete)
    report_write_failure(program.dialog, "The excluded list", program.excluded_list_path);
  program.excluded_list = poi::OutputFile();
}

}  // namespace pinwright::exclusion
