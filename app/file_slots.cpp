#include "app/file_slots.hpp"

#include <filesystem>
#include <system_error>
#include <utility>

#include "app/options.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
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

std::string& symbol_path_of(Program& program, Slot slot) {
  switch (slot) {
    case Slot::master:
      return program.master_symbol_path;
    case Slot::update:
      return program.update_symbol_path;
    case Slot::output:
      break;
  }
  return program.output_symbol_path;
}

bool is_file(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

void show_box(Program& program, std::string_view title, std::string_view text) {
  program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::information, 1, text, title);
}

void show_conflict(Program& program) {
  show_box(program, poi::kFileOpenConflictTitle, poi::kFileOpenConflictText);
}

void hide_symbol(Program& program, Slot slot) {
  symbol_path_of(program, slot).clear();
  program.dialog.set_field_state(controls_of(slot).symbol, FieldState::hidden);
}

void enable_start_when_ready(Program& program) {
  if (program.master_loaded && program.output_chosen)
    program.dialog.set_field_state(c::kStart, FieldState::enabled);
}

// A failed choice leaves the slot empty, so that the dialog never shows a file
// that is not loaded, and Start disabled.
void fail_choice(Program& program, Slot slot) {
  clear_slot(program, slot);
  program.dialog.set_field_state(c::kStart, FieldState::disabled);
}

// A loaded input or the open excluded list must not become the Output file: a
// run abandoned with Quit deletes the Output file.
bool output_would_destroy(const Program& program, const std::string& path) {
  return (program.master_loaded && poi::same_file(path, program.master_path)) ||
         (program.update_mode && poi::same_file(path, program.update_path)) ||
         (program.excluded_list.is_open() && poi::same_file(path, program.excluded_list_path));
}

// Creates the text Output with its two header lines and keeps it open for the
// run. The header is closed and checked before the file is opened again, so a
// file that cannot be written shows now.
bool create_text_output(Program& program) {
  poi::OutputFile header(program.output_path, poi::OpenMode::truncate);
  poi::write_text_header(header, program.fixed_today ? *program.fixed_today : poi::local_today());
  if (!header.close()) return false;
  program.output_file = poi::OutputFile(program.output_path, poi::OpenMode::append);
  return program.output_file.is_open();
}

// The run creates an OV2 Output; whether it can is checked now, without
// changing an existing file or leaving a new one behind.
bool can_create(const std::string& path) {
  std::error_code error;
  const bool existed = std::filesystem::exists(path, error);
  poi::OutputFile probe(path, poi::OpenMode::append);
  const bool writable = probe.is_open() && probe.close();
  if (writable && !existed) std::filesystem::remove(path, error);
  return writable;
}

}  // namespace

std::string output_file_name(std::string_view chosen, bool ov2) {
  if (chosen.find('.') != std::string_view::npos) return std::string(chosen);
  return std::string(poi::trim_right(chosen)) + (ov2 ? ".ov2" : ".asc");
}

