// The scene of a review stop: the pair, its line and circle, the entries
// around it, the scale bar, and the lines a transcript prints of them.
#include "map/scene.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/distance.hpp"
#include "engine/grid.hpp"

#include "tests/support/record_table.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::map {
namespace {

poi::PoiRecord entry(double longitude, double latitude, std::string_view name) {
  poi::PoiRecord record;
  record.longitude = static_cast<float>(longitude);
  record.latitude = static_cast<float>(latitude);
  record.name.assign(name);
  return record;
}

// Entries 1 and 2 of `table` as the pending pair, the others around it.
SceneInput pair_input(const testing::RecordTable& table, std::int32_t count, const View& view,
                      float radius) {
  const float separation = engine::distance(table[1].latitude, table[1].longitude,
                                            table[2].latitude, table[2].longitude);
  return SceneInput{.view = view,
                    .table = table.table(),
                    .first = 1,
                    .last = count,
                    .leave_out = {1, 2},
                    .row1 = table[1],
                    .row2 = table[2],
                    .row1_entry = 1,
                    .row2_entry = 2,
                    .separation = separation,
                    .radius = radius};
}

View view_of_pair(const testing::RecordTable& table, double radius) {
  return fit_view({table[1].longitude, table[1].latitude}, {table[2].longitude, table[2].latitude},
                  radius, 800, 600);
}

std::vector<std::int32_t> dot_entries(const Scene& scene) {
  std::vector<std::int32_t> entries;
  for (const Dot& dot : scene.dots) entries.push_back(dot.entry);
  return entries;
}

const Dot& dot_of(const Scene& scene, std::int32_t entry) {
  for (const Dot& dot : scene.dots)
    if (dot.entry == entry) return dot;
  throw std::runtime_error("no dot for entry " + std::to_string(entry));
}

TEST(scene_test, shows_the_pair_its_line_and_the_match_radius_around_row_1) {
  testing::RecordTable table;
  table[1] = entry(5.0710, 52.4960, "Volendam");
  table[2] = entry(5.0710, 52.49612, "Volendam Centrum  ");
  table[3] = entry(5.0480, 52.5130, "Edam");  // 2 km away: out of view
  table[4] = entry(5.0712, 52.4961, "Haven");
  SceneInput input = pair_input(table, 4, view_of_pair(table, 20), 20);
  input.row1_entry = 17;  // the pair's numbers as the rows show them
  input.row2_entry = 5;
  input.separation = 12.97f;
  const Scene scene = build_scene(input);

  EXPECT_EQ(scene.markers[0].entry, 17);
  EXPECT_EQ(scene.markers[0].name, "Volendam");
  EXPECT_EQ(scene.markers[1].entry, 5);
  EXPECT_EQ(scene.markers[1].name, "Volendam Centrum");
  // North-south and about 13 m apart, either side of the centre.
  EXPECT_NEAR(scene.markers[0].position.x, 0.0, 1e-9);
  EXPECT_NEAR(scene.markers[0].position.y, -scene.markers[1].position.y, 1e-9);
  EXPECT_NEAR(scene.markers[1].position.y - scene.markers[0].position.y,
              engine::distance(table[1].latitude, table[1].longitude, table[2].latitude,
                               table[2].longitude),
              1e-3);
  EXPECT_EQ(scene.line.from.y, scene.markers[0].position.y);
  EXPECT_EQ(scene.line.to.y, scene.markers[1].position.y);
  EXPECT_EQ(scene.line.label, "12.97 m");
  EXPECT_EQ(scene.circle.centre.y, scene.markers[0].position.y);
  EXPECT_EQ(scene.circle.radius, 20.0);
  EXPECT_EQ(dot_entries(scene), std::vector<std::int32_t>{4});
  EXPECT_EQ(scene.name(scene.dots[0]), "Haven");
  EXPECT_TRUE(scene.dot_labels);
  EXPECT_EQ(scene.scale.label, "20 m");  // the view is 4 radii (80 m) high, 107 m wide
}

TEST(scene_test, draws_no_circle_for_a_radius_of_zero_or_less) {
  testing::RecordTable table;
  table[1] = entry(5.0710, 52.4960, "A");
  table[2] = entry(5.0710, 52.49612, "B");
  for (const float radius : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) {
    SceneInput input = pair_input(table, 2, view_of_pair(table, 20), radius);
    EXPECT_EQ(build_scene(input).circle.radius, 0.0) << radius;
  }
}

struct ScaleCase {
  std::string name;
  int width;
  double metres_per_pixel;
  double length;
  std::string label;
};

void PrintTo(const ScaleCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.width, row.metres_per_pixel, row.length, row.label);
}

