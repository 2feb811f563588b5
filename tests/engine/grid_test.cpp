// The run's grid must give exactly the plain scan's answer (same entry, same
// separation bits) whatever the layout, the radius asked and the number of
// threads, and go on doing so as a run appends, moves and drops entries; its
// box query must list exactly what a scan finds inside the box.
#include "engine/grid.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/scattered_places.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

using testing::Layout;

struct LayoutCase {
  std::string label;
  Layout layout;
};

void PrintTo(const LayoutCase& row, std::ostream* out) {
  *out << row.label;
}

const LayoutCase kLayouts[] = {{"clustered", Layout::clustered},
                               {"uniform", Layout::uniform},
                               {"polar", Layout::polar},
                               {"date line", Layout::date_line},
                               {"odd values", Layout::odd_values}};

struct Generator : testing::PlaceGenerator {
  using PlaceGenerator::PlaceGenerator;

  float radius() {
    switch (pick(0, 5)) {
      case 0:
        return 0.0f;
      case 1:
        return 1.0e30f;
      default:
        return std::pow(10.0f, uniform(-1.0f, 5.0f));
    }
  }

  void fill(poi::CompactTable& table, Layout layout, std::int32_t count) {
    const std::int32_t before = table.size();
    for (std::int32_t j = 1; j <= count; ++j) {
      // Some entries at the very spot of an earlier one.
      if (before + j > 1 && pick(0, 9) == 0)
        table.append_entry(table, pick(1, before + j - 1));
      else
        table.append(place(layout));
    }
  }
};

std::uint32_t bits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}

void expect_same(const std::optional<Match>& indexed, const std::optional<Match>& plain) {
  ASSERT_EQ(indexed.has_value(), plain.has_value());
  if (plain) {
    ASSERT_EQ(indexed->index, plain->index);
    ASSERT_EQ(bits(indexed->separation), bits(plain->separation));
  }
}

poi::PoiRecord at(float latitude, float longitude) {
  poi::PoiRecord record;
  record.latitude = latitude;
  record.longitude = longitude;
  return record;
}

const char* order_name(PointOrder order) {
  return order == PointOrder::probe_first ? "probe first" : "table first";
}

class grid_test : public ::testing::TestWithParam<LayoutCase> {};

// The radius asked need not be the one the cells were sized for: the window
// reads its radius again at every step of a run.
TEST_P(grid_test, answers_exactly_as_the_plain_scan) {
  const Layout layout = GetParam().layout;
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    Generator gen(seed * 7919u + static_cast<std::uint32_t>(layout));
    const std::int32_t count = gen.pick(1, 300);
    poi::CompactTable table;
    gen.fill(table, layout, count);
    const float built_for = gen.radius();
    for (const PointOrder order : {PointOrder::probe_first, PointOrder::table_first}) {
      Grid grid(built_for, order);
      grid.build(table, static_cast<unsigned>(gen.pick(1, 3)));
      for (int query = 0; query < 40; ++query) {
        float radius = gen.pick(0, 2) ? built_for : gen.radius();
        if (gen.pick(0, 3) == 0) {
          // A pair exactly at the radius does not match.
          const std::int32_t a = gen.pick(1, count);
          const std::int32_t b = gen.pick(1, count);
          radius = distance(table.latitude(a), table.longitude(a), table.latitude(b),
                            table.longitude(b));
        }
        poi::PoiRecord probe =
            gen.pick(0, 1) ? table.record(gen.pick(1, count)) : gen.place(layout);
        if (poi::is_comment(probe)) probe.longitude = 1.0f;
        const std::int32_t first = gen.pick(1, count);
        const std::int32_t last = gen.pick(first - 1, count);
        expect_same(
            grid.first_match(first, last, probe.latitude, probe.longitude, radius),
            first_match(table, first, last, probe.latitude, probe.longitude, order, radius));
        if (HasFatalFailure())
          FAIL() << "seed " << seed << " query " << query << " radius " << radius << " built for "
                 << built_for << " order " << order_name(order);
      }
    }
  }
}

