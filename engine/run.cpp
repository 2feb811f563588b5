#include "engine/run.hpp"

#include <filesystem>
#include <system_error>

#include "engine/match_index.hpp"
#include "engine/match_search.hpp"
#include "engine/review.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"
#include "ui/controls.hpp"

namespace pinwright::engine {

namespace {

namespace c = ui::control;
using ui::FieldState;

inline constexpr float kOneMetre = 1.0f;

void set_review_buttons(app::Program& program, FieldState state) {
  program.dialog.set_field_state(c::kPosition, state);
  program.dialog.set_field_state(c::kText, state);
  program.dialog.set_field_state(c::kBoth, state);
}

// The first entry of Master[first..last] closer than the radius to `probe`:
// through the index, or by the plain scan when asked for the reference.
std::optional<Match> search(app::Program& program, std::int32_t first, std::int32_t last,
                            const poi::PoiRecord& probe, PointOrder order) {
  if (program.plain_scan)
    return first_match(program.master_table, first, last, probe, order, program.match_radius);
  return program.match_index->first_match(program.master_table, first, last, probe, order,
                                          program.match_radius);
}

// Start brings the index in line with the whole Master table (a file may
// have been read since the last run); between two calls of a run only a
// decision changes it, and only at the pending Master entry (Position, Both)
// or at its end (Save as new entry).
enum class Catch { whole_table, pending_entry };

void prepare_search(app::Program& program, Catch catch_up) {
  if (program.plain_scan) return;
  const std::int32_t count = program.update_mode ? program.merged_count : program.master_count;
  if (!program.match_index) {
    program.match_index = std::make_shared<MatchIndex>();
    catch_up = Catch::whole_table;
  }
  if (catch_up == Catch::whole_table) {
    program.match_index->sync(program.master_table, count);
  } else {
    program.match_index->refresh(program.master_table, program.master_index, count);
  }
}

// The check boxes are read at each match, so the user may change them while
// a review is pending.
bool settled_automatically(app::Program& program) {
  if (program.dialog.get_check_box(c::kUnderRadius)) return true;
  return program.dialog.get_check_box(c::kUnderOneMetre) && program.separation < kOneMetre;
}

// The end of either run: the Output file must be complete, or the user hears of it.
void check_output_written(app::Program& program, bool written) {
  if (!written)
    exclusion::report_write_failure(program.dialog, "The Output file", program.output_path);
}

// A text Output has been open since it was chosen, and the user may have
// removed, moved or replaced it while a review was pending. Written into
// regardless, the result would go to a file nobody finds at its path. A path
// left free gets the Output anew, header first; a file that has taken its
// place is not the program's to overwrite: it is left alone and the user told.
bool text_output_in_place(app::Program& program) {
  poi::OutputFile& output = program.output_file;
  if (!output.is_open() || output.is_at_path()) return true;
  output.close();
  std::error_code error;
  if (std::filesystem::exists(program.output_path, error) || error) {
    program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::exclamation, 1,
                               "The Output file was replaced by another file during the run:\r" +
                                   poi::shorten_path(program.output_path, 50) +
                                   "\rThe result has not been written.",
                               exclusion::kWriteErrorTitle);
    return false;
  }
  output = poi::OutputFile(program.output_path, poi::OpenMode::truncate);
  poi::write_text_header(output, program.fixed_today ? *program.fixed_today : poi::local_today());
  return true;
}

// The matches report stays open for the next Start; what this run wrote into
// it must reach the disk now, or the user hears of it now, and once.
void check_matches_report(app::Program& program) {
  poi::OutputFile& report = program.matches_report;
  if (!report.is_open() || (report.flush() && report.is_at_path())) return;
  exclusion::report_write_failure(program.dialog, "The matches report",
                                  program.matches_report_path);
  report = poi::OutputFile();
}

RunStop finish_duplicate_run(app::Program& program) {
  program.poi_record_counter = 0;
  check_matches_report(program);
  if (program.output_is_ov2) {
    check_output_written(program, poi::write_ov2_file(program.output_path, program.merged_table, 1,
                                                      program.merged_count));
  } else if (text_output_in_place(program)) {
    const poi::LineCounts counts =
        poi::write_text_records(program.output_file, program.merged_table, 1, program.merged_count);
    program.poi_record_counter = counts.poi_lines;
    exclusion::write_output_trailer(program);
    check_output_written(program, program.output_file.close());
  }
  exclusion::exclusion_summary(program);
  exclusion::show_entries_label(program, program.merged_count - program.comment_counter);
  program.output_chosen = false;
  return RunStop::finished;
}

RunStop finish_update_run(app::Program& program) {
  // Append unchecked: only the entries this run added to the Master table.
  const std::int32_t first =
      program.dialog.get_check_box(c::kAppend) ? 1 : program.master_count + 1;
  const std::int32_t last = program.merged_count;
  program.comment_counter = 0;
  program.poi_record_counter = 0;
  if (program.output_is_ov2) {
    for (std::int32_t k = first; k <= last; ++k)
      ++(poi::is_comment(program.master_table[k]) ? program.comment_counter
                                                  : program.poi_record_counter);
    check_output_written(
        program, poi::write_ov2_file(program.output_path, program.master_table, first, last));
  } else if (text_output_in_place(program)) {
    const poi::LineCounts counts =
        poi::write_text_records(program.output_file, program.master_table, first, last);
    program.comment_counter = counts.comment_lines;
    program.poi_record_counter = counts.poi_lines;
    exclusion::write_output_trailer(program);
    check_output_written(program, program.output_file.close());
  }
  exclusion::show_entries_label(program, program.poi_record_counter);
  program.output_chosen = false;
  return RunStop::finished;
}

// Each Master entry against the later ones. A matched entry is deleted
// automatically or reviewed; the later entry of the pair comes up as an outer
// entry in its own turn, so of a group within the radius the last survives.
RunStop duplicate_run(app::Program& program) {
  for (program.update_index = program.run_position; program.update_index <= program.master_count;
       ++program.update_index) {
    const std::int32_t i = program.update_index;
    program.current_entry = program.master_table[i];
    if (poi::is_comment(program.current_entry)) {
      ++program.comment_counter;
      if (!append_result(program, program.merged_table, program.merged_count,
                         poi::make_comment(program.current_entry.name.view())))
        return RunStop::ended;
      continue;
    }
    const auto match = search(program, i + 1, program.master_count, program.current_entry,
                              PointOrder::probe_first);
    if (!match) {
      if (!exclusion::exclusion_test(program) &&
          !append_result(program, program.merged_table, program.merged_count,
                         program.current_entry))
        return RunStop::ended;
      continue;
    }
    program.master_index = match->index;
    program.candidate_entry = program.master_table[match->index];
    program.separation = match->separation;
    exclusion::report_match_pair(program, program.current_entry, program.candidate_entry,
                                 program.separation);
    if (settled_automatically(program)) continue;
    show_pair(program);
    program.dialog.set_field_state(c::kFirstDecision, FieldState::enabled);
    program.dialog.set_field_state(c::kSecondDecision, FieldState::enabled);
    program.run_position = i + 1;
    return RunStop::review;
  }
  return finish_duplicate_run(program);
}

// Each Update entry against the Master table as it grows: entries appended
// earlier in this run are candidates too. Unmatched entries (and comment
// records) are appended.
RunStop update_run(app::Program& program) {
  for (program.update_index = program.run_position; program.update_index <= program.update_count;
       ++program.update_index) {
    const std::int32_t i = program.update_index;
    program.candidate_entry = program.update_table[i];
    if (!poi::is_comment(program.candidate_entry)) {
      const auto match = search(program, 1, program.merged_count, program.candidate_entry,
                                PointOrder::table_first);
      if (match) {
        program.master_index = match->index;
        program.current_entry = program.master_table[match->index];
        program.separation = match->separation;
        if (settled_automatically(program)) continue;
        show_pair(program);
        set_review_buttons(program, FieldState::enabled);
        program.dialog.set_field_state(c::kSecondDecision, FieldState::enabled);
        program.dialog.set_field_state(c::kFirstDecision, FieldState::enabled);
        program.run_position = i + 1;
        return RunStop::review;
      }
    }
    if (!append_result(program, program.master_table, program.merged_count,
                       program.candidate_entry))
      return RunStop::ended;
  }
  return finish_update_run(program);
}

}  // namespace

