#pragma once

#include <string>
#include <string_view>

#include "app/program.hpp"
#include "poi/file_system.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// Where the program's own files lie; every front end finds them alike.
using poi::program_dir_from;

// The program's life after `program_dir` is set: the marker test, bringing up
// the dialog, the event loop, and closing down. Returns the exit status.
int run_program(Program& program, ui::DialogLayer& dialog);

// Each step on its own, for those who drive the program in pieces.
void start_up(Program& program, ui::DialogLayer& dialog);
void run_event_loop(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
