// Where the pair's markers and labels go: a pair too close for two markers
// is drawn side by side, and no label covers a marker or another label.
#include "map/pair_layout.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace pinwright::map {
namespace {

constexpr double kRadius = 8.0;
constexpr TextSize kSeparation{56.0, 14.0};
constexpr std::array<TextSize, 2> kNames = {{{90.0, 14.0}, {60.0, 14.0}}};

struct PairCase {
  const char* label;
  Pixel row1;
  Pixel row2;
  bool set_apart;
};

void PrintTo(const PairCase& row, std::ostream* out) {
  *out << row.label << ": (" << row.row1.x << ", " << row.row1.y << ") to (" << row.row2.x << ", "
       << row.row2.y << ")";
}

// The pair at these pixels of a 400 x 300 view.
Scene scene_of(const PairCase& row) {
  Scene scene;
  scene.view = View{{5.0, 52.0}, 0.5, 400, 300};
  scene.markers[0].position = to_point(scene.view, row.row1);
  scene.markers[1].position = to_point(scene.view, row.row2);
  return scene;
}

double distance(Pixel a, Pixel b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

class pair_layout_test : public ::testing::TestWithParam<PairCase> {};

TEST_P(pair_layout_test, markers_apart_and_labels_clear_of_them_and_of_each_other) {
  const PairCase& row = GetParam();
  const Scene scene = scene_of(row);
  const MarkerPlaces markers = place_markers(scene, kRadius);
  EXPECT_EQ(markers.set_apart, row.set_apart);
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_NEAR(markers.places[k].x, (k == 0 ? row.row1 : row.row2).x, 1e-9);
    EXPECT_NEAR(markers.places[k].y, (k == 0 ? row.row1 : row.row2).y, 1e-9);
  }
  // Both discs show whole, whatever the pair's separation.
  EXPECT_GE(distance(markers.markers[0], markers.markers[1]), 2 * kRadius + kMarkerGap - 1e-9);
  if (markers.set_apart) {
    // About the pair's own midpoint, in the direction from row 1 to row 2.
    EXPECT_NEAR(markers.markers[0].x + markers.markers[1].x, row.row1.x + row.row2.x, 1e-9);
    EXPECT_NEAR(markers.markers[0].y + markers.markers[1].y, row.row1.y + row.row2.y, 1e-9);
    const double drawn_x = markers.markers[1].x - markers.markers[0].x;
    const double drawn_y = markers.markers[1].y - markers.markers[0].y;
    const double true_x = row.row2.x - row.row1.x;
    const double true_y = row.row2.y - row.row1.y;
    if (distance(row.row1, row.row2) >= 1.0) {
      EXPECT_NEAR(drawn_x * true_y - drawn_y * true_x, 0.0, 1e-6) << "a turned direction";
      EXPECT_GT(drawn_x * true_x + drawn_y * true_y, 0.0);
    } else {
      EXPECT_GT(drawn_x, 0.0) << "row 1 to the left";
      EXPECT_DOUBLE_EQ(drawn_y, 0.0);
    }
  } else {
    EXPECT_EQ(markers.markers[0].x, markers.places[0].x);
    EXPECT_EQ(markers.markers[1].y, markers.places[1].y);
  }

  const LabelPlaces labels = place_labels(scene.view, markers, kRadius, kSeparation, kNames);
  EXPECT_DOUBLE_EQ(labels.separation.width, kSeparation.width);
  EXPECT_DOUBLE_EQ(labels.separation.height, kSeparation.height);
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(k == 0 ? "marker 1" : "marker 2");
    EXPECT_FALSE(overlaps(labels.separation, markers.markers[k], kRadius, kLabelClearance));
    EXPECT_FALSE(overlaps(labels.separation, labels.names[k]));
    EXPECT_FALSE(overlaps(labels.names[0], markers.markers[k], kRadius, 0.0));
    EXPECT_FALSE(overlaps(labels.names[1], markers.markers[k], kRadius, 0.0));
  }
  EXPECT_GE(labels.separation.left, 0.0);
  EXPECT_GE(labels.separation.top, 0.0);
  EXPECT_LE(labels.separation.right(), scene.view.width);
  EXPECT_LE(labels.separation.bottom(), scene.view.height);
}

INSTANTIATE_TEST_SUITE_P(
    pairs, pair_layout_test,
    ::testing::Values(PairCase{"north_60_px", {200, 180}, {200, 120}, false},
                      PairCase{"east_60_px", {170, 150}, {230, 150}, false},
                      PairCase{"west_60_px", {230, 150}, {170, 150}, false},
                      // Where the label beside a steep line once covered marker 1.
                      PairCase{"diagonal_29_px", {190, 160}, {210, 139}, false},
                      PairCase{"diagonal_down_29_px", {190, 140}, {210, 161}, false},
                      PairCase{"flat_diagonal_30_px", {185, 155}, {212, 143}, false},
                      PairCase{"just_apart", {190, 150}, {210, 150}, false},
                      PairCase{"touching", {195, 150}, {210, 150}, true},
                      PairCase{"north_6_px", {200, 153}, {200, 147}, true},
                      PairCase{"diagonal_3_px", {200, 150}, {202, 148}, true},
                      PairCase{"same_pixel", {200.3, 150.2}, {200.6, 150.4}, true},
                      PairCase{"at_the_left_edge", {20, 180}, {20, 120}, false},
                      PairCase{"at_the_top_edge", {170, 12}, {230, 12}, false},
                      PairCase{"close_in_a_corner", {10, 290}, {12, 289}, true}),
    [](const auto& info) { return std::string(info.param.label); });

// Far from the line only when nearer would cover something.
TEST(pair_layout_label_test, the_separation_sits_next_to_the_line_where_nothing_is) {
  const Scene scene = scene_of({"north", {200, 200}, {200, 100}, false});
  const MarkerPlaces markers = place_markers(scene, kRadius);
  const LabelPlaces labels = place_labels(scene.view, markers, kRadius, kSeparation, kNames);
  // Left of the steep line, at its middle, clear of it by the clearance.
  EXPECT_NEAR(labels.separation.right(), 200.0 - kLabelClearance, 1e-9);
  EXPECT_NEAR(labels.separation.top + kSeparation.height / 2.0, 150.0, 1e-9);
  // The names to the right of their markers, row 1's the lower one here.
  EXPECT_GT(labels.names[0].left, 200.0 + kRadius);
  EXPECT_GT(labels.names[1].left, 200.0 + kRadius);
  EXPECT_GT(labels.names[0].top, labels.names[1].top);

  // A pair drawn side by side: level with the middle still, past the markers.
  const Scene close = scene_of({"north", {200, 153}, {200, 147}, true});
  const MarkerPlaces apart = place_markers(close, kRadius);
  const LabelPlaces beside = place_labels(close.view, apart, kRadius, kSeparation, kNames);
  EXPECT_NEAR(beside.separation.top + kSeparation.height / 2.0, 150.0, 1e-9);
  EXPECT_LE(beside.separation.right(), 200.0 - kRadius - kLabelClearance + 2.0);
}

}  // namespace
}  // namespace pinwright::map
