// `pinwright`: the program in its Qt window.
#include <QApplication>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "ui/qt/qt_dialog.hpp"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pinwright::ui::qt::QtDialog dialog;
  pinwright::app::Program program;
  program.program_dir = pinwright::app::program_dir_from(argc > 0 ? argv[0] : "");
  return pinwright::app::run_program(program, dialog);
}
