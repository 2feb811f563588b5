#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "map/scene.hpp"
#include "poi/file_slot.hpp"

namespace pinwright::ui {

// The toolkit services the program needs, and nothing else. The program talks
// to its window only through this interface, so it runs the same in the Qt
// window and under a script. Controls are addressed by their identifiers in
// the main dialog (see controls.hpp).
//
// Two pure text operations of the toolkit, justify left and lower-case, are
// plain functions in poi/fixed_text.hpp.

// `session_ended`: nobody is left to answer (a script has run out); the
// program ends without asking, unlike the cancel command, which is a user's.
enum class EventKind : int { session_ended = 0, push_button = 3, repaint = 7, field_changed = 10 };

struct Event {
  EventKind kind;
  int value = 0;  // the control identifier; 2 is the dialog's cancel command
};

enum class FieldState : int { disabled = 0, enabled = 1, read_only = 2, hidden = 3 };

// The boxes the program shows: a notice the user acknowledges, or a question.
enum class ButtonSet : int { ok, yes_no };

enum class Icon : int { question, exclamation, information };

// Result of a message box: 1 OK or Yes; 2 No; 0 closed without either.
inline constexpr int kAnswerOkYes = 1;
inline constexpr int kAnswerNo = 2;
inline constexpr int kAnswerNone = 0;

enum class FileDialogForm { open, save };

class DialogLayer {
 public:
  virtual ~DialogLayer() = default;

  // The main dialog (resources/main_dialog.ui) is made with its defaults; the
  // other operations work afterwards.
  virtual void load_main_dialog() = 0;
  // The main dialog appears, modeless, where the desktop puts it.
  virtual void show_dialog() = 0;
  virtual void set_title(std::string_view title) = 0;

  // Caption or content replaced; one blank clears it.
  virtual void put_text(int id, std::string_view text) = 0;
  // The field's text as bytes (the caller cuts or pads it to its length).
  virtual std::string get_text(int id) = 0;
  virtual void set_field_state(int id, FieldState state) = 0;
  virtual bool get_check_box(int id) = 0;
  virtual void set_check_box(int id, bool checked) = 0;

  // Field-changed events are delivered only once enabled; push-button and
  // repaint events always.
  virtual void enable_event_kind(EventKind kind, bool enabled) = 0;
  // Blocks until the next event.
  virtual Event wait_for_event() = 0;

  // `default_button` is 1 to 3; a carriage return in `text` breaks the line.
  // Returns 1, 2 or 0 as above.
  virtual int message_box(ButtonSet buttons, Icon icon, int default_button, std::string_view text,
                          std::string_view title) = 0;

  // `filter` is a list of description|pattern| pairs, patterns separated by
  // ';' ("Text files (*.asc, *.csv)|*.asc;*.csv|"). The save form asks before
  // overwriting. The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> choose_file(std::string_view filter, FileDialogForm form,
                                                 std::string_view start_path,
                                                 std::string_view title) = 0;

  // The slot took the file at `path`: an input read, or the Output chosen. A
  // window that remembers files between sessions keeps it (its folder, and
  // an input among the recent files); a file the slot refused is never
  // passed here.
  virtual void remember_file(poi::Slot slot, std::string_view path) = 0;

  // Shows the help file at its contents; a blank name closes the help.
  virtual void help(std::string_view help_file) = 0;
  // Draws the bitmap file into a picture field; a missing file draws nothing.
  virtual void draw_picture(int id, std::string_view bitmap_path) = 0;
  // The map field shows the scene of `input`, its view fitted anew to the
  // field; nothing clears it. The input's table and index must stay as they
  // are until the next call.
  virtual void put_map(int id, const std::optional<map::SceneInput>& input) = 0;

  // The dialog and the window go away.
  virtual void close_down() = 0;

  // The field's text as a whole number; an empty (or blank) text gives -999,
  // a text that is not a whole number nothing.
  std::optional<std::int32_t> get_integer(int id);
  // The field's text as a finite number; nothing when it is not one.
  std::optional<float> get_real(int id);
};

}  // namespace pinwright::ui
