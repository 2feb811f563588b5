#pragma once

#include "app/program.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// Clears the review area and sets the labels and button states that depend
// on the kind of run (an Update file loaded or not); the idle state of the buttons.
// Also gives the file slots' Text, OV2 and Clear buttons back.
void mode_labels(const Program& program, ui::DialogLayer& dialog);

// The Text, OV2 and Clear buttons of the three file slots. While a review
// waits they are disabled: a file changed under the pending run would make
// its result of two files.
void set_slot_buttons(ui::DialogLayer& dialog, ui::FieldState state);

// Field-changed event of a check box or the radius combo box: 1053 and 1054
// exclude each other; a new radius rebuilds the caption of 1053.
void handle_field_change(Program& program, ui::DialogLayer& dialog, int id);

// The caption of 1053 from the combo box's text: "< " + the number + " metres",
// at most 13 characters.
void rebuild_radius_caption(Program& program, ui::DialogLayer& dialog);

// Draws each slot's symbol bitmap again (Master, Update, Output) where one is set.
void redraw_symbols(const Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
