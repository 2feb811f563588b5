#include "tests/support/recording_dialog.hpp"

namespace pinwright::testing {

void RecordingDialog::load_main_dialog() {
  calls.push_back("load_main_dialog");
}

void RecordingDialog::show_dialog() {
  calls.push_back("show_dialog");
}

void RecordingDialog::set_title(std::string_view text) {
  title = text;
  calls.push_back("set_title \"" + title + "\"");
}

void RecordingDialog::put_text(int id, std::string_view text) {
  controls[id].text = text;
  calls.push_back("put_text " + std::to_string(id) + " \"" + std::string(text) + "\"");
}

std::string RecordingDialog::get_text(int id) {
  return controls[id].text;
}

void RecordingDialog::set_field_state(int id, ui::FieldState state) {
  controls[id].state = state;
  calls.push_back("set_field_state " + std::to_string(id) + " " +
                  std::to_string(static_cast<int>(state)));
}

bool RecordingDialog::get_check_box(int id) {
  return controls[id].checked;
}

void RecordingDialog::set_check_box(int id, bool checked) {
  controls[id].checked = checked;
  calls.push_back("set_check_box " + std::to_string(id) + " " + (checked ? "1" : "0"));
}

void RecordingDialog::enable_event_kind(ui::EventKind kind, bool enabled) {
  if (kind == ui::EventKind::field_changed) field_changes_enabled = enabled;
  calls.push_back("enable_event_kind " + std::to_string(static_cast<int>(kind)) +
                  (enabled ? " on" : " off"));
}

ui::Event RecordingDialog::wait_for_event() {
  if (events.empty()) return {ui::EventKind::push_button, 2};
  const ui::Event event = events.front();
  events.pop_front();
  return event;
}

int RecordingDialog::message_box(ui::ButtonSet buttons, ui::Icon icon, int default_button,
                                 std::string_view text, std::string_view box_title) {
  boxes.push_back({buttons, icon, default_button, std::string(text), std::string(box_title)});
  calls.push_back("message_box \"" + std::string(box_title) + "\"");
  if (box_answers.empty()) return ui::kAnswerOkYes;
  const int answer = box_answers.front();
  box_answers.pop_front();
  return answer;
}

std::optional<std::string> RecordingDialog::choose_file(std::string_view filter,
                                                        ui::FileDialogForm form,
                                                        std::string_view start_path,
                                                        std::string_view dialog_title) {
  file_dialogs.push_back(
      {std::string(filter), form, std::string(start_path), std::string(dialog_title)});
  calls.push_back("choose_file \"" + std::string(dialog_title) + "\"");
  if (file_answers.empty()) return std::nullopt;
  auto answer = file_answers.front();
  file_answers.pop_front();
  return answer;
}

void RecordingDialog::remember_file(poi::Slot slot, std::string_view path) {
  remembered.emplace_back(slot, std::string(path));
}

void RecordingDialog::help(std::string_view help_file) {
  calls.push_back("help \"" + std::string(help_file) + "\"");
}

void RecordingDialog::draw_picture(int id, std::string_view bitmap_path) {
  controls[id].picture = bitmap_path;
  calls.push_back("draw_picture " + std::to_string(id) + " \"" + std::string(bitmap_path) + "\"");
}

void RecordingDialog::put_map(int id, const std::optional<map::SceneInput>& input) {
  map_input.reset();
  if (input) map_input.emplace(*input);
  calls.push_back("put_map " + std::to_string(id) +
                  (input ? " rows " + std::to_string(input->row1_entry) + " " +
                               std::to_string(input->row2_entry)
                         : " none"));
}

void RecordingDialog::close_down() {
  calls.push_back("close_down");
}

}  // namespace pinwright::testing
