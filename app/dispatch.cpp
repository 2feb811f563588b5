#include "app/dispatch.hpp"

#include "app/file_slots.hpp"
#include "app/run_buttons.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace c = ui::control;

void exit_program(Program& program, ui::DialogLayer& dialog) {
  program.quit_requested = true;
  dialog.help("");
}

void dispatch(Program& program, ui::DialogLayer& dialog, int id) {
  switch (id) {
    case c::kCancelCommand:
      // Closing the window in the middle of a review abandons the work of the
      // review: ask as Quit does, but Enter, perhaps pressed for the review,
      // keeps it.
      if (!run_pending(program) || quit_run(program, dialog, QuitDefault::no))
        exit_program(program, dialog);
      break;
    case c::kExit:
      exit_program(program, dialog);
      break;
    case c::kMasterText:
    case c::kMasterOv2:
    case c::kUpdateText:
    case c::kUpdateOv2:
    case c::kOutputText:
    case c::kOutputOv2:
    case c::kMasterClear:
    case c::kUpdateClear:
    case c::kOutputClear:
      handle_slot_button(program, dialog, id);
      break;
    case c::kStart:
      start_button(program, dialog);
      break;
    case c::kFirstDecision:
    case c::kSecondDecision:
    case c::kPosition:
    case c::kText:
    case c::kBoth:
      decision_button(program, dialog, id);
      break;
    case c::kBack:
      back_button(program, dialog);
      break;
    case c::kQuit:
      quit_button(program, dialog);
      break;
    case c::kHelp:
      help_button(dialog);
      break;
    default:
      break;
  }
}

}  // namespace pinwright::app
