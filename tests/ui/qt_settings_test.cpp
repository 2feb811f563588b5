// What the window remembers: written in one program life, read in the next,
// from a settings file of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QUrl>

#include "app/dispatch.hpp"
#include "app/options.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "ui/qt/window_settings.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::EventKind;
using ui::qt::WindowSettings;

constexpr const char* kMaster = "4.90000, 52.37000, \"Museum\"\n";

// One program life in the window, with or without the settings file.
struct Life {
  explicit Life(const TempDir& folder, bool with_settings) {
    program.program_dir = folder.path().string() + "/";
    if (with_settings)
      dialog.use_settings(std::make_unique<QSettings>(
          QString::fromStdString(folder.file("pinwright.ini")), QSettings::IniFormat));
    app::start_up(program, dialog);
    settle();
  }

  // Hands every queued event to the program, as its loop would.
  void handle_events() {
    while (dialog.pending_events() > 0) {
      const ui::Event event = dialog.wait_for_event();
      if (event.kind == EventKind::field_changed) {
        app::handle_field_change(program, dialog, event.value);
      } else {
        app::dispatch(program, dialog, event.value);
      }
    }
    settle();
  }

  void drop(int group, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.widget(group), &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.widget(group), &event);
    handle_events();
  }

  template <typename Widget>
  Widget* control(int id) {
    return qobject_cast<Widget*>(dialog.widget(id));
  }

  QMenu* recent_files_menu() {
    for (QMenu* menu : dialog.menu_bar()->findChildren<QMenu*>()) {
      if (menu->title() == "Recent &files") return menu;
    }
    return nullptr;
  }

  ui::qt::QtDialog dialog;
  app::Program program;
};

TEST(qt_settings_test, what_one_life_sets_the_next_one_starts_with) {
  TempDir folder;
  std::filesystem::create_directory(folder.path() / "maps");
  std::filesystem::create_directory(folder.path() / "results");
  const std::string master = folder.write("maps/master.asc", kMaster);
  int width = 0;
  int height = 0;
  {
    Life first(folder, true);
    first.control<QComboBox>(c::kRadiusCombo)->setEditText("50");
    first.control<QCheckBox>(c::kUnderRadius)->setChecked(true);
    first.control<QCheckBox>(c::kAppend)->setChecked(false);
    first.control<QComboBox>(c::kNamesCombo)->setCurrentText("similar");
    first.control<QCheckBox>(c::kKeepFirst)->setChecked(true);
    first.handle_events();
    ASSERT_FALSE(first.dialog.checked(c::kUnderOneMetre).value());
    first.drop(c::kMasterGroup, master);
    first.drop(c::kOutputGroup, folder.file("results/out.asc"));
    ASSERT_TRUE(first.program.output.loaded);
    width = first.dialog.window()->width() - 120;
    height = first.dialog.window()->height() + 60;
    first.dialog.window()->resize(width, height);
    first.dialog.close_down();
  }

  Life second(folder, true);
  second.handle_events();
  EXPECT_EQ(second.dialog.text(c::kRadiusCombo), "50");
  EXPECT_EQ(second.program.radius_caption, "< 50 metres");
  EXPECT_EQ(second.dialog.text(c::kUnderRadius), "< 50 metres");
  EXPECT_EQ(second.dialog.checked(c::kUnderRadius), true);
  EXPECT_EQ(second.dialog.checked(c::kUnderOneMetre), false);
  EXPECT_EQ(second.dialog.checked(c::kAppend), false);
  EXPECT_EQ(second.dialog.text(c::kNamesCombo), "similar");
  EXPECT_EQ(second.dialog.checked(c::kKeepFirst), true);
  EXPECT_EQ(second.dialog.window()->width(), width);
  EXPECT_EQ(second.dialog.window()->height(), height);

  // The Master slot's dialog opens in the folder of last time.
  QString opened_in;
  {
    const ModalAnswer answer(
        [&](QWidget* modal) {
          auto* file_dialog = qobject_cast<QFileDialog*>(modal);
          ASSERT_NE(file_dialog, nullptr);
          opened_in = file_dialog->directory().absolutePath();
          file_dialog->reject();
        },
        "QFileDialog");
    second.control<QAbstractButton>(c::kMasterOv2)->click();
    second.handle_events();
  }
  EXPECT_EQ(opened_in.toStdString(), (folder.path() / "maps").string());

  // The Master file is among the recent files, and loads from there.
  QMenu* recent = second.recent_files_menu();
  ASSERT_NE(recent, nullptr);
  emit recent->aboutToShow();
  ASSERT_EQ(recent->actions().size(), 1);
  EXPECT_EQ(recent->actions().front()->text().toStdString(), "Master: " + master);
  recent->actions().front()->trigger();
  second.handle_events();
  EXPECT_TRUE(second.program.master.loaded);
  EXPECT_EQ(second.program.master.path, master);
}

