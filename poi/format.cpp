#include "poi/format.hpp"

#include <array>
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

// Fw.d by exact integer arithmetic: the value is mantissa x 2^exponent, so
// value x 10^d rounded half to even, as the general conversion rounds, needs
// at most 83 bits before the shift. Covers the magnitudes and decimals the
// file forms write (below 10^9, at most 9 decimals); false elsewhere.
bool append_fixed_exactly(std::string& out, double value, int width, int decimals) {
  constexpr std::array<std::uint64_t, 10> kPowersOfTen = {
      1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000, 1'000'000'000};
  if (decimals < 0 || decimals > 9 || !(std::fabs(value) < 1e9)) return false;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
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
  std::uint64_t units = 0;  // value x 10^d, rounded
  if (shift < 100) {        // further right everything is below a half
    auto quotient = static_cast<std::uint64_t>(scaled >> shift);
    const unsigned __int128 remainder =
        scaled - (static_cast<unsigned __int128>(quotient) << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    units = quotient;
  }
  // The digits from the last one backwards, the point after `decimals` of
  // them, at least one digit before it.
  std::array<char, 32> buffer;
  char* begin = buffer.data() + buffer.size();
  const char* const end = begin;
  for (int k = 0; k < decimals; ++k) {
    *--begin = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  if (decimals > 0) *--begin = '.';
  do {
    *--begin = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units > 0);
  if (negative) *--begin = '-';
  append_right_aligned(out, {begin, end}, width);
  return true;
}

}  // namespace

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
