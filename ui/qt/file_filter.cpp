#include "ui/qt/file_filter.hpp"

#include <vector>

#include "poi/fixed_text.hpp"

namespace pinwright::ui::qt {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string patterns_of(std::string_view masks) {
  std::string patterns;
  for (const std::string_view mask : split(masks, ';')) {
    const std::string_view trimmed = poi::trim(mask);
    if (trimmed.empty()) continue;
    if (!patterns.empty()) patterns += ' ';
    patterns += trimmed;
  }
  return patterns.empty() ? "*" : patterns;
}

}  // namespace

std::string qt_name_filters(std::string_view filter) {
  std::vector<std::string_view> fields = split(poi::trim(filter), '|');
  // The list ends with a bar, which leaves one empty field behind it.
  if (!fields.empty() && poi::trim(fields.back()).empty()) fields.pop_back();

  std::string result;
  for (std::size_t i = 0; i < fields.size(); i += 2) {
    const std::string_view description = poi::trim(fields[i]);
    const std::string patterns = patterns_of(i + 1 < fields.size() ? fields[i + 1] : "");
    if (description.empty() && patterns == "*" && i + 1 >= fields.size()) continue;
    if (!result.empty()) result += ";;";
    if (description.empty()) {
      result += patterns;
    } else {
      result += description;
      result += " (" + patterns + ")";
    }
  }
  return result;
}

}  // namespace pinwright::ui::qt
