#include "poi/compact_table.hpp"

#include <algorithm>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace pinwright::poi {

std::string_view field_text(std::string_view text) {
  return trim_right(text.substr(0, utf8_safe_cut(text, kTextLength)));
}

void CompactTable::reserve(std::int64_t entries, std::int64_t text_bytes) {
  entries_.reserve(static_cast<std::size_t>(std::max<std::int64_t>(entries, 0)));
  arena_.reserve(static_cast<std::size_t>(std::max<std::int64_t>(text_bytes, 0)));
}

void CompactTable::store_texts(Entry& entry, std::string_view name, std::string_view information) {
  name = trim_right(name);
  information = trim_right(information);
  // A text longer than 32 bits can count keeps what they count.
  constexpr std::size_t kLongest = std::numeric_limits<std::uint32_t>::max();
  name = name.substr(0, std::min(name.size(), kLongest));
  information = information.substr(0, std::min(information.size(), kLongest));
  entry.text = arena_.size();
  entry.name_length = static_cast<std::uint32_t>(name.size());
  entry.information_length = static_cast<std::uint32_t>(information.size());
  arena_.insert(arena_.end(), name.begin(), name.end());
  arena_.insert(arena_.end(), information.begin(), information.end());
}

bool CompactTable::append(double longitude, double latitude, std::string_view name,
                          std::string_view information) {
  if (size() >= kMaxEntries) return false;
  Entry entry{longitude, latitude, 0, 0, 0};
  store_texts(entry, name, information);
  entries_.push_back(entry);
  return true;
}

bool CompactTable::append(const PoiRecord& record) {
  return append(record.longitude, record.latitude, record.name.view(), record.information.view());
}

bool CompactTable::append_comment(std::string_view line) {
  return append(kCommentCoordinate, kCommentCoordinate, line, {});
}

bool CompactTable::append_entry(const CompactTable& other, std::int32_t index) {
  if (&other != this) {
    if (!append(other.exact_longitude(index), other.exact_latitude(index), other.name(index),
                other.information(index)))
      return false;
    take_fields(size(), other, index);
    return true;
  }
  // The texts lie in the arena the append may move.
  const Entry copied = at(index);
  const std::string texts(arena_.data() + copied.text,
                          copied.name_length + copied.information_length);
  if (!append(copied.longitude, copied.latitude,
              std::string_view(texts).substr(0, copied.name_length),
              std::string_view(texts).substr(copied.name_length)))
    return false;
  take_fields(size(), *this, index);
  return true;
}

void CompactTable::take_fields(std::int32_t index, const CompactTable& other,
                               std::int32_t other_index) {
  std::vector<FieldValue> values = other.fields_.values(other_index);
  if (values.empty()) return;
  // The texts lie in the other store: copied first, in case it is this one.
  std::vector<std::string> texts;
  texts.reserve(values.size());
  for (FieldValue& value : values) {
    const Field& field = other.fields_.schema()[static_cast<std::size_t>(value.field)];
    value.field = fields_.field(field.name, field.type);
    if (const auto* text = std::get_if<std::string_view>(&value.data))
      value.data = std::string_view(texts.emplace_back(*text));
  }
  fields_.set(index, values);
}

bool CompactTable::append_table(const CompactTable& other) {
  if (other.size() > kMaxEntries - size()) return false;
  const std::uint64_t shift = arena_.size();
  arena_.insert(arena_.end(), other.arena_.begin(), other.arena_.end());
  const std::size_t first = entries_.size();
  entries_.insert(entries_.end(), other.entries_.begin(), other.entries_.end());
  for (std::size_t k = first; k < entries_.size(); ++k) entries_[k].text += shift;
  return true;
}

std::string_view CompactTable::name(std::int32_t index) const {
  const Entry& entry = at(index);
  return {arena_.data() + entry.text, entry.name_length};
}

std::string_view CompactTable::information(std::int32_t index) const {
  const Entry& entry = at(index);
  return {arena_.data() + entry.text + entry.name_length, entry.information_length};
}

std::string_view CompactTable::name_field(std::int32_t index) const {
  return field_text(name(index));
}

std::string_view CompactTable::information_field(std::int32_t index) const {
  return field_text(information(index));
}

PoiRecord CompactTable::record(std::int32_t index) const {
  PoiRecord record;
  record.longitude = longitude(index);
  record.latitude = latitude(index);
  record.name.assign(name(index));
  record.information.assign(information(index));
  return record;
}

void CompactTable::set_position(std::int32_t index, double longitude, double latitude) {
  Entry& entry = entries_[static_cast<std::size_t>(index - 1)];
  entry.longitude = longitude;
  entry.latitude = latitude;
}

void CompactTable::set_name(std::int32_t index, std::string_view name) {
  // Copied first: `name` may lie in the arena, which the append can move.
  const std::string kept_name(name);
  const std::string kept_information(information(index));
  store_texts(entries_[static_cast<std::size_t>(index - 1)], kept_name, kept_information);
}

void CompactTable::set_information(std::int32_t index, std::string_view information) {
  const std::string kept_name(name(index));
  const std::string kept_information(information);
  store_texts(entries_[static_cast<std::size_t>(index - 1)], kept_name, kept_information);
}

void CompactTable::restore(std::int32_t index, const Entry& saved) {
  entries_[static_cast<std::size_t>(index - 1)] = saved;
}

void CompactTable::roll_back(const Mark& mark) {
  if (mark.entries < size()) entries_.resize(static_cast<std::size_t>(std::max(mark.entries, 0)));
  if (mark.text_bytes < arena_.size()) arena_.resize(static_cast<std::size_t>(mark.text_bytes));
  fields_.roll_back(mark.entries);
}

std::size_t CompactTable::memory_bytes() const {
  return entries_.capacity() * sizeof(Entry) + arena_.capacity() + fields_.memory_bytes();
}

}  // namespace pinwright::poi
