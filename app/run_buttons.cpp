#include "app/run_buttons.hpp"

#include "app/file_slots.hpp"
#include "app/options.hpp"
#include "engine/review.hpp"
#include "engine/run.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace {

void after_run(Program& program, engine::RunStop stop) {
  if (stop == engine::RunStop::finished) mode_labels(program);
}

}  // namespace

void start_button(Program& program) {
  after_run(program, engine::start_run(program));
}

void decision_button(Program& program, int id) {
  after_run(program, engine::decide(program, id));
}

void quit_button(Program& program) {
  if (!program.output_chosen) return;
  const int answer = program.dialog.message_box(ui::ButtonSet::yes_no, ui::Icon::question, 1,
                                                "Delete the output file and quit", "Quit");
  if (answer != ui::kAnswerOkYesRetry) return;
  // A text Output is open since it was chosen: a file that has taken its
  // place meanwhile is not the program's to delete.
  const bool own_file = program.output_is_ov2 || program.output_file.is_at_path();
  program.output_file.close();
  if (own_file) program.dialog.delete_file(program.output_path);
  program.dialog.put_text(ui::control::kOutputPath, " ");
  mode_labels(program);
  // The Output file is gone: a run must not write into it, so Start waits
  // for a new one.
  clear_slot(program, Slot::output);
}

void help_button(Program& program) {
  program.dialog.help(kHelpFile);
}

}  // namespace pinwright::app
