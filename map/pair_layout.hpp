#pragma once

#include <array>

#include "map/scene.hpp"
#include "map/view.hpp"

namespace pinwright::map {

// Where a painter draws the pair's markers and writes their labels, in pixels
// of the scene's view. Markers are discs of a given radius; texts are boxes of
// the size the painter's font gives them.

// A rectangle of the view: x right, y down, as Pixel.
struct Box {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
};

struct TextSize {
  double width = 0.0;
  double height = 0.0;
};

// Pixels kept free between two markers drawn side by side, and between a
// marker and a label.
inline constexpr double kMarkerGap = 4.0;
inline constexpr double kLabelClearance = 3.0;

struct MarkerPlaces {
  std::array<Pixel, 2> places;   // where rows 1 and 2 lie
  std::array<Pixel, 2> markers;  // where their markers are drawn
  // The pair lies so close that its markers would cover each other: they are
  // drawn side by side about the pair's midpoint, along the line from row 1
  // to row 2 (row 1 to the left when both lie within a pixel).
  bool set_apart = false;
};

MarkerPlaces place_markers(const Scene& scene, double marker_radius);

struct LabelPlaces {
  Box separation;
  std::array<Box, 2> names;  // rows 1 and 2
};

// Names beside their markers, off the line: to the right of a steep line (the
// upper name raised, the lower one lowered), on the outer sides of a flat one.
// The separation label beside the middle of the line, on the left of a steep
// line and above a flat one, or else on the other side (or turned from these
// towards the line's ends): as near as it lies clear of both markers and both
// names, and inside the view when it can be.
LabelPlaces place_labels(const View& view, const MarkerPlaces& markers, double marker_radius,
                         TextSize separation, const std::array<TextSize, 2>& names);

// Whether the box comes closer than `clearance` to the disc.
bool overlaps(const Box& box, Pixel centre, double radius, double clearance);
bool overlaps(const Box& a, const Box& b);

}  // namespace pinwright::map
