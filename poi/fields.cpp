#include "poi/fields.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

namespace pinwright::poi {

namespace {

// The memory form of a value: its field number, its type (the variant's
// index), then the value; a text as its length and bytes. The store never
// leaves the process, so values keep the machine's byte order.
template <typename T>
void put(std::vector<char>& bytes, const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  const char* start = reinterpret_cast<const char*>(&value);
  bytes.insert(bytes.end(), start, start + sizeof(T));
}

template <typename T>
T take(const char*& at) {
  T value;
  std::memcpy(&value, at, sizeof(T));
  at += sizeof(T);
  return value;
}

FieldType widened(FieldType held, FieldType met) {
  if (held == met) return held;
  const auto is_number = [](FieldType type) {
    return type == FieldType::integer || type == FieldType::real;
  };
  return is_number(held) && is_number(met) ? FieldType::real : FieldType::string;
}

}  // namespace

std::int32_t FieldStore::field(std::string_view name, FieldType type) {
  const std::string key(name);
  if (const auto found = numbers_.find(key); found != numbers_.end()) {
    Field& held = schema_[static_cast<std::size_t>(found->second)];
    held.type = widened(held.type, type);
    return found->second;
  }
  const auto number = static_cast<std::int32_t>(schema_.size());
  schema_.push_back({key, type});
  numbers_.emplace(key, number);
  return number;
}

void FieldStore::set(std::int32_t index, std::span<const FieldValue> values) {
  const auto at = static_cast<std::size_t>(index - 1);
  if (slots_.size() <= at) slots_.resize(at + 1);
  Slot slot{bytes_.size(), 0};
  for (const FieldValue& value : values) {
    if (value.field < 0 || static_cast<std::size_t>(value.field) >= schema_.size()) continue;
    put(bytes_, value.field);
    put(bytes_, static_cast<std::uint8_t>(value.data.index()));
    std::visit(
        [this](const auto& data) {
          using T = std::decay_t<decltype(data)>;
          if constexpr (std::is_same_v<T, std::string_view>) {
            const std::string_view kept = data.substr(
                0, std::min<std::size_t>(data.size(), std::numeric_limits<std::uint32_t>::max()));
            put(bytes_, static_cast<std::uint32_t>(kept.size()));
            bytes_.insert(bytes_.end(), kept.begin(), kept.end());
          } else {
            put(bytes_, data);
          }
        },
        value.data);
  }
  slot.length = static_cast<std::uint32_t>(bytes_.size() - slot.offset);
  slots_[at] = slot;
}

std::vector<FieldValue> FieldStore::values(std::int32_t index) const {
  std::vector<FieldValue> values;
  const auto at = static_cast<std::size_t>(index - 1);
  if (at >= slots_.size()) return values;
  const char* next = bytes_.data() + slots_[at].offset;
  const char* const end = next + slots_[at].length;
  while (next < end) {
    FieldValue value;
    value.field = take<std::int32_t>(next);
    switch (take<std::uint8_t>(next)) {
      case 0:
        value.data = take<std::int64_t>(next);
        break;
      case 1:
        value.data = take<double>(next);
        break;
      case 2: {
        const auto length = take<std::uint32_t>(next);
        value.data = std::string_view(next, length);
        next += length;
        break;
      }
      default:
        value.data = take<DateTime>(next);
        break;
    }
    values.push_back(value);
  }
  return values;
}

void FieldStore::roll_back(std::int32_t entries) {
  const auto kept = static_cast<std::size_t>(std::max(entries, 0));
  if (kept >= slots_.size()) return;
  slots_.resize(kept);
  // Values of the entries kept that were set after those dropped stay.
  std::uint64_t end = 0;
  for (const Slot& slot : slots_) end = std::max(end, slot.offset + slot.length);
  bytes_.resize(static_cast<std::size_t>(end));
}

std::size_t FieldStore::memory_bytes() const {
  return slots_.capacity() * sizeof(Slot) + bytes_.capacity() + schema_.capacity() * sizeof(Field);
}

}  // namespace pinwright::poi
