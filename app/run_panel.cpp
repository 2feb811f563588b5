#include "app/run_panel.hpp"

#include "engine/match_index.hpp"
#include "engine/run.hpp"

namespace pinwright::app {

namespace {

// "1 match", "3 matches".
std::string counted(std::int32_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

map::GeoPoint position_of(const poi::PoiRecord& record) {
  return {record.longitude, record.latitude};
}

}  // namespace

std::string progress_text(const Program& program) {
  const RunCursor& run = program.run;
  const RunCounts& counts = run.counts;
  const bool update_run = program.is_update_run();
  const std::int32_t total = update_run ? program.update.count : program.master.count;
  return std::string(update_run ? "Update entry " : "Entry ") + std::to_string(run.probe_index) +
         " of " + std::to_string(total) + ": " + counted(counts.matches, "match", "matches") +
         " so far (" + std::to_string(counts.settled) + " settled automatically, " +
         std::to_string(counts.reviewed) + " reviewed)";
}

std::string run_status_text(const Program& program, std::int32_t entries_written) {
  const RunCounts& counts = program.run.counts;
  const std::string written = counted(entries_written, "entry", "entries") + " written";
  if (program.is_update_run()) {
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
  if (!engine::pair_pending(program)) return std::nullopt;
  const RunCursor& run = program.run;
  const bool update_run = program.is_update_run();
  // The run's own rows: in an update run the Update entry is not (yet) in
  // the working table, in a duplicate run both entries are.
  map::SceneInput input{.view = {},
                        .table = program.working_table,
                        .first = 1,
                        .last = update_run ? run.result_count : program.master.count,
                        .index = program.plain_scan ? nullptr : program.search_index.get()};
  input.row1 = update_run ? run.match_entry : run.probe_entry;
  input.row2 = update_run ? run.probe_entry : run.match_entry;
  input.row1_entry = update_run ? run.match_index : run.probe_index;
  input.row2_entry = update_run ? run.probe_index : run.match_index;
  input.leave_out = update_run ? std::vector<std::int32_t>{run.match_index}
                               : std::vector<std::int32_t>{run.probe_index, run.match_index};
  input.separation = run.separation;
  input.radius = radius;
  input.view =
      map::fit_view(position_of(input.row1), position_of(input.row2), radius, width, height);
  return input;
}

}  // namespace pinwright::app
