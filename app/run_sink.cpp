#include "app/run_sink.hpp"

#include "app/vector_files.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::app {

namespace {

// The Output's bytes: a text file's header, lines and closing line, or an
// overlay file's records (comment records have no place there).
bool write_entries(const std::string& path, poi::FileKind kind, std::chrono::year_month_day today,
                   const poi::CompactTable& table, std::span<const std::int32_t> entries) {
  poi::OutputFile file(path, poi::OpenMode::truncate);
  if (kind == poi::FileKind::ov2) {
    poi::write_ov2_records(file, table, entries);
  } else {
    poi::write_text_header(file, today);
    const poi::LineCounts counts = poi::write_text_records(file, table, entries);
    file.write_line(poi::trailer_line(counts.poi_lines, counts.comment_lines));
  }
  return file.close();
}

}  // namespace

void WindowSink::report(std::string_view lines) {
  poi::OutputFile& report = program_.reports.matches;
  if (report.is_open()) report.write(lines);
}

std::optional<std::int64_t> WindowSink::report_length() {
  return program_.reports.matches.length();
}

void WindowSink::cut_report(std::int64_t length) {
  program_.reports.matches.cut_back(length);
}

bool WindowSink::report_complete() {
  // The report stays open for the next Start; one that did not reach its
  // file is dropped.
  poi::OutputFile& report = program_.reports.matches;
  if (!report.is_open() || (report.flush() && report.is_at_path())) return true;
  report = poi::OutputFile();
  return false;
}

engine::OutputWrite WindowSink::write_output(const poi::CompactTable& table,
                                             std::span<const std::int32_t> entries) {
  program_.output_texts_cut = 0;
  if (const std::optional<std::string> driver = vector_driver(program_.output))
    return write_vector_output(program_, *driver, table, entries, program_.output_texts_cut);
  const std::chrono::year_month_day today =
      program_.fixed_today ? *program_.fixed_today : poi::local_today();
  return poi::write_in_place(
      program_.output.path, program_.output_mark, [&](const std::string& temporary) {
        return write_entries(temporary, program_.output.kind, today, table, entries);
      });
}

exclusion::ListWrite WindowSink::write_excluded(const exclusion::Circles& circles,
                                                const poi::CompactTable& table,
                                                std::span<const std::int32_t> entries,
                                                std::string& list_path) {
  Exclusions& exclusions = program_.exclusions;
  list_path = poi::directory_part(circles.path) + std::string(exclusion::kExcludedListName);
  exclusions.list_path.clear();
  if (list_would_replace(program_, list_path)) return exclusion::ListWrite::in_use;
  poi::OutputFile list(list_path, poi::OpenMode::truncate);
  exclusion::write_excluded_list_header(list, circles.path, circles.radius, program_.master.path);
  for (const std::int32_t k : entries)
    list.write_line(exclusion::excluded_line(table, k, program_.output.kind));
  exclusions.list_path = list_path;
  return list.close() ? exclusion::ListWrite::written : exclusion::ListWrite::incomplete;
}

bool list_would_replace(const Program& program, const std::string& path) {
  return in_use(program, path) || poi::same_file(path, program.master.path);
}

MatchesReportOpen open_matches_report(Program& program) {
  Reports& reports = program.reports;
  MatchesReportOpen open;
  open.previous_incomplete = reports.matches.is_open() && !reports.matches.close();
  reports.matches_path = exclusion::matches_report_path(program.output.path);
  // Its name follows from the Output's, so the user never chose it: it must
  // not replace a file in use.
  if (in_use(program, reports.matches_path)) {
    reports.matches = poi::OutputFile();
    open.status = MatchesReportOpen::Status::in_use;
    return open;
  }
  reports.matches = poi::OutputFile(reports.matches_path, poi::OpenMode::truncate);
  if (!reports.matches.is_open()) {
    open.status = MatchesReportOpen::Status::failed;
    return open;
  }
  reports.matches.write_line(exclusion::kMatchesReportHeader);
  return open;
}

}  // namespace pinwright::app
