#include "app/dispatch.hpp"

#include "ui/controls.hpp"

namespace pinwright::app {

namespace c = ui::control;

void exit_program(Program& program) {
  program.quit_requested = true;
  program.dialog.help("");
}

void dispatch(Program& program, int id) {
  switch (id) {
    case c::kCancelCommand:
    case c::kExit:
      exit_program(program);
      break;
    default:
      break;
  }
}

}  // namespace pinwright::app