// As a run uses it: entries appended in bulk and one by one, moved in place,
// and dropped again when the run goes back to an earlier review stop.
TEST_P(grid_test, follows_entries_appended_moved_and_dropped) {
  const Layout layout = GetParam().layout;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    Generator gen(seed * 104729u + static_cast<std::uint32_t>(layout));
    poi::CompactTable table;
    gen.fill(table, layout, gen.pick(1, 150));
    const float radius = std::pow(10.0f, gen.uniform(0.0f, 4.0f));
    for (const PointOrder order : {PointOrder::probe_first, PointOrder::table_first}) {
      poi::CompactTable working = table;
      Grid grid(radius, order);
      grid.build(working);
      std::vector<poi::CompactTable::Mark> marks;
      for (int step = 0; step < 150; ++step) {
        const std::int32_t size = working.size();
        switch (gen.pick(0, 5)) {
          case 0:
            gen.fill(working, layout, gen.pick(1, 3));
            grid.append(working);
            break;
          case 1:
            gen.fill(working, layout, gen.pick(1, 40));
            grid.build(working);
            break;
          case 2:
          case 3: {
            const std::int32_t moved = gen.pick(1, size);
            if (working.is_comment(moved)) break;
            const poi::PoiRecord to = gen.pick(0, 1) ? gen.place(layout) : working.record(size);
            if (poi::is_comment(to)) break;
            working.set_position(moved, to.longitude, to.latitude);
            grid.move(working, moved);
            break;
          }
          case 4:
            marks.push_back(working.mark());
            break;
          default:
            if (marks.empty()) break;
            // Entries appended since the mark go; those moved stay where they are.
            if (marks.back().entries <= working.size()) {
              poi::CompactTable::Mark back = marks.back();
              back.text_bytes = working.mark().text_bytes;
              working.roll_back(back);
              grid.truncate(back.entries);
            }
            marks.pop_back();
            break;
        }
        ASSERT_EQ(grid.count(), working.size());
        const poi::PoiRecord probe = gen.place(layout);
        if (poi::is_comment(probe)) continue;
        expect_same(grid.first_match(1, working.size(), probe.latitude, probe.longitude, radius),
                    first_match(working, 1, working.size(), probe.latitude, probe.longitude, order,
                                radius));
        if (HasFatalFailure())
          FAIL() << "seed " << seed << " step " << step << " " << order_name(order);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, grid_test, ::testing::ValuesIn(kLayouts), testing::LabelName{});

// A large build makes each entry's point-1 terms on several threads: every
// entry's, as the update run asks with the table entry as point 1.
TEST(grid_build_test, makes_point_1_terms_on_several_threads_as_on_one) {
  Generator gen(2026);
  poi::CompactTable table;
  gen.fill(table, Layout::clustered, 70'000);
  const float radius = 20.0f;
  Grid grid(radius, PointOrder::table_first);
  grid.build(table, 3);
  for (int query = 0; query < 3'000; ++query) {
    const poi::PoiRecord probe =
        gen.pick(0, 1) ? table.record(gen.pick(1, table.size())) : gen.place(Layout::clustered);
    if (poi::is_comment(probe)) continue;
    const std::int32_t first = gen.pick(1, table.size());
    expect_same(grid.first_match(first, table.size(), probe.latitude, probe.longitude, radius),
                first_match(table, first, table.size(), probe.latitude, probe.longitude,
                            PointOrder::table_first, radius));
    if (HasFatalFailure()) FAIL() << "query " << query;
  }
}

// Cells are sized to the radius: an entry just beyond a cell's reach, in the
// next cell but one, is found at a radius that reaches it and not below.
TEST(grid_edge_test, finds_a_neighbour_exactly_at_the_reach_of_the_radius) {
  for (const float latitude : {0.0f, 52.37f, -33.9f, 78.2f}) {
    poi::CompactTable table;
    table.append(at(latitude, 10.0f));
    table.append(at(latitude + 0.00045f, 10.0f));  // about 50 m north
    table.append(at(latitude, 10.0f + 0.0009f));   // east, farther at the equator
    for (std::int32_t target = 2; target <= 3; ++target) {
      const float metres =
          distance(latitude, 10.0f, table.latitude(target), table.longitude(target));
      for (const float radius : {metres, std::nextafter(metres, INFINITY)}) {
        Grid grid(radius, PointOrder::probe_first);
        grid.build(table);
        const auto match = grid.first_match(target, target, latitude, 10.0f, radius);
        EXPECT_EQ(match.has_value(), radius > metres)
            << "latitude " << latitude << " entry " << target << " radius " << radius;
      }
    }
  }
}

struct ThreadCase {
  std::string label;
  unsigned threads;
};

void PrintTo(const ThreadCase& row, std::ostream* out) {
  *out << row.label;
}

class first_later_matches_test : public ::testing::TestWithParam<ThreadCase> {};

// Every entry's first later match, as the duplicate run looks for it one
// entry after another, whatever the number of threads sharing the work.
TEST_P(first_later_matches_test, equal_the_sequential_scan_for_every_entry) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    Generator gen(seed * 31u + GetParam().threads);
    // Odd values send probes off the grid, to the scan.
    const Layout layout = seed % 3 ? Layout::clustered : Layout::odd_values;
    // The first table is large enough for the grid to be built on several threads.
    const std::int32_t count = layout != Layout::clustered ? 2'000
                               : seed == 1                 ? 70'000
                                                           : gen.pick(3'000, 8'000);
    const std::int32_t scanned_every = count > 10'000 ? 997 : 50;
    poi::CompactTable table;
    gen.fill(table, layout, count);
    const float radius = seed % 3 ? 20.0f : 150.0f;
    std::atomic<std::int64_t> answered{0};
    const std::vector<Match> matches =
        first_later_matches(table, radius, GetParam().threads, &answered);
    ASSERT_EQ(matches.size(), static_cast<std::size_t>(count) + 1);
    std::int32_t found = 0;
    std::int32_t asked = 0;
    Grid sequential(radius, PointOrder::probe_first);
    sequential.build(table);
    for (std::int32_t i = 1; i <= count; ++i) {
      if (!table.is_comment(i)) ++asked;
      // The scan itself for a share of the entries, the one-thread grid for the rest.
      const auto expected =
          table.is_comment(i) ? std::nullopt
          : i % scanned_every == 0
              ? first_match(table, i + 1, count, table.latitude(i), table.longitude(i),
                            PointOrder::probe_first, radius)
              : sequential.first_match(i + 1, count, table.latitude(i), table.longitude(i), radius);
      const Match& match = matches[static_cast<std::size_t>(i)];
      expect_same(match.index == 0 ? std::nullopt : std::optional<Match>(match), expected);
      if (HasFatalFailure()) FAIL() << "seed " << seed << " entry " << i;
      if (expected) ++found;
    }
    EXPECT_EQ(answered.load(), asked);
    if (layout == Layout::clustered) {
      EXPECT_GT(found, count / 2) << "matches to find";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(threads, first_later_matches_test,
                         ::testing::Values(ThreadCase{"one thread", 1}, ThreadCase{"two", 2},
                                           ThreadCase{"three", 3}, ThreadCase{"four", 4}),
                         testing::LabelName{});

// The smallest cells over the whole of the grid's range give the widest cell
// keys a build sorts: entries in the four corners just inside the range,
// many at the very same spot, and enough of them for a build on several
// threads; every answer is the plain scan's.
TEST_P(first_later_matches_test, hold_at_the_corners_of_the_grid_with_the_smallest_cells) {
  Generator gen(GetParam().threads);
  const float corner = std::nextafter(1.0e4f, 0.0f);
  poi::CompactTable table;
  // A few float steps inside the range (a step is about 100 m there).
  const auto inside = [&] {
    const float step = static_cast<float>(gen.pick(0, 40)) * 0.0009765625f;
    return gen.pick(0, 1) ? corner - step : -corner + step;
  };
  while (table.size() < 70'000) {
    table.append(at(inside(), inside()));
    if (gen.pick(0, 99) == 0) table.append(poi::make_comment("; comment"));
  }
  const float radius = 0.05f;
  const std::vector<Match> matches = first_later_matches(table, radius, GetParam().threads);
  std::int32_t found = 0;
  for (std::int32_t i = 1; i <= table.size(); i += 97) {
    const auto expected = table.is_comment(i)
                              ? std::nullopt
                              : first_match(table, i + 1, table.size(), table.latitude(i),
                                            table.longitude(i), PointOrder::probe_first, radius);
    const Match& match = matches[static_cast<std::size_t>(i)];
    expect_same(match.index == 0 ? std::nullopt : std::optional<Match>(match), expected);
    if (HasFatalFailure()) FAIL() << "entry " << i;
    if (expected) ++found;
  }
  EXPECT_GT(found, 500);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

struct ContainsCase {
  std::string name;
  LatLonBox box;
  float latitude, longitude;
  bool inside;
};

class lat_lon_box_test : public ::testing::TestWithParam<ContainsCase> {};

TEST_P(lat_lon_box_test, holds_a_position_when_its_longitude_is_in_reach_modulo_360) {
  const ContainsCase& c = GetParam();
  EXPECT_EQ(c.box.contains(c.latitude, c.longitude), c.inside);
}

INSTANTIATE_TEST_SUITE_P(
    cases, lat_lon_box_test,
    ::testing::Values(
        ContainsCase{"inside", {52, 53, 4, 5}, 52.5f, 4.5f, true},
        ContainsCase{"on_the_corners", {52, 53, 4, 5}, 53.0f, 4.0f, true},
        ContainsCase{"north_of_it", {52, 53, 4, 5}, 53.001f, 4.5f, false},
        ContainsCase{"east_of_it", {52, 53, 4, 5}, 52.5f, 5.001f, false},
        ContainsCase{"across_180_from_the_west", {-1, 1, 179, 181}, 0, -179.5f, true},
        ContainsCase{"across_180_from_the_east", {-1, 1, -181, -179}, 0, 179.5f, true},
        ContainsCase{"across_180_not_reaching", {-1, 1, 179, 181}, 0, -178.5f, false},
        ContainsCase{"unwrapped_longitude", {-1, 1, 9, 11}, 0, 370.0f, true},
        ContainsCase{"unwrapped_negative", {-1, 1, 9, 11}, 0, -710.0f, true},
        ContainsCase{"huge_longitude", {-1, 1, 0, 359}, 0, 1.0e7f, true},
        ContainsCase{"all_longitudes", {89, 90, -180, 180}, 89.5f, -3.0e9f, true},
        ContainsCase{"all_longitudes_not_infinity", {89, 90, -kInf, kInf}, 89.5f, INFINITY, false},
        ContainsCase{"pole", {89.9, 90, -180, 180}, 90.0f, 0, true},
        ContainsCase{"beyond_the_pole_as_it_is", {89.9, 95, 0, 1}, 94.0f, 0.5f, true},
        ContainsCase{"no_latitudes", {1, 0, 0, 1}, 0.5f, 0.5f, false},
        ContainsCase{"no_longitudes", {0, 1, 1, 0}, 0.5f, 0.5f, false},
        ContainsCase{"not_a_number", {-90, 90, -180, 180}, kNan, 0, false}),
    [](const auto& info) { return info.param.name; });

// Boxes of all sizes around a point of the layout, some across the 180th
// meridian or a pole, some with every longitude.
LatLonBox box_near(Generator& gen, Layout layout) {
  poi::PoiRecord centre = gen.place(layout);
  if (poi::is_comment(centre)) centre.latitude = centre.longitude = 0.0f;
  const double lat_reach = std::pow(10.0, gen.uniform(-4, 2));
  const double lon_reach =
      gen.pick(0, 9) == 0 ? gen.uniform(180, 400) : std::pow(10.0, gen.uniform(-4, 2.3f));
  const double turn = 360.0 * gen.pick(-1, 1);  // the same box written another way
  return {centre.latitude - lat_reach, centre.latitude + lat_reach,
          centre.longitude - lon_reach + turn, centre.longitude + lon_reach + turn};
}

std::vector<std::int32_t> scan(const poi::CompactTable& table, const LatLonBox& box) {
  std::vector<std::int32_t> found;
  for (std::int32_t j = 1; j <= table.size(); ++j)
    if (!table.is_comment(j) && box.contains(table.latitude(j), table.longitude(j)))
      found.push_back(j);
  return found;
}

// What the grid visits, in ascending order; each entry once.
std::vector<std::int32_t> visited(const Grid& grid, const LatLonBox& box) {
  std::vector<std::int32_t> entries;
  grid.for_each_in_box(box, [&](std::int32_t j) { entries.push_back(j); });
  std::sort(entries.begin(), entries.end());
  return entries;
}

class grid_box_test : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(grid_box_test, lists_what_a_plain_scan_finds) {
  const Layout layout = GetParam().layout;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    Generator gen(seed * 7907u + static_cast<std::uint32_t>(layout));
    poi::CompactTable table;
    gen.fill(table, layout, gen.pick(1, 400));
    Grid grid(gen.radius(), PointOrder::table_first);
    grid.build(table);
    for (int query = 0; query < 80; ++query) {
      if (gen.pick(0, 7) == 0) {  // an entry moved by a decision, then the grid follows
        const std::int32_t moved = gen.pick(1, table.size());
        const poi::PoiRecord to = gen.place(layout);
        if (!table.is_comment(moved) && !poi::is_comment(to)) {
          table.set_position(moved, to.longitude, to.latitude);
          grid.move(table, moved);
        }
      } else if (gen.pick(0, 15) == 0) {
        gen.fill(table, layout, 1);
        grid.append(table);
      }
      const LatLonBox box = box_near(gen, layout);
      ASSERT_EQ(visited(grid, box), scan(table, box))
          << "seed " << seed << " query " << query << " box " << box.lat_low << ".." << box.lat_high
          << ", " << box.lon_low << ".." << box.lon_high;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, grid_box_test, ::testing::ValuesIn(kLayouts),
                         testing::LabelName{});

// Entries on either side of a box's edges, a float apart, including edges
// that the shifted bounds of a box across the 180th meridian must reach.
TEST(grid_box_edge_test, keeps_entries_on_the_edges_and_drops_those_beyond) {
  const float edges[] = {-180.0f, -179.99f, 0.005f, 4.89f, 179.99f, 180.0f};
  poi::CompactTable table;
  for (const float edge : edges) {
    for (const float longitude :
         {std::nextafter(edge, -INFINITY), edge, std::nextafter(edge, INFINITY)}) {
      table.append(at(10.0f, longitude));
      table.append(at(10.0f, longitude + 360.0f));
    }
  }
  for (const float radius : {1.0f, 20.0f, 5000.0f}) {
    Grid grid(radius, PointOrder::probe_first);
    grid.build(table);
    for (const float low : edges) {
      for (const float high : edges) {
        for (const double turn : {-360.0, 0.0, 360.0}) {
          const LatLonBox box{10.0, 10.0, low + turn, (high < low ? high + 360.0 : high) + turn};
          EXPECT_EQ(visited(grid, box), scan(table, box))
              << low << ".." << high << " turned " << turn << " cells for " << radius << " m";
        }
      }
    }
  }
}

}  // namespace
}  // namespace pinwright::engine
