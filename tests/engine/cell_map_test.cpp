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

}  // namespace
}  // namespace pinwright::engine