class scale_bar_test : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(scale_bar_test, is_the_largest_round_length_within_a_fifth_of_the_width) {
  const ScaleCase& c = GetParam();
  const ScaleBar bar = scale_bar(View{{5, 52}, c.metres_per_pixel, c.width, 600});
  EXPECT_EQ(bar.length, c.length);
  EXPECT_EQ(bar.label, c.label);
}

INSTANTIATE_TEST_SUITE_P(
    zooms, scale_bar_test,
    ::testing::Values(ScaleCase{"finest", 800, 0.001, 0.1, "0.1 m"},
                      ScaleCase{"two_tenths", 600, 0.002, 0.2, "0.2 m"},
                      ScaleCase{"five_centimetres", 800, 0.0004, 0.05, "0.05 m"},
                      ScaleCase{"five_metres", 800, 0.0432, 5, "5 m"},
                      ScaleCase{"ten_metres", 800, 0.1, 10, "10 m"},
                      ScaleCase{"exactly_fifty", 1000, 0.25, 50, "50 m"},
                      ScaleCase{"just_under_a_hundred", 800, 0.6249, 50, "50 m"},
                      ScaleCase{"two_hundred", 800, 3, 200, "200 m"},
                      ScaleCase{"one_kilometre", 800, 6.25, 1000, "1 km"},
                      ScaleCase{"two_kilometres", 800, 15, 2000, "2 km"},
                      ScaleCase{"five_hundred_kilometres", 800, 4000, 500'000, "500 km"},
                      ScaleCase{"coarsest", 800, kMaxMetresPerPixel, 5'000'000, "5000 km"}),
    [](const auto& info) { return info.param.name; });

TEST(scene_test, shows_a_pair_across_180_side_by_side_with_its_neighbours) {
  testing::RecordTable table;
  table[1] = entry(179.9999, 45, "West");
  table[2] = entry(-179.9999, 45, "East");
  table[3] = entry(179.99985, 45.00001, "Beside west");
  table[4] = entry(-179.99985, 44.99999, "Beside east");
  table[5] = entry(0, 45, "Far");
  const Scene scene = build_scene(pair_input(table, 5, view_of_pair(table, 20), 20));
  EXPECT_LT(scene.markers[0].position.x, 0.0);
  EXPECT_GT(scene.markers[1].position.x, 0.0);
  EXPECT_EQ(scene.markers[0].position.y, 0.0);
  EXPECT_EQ(dot_entries(scene), (std::vector<std::int32_t>{3, 4}));
  EXPECT_LT(dot_of(scene, 3).position.x, scene.markers[0].position.x);
  EXPECT_GT(dot_of(scene, 4).position.x, scene.markers[1].position.x);
  EXPECT_NEAR(dot_of(scene, 3).position.x, -12.0, 0.1);  // 0.00015 degrees at 45 north
}

TEST(scene_test, shows_a_pair_at_89_9_side_by_side_and_the_pole_beyond) {
  testing::RecordTable table;
  table[1] = entry(10.0, 89.9, "A");
  table[2] = entry(10.1, 89.9, "B");
  table[3] = entry(10.05, 89.9, "Between");
  table[4] = entry(10.05, 89.9002, "North of them");
  table[5] = entry(-169.95, 89.9, "Across the pole");  // 35 km along the parallel
  const Scene scene = build_scene(pair_input(table, 5, view_of_pair(table, 20), 20));
  EXPECT_EQ(scene.markers[0].position.y, scene.markers[1].position.y);
  EXPECT_NEAR(scene.markers[1].position.x - scene.markers[0].position.x,
              engine::distance(89.9f, 10.0f, 89.9f, 10.1f), 1e-3);
  EXPECT_EQ(dot_entries(scene), (std::vector<std::int32_t>{3, 4}));
  EXPECT_NEAR(dot_of(scene, 3).position.x, 0.0, 0.01);
  EXPECT_NEAR(dot_of(scene, 4).position.y, 22.3, 1.0);  // 0.0002 degrees, in floats
}

// A view with a pixel's middle at its centre (odd sides), 10 m a pixel.
const View kCrowdView{{5.0, 52.0}, 10.0, 801, 601};

// Entries on the middles of pixels of kCrowdView: (column, row) each.
poi::PoiRecord on_pixel(double column, double row, std::string_view name) {
  const GeoPoint ground =
      Projection(kCrowdView.centre).to_degrees(to_point(kCrowdView, {column + 0.5, row + 0.5}));
  return entry(ground.longitude, ground.latitude, name);
}

SceneInput crowd_input(const testing::RecordTable& table, std::int32_t first, std::int32_t last) {
  return SceneInput{.view = kCrowdView,
                    .table = table.table(),
                    .first = first,
                    .last = last,
                    .row1 = entry(5.0, 52.0, "Pair 1"),
                    .row2 = entry(5.0, 52.0001, "Pair 2")};
}

TEST(scene_crowding_test, many_entries_on_one_pixel_give_the_first_of_them) {
  testing::RecordTable table;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  for (std::int32_t j = 1; j <= 300; ++j)
    table[j] = on_pixel(400 + jitter(random), 300 + jitter(random), "Crowd");
  EXPECT_EQ(dot_entries(build_scene(crowd_input(table, 1, 300))), std::vector<std::int32_t>{1});
  EXPECT_EQ(dot_entries(build_scene(crowd_input(table, 50, 300))), std::vector<std::int32_t>{50});
  SceneInput without_first = crowd_input(table, 1, 300);
  without_first.leave_out = {1, 2};
  EXPECT_EQ(dot_entries(build_scene(without_first)), std::vector<std::int32_t>{3});
}

TEST(scene_crowding_test, neighbouring_pixels_keep_a_dot_each) {
  testing::RecordTable table;
  table[1] = on_pixel(400, 300, "Middle");
  table[2] = on_pixel(401, 300, "East");
  table[3] = on_pixel(400, 299, "North");
  table[4] = on_pixel(400.2, 300.2, "Middle again");
  const Scene scene = build_scene(crowd_input(table, 1, 4));
  EXPECT_EQ(dot_entries(scene), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_NEAR(dot_of(scene, 2).position.x, 10.0, 0.5);
  EXPECT_NEAR(dot_of(scene, 3).position.y, 10.0, 0.5);
}

struct LabelCase {
  std::string name;
  std::int32_t dots;
  bool labels;
};

void PrintTo(const LabelCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.dots, row.labels);
}

class scene_label_test : public ::testing::TestWithParam<LabelCase> {};

TEST_P(scene_label_test, names_beside_dots_only_when_few_are_in_view) {
  const LabelCase& c = GetParam();
  testing::RecordTable table;
  for (std::int32_t j = 1; j <= c.dots; ++j)
    table[j] = on_pixel(5.0 * j, 3.0 * j, "Entry " + std::to_string(j));
  const Scene scene = build_scene(crowd_input(table, 1, c.dots));
  ASSERT_EQ(scene.dots.size(), static_cast<std::size_t>(c.dots));
  EXPECT_EQ(scene.dot_labels, c.labels);
  if (c.dots > 0) {
    EXPECT_EQ(scene.name(scene.dots.back()), "Entry " + std::to_string(c.dots));
  }
}

INSTANTIATE_TEST_SUITE_P(counts, scene_label_test,
                         ::testing::Values(LabelCase{"none", 0, true}, LabelCase{"one", 1, true},
                                           LabelCase{"thirty", 30, true},
                                           LabelCase{"thirty_one", 31, false},
                                           LabelCase{"a_hundred_fifty", 150, false}),
                         [](const auto& info) { return info.param.name; });

TEST(scene_crowding_test, leaves_out_comments_the_pair_and_what_lies_outside) {
  testing::RecordTable table;
  table[1] = on_pixel(10, 10, "Pair 1");
  table[2] = on_pixel(20, 10, "Pair 2");
  table[3] = poi::make_comment("; a comment");
  table[4] = on_pixel(-1, 10, "West of the view");
  table[5] = on_pixel(10, 601, "South of the view");
  table[6] = on_pixel(0, 0, "Top-left corner");
  table[7] = on_pixel(800, 600, "Bottom-right corner");
  table[8] = on_pixel(30, 10, "Past the range");
  SceneInput input = crowd_input(table, 1, 7);
  input.leave_out = {1, 2};
  EXPECT_EQ(dot_entries(build_scene(input)), (std::vector<std::int32_t>{6, 7}));
}

enum class Layout { world, date_line, polar };
const char* const kLayoutNames[] = {"world", "date_line", "polar"};

poi::PoiRecord place(Layout layout, std::mt19937& random) {
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  };
  if (std::uniform_int_distribution<int>(0, 19)(random) == 0) return poi::make_comment("; c");
  switch (layout) {
    case Layout::world:
      return entry(uniform(-180, 180), uniform(-80, 80), "World");
    case Layout::date_line:
      return entry(uniform(0, 1) < 0.5 ? uniform(179.99, 180) : uniform(-180, -179.99),
                   uniform(-0.01, 0.01), "Date line");
    case Layout::polar:
      return entry(uniform(-180, 180), uniform(89.9, 90), "Pole");
  }
  return {};
}

