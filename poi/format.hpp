#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace pinwright::poi {

// Fixed-width number forms, right-aligned in their field; a value too wide for
// the field (or not finite) fills it with asterisks. Independent of the locale.

// Fw.d: `decimals` digits after the point, rounded to nearest, a zero before
// the point when the magnitude is below 1 (F10.5 of 4.89 is "   4.89000").
std::string format_fixed(double value, int width, int decimals);
// The same, appended to `out` (for writers that build many lines); a float
// gives the digits of its exact value, as the double form does.
void append_fixed(std::string& out, double value, int width, int decimals);
void append_fixed(std::string& out, float value, int width, int decimals);

// Iw: an integer right-aligned in `width` characters.
std::string format_integer(std::int64_t value, int width);

inline std::string f10_5(double value) {
  return format_fixed(value, 10, 5);
}
inline std::string f10_6(double value) {
  return format_fixed(value, 10, 6);
}
inline std::string f8_2(double value) {
  return format_fixed(value, 8, 2);
}
inline std::string f8_1(double value) {
  return format_fixed(value, 8, 1);
}
inline std::string i2(std::int64_t value) {
  return format_integer(value, 2);
}
inline std::string i4(std::int64_t value) {
  return format_integer(value, 4);
}
inline std::string i5(std::int64_t value) {
  return format_integer(value, 5);
}
inline std::string i6(std::int64_t value) {
  return format_integer(value, 6);
}
inline std::string i8(std::int64_t value) {
  return format_integer(value, 8);
}

// DD-MMM-YY, for example "07-DEC-26".
std::string format_date(std::chrono::year_month_day date);

// Today's date in local time.
std::chrono::year_month_day local_today();

}  // namespace pinwright::poi
