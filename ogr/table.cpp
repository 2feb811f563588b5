#include "ogr/table.hpp"

#include <string_view>
#include <utility>

#include "poi/text_encoding.hpp"

namespace pinwright::ogr {

namespace {

inline constexpr std::string_view kSeparator = ", ";

std::string_view without_separator(std::string_view information) {
  if (!information.empty() && (information.front() == ',' || information.front() == ';')) {
    information.remove_prefix(1);
    while (!information.empty() && information.front() == ' ') information.remove_prefix(1);
  }
  return information;
}

std::string as_utf8(std::string_view text, std::string_view partner) {
  return poi::decode_to_utf8(text, poi::entry_encoding(text, partner));
}

}  // namespace

std::string stored_information(std::string&& field) {
  if (field.empty() || field.front() == ',' || field.front() == ';') return std::move(field);
  return std::string(kSeparator) + field;
}

Point point_of(const poi::CompactTable& table, std::int32_t index) {
  const std::string_view name = table.name(index);
  const std::string_view information = without_separator(table.information(index));
  return {table.exact_longitude(index),
          table.exact_latitude(index),
          as_utf8(name, information),
          as_utf8(information, name),
          {}};
}

}  // namespace pinwright::ogr
