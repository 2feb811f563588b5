// The match map in the real window at review stops, painted off screen: the
// markers and the Match radius where the scene puts them, zoom, pan, Fit, the
// view fitted anew at the next stop and cleared at the end of the run, a pair
// too close for two markers, and grounds that dense dots do not drown.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include "app/program.hpp"
#include "app/run_view.hpp"
#include "map/view.hpp"
#include "poi/text_file.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/map_panel.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using app::RunStop;
using ui::qt::MapPanel;

poi::PoiRecord poi_at(float longitude, float latitude, const char* name) {
  poi::PoiRecord record;
  record.longitude = longitude;
  record.latitude = latitude;
  record.name.assign(name);
  return record;
}

// How far apart two colours are, channel by channel.
int difference(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

QPointF pixel_of(const map::View& view, map::Point point) {
  const map::Pixel pixel = map::to_pixel(view, point);
  return {pixel.x, pixel.y};
}

class qt_map_test : public ::testing::Test {
 protected:
  qt_map_test() {
    dialog.load_main_dialog();
    dialog.show_dialog();
    settle();
    program.fixed_today = std::chrono::year_month_day{std::chrono::year{2026},
                                                      std::chrono::December, std::chrono::day{7}};
  }

  // A duplicate run on these Master entries into a text Output; the dialog's
  // options as after start-up (radius 20 m).
  void set_master(std::initializer_list<poi::PoiRecord> records) {
    for (const poi::PoiRecord& record : records) program.master_table.append(record);
    program.master.count = program.master_table.size();
    program.master.loaded = true;
    program.output.kind = poi::FileKind::text;
    program.output.path = folder.file("out.asc");
    program.output.loaded = true;
  }

  MapPanel& panel() { return *qobject_cast<MapPanel*>(dialog.widget(c::kMatchMap)); }

  const map::Scene& scene() {
    EXPECT_TRUE(panel().scene());
    return *panel().scene();
  }

  QColor colour_at(const QImage& image, QPointF at) {
    return image.pixelColor(static_cast<int>(std::floor(at.x())),
                            static_cast<int>(std::floor(at.y())));
  }

  void wheel(QPointF at, int angle) {
    QWheelEvent event(at, panel().mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&panel(), &event);
  }

  void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, panel().mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&panel(), &event);
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
};

// Volendam and Volendam Centrum 13 m apart, row 2 due north of row 1, and a
// neighbour to the east.
constexpr float kRow1Latitude = 52.0f;
constexpr float kRow2Latitude = 52.000117f;

TEST_F(qt_map_test, paints_the_markers_and_the_radius_where_the_scene_puts_them) {
  set_master({poi_at(5.0f, kRow1Latitude, "Volendam"),
              poi_at(5.0f, kRow2Latitude, "Volendam Centrum"), poi_at(5.0003f, 52.00005f, "Edam")});
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  settle();
  const map::Scene& shown = scene();
  EXPECT_EQ(shown.view.width, panel().width());
  EXPECT_EQ(shown.view.height, panel().height());
  ASSERT_EQ(shown.dots.size(), 1u);
  const QImage image = panel().grab().toImage();
  ASSERT_EQ(image.size(), panel().size());

  // Each marker's disc is in its row's colour on either side of its number.
  const QPointF row1 = pixel_of(shown.view, shown.markers[0].position);
  const QPointF row2 = pixel_of(shown.view, shown.markers[1].position);
  EXPECT_GT(row1.y() - row2.y(), 20.0) << "row 2 lies north of row 1";
  EXPECT_NEAR(row1.x(), row2.x(), 0.5);
  for (const double side : {-6.0, 6.0}) {
    EXPECT_LT(difference(colour_at(image, row1 + QPointF(side, 0)), ui::qt::kRow1Colour), 30);
    EXPECT_LT(difference(colour_at(image, row2 + QPointF(side, 0)), ui::qt::kRow2Colour), 30);
  }

  // The circle's outline lies the Match radius west of row 1; inside it the
  // ground is only tinted, outside not at all.
  const double radius = shown.circle.radius / shown.view.metres_per_pixel;
  EXPECT_DOUBLE_EQ(shown.circle.radius, 20.0);
  const QPointF centre = pixel_of(shown.view, shown.circle.centre);
  EXPECT_EQ(centre, row1);
  const QColor base = panel().palette().color(QPalette::Base);
  EXPECT_LT(difference(colour_at(image, centre - QPointF(radius, 0)), ui::qt::kRadiusColour), 60);
  EXPECT_LT(difference(colour_at(image, centre - QPointF(radius + 6, 0)), base), 10);
  const QColor inside = colour_at(image, centre - QPointF(radius - 6, 0));
  EXPECT_GT(difference(inside, ui::qt::kRadiusColour), 100);
  EXPECT_LT(difference(inside, base), 60);
  EXPECT_GT(difference(inside, base), 5);

  // The neighbour's dot is drawn, and hovering it names it.
  const QPointF dot = pixel_of(shown.view, shown.dots[0].position);
  EXPECT_GT(difference(colour_at(image, dot), base), 100);
  EXPECT_EQ(panel().entry_at(dot.toPoint()), "Edam\nEntry 3");
  EXPECT_EQ(panel().entry_at(row2.toPoint()), "Volendam Centrum\nEntry 2");
  EXPECT_EQ(panel().entry_at(QPoint(2, 2)), "");
  // The tooltip the hover brings up says the same.
  QHelpEvent hover(QEvent::ToolTip, dot.toPoint(), panel().mapToGlobal(dot.toPoint()));
  QApplication::sendEvent(&panel(), &hover);
  EXPECT_EQ(QToolTip::text(), "Edam\nEntry 3");
  QToolTip::hideText();
}

