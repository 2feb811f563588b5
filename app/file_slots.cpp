#include "app/file_slots.hpp"

#include <array>
#include <optional>
#include <utility>

#include "app/messages.hpp"
#include "app/options.hpp"
#include "app/vector_files.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/file_system.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "poi/staged_file.hpp"
#include "poi/symbol.hpp"
#include "poi/text_file.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace {

namespace c = ui::control;
using ui::FieldState;

struct SlotControls {
  int path;
  int count;
  int symbol;
};

SlotControls controls_of(Slot slot) {
  switch (slot) {
    case Slot::master:
      return {c::kMasterPath, c::kMasterCount, c::kMasterSymbol};
    case Slot::update:
      return {c::kUpdatePath, c::kUpdateCount, c::kUpdateSymbol};
    case Slot::output:
      break;
  }
  return {c::kOutputPath, c::kOutputCount, c::kOutputSymbol};
}

poi::FileSlot& slot_of(Program& program, Slot slot) {
  switch (slot) {
    case Slot::master:
      return program.master;
    case Slot::update:
      return program.update;
    case Slot::output:
      break;
  }
  return program.output;
}

void show_conflict(ui::DialogLayer& dialog, std::string_view path, std::string_view reason) {
  show_message(dialog, kFileOpenConflictTitle, conflict_text(path, reason));
}

// "in use as the Master file" when a slot in use holds the file at `path`.
std::optional<std::string> in_use_reason(const Program& program, const std::string& path) {
  const std::array<std::pair<const poi::FileSlot*, std::string_view>, 3> slots = {{
      {&program.master, "Master"},
      {&program.update, "Update"},
      {&program.output, "Output"},
  }};
  for (const auto& [slot, name] : slots) {
    if (holds(*slot, path)) return "in use as the " + std::string(name) + " file";
  }
  return std::nullopt;
}

void hide_symbol(Program& program, ui::DialogLayer& dialog, Slot slot) {
  slot_of(program, slot).symbol_path.clear();
  dialog.set_field_state(controls_of(slot).symbol, FieldState::hidden);
}

void enable_start_when_ready(Program& program, ui::DialogLayer& dialog) {
  if (program.master.loaded && program.output.loaded)
    dialog.set_field_state(c::kStart, FieldState::enabled);
}

// A failed choice leaves the slot empty, so that the dialog never shows a file
// that is not loaded, and Start disabled.
void fail_choice(Program& program, ui::DialogLayer& dialog, Slot slot) {
  clear_slot(program, dialog, slot);
  dialog.set_field_state(c::kStart, FieldState::disabled);
}

// Why the file at `path` cannot be the Output, if it cannot. Nothing is
// written now, but the run's result will be written beside it and renamed
// onto it: its folder must take a new file, and what is there must be a file
// the user may replace, not one in use nor a folder or device.
std::optional<std::string> output_refusal(const Program& program, const std::string& path) {
  if (std::optional<std::string> in_use = in_use_reason(program, path)) return in_use;
  if (poi::file_exists(path)) {
    if (!poi::is_file(path)) return "not a file";
    // Renaming onto a write-protected file would replace it all the same.
    if (!poi::is_writable(path)) return "file not writable";
  }
  poi::StagedFile probe(path);
  if (probe.reserve()) {
    const std::optional<std::string> driver = vector_driver(program.output);
    return driver ? vector_output_refusal(program, path, *driver) : std::nullopt;
  }
  const std::string folder = poi::directory_part(path);
  return poi::file_exists(folder.empty() ? "." : folder) ? "folder not writable" : "no such folder";
}

}  // namespace

std::string output_file_name(std::string_view chosen, poi::FileKind kind) {
  if (chosen.find('.') != std::string_view::npos) return std::string(chosen);
  return std::string(poi::trim_right(chosen)) + (kind == poi::FileKind::ov2 ? ".ov2" : ".asc");
}

void set_mode_captions(Program& program, ui::DialogLayer& dialog) {
  const bool update_run = program.is_update_run();
  dialog.put_text(c::kFirstDecision, update_run ? "Skip" : "Keep");
  dialog.put_text(c::kSecondDecision, update_run ? "Save as new entry" : "Delete Master entry");
  mode_labels(program, dialog);
}

