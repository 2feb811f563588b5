// pinwright-batch update: the update run of one or more Update files into a
// Master file, every match the options leave open answered by --on-match.

#include <cstdint>
#include <utility>
#include <vector>

#include "batch/engine_run.hpp"
#include "batch/runs.hpp"

namespace pinwright::batch {

namespace {

engine::Decision decision_of(OnMatch on_match) {
  switch (on_match) {
    case OnMatch::save:
      return engine::Decision::save_or_delete;
    case OnMatch::position:
      return engine::Decision::position;
    case OnMatch::text:
      return engine::Decision::text;
    case OnMatch::both:
      return engine::Decision::both;
    case OnMatch::skip:
      break;
  }
  return engine::Decision::skip_or_keep;
}

// --below-1m skip settles the matches closer than 1 m by skipping them.
engine::RunOptions options_of(const Command& command) {
  engine::RunOptions options;
  options.radius = command.radius;
  options.settle_under_one_metre = command.below_one_metre == BelowOneMetre::skip;
  options.append_all = !command.added_only;
  options.names = command.names;
  return options;
}

}  // namespace

// The Update files are read into one Update table, one after another: each
// entry is matched against the Master entries and the entries taken in before
// it, whichever file they came from, as when the files are merged one by one.
RunResult update(const Command& command, Progress& progress) {
  Setup setup(command, progress);
  if (auto refused = setup.open({}, {})) return failure(*refused);
  const std::size_t last = setup.inputs() - 1;

  // The Master table grows by the Update entries: room for all of them.
  poi::CompactTable master;
  if (auto refused = setup.reserve(master, 0, last)) return failure(*refused);
  const TableRead read = setup.read(master, 0);
  if (read.failure) return failure(*read.failure);
  poi::CompactTable updates;
  if (auto refused = setup.reserve(updates, 1, last)) return failure(*refused);
  // Where each Update file's entries end in the Update table.
  std::vector<std::int32_t> file_ends;
  std::int64_t update_pois = 0;
  std::string names;
  for (std::size_t k = 1; k <= last; ++k) {
    const TableRead file = setup.read(updates, k);
    if (file.failure) return failure(*file.failure);
    file_ends.push_back(updates.size());
    update_pois += file.poi_entries;
    names += (names.empty() ? "" : ", ") + setup.named(k);
  }

  progress.set("matching " + std::to_string(update_pois) + " entries of " + names);
  StagedSink sink(setup, std::nullopt, std::nullopt);
  AnswerAtOnce answer(decision_of(command.on_match));
  const std::int64_t matched_before = progress.entries_matched().load();
  engine::Run run(std::move(master), &updates, {}, run_setup(setup, false), answer, sink);
  const engine::RunOutcome outcome = run.start(options_of(command));
  if (outcome.stop == engine::RunStop::storage_limit) {
    // The run counts each Update entry as it places it: the last one counted
    // found no room, in the file whose entries reach past it.
    const std::int64_t placed = progress.entries_matched().load() - matched_before;
    std::size_t file = 0;
    while (file + 1 < file_ends.size() && file_ends[file] < placed) ++file;
    return failure({ExitStatus::bad_input, setup.named(file + 1) + ": too many entries"});
  }
  if (auto refused = sink.failure(outcome)) return failure(*refused);

  Summary summary;
  summary.subcommand = Subcommand::update;
  const engine::RunCounts& counts = run.counts();
  summary.appended = counts.appended;
  summary.matches = counts.matches;
  summary.settled_automatically = counts.settled;
  summary.reviewed = counts.reviewed;
  if (command.names.reads_names()) summary.names_apart = counts.names_apart;
  return setup.finish(summary, *sink.output());
}

}  // namespace pinwright::batch
