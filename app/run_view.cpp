#include "app/run_view.hpp"

#include <algorithm>
#include <cmath>

#include "app/file_slots.hpp"
#include "app/messages.hpp"
#include "app/options.hpp"
#include "app/run_panel.hpp"
#include "engine/distance.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace {

namespace c = ui::control;
using ui::FieldState;

// Wide enough for any finite float with 6 decimals.
inline constexpr int kWidestCoordinate = 48;

struct RowFields {
  int longitude;
  int latitude;
  int name;
  int information;
  int entry;
};

void show_row(ui::DialogLayer& dialog, const poi::PoiRecord& entry, std::int32_t index,
              const RowFields& fields) {
  dialog.put_text(fields.longitude, coordinate_text(entry.longitude));
  dialog.put_text(fields.latitude, coordinate_text(entry.latitude));
  dialog.put_text(fields.name, entry.name.trimmed());
  dialog.put_text(fields.information, entry.information.trimmed());
  dialog.put_text(fields.entry, entry_text(index));
}

void set_review_buttons(ui::DialogLayer& dialog, FieldState state) {
  dialog.set_field_state(c::kPosition, state);
  dialog.set_field_state(c::kText, state);
  dialog.set_field_state(c::kBoth, state);
}

}  // namespace

void open_matches_report(Program& program, ui::DialogLayer& dialog) {
  using Status = exclusion::MatchesReportOpen::Status;
  const exclusion::MatchesReportOpen open = exclusion::open_matches_report(program);
  const std::string& path = program.reports.matches_path;
  if (open.previous_incomplete) show_write_failure(dialog, "The matches report", path);
  if (open.status == Status::in_use) {
    show_message(dialog, poi::kFileOpenConflictTitle,
                 "The matches report\r" + poi::shorten_path(path, poi::kMessagePathWidth) +
                     "\rwould replace a file in use.\rMatches will not be reported.");
  } else if (open.status == Status::failed) {
    show_write_failure(dialog, "The matches report", path);
  }
}

