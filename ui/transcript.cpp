#include "ui/transcript.hpp"

#include <array>

#include "poi/fixed_text.hpp"

namespace pinwright::ui {

std::string quote(std::string_view text) {
  static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        quoted += "\\\\";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          quoted += "\\x";
          quoted += kHex[byte >> 4];
          quoted += kHex[byte & 0x0F];
        } else {
          quoted += c;
        }
    }
  }
  quoted += '"';
  return quoted;
}

std::string_view shown_text(std::string_view text) {
  const std::string_view trimmed = poi::trim_right(text);
  if (trimmed.empty() && !text.empty()) return " ";
  return trimmed;
}

std::string_view state_name(FieldState state) {
  switch (state) {
    case FieldState::disabled:
      return "disabled";
    case FieldState::enabled:
      return "enabled";
    case FieldState::read_only:
      return "read-only";
    case FieldState::hidden:
      return "hidden";
  }
  return "enabled";
}

std::string control_line(const ControlView& control) {
  std::string line = "control " + std::to_string(control.id) +
                     " text=" + quote(shown_text(control.text)) +
                     " state=" + std::string(state_name(control.state));
  if (control.checked) line += *control.checked ? " checked=yes" : " checked=no";
  if (control.picture) line += " picture=" + quote(*control.picture);
  return line;
}

std::string_view icon_name(Icon icon) {
  switch (icon) {
    case Icon::question:
      return "question";
    case Icon::exclamation:
      return "exclamation";
    case Icon::information:
      return "information";
  }
  return "information";
}

std::string_view button_set_name(ButtonSet buttons) {
  switch (buttons) {
    case ButtonSet::ok:
      return "ok";
    case ButtonSet::yes_no:
      return "yes-no";
  }
  return "ok";
}

std::string box_line(Icon icon, ButtonSet buttons, int default_button, std::string_view title,
                     std::string_view text, std::string_view answer) {
  return "box icon=" + std::string(icon_name(icon)) +
         " buttons=" + std::string(button_set_name(buttons)) +
         " default=" + std::to_string(default_button) + " title=" + quote(title) +
         " text=" + quote(text) + " -> " + std::string(answer);
}

std::string file_dialog_line(FileDialogForm form, std::string_view title, std::string_view filter,
                             std::string_view start_path,
                             const std::optional<std::string>& chosen) {
  return std::string("file-dialog ") + (form == FileDialogForm::open ? "open" : "save") +
         " title=" + quote(poi::trim_right(title)) + " filter=" + quote(poi::trim_right(filter)) +
         " start=" + quote(poi::trim_right(start_path)) + " -> " +
         (chosen ? quote(*chosen) : std::string("cancel"));
}

std::string help_line(std::string_view help_file) {
  const std::string_view name = poi::trim_right(help_file);
  return name.empty() ? "help close" : "help " + quote(name);
}

}  // namespace pinwright::ui
