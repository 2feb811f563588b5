#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "poi/record.hpp"

namespace pinwright::poi {

// A table of entries without a capacity and without a length limit on the
// texts, for runs on files far larger than the window's tables. Each entry
// keeps its position and where its name and information text lie in one
// shared byte arena: 24 bytes an entry plus the texts' own bytes, where a
// PoiRecord takes 264 whatever the texts.
//
// Entries are indexed from 1, as in PoiTable. Texts are kept at any length;
// what the window's record would hold of them (cut to kTextLength bytes,
// never inside a UTF-8 sequence, trailing blanks removed) is what the *_field
// accessors and record() give, so the file writers cut them exactly as the
// window does. Editing a text appends the new one to the arena: the old bytes
// stay unused, which costs little as edits come one per decision.
class CompactTable {
 public:
  // The most entries: indexes are 32-bit, as in the window's tables.
  static constexpr std::int32_t kMaxEntries = INT32_MAX - 1;

  std::int32_t size() const { return static_cast<std::int32_t>(entries_.size()); }

  // Room for `entries` entries and `text_bytes` bytes of texts, so that the
  // table does not move while it is filled.
  void reserve(std::int64_t entries, std::int64_t text_bytes);

  // Stores a new last entry, trailing blanks of the texts left out; false,
  // with nothing stored, when the table is full.
  bool append(float longitude, float latitude, std::string_view name, std::string_view information);
  bool append(const PoiRecord& record);

  float longitude(std::int32_t index) const { return at(index).longitude; }
  float latitude(std::int32_t index) const { return at(index).latitude; }
  bool is_comment(std::int32_t index) const { return at(index).longitude == kCommentCoordinate; }
  // The texts as stored, at full length.
  std::string_view name(std::int32_t index) const;
  std::string_view information(std::int32_t index) const;
  // The texts as a record holds them (see above).
  std::string_view name_field(std::int32_t index) const;
  std::string_view information_field(std::int32_t index) const;
  // The entry as the window's record of it.
  PoiRecord record(std::int32_t index) const;

  void set_position(std::int32_t index, float longitude, float latitude);
  void set_name(std::int32_t index, std::string_view name);
  void set_information(std::int32_t index, std::string_view information);

  // Heap memory held: the entries and the arena, reserved room included.
  std::size_t memory_bytes() const;

 private:
  struct Entry {
    float longitude;
    float latitude;
    std::uint64_t text;  // arena offset of the name; the information follows it
    std::uint32_t name_length;
    std::uint32_t information_length;
  };
  static_assert(sizeof(Entry) == 24);

  const Entry& at(std::int32_t index) const {
    return entries_[static_cast<std::size_t>(index - 1)];
  }
  void store_texts(Entry& entry, std::string_view name, std::string_view information);

  std::vector<Entry> entries_;
  std::vector<char> arena_;
};

// What a record field keeps of `text`: at most kTextLength bytes, never cut
// inside a UTF-8 sequence, trailing blanks removed.
std::string_view field_text(std::string_view text);

}  // namespace pinwright::poi