// Started again and again without a change, the window keeps its size; a
// size too large for the screen (saved on a larger one) comes back on screen.
TEST(qt_settings_test, the_window_comes_back_at_the_size_it_was_left_and_on_screen) {
  TempDir folder;
  QSize left;
  QRect room;
  {
    Life first(folder, true);
    room = first.dialog.window()->screen()->availableGeometry();
    first.dialog.window()->resize(room.width() - 40, 500);
    left = first.dialog.window()->size();
    first.dialog.close_down();
  }
  for (int life = 2; life <= 3; ++life) {
    Life next(folder, true);
    EXPECT_EQ(next.dialog.window()->size(), left) << "life " << life;
    next.dialog.close_down();
  }
  {
    QSettings file(QString::fromStdString(folder.file("pinwright.ini")), QSettings::IniFormat);
    file.setValue("window/position", room.topLeft() + QPoint(300, 200));
    file.setValue("window/width", room.width() * 2);
    file.setValue("window/height", room.height() * 2);
  }
  Life large(folder, true);
  EXPECT_TRUE(room.contains(large.dialog.window()->frameGeometry()))
      << large.dialog.window()->width() << 'x' << large.dialog.window()->height();
}

// The file the README and the help name.
TEST(window_settings_test, the_user_store_is_pinwright_ini_in_the_configuration_folder) {
  const std::unique_ptr<QSettings> store = WindowSettings::user_store();
  EXPECT_EQ(store->fileName(),
            QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/pinwright/pinwright.ini");
}

// Files the slots refused are not offered again: a bad Master file stays out
// of the recent files, and an Output folder that takes no file is not where
// the next dialog opens.
TEST(qt_settings_test, only_files_the_slots_took_are_remembered) {
  TempDir folder;
  std::filesystem::create_directory(folder.path() / "good");
  std::filesystem::create_directory(folder.path() / "bad");
  const std::string good = folder.write("good/master.asc", kMaster);
  const std::string bad = folder.write("bad/master.asc", "4.9\n");
  {
    Life first(folder, true);
    first.drop(c::kMasterGroup, good);
    first.drop(c::kOutputGroup, folder.file("good/out.asc"));
    ASSERT_TRUE(first.program.output.loaded);
    const ModalAnswer ok([](QWidget* box) { qobject_cast<QDialog*>(box)->accept(); },
                         "QMessageBox");
    first.drop(c::kMasterGroup, bad);
    ASSERT_FALSE(first.program.master.loaded);
    const ModalAnswer ok_again([](QWidget* box) { qobject_cast<QDialog*>(box)->accept(); },
                               "QMessageBox");
    first.drop(c::kOutputGroup, folder.file("bad/missing/out.asc"));
    ASSERT_FALSE(first.program.output.loaded);
    first.dialog.close_down();
  }
  WindowSettings settings(std::make_unique<QSettings>(
      QString::fromStdString(folder.file("pinwright.ini")), QSettings::IniFormat));
  EXPECT_EQ(settings.recent_files(WindowSettings::Slot::master),
            QStringList{QString::fromStdString(good)});
  EXPECT_EQ(settings.folder(WindowSettings::Slot::master).toStdString(),
            (folder.path() / "good").string());
  EXPECT_EQ(settings.folder(WindowSettings::Slot::output).toStdString(),
            (folder.path() / "good").string());
}

TEST(qt_settings_test, without_a_settings_file_nothing_is_read_or_written) {
  TempDir folder;
  {
    Life first(folder, true);
    first.control<QComboBox>(c::kRadiusCombo)->setEditText("100");
    first.handle_events();
    first.dialog.close_down();
  }
  Life without(folder, false);
  without.handle_events();
  EXPECT_EQ(without.dialog.text(c::kRadiusCombo), "20");
  EXPECT_EQ(without.recent_files_menu(), nullptr);
  without.control<QComboBox>(c::kRadiusCombo)->setEditText("5");
  without.handle_events();
  without.dialog.close_down();
  const QSettings file(QString::fromStdString(folder.file("pinwright.ini")), QSettings::IniFormat);
  EXPECT_EQ(file.value("options/radius").toString(), "100");
}

TEST(window_settings_test, keeps_eight_recent_files_per_slot_the_latest_first) {
  TempDir folder;
  WindowSettings settings(std::make_unique<QSettings>(
      QString::fromStdString(folder.file("pinwright.ini")), QSettings::IniFormat));
  QStringList written;
  for (int k = 1; k <= 10; ++k) {
    const QString path =
        QString::fromStdString(folder.write("m" + std::to_string(k) + ".asc", kMaster));
    settings.remember_choice(WindowSettings::Slot::master, path);
    written.prepend(path);
  }
  // Chosen again: back to the head, not twice in the list.
  settings.remember_choice(WindowSettings::Slot::master, written[4]);
  written.move(4, 0);
  EXPECT_EQ(settings.recent_files(WindowSettings::Slot::master), written.mid(0, 8));
  // A file that is not there and an Output file are no recent files.
  settings.remember_choice(WindowSettings::Slot::update,
                           QString::fromStdString(folder.file("missing.asc")));
  settings.remember_choice(WindowSettings::Slot::output, written[0]);
  EXPECT_TRUE(settings.recent_files(WindowSettings::Slot::update).isEmpty());
  EXPECT_TRUE(settings.recent_files(WindowSettings::Slot::output).isEmpty());
  EXPECT_EQ(settings.folder(WindowSettings::Slot::update).toStdString(), folder.path().string());
}

}  // namespace
}  // namespace pinwright::testing
