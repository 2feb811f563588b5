#pragma once

#include "app/program.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// A push-button event: the action of button `id` (2 is the dialog's cancel
// command). Identifiers without an action, such as the static and edit
// fields, are ignored.
void dispatch(Program& program, ui::DialogLayer& dialog, int id);

// Exit (1004) and the cancel command: the loop ends once the handler returns;
// the help window, if open, is closed.
void exit_program(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
