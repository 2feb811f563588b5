#include "poi/format.hpp"

#include <array>
#include <charconv>
#include <cmath>
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

}  // namespace

void append_fixed(std::string& out, double value, int width, int decimals) {
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