TEST_F(qt_map_test, zooms_about_the_cursor_pans_and_fits_anew_at_the_next_stop) {
  set_master({poi_at(5.0f, kRow1Latitude, "A"), poi_at(5.0f, kRow2Latitude, "A2"),
              poi_at(6.0f, 51.0f, "B"), poi_at(6.0001f, 51.0f, "B2")});
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  settle();
  const map::View fitted = scene().view;
  const QPointF row1 = pixel_of(fitted, scene().markers[0].position);

  wheel(row1, 120);
  EXPECT_DOUBLE_EQ(scene().view.metres_per_pixel, fitted.metres_per_pixel / 1.25);
  const QPointF zoomed = pixel_of(scene().view, scene().markers[0].position);
  EXPECT_NEAR(zoomed.x(), row1.x(), 1e-6);
  EXPECT_NEAR(zoomed.y(), row1.y(), 1e-6);

  mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, {130, 90}, Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {130, 90}, Qt::LeftButton, Qt::NoButton);
  const QPointF panned = pixel_of(scene().view, scene().markers[0].position);
  EXPECT_NEAR(panned.x(), row1.x() + 30.0, 1e-6);
  EXPECT_NEAR(panned.y(), row1.y() - 10.0, 1e-6);

  // Keep: the next pair, 6.9 m apart, in a view fitted to it.
  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::review);
  const map::View next =
      map::fit_view({6.0, 51.0}, {6.0001f, 51.0}, 20.0, panel().width(), panel().height());
  EXPECT_DOUBLE_EQ(scene().view.metres_per_pixel, next.metres_per_pixel);
  EXPECT_DOUBLE_EQ(scene().view.centre.longitude, next.centre.longitude);
  EXPECT_DOUBLE_EQ(scene().view.centre.latitude, next.centre.latitude);

  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_FALSE(panel().scene());
  EXPECT_EQ(dialog.text(c::kRunStatus),
            "0 duplicates deleted, 2 kept, 0 excluded, 4 entries written");
}

enum class FitBy { button, key, double_click };

std::string fit_name(FitBy way) {
  switch (way) {
    case FitBy::button:
      return "the_fit_button";
    case FitBy::key:
      return "the_key_f";
    case FitBy::double_click:
      return "a_double_click";
  }
  return {};
}

class fit_test : public qt_map_test, public ::testing::WithParamInterface<FitBy> {};

