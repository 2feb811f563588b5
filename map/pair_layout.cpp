#include "map/pair_layout.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pinwright::map {

namespace {

// How far the separation label may be pushed out from the line, in steps of
// two pixels, before it is allowed to leave the view.
constexpr int kStepsInView = 400;
constexpr int kStepsAnywhere = 2000;
constexpr double kStep = 2.0;
// The ways tried from the line's middle, in degrees from the side preferred,
// each with the pixels it must win by to be taken before the way straight
// across: a label turned towards the line's ends reads less clearly.
struct Turn {
  double degrees;
  int handicap;  // in steps
};
constexpr std::array<Turn, 12> kTurns = {{{0, 0},
                                          {180, 0},
                                          {30, 8},
                                          {-30, 8},
                                          {150, 8},
                                          {-150, 8},
                                          {60, 16},
                                          {-60, 16},
                                          {120, 16},
                                          {-120, 16},
                                          {90, 24},
                                          {-90, 24}}};

struct Direction {
  double x = 1.0;
  double y = 0.0;
};

// From `from` to `to`, or to the right when they lie within a pixel.
Direction direction(Pixel from, Pixel to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  const double length = std::hypot(dx, dy);
  if (!(length >= 1.0)) return {};
  return {dx / length, dy / length};
}

Box centred_box(Pixel centre, TextSize size) {
  return {centre.x - size.width / 2.0, centre.y - size.height / 2.0, size.width, size.height};
}

bool inside(const Box& box, const View& view) {
  return box.left >= 0.0 && box.top >= 0.0 && box.right() <= view.width &&
         box.bottom() <= view.height;
}

}  // namespace

bool overlaps(const Box& box, Pixel centre, double radius, double clearance) {
  const double nearest_x = std::clamp(centre.x, box.left, box.right());
  const double nearest_y = std::clamp(centre.y, box.top, box.bottom());
  return std::hypot(centre.x - nearest_x, centre.y - nearest_y) < radius + clearance;
}

bool overlaps(const Box& a, const Box& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

MarkerPlaces place_markers(const Scene& scene, double marker_radius) {
  MarkerPlaces placed;
  for (std::size_t row = 0; row < 2; ++row)
    placed.places[row] = to_pixel(scene.view, scene.markers[row].position);
  placed.markers = placed.places;
  const Pixel& one = placed.places[0];
  const Pixel& two = placed.places[1];
  const double apart = 2.0 * marker_radius + kMarkerGap;
  if (!(std::hypot(two.x - one.x, two.y - one.y) < apart)) return placed;
  placed.set_apart = true;
  const Direction along = direction(one, two);
  const Pixel middle{(one.x + two.x) / 2.0, (one.y + two.y) / 2.0};
  placed.markers[0] = {middle.x - along.x * apart / 2.0, middle.y - along.y * apart / 2.0};
  placed.markers[1] = {middle.x + along.x * apart / 2.0, middle.y + along.y * apart / 2.0};
  return placed;
}

LabelPlaces place_labels(const View& view, const MarkerPlaces& markers, double marker_radius,
                         TextSize separation, const std::array<TextSize, 2>& names) {
  LabelPlaces placed;
  const Pixel& one = markers.markers[0];
  const Pixel& two = markers.markers[1];
  const double gap = marker_radius + kMarkerGap;
  const bool steep = std::abs(two.y - one.y) >= std::abs(two.x - one.x);
  if (steep) {
    // Row 2 lower on the screen: row 1's name goes up, row 2's down.
    const double lower = two.y >= one.y ? 1.0 : -1.0;
    placed.names[0] =
        centred_box({one.x + gap + names[0].width / 2.0, one.y - lower * marker_radius}, names[0]);
    placed.names[1] =
        centred_box({two.x + gap + names[1].width / 2.0, two.y + lower * marker_radius}, names[1]);
  } else {
    const std::size_t left = two.x > one.x ? 0 : 1;
    const std::size_t right = 1 - left;
    const Pixel& at_left = markers.markers[left];
    const Pixel& at_right = markers.markers[right];
    placed.names[left] =
        centred_box({at_left.x - gap - names[left].width / 2.0, at_left.y}, names[left]);
    placed.names[right] =
        centred_box({at_right.x + gap + names[right].width / 2.0, at_right.y}, names[right]);
  }

  // Across the line first: the side first tried points left of a steep line
  // and up from a flat one. Then turned from there by 30 degrees at a time,
  // for a pair in a corner of the view, whose sides both lead out of it.
  const Direction along = direction(one, two);
  Direction across{-along.y, along.x};
  if (steep ? across.x > 0.0 : across.y > 0.0) across = {-across.x, -across.y};
  const Pixel middle{(one.x + two.x) / 2.0, (one.y + two.y) / 2.0};
  const auto clear = [&](const Box& box) {
    for (std::size_t row = 0; row < 2; ++row) {
      if (overlaps(box, markers.markers[row], marker_radius, kLabelClearance)) return false;
      if (overlaps(box, placed.names[row])) return false;
    }
    return true;
  };
  const auto candidate = [&](int step, double degrees) {
    const double turn = degrees * std::numbers::pi / 180.0;
    const Direction way{across.x * std::cos(turn) - across.y * std::sin(turn),
                        across.x * std::sin(turn) + across.y * std::cos(turn)};
    // Half the label's depth that way: at this distance it just clears the middle.
    const double depth =
        separation.width / 2.0 * std::abs(way.x) + separation.height / 2.0 * std::abs(way.y);
    const double distance = depth + kLabelClearance + step * kStep;
    return centred_box({middle.x + way.x * distance, middle.y + way.y * distance}, separation);
  };
  for (const bool in_view : {true, false}) {
    const int steps = in_view ? kStepsInView : kStepsAnywhere;
    for (int cost = 0; cost < steps; ++cost) {
      for (const Turn& turn : kTurns) {
        if (cost < turn.handicap) continue;
        const Box box = candidate(cost - turn.handicap, turn.degrees);
        if (clear(box) && (!in_view || inside(box, view))) {
          placed.separation = box;
          return placed;
        }
      }
    }
  }
  placed.separation = candidate(kStepsAnywhere, 0.0);
  return placed;
}

}  // namespace pinwright::map
