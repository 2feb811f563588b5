// `pinwright-screenshot START.png REVIEW.png LARGE_REVIEW.png EXAMPLES`: the
// main dialog after start-up and at the first review stop of an update run of
// the example files (EXAMPLES/update.gpx into master.asc, into merged.gpx,
// worked on as copies in a temporary folder), in a window of 1024 x 600
// pixels, the stop once more at 1920 x 1080: rendered off screen into
// pictures for the documentation.
#include <cstdio>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "ui/controls.hpp"
#include "ui/qt/given_files_dialog.hpp"
#include "ui/qt/main_window.hpp"

namespace {

namespace c = pinwright::ui::control;
using pinwright::ui::qt::GivenFilesDialog;

// A small laptop screen, and a common desktop one.
constexpr QSize kSmall{1024, 600};
constexpr QSize kLarge{1920, 1080};

bool save(const GivenFilesDialog& dialog, QSize size, const QString& file) {
  dialog.window()->resize(size);
  QCoreApplication::processEvents();
  if (dialog.window()->grab().save(file, "PNG")) return true;
  std::fprintf(stderr, "pinwright-screenshot: cannot write %s\n", qPrintable(file));
  return false;
}

bool copy_examples(const QString& from, const QString& to) {
  for (const char* name : {"master.asc", "update.gpx", "exclusions.asc"}) {
    const QString file = QString::fromLatin1(name);
    if (!QFile::copy(from + u'/' + file, to + u'/' + file)) {
      std::fprintf(stderr, "pinwright-screenshot: cannot copy %s/%s\n", qPrintable(from), name);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: pinwright-screenshot START.png REVIEW.png LARGE_REVIEW.png EXAMPLES\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // The run works in a folder of its own; the pictures go where they were asked
  // for, so their paths are made whole before the current folder changes.
  QStringList pictures;
  for (int k = 1; k <= 3; ++k)
    pictures << QFileInfo(QString::fromLocal8Bit(argv[k])).absoluteFilePath();
  const QTemporaryDir folder;
  if (!folder.isValid() || !copy_examples(QString::fromLocal8Bit(argv[4]), folder.path())) return 1;
  // A message box would wait for an answer nobody gives: the pictures are then wrong.
  bool box_shown = false;
  QTimer boxes;
  QObject::connect(&boxes, &QTimer::timeout, &boxes, [&box_shown] {
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      box_shown = true;
      box->reject();
    }
  });
  boxes.start(50);

  GivenFilesDialog dialog;
  pinwright::app::Program program;
  program.program_dir = pinwright::app::program_dir_from(argv[0]);
  pinwright::app::start_up(program, dialog);
  if (!save(dialog, kSmall, pictures[0])) return 1;

  // Names relative to the folder: the slots show them as a user's own would look.
  QDir::setCurrent(folder.path());
  // The Update file as a navigation app exports it: the slot shows a GPX read.
  dialog.files = {"master.asc", "update.gpx", "merged.gpx"};
  for (const int id : {c::kMasterText, c::kUpdateText, c::kOutputText, c::kStart})
    pinwright::app::dispatch(program, dialog, id);
  if (box_shown || dialog.state(c::kFirstDecision) != pinwright::ui::FieldState::enabled) {
    std::fprintf(stderr, "pinwright-screenshot: the example run did not stop for review\n");
    return 1;
  }
  if (!save(dialog, kSmall, pictures[1]) || !save(dialog, kLarge, pictures[2])) return 1;
  dialog.close_down();
  return 0;
}
