#include "app/options.hpp"

#include <array>

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace c = ui::control;
using ui::FieldState;

void mode_labels(const Program& program, ui::DialogLayer& dialog) {
  static constexpr std::array kReviewFields = {
      c::kRow1Name,     c::kRow1Information, c::kRow1Longitude,   c::kRow1Latitude,
      c::kRow1Entry,    c::kRow2Name,        c::kRow2Information, c::kRow2Longitude,
      c::kRow2Latitude, c::kRow2Entry,       c::kSeparation,      c::kNameSimilarity};
  for (const int id : kReviewFields) dialog.put_text(id, " ");
  if (program.is_update_run()) {
    dialog.put_text(c::kRow2Label, "Update Long/Lat deg");
    dialog.put_text(c::kOptionsGroup, "Updating Options");
    dialog.set_field_state(c::kPosition, FieldState::disabled);
    dialog.set_field_state(c::kText, FieldState::disabled);
    dialog.set_field_state(c::kBoth, FieldState::disabled);
    dialog.set_field_state(c::kAppend, FieldState::enabled);
    dialog.set_field_state(c::kKeepFirst, FieldState::hidden);
    dialog.put_text(c::kAutoLabel, "Skip if");
  } else {
    dialog.put_text(c::kRow2Label, "Matched Long/Lat deg");
    dialog.put_text(c::kOptionsGroup, "Duplicate Options");
    dialog.set_field_state(c::kPosition, FieldState::hidden);
    dialog.set_field_state(c::kText, FieldState::hidden);
    dialog.set_field_state(c::kBoth, FieldState::hidden);
    dialog.set_field_state(c::kAppend, FieldState::hidden);
    dialog.set_field_state(c::kKeepFirst, FieldState::enabled);
    dialog.put_text(c::kAutoLabel, "Delete if");
  }
  dialog.put_text(c::kUnderOneMetre, "< 1 or");
  dialog.put_text(c::kUnderRadius, poi::trim_right(program.radius_caption));
  dialog.set_field_state(c::kSecondDecision, FieldState::disabled);
  dialog.set_field_state(c::kFirstDecision, FieldState::disabled);
  dialog.set_field_state(c::kQuit, FieldState::disabled);
  dialog.set_field_state(c::kBack, FieldState::disabled);
  dialog.set_field_state(c::kExit, FieldState::enabled);
  set_slot_buttons(dialog, FieldState::enabled);
}

void set_slot_buttons(ui::DialogLayer& dialog, FieldState state) {
  static constexpr std::array kSlotButtons = {c::kMasterText, c::kMasterOv2, c::kMasterClear,
                                              c::kUpdateText, c::kUpdateOv2, c::kUpdateClear,
                                              c::kOutputText, c::kOutputOv2, c::kOutputClear};
  for (const int id : kSlotButtons) dialog.set_field_state(id, state);
}

void handle_field_change(Program& program, ui::DialogLayer& dialog, int id) {
  if (id == c::kUnderOneMetre) {
    if (dialog.get_check_box(c::kUnderOneMetre)) dialog.set_check_box(c::kUnderRadius, false);
  } else if (id == c::kUnderRadius) {
    if (dialog.get_check_box(c::kUnderRadius)) dialog.set_check_box(c::kUnderOneMetre, false);
  } else if (id == c::kRadiusCombo) {
    rebuild_radius_caption(program, dialog);
  }
}

void rebuild_radius_caption(Program& program, ui::DialogLayer& dialog) {
  // A text that is not a whole number shows as asterisks, as the number field would.
  const auto value = dialog.get_integer(c::kRadiusCombo);
  const std::string number = value ? poi::i4(*value) : std::string(4, '*');
  const std::string justified = poi::justify_left(number);
  const std::string_view digits = poi::trim_right(justified);
  program.radius_caption = ("< " + std::string(digits) + " metres").substr(0, 13);
  dialog.put_text(c::kUnderRadius, program.radius_caption);
}

void redraw_symbols(const Program& program, ui::DialogLayer& dialog) {
  const std::array<std::pair<const poi::FileSlot*, int>, 3> slots = {{
      {&program.master, c::kMasterSymbol},
      {&program.update, c::kUpdateSymbol},
      {&program.output, c::kOutputSymbol},
  }};
  for (const auto& [slot, id] : slots) {
    if (!slot->symbol_path.empty()) dialog.draw_picture(id, slot->symbol_path);
  }
}

}  // namespace pinwright::app
