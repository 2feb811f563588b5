#include "batch/runs.hpp"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "batch/ogr_files.hpp"
#include "batch/staged_file.hpp"
#include "batch/tables.hpp"
#include "engine/run.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::batch {

namespace {

RunResult failure(ExitStatus status, std::string message) {
  return RunResult{status, std::move(message), {}};
}

// A file the run writes, and what it is called in messages.
struct Target {
  std::string what;
  std::string path;
};

// Outputs never replace an input, nor one another.
std::optional<std::string> refusal(const std::vector<std::string>& inputs,
                                   const std::vector<Target>& targets) {
  for (std::size_t t = 0; t < targets.size(); ++t) {
    for (const std::string& input : inputs) {
      if (poi::same_file(targets[t].path, input))
        return targets[t].what + " " + targets[t].path + " is the input " + input +
               "; it is not overwritten";
    }
    for (std::size_t u = 0; u < t; ++u) {
      if (poi::same_file(targets[t].path, targets[u].path))
        return targets[u].what + " and " + targets[t].what + " are the same file " +
               targets[t].path;
    }
  }
  return std::nullopt;
}

// The outputs of one run, each under its temporary name until all are done.
class Outputs {
 public:
  // The summary JSON, when asked for, comes last.
  Outputs(std::vector<Target> targets, const std::optional<std::string>& summary_json_path)
      : targets_(std::move(targets)) {
    if (summary_json_path) targets_.push_back({"the summary", *summary_json_path});
    for (const Target& target : targets_)
      files_.push_back(std::make_unique<StagedFile>(target.path));
  }

  // Reserves every temporary name: a folder that takes no file shows before
  // anything is read.
  std::optional<std::string> reserve() {
    for (std::size_t k = 0; k < files_.size(); ++k)
      if (!files_[k]->reserve()) return cannot_write(k);
    return std::nullopt;
  }

  const std::string& temporary(std::size_t k) const { return files_[k]->temporary_path(); }
  std::string cannot_write(std::size_t k) const {
    return targets_[k].path + ": " + targets_[k].what + " cannot be written";
  }

  // Gives up file `k`: its temporary file goes, nothing takes its final path.
  void discard(std::size_t k) {
    files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(k));
    targets_.erase(targets_.begin() + static_cast<std::ptrdiff_t>(k));
  }

  std::optional<std::string> commit(const Summary& summary, bool json) {
    if (json) {
      poi::OutputFile file(files_.back()->temporary_path(), poi::OpenMode::truncate);
      file.write(summary_json(summary));
      if (!file.close()) return cannot_write(files_.size() - 1);
    }
    for (std::size_t k = 0; k < files_.size(); ++k)
      if (!files_[k]->commit()) return cannot_write(k);
    return std::nullopt;
  }

 private:
  std::vector<Target> targets_;
  std::vector<std::unique_ptr<StagedFile>> files_;
};

std::optional<std::int64_t> bound_or_nothing(const std::string& path) {
  return path.empty() ? std::optional<std::int64_t>(0) : record_bound(path);
}

std::string unreadable(const std::string& path) {
  return path + ": cannot be read";
}

// The Output slot as the window has it once an Output file is chosen: a text
// Output is open, its header written, for the run to fill.
bool choose_output(app::Program& program, const std::string& temporary, poi::FileKind kind) {
  program.output.path = temporary;
  program.output.kind = kind;
  program.output.loaded = true;
  if (kind == poi::FileKind::ov2) return true;
  program.output_file = poi::OutputFile(temporary, poi::OpenMode::truncate);
  poi::write_text_header(program.output_file, poi::local_today());
  return program.output_file.is_open();
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
  return unreadable(read.path);
}

std::string exclusions_path_of(const Command& command) {
  switch (command.exclusions.kind) {
    case ExclusionsChoice::Kind::automatic:
      return exclusion::find_exclusions_file(command.input);
    case ExclusionsChoice::Kind::file:
      return command.exclusions.path;
    case ExclusionsChoice::Kind::none:
      break;
  }
  return {};
}

