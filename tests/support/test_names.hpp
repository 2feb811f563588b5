#pragma once

// Names and printed values of parameterised cases. A case's name is part of
// its CTest name, so it must be readable and must not change between builds;
// the printed value is what gtest shows when a case fails.

#include <gtest/gtest.h>

#include <charconv>
#include <ostream>
#include <string>
#include <string_view>

namespace pinwright::testing {

// A gtest name (letters, digits, underscores) for a label or a value:
// "radius = 25" gives radius_25, "-0.5" gives minus_0_5, "+4.89" gives
// plus_4_89, "2026-12-07" gives 2026_12_07, "caf\xE9" gives caf_xE9. A sign
// is spelt out unless it stands between two letters or digits, a byte outside
// printable ASCII is written in hexadecimal, and every other run of
// characters that are not ASCII letters or digits becomes one underscore.
inline std::string test_name(std::string_view label) {
  const auto is_alnum = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  };
  std::string name;
  bool gap = false;
  const auto append = [&](std::string_view word) {
    if (gap && !name.empty()) name += '_';
    gap = false;
    name += word;
  };
  for (std::size_t i = 0; i < label.size(); ++i) {
    const char c = label[i];
    const bool joins =
        i > 0 && i + 1 < label.size() && is_alnum(label[i - 1]) && is_alnum(label[i + 1]);
    if (is_alnum(c)) {
      append(std::string_view(&c, 1));
    } else if (const auto byte = static_cast<unsigned char>(c); byte < 0x20 || byte >= 0x7F) {
      constexpr char kDigits[] = "0123456789ABCDEF";
      gap = true;
      append(std::string{'x', kDigits[byte >> 4], kDigits[byte & 0xF]});
      gap = true;
    } else if ((c == '-' || c == '+') && !joins) {
      append(c == '-' ? "minus" : "plus");
      gap = true;
    } else {
      gap = true;
    }
  }
  return name.empty() ? "empty" : name;
}

// The shortest text that reads back as `value`; a double that holds a float
// is written as that float: 4.89f gives "4.89", not "4.889999866485596".
inline std::string number_text(double value) {
  char text[32];
  const float as_float = static_cast<float>(value);
  const auto written = static_cast<double>(as_float) == value
                           ? std::to_chars(text, text + sizeof text, as_float)
                           : std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

// Name generator for a suite whose parameter has a `label`.
struct LabelName {
  template <class Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
    return test_name(info.param.label);
  }
};

// Writes the fields of a parameter the way gtest prints values, for a
// PrintTo: print_row(out, row.label, row.width) writes {"label", 10}.
template <class... Fields>
void print_row(std::ostream* out, const Fields&... fields) {
  *out << '{';
  const char* separator = "";
  ((*out << separator << ::testing::PrintToString(fields), separator = ", "), ...);
  *out << '}';
}

}  // namespace pinwright::testing
