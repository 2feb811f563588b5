#include "poi/number.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace pinwright::poi {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal order of magnitude of a number that from_chars found outside
// the float range: the power of ten of its first significant digit. `digits`
// has no sign and at least one non-zero digit; an exponent too large even for
// 64 bits only counts by its sign.
std::int64_t decimal_order(std::string_view digits) {
  const std::size_t e = digits.find_first_of("eE");
  const std::string_view mantissa = digits.substr(0, e);
  std::int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view text = digits.substr(e + 1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    // Any exponent beyond 32 bits decides alone; capped, adding the
    // mantissa's order cannot overflow.
    constexpr std::int64_t kExponentCap = std::numeric_limits<std::int32_t>::max();
    if (std::from_chars(text.data(), text.data() + text.size(), exponent).ec != std::errc{})
      exponent = kExponentCap;
    exponent = std::min(exponent, kExponentCap);
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  const auto order = first < point ? static_cast<std::int64_t>(point - first - 1)
                                   : -static_cast<std::int64_t>(first - point);
  return order + exponent;
}

}  // namespace

std::optional<float> parse_number(std::string_view token) {
  std::string_view digits = token;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // from_chars alone would also take "inf", "nan" and a second sign.
  if (digits.empty() || !(is_digit(digits.front()) || digits.front() == '.')) return std::nullopt;
  float value = 0.0f;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general);
  if (result.ptr != digits.data() + digits.size()) return std::nullopt;
  // Below the smallest subnormal the nearest float is zero; beyond the
  // largest float there is no value to store.
  if (result.ec == std::errc::result_out_of_range && decimal_order(digits) < 0)
    value = 0.0f;
  else if (result.ec != std::errc{})
    return std::nullopt;
  return negative ? -value : value;
}

bool read_free_form(std::string_view text, std::span<float> values) {
  std::size_t pos = 0;
  const auto skip_blanks = [&] {
    while (pos < text.size() && is_blank(text[pos])) ++pos;
  };
  for (std::size_t n = 0; n < values.size(); ++n) {
    skip_blanks();
    if (n > 0 && pos < text.size() && text[pos] == ',') {
      ++pos;
      skip_blanks();
    }
    const std::size_t start = pos;
    while (pos < text.size() && !is_blank(text[pos]) && text[pos] != ',') ++pos;
    const auto value = parse_number(text.substr(start, pos - start));
    if (!value) return false;
    values[n] = *value;
  }
  return true;
}

}  // namespace pinwright::poi
