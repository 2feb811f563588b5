#include "map/scene.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "engine/distance.hpp"

namespace pinwright::map {

namespace {

// Bytes kept for each dot's name before the names' string must grow.
constexpr std::size_t kNameRoom = 40;

GeoPoint position_of(const poi::PoiRecord& record) {
  return {record.longitude, record.latitude};
}

// The ground the view covers and a pixel more all round, so that rounding at
// the edges never loses a dot. Longitudes count modulo 360 in the box: one
// across the 180th meridian holds both sides, and one reaching half-way round
// (near a pole, or zoomed far out) holds every longitude.
engine::LatLonBox ground_in_view(const View& view, const Projection& projection) {
  const double half_height = (view.height / 2.0 + 1.0) * view.metres_per_pixel;
  const double half_width = (view.width / 2.0 + 1.0) * view.metres_per_pixel;
  const double lat_reach = half_height / projection.metres_per_degree_north();
  const double east = projection.metres_per_degree_east();
  const double lon_reach = east > 0.0 ? half_width / east : std::numeric_limits<double>::infinity();
  return {view.centre.latitude - lat_reach, view.centre.latitude + lat_reach,
          view.centre.longitude - lon_reach, view.centre.longitude + lon_reach};
}

// The entries of the range inside `box`, in ascending order.
void entries_in(const SceneInput& input, const engine::LatLonBox& box, SceneScratch& scratch) {
  std::vector<std::int32_t>& entries = scratch.entries;
  entries.clear();
  std::int32_t scan_from = input.first;
  if (input.index) {
    // The index answers in its own order: marks put the range's in order
    // faster than a sort.
    const std::int32_t known = std::min(input.last, input.index->count());
    if (known >= input.first) {
      std::vector<bool>& inside = scratch.inside;
      inside.assign(static_cast<std::size_t>(known - input.first + 1), false);
      std::size_t count = 0;
      input.index->for_each_in_box(box, [&](std::int32_t j) {
        if (j < input.first || j > known) return;
        inside[static_cast<std::size_t>(j - input.first)] = true;
        ++count;
      });
      entries.reserve(count);
      for (std::size_t k = 0; k < inside.size(); ++k)
        if (inside[k]) entries.push_back(input.first + static_cast<std::int32_t>(k));
    }
    scan_from = std::max(input.first, known + 1);
  } else if (input.last >= input.first) {
    entries.reserve(static_cast<std::size_t>(input.last - input.first + 1));
  }
  for (std::int32_t j = scan_from; j <= input.last; ++j) {
    if (!input.table.is_comment(j) &&
        box.contains(input.table.latitude(j), input.table.longitude(j)))
      entries.push_back(j);
  }
}

void collect_dots(const SceneInput& input, const Projection& projection, Scene& scene,
                  SceneScratch& scratch) {
  scene.dots.clear();
  scene.dot_names.clear();
  scene.dot_labels = false;
  const View& view = scene.view;
  if (view.width < 1 || view.height < 1) return;
  const auto width = static_cast<std::size_t>(view.width);
  const std::size_t pixels = width * static_cast<std::size_t>(view.height);
  std::vector<bool>& taken = scratch.taken;
  taken.assign(pixels, false);
  entries_in(input, ground_in_view(view, projection), scratch);
  const std::vector<std::int32_t>& entries = scratch.entries;
  // Room for every dot and a name of usual length, so that no copy is made
  // on the way (pages never touched cost nothing).
  scene.dots.reserve(std::min(entries.size(), pixels));
  scene.dot_names.reserve(scene.dots.capacity() * kNameRoom);
  for (const std::int32_t j : entries) {
    if (std::find(input.leave_out.begin(), input.leave_out.end(), j) != input.leave_out.end())
      continue;
    const Point point =
        projection.to_metres(GeoPoint{input.table.longitude(j), input.table.latitude(j)});
    const Pixel pixel = to_pixel(view, point);
    const double column = std::floor(pixel.x);
    const double row = std::floor(pixel.y);
    if (!(column >= 0.0 && column < view.width && row >= 0.0 && row < view.height)) continue;
    const std::size_t cell =
        static_cast<std::size_t>(row) * width + static_cast<std::size_t>(column);
    if (taken[cell]) continue;
    taken[cell] = true;
    const std::string_view name = input.table.name_field(j);
    scene.dots.push_back(Dot{j, point, static_cast<std::uint32_t>(scene.dot_names.size()),
                             static_cast<std::uint32_t>(name.size())});
    scene.dot_names += name;
  }
  scene.dot_labels = scene.dots.size() <= kMaxLabelledDots;
}

// Metres in the shortest form that reads back exactly: "10", "0.05", "2000".
std::string shortest(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

// Fixed decimals; a value that rounds to zero loses its minus sign.
std::string fixed(double value, int decimals) {
  std::array<char, 400> buffer{};  // room for any double in fixed form
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  std::string text(buffer.data(), result.ptr);
  if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string::npos)
    text.erase(0, 1);
  return text;
}

std::string quoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string xy(Point point) {
  return "x=" + fixed(point.x, 2) + " y=" + fixed(point.y, 2);
}

}  // namespace

ScaleBar scale_bar(const View& view) {
  const double target = std::max(view.width, 1) * view.metres_per_pixel / 5.0;
  if (!(target > 0.0) || !std::isfinite(target)) return {};
  // The largest 1, 2 or 5 times 10^n not above the target, each value
  // rounded once from its exact decimal, so that 0.05 prints as 0.05.
  const auto value = [](double mantissa, int exponent) {
    return exponent >= 0 ? mantissa * std::pow(10.0, exponent)
                         : mantissa / std::pow(10.0, -exponent);
  };
  int exponent = static_cast<int>(std::floor(std::log10(target)));
  if (value(1.0, exponent) > target) --exponent;
  if (value(1.0, exponent + 1) <= target) ++exponent;
  double length = value(1.0, exponent);
  for (const double mantissa : {2.0, 5.0})
    if (value(mantissa, exponent) <= target) length = value(mantissa, exponent);
  return {length, length < 1000.0 ? shortest(length) + " m" : shortest(length / 1000.0) + " km"};
}

Scene build_scene(const SceneInput& input) {
  Scene scene;
  SceneScratch scratch;
  build_scene(input, scene, scratch);
  return scene;
}

void build_scene(const SceneInput& input, Scene& scene, SceneScratch& scratch) {
  scene.view = input.view;
  const Projection projection(input.view.centre);
  scene.markers = {
      Marker{input.row1_entry, projection.to_metres(position_of(input.row1)),
             std::string(input.row1.name.trimmed())},
      Marker{input.row2_entry, projection.to_metres(position_of(input.row2)),
             std::string(input.row2.name.trimmed())},
  };
  // The review field's text without the blanks that right-align it there.
  std::string separation = engine::separation_text(input.separation);
  separation.erase(0, separation.find_first_not_of(' '));
  scene.line = {scene.markers[0].position, scene.markers[1].position, separation + " m"};
  scene.circle = {scene.markers[0].position, input.radius > 0.0f ? input.radius : 0.0};
  scene.scale = scale_bar(input.view);
  collect_dots(input, projection, scene, scratch);
}

std::vector<std::string> describe(const Scene& scene) {
  std::vector<std::string> lines;
  lines.reserve(7 + scene.dots.size());
  const View& view = scene.view;
  lines.push_back(
      "map view lon=" + fixed(view.centre.longitude, 6) + " lat=" + fixed(view.centre.latitude, 6) +
      " metres_per_pixel=" + fixed(view.metres_per_pixel, 4) +
      " width=" + std::to_string(view.width) + " height=" + std::to_string(view.height));
  for (std::size_t row = 0; row < scene.markers.size(); ++row) {
    const Marker& marker = scene.markers[row];
    lines.push_back("map marker " + std::to_string(row + 1) +
                    " entry=" + std::to_string(marker.entry) + " " + xy(marker.position) +
                    " name=" + quoted(marker.name));
  }
  lines.push_back("map line x1=" + fixed(scene.line.from.x, 2) +
                  " y1=" + fixed(scene.line.from.y, 2) + " x2=" + fixed(scene.line.to.x, 2) +
                  " y2=" + fixed(scene.line.to.y, 2) + " label=" + quoted(scene.line.label));
  lines.push_back("map circle " + xy(scene.circle.centre) + " r=" + fixed(scene.circle.radius, 2));
  lines.push_back("map scale length=" + shortest(scene.scale.length) +
                  " label=" + quoted(scene.scale.label));
  lines.push_back("map dots count=" + std::to_string(scene.dots.size()) +
                  " labels=" + (scene.dot_labels ? "shown" : "hidden"));
  for (const Dot& dot : scene.dots)
    lines.push_back("map dot " + std::to_string(dot.entry) + " " + xy(dot.position) +
                    " name=" + quoted(scene.name(dot)));
  return lines;
}

}  // namespace pinwright::map
