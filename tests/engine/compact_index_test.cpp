// The compact table's index must give exactly the plain scan's answer (same
// entry, same separation bits) whatever the layout, the radius and the
// number of threads, and go on doing so as a run appends and moves entries.
#include "engine/compact_index.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>

#include "poi/table.hpp"
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
};

// The same entries in a compact table and in a window's table, the plain
// scan's reference.
struct Tables {
  explicit Tables(std::int32_t capacity) : records(capacity) {}
  void append(const poi::PoiRecord& record) {
    compact.append(record);
    records[compact.size()] = record;
  }
  poi::CompactTable compact;
  poi::PoiTable records;
};

Tables make_tables(Generator& gen, Layout layout, std::int32_t count, std::int32_t room) {
  Tables tables(count + room);
  for (std::int32_t j = 1; j <= count; ++j) {
    // Some entries at the very spot of an earlier one.
    const bool twin = j > 1 && gen.pick(0, 9) == 0;
    tables.append(twin ? std::as_const(tables.records)[gen.pick(1, j - 1)] : gen.place(layout));
  }
  return tables;
}

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

class compact_index_test : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(compact_index_test, answers_exactly_as_the_plain_scan) {
  const Layout layout = GetParam().layout;
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    Generator gen(seed * 7919u + static_cast<std::uint32_t>(layout));
    const std::int32_t count = gen.pick(1, 300);
    const Tables tables = make_tables(gen, layout, count, 0);
    float radius = gen.radius();
    if (gen.pick(0, 3) == 0) {
      // A pair exactly at the radius does not match.
      const auto& a = tables.records[gen.pick(1, count)];
      const auto& b = tables.records[gen.pick(1, count)];
      radius = distance(a.latitude, a.longitude, b.latitude, b.longitude);
    }
    for (const PointOrder order : {PointOrder::probe_first, PointOrder::table_first}) {
      CompactIndex index(radius, order);
      index.build(tables.compact);
      for (int query = 0; query < 40; ++query) {
        poi::PoiRecord probe =
            gen.pick(0, 1) ? tables.records[gen.pick(1, count)] : gen.place(layout);
        if (poi::is_comment(probe)) probe.longitude = 1.0f;
        const std::int32_t first = gen.pick(1, count);
        const std::int32_t last = gen.pick(first - 1, count);
        expect_same(index.first_match(tables.compact, first, last, probe.latitude, probe.longitude),
                    first_match(tables.records, first, last, probe, order, radius));
        if (HasFatalFailure())
          FAIL() << "seed " << seed << " query " << query << " radius " << radius << " order "
                 << (order == PointOrder::probe_first ? "probe first" : "table first");
      }
    }
  }
}

// As the update run uses it: entries appended one by one and moved, never a rebuild.
TEST_P(compact_index_test, follows_entries_appended_and_moved) {
  const Layout layout = GetParam().layout;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    Generator gen(seed * 104729u + static_cast<std::uint32_t>(layout));
    const std::int32_t count = gen.pick(1, 150);
    Tables tables = make_tables(gen, layout, count, 200);
    const float radius = std::pow(10.0f, gen.uniform(0.0f, 4.0f));
    CompactIndex index(radius, PointOrder::table_first);
    index.build(tables.compact);
    for (int step = 0; step < 150; ++step) {
      const std::int32_t size = tables.compact.size();
      if (gen.pick(0, 2) == 0 && size < tables.records.capacity()) {
        tables.append(gen.place(layout));
        index.append(tables.compact);
      } else if (gen.pick(0, 1) == 0) {
        const std::int32_t moved = gen.pick(1, size);
        if (!tables.compact.is_comment(moved)) {
          const poi::PoiRecord to = gen.pick(0, 1) ? gen.place(layout) : tables.records[size];
          if (poi::is_comment(to)) continue;
          tables.compact.set_position(moved, to.longitude, to.latitude);
          tables.records[moved].longitude = to.longitude;
          tables.records[moved].latitude = to.latitude;
          index.refresh(tables.compact, moved);
        }
      }
      const poi::PoiRecord probe = gen.place(layout);
      if (poi::is_comment(probe)) continue;
      expect_same(index.first_match(tables.compact, 1, tables.compact.size(), probe.latitude,
                                    probe.longitude),
                  first_match(tables.records, 1, tables.compact.size(), probe,
                              PointOrder::table_first, radius));
      if (HasFatalFailure()) FAIL() << "seed " << seed << " step " << step;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(layouts, compact_index_test, ::testing::ValuesIn(kLayouts),
                         testing::LabelName{});

// Cells are sized to the radius: an entry just beyond a cell's reach, in the
// next cell but one, is found at a radius that reaches it and not below.
TEST(compact_index_edge_test, finds_a_neighbour_exactly_at_the_reach_of_the_radius) {
  for (const float latitude : {0.0f, 52.37f, -33.9f, 78.2f}) {
    poi::CompactTable table;
    table.append(at(latitude, 10.0f));
    table.append(at(latitude + 0.00045f, 10.0f));  // about 50 m north
    table.append(at(latitude, 10.0f + 0.0009f));   // east, farther at the equator
    for (std::int32_t target = 2; target <= 3; ++target) {
      const float metres =
          distance(latitude, 10.0f, table.latitude(target), table.longitude(target));
      for (const float radius : {metres, std::nextafter(metres, INFINITY)}) {
        CompactIndex index(radius, PointOrder::probe_first);
        index.build(table);
        const auto match = index.first_match(table, target, target, latitude, 10.0f);
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
    const std::int32_t count = layout == Layout::clustered ? gen.pick(3'000, 8'000) : 2'000;
    const Tables tables = make_tables(gen, layout, count, 0);
    const float radius = seed % 3 ? 20.0f : 150.0f;
    std::atomic<std::int64_t> answered{0};
    const std::vector<Match> matches =
        first_later_matches(tables.compact, radius, GetParam().threads, &answered);
    ASSERT_EQ(matches.size(), static_cast<std::size_t>(count) + 1);
    std::int32_t found = 0;
    std::int32_t asked = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
      const poi::PoiRecord& probe = tables.records[i];
      if (!poi::is_comment(probe)) ++asked;
      const auto plain = poi::is_comment(probe) ? std::nullopt
                                                : first_match(tables.records, i + 1, count, probe,
                                                              PointOrder::probe_first, radius);
      const Match& match = matches[static_cast<std::size_t>(i)];
      expect_same(match.index == 0 ? std::nullopt : std::optional<Match>(match), plain);
      if (HasFatalFailure()) FAIL() << "seed " << seed << " entry " << i;
      if (plain) ++found;
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

}  // namespace
}  // namespace pinwright::engine
