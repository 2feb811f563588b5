#include "app/run_view.hpp"

#include <algorithm>
#include <cmath>
#include <thread>

#include "app/file_slots.hpp"
#include "app/messages.hpp"
#include "app/options.hpp"
#include "app/run_panel.hpp"
#include "app/run_sink.hpp"
#include "app/vector_files.hpp"
#include "engine/distance.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"
#include "poi/fixed_text.hpp"
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

// The texts as the Output will hold them: a vector Output at full length, a
// text or OV2 Output in its 128-byte fields.
void show_row(ui::DialogLayer& dialog, const poi::CompactTable& table, std::int32_t index,
              const RowFields& fields, bool full_texts) {
  dialog.put_text(fields.longitude, coordinate_text(table.longitude(index)));
  dialog.put_text(fields.latitude, coordinate_text(table.latitude(index)));
  dialog.put_text(fields.name,
                  full_texts ? poi::trim_right(table.name(index)) : table.name_field(index));
  dialog.put_text(fields.information, full_texts ? poi::trim_right(table.information(index))
                                                 : table.information_field(index));
  dialog.put_text(fields.entry, entry_text(index));
}

void set_review_buttons(ui::DialogLayer& dialog, FieldState state) {
  dialog.set_field_state(c::kPosition, state);
  dialog.set_field_state(c::kText, state);
  dialog.set_field_state(c::kBoth, state);
}

}  // namespace

void open_matches_report(Program& program, ui::DialogLayer& dialog) {
  using Status = MatchesReportOpen::Status;
  const MatchesReportOpen open = app::open_matches_report(program);
  const std::string& path = program.reports.matches_path;
  if (open.previous_incomplete) show_write_failure(dialog, "The matches report", path);
  if (open.status == Status::in_use) {
    show_message(dialog, kFileOpenConflictTitle,
                 "The matches report\r" + poi::shorten_path(path, poi::kMessagePathWidth) +
                     "\rwould replace a file in use.\rMatches will not be reported.");
  } else if (open.status == Status::failed) {
    show_write_failure(dialog, "The matches report", path);
  }
}

