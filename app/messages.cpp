#include "app/messages.hpp"

#include <string>

#include "poi/fixed_text.hpp"
#include "poi/paths.hpp"

namespace pinwright::app {

void show_message(ui::DialogLayer& dialog, std::string_view title, std::string_view text,
                  ui::Icon icon) {
  dialog.message_box(ui::ButtonSet::ok, icon, 1, text, title);
}

void show_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path) {
  std::string text(what);
  text += " could not be written completely:\r";
  text += poi::shorten_path(path, poi::kMessagePathWidth);
  show_message(dialog, kWriteErrorTitle, text, ui::Icon::exclamation);
}

std::string format_error_line(std::int64_t line, std::string_view text) {
  return "Line " + std::to_string(line) + ": " +
         std::string(text.substr(0, poi::utf8_safe_cut(text, poi::kFieldWidth)));
}

std::string read_failure_text(const poi::ReadFailure& failure) {
  switch (failure.kind) {
    case poi::ReadFailure::Kind::format_error:
      return failure.text + "\r" + format_error_line(failure.where, failure.line_text);
    case poi::ReadFailure::Kind::unsupported_record:
      return failure.text + "\rByte offset " + std::to_string(failure.where);
    default:  // a damaged file's text names the record's byte already
      return failure.text;
  }
}

}  // namespace pinwright::app
