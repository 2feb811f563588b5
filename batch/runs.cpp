#include "batch/runs.hpp"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "batch/files.hpp"
#include "batch/ogr_files.hpp"
#include "batch/tables.hpp"
#include "engine/grid.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::batch {

namespace {

inline constexpr float kOneMetre = 1.0f;

RunResult failure(ExitStatus status, std::string message) {
  return RunResult{status, std::move(message), {}};
}

RunResult failure(const Refusal& refusal) {
  return failure(refusal.status, refusal.message);
}

std::string unreadable(const std::string& path) {
  return path + ": cannot be read";
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

// What the window's slot would hold for a file of this form: a vector file
// goes where a text file would.
poi::FileKind kind_of(const FileForm& form) {
  return form.kind == FileForm::Kind::ov2 ? poi::FileKind::ov2 : poi::FileKind::text;
}

// Makes `table` large enough for every text and OV2 input named, so that it
// never moves while they are read; a failure when one cannot be read. What a
// vector file holds shows only when it is read: the table grows for it.
std::optional<RunResult> reserve_for(poi::CompactTable& table, std::vector<std::size_t> indexes,
                                     const Inputs& inputs) {
  FileBound total;
  for (const std::size_t k : indexes) {
    if (inputs.form(k).kind == FileForm::Kind::ogr) continue;
    const auto bound = file_bound(inputs.path(k), kind_of(inputs.form(k)));
    if (!bound) return failure(ExitStatus::bad_input, unreadable(inputs.named(k)));
    total.records += bound->records;
    total.bytes += bound->bytes;
  }
  table.reserve(std::min<std::int64_t>(total.records, poi::CompactTable::kMaxEntries), total.bytes);
  return std::nullopt;
}

// Checks the files to write and opens the inputs: the failure, if any.
std::optional<RunResult> open_files(Outputs& outputs, Inputs& inputs,
                                    const std::string& exclusions_path) {
  if (const auto refused = outputs.prepare(inputs.files(exclusions_path))) return failure(*refused);
  if (const auto refused = inputs.open()) return failure(*refused);
  return std::nullopt;
}

std::optional<RunResult> commit(Outputs& outputs, const Summary& summary, const Command& command) {
  if (const auto refused =
          outputs.commit(command.summary_json_path ? summary_json(summary) : std::string()))
    return failure(*refused);
  return std::nullopt;
}

unsigned thread_count(const Command& command) {
  if (command.threads > 0) return command.threads;
  return std::max(1u, std::thread::hardware_concurrency());
}

// The duplicate run with every match settled: each entry's first later match
// is looked for on all threads at once (no answer depends on another), then
// the entries are gone through in order as the window goes through them,
// deciding what is deleted, kept, excluded and reported.
RunResult dedupe(const Command& command, Progress& progress) {
  const std::string exclusions_path = exclusions_path_of(command);
  std::vector<Target> targets{{"the Output", command.output}};
  const bool report = command.report_path.has_value();
  if (report) targets.push_back({"the matches report", *command.report_path});
  const bool listed = !exclusions_path.empty();
  const std::string list_path = command.excluded_path.value_or(
      poi::directory_part(exclusions_path) + std::string(exclusion::kExcludedListName));
  if (listed) targets.push_back({"the excluded list", list_path});
  Inputs inputs(command);
  Outputs outputs(targets, command);
  if (const auto failed = open_files(outputs, inputs, exclusions_path)) return *failed;
  const std::size_t list_file = report ? 2 : 1;

  OgrFiles files(command, inputs);
  poi::CompactTable table;
  if (const auto failed = reserve_for(table, {0}, inputs)) return *failed;
  exclusion::Circles circles;

  progress.set("reading " + command.input);
  const InputRead master = files.read(table, poi::Slot::master, 0, progress.entries_read());
  if (master.failure) return failure(ExitStatus::bad_input, *master.failure);
  if (listed) {
    exclusion::ExclusionsRead read = exclusion::read_exclusion_circles(
        exclusions_path, std::numeric_limits<std::int32_t>::max());
    if (read.status != exclusion::ExclusionsRead::Status::read)
      return failure(ExitStatus::bad_input, exclusions_failure(read));
    circles = std::move(read.circles);
  }
  const poi::FileKind output_kind = kind_of(files.output());
  std::vector<std::int32_t> excluded;

  progress.set("matching " + std::to_string(master.poi_entries) + " entries");
  const std::vector<engine::Match> matches = engine::first_later_matches(
      table, command.radius, thread_count(command), &progress.entries_matched());

  progress.set("writing " + command.output);
  RunOutput output(files, outputs.temporary(0), poi::local_today());
  poi::OutputFile matches_report;
  if (report) {
    matches_report = poi::OutputFile(outputs.temporary(1), poi::OpenMode::truncate);
    matches_report.write_line(exclusion::kMatchesReportHeader);
  }
  Summary summary;
  summary.subcommand = Subcommand::dedupe;
  std::string report_lines;
  for (std::int32_t i = 1; i <= table.size(); ++i) {
    if (table.is_comment(i)) {
      output.add(table, i);
      continue;
    }
    const engine::Match& match = matches[static_cast<std::size_t>(i)];
    if (match.index != 0) {
      if (report && match.separation > exclusion::kReportThresholdMetres) {
        report_lines += exclusion::match_pair_lines(table, i, match.index, match.separation);
        if (report_lines.size() >= (1 << 16)) {
          matches_report.write(report_lines);
          report_lines.clear();
        }
      }
      const bool deleted =
          command.delete_rule == DeleteRule::within_radius || match.separation < kOneMetre;
      if (deleted) continue;
      ++summary.kept;
    }
    if (exclusion::inside_a_circle(circles, table.latitude(i), table.longitude(i))) {
      excluded.push_back(i);
      continue;
    }
    output.add(table, i);
  }
  if (const auto failed = output.close()) return failure(ExitStatus::output_failed, *failed);
  if (report) {
    matches_report.write(report_lines);
    if (!matches_report.close()) return failure(ExitStatus::output_failed, outputs.cannot_write(1));
  }
  exclusion::ExclusionsEnd exclusions;
  if (listed && !circles.empty()) {
    poi::OutputFile list(outputs.temporary(list_file), poi::OpenMode::truncate);
    exclusion::write_excluded_list_header(list, circles.path, circles.radius, command.input);
    for (const std::int32_t k : excluded)
      list.write_line(exclusion::excluded_line(table, k, output_kind));
    exclusions.list =
        list.close() ? exclusion::ListWrite::written : exclusion::ListWrite::incomplete;
    exclusions.summary = exclusion::Summary{circles.path,
                                            static_cast<std::int32_t>(circles.centres.size()),
                                            circles.radius,
                                            static_cast<std::int32_t>(excluded.size()),
                                            {}};
  }
  // As in the window, an exclusions file without circles gives no list.
  if (listed && exclusions.list == exclusion::ListWrite::none)
    outputs.discard(list_file);
  else if (listed && exclusions.list != exclusion::ListWrite::written)
    return failure(ExitStatus::output_failed, outputs.cannot_write(list_file));

  summary.skipped_geometries = files.skipped();
  summary.texts_cut = output.texts_cut();
  summary.excluded = exclusions.summary ? exclusions.summary->removed_count : 0;
  summary.entries_written = output.poi_entries();
  summary.duplicates_deleted = master.poi_entries - summary.entries_written - summary.excluded;
  if (const auto failed = commit(outputs, summary, command)) return *failed;
  return RunResult{ExitStatus::success, {}, summary};
}

// The Update entry at `update_index` against Master entry `master_index`, as
// the window applies `on_match` when the second row is left as shown: Save as
// new entry appends the Update entry as it is; Position, Text and Both give
// the Master entry its position (and, for a text Output, its information),
// its name and information, or all of these.
void apply_decision(OnMatch on_match, bool text_output, poi::CompactTable& master,
                    std::int32_t master_index, const poi::CompactTable& update,
                    std::int32_t update_index) {
  const bool position = on_match == OnMatch::position || on_match == OnMatch::both;
  const bool text = on_match == OnMatch::text || on_match == OnMatch::both;
  if (on_match == OnMatch::save) {
    master.append_entry(update, update_index);
    return;
  }
  if (position)
    master.set_position(master_index, update.exact_longitude(update_index),
                        update.exact_latitude(update_index));
  if (text) master.set_name(master_index, update.name(update_index));
  if (text || (position && text_output))
    master.set_information(master_index, update.information(update_index));
}

// The update run with every match settled, sequential as each Update entry
// may match what the ones before it appended: the Master table grows in
// place and the index takes each appended or moved entry in as it comes.
RunResult update(const Command& command, Progress& progress) {
  Inputs inputs(command);
  Outputs outputs({{"the Output", command.output}}, command);
  if (const auto failed = open_files(outputs, inputs, {})) return *failed;

  OgrFiles files(command, inputs);
  poi::CompactTable table;
  std::vector<std::size_t> all(inputs.size());
  for (std::size_t k = 0; k < all.size(); ++k) all[k] = k;
  if (const auto failed = reserve_for(table, all, inputs)) return *failed;
  progress.set("reading " + command.input);
  const InputRead master = files.read(table, poi::Slot::master, 0, progress.entries_read());
  if (master.failure) return failure(ExitStatus::bad_input, *master.failure);
  const std::int32_t master_entries = table.size();

  const bool text_output = kind_of(files.output()) == poi::FileKind::text;
  const bool skip_below_one_metre = command.below_one_metre == BelowOneMetre::skip;
  engine::Grid index(command.radius, engine::PointOrder::table_first);
  index.build(table);
  Summary summary;
  summary.subcommand = Subcommand::update;
  std::int64_t update_pois = 0;
  for (std::size_t k = 1; k < inputs.size(); ++k) {
    const std::string& path = inputs.named(k);
    progress.set("reading " + path);
    poi::CompactTable entries;
    if (const auto failed = reserve_for(entries, {k}, inputs)) return *failed;
    const InputRead read = files.read(entries, poi::Slot::update, k, progress.entries_read());
    if (read.failure) return failure(ExitStatus::bad_input, *read.failure);
    update_pois += read.poi_entries;

    progress.set("matching " + std::to_string(read.poi_entries) + " entries of " + path);
    for (std::int32_t i = 1; i <= entries.size(); ++i) {
      progress.entries_matched().fetch_add(1, std::memory_order_relaxed);
      if (!entries.is_comment(i)) {
        const auto match = index.first_match(1, table.size(), entries.latitude(i),
                                             entries.longitude(i), command.radius);
        if (match) {
          if (skip_below_one_metre && match->separation < kOneMetre) continue;
          ++summary.reviewed;
          apply_decision(command.on_match, text_output, table, match->index, entries, i);
          if (table.size() > index.count())
            index.append(table);
          else
            index.move(table, match->index);
          continue;
        }
      }
      if (!table.append_entry(entries, i))
        return failure(ExitStatus::bad_input, path + ": too many entries");
      index.append(table);
    }
  }
  summary.appended = count_pois(table, master_entries + 1, table.size());

  progress.set("writing " + command.output);
  RunOutput output(files, outputs.temporary(0), poi::local_today());
  for (std::int32_t k = command.added_only ? master_entries + 1 : 1; k <= table.size(); ++k)
    output.add(table, k);
  if (const auto failed = output.close()) return failure(ExitStatus::output_failed, *failed);
  summary.entries_written = output.poi_entries();
  summary.skipped_geometries = files.skipped();
  summary.texts_cut = output.texts_cut();
  const std::int64_t saved = command.on_match == OnMatch::save ? summary.reviewed : 0;
  summary.matches = update_pois - (summary.appended - saved);
  summary.settled_automatically = summary.matches - summary.reviewed;
  if (const auto failed = commit(outputs, summary, command)) return *failed;
  return RunResult{ExitStatus::success, {}, summary};
}

RunResult convert(const Command& command, Progress& progress) {
  Inputs inputs(command);
  Outputs outputs({{"the Output", command.output}}, command);
  if (const auto failed = open_files(outputs, inputs, {})) return *failed;
  OgrFiles files(command, inputs);
  poi::CompactTable table;
  if (const auto failed = reserve_for(table, {0}, inputs)) return *failed;

  progress.set("reading " + command.input);
  const InputRead read = files.read(table, poi::Slot::master, 0, progress.entries_read());
  if (read.failure) return failure(ExitStatus::bad_input, *read.failure);
  progress.set("writing " + command.output);
  RunOutput output(files, outputs.temporary(0), poi::local_today());
  for (std::int32_t k = 1; k <= table.size(); ++k) output.add(table, k);
  if (const auto failed = output.close()) return failure(ExitStatus::output_failed, *failed);
  Summary summary;
  summary.entries_written = output.poi_entries();
  summary.skipped_geometries = files.skipped();
  summary.texts_cut = output.texts_cut();
  if (const auto failed = commit(outputs, summary, command)) return *failed;
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