class scene_index_test : public ::testing::TestWithParam<Layout> {};

TEST_P(scene_index_test, finds_the_same_dots_as_a_scan) {
  std::mt19937 random(static_cast<std::uint32_t>(GetParam()) + 11);
  // Built round after round in the storage of the rounds before.
  Scene reused;
  SceneScratch scratch;
  for (int round = 0; round < 40; ++round) {
    const std::int32_t count = std::uniform_int_distribution<std::int32_t>(2, 3000)(random);
    testing::RecordTable table;
    for (std::int32_t j = 1; j <= count; ++j) table[j] = place(GetParam(), random);
    while (poi::is_comment(table[2])) table[2] = place(GetParam(), random);
    table[1] = entry(table[2].longitude, table[2].latitude + 1e-4, "Pair");
    // Entries appended since the grid's last build are scanned.
    poi::CompactTable known;
    const std::int32_t synced = std::uniform_int_distribution<std::int32_t>(0, count)(random);
    for (std::int32_t j = 1; j <= synced; ++j) known.append(table[j]);
    engine::Grid index(20.0f, engine::PointOrder::probe_first);
    index.build(known);

    View view = view_of_pair(table, std::pow(10.0, std::uniform_real_distribution<>(0, 3)(random)));
    view = zoom_about(view, {400, 300},
                      std::pow(10.0, std::uniform_real_distribution<>(-6, 1)(random)));
    SceneInput input = pair_input(table, count, view, 20);
    input.first = std::uniform_int_distribution<std::int32_t>(1, count)(random);
    const Scene scanned = build_scene(input);
    input.index = &index;
    const Scene indexed = build_scene(input);
    build_scene(input, reused, scratch);
    ASSERT_EQ(describe(reused), describe(indexed)) << "round " << round;

    ASSERT_EQ(dot_entries(indexed), dot_entries(scanned)) << "round " << round;
    for (std::size_t k = 0; k < scanned.dots.size(); ++k) {
      EXPECT_EQ(indexed.dots[k].position.x, scanned.dots[k].position.x);
      EXPECT_EQ(indexed.dots[k].position.y, scanned.dots[k].position.y);
    }
    EXPECT_EQ(indexed.dot_names, scanned.dot_names);
    EXPECT_EQ(indexed.dot_labels, scanned.dot_labels);
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, scene_index_test,
                         ::testing::Values(Layout::world, Layout::date_line, Layout::polar),
                         [](const auto& info) {
                           return kLayoutNames[static_cast<int>(info.param)];
                         });

TEST(describe_test, writes_one_line_an_element_with_texts_escaped) {
  Scene scene;
  scene.view = {{4.89, -52.37}, 0.04321, 800, 600};
  scene.markers = {Marker{17, {0.0, -6.484}, "Volendam"},
                   Marker{5, {-0.001, 6.486}, "Say \"hi\"\\ \t\x01\xE9"}};
  scene.line = {{0.0, -6.484}, {-0.001, 6.486}, "12.97 m"};
  scene.circle = {{0.0, -6.484}, 20.0};
  scene.scale = {0.05, "0.05 m"};
  scene.dot_names = "EdamMonnickendam";
  scene.dots = {Dot{3, {-12.4, 20.017}, 0, 4}, Dot{9, {30.1, -8.0}, 4, 12}};
  scene.dot_labels = true;
  const std::vector<std::string> expected = {
      "map view lon=4.890000 lat=-52.370000 metres_per_pixel=0.0432 width=800 height=600",
      "map marker 1 entry=17 x=0.00 y=-6.48 name=\"Volendam\"",
      "map marker 2 entry=5 x=0.00 y=6.49 name=\"Say \\\"hi\\\"\\\\ \\t\\x01\xE9\"",
      "map line x1=0.00 y1=-6.48 x2=0.00 y2=6.49 label=\"12.97 m\"",
      "map circle x=0.00 y=-6.48 r=20.00",
      "map scale length=0.05 label=\"0.05 m\"",
      "map dots count=2 labels=shown",
      "map dot 3 x=-12.40 y=20.02 name=\"Edam\"",
      "map dot 9 x=30.10 y=-8.00 name=\"Monnickendam\"",
  };
  EXPECT_EQ(describe(scene), expected);
  scene.dot_labels = false;
  EXPECT_EQ(describe(scene)[6], "map dots count=2 labels=hidden");
}

}  // namespace
}  // namespace pinwright::map
