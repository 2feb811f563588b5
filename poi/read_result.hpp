#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "poi/record.hpp"

namespace pinwright::poi {

// Why a file could not be read and where. Readers never word it: the window
// and pinwright-batch each tell their user in their own words.
struct ReadFailure {
  enum class Kind {
    open_failed,         // missing, unreadable, or a read error
    format_error,        // a text line that is not a POI line
    storage_limit,       // more records than the table holds
    unsupported_record,  // an OV2 record type other than 0 to 3
    damaged,             // an OV2 file that ends inside a record
  };
  Kind kind = Kind::open_failed;
  std::int64_t where = 0;   // 1-based line (text) or byte offset of the record (OV2)
  std::string line_text{};  // format error: the line as read
  int record_type = 0;      // unsupported record: its type byte, signed as stored
  std::int64_t limit = 0;   // storage limit: the entries the table takes
};

// What a reader stored: entries 1..count of the table, comment records included.
struct ReadResult {
  std::int32_t count = 0;
  std::int32_t comment_count = 0;
  std::optional<ReadFailure> failure;
};

}  // namespace pinwright::poi
