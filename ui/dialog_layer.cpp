#include "ui/dialog_layer.hpp"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/number.hpp"

namespace pinwright::ui {

namespace {

std::string_view trim_blanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return poi::trim_right(text.substr(start));
}

}  // namespace

bool DialogLayer::copy_file(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  return !error;
}

bool DialogLayer::delete_file(const std::string& path) {
  std::error_code error;
  return std::filesystem::remove(path, error) && !error;
}

std::optional<std::int32_t> DialogLayer::get_integer(int id) {
  const std::string text = get_text(id);
  const std::string_view digits = trim_blanks(text);
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
  const auto value = poi::parse_number(trim_blanks(text));
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

void DialogLayer::put_real(int id, double value, RealFormat format) {
  put_text(id, poi::format_fixed(value, format.width, format.decimals));
}

}  // namespace pinwright::ui
