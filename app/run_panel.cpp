#include "app/run_panel.hpp"

#include "engine/run.hpp"

namespace pinwright::app {

namespace {

// "1 match", "3 matches".
std::string counted(std::int32_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string progress_text(const Program& program) {
  const engine::RunCounts& counts = program.run->counts();
  const bool update_run = program.is_update_run();
  const std::int32_t total = update_run ? program.update.count : program.master.count;
  return std::string(update_run ? "Update entry " : "Entry ") +
         std::to_string(program.run->pair().probe) + " of " + std::to_string(total) + ": " +
         counted(counts.matches, "match", "matches") + " so far (" +
         std::to_string(counts.settled) + " settled automatically, " +
         std::to_string(counts.reviewed) + " reviewed)";
}

std::string run_status_text(const engine::RunCounts& counts, bool update_run,
                            std::int32_t entries_written) {
  const std::string written = counted(entries_written, "entry", "entries") + " written";
  if (update_run) {
    return counted(counts.appended, "entry", "entries") + " appended, " +
           counted(counts.matches, "match", "matches") + " (" + std::to_string(counts.settled) +
           " settled automatically, " + std::to_string(counts.reviewed) + " reviewed), " + written;
  }
  return counted(counts.deleted, "duplicate", "duplicates") + " deleted, " +
         std::to_string(counts.kept) + " kept, " + std::to_string(counts.excluded) + " excluded, " +
         written;
}

std::optional<map::SceneInput> review_map(const Program& program, float radius, int width,
                                          int height) {
  if (!program.pair_pending()) return std::nullopt;
  const engine::Run& run = *program.run;
  const engine::Pair& pair = run.pair();
  const bool update_run = run.is_update_run();
  const poi::CompactTable& table = run.table();
  // The run's own rows: in an update run the Update entry is not (yet) in
  // the run's table, in a duplicate run both entries are.
  map::SceneInput input{.view = {},
                        .table = table,
                        .first = 1,
                        .last = update_run ? table.size() : program.master.count,
                        .index = run.grid()};
  const poi::CompactTable& second = update_run ? run.probes() : table;
  input.row1 = table.record(update_run ? pair.match : pair.probe);
  input.row2 = second.record(update_run ? pair.probe : pair.match);
  input.row1_entry = update_run ? pair.match : pair.probe;
  input.row2_entry = update_run ? pair.probe : pair.match;
  input.leave_out = update_run ? std::vector<std::int32_t>{pair.match}
                               : std::vector<std::int32_t>{pair.probe, pair.match};
  input.separation = pair.separation;
  input.radius = radius;
  // Fitted to the markers' own positions, the 32-bit values the run matched.
  input.view = map::fit_view({input.row1.longitude, input.row1.latitude},
                             {input.row2.longitude, input.row2.latitude}, radius, width, height);
  return input;
}

}  // namespace pinwright::app