void clear_slot(Program& program, ui::DialogLayer& dialog, Slot slot) {
  const SlotControls controls = controls_of(slot);
  slot_of(program, slot).loaded = false;
  if (slot == Slot::output) program.output_mark = {};
  dialog.put_text(controls.path, " ");
  dialog.put_text(controls.count, " ");
  if (slot == Slot::update)
    set_mode_captions(program, dialog);
  else
    dialog.set_field_state(c::kStart, FieldState::disabled);
  hide_symbol(program, dialog, slot);
}

void show_symbol(Program& program, ui::DialogLayer& dialog, Slot slot, const std::string& path) {
  const std::string candidate = poi::symbol_candidate(path);
  std::string bitmap;
  if (poi::is_file(candidate)) {
    bitmap = candidate;
  } else if (slot == Slot::output) {
    // Copied to the Output's own name once the run has written it.
    bitmap = poi::default_symbol(candidate, program.program_dir);
  }
  // Without a bitmap the picture is hidden rather than left showing the
  // symbol of a file chosen earlier.
  if (bitmap.empty()) {
    hide_symbol(program, dialog, slot);
    return;
  }
  const int picture = controls_of(slot).symbol;
  slot_of(program, slot).symbol_path = bitmap;
  dialog.set_field_state(picture, FieldState::enabled);
  dialog.draw_picture(picture, bitmap);
}

void copy_output_symbol(const Program& program) {
  const std::string candidate = poi::symbol_candidate(program.output.path);
  const std::string& bitmap = program.output.symbol_path;
  if (!bitmap.empty() && !poi::file_exists(candidate)) poi::copy_file(bitmap, candidate);
}

void choose_input_file(Program& program, ui::DialogLayer& dialog, Slot slot,
                       std::string_view filter) {
  const std::optional<std::string> chosen =
      dialog.choose_file(filter, ui::FileDialogForm::open, program.selected_path, kOpenFileTitle);
  if (!chosen) {
    clear_slot(program, dialog, slot);
    return;
  }
  poi::FileSlot& file = slot_of(program, slot);
  program.selected_path = *chosen;
  file.path = program.selected_path;
  file.loaded = false;
  const SlotControls controls = controls_of(slot);
  dialog.put_text(controls.path, poi::shorten_path(file.path, poi::kFieldWidth));

  if (holds(program.output, file.path)) {
    show_conflict(dialog, file.path, "in use as the Output file");
    fail_choice(program, dialog, slot);
    return;
  }
  const bool master = slot == Slot::master;
  poi::CompactTable& table = master ? program.master_table : program.update_table;
  const std::int32_t limit = master ? kMasterCapacity : kUpdateCapacity;
  if (!file.is_ov2()) hide_symbol(program, dialog, slot);
  table = poi::CompactTable();
  std::string count_text;
  if (const std::optional<std::string> driver = vector_driver(file)) {
    const VectorRead read = read_vector_file(file.path, *driver, table, limit);
    file.count = read.points;
    if (read.failed()) {
      table = poi::CompactTable();
      file.count = 0;
      if (read.refusal)
        show_message(dialog, read_failure_title(*read.refusal),
                     read_failure_text(*read.refusal, file, slot));
      else
        show_message(dialog, kVectorFormatErrorTitle,
                     vector_failure_text(*read.failure, read.skipped, file.path));
      fail_choice(program, dialog, slot);
      return;
    }
    count_text = vector_count_text(read.points, read.skipped);
  } else {
    const poi::ReadResult result = file.is_ov2() ? poi::read_ov2_file(file.path, table, limit)
                                                 : poi::read_text_poi_file(file.path, table, limit);
    // Nothing of a failed reading is used.
    file.count = result.failure ? 0 : result.count;
    if (result.failure) {
      table = poi::CompactTable();
      // The file is refused; the program goes on as after any other refusal.
      show_message(dialog, read_failure_title(*result.failure),
                   read_failure_text(*result.failure, file, slot));
      fail_choice(program, dialog, slot);
      return;
    }
    if (file.is_ov2()) show_symbol(program, dialog, slot, file.path);
    count_text = std::string(kCountPrefix) + poi::i5(result.count - result.comment_count);
  }
  dialog.put_text(controls.count, count_text);
  file.loaded = true;
  dialog.remember_file(slot, file.path);
  set_mode_captions(program, dialog);
  enable_start_when_ready(program, dialog);
}