std::string symbol_candidate(std::string_view path) {
  const std::string_view trimmed = poi::trim_right(path);
  const std::size_t slash = trimmed.rfind('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = trimmed.find('.', name_start);
  if (dot == std::string_view::npos) return std::string(trimmed) + ".bmp";
  return std::string(trimmed.substr(0, dot + 1)) + "bmp";
}

void set_mode_captions(Program& program) {
  program.dialog.put_text(c::kFirstDecision, program.update_mode ? "Skip" : "Keep");
  program.dialog.put_text(c::kSecondDecision,
                          program.update_mode ? "Save as new entry" : "Delete Master entry");
  mode_labels(program);
}

void clear_slot(Program& program, Slot slot) {
  const SlotControls controls = controls_of(slot);
  ui::DialogLayer& dialog = program.dialog;
  switch (slot) {
    case Slot::master:
      program.master_loaded = false;
      break;
    case Slot::update:
      program.update_mode = false;
      break;
    case Slot::output:
      if (program.output_file.is_open()) program.output_file.close();
      program.output_chosen = false;
      break;
  }
  dialog.put_text(controls.path, " ");
  dialog.put_text(controls.count, " ");
  if (slot == Slot::update)
    set_mode_captions(program);
  else
    dialog.set_field_state(c::kStart, FieldState::disabled);
  hide_symbol(program, slot);
}

void show_symbol(Program& program, Slot slot, const std::string& path) {
  const std::string candidate = symbol_candidate(path);
  std::string bitmap;
  if (is_file(candidate)) {
    bitmap = candidate;
  } else if (slot == Slot::output) {
    const std::string beside = poi::directory_part(candidate) + std::string(kDefaultSymbolName);
    const std::string shipped = program.program_dir + std::string(kShippedSymbolName);
    bitmap = is_file(beside) ? beside : is_file(shipped) ? shipped : std::string{};
    // The OV2 Output gets a symbol of its own name.
    if (!bitmap.empty()) program.dialog.copy_file(bitmap, candidate);
  }
  // Without a bitmap the picture is hidden rather than left showing the
  // symbol of a file chosen earlier.
  if (bitmap.empty()) {
    hide_symbol(program, slot);
    return;
  }
  const int picture = controls_of(slot).symbol;
  symbol_path_of(program, slot) = bitmap;
  program.dialog.set_field_state(picture, FieldState::enabled);
  program.dialog.draw_picture(picture, bitmap);
}

void choose_input_file(Program& program, Slot slot) {
  const bool master = slot == Slot::master;
  const std::optional<std::string> chosen = program.dialog.choose_file(
      program.file_filter, ui::FileDialogForm::open, program.selected_path, kOpenFileTitle);
  if (!chosen) {
    clear_slot(program, slot);
    return;
  }
  program.selected_path = *chosen;
  (master ? program.master_path : program.update_path) = program.selected_path;
  (master ? program.master_loaded : program.update_mode) = false;
  const SlotControls controls = controls_of(slot);
  program.dialog.put_text(controls.path, poi::shorten_path(program.selected_path, kSlotPathLimit));

  if (program.output_chosen && poi::same_file(program.selected_path, program.output_path)) {
    show_conflict(program);
    fail_choice(program, slot);
    return;
  }
  const bool ov2 = master ? program.master_is_ov2 : program.update_is_ov2;
  poi::PoiTable& table = master ? program.master_table : program.update_table;
  poi::ReadResult result;
  // The run's index follows the Master table only through the run's own changes.
  if (master) program.match_index.reset();
  if (ov2) {
    program.ov2_input_path = program.selected_path;
    result = poi::read_ov2_file(program.ov2_input_path, table);
  } else {
    hide_symbol(program, slot);
    result = poi::read_text_poi_file(program.selected_path, table,
                                     master ? poi::TableSlot::master : poi::TableSlot::update);
  }
  // Nothing of a failed reading is used.
  const std::int32_t count = result.failure ? 0 : result.count;
  const std::int32_t comments = result.failure ? 0 : result.comment_count;
  if (master) {
    program.master_count = count;
    program.master_comment_count = comments;
  } else {
    program.update_count = count;
    program.update_poi_count = count - comments;
  }
  if (result.failure) {
    show_box(program, result.failure->title, result.failure->text);
    if (result.failure->is_fatal()) program.quit_requested = true;
    fail_choice(program, slot);
    return;
  }

  if (ov2) show_symbol(program, slot, program.selected_path);
  program.dialog.put_text(controls.count, std::string(kCountPrefix) + poi::i5(count - comments));
  (master ? program.master_loaded : program.update_mode) = true;
  set_mode_captions(program);
  enable_start_when_ready(program);
}

void choose_output_file(Program& program) {
  program.selected_path = poi::directory_part(program.selected_path);
  const std::optional<std::string> chosen = program.dialog.choose_file(
      program.file_filter, ui::FileDialogForm::save, program.selected_path, kSaveFileTitle);
  if (!chosen) {
    clear_slot(program, Slot::output);
    return;
  }
  program.selected_path = *chosen;
  if (program.output_file.is_open()) program.output_file.close();
  program.output_chosen = false;
  program.output_path = output_file_name(program.selected_path, program.output_is_ov2);

  const bool usable =
      !output_would_destroy(program, program.output_path) &&
      (program.output_is_ov2 ? can_create(program.output_path) : create_text_output(program));
  if (!usable) {
    show_conflict(program);
    fail_choice(program, Slot::output);
    return;
  }
  program.dialog.put_text(c::kOutputPath, poi::shorten_path(program.output_path, kSlotPathLimit));
  program.dialog.put_text(c::kOutputCount, " ");
  if (program.output_is_ov2)
    show_symbol(program, Slot::output, program.output_path);
  else
    hide_symbol(program, Slot::output);
  program.output_chosen = true;
  program.merged_count = 0;
  program.comment_counter = 0;
  enable_start_when_ready(program);
}

bool handle_slot_button(Program& program, int id) {
  const auto choose_input = [&](bool& kind_flag, bool ov2, Slot slot) {
    kind_flag = ov2;
    program.file_filter = ov2 ? kOv2Filter : kTextFilter;
    choose_input_file(program, slot);
  };
  const auto choose_output = [&](bool ov2) {
    program.output_is_ov2 = ov2;
    program.file_filter = ov2 ? kOv2Filter : kTextFilter;
    choose_output_file(program);
  };
  switch (id) {
    case c::kMasterText:
    case c::kMasterOv2:
      choose_input(program.master_is_ov2, id == c::kMasterOv2, Slot::master);
      // A fatal failure ends the program without writing anything more.
      if (!program.quit_requested) exclusion::read_exclusions(program);
      return true;
    case c::kUpdateText:
    case c::kUpdateOv2:
      choose_input(program.update_is_ov2, id == c::kUpdateOv2, Slot::update);
      return true;
    case c::kOutputText:
    case c::kOutputOv2:
      choose_output(id == c::kOutputOv2);
      return true;
    case c::kMasterClear:
      clear_slot(program, Slot::master);
      return true;
    case c::kUpdateClear:
      clear_slot(program, Slot::update);
      return true;
    case c::kOutputClear:
      clear_slot(program, Slot::output);
      return true;
    default:
      return false;
  }
}

}  // namespace pinwright::app