RunResult dedupe(const Command& command, Progress& progress) {
  const std::string exclusions_path = exclusions_path_of(command);
  std::vector<Target> targets{{"the Output", command.output}};
  const bool report = command.report_path.has_value();
  if (report) targets.push_back({"the matches report", *command.report_path});
  const bool listed = !exclusions_path.empty();
  const std::string list_path = command.excluded_path.value_or(
      poi::directory_part(exclusions_path) + std::string(exclusion::kExcludedListName));
  if (listed) targets.push_back({"the excluded list", list_path});
  if (const auto refused = refusal({command.input, exclusions_path}, targets))
    return failure(ExitStatus::bad_usage, *refused);
  Outputs outputs(targets, command.summary_json_path);
  if (const auto failed = outputs.reserve()) return failure(ExitStatus::output_failed, *failed);
  const std::size_t list_file = report ? 2 : 1;

  OgrFiles files(command);
  const auto master_bound = files.bound(command.input);
  if (!master_bound) return failure(ExitStatus::bad_input, unreadable(command.input));
  const auto circle_bound = bound_or_nothing(exclusions_path);
  if (!circle_bound) return failure(ExitStatus::bad_input, unreadable(exclusions_path));
  const std::unique_ptr<app::Program> program = make_program({*master_bound, {}, *circle_bound});
  if (!program) return failure(ExitStatus::bad_input, command.input + ": too many entries");

  progress.set("reading " + command.input);
  const InputRead master = files.read(*program, poi::Slot::master, command.input);
  if (master.failure) return failure(ExitStatus::bad_input, *master.failure);
  if (listed) {
    const exclusion::ExclusionsRead read =
        exclusion::read_exclusion_circles(program->exclusions, exclusions_path);
    if (read.status != exclusion::ExclusionsRead::Status::read)
      return failure(ExitStatus::bad_input, exclusions_failure(read));
  }

  if (!choose_output(*program, outputs.temporary(0), kind_of(command.output)))
    return failure(ExitStatus::output_failed, outputs.cannot_write(0));
  if (report) {
    program->matches_report_enabled = true;
    program->reports.matches_path = *command.report_path;
    program->reports.matches = poi::OutputFile(outputs.temporary(1), poi::OpenMode::truncate);
    program->reports.matches.write_line(exclusion::kMatchesReportHeader);
  }

  engine::RunOptions options;
  options.radius = command.radius;
  options.settle_every_match = command.delete_rule == DeleteRule::within_radius;
  options.settle_under_one_metre = command.delete_rule == DeleteRule::below_one_metre;
  if (listed) options.excluded_list_path = outputs.temporary(list_file);
  progress.set("matching " + std::to_string(master.poi_entries) + " entries");
  Summary summary;
  summary.subcommand = Subcommand::dedupe;
  engine::RunOutcome outcome = engine::start_run(*program, options);
  while (outcome.stop == engine::RunStop::review) {
    ++summary.kept;
    const poi::PoiRecord& later = program->run.match_entry;
    outcome = engine::decide(*program, engine::Decision::skip_or_keep,
                             {later.name, later.information}, options);
  }
  if (outcome.stop != engine::RunStop::finished)
    return failure(ExitStatus::bad_input, command.input + ": too many entries");
  if (outcome.output != engine::OutputWrite::written)
    return failure(ExitStatus::output_failed, outputs.cannot_write(0));
  if (outcome.matches_report_incomplete)
    return failure(ExitStatus::output_failed, outputs.cannot_write(1));
  // As in the window, an exclusions file without circles gives no list.
  if (listed && outcome.exclusions.list == exclusion::ListWrite::none)
    outputs.discard(list_file);
  else if (listed && outcome.exclusions.list != exclusion::ListWrite::written)
    return failure(ExitStatus::output_failed, outputs.cannot_write(list_file));
  if (const auto failed =
          files.write(program->merged_table, 1, program->run.result_count, outputs.temporary(0)))
    return failure(ExitStatus::output_failed, *failed);

  summary.skipped_geometries = files.skipped();
  summary.excluded = outcome.exclusions.summary ? outcome.exclusions.summary->removed_count : 0;
  summary.entries_written = outcome.entries_written;
  summary.duplicates_deleted = master.poi_entries - summary.entries_written - summary.excluded;
  if (const auto failed = outputs.commit(summary, command.summary_json_path.has_value()))
    return failure(ExitStatus::output_failed, *failed);
  return RunResult{ExitStatus::success, {}, summary};
}

engine::Decision decision_of(OnMatch on_match) {
  switch (on_match) {
    case OnMatch::skip:
      return engine::Decision::skip_or_keep;
    case OnMatch::save:
      return engine::Decision::save_or_delete;
    case OnMatch::position:
      return engine::Decision::position;
    case OnMatch::text:
      return engine::Decision::text;
    case OnMatch::both:
      break;
  }
  return engine::Decision::both;
}