bool read_match_radius(app::Program& program) {
  const auto radius = program.dialog.get_real(c::kRadiusCombo);
  if (!radius || *radius < 0.0f) {
    program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::information, 1, kRadiusErrorText,
                               kRadiusErrorTitle);
    return false;
  }
  program.match_radius = *radius;
  return true;
}

bool append_result(app::Program& program, poi::PoiTable& table, std::int32_t& count,
                   const poi::PoiRecord& record) {
  if (poi::append(table, count, record)) return true;
  program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::information, 1, poi::kTooManyMergedText,
                             poi::kStorageLimitTitle);
  program.quit_requested = true;
  return false;
}

RunStop start_run(app::Program& program) {
  if (!read_match_radius(program)) return RunStop::unchanged;
  program.run_position = 1;
  if (program.update_mode) {
    program.merged_count += program.master_count;
    set_review_buttons(program, FieldState::enabled);
  } else {
    program.comment_counter = 0;
    // The summary counts this run's removals only, also after a run
    // abandoned with Quit, whose count was never reset by its summary.
    program.excluded_count = 0;
    set_review_buttons(program, FieldState::hidden);
    if (program.deduruvav_marker) exclusion::open_matches_report(program);
  }
  program.dialog.set_field_state(c::kQuit, FieldState::enabled);
  program.dialog.set_field_state(c::kStart, FieldState::disabled);
  program.dialog.set_field_state(c::kExit, FieldState::disabled);
  prepare_search(program, Catch::whole_table);
  return program.update_mode ? update_run(program) : duplicate_run(program);
}

RunStop resume_run(app::Program& program) {
  if (!read_match_radius(program)) return RunStop::unchanged;
  prepare_search(program, Catch::pending_entry);
  return program.update_mode ? update_run(program) : duplicate_run(program);
}

}  // namespace pinwright::engine
