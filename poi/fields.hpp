#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace pinwright::poi {

// The other fields of entries read from vector files: a feature's
// attributes and a GPX waypoint's own elements (ele, time, sym, ...), beside
// the name and information the table holds itself.

enum class FieldType : std::uint8_t { integer, real, string, date_time };

struct Field {
  std::string name;
  FieldType type = FieldType::string;

  friend bool operator==(const Field&, const Field&) = default;
};

// A date and time as vector formats hold it. `zone` as OGR counts it: 0
// unknown, 1 local time, 100 UTC, each step above or below 100 a quarter of
// an hour east or west.
struct DateTime {
  std::int16_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t zone = 0;
  float second = 0.0f;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

using FieldData = std::variant<std::int64_t, double, std::string_view, DateTime>;

// One value of an entry: the field's number in its store's schema, and the
// value in its own type (which may be narrower than the field's).
struct FieldValue {
  std::int32_t field = 0;
  FieldData data;

  friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// The fields of a table's entries, keyed by entry index (from 1). A table of
// text and OV2 entries has none and costs nothing here; an entry given no
// values has none. Each entry's values lie encoded in one byte arena, 16
// bytes of index an entry plus the values' own bytes.
class FieldStore {
 public:
  const std::vector<Field>& schema() const { return schema_; }
  bool empty() const { return schema_.empty(); }

  // The number of field `name`, added to the schema when new. A field met
  // again with another type widens to hold both: integer and real to real,
  // any other pair to string.
  std::int32_t field(std::string_view name, FieldType type);

  // Sets the values of entry `index`, replacing any it had. Values whose
  // field is not in the schema are left out.
  void set(std::int32_t index, std::span<const FieldValue> values);
  // Entry `index`'s values in field order as set; texts point into the store
  // and stay valid until the next change.
  std::vector<FieldValue> values(std::int32_t index) const;

  // Drops the values of entries after `entries`.
  void roll_back(std::int32_t entries);

  std::size_t memory_bytes() const;

 private:
  struct Slot {
    std::uint64_t offset = 0;
    std::uint32_t length = 0;
  };

  std::vector<Field> schema_;
  std::unordered_map<std::string, std::int32_t> numbers_;
  std::vector<Slot> slots_;
  std::vector<char> bytes_;
};

}  // namespace pinwright::poi
