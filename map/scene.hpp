#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/grid.hpp"
#include "map/view.hpp"
#include "poi/compact_table.hpp"
#include "poi/record.hpp"

namespace pinwright::map {

// The map of a review stop, in metres from the view's centre (x east, y
// north): everything a painter needs, nothing it must work out. Names are the
// bytes of the file, trailing blanks cut; the window decodes them.

// Names are written beside the dots only when this many or fewer are in view.
inline constexpr std::size_t kMaxLabelledDots = 30;

// One row of the pending pair: row 1 (the Master side) or row 2.
struct Marker {
  std::int32_t entry = 0;
  Point position;
  std::string name;
};

// From row 1 to row 2, labelled with the separation as the review row shows it.
struct Line {
  Point from;
  Point to;
  std::string label;
};

// The Match radius around row 1.
struct Circle {
  Point centre;
  double radius = 0.0;  // metres
};

// Another entry in view; its name lies in Scene::dot_names.
struct Dot {
  std::int32_t entry = 0;
  Point position;
  std::uint32_t name_offset = 0;
  std::uint32_t name_length = 0;
};

// A round length (1, 2 or 5 times a power of ten metres) of about a fifth of
// the view's width, labelled "20 m", "500 m", "1 km", "0.5 m".
struct ScaleBar {
  double length = 0.0;  // metres
  std::string label;
};

struct Scene {
  View view;
  std::array<Marker, 2> markers;  // row 1, row 2
  Line line;
  Circle circle;
  ScaleBar scale;
  // In ascending entry order, at most one a pixel: of entries sharing a
  // pixel the first stands for all.
  std::vector<Dot> dots;
  // The dots' names one after another, so that 50,000 dots cost one string.
  std::string dot_names;
  // Whether the dots' names are written beside them (few dots in view); a
  // dot's name shows on hovering either way, the pair's names always.
  bool dot_labels = false;

  std::string_view name(const Dot& dot) const {
    return std::string_view(dot_names).substr(dot.name_offset, dot.name_length);
  }
};

struct SceneInput {
  View view;
  // The other entries: table[first..last], comment records aside, found
  // through `index` when given (which must be in line with the table up to
  // its count; entries past it are scanned) or by a scan of the range.
  const poi::CompactTable& table;
  std::int32_t first = 1;
  std::int32_t last = 0;
  const engine::Grid* index = nullptr;
  // Entry numbers shown as markers instead of dots: the pair's own.
  std::vector<std::int32_t> leave_out = {};
  // The pending pair as the review rows show it, with their entry numbers.
  poi::PoiRecord row1 = {};
  poi::PoiRecord row2 = {};
  std::int32_t row1_entry = 0;
  std::int32_t row2_entry = 0;
  float separation = 0.0f;  // metres, as the run measured it
  float radius = 0.0f;      // the Match radius, metres
};

Scene build_scene(const SceneInput& input);

// What building a scene needs besides the scene itself.
struct SceneScratch {
  std::vector<std::int32_t> entries;
  std::vector<bool> inside;
  std::vector<bool> taken;
};

// The same scene built into `scene`, in the storage it and `scratch` kept
// from the last build: a window that builds anew at every wheel step or drag
// then asks for no fresh memory, which for tens of thousands of dots costs
// more than the building itself.
void build_scene(const SceneInput& input, Scene& scene, SceneScratch& scratch);

ScaleBar scale_bar(const View& view);

// One line per element, for a transcript. Metres with two decimals, degrees
// with six, numbers never in the locale's form; texts in double quotes with
// backslash, double quote, carriage return, line feed and tab written as
// \\ \" \r \n \t, other bytes below 0x20 and 0x7F as \xHH, all other bytes as
// they are. In this order:
//
//   map view lon=4.890000 lat=52.370000 metres_per_pixel=0.0432 width=800 height=600
//   map marker 1 entry=17 x=0.00 y=-6.48 name="Volendam"
//   map marker 2 entry=5 x=0.00 y=6.48 name="Volendam Centrum"
//   map line x1=0.00 y1=-6.48 x2=0.00 y2=6.48 label="12.97 m"
//   map circle x=0.00 y=-6.48 r=20.00
//   map scale length=10 label="10 m"
//   map dots count=2 labels=shown          (or labels=hidden)
//   map dot 3 x=-12.40 y=20.02 name="Edam"
//   map dot 9 x=30.10 y=-8.00 name="Monnickendam"
std::vector<std::string> describe(const Scene& scene);

}  // namespace pinwright::map