namespace {

void show_finished(const Program& program, ui::DialogLayer& dialog,
                   const engine::RunOutcome& outcome) {
  if (outcome.matches_report_incomplete)
    show_write_failure(dialog, "The matches report", program.reports.matches_path);
  switch (outcome.output) {
    case engine::OutputWrite::written:
      break;
    case engine::OutputWrite::incomplete:
      show_write_failure(dialog, "The Output file", program.output.path);
      break;
    case engine::OutputWrite::replaced:
      show_message(dialog, kWriteErrorTitle,
                   "The Output file was replaced by another file during the run:\r" +
                       poi::shorten_path(program.output.path, poi::kMessagePathWidth) +
                       "\rThe result has not been written.",
                   ui::Icon::exclamation);
      break;
  }
  if (outcome.output == engine::OutputWrite::written && program.output.is_ov2())
    copy_output_symbol(program);
  show_exclusions_end(dialog, outcome.exclusions);
  dialog.put_text(c::kOutputCount, exclusion::entries_label_text(outcome.entries_written));
}

RunStop show_outcome(Program& program, ui::DialogLayer& dialog, const engine::RunOutcome& outcome,
                     float radius) {
  switch (outcome.stop) {
    case engine::RunStop::review:
      show_pair(program, dialog);
      dialog.put_text(c::kProgress, progress_text(program));
      dialog.put_map(c::kMatchMap, review_map(program, radius));
      set_slot_buttons(dialog, FieldState::disabled);
      dialog.set_field_state(
          c::kBack, engine::can_go_back(program) ? FieldState::enabled : FieldState::disabled);
      if (program.is_update_run()) {
        set_review_buttons(dialog, FieldState::enabled);
        dialog.set_field_state(c::kSecondDecision, FieldState::enabled);
        dialog.set_field_state(c::kFirstDecision, FieldState::enabled);
      } else {
        dialog.set_field_state(c::kFirstDecision, FieldState::enabled);
        dialog.set_field_state(c::kSecondDecision, FieldState::enabled);
      }
      return RunStop::review;
    case engine::RunStop::storage_limit:
      abandon_run(program, dialog);
      show_message(dialog, poi::kStorageLimitTitle,
                   std::string(poi::kTooManyMergedText) + "\r" + std::string(kNothingWritten) +
                       "\r" + std::string(kNoLimitInBatch));
      return RunStop::abandoned;
    case engine::RunStop::finished:
      break;
  }
  // The boxes that tell how the run ended are shown over the idle window,
  // not over a pair whose buttons no longer mean anything.
  mode_labels(program, dialog);
  dialog.put_text(c::kProgress, " ");
  dialog.put_text(c::kRunStatus, run_status_text(program, outcome.entries_written));
  show_finished(program, dialog, outcome);
  return RunStop::finished;
}

// A decision that stores the second row's name: Save as new entry, Text and
// Both in an update run, Delete Master entry (the later entry takes it) in a
// duplicate run.
bool stores_name(const Program& program, engine::Decision decision) {
  using engine::Decision;
  return decision == Decision::save_or_delete ||
         (program.is_update_run() && (decision == Decision::text || decision == Decision::both));
}

// A text line keeps no double quote in a name: the reader takes each one for
// the start or end of the quoted part. A name typed with one would be read
// back as another name, so the decision does not store it.
bool refuse_typed_name(const Program& program, engine::Decision decision, const poi::Text& name) {
  if (program.output.is_ov2() || !stores_name(program, decision)) return false;
  const poi::PoiRecord& shown =
      program.is_update_run() ? program.run.probe_entry : program.run.match_entry;
  return name != shown.name && name.view().find('"') != std::string_view::npos;
}

// The map refers to the tables the run changes: it is cleared before the run
// goes on and shows the next pair, if any, afterwards.
template <typename Call>
RunStop call_run(Program& program, ui::DialogLayer& dialog, const engine::RunOptions& options,
                 Call call) {
  dialog.put_map(c::kMatchMap, std::nullopt);
  return show_outcome(program, dialog, call(), options.radius);
}

std::optional<engine::Decision> decision_of(int button_id) {
  switch (button_id) {
    case c::kFirstDecision:
      return engine::Decision::skip_or_keep;
    case c::kSecondDecision:
      return engine::Decision::save_or_delete;
    case c::kPosition:
      return engine::Decision::position;
    case c::kText:
      return engine::Decision::text;
    case c::kBoth:
      return engine::Decision::both;
    default:
      return std::nullopt;
  }
}

}  // namespace

void show_exclusions_end(ui::DialogLayer& dialog, const exclusion::ExclusionsEnd& end) {
  if (end.summary) {
    show_message(dialog, exclusion::kSummaryTitle, exclusion::exclusion_summary_text(*end.summary),
                 ui::Icon::exclamation);
  }
  switch (end.list) {
    case exclusion::ListWrite::none:
    case exclusion::ListWrite::written:
      break;
    case exclusion::ListWrite::in_use:
      show_message(dialog, poi::kFileOpenConflictTitle,
                   "The list of excluded entries\r" +
                       poi::shorten_path(end.list_path, poi::kMessagePathWidth) +
                       "\rwould replace a file in use.\rExcluded entries will not be listed.");
      break;
    case exclusion::ListWrite::incomplete:
      show_write_failure(dialog, "The excluded list", end.list_path);
      break;
  }
}

std::optional<engine::RunOptions> read_run_options(ui::DialogLayer& dialog) {
  const auto radius = dialog.get_real(c::kRadiusCombo);
  if (!radius || *radius < 0.0f) {
    show_message(dialog, kRadiusErrorTitle, kRadiusErrorText);
    return std::nullopt;
  }
  engine::RunOptions options;
  options.radius = *radius;
  options.settle_under_one_metre = dialog.get_check_box(c::kUnderOneMetre);
  options.settle_every_match = dialog.get_check_box(c::kUnderRadius);
  options.append_all = dialog.get_check_box(c::kAppend);
  return options;
}

