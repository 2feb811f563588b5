#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_layer.hpp"

namespace pinwright::ui {

// The main dialog as resources/main_dialog.ui describes it: a Qt Designer file
// in which every control is a widget carrying its identifier in the dynamic
// property `controlId`. The Qt layer builds its window from that file; the
// scripted layer reads the same file through this reader, so the two cannot
// drift apart.

enum class ControlKind { group_box, button, check_box, combo_box, edit, static_text, picture, map };

struct ControlDescription {
  int id = 0;
  ControlKind kind = ControlKind::static_text;
  // Caption (group box title, button, check box, static text), the initial
  // content of an edit field, the selected item of the combo box; empty for a picture.
  std::string text;
  FieldState state = FieldState::enabled;  // disabled, read-only (edits) or enabled
  bool checked = false;                    // check boxes
  std::vector<std::string> items;          // combo box
  int selected_item = -1;                  // combo box: index into items, -1 for none
  bool is_default = false;                 // the default push button
  // Whether `show all` of a script lists it: false for the run panel, which
  // came later (property "listed").
  bool listed = true;
};

struct DialogDescription {
  std::vector<ControlDescription> controls;  // in identifier order

  const ControlDescription* find(int id) const;
};

struct DescriptionResult {
  std::optional<DialogDescription> dialog;
  std::string error;  // "line N: reason" when `dialog` is empty
};

// Reads a Designer file with pugixml. XML that pugixml refuses, a second root
// element, a widget class that is not a known control kind, a repeated or
// malformed identifier, a property of the wrong type or a combo box selection
// outside its items is an error. Properties the reader does not need
// (geometry, fonts, ...) are skipped.
DescriptionResult read_dialog_description(std::string_view designer_xml);

// The text of resources/main_dialog.ui, built into the program.
std::string_view main_dialog_designer_xml();

}  // namespace pinwright::ui
