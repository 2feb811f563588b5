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

// Fixed-capacity storage, indexed from 1. Its entry count is kept by the
// owner (the update run, for one, counts Master entries past the number read
// from the file), so the table itself holds no count. The memory for the full
// capacity is reserved at once and never moves; records are made blank only
// as far as they are written, so that a program life costs no more than its
// files need.
class PoiTable {
 public:
  explicit PoiTable(std::int32_t capacity) : capacity_(capacity) {
    records_.reserve(static_cast<std::size_t>(capacity));
  }

  std::int32_t capacity() const { return capacity_; }

  PoiRecord& operator[](std::int32_t index) {
    assert(index >= 1 && index <= capacity_);
    if (static_cast<std::size_t>(index) > records_.size())
      records_.resize(static_cast<std::size_t>(index));  // within the reserve: nothing moves
    return records_[static_cast<std::size_t>(index - 1)];
  }
  // Only entries written before may be read.
  const PoiRecord& operator[](std::int32_t index) const {
    assert(index >= 1 && static_cast<std::size_t>(index) <= records_.size());
    return records_[static_cast<std::size_t>(index - 1)];
  }

 private:
  std::int32_t capacity_;
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
