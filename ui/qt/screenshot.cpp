// `pinwright-screenshot FILE.png`: the main dialog as it stands after start-up,
// rendered off screen into a picture (for the documentation).
#include <cstdio>

#include <QApplication>
#include <QPixmap>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialog.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pinwright-screenshot FILE.png\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pinwright::ui::qt::QtDialog dialog;
  pinwright::app::Program program;
  program.program_dir = pinwright::app::program_dir_from(argv[0]);
  pinwright::app::start_up(program, dialog);
  QCoreApplication::processEvents();

  const QString file = QString::fromLocal8Bit(argv[1]);
  if (!dialog.window()->grab().save(file, "PNG")) {
    std::fprintf(stderr, "pinwright-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  dialog.close_down();
  return 0;
}
