#include "app/startup.hpp"

#include "app/dispatch.hpp"
#include "app/options.hpp"
#include "poi/file_system.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {

namespace c = ui::control;

namespace {

constexpr std::string_view kMarkerFile = "DeduRuvav_output.yes";
constexpr std::string_view kTitle = "Pinwright Pro v2.03";

}  // namespace

void start_up(Program& program, ui::DialogLayer& dialog) {
  // Only the marker's existence counts; nothing is read from it.
  program.matches_report_enabled = poi::file_exists(program.program_dir + std::string(kMarkerFile));
  dialog.load_main_dialog();
  dialog.set_title(kTitle);
  dialog.show_dialog();
  dialog.set_field_state(c::kStart, ui::FieldState::disabled);
  // No Update file is loaded yet: the duplicate-run captions.
  dialog.put_text(c::kFirstDecision, "Keep");
  dialog.put_text(c::kSecondDecision, "Delete Master entry");
  mode_labels(program, dialog);
  dialog.enable_event_kind(ui::EventKind::field_changed, true);
}

void run_event_loop(Program& program, ui::DialogLayer& dialog) {
  while (!program.quit_requested) {
    const ui::Event event = dialog.wait_for_event();
    switch (event.kind) {
      case ui::EventKind::session_ended:
        exit_program(program, dialog);
        break;
      case ui::EventKind::push_button:
        dispatch(program, dialog, event.value);
        break;
      case ui::EventKind::repaint:
        redraw_symbols(program, dialog);
        break;
      case ui::EventKind::field_changed:
        handle_field_change(program, dialog, event.value);
        break;
      default:
        break;  // other kinds are ignored
    }
  }
}

int run_program(Program& program, ui::DialogLayer& dialog) {
  start_up(program, dialog);
  run_event_loop(program, dialog);
  dialog.close_down();
  return 0;
}

}  // namespace pinwright::app
