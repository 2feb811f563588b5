// The index's box query must list exactly the entries a plain scan of the
// table finds inside the box, across the 180th meridian, at the poles and
// for the odd positions a file may hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/match_index.hpp"

namespace pinwright::engine {
namespace {

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

enum class Layout { uniform, date_line, clustered, odd_values };
const char* const kLayoutNames[] = {"uniform", "date_line", "clustered", "odd_values"};

struct Generator {
  explicit Generator(std::uint32_t seed) : random(seed) {}

  double uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random);
  }
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

  poi::PoiRecord place(Layout layout) {
    poi::PoiRecord record;
    const auto f = [](double value) { return static_cast<float>(value); };
    switch (layout) {
      case Layout::uniform:
        record.latitude = f(uniform(-90, 90));
        record.longitude = f(uniform(-180, 180));
        break;
      case Layout::date_line:
        record.latitude = f(uniform(-5, 5));
        record.longitude = f(pick(0, 1) ? uniform(179, 180) : uniform(-180, -179));
        break;
      case Layout::clustered:
        record.latitude = f(52.37 + uniform(-0.02, 0.02));
        record.longitude = f(4.89 + uniform(-0.02, 0.02));
        break;
      case Layout::odd_values: {
        const float odd[] = {95.0f, -100.5f, 190.0f, 370.0f, -540.0f, 1.0e7f, -3.0e9f, -0.0f};
        record.latitude = pick(0, 2) ? odd[pick(0, 7)] : f(uniform(-91, 91));
        record.longitude = pick(0, 2) ? odd[pick(0, 7)] : f(uniform(-720, 720));
        break;
      }
    }
    if (pick(0, 15) == 0) record = poi::make_comment("; comment");
    return record;
  }

  // Boxes of all sizes around a point of the layout, some across the 180th
  // meridian or a pole, some with every longitude.
  LatLonBox box_near(Layout layout) {
    poi::PoiRecord centre = place(layout);
    if (poi::is_comment(centre)) centre.latitude = centre.longitude = 0.0f;
    const double lat_reach = std::pow(10.0, uniform(-4, 2));
    const double lon_reach = pick(0, 9) == 0 ? uniform(180, 400) : std::pow(10.0, uniform(-4, 2.3));
    const double turn = 360.0 * pick(-1, 1);  // the same box written another way
    return {centre.latitude - lat_reach, centre.latitude + lat_reach,
            centre.longitude - lon_reach + turn, centre.longitude + lon_reach + turn};
  }

  std::mt19937 random;
};

std::vector<std::int32_t> scan(const poi::PoiTable& table, std::int32_t count,
                               const LatLonBox& box) {
  std::vector<std::int32_t> found;
  for (std::int32_t j = 1; j <= count; ++j)
    if (!poi::is_comment(table[j]) && box.contains(table[j].latitude, table[j].longitude))
      found.push_back(j);
  return found;
}

// What the index visits, in ascending order; each entry once.
std::vector<std::int32_t> visited(const MatchIndex& index, const LatLonBox& box) {
  std::vector<std::int32_t> entries;
  index.for_each_in_box(box, [&](std::int32_t j) { entries.push_back(j); });
  std::sort(entries.begin(), entries.end());
  return entries;
}

class match_index_box_test : public ::testing::TestWithParam<Layout> {};

TEST_P(match_index_box_test, lists_what_a_plain_scan_finds) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    Generator gen(seed * 7907u + static_cast<std::uint32_t>(GetParam()));
    const std::int32_t count = gen.pick(1, 400);
    poi::PoiTable table(count + 100);
    for (std::int32_t j = 1; j <= count; ++j) table[j] = gen.place(GetParam());
    MatchIndex index;
    index.sync(table, count);
    std::int32_t current = count;
    for (int query = 0; query < 80; ++query) {
      if (gen.pick(0, 7) == 0) {  // an entry moved by a decision, then the index follows
        const std::int32_t moved = gen.pick(1, current);
        table[moved] = gen.place(GetParam());
        index.refresh(table, moved, current);
      } else if (gen.pick(0, 15) == 0 && current < table.capacity()) {
        table[++current] = gen.place(GetParam());
        index.sync(table, current);
      }
      const LatLonBox box = gen.box_near(GetParam());
      ASSERT_EQ(visited(index, box), scan(table, current, box))
          << "seed " << seed << " query " << query << " box " << box.lat_low << ".." << box.lat_high
          << ", " << box.lon_low << ".." << box.lon_high;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, match_index_box_test,
                         ::testing::Values(Layout::uniform, Layout::date_line, Layout::clustered,
                                           Layout::odd_values),
                         [](const auto& info) {
                           return kLayoutNames[static_cast<int>(info.param)];
                         });

// Entries on either side of a box's edges, a float apart, including edges
// that the shifted bounds of a box across the 180th meridian must reach.
TEST(match_index_box_edge_test, keeps_entries_on_the_edges_and_drops_those_beyond) {
  const float edges[] = {-180.0f, -179.99f, 0.005f, 4.89f, 179.99f, 180.0f};
  poi::PoiTable table(64);
  std::int32_t count = 0;
  for (const float edge : edges) {
    for (const float longitude :
         {std::nextafter(edge, -INFINITY), edge, std::nextafter(edge, INFINITY)}) {
      table[++count] = poi::PoiRecord{longitude, 10.0f, {}, {}};
      table[++count] = poi::PoiRecord{longitude + 360.0f, 10.0f, {}, {}};
    }
  }
  MatchIndex index;
  index.sync(table, count);
  for (const float low : edges) {
    for (const float high : edges) {
      for (const double turn : {-360.0, 0.0, 360.0}) {
        const LatLonBox box{10.0, 10.0, low + turn, (high < low ? high + 360.0 : high) + turn};
        EXPECT_EQ(visited(index, box), scan(table, count, box))
            << low << ".." << high << " turned " << turn;
      }
    }
  }
}

}  // namespace
}  // namespace pinwright::engine
