#include "ui/script/scripted_dialog.hpp"

#include <algorithm>
#include <array>
#include <charconv>

#include "ui/controls.hpp"
#include "ui/transcript.hpp"

namespace pinwright::ui::script {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view strip_blanks(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The answer words, what each returns to the program, and the box that offers
// it. The script language knows more words than the program's boxes offer
// (cancel, retry, abort, ignore): a script using one is refused by name.
struct AnswerWord {
  std::string_view word;
  int result;
  std::optional<ButtonSet> offered_by;
};

constexpr std::array<AnswerWord, 7> kAnswerWords = {{
    {"ok", kAnswerOkYes, ButtonSet::ok},
    {"cancel", kAnswerNone, std::nullopt},
    {"yes", kAnswerOkYes, ButtonSet::yes_no},
    {"no", kAnswerNo, ButtonSet::yes_no},
    {"retry", kAnswerOkYes, std::nullopt},
    {"abort", kAnswerNo, std::nullopt},
    {"ignore", kAnswerNone, std::nullopt},
}};

// "ID" or "ID TEXT": the identifier and, after one blank, the rest of the line.
struct IdAndText {
  int id;
  std::optional<std::string> text;
};

IdAndText split_id(int line, std::string_view word, const std::optional<std::string>& rest) {
  if (!rest) throw ScriptError(line, std::string(word) + " needs a control identifier");
  const std::size_t blank = rest->find(' ');
  const std::string_view digits = std::string_view(*rest).substr(0, blank);
  int id = 0;
  const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), id);
  if (digits.empty() || digits.front() == '-' || parsed.ec != std::errc{} ||
      parsed.ptr != digits.data() + digits.size()) {
    throw ScriptError(line, quote(digits) + " is not a control identifier");
  }
  if (blank == std::string::npos) return {id, std::nullopt};
  return {id, rest->substr(blank + 1)};
}

int id_alone(int line, std::string_view word, const std::optional<std::string>& rest) {
  const IdAndText parsed = split_id(line, word, rest);
  if (parsed.text) {
    throw ScriptError(line, "unexpected " + quote(*parsed.text) + " after " + std::string(word) +
                                " " + std::to_string(parsed.id));
  }
  return parsed.id;
}

}  // namespace

ScriptError::ScriptError(int line, const std::string& reason)
    : std::runtime_error("script:" + std::to_string(line) + ": " + reason), line_(line) {}

std::vector<ScriptLine> split_lines(std::string_view script) {
  std::vector<ScriptLine> lines;
  int number = 0;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    std::string_view text = script.substr(0, end);
    if (text.ends_with('\r') && end != std::string_view::npos) text.remove_suffix(1);
    lines.push_back({++number, std::string(text)});
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
  }
  return lines;
}

