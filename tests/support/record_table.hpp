#pragma once

#include <cstdint>
#include <vector>

#include "poi/compact_table.hpp"
#include "poi/record.hpp"

namespace pinwright::testing {

// Entries written by number, as a test lays them out (`entries[3] = ...`),
// handed over as the program's table.
class RecordTable {
 public:
  poi::PoiRecord& operator[](std::int32_t index) {
    if (static_cast<std::size_t>(index) > records_.size())
      records_.resize(static_cast<std::size_t>(index));
    return records_[static_cast<std::size_t>(index - 1)];
  }
  const poi::PoiRecord& operator[](std::int32_t index) const {
    return records_[static_cast<std::size_t>(index - 1)];
  }

  // The entries so far as a table. It stays valid until the next call.
  const poi::CompactTable& table() const {
    table_ = poi::CompactTable();
    for (const poi::PoiRecord& record : records_) table_.append(record);
    return table_;
  }

 private:
  std::vector<poi::PoiRecord> records_;
  mutable poi::CompactTable table_;
};

}  // namespace pinwright::testing
