#include "poi/number.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

struct NumberCase {
  const char* label;
  const char* text;
  std::optional<float> expected;
};

void PrintTo(const NumberCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.text, row.expected);
}

class parse_number_test : public ::testing::TestWithParam<NumberCase> {};

TEST_P(parse_number_test, accepts_decimal_numbers_only) {
  EXPECT_EQ(parse_number(GetParam().text), GetParam().expected) << GetParam().text;
}

const NumberCase kNumberCases[] = {NumberCase{"decimal", "4.89", 4.89f},
                                   NumberCase{"plus_sign", "+4.89", 4.89f},
                                   NumberCase{"minus_sign", "-0.5", -0.5f},
                                   NumberCase{"whole", "52", 52.0f},
                                   NumberCase{"exponent", "1e3", 1000.0f},
                                   NumberCase{"negative_exponent", "1.5E-2", 0.015f},
                                   NumberCase{"signed_exponent", "+2.5e+1", 25.0f},
                                   NumberCase{"no_leading_digit", ".5", 0.5f},
                                   NumberCase{"no_trailing_digit", "5.", 5.0f},
                                   NumberCase{"many_digits", "-122.419418", -122.419418f},
                                   NumberCase{"empty", "", std::nullopt},
                                   NumberCase{"plus_alone", "+", std::nullopt},
                                   NumberCase{"minus_alone", "-", std::nullopt},
                                   NumberCase{"nan", "nan", std::nullopt},
                                   NumberCase{"nan_capitals", "NaN", std::nullopt},
                                   NumberCase{"inf", "inf", std::nullopt},
                                   NumberCase{"minus_inf", "-inf", std::nullopt},
                                   NumberCase{"plus_infinity", "+infinity", std::nullopt},
                                   NumberCase{"hexadecimal", "0x1p3", std::nullopt},
                                   NumberCase{"decimal_comma", "4,89", std::nullopt},
                                   NumberCase{"exponent_without_digits", "1e", std::nullopt},
                                   NumberCase{"two_minus_signs", "--1", std::nullopt},
                                   NumberCase{"plus_minus", "+-1", std::nullopt},
                                   NumberCase{"two_points", "1.2.3", std::nullopt},
                                   NumberCase{"letters", "abc", std::nullopt},
                                   NumberCase{"beyond_float", "1e99", std::nullopt},
                                   NumberCase{"letters_after_digits", "12abc", std::nullopt},
                                   NumberCase{"leading_blank", " 1", std::nullopt}};

INSTANTIATE_TEST_SUITE_P(tokens, parse_number_test, ::testing::ValuesIn(kNumberCases),
                         testing::LabelName{});

std::uint32_t bits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}
std::uint64_t bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// The double reading must never move the float the window reads: the same
// tokens succeed and fail, and the float of every value is the float read.
class parse_coordinate_test : public ::testing::TestWithParam<NumberCase> {};

