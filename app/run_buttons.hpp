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

// Quit (1030): after a Yes, the run is abandoned and the Output slot emptied,
// so that Start waits for a new Output file. Nothing is written: a file at the
// Output's path stays as it was.
void quit_button(Program& program, ui::DialogLayer& dialog);

// Which answer of the Quit box Enter gives.
enum class QuitDefault { yes, no };

// Asks with the Quit box and, on Yes, abandons the run as Quit does; true
// after a Yes. Nothing is asked without an Output file.
bool quit_run(Program& program, ui::DialogLayer& dialog, QuitDefault default_answer);

// Whether a run has started and not ended: a pair waits for the user.
bool run_pending(const Program& program);

// Help (1003): the help file at its contents.
void help_button(ui::DialogLayer& dialog);

inline constexpr std::string_view kHelpFile = "Pinwright.hlp";

}  // namespace pinwright::app
