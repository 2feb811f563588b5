#include "poi/format.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace pinwright::poi {

namespace {

void append_right_aligned(std::string& out, std::string_view digits, int width) {
  const auto field = static_cast<std::size_t>(width);
  if (digits.size() > field) {
    out.append(field, '*');
    return;
  }
  out.append(field - digits.size(), ' ');
  out.append(digits);
}

std::string right_aligned(std::string_view digits, int width) {
  std::string field;
  append_right_aligned(field, digits, width);
  return field;
}

constexpr std::array<std::uint64_t, 10> kPowersOfTen = {
    1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};

// "00" to "99": two digits at a time halve the divisions.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int k = 0; k < 100; ++k) {
    pairs[static_cast<std::size_t>(2 * k)] = static_cast<char>('0' + k / 10);
    pairs[static_cast<std::size_t>(2 * k + 1)] = static_cast<char>('0' + k % 10);
  }
  return pairs;
}();

// `units` (the value times 10^decimals, rounded) written as Fw.d: the point
// before the last `decimals` digits, at least one digit before it, the sign
// of the value, right-aligned in one step.
void append_units(std::string& out, bool negative, std::uint64_t units, int width, int decimals) {
  std::array<char, 32> digits;
  char* begin = digits.data() + digits.size();
  const char* const end = begin;
  while (units >= 100) {
    const std::uint64_t pair = units % 100;
    units /= 100;
    begin -= 2;
    std::memcpy(begin, &kDigitPairs[2 * pair], 2);
  }
  if (units >= 10) {
    begin -= 2;
    std::memcpy(begin, &kDigitPairs[2 * units], 2);
  } else {
    *--begin = static_cast<char>('0' + units);
  }
  const auto fraction = static_cast<std::ptrdiff_t>(decimals);
  while (end - begin < fraction + 1) *--begin = '0';
  const std::ptrdiff_t whole = (end - begin) - fraction;
  const auto length =
      static_cast<std::size_t>((end - begin) + (decimals > 0 ? 1 : 0) + (negative ? 1 : 0));
  const auto field = static_cast<std::size_t>(width);
  if (length > field) {
    out.append(field, '*');
    return;
  }
  const std::size_t at = out.size();
  out.resize(at + field);
  char* to = out.data() + at;
  std::memset(to, ' ', field - length);
  to += field - length;
  if (negative) *to++ = '-';
  std::memcpy(to, begin, static_cast<std::size_t>(whole));
  to += whole;
  if (decimals > 0) {
    *to++ = '.';
    std::memcpy(to, begin + whole, static_cast<std::size_t>(fraction));
  }
}

// `scaled` / 2^shift rounded half to even, as the general conversion rounds.
template <typename Wide>
std::uint64_t rounded_shift(Wide scaled, int shift) {
  if (shift == 0) return static_cast<std::uint64_t>(scaled);
  auto quotient = static_cast<std::uint64_t>(scaled >> shift);
  const Wide remainder = scaled - (static_cast<Wide>(quotient) << shift);
  const Wide half = static_cast<Wide>(1) << (shift - 1);
  if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
  return quotient;
}

// Fw.d by exact integer arithmetic: the value is mantissa x 2^exponent, so
// value x 10^d rounded half to even, as the general conversion rounds, needs
// at most 83 bits before the shift. Covers the magnitudes and decimals the
// file forms write (below 10^9, at most 9 decimals); false elsewhere.
bool append_fixed_exactly(std::string& out, double value, int width, int decimals) {
  if (decimals < 0 || decimals > 9 || !(std::fabs(value) < 1e9)) return false;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const auto biased_exponent = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int shift = 1074;  // a subnormal: mantissa x 2^-1074
  if (biased_exponent != 0) {
    mantissa |= std::uint64_t{1} << 52;
    shift = 1075 - biased_exponent;  // at least 23 below 10^9
  }
  const unsigned __int128 scaled =
      static_cast<unsigned __int128>(mantissa) * kPowersOfTen[static_cast<std::size_t>(decimals)];
  // Further right everything is below a half.
  const std::uint64_t units = shift < 100 ? rounded_shift(scaled, shift) : 0;
  append_units(out, negative, units, width, decimals);
  return true;
}

// The same for a float below 2^24: its 24 significant bits times 10^9 fit
// 64 bits, so the narrower arithmetic gives the same digits.
bool append_fixed_exactly(std::string& out, float value, int width, int decimals) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const auto biased_exponent = static_cast<int>((bits >> 23) & 0xFF);
  // 150 and beyond: 2^24 and more, infinities and NaN.
  if (decimals < 0 || decimals > 9 || biased_exponent >= 150) return false;
  const bool negative = (bits >> 31) != 0;
  std::uint64_t mantissa = bits & ((std::uint32_t{1} << 23) - 1);
  int shift = 149;  // a subnormal: mantissa x 2^-149
  if (biased_exponent != 0) {
    mantissa |= std::uint64_t{1} << 23;
    shift = 150 - biased_exponent;  // at least 1
  }
  const std::uint64_t scaled = mantissa * kPowersOfTen[static_cast<std::size_t>(decimals)];
  // Below 2^54: from a shift of 55 on, everything is below a half.
  const std::uint64_t units = shift < 55 ? rounded_shift(scaled, shift) : 0;
  append_units(out, negative, units, width, decimals);
  return true;
}

}  // namespace

void append_fixed(std::string& out, float value, int width, int decimals) {
  if (append_fixed_exactly(out, value, width, decimals)) return;
  append_fixed(out, static_cast<double>(value), width, decimals);
}

void append_fixed(std::string& out, double value, int width, int decimals) {
  if (append_fixed_exactly(out, value, width, decimals)) return;
  // 400 characters hold any double in fixed notation with the few decimals used here.
  std::array<char, 400> buffer;
  const auto result = std::isfinite(value)
                          ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, decimals)
                          : std::to_chars_result{nullptr, std::errc::value_too_large};
  if (result.ec != std::errc{}) {
    out.append(static_cast<std::size_t>(width), '*');
    return;
  }
  append_right_aligned(out, {buffer.data(), result.ptr}, width);
}

std::string format_fixed(double value, int width, int decimals) {
  std::string field;
  append_fixed(field, value, width, decimals);
  return field;
}

std::string format_integer(std::int64_t value, int width) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return right_aligned({buffer.data(), result.ptr}, width);
}

std::string format_date(std::chrono::year_month_day date) {
  static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const unsigned day = static_cast<unsigned>(date.day());
  const unsigned month = static_cast<unsigned>(date.month());
  const int year = static_cast<int>(date.year());
  const int yy = ((year % 100) + 100) % 100;
  std::string text;
  text += static_cast<char>('0' + day / 10);
  text += static_cast<char>('0' + day % 10);
  text += '-';
  text += kMonths[(month - 1) % 12];
  text += '-';
  text += static_cast<char>('0' + yy / 10);
  text += static_cast<char>('0' + yy % 10);
  return text;
}

std::chrono::year_month_day local_today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace pinwright::poi
