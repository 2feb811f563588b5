#include "poi/format.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "poi/number.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

struct FixedCase {
  double value;
  int width;
  int decimals;
  const char* expected;
};

void PrintTo(const FixedCase& row, std::ostream* out) {
  testing::print_row(out, row.value, row.width, row.decimals, row.expected);
}

class format_fixed_test : public ::testing::TestWithParam<FixedCase> {};

TEST_P(format_fixed_test, right_aligned_rounded_or_asterisks) {
  const FixedCase& c = GetParam();
  EXPECT_EQ(format_fixed(c.value, c.width, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    forms, format_fixed_test,
    ::testing::Values(FixedCase{4.89f, 10, 5, "   4.89000"},         // the float 4.8899998664...
                      FixedCase{-0.12345, 10, 5, "  -0.12345"},      // zero before the point
                      FixedCase{-122.419418f, 10, 5, "-122.41942"},  // exactly ten characters
                      FixedCase{-1000.0, 10, 5, "**********"},
                      FixedCase{99999.999999, 10, 5, "**********"},
                      FixedCase{0.000004, 10, 5, "   0.00000"}, FixedCase{4.5, 10, 5, "   4.50000"},
                      FixedCase{52.37f, 10, 6, " 52.369999"},
                      FixedCase{-122.419418f, 10, 6, "**********"},
                      FixedCase{-99.5, 10, 6, "-99.500000"}, FixedCase{12.345, 8, 2, "   12.35"},
                      FixedCase{-0.5, 8, 2, "   -0.50"}, FixedCase{123456.0, 8, 2, "********"},
                      FixedCase{25.0f, 8, 1, "    25.0"}, FixedCase{1.25, 8, 1, "     1.2"},
                      FixedCase{1e300, 8, 1, "********"},
                      FixedCase{std::numeric_limits<double>::infinity(), 8, 2, "********"},
                      FixedCase{std::numeric_limits<double>::quiet_NaN(), 10, 5, "**********"}),
    [](const auto& info) {
      const FixedCase& c = info.param;
      return testing::test_name(testing::number_text(c.value) + " F" + std::to_string(c.width) +
                                "." + std::to_string(c.decimals));
    });

struct IntegerCase {
  long value;
  int width;
  const char* expected;
};

void PrintTo(const IntegerCase& row, std::ostream* out) {
  testing::print_row(out, row.value, row.width, row.expected);
}

class format_integer_test : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(format_integer_test, right_aligned_or_asterisks) {
  EXPECT_EQ(format_integer(GetParam().value, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    forms, format_integer_test,
    ::testing::Values(IntegerCase{7, 2, " 7"}, IntegerCase{12, 2, "12"}, IntegerCase{100, 2, "**"},
                      IntegerCase{-56, 2, "**"}, IntegerCase{-5, 2, "-5"},
                      IntegerCase{1500, 4, "1500"}, IntegerCase{-999, 4, "-999"},
                      IntegerCase{12345, 4, "****"}, IntegerCase{1234, 5, " 1234"},
                      IntegerCase{3, 5, "    3"}, IntegerCase{50000, 6, " 50000"},
                      IntegerCase{12, 8, "      12"}, IntegerCase{-1234567, 8, "-1234567"},
                      IntegerCase{123456789, 8, "********"}),
    [](const auto& info) {
      return testing::test_name(std::to_string(info.param.value) + " I" +
                                std::to_string(info.param.width));
    });

// The general conversion, right-aligned or asterisks: the form every fixed
// field had before it got a faster path of its own.
std::string general_fixed(double value, int width, int decimals) {
  std::array<char, 400> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  const std::string digits(buffer.data(), result.ptr);
  const auto field = static_cast<std::size_t>(width);
  return digits.size() > field ? std::string(field, '*')
                               : std::string(field - digits.size(), ' ') + digits;
}

TEST(format_fixed_test, as_the_general_conversion_rounds_it) {
  std::vector<double> values = {
      0.0,         -0.0,           0.5,       1.5,         2.5,
      -2.5,        0.015625,       -0.015625, 1e-300,      -4e-320,
      9999.999995, 9999.999994999, 99999.5,   999999999.5, 123456789.123456789,
      -180.0,      180.0};
  // Halfway cases at every decimal: odd multiples of powers of two.
  for (int power = 1; power <= 30; ++power)
    for (int odd = 1; odd < 64; odd += 2) values.push_back(std::ldexp(odd, -power));
  std::mt19937_64 random(7);
  std::uniform_real_distribution<float> coordinate(-180.0f, 180.0f);
  std::uniform_real_distribution<double> wide(-2e9, 2e9);
  std::uniform_int_distribution<int> exponent(-40, 32);
  for (int k = 0; k < 20'000; ++k) {
    values.push_back(coordinate(random));
    values.push_back(wide(random));
    values.push_back(std::ldexp(wide(random), exponent(random)));
  }
  for (const double value : values) {
    for (int decimals = 0; decimals <= 10; ++decimals) {
      for (const int width : {8, 10, 24}) {
        ASSERT_EQ(format_fixed(value, width, decimals), general_fixed(value, width, decimals))
            << value << " F" << width << "." << decimals;
      }
    }
  }
}

// A float takes a narrower path of its own: it must give the digits of its
// exact value, as the double path and the general conversion do.
TEST(format_fixed_test, of_a_float_as_the_general_conversion_rounds_it) {
  std::vector<float> values = {0.0f,
                               -0.0f,
                               0.5f,
                               2.5f,
                               -2.5f,
                               1e-45f,
                               -1e-45f,
                               1.1754942e-38f,
                               16777215.0f,
                               16777216.0f,
                               -16777218.0f,
                               1e9f,
                               3e38f,
                               std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               -180.0f,
                               179.99999f};
  // Halfway cases at every decimal: odd multiples of powers of two.
  for (int power = 1; power <= 30; ++power)
    for (int odd = 1; odd < 64; odd += 2)
      values.push_back(std::ldexp(static_cast<float>(odd), -power));
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> any_bits;
  std::uniform_real_distribution<float> coordinate(-180.0f, 180.0f);
  for (int k = 0; k < 50'000; ++k) {
    values.push_back(coordinate(random));
    values.push_back(std::bit_cast<float>(any_bits(random)));
  }
  for (const float value : values) {
    for (int decimals = 0; decimals <= 10; ++decimals) {
      for (const int width : {8, 10, 24}) {
        std::string written = "x";
        append_fixed(written, value, width, decimals);
        const std::string expected = std::isfinite(value)
                                         ? general_fixed(value, width, decimals)
                                         : std::string(static_cast<std::size_t>(width), '*');
        ASSERT_EQ(written, "x" + expected) << value << " F" << width << "." << decimals;
      }
    }
  }
}

TEST(format_test, named_forms) {
  EXPECT_EQ(f10_5(4.89f), "   4.89000");
  EXPECT_EQ(f10_6(4.89f), "  4.890000");
  EXPECT_EQ(f8_2(5.0), "    5.00");
  EXPECT_EQ(f8_1(25.0), "    25.0");
  EXPECT_EQ(i2(7), " 7");
  EXPECT_EQ(i4(20), "  20");
  EXPECT_EQ(i5(17), "   17");
  EXPECT_EQ(i6(30000), " 30000");
  EXPECT_EQ(i8(12), "      12");
}

TEST(format_test, date_is_dd_mmm_yy) {
  using namespace std::chrono;
  EXPECT_EQ(format_date(year{2026} / December / day{7}), "07-DEC-26");
  EXPECT_EQ(format_date(year{2000} / January / day{31}), "31-JAN-00");
  EXPECT_EQ(format_date(year{1999} / May / day{1}), "01-MAY-99");
  EXPECT_EQ(format_date(year{2031} / September / day{15}), "15-SEP-31");
}

// Qt sets LC_NUMERIC from the environment; the number forms must not follow it.
TEST(format_test, independent_of_a_german_locale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "de_DE.UTF-8 is missing: scripts/install-deps generates it";
  const std::string fixed = f10_5(4.89f);
  const std::string separation = f8_2(12.345);
  const auto parsed = parse_number("4.89");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(fixed, "   4.89000");
  EXPECT_EQ(separation, "   12.35");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, 4.89f);
}

}  // namespace
}  // namespace pinwright::poi
