#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include "ui/dialog_layer.hpp"
#include "ui/text_encoding.hpp"

class QAbstractButton;
class QMenuBar;
class QSettings;
class QWidget;

namespace pinwright::ui::qt {

class MainWindow;
class WindowSettings;

// The dialog layer over Qt Widgets. The main dialog comes from
// resources/main_dialog.ui; its controls are found by their "controlId"
// property. Events are queued by the widgets' signals and handed out by
// wait_for_event(), which runs Qt's event loop until one is there, so the
// program keeps a loop of its own. Needs a QApplication.
//
// Field-changed events come from the user only: a check box or the combo box
// changed by the program itself (set_check_box, put_text) queues nothing, so
// a handler that unchecks one box when the other is checked cannot start a
// chain of events.
class QtDialog : public DialogLayer {
 public:
  QtDialog();
  ~QtDialog() override;
  QtDialog(const QtDialog&) = delete;
  QtDialog& operator=(const QtDialog&) = delete;

  // Settings kept between program lives in `store`, read from the window's
  // start (call before load_main_dialog) and written at close_down. Without
  // a store (the default) the window remembers nothing.
  void use_settings(std::unique_ptr<QSettings> store);

  void load_main_dialog() override;
  void show_dialog() override;
  void set_title(std::string_view title) override;
  void put_text(int id, std::string_view text) override;
  std::string get_text(int id) override;
  void set_field_state(int id, FieldState state) override;
  bool get_check_box(int id) override;
  void set_check_box(int id, bool checked) override;
  void enable_event_kind(EventKind kind, bool enabled) override;
  Event wait_for_event() override;
  int message_box(ButtonSet buttons, Icon icon, int default_button, std::string_view text,
                  std::string_view title) override;
  std::optional<std::string> choose_file(std::string_view filter, FileDialogForm form,
                                         std::string_view start_path,
                                         std::string_view title) override;
  void remember_file(poi::Slot slot, std::string_view path) override;
  void help(std::string_view help_file) override;
  void draw_picture(int id, std::string_view bitmap_path) override;
  void put_map(int id, const std::optional<map::SceneInput>& input) override;
  void close_down() override;

  // For tests and tools: the window and what its controls show now.
  MainWindow* window() const { return window_.get(); }
  QWidget* widget(int id) const;
  std::vector<int> control_ids() const;
  // Caption or content as bytes ("" for a picture, the current text for the combo box).
  std::string text(int id) const;
  // Whether a script's `show all` lists the control (see main_dialog.ui).
  bool listed(int id) const;
  // Hidden when hidden, otherwise the access last set (or the description's).
  FieldState state(int id) const;
  // Check boxes only.
  std::optional<bool> checked(int id) const;
  // Picture fields only: the bitmap drawn into the field last, "" when none.
  std::optional<std::string> picture(int id) const;
  // The menu bar, whose items press the buttons.
  QMenuBar* menu_bar() const { return menu_bar_; }
  // The help window, while it is open.
  QTextBrowser* help_window() const { return help_window_.data(); }
  // Events queued and not yet handed out.
  std::size_t pending_events() const { return events_.size(); }
  // The program is idle in wait_for_event(), not inside a handler (nor in a
  // dialog a handler opened).
  bool waiting_for_event() const { return waiting_; }

 private:
  void connect_controls();
  // Settings: the options set as the user would, once the program takes
  // field changes; the window's place and size before it shows (on screen,
  // the whole window when the screen has room); all of it at the end.
  void restore_options();
  void place_window();
  // Once shown: wholly on its screen, frame and all, and no larger than the
  // screen has room for.
  void keep_on_screen();
  void save_settings();
  void add_recent_files_menu();
  void apply_field_state(QWidget* control, int id, FieldState state);
  // A button's or check box's caption with its Alt+letter, and its tooltip.
  void show_caption(QAbstractButton* button, int id, const QString& caption);
  // A control that loses the focus to the program hands it on to Start, or
  // else to the Output slot's Text button: a new Output file comes next.
  void focus_next_step();
  // The focus is to go to the Output slot's Text button when it is enabled.
  bool output_text_wants_focus_ = false;
  // `file`: a file dropped on a slot, the answer to the file dialog the
  // event's button opens.
  void queue(Event event, std::optional<std::string> file = std::nullopt);
  // A file dropped on the group `group_id`: the slot's button for its kind is
  // pressed with it, or a box says why it is refused.
  void drop_file(int group_id, const QString& path);
  bool slot_takes_drops(int group_id) const;
  void queue_field_change(int id);
  QString shown_text(int id) const;
  // The encoding a user's edit of the control is written in (see entry_encoding).
  TextEncoding field_encoding(int id) const;
  // Tells the user, once the current event is done, why a typed character was refused.
  void refuse_character(const QString& character);

  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<WindowSettings> settings_;
  bool options_restored_ = false;
  // The button whose event is being handled, 0 for another event.
  int current_button_ = 0;
  QMenuBar* menu_bar_ = nullptr;
  std::map<int, QWidget*> controls_;
  std::map<int, FieldState> access_;
  std::map<int, std::string> pictures_;
  // What the program put into each control: a text is shown in the encoding
  // its bytes fit and read back byte for byte unless the user edits it.
  std::map<int, FieldText> put_texts_;
  struct QueuedEvent {
    Event event;
    std::optional<std::string> file;
  };
  std::deque<QueuedEvent> events_;
  // The file given with the event being handled, until a file dialog takes it.
  std::optional<std::string> file_for_event_;
  QPointer<QTextBrowser> help_window_;
  bool field_changes_enabled_ = false;
  bool program_is_setting_ = false;
  bool refusal_pending_ = false;
  bool waiting_ = false;
};

}  // namespace pinwright::ui::qt
