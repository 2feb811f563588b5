#include "exclusion/reports.hpp"

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"
#include "ui/controls.hpp"

namespace pinwright::exclusion {

std::string matches_report_path(std::string_view output_path) {
  return poi::split_extension(output_path).stem + std::string(kMatchesReportSuffix);
}

void open_matches_report(app::Program& program) {
  if (program.matches_report.is_open() && !program.matches_report.close())
    report_write_failure(program.dialog, "The matches report", program.matches_report_path);
  program.matches_report_path = matches_report_path(program.output_path);
  // Its name follows from the Output's, so the user never chose it: it must
  // not replace a file the program has loaded.
  if ((program.master_loaded && poi::same_file(program.matches_report_path, program.master_path)) ||
      (program.update_mode && poi::same_file(program.matches_report_path, program.update_path))) {
    program.matches_report = poi::OutputFile();
    program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::information, 1,
                               "The matches report\r" +
                                   poi::shorten_path(program.matches_report_path, 50) +
                                   "\rwould replace a file in use.\rMatches will not be reported.",
                               poi::kFileOpenConflictTitle);
    return;
  }
  program.matches_report = poi::OutputFile(program.matches_report_path, poi::OpenMode::truncate);
  if (!program.matches_report.is_open()) {
    report_write_failure(program.dialog, "The matches report", program.matches_report_path);
    return;
  }
  program.matches_report.write_line(kMatchesReportHeader);
}

std::string match_pair_lines(const poi::PoiRecord& a, const poi::PoiRecord& b, float metres) {
  const std::string justified = poi::justify_left(poi::f8_2(metres));
  const std::string_view distance = poi::trim_right(justified);
  std::string lines;
  poi::append_position_and_name(lines, a);
  lines += ", \"\"\n";
  poi::append_position_and_name(lines, b);
  lines += ", \"matches ";
  lines += a.name.trimmed();
  lines += " (";
  lines += distance;
  lines += "m)\"\n";
  return lines;
}

void report_match_pair(app::Program& program, const poi::PoiRecord& a, const poi::PoiRecord& b,
                       float metres) {
  if (!program.deduruvav_marker || !(metres > kReportThresholdMetres)) return;
  program.matches_report.write(match_pair_lines(a, b, metres));
}

void write_output_trailer(app::Program& program) {
  program.output_file.write_line(
      poi::trailer_line(program.poi_record_counter, program.comment_counter));
}

std::string entries_label_text(std::int32_t count) {
  return std::string(poi::trim_right("Number of POI entries:" + poi::i5(count)));
}

void show_entries_label(app::Program& program, std::int32_t count) {
  program.dialog.put_text(ui::control::kOutputCount, entries_label_text(count));
}

void report_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path) {
  std::string text(what);
  text += " could not be written completely:\r";
  text += poi::shorten_path(path, 50);
  dialog.message_box(ui::ButtonSet::ok, ui::Icon::exclamation, 1, text, kWriteErrorTitle);
}

}  // namespace pinwright::exclusion