namespace {

void show_finished(Program& program, ui::DialogLayer& dialog, const engine::RunOutcome& outcome) {
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
  if (outcome.output == engine::OutputWrite::written && program.output_texts_cut > 0)
    show_message(dialog, kTextsCutTitle,
                 texts_cut_text(program.output_texts_cut, program.output.path));
  show_exclusions_end(dialog, outcome.exclusions);
  dialog.put_text(c::kOutputCount, entries_label_text(outcome.entries_written));
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
          c::kBack, program.run->can_go_back() ? FieldState::enabled : FieldState::disabled);
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
      show_message(dialog, kStorageLimitTitle,
                   std::string(kTooManyMergedText) + "\r" + std::string(kNothingWritten) + "\r" +
                       std::string(kNoLimitInBatch));
      return RunStop::abandoned;
    case engine::RunStop::finished:
      break;
  }
  // A further run needs a new Output; the file the Output replaced (or was
  // to replace) is let go.
  program.output.count = outcome.entries_written;
  program.output.loaded = false;
  program.output_mark = {};
  // The boxes that tell how the run ended are shown over the idle window,
  // not over a pair whose buttons no longer mean anything.
  mode_labels(program, dialog);
  dialog.put_text(c::kProgress, " ");
  dialog.put_text(c::kRunStatus, run_status_text(program.run->counts(), program.is_update_run(),
                                                 outcome.entries_written));
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
bool refuse_typed_name(const Program& program, engine::Decision decision, std::string_view name) {
  if (program.output.is_ov2() || !stores_name(program, decision)) return false;
  const engine::Run& run = *program.run;
  const std::string_view shown = program.is_update_run() ? run.probes().name(run.pair().probe)
                                                         : run.table().name(run.pair().match);
  return poi::trim_right(name) != shown && name.find('"') != std::string_view::npos;
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
    show_message(dialog, kExclusionSummaryTitle, exclusion_summary_text(*end.summary),
                 ui::Icon::exclamation);
  }
  switch (end.list) {
    case exclusion::ListWrite::none:
    case exclusion::ListWrite::written:
      break;
    case exclusion::ListWrite::in_use:
      show_message(dialog, kFileOpenConflictTitle,
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
  options.names.rule = name_rule_of(dialog.get_text(c::kNamesCombo));
  options.keep = dialog.get_check_box(c::kKeepFirst) ? engine::Keep::first : engine::Keep::last;
  return options;
}

std::string coordinate_text(float degrees) {
  const std::string field = poi::f10_6(degrees);
  if (field.front() != '*' || !std::isfinite(degrees)) return field;
  const std::string full = poi::format_fixed(degrees, kWidestCoordinate, 6);
  return full.substr(full.find_first_not_of(' '));
}

engine::NameRule name_rule_of(std::string_view text) {
  const std::string_view word = poi::trim(text);
  if (word == "same") return engine::NameRule::same;
  if (word == "similar") return engine::NameRule::similar;
  return engine::NameRule::any;
}

std::string name_similarity_text(double similarity) {
  const std::string field = poi::format_fixed(similarity, 4, 2);
  return "names " + field.substr(field.find_first_not_of(' '));
}

std::string entry_text(std::int32_t index) {
  return "Entry:" + poi::i5(index);
}

void show_pair(const Program& program, ui::DialogLayer& dialog) {
  const engine::Run& run = *program.run;
  const engine::Pair& pair = run.pair();
  dialog.put_text(c::kSeparation, engine::separation_text(pair.separation));
  dialog.put_text(c::kNameSimilarity, name_similarity_text(pair.name_similarity));
  // The Master entry comes first in an update run, the earlier entry in a
  // duplicate run.
  const RowFields first{c::kRow1Longitude, c::kRow1Latitude, c::kRow1Name, c::kRow1Information,
                        c::kRow1Entry};
  const RowFields second{c::kRow2Longitude, c::kRow2Latitude, c::kRow2Name, c::kRow2Information,
                         c::kRow2Entry};
  const bool full_texts = vector_driver(program.output).has_value();
  if (run.is_update_run()) {
    show_row(dialog, run.table(), pair.match, first, full_texts);
    show_row(dialog, run.probes(), pair.probe, second, full_texts);
  } else {
    show_row(dialog, run.table(), pair.probe, first, full_texts);
    show_row(dialog, run.table(), pair.match, second, full_texts);
  }
}

void abandon_run(Program& program, ui::DialogLayer& dialog) {
  program.run.reset();
  dialog.put_text(c::kProgress, " ");
  dialog.put_map(c::kMatchMap, std::nullopt);
  mode_labels(program, dialog);
  clear_slot(program, dialog, Slot::output);
}

RunStop start_run(Program& program, ui::DialogLayer& dialog) {
  const std::optional<engine::RunOptions> options = read_run_options(dialog);
  if (!options) return RunStop::unchanged;
  const bool update_run = program.is_update_run();
  if (update_run) {
    set_review_buttons(dialog, FieldState::enabled);
  } else {
    set_review_buttons(dialog, FieldState::hidden);
    if (program.matches_report_enabled) open_matches_report(program, dialog);
  }
  dialog.set_field_state(c::kQuit, FieldState::enabled);
  dialog.set_field_state(c::kStart, FieldState::disabled);
  dialog.set_field_state(c::kExit, FieldState::disabled);
  dialog.put_text(c::kRunStatus, " ");
  engine::RunSetup setup;
  setup.output_kind = program.output.kind;
  setup.vector_output = vector_driver(program.output).has_value();
  setup.report_matches = !update_run && program.matches_report_enabled;
  setup.result_limit = kMergedCapacity;
  setup.threads = std::max(1u, std::thread::hardware_concurrency());
  setup.plain_scan = program.plain_scan;
  static StopForReview review;
  // Every run starts from the entries as read, not from what an earlier run
  // made of them.
  program.run.reset();
  if (!program.sink) program.sink = std::make_unique<WindowSink>(program);
  program.run = std::make_unique<engine::Run>(
      program.master_table, update_run ? &program.update_table : nullptr,
      update_run ? exclusion::Circles{} : program.exclusions.circles, setup, review, *program.sink);
  return call_run(program, dialog, *options, [&] { return program.run->start(*options); });
}

RunStop decide(Program& program, ui::DialogLayer& dialog, int button_id) {
  const std::optional<engine::Decision> decision = decision_of(button_id);
  if (!decision || !program.pair_pending() || !program.run->offers(*decision))
    return RunStop::unchanged;
  const std::optional<engine::RunOptions> options = read_run_options(dialog);
  if (!options) return RunStop::unchanged;
  const engine::EditedRow second_row{dialog.get_text(c::kRow2Name),
                                     dialog.get_text(c::kRow2Information)};
  if (refuse_typed_name(program, *decision, second_row.name)) {
    show_message(dialog, kNameRefusedTitle, kNameRefusedText);
    return RunStop::unchanged;
  }
  return call_run(program, dialog, *options,
                  [&] { return program.run->decide(*decision, second_row, *options); });
}

RunStop back(Program& program, ui::DialogLayer& dialog) {
  if (!program.run || !program.run->back()) return RunStop::unchanged;
  // The map's circle takes the radius as the combo box reads now; the run
  // takes it anew at the next decision anyway.
  const float radius = std::max(0.0f, dialog.get_real(c::kRadiusCombo).value_or(0.0f));
  dialog.put_map(c::kMatchMap, std::nullopt);
  return show_outcome(program, dialog, engine::RunOutcome{}, radius);
}

}  // namespace pinwright::app
