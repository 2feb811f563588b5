#include "poi/number.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// A token's sign taken off: its digits and whether the sign was '-'. Nothing
// when what follows the sign cannot start a decimal: from_chars alone would
// also take "inf", "nan" and a second sign.
struct Unsigned {
  std::string_view digits;
  bool negative = false;
};

std::optional<Unsigned> without_sign(std::string_view token) {
  Unsigned part{token};
  if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
    part.negative = token.front() == '-';
    part.digits.remove_prefix(1);
  }
  if (part.digits.empty() || !(is_digit(part.digits.front()) || part.digits.front() == '.'))
    return std::nullopt;
  return part;
}

}  // namespace

std::optional<float> parse_number(std::string_view token) {
  const auto part = without_sign(token);
  if (!part) return std::nullopt;
  const auto [digits, negative] = *part;
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

namespace {

// The double nearest to a plain decimal (digits with at most one point inside,
// no sign, no exponent) of at most 15 significant digits and 22 decimals:
// both the digits as an integer and the power of ten are then exact doubles,
// so one division rounds once, to the nearest double, as from_chars does.
// False for any other text. The value comes back through `value` rather than
// an optional: millions of calls would each wait on the optional's flag,
// written a byte at a time and read back whole. plain_decimal_from() reads
// one at the start of c..end and says where it stopped (nothing when there
// is none there).
const char* plain_decimal_from(const char* c, const char* const end, double& value) {
  static constexpr std::array<double, 23> kPowersOfTen = {
      1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::uint64_t kMostSignificant = 1'000'000'000'000'000;  // 10^15
  std::uint64_t whole = 0;
  const auto take_digits = [&] {
    const char* const first = c;
    for (; c != end && is_digit(*c); ++c) {
      whole = whole * 10 + static_cast<std::uint64_t>(*c - '0');
      if (whole >= kMostSignificant) return false;
    }
    return c != first;
  };
  if (!take_digits()) return nullptr;
  std::size_t decimals = 0;
  if (c != end && *c == '.') {
    const char* const point = ++c;
    if (!take_digits()) return nullptr;
    decimals = static_cast<std::size_t>(c - point);
  }
  if (decimals >= kPowersOfTen.size()) return nullptr;
  value = static_cast<double>(whole) / kPowersOfTen[decimals];
  return c;
}

bool plain_decimal(std::string_view digits, double& value) {
  const char* const end = digits.data() + digits.size();
  return plain_decimal_from(digits.data(), end, value) == end;
}

// Whether `value` lies exactly halfway between two neighbouring floats, where
// rounding it to a float may differ from rounding the decimal it came from.
bool halfway_between_floats(double value) {
  // A float has 24 significant bits to a double's 53: in the normal float
  // range, halfway means the 29 bits a float drops are exactly 1000...0.
  if (const double magnitude = std::fabs(value); magnitude >= std::numeric_limits<float>::min() &&
                                                 magnitude <= std::numeric_limits<float>::max()) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kDropped = (std::uint64_t{1} << 29) - 1;
    return (bits & kDropped) == std::uint64_t{1} << 28;
  }
  const float nearest = static_cast<float>(value);
  if (static_cast<double>(nearest) == value || !std::isfinite(nearest)) return false;
  const float other =
      std::nextafter(nearest, value > nearest ? std::numeric_limits<float>::infinity()
                                              : -std::numeric_limits<float>::infinity());
  // Both sums are exact in double: a float has 24 significant bits.
  return static_cast<double>(nearest) + (static_cast<double>(other) - nearest) / 2.0 == value;
}

}  // namespace

namespace {

// The few numbers the double reading cannot settle alone: out of the
// double's range, beyond the float's, or where the float must be rounded
// from the decimal itself, the float reading decides. Kept out of line, so
// that the common case inlines where many numbers are read.
[[gnu::noinline]] std::optional<double> unusual_coordinate(std::string_view token,
                                                           std::string_view digits, bool negative) {
  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::general);
  if (result.ptr != digits.data() + digits.size()) return std::nullopt;
  if (result.ec != std::errc{} || !std::isfinite(static_cast<float>(value)) ||
      halfway_between_floats(value)) {
    const auto single = parse_number(token);
    if (!single) return std::nullopt;
    return static_cast<double>(*single);
  }
  return negative ? -value : value;
}

inline std::optional<double> coordinate_of(std::string_view token) {
  const auto part = without_sign(token);
  if (!part) return std::nullopt;
  if (double plain = 0.0; plain_decimal(part->digits, plain) && !halfway_between_floats(plain))
    return part->negative ? -plain : plain;
  return unusual_coordinate(token, part->digits, part->negative);
}

}  // namespace

std::optional<double> parse_coordinate(std::string_view token) {
  return coordinate_of(token);
}

namespace {

// The token at the start of `rest` when it is a plain decimal, sign
// included, that settles the coordinate alone: the characters it takes, or 0
// when the token must be read whole. One pass over the characters where
// finding the token first and reading it then takes two.
std::size_t scan_plain_coordinate(std::string_view rest, double& value) {
  const char* c = rest.data();
  const char* const end = c + rest.size();
  bool negative = false;
  if (c != end && (*c == '+' || *c == '-')) negative = *c++ == '-';
  double plain = 0.0;
  c = plain_decimal_from(c, end, plain);
  if (c == nullptr || (c != end && !is_blank(*c) && *c != ',') || halfway_between_floats(plain))
    return 0;
  value = negative ? -plain : plain;
  return static_cast<std::size_t>(c - rest.data());
}

std::size_t scan_nothing(std::string_view, float&) {
  return 0;
}

template <typename Value, typename Scan, typename Parse>
bool read_values(std::string_view text, std::span<Value> values, const Scan& scan,
                 const Parse& parse) {
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
    if (const std::size_t used = scan(text.substr(pos), values[n])) {
      pos += used;
      continue;
    }
    const std::size_t start = pos;
    while (pos < text.size() && !is_blank(text[pos]) && text[pos] != ',') ++pos;
    const auto value = parse(text.substr(start, pos - start));
    if (!value) return false;
    values[n] = *value;
  }
  return true;
}

}  // namespace

bool read_free_form(std::string_view text, std::span<float> values) {
  return read_values(text, values, scan_nothing, parse_number);
}

bool read_free_form(std::string_view text, std::span<double> values) {
  return read_values(text, values, scan_plain_coordinate, coordinate_of);
}

}  // namespace pinwright::poi
