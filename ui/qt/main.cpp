// `pinwright`: the program in its Qt window.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "ui/qt/display.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "ui/qt/window_settings.hpp"
#include "version.hpp"

namespace {

bool is_set(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so it needs no display.
  bool with_settings = true;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--version") {
      std::cout << "pinwright " << pinwright::kVersion << '\n';
      return std::cout.flush() ? 0 : 1;
    }
    if (std::string_view(argv[i]) == "--no-settings") with_settings = false;
  }
  // Qt aborts when its platform cannot connect; say why in words instead.
  using namespace pinwright::ui::qt;
  const std::string platform = requested_platform(argc, argv, std::getenv("QT_QPA_PLATFORM"));
  if (!can_show_window(platform, is_set("DISPLAY"), is_set("WAYLAND_DISPLAY"))) {
    std::cerr << kNoDisplayMessage << '\n';
    return 1;
  }
  QApplication application(argc, argv);
  pinwright::ui::qt::QtDialog dialog;
  if (with_settings) dialog.use_settings(pinwright::ui::qt::WindowSettings::user_store());
  pinwright::app::Program program;
  program.program_dir = pinwright::app::program_dir_from(argc > 0 ? argv[0] : "");
  return pinwright::app::run_program(program, dialog);
}
