// pinwright-batch dedupe: the duplicate run over one file, every match
// settled by --delete.

#include <cstdint>
#include <limits>
#include <utility>

#include "batch/engine_run.hpp"
#include "batch/runs.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/paths.hpp"

namespace pinwright::batch {

namespace {

// The circles a summary can count.
inline constexpr std::int64_t kMostCircles = std::numeric_limits<std::int32_t>::max();

std::string exclusions_path_of(const Command& command) {
  switch (command.exclusions.kind) {
    case ExclusionsChoice::Kind::automatic:
      // Standard input lies in no folder to find circles beside.
      if (command.input == kStandardStream) return {};
      return exclusion::find_exclusions_file(command.input);
    case ExclusionsChoice::Kind::file:
      return command.exclusions.path;
    case ExclusionsChoice::Kind::none:
      break;
  }
  return {};
}

std::string exclusions_failure(const exclusion::ExclusionsRead& read) {
  using Status = exclusion::ExclusionsRead::Status;
  switch (read.status) {
    case Status::format_error:
      return read.path + ": line " + std::to_string(read.line) +
             ": neither a circle (Longitude, Latitude) nor a radius (radius = metres): " +
             read.line_text;
    case Status::storage_limit:
      return read.path + ": too many exclusion circles";
    default:
      break;
  }
  return read.path + ": cannot be read";
}

// --delete within-radius settles every match; below-1m settles those closer
// than 1 m and keeps the others.
engine::RunOptions options_of(const Command& command) {
  engine::RunOptions options;
  options.radius = command.radius;
  options.settle_every_match = command.delete_rule == DeleteRule::within_radius;
  options.settle_under_one_metre = command.delete_rule == DeleteRule::below_one_metre;
  options.names = command.names;
  options.keep = command.keep == KeepRule::first ? engine::Keep::first : engine::Keep::last;
  return options;
}

}  // namespace

// The files to write are the Output, the matches report (--report) and the
// excluded list (when there is an exclusions file), in this order.
RunResult dedupe(const Command& command, Progress& progress) {
  const std::string exclusions_path = exclusions_path_of(command);
  std::vector<Target> lists;
  std::optional<std::size_t> report;
  std::optional<std::size_t> excluded_list;
  if (command.report_path) {
    report = 1 + lists.size();
    lists.push_back({"the matches report", *command.report_path});
  }
  if (!exclusions_path.empty()) {
    excluded_list = 1 + lists.size();
    lists.push_back({"the excluded list",
                     command.excluded_path.value_or(poi::directory_part(exclusions_path) +
                                                    std::string(exclusion::kExcludedListName))});
  }
  Setup setup(command, progress);
  if (auto refused = setup.open(std::move(lists), exclusions_path)) return failure(*refused);

  poi::CompactTable table;
  if (auto refused = setup.reserve(table, 0, 0)) return failure(*refused);
  const TableRead master = setup.read(table, 0);
  if (master.failure) return failure(*master.failure);
  exclusion::Circles circles;
  if (!exclusions_path.empty()) {
    exclusion::ExclusionsRead read =
        exclusion::read_exclusion_circles(exclusions_path, kMostCircles);
    if (read.status != exclusion::ExclusionsRead::Status::read)
      return failure({ExitStatus::bad_input, exclusions_failure(read)});
    circles = std::move(read.circles);
  }

  progress.set("matching " + std::to_string(master.poi_entries) + " entries");
  StagedSink sink(setup, report, excluded_list);
  AnswerAtOnce keep(engine::Decision::skip_or_keep);
  engine::Run run(std::move(table), nullptr, std::move(circles),
                  run_setup(setup, report.has_value()), keep, sink);
  const engine::RunOutcome outcome = run.start(options_of(command));
  if (auto refused = sink.failure(outcome)) return failure(*refused);
  // As in the window, an exclusions file without circles gives no list.
  if (excluded_list && outcome.exclusions.list == exclusion::ListWrite::none)
    setup.discard(*excluded_list);

  Summary summary;
  summary.subcommand = Subcommand::dedupe;
  summary.duplicates_deleted = run.counts().deleted;
  summary.kept = run.counts().kept;
  summary.excluded = run.counts().excluded;
  if (command.names.reads_names()) summary.names_apart = run.counts().names_apart;
  return setup.finish(summary, *sink.output());
}

}  // namespace pinwright::batch