RunResult update(const Command& command, Progress& progress) {
  std::vector<std::string> inputs{command.input};
  inputs.insert(inputs.end(), command.updates.begin(), command.updates.end());
  if (const auto refused = refusal(inputs, {{"the Output", command.output}}))
    return failure(ExitStatus::bad_usage, *refused);
  Outputs outputs({{"the Output", command.output}}, command.summary_json_path);
  if (const auto failed = outputs.reserve()) return failure(ExitStatus::output_failed, *failed);

  OgrFiles files(command);
  TableSizes sizes;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    const auto bound = files.bound(inputs[k]);
    if (!bound) return failure(ExitStatus::bad_input, unreadable(inputs[k]));
    if (k == 0)
      sizes.master = *bound;
    else
      sizes.updates.push_back(*bound);
  }
  const std::unique_ptr<app::Program> program = make_program(sizes);
  if (!program) return failure(ExitStatus::bad_input, command.input + ": too many entries");

  progress.set("reading " + command.input);
  const InputRead master = files.read(*program, poi::Slot::master, command.input);
  if (master.failure) return failure(ExitStatus::bad_input, *master.failure);

  engine::RunOptions options;
  options.radius = command.radius;
  options.settle_under_one_metre = command.below_one_metre == BelowOneMetre::skip;
  options.append_all = !command.added_only;
  // With several Update files, what all of them added.
  if (command.added_only) options.appended_after = program->master.count;
  const engine::Decision decision = decision_of(command.on_match);

  Summary summary;
  summary.subcommand = Subcommand::update;
  std::int64_t update_pois = 0;
  for (const std::string& path : command.updates) {
    progress.set("reading " + path);
    const InputRead read = files.read(*program, poi::Slot::update, path);
    if (read.failure) return failure(ExitStatus::bad_input, *read.failure);
    update_pois += read.poi_entries;
    if (!choose_output(*program, outputs.temporary(0), kind_of(command.output)))
      return failure(ExitStatus::output_failed, outputs.cannot_write(0));

    progress.set("matching " + std::to_string(read.poi_entries) + " entries of " + path);
    const std::int32_t before = program->master.count;
    engine::RunOutcome outcome = engine::start_run(*program, options);
    while (outcome.stop == engine::RunStop::review) {
      ++summary.reviewed;
      const poi::PoiRecord& update_entry = program->run.probe_entry;
      outcome = engine::decide(*program, decision, {update_entry.name, update_entry.information},
                               options);
    }
    if (outcome.stop != engine::RunStop::finished)
      return failure(ExitStatus::bad_input, path + ": too many entries");
    if (outcome.output != engine::OutputWrite::written)
      return failure(ExitStatus::output_failed, outputs.cannot_write(0));
    // The result, in the run's working table, is the Master of the next
    // Update file: every run starts from the Master table.
    for (std::int32_t k = 1; k <= program->run.result_count; ++k)
      program->master_table[k] = std::as_const(program->working_table)[k];
    summary.appended += count_pois(*program, before + 1, program->run.result_count);
    summary.entries_written = outcome.entries_written;
    program->master.count = program->run.result_count;
  }
  if (const auto failed = files.write(program->master_table, options.appended_after.value_or(0) + 1,
                                      program->master.count, outputs.temporary(0)))
    return failure(ExitStatus::output_failed, *failed);
  summary.skipped_geometries = files.skipped();
  const std::int64_t saved = command.on_match == OnMatch::save ? summary.reviewed : 0;
  summary.matches = update_pois - (summary.appended - saved);
  summary.settled_automatically = summary.matches - summary.reviewed;
  if (const auto failed = outputs.commit(summary, command.summary_json_path.has_value()))
    return failure(ExitStatus::output_failed, *failed);
  return RunResult{ExitStatus::success, {}, summary};
}

RunResult convert(const Command& command, Progress& progress) {
  if (const auto refused = refusal({command.input}, {{"the Output", command.output}}))
    return failure(ExitStatus::bad_usage, *refused);
  Outputs outputs({{"the Output", command.output}}, command.summary_json_path);
  if (const auto failed = outputs.reserve()) return failure(ExitStatus::output_failed, *failed);
  OgrFiles files(command);
  const auto bound = files.bound(command.input);
  if (!bound) return failure(ExitStatus::bad_input, unreadable(command.input));
  const std::unique_ptr<app::Program> program = make_program({*bound, {}, 0});
  if (!program) return failure(ExitStatus::bad_input, command.input + ": too many entries");

  progress.set("reading " + command.input);
  const InputRead read = files.read(*program, poi::Slot::master, command.input);
  if (read.failure) return failure(ExitStatus::bad_input, *read.failure);
  progress.set("writing " + command.output);
  Summary summary;
  summary.skipped_geometries = files.skipped();
  if (files.writes_ogr()) {
    if (const auto failed =
            files.write(program->master_table, 1, program->master.count, outputs.temporary(0)))
      return failure(ExitStatus::output_failed, *failed);
    summary.entries_written = count_pois(*program, 1, program->master.count);
  } else {
    const WrittenLines written = write_master_table(*program, outputs.temporary(0),
                                                    kind_of(command.output), poi::local_today());
    if (!written.complete) return failure(ExitStatus::output_failed, outputs.cannot_write(0));
    summary.entries_written = written.poi_entries;
  }
  if (const auto failed = outputs.commit(summary, command.summary_json_path.has_value()))
    return failure(ExitStatus::output_failed, *failed);
  return RunResult{ExitStatus::success, {}, summary};
}

}  // namespace

RunResult run_command(const Command& command, Progress& progress) {
  switch (command.subcommand) {
    case Subcommand::dedupe:
      return dedupe(command, progress);
    case Subcommand::update:
      return update(command, progress);
    case Subcommand::convert:
      break;
  }
  return convert(command, progress);
}

}  // namespace pinwright::batch