TEST_P(parse_coordinate_test, gives_the_float_the_float_reading_gives) {
  const auto single = parse_number(GetParam().text);
  const auto wide = parse_coordinate(GetParam().text);
  ASSERT_EQ(wide.has_value(), single.has_value()) << GetParam().text;
  if (single) {
    EXPECT_EQ(bits(static_cast<float>(*wide)), bits(*single)) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(tokens, parse_coordinate_test, ::testing::ValuesIn(kNumberCases),
                         testing::LabelName{});

TEST(parse_coordinate_test, keeps_what_the_text_says_to_double_precision) {
  EXPECT_EQ(parse_coordinate("4.89"), 4.89);
  EXPECT_EQ(parse_coordinate("-122.4194183"), -122.4194183);
  EXPECT_EQ(parse_coordinate("52.123456789012"), 52.123456789012);
  EXPECT_EQ(parse_coordinate("1e-50"), 1e-50);
}

// Decimals right at, just below and just above the point halfway between two
// floats: their double can land exactly halfway, where rounding the double
// once more to a float may go the other way than rounding the decimal.
TEST(parse_coordinate_test, rounds_decimals_halfway_between_floats_as_the_float_reading_does) {
  std::mt19937 random(7);
  int checked = 0;
  for (int k = 0; k < 20'000; ++k) {
    const float low = std::uniform_real_distribution<float>(-200.0f, 200.0f)(random);
    const float high = std::nextafter(low, INFINITY);
    const double halfway = (static_cast<double>(low) + static_cast<double>(high)) / 2.0;
    std::array<char, 96> exact{};
    const auto end = std::to_chars(exact.data(), exact.data() + exact.size(), halfway,
                                   std::chars_format::fixed, 40)
                         .ptr;
    const std::string text(exact.data(), end);
    // The exact halfway decimal, and ones a hair beyond it either way that a
    // double cannot tell from it.
    for (const std::string& token : {text, text + "1", text.substr(0, text.size() - 1) + "9"}) {
      const auto single = parse_number(token);
      const auto wide = parse_coordinate(token);
      ASSERT_TRUE(single && wide) << token;
      ASSERT_EQ(bits(static_cast<float>(*wide)), bits(*single)) << token;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 60'000);
}

// Short decimals, as files hold them, at random and where a double lands
// halfway between two floats (odd integers above 2^24): the nearest double,
// unless it lies halfway or its float differs from the float reading; then
// that float.
TEST(parse_coordinate_test, reads_short_decimals_as_the_nearest_double) {
  std::vector<std::string> tokens = {"16777217", "-16777219.0", "33554434",    "16777217.000",
                                     "0.0",      "-0",          "000123.4500", "7."};
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> digit_count(1, 17);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int k = 0; k < 100'000; ++k) {
    const int count = digit_count(random);
    std::string token = k % 2 == 0 ? "-" : "";
    const int point = std::uniform_int_distribution<int>(0, count)(random);
    for (int d = 0; d < count; ++d) {
      if (d == point && d > 0) token += '.';
      token += static_cast<char>('0' + digit(random));
    }
    tokens.push_back(token);
  }
  for (const std::string& token : tokens) {
    const bool negative = token.front() == '-';
    double nearest = 0.0;
    std::from_chars(token.data() + (negative ? 1 : 0), token.data() + token.size(), nearest);
    if (negative) nearest = -nearest;
    const auto single = parse_number(token);
    const auto wide = parse_coordinate(token);
    ASSERT_TRUE(single && wide) << token;
    const float low = static_cast<float>(nearest);
    const float other = std::nextafter(low, nearest > low ? INFINITY : -INFINITY);
    const bool halfway = static_cast<double>(low) != nearest &&
                         (static_cast<double>(low) + static_cast<double>(other)) / 2.0 == nearest;
    const double expected = !halfway && low == *single ? nearest : static_cast<double>(*single);
    ASSERT_EQ(bits(*wide), bits(expected)) << token;
  }
}

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
      {"2222e9223372036854775807", std::nullopt},
      {"2222e-9223372036854775807", 0.0f},
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
  const char* label;
  const char* text;
  bool ok;
  float first;
  float second;
};

void PrintTo(const FreeFormCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.text, row.ok, row.first, row.second);
}

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
        FreeFormCase{"commas_and_blanks", "4.89, 52.37, \"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"commas_only", "4.89,52.37,\"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"fixed_width", "   4.89000,  52.37000, \"Name\"", true, 4.89f, 52.37f},
        FreeFormCase{"blank_between_values", "4.9 52.3, \"Name\"", true, 4.9f, 52.3f},
        FreeFormCase{"blank_before_comma", "4.9 , 52.3", true, 4.9f, 52.3f},
        FreeFormCase{"tab_between_values", "4.9\t52.3", true, 4.9f, 52.3f},
        FreeFormCase{"signs_and_exponents", "+1e1 -2E-1 rest", true, 10.0f, -0.2f},
        FreeFormCase{"one_value", "4.89", false, 0, 0},
        FreeFormCase{"one_value_and_comma", "4.89,", false, 0, 0},
        FreeFormCase{"two_commas", "4.89,,52.37", false, 0, 0},
        FreeFormCase{"leading_comma", ",4.89,52.37", false, 0, 0},
        FreeFormCase{"name_as_second_value", "4.89, \"Name\"", false, 0, 0},
        FreeFormCase{"semicolon", "4.89; 52.37", false, 0, 0},
        FreeFormCase{"nan", "nan, 52.37", false, 0, 0}, FreeFormCase{"empty", "", false, 0, 0}),
    testing::LabelName{});

