#include "exclusion/reports.hpp"

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

std::string matches_report_path(std::string_view output_path) {
  return poi::split_extension(output_path).stem + std::string(kMatchesReportSuffix);
}

MatchesReportOpen open_matches_report(app::Program& program) {
  app::Reports& reports = program.reports;
  MatchesReportOpen open;
  open.previous_incomplete = reports.matches.is_open() && !reports.matches.close();
  reports.matches_path = matches_report_path(program.output.path);
  // Its name follows from the Output's, so the user never chose it: it must
  // not replace a file in use.
  if (app::in_use(program, reports.matches_path)) {
    reports.matches = poi::OutputFile();
    open.status = MatchesReportOpen::Status::in_use;
    return open;
  }
  reports.matches = poi::OutputFile(reports.matches_path, poi::OpenMode::truncate);
  if (!reports.matches.is_open()) {
    open.status = MatchesReportOpen::Status::failed;
    return open;
  }
  reports.matches.write_line(kMatchesReportHeader);
  return open;
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
  if (!program.matches_report_enabled || !(metres > kReportThresholdMetres)) return;
  program.reports.matches.write(match_pair_lines(a, b, metres));
}

bool matches_report_complete(app::Program& program) {
  poi::OutputFile& report = program.reports.matches;
  if (!report.is_open() || (report.flush() && report.is_at_path())) return true;
  report = poi::OutputFile();
  return false;
}

void write_output_trailer(const app::Program& program, poi::OutputFile& output) {
  output.write_line(poi::trailer_line(program.run.poi_record_counter, program.run.comment_counter));
}

std::string entries_label_text(std::int32_t count) {
  return std::string(poi::trim_right("Number of POI entries:" + poi::i5(count)));
}

}  // namespace pinwright::exclusion
