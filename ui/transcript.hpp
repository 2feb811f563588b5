#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog_layer.hpp"

namespace pinwright::ui {

// The lines a dialog layer prints to describe what happens in its window. The
// scripted layer prints them as its transcript; the Qt layer prints the same
// control lines, so both can be compared line by line.

// `text` in double quotes: backslash, double quote, carriage return, line feed
// and tab as \\ \" \r \n \t; other bytes below 0x20 and 0x7F as \xHH; all
// other bytes as they are.
std::string quote(std::string_view text);

// `text` without trailing blanks, except that a text of blanks only keeps one.
std::string_view shown_text(std::string_view text);

std::string_view state_name(FieldState state);

// What a `show` line tells about one control.
struct ControlView {
  int id = 0;
  std::string text;  // caption or content as last put
  FieldState state = FieldState::enabled;
  std::optional<bool> checked;         // check boxes only
  std::optional<std::string> picture;  // picture fields only: the bitmap drawn last
};

// control ID text="..." state=S [checked=yes|no] [picture="..."]
std::string control_line(const ControlView& control);

std::string_view icon_name(Icon icon);
std::string_view button_set_name(ButtonSet buttons);

// box icon=ICON buttons=SET default=N title="..." text="..." -> WORD
std::string box_line(Icon icon, ButtonSet buttons, int default_button, std::string_view title,
                     std::string_view text, std::string_view answer);

// file-dialog open|save title="..." filter="..." start="..." -> "PATH" | cancel
// Title, filter and start lose their trailing blanks; the path is shown as chosen.
std::string file_dialog_line(FileDialogForm form, std::string_view title, std::string_view filter,
                             std::string_view start_path, const std::optional<std::string>& chosen);

// help "FILE", or help close for a blank name
std::string help_line(std::string_view help_file);

}  // namespace pinwright::ui
