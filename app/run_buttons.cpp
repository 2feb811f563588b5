#include "app/run_buttons.hpp"

#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

void start_button(Program& program, ui::DialogLayer& dialog) {
  start_run(program, dialog);
}

void decision_button(Program& program, ui::DialogLayer& dialog, int id) {
  decide(program, dialog, id);
}

void back_button(Program& program, ui::DialogLayer& dialog) {
  back(program, dialog);
}

void quit_button(Program& program, ui::DialogLayer& dialog) {
  quit_run(program, dialog, QuitDefault::yes);
}

bool run_pending(const Program& program) {
  return engine::pair_pending(program);
}

bool quit_run(Program& program, ui::DialogLayer& dialog, QuitDefault default_answer) {
  if (!program.output.loaded) return false;
  const int answer = dialog.message_box(ui::ButtonSet::yes_no, ui::Icon::question,
                                        default_answer == QuitDefault::yes ? 1 : 2,
                                        "Delete the output file and quit", "Quit");
  if (answer != ui::kAnswerOkYes) return false;
  abandon_run(program, dialog);
  return true;
}

void help_button(ui::DialogLayer& dialog) {
  dialog.help(kHelpFile);
}

}  // namespace pinwright::app
