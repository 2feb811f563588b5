#include "engine/cell_map.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace pinwright::engine {
namespace {

// Insertions and erasures at random against an ordered map, in key ranges
// dense enough that probe runs collide, wrap around the array's end and
// shift back on erasure.
class cell_map_test : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(cell_map_test, finds_what_an_ordered_map_holds) {
  const std::int64_t span = GetParam();
  std::mt19937_64 random(static_cast<std::uint64_t>(span));
  std::uniform_int_distribution<std::int64_t> key(-span, span);
  std::uniform_int_distribution<int> action(0, 2);
  CellMap<std::vector<int>> cells;
  std::map<std::int64_t, int> expected;
  for (int step = 0; step < 20'000; ++step) {
    const std::int64_t k = key(random);
    if (action(random) == 0) {
      cells.erase(k);
      expected.erase(k);
    } else {
      // Now and then room is made ahead, moving every key held.
      if (step % 4'999 == 0) cells.reserve(cells.size() + 2'000);
      cells[k].push_back(step);
      expected[k] = step;
    }
    if (step % 997 != 0) continue;
    ASSERT_EQ(cells.size(), expected.size());
    for (std::int64_t probe = -span; probe <= span; ++probe) {
      const auto* found = cells.find(probe);
      const auto it = expected.find(probe);
      ASSERT_EQ(found != nullptr, it != expected.end()) << probe << " at step " << step;
      if (found) {
        EXPECT_EQ(found->back(), it->second) << probe;
      }
    }
    std::size_t visited = 0;
    cells.for_each([&](std::int64_t k2, const std::vector<int>& value) {
      ++visited;
      ASSERT_TRUE(expected.contains(k2));
      EXPECT_EQ(value.back(), expected.at(k2));
    });
    EXPECT_EQ(visited, expected.size());
  }
}

INSTANTIATE_TEST_SUITE_P(spans, cell_map_test, ::testing::Values(8, 100, 3000, 50'000),
                         [](const ::testing::TestParamInfo<std::int64_t>& info) {
                           return "span_" + std::to_string(info.param);
                         });

// After reserve, the keys it made room for go in without moving what is held:
// a grid fills its rows through references that must stay good.
TEST(cell_map_reserve_test, keeps_values_in_place_while_filling_up_to_it) {
  CellMap<std::vector<int>> cells;
  cells[-3].push_back(7);
  cells.reserve(1 + 5'000);
  const std::vector<int>* const held = cells.find(-3);
  for (std::int64_t k = 0; k < 5'000; ++k) cells[k * 17].push_back(static_cast<int>(k));
  ASSERT_EQ(cells.find(-3), held);
  ASSERT_EQ(cells.size(), 5'001u);
  EXPECT_EQ(held->front(), 7);
  EXPECT_EQ(cells.find(4'999 * 17)->front(), 4'999);
}

}  // namespace
}  // namespace pinwright::engine
