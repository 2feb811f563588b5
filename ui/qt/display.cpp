#include "ui/qt/display.hpp"

#include <cstring>

namespace pinwright::ui::qt {

std::string requested_platform(int argc, const char* const* argv, const char* environment) {
  // Qt reads the command line the same way: "--x" counts as "-x", the last one wins.
  std::string platform = environment ? environment : "";
  for (int i = 1; i + 1 < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--", 2) == 0) ++arg;
    if (std::strcmp(arg, "-platform") == 0) platform = argv[++i];
  }
  return platform;
}

bool can_show_window(std::string_view platform, bool x11_display, bool wayland_display) {
  if (platform.empty()) return x11_display || wayland_display;
  // Qt tries the names of the list in turn; one that can start is enough.
  while (!platform.empty()) {
    const std::size_t end = platform.find(';');
    std::string_view name = platform.substr(0, end);
    name = name.substr(0, name.find(':'));
    const bool usable = name == "xcb"                 ? x11_display
                        : name.starts_with("wayland") ? wayland_display
                                                      : !name.empty();
    if (usable) return true;
    platform = end == std::string_view::npos ? std::string_view() : platform.substr(end + 1);
  }
  return false;
}

}  // namespace pinwright::ui::qt