void choose_output_file(Program& program, ui::DialogLayer& dialog, std::string_view filter) {
  program.selected_path = poi::directory_part(program.selected_path);
  const std::optional<std::string> chosen =
      dialog.choose_file(filter, ui::FileDialogForm::save, program.selected_path, kSaveFileTitle);
  if (!chosen) {
    clear_slot(program, dialog, Slot::output);
    return;
  }
  poi::FileSlot& output = program.output;
  program.selected_path = *chosen;
  output.loaded = false;
  output.path = output_file_name(program.selected_path, output.kind);

  if (const std::optional<std::string> refusal = output_refusal(program, output.path)) {
    show_conflict(dialog, output.path, *refusal);
    fail_choice(program, dialog, Slot::output);
    return;
  }
  // The save dialog asked before a file there is replaced: that file, and
  // only that one, the run's result may replace.
  program.output_mark = poi::FileMark::of(output.path);
  dialog.put_text(c::kOutputPath, poi::shorten_path(output.path, poi::kFieldWidth));
  dialog.put_text(c::kOutputCount, " ");
  if (output.is_ov2())
    show_symbol(program, dialog, Slot::output, output.path);
  else
    hide_symbol(program, dialog, Slot::output);
  output.loaded = true;
  dialog.remember_file(Slot::output, output.path);
  enable_start_when_ready(program, dialog);
}

void read_exclusions_file(Program& program, ui::DialogLayer& dialog) {
  using Status = exclusion::ExclusionsRead::Status;
  // Before any Master file was chosen there is no folder to look in.
  const std::string path = program.master.path.empty()
                               ? std::string()
                               : exclusion::find_exclusions_file(program.master.path);
  const exclusion::ExclusionsRead read =
      path.empty() ? exclusion::ExclusionsRead{}
                   : exclusion::read_exclusion_circles(path, kExclusionCapacity);
  // The circles read stay, also those before a line that is none.
  program.exclusions.circles = read.circles;
  switch (read.status) {
    case Status::no_file:
      return;
    case Status::format_error:
      show_message(dialog, kExclusionsFormatErrorTitle,
                   std::string(kExclusionsFormatErrorText) + "\r" +
                       format_error_line(read.line, read.line_text));
      return;
    case Status::storage_limit:
      show_message(dialog, kStorageLimitTitle,
                   std::string(kTooManyExclusionsText) +
                       "\rOnly the first 5,000 circles are used.\r" + std::string(kNoLimitInBatch));
      return;
    case Status::unreadable:
      show_message(dialog, kFileOpenConflictTitle,
                   "The exclusions file\r" + poi::shorten_path(read.path, poi::kMessagePathWidth) +
                       "\rcannot be read.");
      return;
    case Status::read:
      return;
  }
}

namespace {

bool press_slot_button(Program& program, ui::DialogLayer& dialog, int id) {
  const auto filter_of = [](poi::FileKind kind) {
    return kind == poi::FileKind::ov2 ? kOv2Filter : kTextFilter;
  };
  const auto choose_input = [&](Slot slot, poi::FileKind kind) {
    slot_of(program, slot).kind = kind;
    choose_input_file(program, dialog, slot, filter_of(kind));
  };
  const auto kind_of = [](int ov2_id, int id) {
    return id == ov2_id ? poi::FileKind::ov2 : poi::FileKind::text;
  };
  switch (id) {
    case c::kMasterText:
    case c::kMasterOv2:
      choose_input(Slot::master, kind_of(c::kMasterOv2, id));
      read_exclusions_file(program, dialog);
      return true;
    case c::kUpdateText:
    case c::kUpdateOv2:
      choose_input(Slot::update, kind_of(c::kUpdateOv2, id));
      return true;
    case c::kOutputText:
    case c::kOutputOv2:
      program.output.kind = kind_of(c::kOutputOv2, id);
      choose_output_file(program, dialog, filter_of(program.output.kind));
      return true;
    case c::kMasterClear:
      clear_slot(program, dialog, Slot::master);
      return true;
    case c::kUpdateClear:
      clear_slot(program, dialog, Slot::update);
      return true;
    case c::kOutputClear:
      clear_slot(program, dialog, Slot::output);
      return true;
    default:
      return false;
  }
}

}  // namespace

bool handle_slot_button(Program& program, ui::DialogLayer& dialog, int id) {
  if (!press_slot_button(program, dialog, id)) return false;
  // The status line told of the last run over the slots as they were.
  dialog.put_text(c::kRunStatus, " ");
  return true;
}

}  // namespace pinwright::app