// Positions are read in one pass over a plain decimal where they can be; the
// values must be those of the token read whole, bit for bit, and every other
// token must still go the whole way.
struct CoordinateLineCase {
  std::string label;
  std::string text;
  std::optional<std::array<std::string, 2>> tokens;  // nothing: the line is refused
};

void PrintTo(const CoordinateLineCase& row, std::ostream* out) {
  *out << row.label;
}

class read_coordinates_test : public ::testing::TestWithParam<CoordinateLineCase> {};

TEST_P(read_coordinates_test, gives_what_each_token_read_whole_gives) {
  const CoordinateLineCase& c = GetParam();
  std::array<double, 2> values{};
  ASSERT_EQ(read_free_form(c.text, std::span<double>(values)), c.tokens.has_value()) << c.text;
  if (!c.tokens) return;
  for (std::size_t k = 0; k < 2; ++k) {
    const auto expected = parse_coordinate((*c.tokens)[k]);
    ASSERT_TRUE(expected.has_value()) << (*c.tokens)[k];
    EXPECT_EQ(std::bit_cast<std::uint64_t>(values[k]), std::bit_cast<std::uint64_t>(*expected))
        << (*c.tokens)[k];
  }
}

using Tokens = std::array<std::string, 2>;
INSTANTIATE_TEST_SUITE_P(
    lines, read_coordinates_test,
    ::testing::Values(
        CoordinateLineCase{"fixed width", "  27.20687, -14.21802, \"Place\"",
                           Tokens{"27.20687", "-14.21802"}},
        CoordinateLineCase{"signs", "+4.5,-0.0", Tokens{"+4.5", "-0.0"}},
        CoordinateLineCase{"whole numbers", "4 52", Tokens{"4", "52"}},
        CoordinateLineCase{"tab after the value", "4.5\t52.25\tx", Tokens{"4.5", "52.25"}},
        CoordinateLineCase{"exponent", "4.5e1, 1E-1", Tokens{"4.5e1", "1E-1"}},
        CoordinateLineCase{"point first", ".5, 5.", Tokens{".5", "5."}},
        CoordinateLineCase{"fifteen digits", "123456789012345, 0.12345678901234",
                           Tokens{"123456789012345", "0.12345678901234"}},
        CoordinateLineCase{"sixteen digits", "1234567890123456, 0.1234567890123456",
                           Tokens{"1234567890123456", "0.1234567890123456"}},
        CoordinateLineCase{"leading zeros", "0000000000000004.5, 00052",
                           Tokens{"0000000000000004.5", "00052"}},
        CoordinateLineCase{"halfway between floats", "16777217, 0.50000002980232238769531250",
                           Tokens{"16777217", "0.50000002980232238769531250"}},
        CoordinateLineCase{"beyond the float range", "4.5, 1e39", std::nullopt},
        CoordinateLineCase{"letter after the digits", "4.5x, 52", std::nullopt},
        CoordinateLineCase{"semicolon after the digits", "4.5;52", std::nullopt},
        CoordinateLineCase{"two points", "4.5.1, 52", std::nullopt},
        CoordinateLineCase{"sign alone", "-, 52", std::nullopt},
        CoordinateLineCase{"second value missing", "4.5,", std::nullopt}),
    testing::LabelName{});

TEST(read_free_form_test, reads_one_value_and_ignores_the_rest) {
  std::array<float, 1> value{};
  ASSERT_TRUE(read_free_form(" 25 metres", value));
  EXPECT_EQ(value[0], 25.0f);
}

}  // namespace
}  // namespace pinwright::poi
