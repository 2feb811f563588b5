#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/dialog_description.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::ui::script {

// One line of a script, without its line end; `number` counts from 1.
struct ScriptLine {
  int number = 0;
  std::string text;
};

// Splits a script at its line ends (LF or CR LF).
std::vector<ScriptLine> split_lines(std::string_view script);

// A TEXT or PATH of a script line: "\\" is a backslash, "\xHH" the byte with
// hexadecimal value HH; nothing else is special.
std::string decode_text(std::string_view text);

// The script cannot go on: a malformed line, a command for the wrong kind of
// control, a missing or impossible answer. It unwinds the program to the
// runner, which reports "script:LINE: reason" and stops.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& reason);
  int line() const { return line_; }

 private:
  int line_;
};

// The dialog layer driven by a script instead of a user. Events, answers to
// message boxes and file dialogs come from the script's lines as the program
// asks for them; what the window would show goes to `transcript`, one line
// each. A script that runs out while the program waits for an event ends
// the session; `press 2` is the user's cancel command. A box with only OK
// answers itself, unless the script answers it: `show` lines followed by
// `answer ok` look at the window while the box is up.
class ScriptedDialog : public DialogLayer {
 public:
  ScriptedDialog(const DialogDescription& description, std::vector<ScriptLine> script,
                 std::ostream& transcript);

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

 private:
  struct Control {
    ControlKind kind;
    std::string text;
    FieldState state;
    bool checked;
    std::string picture;
    bool listed;
  };

  // A script line without its surrounding blanks, split into the command
  // word and what follows the one blank after it.
  struct Command {
    int line;
    std::string text;
    std::string word;
    std::optional<std::string> rest;
  };

  // The next line that is not empty or a comment; nothing at the end.
  std::optional<Command> next_command();
  // The line after the last one, where a missing answer should have been.
  int end_line() const;
  // Whether the script answers the box now on screen itself: an `answer`
  // follows, after nothing but `show` lines.
  bool answer_follows_shows();
  // Reads the answer to the box titled `title`, running the `show` lines
  // before it; what the answer returns to the program, and its word.
  std::pair<int, std::string> read_answer(ButtonSet buttons, std::string_view title);

  // Runs one command read while the program waits for an event; the event
  // it gives, if any.
  std::optional<Event> run(const Command& command);
  void show(const Command& command);
  void show_map(int id);
  void show_remembered();
  Control& operable(const Command& command, ControlKind kind, std::string_view kind_name, int id);
  bool can_operate(const Control& control) const;
  std::optional<Event> dropped(const Command& command);
  std::optional<Event> field_changed(int id) const;

  Control* find(int id);
  void print(const std::string& line);

  const DialogDescription& description_;
  std::vector<ScriptLine> script_;
  std::size_t next_line_ = 0;
  std::ostream& transcript_;
  std::map<int, Control> controls_;
  // What each map field shows, by identifier; none when absent.
  std::map<int, map::SceneInput> maps_;
  // The files the program asked the window to remember, in order.
  std::vector<std::pair<poi::Slot, std::string>> remembered_;
  bool field_changes_enabled_ = false;
};

}  // namespace pinwright::ui::script
