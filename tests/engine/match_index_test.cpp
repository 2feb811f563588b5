// The index must give exactly the plain scan's answer: same entry, same
// separation bits, for every table, probe, range and radius.
#include "engine/match_index.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "tests/support/scattered_places.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

using testing::Layout;

using Generator = testing::PlaceGenerator;

std::uint32_t bits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}

void expect_same(const std::optional<Match>& indexed, const std::optional<Match>& plain,
                 const char* what) {
  ASSERT_EQ(indexed.has_value(), plain.has_value()) << what;
  if (plain) {
    ASSERT_EQ(indexed->index, plain->index) << what;
    ASSERT_EQ(bits(indexed->separation), bits(plain->separation)) << what;
  }
}

class match_index_test : public ::testing::TestWithParam<Layout> {};

TEST_P(match_index_test, answers_exactly_as_the_plain_scan) {
  for (std::uint32_t seed = 1; seed <= 150; ++seed) {
    Generator gen(seed * 7919u + static_cast<std::uint32_t>(GetParam()));
    const std::int32_t count = gen.pick(1, 300);
    poi::PoiTable table(count + 50);
    for (std::int32_t j = 1; j <= count; ++j) {
      table[j] = gen.place(GetParam());
      if (j > 1 && gen.pick(0, 9) == 0) table[j] = table[gen.pick(1, j - 1)];  // duplicates
    }
    MatchIndex index;
    index.sync(table, count);
    for (int query = 0; query < 60; ++query) {
      poi::PoiRecord probe = gen.pick(0, 1) ? table[gen.pick(1, count)] : gen.place(GetParam());
      if (poi::is_comment(probe)) probe.longitude = 1.0f;
      float radius = std::pow(10.0f, gen.uniform(-1.0f, 5.0f));
      const std::int32_t other = gen.pick(1, count);
      switch (gen.pick(0, 5)) {
        case 0:  // a pair exactly at the radius does not match; just beyond it does
          radius = distance(probe.latitude, probe.longitude, table[other].latitude,
                            table[other].longitude);
          break;
        case 1:
          radius = std::nextafter(distance(table[other].latitude, table[other].longitude,
                                           probe.latitude, probe.longitude),
                                  INFINITY);
          break;
        case 2:
          radius = gen.pick(0, 1) ? 0.0f : 1.0e30f;
          break;
        default:
          break;
      }
      const std::int32_t first = gen.pick(1, count);
      const std::int32_t last = gen.pick(first - 1, count);
      for (const PointOrder order : {PointOrder::probe_first, PointOrder::table_first}) {
        expect_same(index.first_match(table, first, last, probe, order, radius),
                    first_match(table, first, last, probe, order, radius),
                    order == PointOrder::probe_first ? "probe first" : "table first");
        if (::testing::Test::HasFatalFailure()) {
          FAIL() << "seed " << seed << " query " << query << " radius " << radius;
        }
      }
    }
  }
}

TEST_P(match_index_test, follows_entries_moved_and_appended) {
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    Generator gen(seed * 104729u + static_cast<std::uint32_t>(GetParam()));
    const std::int32_t count = gen.pick(2, 200);
    poi::PoiTable table(count + 100);
    for (std::int32_t j = 1; j <= count; ++j) table[j] = gen.place(GetParam());
    MatchIndex index;
    index.sync(table, count);
    std::int32_t current = count;
    for (int step = 0; step < 80; ++step) {
      switch (gen.pick(0, 3)) {
        case 0:  // an entry takes another position (Position, Both)
          table[gen.pick(1, current)] =
              gen.pick(0, 1) ? gen.place(GetParam()) : table[gen.pick(1, current)];
          index.sync(table, current);
          break;
        case 1:  // appended by the run, found without a sync
          if (current < table.capacity()) table[++current] = gen.place(GetParam());
          break;
        case 2:  // a shorter table (a file read again)
          current = gen.pick(1, current);
          index.sync(table, current);
          break;
        default:
          break;
      }
      const poi::PoiRecord probe = gen.place(GetParam());
      const float radius = std::pow(10.0f, gen.uniform(0.0f, 4.0f));
      expect_same(index.first_match(table, 1, current, probe, PointOrder::table_first, radius),
                  first_match(table, 1, current, probe, PointOrder::table_first, radius),
                  "after changes");
      if (::testing::Test::HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
    }
  }
}

// The last float of a grid cell: the next float up lies in the next cell.
float last_float_of_cell(float near) {
  float value = near;
  while (std::floor(std::nextafter(value, INFINITY) / MatchIndex::kCellDegrees) ==
         std::floor(value / MatchIndex::kCellDegrees))
    value = std::nextafter(value, INFINITY);
  return value;
}

// An entry just across a cell edge from a probe a little farther than the
// cell reach: the bounds that choose the cells must not lose a hair to rounding.
TEST(match_index_edge_test, finds_a_neighbour_just_across_a_cell_edge) {
  for (const float base : {0.0099f, 52.3599f, -0.0101f, 89.9799f}) {
    for (const float gap : {1.0e-4f, 1.3e-3f}) {
      for (const bool along_latitude : {true, false}) {
        const float low = last_float_of_cell(base);
        const float high = std::nextafter(low, INFINITY);
        // probe below the edge with the entry just above it, and the other way round
        for (const auto& [entry_value, probe_value] :
             {std::pair{high, high - gap}, std::pair{low, low + gap}}) {
          poi::PoiRecord entry;
          poi::PoiRecord probe;
          if (along_latitude) {
            entry.latitude = entry_value;
            probe.latitude = probe_value;
            entry.longitude = probe.longitude = 5.0f;
          } else {
            entry.longitude = entry_value;
            probe.longitude = probe_value;
            entry.latitude = probe.latitude = base;
          }
          poi::PoiTable table(1);
          table[1] = entry;
          MatchIndex index;
          index.sync(table, 1);
          for (const PointOrder order : {PointOrder::probe_first, PointOrder::table_first}) {
            const float d =
                order == PointOrder::probe_first
                    ? distance(probe.latitude, probe.longitude, entry.latitude, entry.longitude)
                    : distance(entry.latitude, entry.longitude, probe.latitude, probe.longitude);
            EXPECT_TRUE(index.first_match(table, 1, 1, probe, order, std::nextafter(d, INFINITY)))
                << base << " gap " << gap << (along_latitude ? " latitude" : " longitude");
            EXPECT_FALSE(index.first_match(table, 1, 1, probe, order, d));
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, match_index_test,
                         ::testing::Values(Layout::clustered, Layout::uniform, Layout::polar,
                                           Layout::date_line, Layout::odd_values),
                         [](const auto& info) { return std::string(layout_name(info.param)); });

}  // namespace
}  // namespace pinwright::engine
