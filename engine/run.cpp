#include "engine/run.hpp"

#include <functional>
#include <string>
#include <utility>

#include "engine/journal.hpp"
#include "engine/match_index.hpp"
#include "engine/match_search.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"

namespace pinwright::engine {

namespace {

inline constexpr float kOneMetre = 1.0f;

// The first entry of Master[first..last] closer than the radius to `probe`:
// through the index, or by the plain scan when asked for the reference.
std::optional<Match> search(app::Program& program, std::int32_t first, std::int32_t last,
                            const poi::PoiRecord& probe, PointOrder order, float radius) {
  if (program.plain_scan)
    return first_match(program.working_table, first, last, probe, order, radius);
  return program.search_index->first_match(program.working_table, first, last, probe, order,
                                           radius);
}

// Start brings the index in line with the whole working table, copied afresh
// from the Master entries read; between two calls of a run only a
// decision changes it, and only at the pending Master entry (Position, Both)
// or at its end (Save as new entry).
enum class Catch { whole_table, pending_entry };

// Entries of the working table the run searches.
std::int32_t searched_count(const app::Program& program) {
  return program.is_update_run() ? program.run.result_count : program.master.count;
}

void prepare_search(app::Program& program, Catch catch_up) {
  if (program.plain_scan) return;
  const std::int32_t count = searched_count(program);
  if (!program.search_index) {
    program.search_index = std::make_shared<MatchIndex>();
    catch_up = Catch::whole_table;
  }
  if (catch_up == Catch::whole_table) {
    program.search_index->sync(program.working_table, count);
  } else {
    program.search_index->refresh(program.working_table, program.run.match_index, count);
  }
}

bool settled_automatically(const app::RunCursor& run, const RunOptions& options) {
  return options.settle_every_match ||
         (options.settle_under_one_metre && run.separation < kOneMetre);
}

bool append_result(poi::PoiTable& table, std::int32_t& count, const poi::PoiRecord& record) {
  return poi::append(table, count, record);
}

poi::OutputWrite write_output(const app::Program& program,
                              const std::function<bool(const std::string&)>& write) {
  return poi::write_in_place(program.output.path, program.output_mark, write);
}

// Writes the text Output's header, records first..last of `table` and its
// closing line.
OutputWrite write_text_output(app::Program& program, const poi::PoiTable& table, std::int32_t first,
                              std::int32_t last) {
  return write_output(program, [&](const std::string& temporary) {
    poi::OutputFile output(temporary, poi::OpenMode::truncate);
    poi::write_text_header(output, program.fixed_today ? *program.fixed_today : poi::local_today());
    const poi::LineCounts counts = poi::write_text_records(output, table, first, last);
    // A duplicate run counted its comments as it kept them.
    if (program.is_update_run()) program.run.comment_counter = counts.comment_lines;
    program.run.poi_record_counter = counts.poi_lines;
    exclusion::write_output_trailer(program, output);
    return output.close();
  });
}

OutputWrite write_ov2_output(app::Program& program, const poi::PoiTable& table, std::int32_t first,
                             std::int32_t last) {
  return write_output(program, [&](const std::string& temporary) {
    return poi::write_ov2_file(temporary, table, first, last);
  });
}

RunJournal& journal_of(app::Program& program) {
  if (!program.journal) program.journal = std::make_shared<RunJournal>();
  return *program.journal;
}

// The working-table entry at `index`, about to be changed in place: its
// record so far goes into the journal of the pending stop.
poi::PoiRecord& changing(app::Program& program, std::int32_t index) {
  RunJournal& journal = journal_of(program);
  if (!journal.stops.empty())
    journal.stops.back().changed.emplace_back(index, program.working_table[index]);
  return program.working_table[index];
}

RunOutcome finished(app::Program& program, RunOutcome outcome, std::int32_t entries_written) {
  // No Back past the end of a run; the memory of its stops goes too.
  journal_of(program).stops = {};
  outcome.stop = RunStop::finished;
  outcome.entries_written = entries_written;
  program.output.count = entries_written;
  program.output.loaded = false;
  // The file the Output replaced (or was to replace) is let go.
  program.output_mark = {};
  return outcome;
}

RunOutcome finish_duplicate_run(app::Program& program, const RunOptions& options) {
  app::RunCursor& run = program.run;
  RunOutcome outcome;
  run.poi_record_counter = 0;
  outcome.matches_report_incomplete = !exclusion::matches_report_complete(program);
  outcome.output = program.output.is_ov2()
                       ? write_ov2_output(program, program.merged_table, 1, run.result_count)
                       : write_text_output(program, program.merged_table, 1, run.result_count);
  outcome.exclusions = exclusion::finish_exclusions(program, options.excluded_list_path);
  return finished(program, outcome, run.result_count - run.comment_counter);
}

RunOutcome finish_update_run(app::Program& program, const RunOptions& options) {
  app::RunCursor& run = program.run;
  // Append unchecked: only the entries this run added to the Master table.
  const std::int32_t first =
      options.append_all ? 1 : options.appended_after.value_or(program.master.count) + 1;
  const std::int32_t last = run.result_count;
  run.comment_counter = 0;
  run.poi_record_counter = 0;
  RunOutcome outcome;
  if (program.output.is_ov2()) {
    for (std::int32_t k = first; k <= last; ++k)
      ++(poi::is_comment(program.working_table[k]) ? run.comment_counter : run.poi_record_counter);
    outcome.output = write_ov2_output(program, program.working_table, first, last);
  } else {
    outcome.output = write_text_output(program, program.working_table, first, last);
  }
  return finished(program, outcome, run.poi_record_counter);
}

// An earlier entry that survives its turn goes to the Merged table unless an
// exclusion circle removes it. False when the table is full.
bool keep_entry(app::Program& program, const poi::PoiRecord& entry) {
  if (exclusion::exclusion_test(program, entry)) {
    ++program.run.counts.excluded;
    return true;
  }
  return append_result(program.merged_table, program.run.result_count, entry);
}

RunOutcome stopped(RunStop stop) {
  RunOutcome outcome;
  outcome.stop = stop;
  return outcome;
}

// The run stops for a review; the journal remembers where.
RunOutcome review_stop(app::Program& program) {
  journal_of(program).stops.push_back(ReviewStop{
      program.run, program.exclusions.excluded_lines.size(), program.reports.matches.length(), {}});
  return stopped(RunStop::review);
}

// Each Master entry against the later ones. A matched entry is deleted
// automatically or reviewed; the later entry of the pair comes up as a probe
// in its own turn, so of a group within the radius the last survives.
RunOutcome duplicate_run(app::Program& program, const RunOptions& options) {
  app::RunCursor& run = program.run;
  for (run.probe_index = run.position; run.probe_index <= program.master.count; ++run.probe_index) {
    const std::int32_t i = run.probe_index;
    run.probe_entry = program.working_table[i];
    if (poi::is_comment(run.probe_entry)) {
      ++run.comment_counter;
      if (!append_result(program.merged_table, run.result_count,
                         poi::make_comment(run.probe_entry.name.view())))
        return stopped(RunStop::storage_limit);
      continue;
    }
    const auto match = search(program, i + 1, program.master.count, run.probe_entry,
                              PointOrder::probe_first, options.radius);
    if (!match) {
      if (!keep_entry(program, run.probe_entry)) return stopped(RunStop::storage_limit);
      continue;
    }
    run.match_index = match->index;
    run.match_entry = program.working_table[match->index];
    run.separation = match->separation;
    exclusion::report_match_pair(program, run.probe_entry, run.match_entry, run.separation);
    ++run.counts.matches;
    if (settled_automatically(run, options)) {
      ++run.counts.settled;
      ++run.counts.deleted;
      continue;
    }
    run.position = i + 1;
    return review_stop(program);
  }
  return finish_duplicate_run(program, options);
}

// Each Update entry against the Master table as it grows: entries appended
// earlier in this run are candidates too. Unmatched entries (and comment
// records) are appended.
RunOutcome update_run(app::Program& program, const RunOptions& options) {
  app::RunCursor& run = program.run;
  for (run.probe_index = run.position; run.probe_index <= program.update.count; ++run.probe_index) {
    const std::int32_t i = run.probe_index;
    run.probe_entry = program.update_table[i];
    if (!poi::is_comment(run.probe_entry)) {
      const auto match = search(program, 1, run.result_count, run.probe_entry,
                                PointOrder::table_first, options.radius);
      if (match) {
        run.match_index = match->index;
        run.match_entry = program.working_table[match->index];
        run.separation = match->separation;
        ++run.counts.matches;
        if (settled_automatically(run, options)) {
          ++run.counts.settled;
          continue;
        }
        run.position = i + 1;
        return review_stop(program);
      }
    }
    if (!append_result(program.working_table, run.result_count, run.probe_entry))
      return stopped(RunStop::storage_limit);
    if (!poi::is_comment(run.probe_entry)) ++run.counts.appended;
  }
  return finish_update_run(program, options);
}

RunOutcome go_on(app::Program& program, const RunOptions& options) {
  return program.is_update_run() ? update_run(program, options) : duplicate_run(program, options);
}

// The information text of the second row as the decision stores it: the
// shown text, byte for byte, when the user left it alone; a typed text with
// the separator that keeps it apart from the name.
poi::Text edited_information(const app::RunCursor& run, const EditedRow& edited) {
  const poi::Text typed(edited.information);
  if (typed == run.probe_entry.information) return typed;
  return poi::typed_information(typed.view());
}

// Update[i] against Master[j]. With a text Output file the Update entry's own
// information text wins over the edited one on Save as new entry, Position
// and Both; an OV2 Output carries no information, so the edited one is taken.
bool apply_update_decision(app::Program& program, Decision decision, const EditedRow& edited) {
  app::RunCursor& run = program.run;
  const poi::PoiRecord& update_entry = program.update_table[run.probe_index];
  const bool text_output = !program.output.is_ov2();
  const poi::Text information = edited_information(run, edited);
  switch (decision) {
    case Decision::save_or_delete: {
      poi::PoiRecord saved;
      saved.longitude = update_entry.longitude;
      saved.latitude = update_entry.latitude;
      saved.name.assign(edited.name);
      saved.information = text_output ? update_entry.information : information;
      if (!append_result(program.working_table, run.result_count, saved)) return false;
      ++run.counts.appended;
      return true;
    }
    case Decision::position: {
      poi::PoiRecord& master_entry = changing(program, run.match_index);
      master_entry.longitude = update_entry.longitude;
      master_entry.latitude = update_entry.latitude;
      if (text_output) master_entry.information = update_entry.information;
      return true;
    }
    case Decision::text: {
      poi::PoiRecord& master_entry = changing(program, run.match_index);
      master_entry.name.assign(edited.name);
      master_entry.information = information;
      return true;
    }
    case Decision::both: {
      poi::PoiRecord& master_entry = changing(program, run.match_index);
      master_entry.longitude = update_entry.longitude;
      master_entry.latitude = update_entry.latitude;
      master_entry.name.assign(edited.name);
      master_entry.information = text_output ? update_entry.information : information;
      return true;
    }
    case Decision::skip_or_keep:  // the Update entry is left out
      return true;
  }
  return true;
}

// Master[i] (the earlier entry) against Master[j].
bool apply_duplicate_decision(app::Program& program, Decision decision, const EditedRow& edited) {
  app::RunCursor& run = program.run;
  if (decision == Decision::save_or_delete) {
    // The surviving later entry carries a name edited in the second row.
    changing(program, run.match_index).name.assign(edited.name);
    ++run.counts.deleted;
    return true;
  }
  ++run.counts.kept;
  return keep_entry(program, run.probe_entry);
}

}  // namespace

RunOutcome start_run(app::Program& program, const RunOptions& options) {
  app::RunCursor& run = program.run;
  // Every run starts from the entries as read, not from what an earlier run
  // made of them.
  for (std::int32_t k = 1; k <= program.master.count; ++k)
    program.working_table[k] = std::as_const(program.master_table)[k];
  run.position = 1;
  run.comment_counter = 0;
  run.counts = {};
  if (program.is_update_run()) {
    run.result_count = program.master.count;
  } else {
    run.result_count = 0;
    // The excluded list gets this run's removals only, also after a run
    // abandoned with Quit, which wrote none.
    program.exclusions.excluded_lines.clear();
  }
  journal_of(program).stops.clear();
  prepare_search(program, Catch::whole_table);
  return go_on(program, options);
}

RunOutcome resume_run(app::Program& program, const RunOptions& options) {
  prepare_search(program, Catch::pending_entry);
  return go_on(program, options);
}

// The pending pair is the one at `probe_index` = `position` - 1; after a
// finished run `probe_index` has gone past the last entry.
bool pair_pending(const app::Program& program) {
  const app::RunCursor& run = program.run;
  return program.output.loaded && run.probe_index >= 1 && run.probe_index == run.position - 1;
}

bool belongs_to_run(const app::Program& program, Decision decision) {
  return decision == Decision::skip_or_keep || decision == Decision::save_or_delete ||
         program.is_update_run();
}

RunOutcome decide(app::Program& program, Decision decision, const EditedRow& second_row,
                  const RunOptions& options) {
  ++program.run.counts.reviewed;
  const bool go = program.is_update_run() ? apply_update_decision(program, decision, second_row)
                                          : apply_duplicate_decision(program, decision, second_row);
  if (!go) return stopped(RunStop::storage_limit);
  return resume_run(program, options);
}

bool can_go_back(const app::Program& program) {
  return pair_pending(program) && program.journal && program.journal->stops.size() >= 2;
}

bool back(app::Program& program) {
  if (!can_go_back(program)) return false;
  std::vector<ReviewStop>& stops = program.journal->stops;
  stops.pop_back();
  ReviewStop& previous = stops.back();
  for (auto change = previous.changed.rbegin(); change != previous.changed.rend(); ++change)
    program.working_table[change->first] = change->second;
  program.run = previous.cursor;
  program.exclusions.excluded_lines.resize(previous.excluded_lines);
  // A report that cannot be cut back is failed, and reported incomplete at
  // the run's end.
  if (previous.report_length) program.reports.matches.cut_back(*previous.report_length);
  if (program.search_index) {
    // Entries moved back and entries dropped from the end leave the index too.
    const std::int32_t count = searched_count(program);
    for (const auto& change : previous.changed)
      program.search_index->refresh(program.working_table, change.first, count);
    program.search_index->refresh(program.working_table, 0, count);
  }
  previous.changed.clear();
  return true;
}

}  // namespace pinwright::engine
