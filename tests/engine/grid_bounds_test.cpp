// The grid reads only the cells its bounds allow: a bound on the cosine that
// came out high would skip entries closer than the radius.
#include "engine/grid_bounds.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "engine/distance.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

// The smallest |cos| over [low, high], sampled densely, ends included.
double sampled_min_abs_cosine(double low, double high) {
  double smallest = std::min(std::abs(cos_degrees(low)), std::abs(cos_degrees(high)));
  constexpr int kSamples = 200;
  for (int k = 1; k < kSamples; ++k)
    smallest = std::min(smallest, std::abs(cos_degrees(low + (high - low) * k / kSamples)));
  return smallest;
}

struct IntervalCase {
  std::string label;
  double centre_low, centre_high;  // where the interval's centre falls
  double reach_high;               // its half width, at most
};

void PrintTo(const IntervalCase& row, std::ostream* out) {
  *out << row.label;
}

class min_abs_cosine_test : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(min_abs_cosine_test, never_exceeds_the_cosine_in_the_interval_and_stays_close) {
  const IntervalCase& row = GetParam();
  std::mt19937 random(20261209u);
  std::uniform_real_distribution<double> centre(row.centre_low, row.centre_high);
  std::uniform_real_distribution<double> reach(0.0, row.reach_high);
  for (int k = 0; k < 20'000; ++k) {
    const double middle = centre(random);
    const double half = reach(random);
    const double low = middle - half;
    const double high = middle + half;
    const double bound = min_abs_cosine(low, high);
    const double smallest = sampled_min_abs_cosine(low, high);
    ASSERT_LE(bound, smallest) << low << " .. " << high;
    ASSERT_GE(bound, 0.0) << low << " .. " << high;
    // A sixteenth of a degree moves the cosine by at most sin(1/16 degree).
    if (low >= -90.0 && high <= 90.0) {
      ASSERT_GE(bound, smallest - 0.0011 - 1.0e-9) << low << " .. " << high;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    intervals, min_abs_cosine_test,
    ::testing::Values(IntervalCase{"small reaches on the globe", -89.99, 89.99, 0.01},
                      IntervalCase{"wide reaches on the globe", -60.0, 60.0, 29.0},
                      IntervalCase{"reaches over a pole", -95.0, 95.0, 10.0},
                      IntervalCase{"latitudes off the globe", -1000.0, 1000.0, 100.0}),
    testing::LabelName{});

TEST(min_abs_cosine_edge_test, is_zero_at_and_over_the_poles_and_one_step_below_the_equator) {
  EXPECT_EQ(min_abs_cosine(89.99, 90.0), 0.0);
  EXPECT_EQ(min_abs_cosine(-90.0, -89.0), 0.0);
  EXPECT_EQ(min_abs_cosine(80.0, 100.0), 0.0);
  EXPECT_EQ(min_abs_cosine(-10.0, 200.0), 0.0);
  EXPECT_LE(min_abs_cosine(-1.0e-3, 1.0e-3), cos_degrees(1.0e-3));
  EXPECT_GE(min_abs_cosine(-1.0e-3, 1.0e-3), 0.999);
}

}  // namespace
}  // namespace pinwright::engine
