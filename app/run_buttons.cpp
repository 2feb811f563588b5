#include "app/run_buttons.hpp"

#include "app/file_slots.hpp"
#include "app/options.hpp"
#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "poi/file_system.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace {

void after_run(const Program& program, ui::DialogLayer& dialog, RunStop stop) {
  if (stop == RunStop::finished) mode_labels(program, dialog);
}

}  // namespace

void start_button(Program& program, ui::DialogLayer& dialog) {
  after_run(program, dialog, start_run(program, dialog));
}

void decision_button(Program& program, ui::DialogLayer& dialog, int id) {
  after_run(program, dialog, decide(program, dialog, id));
}

void back_button(Program& program, ui::DialogLayer& dialog) {
  back(program, dialog);
}

void quit_button(Program& program, ui::DialogLayer& dialog) {
  quit_run(program, dialog);
}

bool run_pending(const Program& program) {
  return engine::pair_pending(program);
}

bool quit_run(Program& program, ui::DialogLayer& dialog) {
  if (!program.output.loaded) return false;
  const int answer = dialog.message_box(ui::ButtonSet::yes_no, ui::Icon::question, 1,
                                        "Delete the output file and quit", "Quit");
  if (answer != ui::kAnswerOkYes) return false;
  // A text Output is open since it was chosen: a file that has taken its
  // place meanwhile is not the program's to delete.
  const bool own_file = program.output.is_ov2() || program.output_file.is_at_path();
  program.output_file.close();
  if (own_file) poi::delete_file(program.output.path);
  dialog.put_text(ui::control::kOutputPath, " ");
  // No review waits any more.
  dialog.put_text(ui::control::kProgress, " ");
  dialog.put_map(ui::control::kMatchMap, std::nullopt);
  mode_labels(program, dialog);
  // The Output file is gone: a run must not write into it, so Start waits
  // for a new one.
  clear_slot(program, dialog, Slot::output);
  return true;
}

void help_button(ui::DialogLayer& dialog) {
  dialog.help(kHelpFile);
}

}  // namespace pinwright::app
