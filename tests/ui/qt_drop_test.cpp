// Files dropped on a slot's group: which button takes which kind of file, and
// a drop loads the file as the button and its file dialog would.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/ov2_bytes.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/file_drop.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::FieldState;

struct DropCase {
  int group;
  const char* file;
  std::optional<int> button;
};

void PrintTo(const DropCase& row, std::ostream* out) {
  *out << row.group << ' ' << row.file;
}

class drop_button_test : public ::testing::TestWithParam<DropCase> {};

TEST_P(drop_button_test, picks_the_button_of_the_slot_for_the_kind_of_file) {
  EXPECT_EQ(ui::qt::drop_button(GetParam().group, GetParam().file), GetParam().button);
}

INSTANTIATE_TEST_SUITE_P(
    files, drop_button_test,
    ::testing::Values(DropCase{c::kMasterGroup, "/data/master.asc", c::kMasterText},
                      DropCase{c::kMasterGroup, "/data/MASTER.CSV", c::kMasterText},
                      DropCase{c::kMasterGroup, "/data/master.ov2", c::kMasterOv2},
                      DropCase{c::kUpdateGroup, "/data/update.csv", c::kUpdateText},
                      DropCase{c::kUpdateGroup, "/data/update.Ov2", c::kUpdateOv2},
                      DropCase{c::kOutputGroup, "/data/out.asc", c::kOutputText},
                      DropCase{c::kOutputGroup, "/data/out.ov2", c::kOutputOv2},
                      DropCase{c::kMasterGroup, "/data/places.GPX", c::kMasterText},
                      DropCase{c::kUpdateGroup, "/data/export.geojson", c::kUpdateText},
                      DropCase{c::kUpdateGroup, "/data/export.json", c::kUpdateText},
                      DropCase{c::kMasterGroup, "/data/places.kml", c::kMasterText},
                      DropCase{c::kMasterGroup, "/data/places.gpkg", c::kMasterText},
                      DropCase{c::kUpdateGroup, "/data/places.fgb", c::kUpdateText},
                      DropCase{c::kOutputGroup, "/data/out.shp", c::kOutputText},
                      DropCase{c::kMasterGroup, "/data/places.dbf", std::nullopt},
                      DropCase{c::kMasterGroup, "/data/notes.txt", std::nullopt},
                      DropCase{c::kMasterGroup, "/data/asc", std::nullopt},
                      DropCase{c::kMasterGroup, "/data.asc/master", std::nullopt},
                      DropCase{c::kMasterGroup, "/data/master.asc.bak", std::nullopt},
                      DropCase{c::kMatchGroup, "/data/master.asc", std::nullopt}),
    [](const auto& info) { return std::to_string(info.index) + '_' + test_name(info.param.file); });

class qt_drop_test : public ::testing::Test {
 protected:
  qt_drop_test() {
    program.program_dir = folder.path().string() + "/";
    app::start_up(program, dialog);
    settle();
  }

  // Drops `path` on the group and lets the program handle what it queued.
  void drop(int group, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    // As a real drag: the drop goes to the widget that accepted its entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.widget(group), &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.widget(group), &event);
    while (dialog.pending_events() > 0)
      app::dispatch(program, dialog, dialog.wait_for_event().value);
    settle();
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  app::Program program;
};

TEST_F(qt_drop_test, a_dropped_file_loads_into_each_slot) {
  const std::string master = folder.write("master.asc", "4.90000, 52.37000, \"Museum\"\n");
  const std::string update = folder.write("update.ov2", ov2_named(490000, 5237005, "Museum shop"));
  drop(c::kMasterGroup, master);
  EXPECT_TRUE(program.master.loaded);
  EXPECT_EQ(program.master.path, master);
  EXPECT_EQ(program.master.count, 1);
  drop(c::kUpdateGroup, update);
  EXPECT_TRUE(program.update.loaded);
  EXPECT_EQ(program.update.path, update);
  EXPECT_TRUE(program.update.is_ov2());
  drop(c::kOutputGroup, folder.file("out.asc"));
  EXPECT_TRUE(program.output.loaded);
  EXPECT_EQ(program.output.path, folder.file("out.asc"));
  EXPECT_EQ(dialog.state(c::kStart), FieldState::enabled);
}

TEST_F(qt_drop_test, an_output_file_that_exists_is_replaced_only_after_a_yes) {
  drop(c::kMasterGroup, folder.write("master.asc", "4.90000, 52.37000, \"Museum\"\n"));
  const std::string existing = folder.write("out.ov2", "kept");
  for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
    QString question;
    const ModalAnswer reply(
        [&](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          ASSERT_NE(box, nullptr);
          question = box->text();
          box->button(answer)->click();
        },
        "QMessageBox");
    drop(c::kOutputGroup, existing);
    EXPECT_EQ(question, "out.ov2 already exists.\nDo you want to replace it?");
    EXPECT_EQ(program.output.loaded, answer == QMessageBox::Yes);
  }
  EXPECT_TRUE(program.output.is_ov2());
}

TEST_F(qt_drop_test, another_kind_of_file_is_refused_with_a_box) {
  QString title;
  const ModalAnswer reply(
      [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
      },
      "QMessageBox");
  drop(c::kMasterGroup, folder.write("notes.txt", "4.90000, 52.37000, \"Museum\"\n"));
  for (int i = 0; i < 50 && title.isEmpty(); ++i) QTest::qWait(10);
  EXPECT_EQ(title, "File not loaded");
  EXPECT_FALSE(program.master.loaded);
}

// While a file hovers over a slot that takes it, the slot's group is tinted;
// leaving or dropping ends that, and a locked slot is never tinted.
TEST_F(qt_drop_test, a_slot_is_highlighted_while_a_file_it_takes_hovers_over_it) {
  QWidget* group = dialog.widget(c::kUpdateGroup);
  const auto ground = [&] {
    // Beside the count text, where nothing but the group's ground is painted.
    const QImage image = group->grab().toImage();
    return image.pixelColor(image.width() - 12, image.height() - 8);
  };
  const QColor plain = ground();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder.file("update.asc")))});
  const auto enter = [&] {
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(group, &event);
    return event.isAccepted();
  };
  const auto highlighted = [&] { return group->property(ui::qt::kDropTargetProperty).toBool(); };

  ASSERT_TRUE(enter());
  EXPECT_TRUE(highlighted());
  EXPECT_NE(ground(), plain);
  QDragLeaveEvent leave;
  QApplication::sendEvent(group, &leave);
  EXPECT_FALSE(highlighted());
  EXPECT_EQ(ground(), plain);

  ASSERT_TRUE(enter());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(group, &drop);
  EXPECT_FALSE(highlighted());
  while (dialog.pending_events() > 0) dialog.wait_for_event();

  dialog.set_field_state(c::kUpdateText, FieldState::disabled);
  EXPECT_FALSE(enter());
  EXPECT_FALSE(highlighted());
  EXPECT_EQ(ground(), plain);
}

TEST_F(qt_drop_test, a_locked_slot_takes_no_file) {
  dialog.set_field_state(c::kMasterText, FieldState::disabled);
  drop(c::kMasterGroup, folder.write("master.asc", "4.90000, 52.37000, \"Museum\"\n"));
  EXPECT_FALSE(program.master.loaded);
}

}  // namespace
}  // namespace pinwright::testing
