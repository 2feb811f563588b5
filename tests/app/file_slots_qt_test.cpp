// The file slots in the real window: files chosen through Qt's own file
// dialogs, on the offscreen platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "poi/paths.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::FieldState;

TEST(file_slots_qt_test, master_and_output_chosen_in_real_file_dialogs) {
  TempDir folder;
  std::filesystem::create_directory(folder.path() / "program");
  folder.write("program/REZ_default_symbol.bmp",
               read_file(std::string(PINWRIGHT_SOURCE_DIR) + "/resources/REZ_default_symbol.bmp"));
  const std::string master =
      folder.write("master.asc", "; mine\n4.89, 52.37, \"Central\"\n5.12, 52.09, \"Dom\"\n");
  folder.write("master_x.asc", "radius = 25\n4.89, 52.37\n");

  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
  program.program_dir = folder.file("program") + "/";

  app::start_up(program, dialog);
  // A click queues the button's event; the program takes it as its loop would.
  const auto press_and_answer = [&](int id, const std::string& path) {
    const ModalAnswer answer(choose_in_file_dialog(path), "QFileDialog");
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
    const ui::Event event = dialog.wait_for_event();
    ASSERT_EQ(event.kind, ui::EventKind::push_button);
    ASSERT_EQ(event.value, id);
    app::dispatch(program, dialog, event.value);
  };

  press_and_answer(c::kMasterText, master);
  EXPECT_EQ(dialog.text(c::kMasterPath), poi::shorten_path(master, 60));
  EXPECT_EQ(dialog.text(c::kMasterCount), "Number of POI entries:    2");
  EXPECT_FALSE(dialog.widget(c::kStart)->isEnabled());

  press_and_answer(c::kOutputOv2, folder.file("result"));
  EXPECT_EQ(dialog.text(c::kOutputPath), poi::shorten_path(folder.file("result.ov2"), 60));
  EXPECT_TRUE(dialog.widget(c::kStart)->isEnabled());
  EXPECT_FALSE(program.quit_requested);
  EXPECT_EQ(program.master.count, 3);
  EXPECT_EQ(std::ssize(program.exclusions.circles.centres), 1);
  // The excluded list waits for a duplicate run.
  EXPECT_FALSE(std::filesystem::exists(folder.file("excluded.asc")));
  // The shipped bitmap loads as a picture, and the picture is shown.
  EXPECT_EQ(dialog.picture(c::kOutputSymbol), folder.file("program/REZ_default_symbol.bmp"));
  EXPECT_FALSE(dialog.widget(c::kOutputSymbol)->isHidden());
  EXPECT_TRUE(dialog.widget(c::kMasterSymbol)->isHidden());
  // Nothing is written before a run: neither the Output nor its symbol.
  EXPECT_FALSE(std::filesystem::exists(folder.file("result.ov2")));
  EXPECT_FALSE(std::filesystem::exists(folder.file("result.bmp")));
}

// Two waypoints and a track: a GPX file as a navigation app exports it.
constexpr char kTwoWaypointsAndATrack[] =
    "<?xml version=\"1.0\"?>\n"
    "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
    "<wpt lat=\"52.37\" lon=\"4.89\"><name>Central</name><desc>station</desc></wpt>\n"
    "<wpt lat=\"52.09\" lon=\"5.12\"><name>Dom</name></wpt>\n"
    "<trk><name>walk</name><trkseg><trkpt lat=\"52.37\" lon=\"4.89\"/>"
    "<trkpt lat=\"52.09\" lon=\"5.12\"/></trkseg></trk>\n"
    "</gpx>\n";

TEST(file_slots_qt_test, text_button_offers_the_vector_formats_and_reads_a_gpx) {
  TempDir folder;
  const std::string gpx = folder.write("walk.gpx", kTwoWaypointsAndATrack);
  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
  program.program_dir = folder.path().string() + "/";
  app::start_up(program, dialog);

  QStringList filters;
  const auto choose = choose_in_file_dialog(gpx);
  const ModalAnswer answer(
      [&](QWidget* modal) {
        filters = qobject_cast<QFileDialog*>(modal)->nameFilters();
        choose(modal);
      },
      "QFileDialog");
  QTest::mouseClick(qobject_cast<QPushButton*>(dialog.widget(c::kMasterText)), Qt::LeftButton);
  app::dispatch(program, dialog, dialog.wait_for_event().value);

  EXPECT_EQ(filters, (QStringList{
                         "POI files (*.asc *.csv) (*.asc *.csv)",
                         "GPS exchange (*.gpx) (*.gpx)",
                         "GeoJSON (*.geojson *.json) (*.geojson *.json)",
                         "KML (*.kml) (*.kml)",
                         "GeoPackage (*.gpkg) (*.gpkg)",
                         "FlatGeobuf (*.fgb) (*.fgb)",
                         "Shapefile (*.shp) (*.shp)",
                         "All readable files (*.asc *.csv *.gpx *.geojson *.json *.kml *.gpkg "
                         "*.fgb *.shp)",
                     }));
  EXPECT_TRUE(program.master.loaded);
  EXPECT_EQ(dialog.text(c::kMasterCount), "2 POI entries (1 other geometries skipped)");
}

TEST(file_slots_qt_test, a_gpx_dropped_on_the_master_slot_is_read) {
  TempDir folder;
  const std::string gpx = folder.write("walk.gpx", kTwoWaypointsAndATrack);
  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
  program.program_dir = folder.path().string() + "/";
  app::start_up(program, dialog);

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(gpx))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(dialog.widget(c::kMasterGroup), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(dialog.widget(c::kMasterGroup), &drop);
  ASSERT_EQ(dialog.pending_events(), 1u);
  app::dispatch(program, dialog, dialog.wait_for_event().value);

  EXPECT_TRUE(program.master.loaded);
  EXPECT_EQ(program.master.path, gpx);
  EXPECT_EQ(dialog.text(c::kMasterCount), "2 POI entries (1 other geometries skipped)");
  ASSERT_EQ(program.master_table.size(), 2);
  EXPECT_EQ(program.master_table.name(2), "Dom");
  EXPECT_EQ(program.master_table.information(1), ", station");
}

}  // namespace
}  // namespace pinwright::testing