std::string decode_text(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      decoded += '\\';
      ++i;
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
               hex_value(text[i + 2]) >= 0 && hex_value(text[i + 3]) >= 0) {
      decoded += static_cast<char>(hex_value(text[i + 2]) * 16 + hex_value(text[i + 3]));
      i += 3;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

ScriptedDialog::ScriptedDialog(const DialogDescription& description, std::vector<ScriptLine> script,
                               std::ostream& transcript)
    : description_(description), script_(std::move(script)), transcript_(transcript) {}

void ScriptedDialog::load_main_dialog() {
  controls_.clear();
  maps_.clear();
  for (const ControlDescription& control : description_.controls) {
    controls_[control.id] = {control.kind,    control.text, control.state,
                             control.checked, {},           control.listed};
  }
}

void ScriptedDialog::show_dialog() {}

void ScriptedDialog::set_title(std::string_view) {}

void ScriptedDialog::put_text(int id, std::string_view text) {
  if (Control* control = find(id)) control->text = text;
}

std::string ScriptedDialog::get_text(int id) {
  const Control* control = find(id);
  return control ? control->text : std::string();
}

void ScriptedDialog::set_field_state(int id, FieldState state) {
  if (Control* control = find(id)) control->state = state;
}

bool ScriptedDialog::get_check_box(int id) {
  const Control* control = find(id);
  return control && control->kind == ControlKind::check_box && control->checked;
}

void ScriptedDialog::set_check_box(int id, bool checked) {
  Control* control = find(id);
  if (control && control->kind == ControlKind::check_box) control->checked = checked;
}

void ScriptedDialog::enable_event_kind(EventKind kind, bool enabled) {
  if (kind == EventKind::field_changed) field_changes_enabled_ = enabled;
}

Event ScriptedDialog::wait_for_event() {
  while (const std::optional<Command> command = next_command()) {
    if (const std::optional<Event> event = run(*command)) return *event;
  }
  return {EventKind::session_ended, 0};
}

int ScriptedDialog::message_box(ButtonSet buttons, Icon icon, int default_button,
                                std::string_view text, std::string_view title) {
  if (buttons == ButtonSet::ok && !answer_follows_shows()) {
    print(box_line(icon, buttons, default_button, title, text, "ok"));
    return kAnswerOkYes;
  }
  const auto [result, word] = read_answer(buttons, title);
  print(box_line(icon, buttons, default_button, title, text, word));
  return result;
}

bool ScriptedDialog::answer_follows_shows() {
  const std::size_t from = next_line_;
  std::optional<Command> command = next_command();
  while (command && command->word == "show") command = next_command();
  next_line_ = from;
  return command && command->word == "answer";
}

std::pair<int, std::string> ScriptedDialog::read_answer(ButtonSet buttons, std::string_view title) {
  const std::string waiting = "the message box " + quote(title) + " waits for an answer";
  std::optional<Command> command = next_command();
  // Only a box that is answered by the script lets it look around first.
  while (command && command->word == "show" && answer_follows_shows()) {
    show(*command);
    command = next_command();
  }
  if (!command) throw ScriptError(end_line(), waiting + "; the script has ended");
  if (command->word != "answer") throw ScriptError(command->line, waiting);
  const std::string word = command->rest.value_or("");
  const auto answer = std::find_if(kAnswerWords.begin(), kAnswerWords.end(),
                                   [&](const AnswerWord& known) { return known.word == word; });
  if (answer == kAnswerWords.end())
    throw ScriptError(command->line, quote(word) + " is not an answer word");
  if (answer->offered_by != buttons) {
    throw ScriptError(command->line, "the message box " + quote(title) + " offers no " + word +
                                         " (its buttons: " + std::string(button_set_name(buttons)) +
                                         ")");
  }
  return {answer->result, word};
}

std::optional<std::string> ScriptedDialog::choose_file(std::string_view filter, FileDialogForm form,
                                                       std::string_view start_path,
                                                       std::string_view title) {
  const std::string waiting = "the file dialog " + quote(title) + " waits for file or file-cancel";
  const std::optional<Command> command = next_command();
  if (!command) throw ScriptError(end_line(), waiting + "; the script has ended");
  std::optional<std::string> chosen;
  if (command->word == "file") {
    if (!command->rest || command->rest->empty())
      throw ScriptError(command->line, "file needs a path");
    chosen = decode_text(*command->rest);
  } else if (command->word == "file-cancel") {
    if (command->rest) {
      throw ScriptError(command->line,
                        "unexpected " + quote(*command->rest) + " after file-cancel");
    }
  } else {
    throw ScriptError(command->line, waiting);
  }
  print(file_dialog_line(form, title, filter, start_path, chosen));
  return chosen;
}

void ScriptedDialog::remember_file(poi::Slot slot, std::string_view path) {
  remembered_.emplace_back(slot, std::string(path));
}

void ScriptedDialog::help(std::string_view help_file) {
  print(help_line(help_file));
}

void ScriptedDialog::draw_picture(int id, std::string_view bitmap_path) {
  Control* control = find(id);
  if (control && control->kind == ControlKind::picture) control->picture = bitmap_path;
}

void ScriptedDialog::put_map(int id, const std::optional<map::SceneInput>& input) {
  const Control* control = find(id);
  if (!control || control->kind != ControlKind::map) return;
  maps_.erase(id);
  if (input) maps_.emplace(id, *input);
}

void ScriptedDialog::close_down() {}

std::optional<ScriptedDialog::Command> ScriptedDialog::next_command() {
  while (next_line_ < script_.size()) {
    const ScriptLine& line = script_[next_line_++];
    const std::string_view text = strip_blanks(line.text);
    if (text.empty() || text.starts_with('#')) continue;
    Command command{line.number, std::string(text), {}, {}};
    const std::size_t blank = text.find(' ');
    command.word = text.substr(0, blank);
    if (blank != std::string_view::npos) command.rest = std::string(text.substr(blank + 1));
    return command;
  }
  return std::nullopt;
}

int ScriptedDialog::end_line() const {
  return script_.empty() ? 1 : script_.back().number + 1;
}

std::optional<Event> ScriptedDialog::run(const Command& command) {
  const std::string& word = command.word;
  if (word == "press") {
    const int id = id_alone(command.line, word, command.rest);
    if (id == control::kCancelCommand) return Event{EventKind::push_button, id};
    const Control& button = operable(command, ControlKind::button, "a button", id);
    if (!can_operate(button)) return dropped(command);
    return Event{EventKind::push_button, id};
  }
  if (word == "check") {
    const IdAndText parsed = split_id(command.line, word, command.rest);
    if (parsed.text != "on" && parsed.text != "off")
      throw ScriptError(command.line, "check takes on or off");
    Control& box = operable(command, ControlKind::check_box, "a check box", parsed.id);
    const bool wanted = parsed.text == "on";
    if (!can_operate(box) || box.checked == wanted) return dropped(command);
    box.checked = wanted;
    return field_changed(parsed.id);
  }
  if (word == "combo") {
    const IdAndText parsed = split_id(command.line, word, command.rest);
    Control& combo = operable(command, ControlKind::combo_box, "the combo box", parsed.id);
    if (!can_operate(combo)) return dropped(command);
    combo.text = decode_text(parsed.text.value_or(""));
    return field_changed(parsed.id);
  }
  if (word == "edit") {
    const IdAndText parsed = split_id(command.line, word, command.rest);
    Control& field = operable(command, ControlKind::edit, "an edit field", parsed.id);
    if (!can_operate(field) || field.state == FieldState::read_only) return dropped(command);
    field.text = decode_text(parsed.text.value_or(""));
    return std::nullopt;
  }
  if (word == "repaint") {
    if (command.rest)
      throw ScriptError(command.line, "unexpected " + quote(*command.rest) + " after repaint");
    return Event{EventKind::repaint, 0};
  }
  if (word == "show") {
    show(command);
    return std::nullopt;
  }
  if (word == "file" || word == "file-cancel")
    throw ScriptError(command.line, "no file dialog is waiting for " + word);
  if (word == "answer") throw ScriptError(command.line, "no message box is waiting for an answer");
  throw ScriptError(command.line, "unknown command " + quote(word));
}

void ScriptedDialog::show(const Command& command) {
  if (command.rest == "remembered") {
    show_remembered();
    return;
  }
  std::vector<int> ids;
  if (command.rest == "all") {
    for (const auto& [id, control] : controls_)
      if (control.listed) ids.push_back(id);
  } else {
    const int id = command.rest == "map" ? control::kMatchMap
                                         : id_alone(command.line, command.word, command.rest);
    if (!find(id))
      throw ScriptError(command.line, "no control " + std::to_string(id) + " in the main dialog");
    ids.push_back(id);
  }
  for (const int id : ids) {
    const Control& control = controls_.at(id);
    if (control.kind == ControlKind::map) {
      show_map(id);
      continue;
    }
    ControlView view{id, control.text, control.state, {}, {}};
    if (control.kind == ControlKind::check_box) view.checked = control.checked;
    if (control.kind == ControlKind::picture) view.picture = control.picture;
    print(control_line(view));
  }
}

// The scene at the size the input was fitted to, one line per element; a
// single line when no pair waits.
void ScriptedDialog::show_map(int id) {
  const auto shown = maps_.find(id);
  if (shown == maps_.end()) {
    print("map none");
    return;
  }
  for (const std::string& line : map::describe(map::build_scene(shown->second))) print(line);
}

// One line per file the window would keep for the next session, in the
// order the slots took them.
void ScriptedDialog::show_remembered() {
  if (remembered_.empty()) print("remembered none");
  for (const auto& [slot, path] : remembered_) {
    const std::string_view name = slot == poi::Slot::master   ? "master"
                                  : slot == poi::Slot::update ? "update"
                                                              : "output";
    print("remembered " + std::string(name) + " " + quote(path));
  }
}

ScriptedDialog::Control& ScriptedDialog::operable(const Command& command, ControlKind kind,
                                                  std::string_view kind_name, int id) {
  Control* control = find(id);
  if (!control)
    throw ScriptError(command.line, "no control " + std::to_string(id) + " in the main dialog");
  if (control->kind != kind) {
    throw ScriptError(command.line, std::to_string(id) + " is not " + std::string(kind_name));
  }
  return *control;
}

bool ScriptedDialog::can_operate(const Control& control) const {
  return control.state != FieldState::disabled && control.state != FieldState::hidden;
}

std::optional<Event> ScriptedDialog::dropped(const Command& command) {
  print("dropped " + command.text);
  return std::nullopt;
}

std::optional<Event> ScriptedDialog::field_changed(int id) const {
  if (!field_changes_enabled_) return std::nullopt;
  return Event{EventKind::field_changed, id};
}

ScriptedDialog::Control* ScriptedDialog::find(int id) {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

void ScriptedDialog::print(const std::string& line) {
  transcript_ << line << '\n';
}

}  // namespace pinwright::ui::script