// After a zoom and a pan, Fit puts each marker back on the pixel it had.
TEST_P(fit_test, after_a_zoom_and_a_pan_fit_brings_the_markers_back) {
  set_master({poi_at(5.0f, kRow1Latitude, "A"), poi_at(5.0f, kRow2Latitude, "A2")});
  EXPECT_TRUE(panel().fit_button()->isHidden()) << "no pair yet";
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  settle();
  ASSERT_FALSE(panel().fit_button()->isHidden());
  EXPECT_FALSE(panel().fit_button()->toolTip().isEmpty());
  const auto marker_pixels = [&] {
    return std::pair(pixel_of(scene().view, scene().markers[0].position),
                     pixel_of(scene().view, scene().markers[1].position));
  };
  const auto fitted = marker_pixels();

  wheel(fitted.first + QPointF(40, 30), 360);
  mouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, {150, 70}, Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, {150, 70}, Qt::LeftButton, Qt::NoButton);
  const auto moved = marker_pixels();
  ASSERT_GT(QLineF(moved.first, fitted.first).length(), 20.0);
  ASSERT_GT(QLineF(moved.first, moved.second).length(),
            QLineF(fitted.first, fitted.second).length() + 20.0);

  switch (GetParam()) {
    case FitBy::button:
      panel().fit_button()->click();
      break;
    case FitBy::key:
      dialog.widget(c::kFirstDecision)->setFocus();
      QTest::keyClick(dialog.window()->focusWidget(), Qt::Key_F);
      break;
    case FitBy::double_click:
      mouse(QEvent::MouseButtonDblClick, {120, 90}, Qt::LeftButton, Qt::LeftButton);
      break;
  }
  const auto back = marker_pixels();
  EXPECT_NEAR(back.first.x(), fitted.first.x(), 1e-6);
  EXPECT_NEAR(back.first.y(), fitted.first.y(), 1e-6);
  EXPECT_NEAR(back.second.x(), fitted.second.x(), 1e-6);
  EXPECT_NEAR(back.second.y(), fitted.second.y(), 1e-6);
  EXPECT_EQ(dialog.pending_events(), 0u) << "Fit presses no button";
}

INSTANTIATE_TEST_SUITE_P(ways, fit_test,
                         ::testing::Values(FitBy::button, FitBy::key, FitBy::double_click),
                         [](const ::testing::TestParamInfo<FitBy>& info) {
                           return fit_name(info.param);
                         });

// F typed into the second row's name is a letter of the name.
TEST_F(qt_map_test, f_typed_into_a_name_stays_in_the_name) {
  set_master({poi_at(5.0f, kRow1Latitude, "A"), poi_at(5.0f, kRow2Latitude, "A2")});
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  settle();
  wheel(QPointF(50, 50), 240);
  const double zoomed = scene().view.metres_per_pixel;
  QWidget* name = dialog.widget(c::kRow2Name);
  name->setFocus();
  QTest::keyClick(name, Qt::Key_End);
  QTest::keyClick(name, Qt::Key_F);
  EXPECT_EQ(dialog.text(c::kRow2Name), "A2f");
  EXPECT_DOUBLE_EQ(scene().view.metres_per_pixel, zoomed);
}

// Under two metres apart in a view four Match radii across, the pair would be
// one marker: the two are drawn side by side about its midpoint, row 1 west
// of row 2 as on the ground, and hovering each names its own entry.
TEST_F(qt_map_test, a_pair_closer_than_its_markers_shows_both_side_by_side) {
  set_master({poi_at(5.0f, kRow1Latitude, "West"), poi_at(5.000025f, kRow1Latitude, "East")});
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  settle();
  const map::Scene& shown = scene();
  const QPointF row1 = pixel_of(shown.view, shown.markers[0].position);
  const QPointF row2 = pixel_of(shown.view, shown.markers[1].position);
  ASSERT_LT(row2.x() - row1.x(), 16.0);
  ASSERT_GT(row2.x(), row1.x());
  const QPointF middle = (row1 + row2) / 2.0;
  const QImage image = panel().grab().toImage();
  // Each disc in its colour, ten pixels out from the midpoint, past its number.
  EXPECT_LT(difference(colour_at(image, middle + QPointF(-15, 0)), ui::qt::kRow1Colour), 30);
  EXPECT_LT(difference(colour_at(image, middle + QPointF(15, 0)), ui::qt::kRow2Colour), 30);
  EXPECT_EQ(panel().entry_at((middle + QPointF(-10, 0)).toPoint()), "West\nEntry 1");
  EXPECT_EQ(panel().entry_at((middle + QPointF(10, 0)).toPoint()), "East\nEntry 2");
}

