#pragma once

#include <string_view>

#include "poi/read_result.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

inline constexpr std::string_view kWriteErrorTitle = "Write error";

// A box with only OK: the way the program tells the user of anything.
void show_message(ui::DialogLayer& dialog, std::string_view title, std::string_view text,
                  ui::Icon icon = ui::Icon::information);

// A file that could not be written completely: "Write error" box naming it
// (`what` starts the sentence, for example "The Output file").
void show_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path);

// The line a format error names: "Line N: " and the line as read, cut to the
// field width.
std::string format_error_line(std::int64_t line, std::string_view text);

// The box text of a reader's failure, with where it happened when that helps
// the user find it in a long file.
std::string read_failure_text(const poi::ReadFailure& failure);

}  // namespace pinwright::app
