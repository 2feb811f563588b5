#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace pinwright::poi {

// One decimal number: optional sign ("+" or "-"), digits with an optional
// point, optional exponent. "nan", "inf", hexadecimal and anything else fail.
// The value is the float nearest to the decimal number: one too small for a
// float reads as zero (of its sign), one too large fails.
std::optional<float> parse_number(std::string_view token);

// The same number kept at double precision: the double nearest to the
// decimal number, except where its float would differ from parse_number()'s
// (a double that falls exactly halfway between two floats rounds once more):
// then the double of that float. So the float of the result is always
// exactly what parse_number() reads, and the result is what the text says
// to double precision. Fails where parse_number() fails.
std::optional<double> parse_coordinate(std::string_view token);

// Free-form reading of values.size() numbers from the start of `text`: values
// are separated by blanks, by a comma, or by a comma with blanks around it.
// Whatever follows the last value is not looked at. False when a value is
// missing, empty (two commas) or not a number.
bool read_free_form(std::string_view text, std::span<float> values);
// The same with parse_coordinate().
bool read_free_form(std::string_view text, std::span<double> values);

}  // namespace pinwright::poi
