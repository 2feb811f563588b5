#pragma once

#include "app/program.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// A push-button event: the action of button `id`. The dialog's cancel
// command (2) ends the program as Exit does; while a run waits for a review it
// first asks with the Quit box, and No goes back to the review. Identifiers
// without an action, such as the static and edit fields, are ignored.
void dispatch(Program& program, ui::DialogLayer& dialog, int id);

// Exit (1004), the cancel command and the end of a session: the loop ends once the handler returns;
// the help window, if open, is closed.
void exit_program(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
