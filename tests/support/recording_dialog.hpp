#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog_layer.hpp"

namespace pinwright::testing {

// A dialog layer for unit tests: keeps what the program put into each control,
// records every call in order, and answers events, message boxes and file
// dialogs from queues the test fills.
class RecordingDialog : public ui::DialogLayer {
 public:
  struct Control {
    std::string text;
    ui::FieldState state = ui::FieldState::enabled;
    bool checked = false;
    std::string picture;
  };
  struct MessageBox {
    ui::ButtonSet buttons;
    ui::Icon icon;
    int default_button;
    std::string text;
    std::string title;
  };
  struct FileDialog {
    std::string filter;
    ui::FileDialogForm form;
    std::string start_path;
    std::string title;
  };

  void load_main_dialog() override;
  void show_dialog() override;
  void set_title(std::string_view title) override;
  void put_text(int id, std::string_view text) override;
  std::string get_text(int id) override;
  void set_field_state(int id, ui::FieldState state) override;
  bool get_check_box(int id) override;
  void set_check_box(int id, bool checked) override;
  void enable_event_kind(ui::EventKind kind, bool enabled) override;
  // The next queued event; the cancel command when the queue is empty.
  ui::Event wait_for_event() override;
  // The next queued answer; 1 (OK) when none is queued.
  int message_box(ui::ButtonSet buttons, ui::Icon icon, int default_button, std::string_view text,
                  std::string_view title) override;
  // The next queued answer; cancel when none is queued.
  std::optional<std::string> choose_file(std::string_view filter, ui::FileDialogForm form,
                                         std::string_view start_path,
                                         std::string_view title) override;
  void remember_file(poi::Slot slot, std::string_view path) override;
  void help(std::string_view help_file) override;
  void draw_picture(int id, std::string_view bitmap_path) override;
  void put_map(int id, const std::optional<map::SceneInput>& input) override;
  void close_down() override;

  Control& control(int id) { return controls[id]; }

  std::map<int, Control> controls;
  // What the map field was given last.
  std::optional<map::SceneInput> map_input;
  std::vector<std::string> calls;
  std::deque<ui::Event> events;
  std::deque<int> box_answers;
  std::deque<std::optional<std::string>> file_answers;
  std::vector<MessageBox> boxes;
  std::vector<FileDialog> file_dialogs;
  // The files the program asked to remember, in order.
  std::vector<std::pair<poi::Slot, std::string>> remembered;
  std::string title;
  bool field_changes_enabled = false;
};

}  // namespace pinwright::testing
