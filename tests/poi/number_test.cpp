#include "poi/number.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace pinwright::poi {
namespace {

struct NumberCase {
  const char* text;
  std::optional<float> expected;
};

class parse_number_test : public ::testing::TestWithParam<NumberCase> {};

TEST_P(parse_number_test, accepts_decimal_numbers_only) {
  EXPECT_EQ(parse_number(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    tokens, parse_number_test,
    ::testing::Values(NumberCase{"4.89", 4.89f}, NumberCase{"+4.89", 4.89f},
                      NumberCase{"-0.5", -0.5f}, NumberCase{"52", 52.0f},
                      NumberCase{"1e3", 1000.0f}, NumberCase{"1.5E-2", 0.015f},
                      NumberCase{"+2.5e+1", 25.0f}, NumberCase{".5", 0.5f}, NumberCase{"5.", 5.0f},
                      NumberCase{"-122.419418", -122.419418f}, NumberCase{"", std::nullopt},
                      NumberCase{"+", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{"nan", std::nullopt}, NumberCase{"NaN", std::nullopt},
                      NumberCase{"inf", std::nullopt}, NumberCase{"-inf", std::nullopt},
                      NumberCase{"+infinity", std::nullopt}, NumberCase{"0x1p3", std::nullopt},
                      NumberCase{"4,89", std::nullopt}, NumberCase{"1e", std::nullopt},
                      NumberCase{"--1", std::nullopt}, NumberCase{"+-1", std::nullopt},
                      NumberCase{"1.2.3", std::nullopt}, NumberCase{"abc", std::nullopt},
                      NumberCase{"1e99", std::nullopt}, NumberCase{"12abc", std::nullopt},
                      NumberCase{" 1", std::nullopt}));

// Beyond the float range at the small end the nearest float is zero or a
// subnormal; at the large end there is no float to store.
TEST(parse_number_range_test, reads_values_below_the_float_range_as_the_nearest_float) {
  const struct {
    const char* text;
    std::optional<float> expected;
  } cases[] = {
      {"1e-46", 0.0f},
      {"-1e-46", -0.0f},
      {"1e-50", 0.0f},
      {"7e-46", 0.0f},
      {"8e-46", std::numeric_limits<float>::denorm_min()},
      {"1e-45", std::numeric_limits<float>::denorm_min()},
      {"1e-40", 1e-40f},
      {"0.00000000000000000000000000000000000000000000000001", 0.0f},
      {"0.0000000000000000000000000000000000000000000000000123e2", 0.0f},
      {"123e-48", 0.0f},
      {"1e-99999999999999999999999", 0.0f},
      {"3.4028235e38", std::numeric_limits<float>::max()},
      {"3.5e38", std::nullopt},
      {"1e39", std::nullopt},
      {"-1e39", std::nullopt},
      {"0.0001e43", std::nullopt},
      {"1e99999999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto value = parse_number(c.text);
    EXPECT_EQ(value, c.expected) << c.text;
    if (value && c.expected) {
      EXPECT_EQ(std::signbit(*value), std::signbit(*c.expected)) << c.text;
    }
  }
}

struct FreeFormCase {
  const char* text;
  bool ok;
  float first;
  float second;
};

class read_free_form_test : public ::testing::TestWithParam<FreeFormCase> {};

TEST_P(read_free_form_test, reads_two_values) {
  std::array<float, 2> values{};
  const FreeFormCase& c = GetParam();
  ASSERT_EQ(read_free_form(c.text, values), c.ok) << c.text;
  if (c.ok) {
    EXPECT_EQ(values[0], c.first);
    EXPECT_EQ(values[1], c.second);
  }
}

INSTANTIATE_TEST_SUITE_P(
    lines, read_free_form_test,
    ::testing::Values(
        FreeFormCase{"4.89, 52.37, \"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"4.89,52.37,\"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"   4.89000,  52.37000, \"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"4.9 52.3, \"Name\"", true, 4.9f, 52.3f},
        FreeFormCase{"4.9 , 52.3", true, 4.9f, 52.3f}, FreeFormCase{"4.9\t52.3", true, 4.9f, 52.3f},
        FreeFormCase{"+1e1 -2E-1 rest", true, 10.0f, -0.2f}, FreeFormCase{"4.89", false, 0, 0},
        FreeFormCase{"4.89,", false, 0, 0}, FreeFormCase{"4.89,,52.37", false, 0, 0},
        FreeFormCase{",4.89,52.37", false, 0, 0}, FreeFormCase{"4.89, \"Name\"", false, 0, 0},
        FreeFormCase{"4.89; 52.37", false, 0, 0}, FreeFormCase{"nan, 52.37", false, 0, 0},
        FreeFormCase{"", false, 0, 0}));

TEST(read_free_form_test, reads_one_value_and_ignores_the_rest) {
  std::array<float, 1> value{};
  ASSERT_TRUE(read_free_form(" 25 metres", value));
  EXPECT_EQ(value[0], 25.0f);
}

}  // namespace
}  // namespace pinwright::poi
