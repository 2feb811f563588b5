#include "poi/number.hpp"

#include <charconv>

namespace pinwright::poi {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
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
  if (result.ec != std::errc{} || result.ptr != digits.data() + digits.size()) return std::nullopt;
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
