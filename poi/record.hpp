#pragma once

#include <cstdint>
#include <string_view>

#include "poi/fixed_text.hpp"

namespace pinwright::poi {

inline constexpr std::size_t kTextLength = 128;
using Text = FixedText<kTextLength>;

// Longitude (and latitude) of a comment record: float bits 0xC479C000.
inline constexpr float kCommentCoordinate = -999.0f;

// One point of interest; a comment record keeps a text file's comment line in
// `name` so that it is written back where it stood.
struct PoiRecord {
  float longitude = 0.0f;  // decimal degrees, east positive
  float latitude = 0.0f;   // decimal degrees, north positive
  Text name;
  Text information;  // what followed the name on a text line, separator included

  friend bool operator==(const PoiRecord&, const PoiRecord&) = default;
};

// A record is a comment exactly when its longitude is -999.0, whatever its latitude.
inline bool is_comment(const PoiRecord& record) {
  return record.longitude == kCommentCoordinate;
}

inline PoiRecord make_comment(std::string_view line) {
  PoiRecord record;
  record.longitude = kCommentCoordinate;
  record.latitude = kCommentCoordinate;
  record.name.assign(line);
  return record;
}

}  // namespace pinwright::poi
