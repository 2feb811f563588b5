#pragma once

#include <string_view>

#include "app/program.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// Start (1027): the run from the first entry; the idle labels come back when
// it finishes without a review.
void start_button(Program& program, ui::DialogLayer& dialog);

// A decision button (1001, 1002, 1015, 1016, 1035) on the pending pair.
void decision_button(Program& program, ui::DialogLayer& dialog, int id);

// Back (1060): the previous review stop of the run.
void back_button(Program& program, ui::DialogLayer& dialog);

// Quit (1030): after a Yes, the Output file is closed and deleted and the
// Output slot emptied, so that Start waits for a new Output file.
void quit_button(Program& program, ui::DialogLayer& dialog);

// Asks with the Quit box and, on Yes, abandons the run as Quit does; true
// after a Yes. Nothing is asked without an Output file.
bool quit_run(Program& program, ui::DialogLayer& dialog);

// Whether a run has started and not ended: a pair waits for the user.
bool run_pending(const Program& program);

// Help (1003): the help file at its contents.
void help_button(ui::DialogLayer& dialog);

inline constexpr std::string_view kHelpFile = "Pinwright.hlp";

}  // namespace pinwright::app