std::string coordinate_text(float degrees) {
  const std::string field = poi::f10_6(degrees);
  if (field.front() != '*' || !std::isfinite(degrees)) return field;
  const std::string full = poi::format_fixed(degrees, kWidestCoordinate, 6);
  return full.substr(full.find_first_not_of(' '));
}

std::string entry_text(std::int32_t index) {
  return "Entry:" + poi::i5(index);
}

void show_pair(const Program& program, ui::DialogLayer& dialog) {
  const RunCursor& run = program.run;
  const bool update_run = program.is_update_run();
  // The Master entry comes first in an update run, the earlier entry in a
  // duplicate run.
  const poi::PoiRecord& first = update_run ? run.match_entry : run.probe_entry;
  const poi::PoiRecord& second = update_run ? run.probe_entry : run.match_entry;
  dialog.put_text(c::kSeparation, engine::separation_text(run.separation));
  show_row(dialog, first, update_run ? run.match_index : run.probe_index,
           {c::kRow1Longitude, c::kRow1Latitude, c::kRow1Name, c::kRow1Information, c::kRow1Entry});
  show_row(dialog, second, update_run ? run.probe_index : run.match_index,
           {c::kRow2Longitude, c::kRow2Latitude, c::kRow2Name, c::kRow2Information, c::kRow2Entry});
}

void abandon_run(Program& program, ui::DialogLayer& dialog) {
  dialog.put_text(c::kProgress, " ");
  dialog.put_map(c::kMatchMap, std::nullopt);
  mode_labels(program, dialog);
  clear_slot(program, dialog, Slot::output);
}

RunStop start_run(Program& program, ui::DialogLayer& dialog) {
  const std::optional<engine::RunOptions> options = read_run_options(dialog);
  if (!options) return RunStop::unchanged;
  if (program.is_update_run()) {
    set_review_buttons(dialog, FieldState::enabled);
  } else {
    set_review_buttons(dialog, FieldState::hidden);
    if (program.matches_report_enabled) open_matches_report(program, dialog);
  }
  dialog.set_field_state(c::kQuit, FieldState::enabled);
  dialog.set_field_state(c::kStart, FieldState::disabled);
  dialog.set_field_state(c::kExit, FieldState::disabled);
  dialog.put_text(c::kRunStatus, " ");
  return call_run(program, dialog, *options, [&] { return engine::start_run(program, *options); });
}

RunStop resume_run(Program& program, ui::DialogLayer& dialog) {
  const std::optional<engine::RunOptions> options = read_run_options(dialog);
  if (!options) return RunStop::unchanged;
  return call_run(program, dialog, *options, [&] { return engine::resume_run(program, *options); });
}

RunStop decide(Program& program, ui::DialogLayer& dialog, int button_id) {
  const std::optional<engine::Decision> decision = decision_of(button_id);
  if (!decision || !engine::pair_pending(program) || !engine::belongs_to_run(program, *decision))
    return RunStop::unchanged;
  const std::optional<engine::RunOptions> options = read_run_options(dialog);
  if (!options) return RunStop::unchanged;
  const engine::EditedRow second_row{dialog.get_text(c::kRow2Name),
                                     dialog.get_text(c::kRow2Information)};
  if (refuse_typed_name(program, *decision, poi::Text(second_row.name))) {
    show_message(dialog, kNameRefusedTitle, kNameRefusedText);
    return RunStop::unchanged;
  }
  return call_run(program, dialog, *options,
                  [&] { return engine::decide(program, *decision, second_row, *options); });
}

RunStop back(Program& program, ui::DialogLayer& dialog) {
  if (!engine::back(program)) return RunStop::unchanged;
  // The map's circle takes the radius as the combo box reads now; the run
  // takes it anew at the next decision anyway.
  const float radius = std::max(0.0f, dialog.get_real(c::kRadiusCombo).value_or(0.0f));
  dialog.put_map(c::kMatchMap, std::nullopt);
  return show_outcome(program, dialog, engine::RunOutcome{}, radius);
}

}  // namespace pinwright::app
