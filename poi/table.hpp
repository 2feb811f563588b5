#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

#include "poi/record.hpp"

namespace pinwright::poi {

inline constexpr std::int32_t kMasterCapacity = 50'000;
inline constexpr std::int32_t kUpdateCapacity = 30'000;
inline constexpr std::int32_t kMergedCapacity = 50'000;
inline constexpr std::int32_t kExclusionCapacity = 5'000;

// Fixed-capacity storage, indexed from 1, allocated once. Its entry count is
// kept by the owner (the update run, for one, counts Master entries past
// the number read from the file), so the table itself holds no count.
class PoiTable {
 public:
  explicit PoiTable(std::int32_t capacity) : records_(static_cast<std::size_t>(capacity)) {}

  std::int32_t capacity() const { return static_cast<std::int32_t>(records_.size()); }

  PoiRecord& operator[](std::int32_t index) {
    assert(index >= 1 && index <= capacity());
    return records_[static_cast<std::size_t>(index - 1)];
  }
  const PoiRecord& operator[](std::int32_t index) const {
    assert(index >= 1 && index <= capacity());
    return records_[static_cast<std::size_t>(index - 1)];
  }

 private:
  std::vector<PoiRecord> records_;
};

// Stores `record` at `count` + 1 and counts it; false, with nothing stored,
// when the table is already full.
inline bool append(PoiTable& table, std::int32_t& count, const PoiRecord& record) {
  if (count >= table.capacity()) return false;
  ++count;
  table[count] = record;
  return true;
}

}  // namespace pinwright::poi