// Dots crowded under the scale bar and the north arrow do not show through
// their grounds.
TEST(map_painting_test, the_scale_bar_and_the_north_arrow_stand_on_a_ground_of_their_own) {
  const map::View view = map::fit_view({5.0, 52.0}, {5.0, 52.0001}, 20.0, 400, 300);
  const map::Projection projection(view.centre);
  poi::CompactTable table;
  for (int y = 0; y < view.height; y += 2) {
    for (int x = 0; x < view.width; x += 2) {
      const map::GeoPoint at = projection.to_degrees(map::to_point(view, {x + 0.5, y + 0.5}));
      table.append(
          poi_at(static_cast<float>(at.longitude), static_cast<float>(at.latitude), "Dot"));
    }
  }
  const std::int32_t count = table.size();
  map::SceneInput input{.view = view, .table = table, .first = 1, .last = count};
  input.row1 = poi_at(5.0f, 52.0f, "One");
  input.row2 = poi_at(5.0f, 52.0001f, "Two");
  const map::Scene scene = map::build_scene(input);
  ASSERT_GT(scene.dots.size(), 20'000u);

  QImage image(view.width, view.height, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  const QPalette palette = QApplication::palette();
  std::vector<QPointF> points;
  ui::qt::dot_pixels(scene, points);
  QImage layer;
  ui::qt::paint_scene(painter, scene, points, palette, layer);
  painter.end();

  const QColor base = palette.color(QPalette::Base);
  const auto ground_only = [&](QRect area) {
    int dotted = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (difference(image.pixelColor(x, y), base) > 40) ++dotted;
    return dotted;
  };
  // Open ground all round shows the dots; under the scale bar's label, above
  // its bar, and beside the arrow's point it does not.
  EXPECT_GT(ground_only(QRect(150, 100, 20, 4)), 10);
  const double bar = scene.scale.length / view.metres_per_pixel;
  EXPECT_EQ(ground_only(QRect(16, view.height - 16, static_cast<int>(bar) - 8, 2)), 0);
  const int tip = view.width - 20;
  EXPECT_EQ(ground_only(QRect(tip - 7, 13, 4, 3)), 0);
  EXPECT_EQ(ground_only(QRect(tip + 4, 13, 4, 3)), 0);
}

// Crowded: past the labelling limit the dots are points without names, each
// where the scene puts it.
TEST(map_painting_test, crowded_dots_are_points_at_their_pixels) {
  poi::CompactTable table;
  for (int i = 0; i < 20; ++i) {
    for (int j = 0; j < 20; ++j)
      table.append(5.0f + 0.0001f * static_cast<float>(i - 10),
                   52.0f + 0.0001f * static_cast<float>(j - 10), "Dot", {});
  }
  const std::int32_t count = table.size();
  map::SceneInput input{.view = map::fit_view({5.0, 52.0}, {5.0, 52.0001}, 20.0, 400, 300),
                        .table = table,
                        .first = 1,
                        .last = count};
  input.view = map::zoom_about(input.view, {200, 150}, 0.25);
  // The pair in the middle of the grid, where the check below leaves room.
  input.row1 = poi_at(5.0f, 52.0f, "One");
  input.row2 = poi_at(5.0f, 52.0001f, "Two");
  input.radius = 20.0f;
  const map::Scene scene = map::build_scene(input);
  ASSERT_GT(scene.dots.size(), map::kMaxLabelledDots);
  ASSERT_FALSE(scene.dot_labels);

  QImage image(scene.view.width, scene.view.height, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  const QPalette palette = QApplication::palette();
  std::vector<QPointF> points;
  ui::qt::dot_pixels(scene, points);
  QImage layer;
  ui::qt::paint_scene(painter, scene, points, palette, layer);
  painter.end();

  const QColor base = palette.color(QPalette::Base);
  std::size_t drawn = 0;
  for (const QPointF& dot : points) {
    const QPoint at(static_cast<int>(dot.x()), static_cast<int>(dot.y()));
    if (difference(image.pixelColor(at), base) > 60) ++drawn;
    // Two pixels square: three pixels away from a dot of the grid lies ground.
    const QPoint beside = at + QPoint(3, 3);
    // Clear of the pair, its separation label (level with it, on its left),
    // the scale bar and the north arrow.
    if (beside.x() < image.width() - 60 && beside.y() < image.height() - 40 && beside.y() > 40 &&
        std::abs(beside.x() - image.width() / 2) > 60 &&
        std::abs(beside.y() - image.height() / 2) > 12) {
      EXPECT_LT(difference(image.pixelColor(beside), base), 10) << beside.x() << "," << beside.y();
    }
  }
  // The markers, the circle and the scale bar may cover a few.
  EXPECT_GT(drawn, scene.dots.size() * 9 / 10);
}

}  // namespace
}  // namespace pinwright::testing
