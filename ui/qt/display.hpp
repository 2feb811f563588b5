#pragma once

#include <string>
#include <string_view>

namespace pinwright::ui::qt {

// Said on standard error, and the program ends with status 1, when there is no
// display to show the window on; Qt itself would abort.
inline constexpr std::string_view kNoDisplayMessage =
    "pinwright: no display to show the window on (set DISPLAY or WAYLAND_DISPLAY); without a "
    "window, run scripts with pinwright-script, or the demo with make run";

// The platform Qt is asked for: a `-platform` (or `--platform`) argument, else
// `environment` (QT_QPA_PLATFORM, may be null); empty for Qt's default.
std::string requested_platform(int argc, const char* const* argv, const char* environment);

// Whether `platform` (a list like "xcb;offscreen", each name possibly followed
// by ":options") can show a window given which display variables are set.
// Only X11 (xcb) and Wayland need a display server; offscreen, minimal, vnc,
// linuxfb and the like draw without one.
bool can_show_window(std::string_view platform, bool x11_display, bool wayland_display);

}  // namespace pinwright::ui::qt
