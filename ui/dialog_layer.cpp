#include "ui/dialog_layer.hpp"

#include <charconv>
#include <cmath>

#include "poi/fixed_text.hpp"
#include "poi/number.hpp"

namespace pinwright::ui {

std::optional<std::int32_t> DialogLayer::get_integer(int id) {
  const std::string text = get_text(id);
  const std::string_view digits = poi::trim(text);
  if (digits.empty()) return -999;
  std::int32_t value = 0;
  const std::string_view unsigned_part = digits.starts_with('+') ? digits.substr(1) : digits;
  const auto result =
      std::from_chars(unsigned_part.data(), unsigned_part.data() + unsigned_part.size(), value);
  if (result.ec != std::errc{} || result.ptr != unsigned_part.data() + unsigned_part.size())
    return std::nullopt;
  return value;
}

std::optional<float> DialogLayer::get_real(int id) {
  const std::string text = get_text(id);
  const auto value = poi::parse_number(poi::trim(text));
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

}  // namespace pinwright::ui
