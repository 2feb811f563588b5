#pragma once

#include <string>
#include <string_view>

#include "app/program.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// The directory of the program's own file, ending with '/': the directory of
// the running executable as the system reports it (links resolved), or, when
// it does not, the directory part of `argv0`, or "./" for a bare name.
std::string program_dir_from(std::string_view argv0);
// The same rule with the system's answer given: `own_file` empty when unknown.
std::string program_dir_from(std::string_view own_file, std::string_view argv0);

// The program's life after `program_dir` is set: the marker test, bringing up
// the dialog, the event loop, and closing down. Returns the exit status.
int run_program(Program& program, ui::DialogLayer& dialog);

// Each step on its own, for those who drive the program in pieces.
void start_up(Program& program, ui::DialogLayer& dialog);
void run_event_loop(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
