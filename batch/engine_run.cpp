#include "batch/engine_run.hpp"

#include <algorithm>
#include <thread>

#include "batch/files.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"

namespace pinwright::batch {

namespace {

// Report lines are gathered and written in pieces of this size.
inline constexpr std::size_t kReportPiece = 1 << 16;

unsigned thread_count(const Command& command) {
  if (command.threads > 0) return command.threads;
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

engine::RunSetup run_setup(Setup& setup, bool report_matches) {
  engine::RunSetup run;
  run.output_kind = setup.output_kind();
  run.vector_output = output_form(setup.command()).kind == FileForm::Kind::ogr;
  run.report_matches = report_matches;
  run.threads = thread_count(setup.command());
  run.matched = &setup.progress().entries_matched();
  return run;
}

StagedSink::StagedSink(Setup& setup, std::optional<std::size_t> report,
                       std::optional<std::size_t> excluded_list)
    : setup_(setup), report_place_(report), list_place_(excluded_list) {
  if (!report_place_) return;
  report_ = poi::OutputFile(setup_.temporary(*report_place_), poi::OpenMode::truncate);
  report_.write_line(exclusion::kMatchesReportHeader);
}

void StagedSink::report(std::string_view lines) {
  report_lines_ += lines;
  if (report_lines_.size() < kReportPiece) return;
  report_.write(report_lines_);
  report_lines_.clear();
}

bool StagedSink::report_complete() {
  if (!report_place_) return true;
  report_.write(report_lines_);
  report_lines_.clear();
  return report_.close();
}

engine::OutputWrite StagedSink::write_output(const poi::CompactTable& table,
                                             std::span<const std::int32_t> entries) {
  setup_.progress().set("writing " + setup_.command().output);
  RunOutput& output = output_.emplace(setup_.output());
  for (const std::int32_t k : entries) output.add(table, k);
  output_failure_ = output.close();
  return output_failure_ ? engine::OutputWrite::incomplete : engine::OutputWrite::written;
}

exclusion::ListWrite StagedSink::write_excluded(const exclusion::Circles& circles,
                                                const poi::CompactTable& table,
                                                std::span<const std::int32_t> entries,
                                                std::string& list_path) {
  list_path = setup_.written(*list_place_);
  poi::OutputFile list(setup_.temporary(*list_place_), poi::OpenMode::truncate);
  exclusion::write_excluded_list_header(list, circles.path, circles.radius, setup_.command().input);
  const poi::FileKind kind = setup_.output_kind();
  for (const std::int32_t k : entries) list.write_line(exclusion::excluded_line(table, k, kind));
  return list.close() ? exclusion::ListWrite::written : exclusion::ListWrite::incomplete;
}

std::optional<Refusal> StagedSink::failure(const engine::RunOutcome& outcome) const {
  if (output_failure_) return Refusal{ExitStatus::output_failed, *output_failure_};
  if (outcome.matches_report_incomplete)
    return Refusal{ExitStatus::output_failed, setup_.cannot_write(*report_place_)};
  if (outcome.exclusions.list == exclusion::ListWrite::incomplete)
    return Refusal{ExitStatus::output_failed, setup_.cannot_write(*list_place_)};
  return std::nullopt;
}

}  // namespace pinwright::batch
