#include "poi/format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <ctime>

namespace pinwright::poi {

namespace {

std::string right_aligned(std::string_view digits, int width) {
  if (static_cast<int>(digits.size()) > width)
    return std::string(static_cast<std::size_t>(width), '*');
  std::string field(static_cast<std::size_t>(width) - digits.size(), ' ');
  field.append(digits);
  return field;
}

}  // namespace

std::string format_fixed(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width), '*');
  // 350 characters hold any double in fixed notation with the few decimals used here.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return std::string(static_cast<std::size_t>(width), '*');
  return right_aligned({buffer.data(), result.ptr}, width);
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
