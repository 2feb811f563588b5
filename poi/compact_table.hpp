#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "poi/fields.hpp"
#include "poi/record.hpp"

namespace pinwright::poi {

// The one table of entries, in both front ends: without a capacity (the
// window checks its own limits) and without a length limit on the texts.
// Each entry keeps its position and where its name and information text lie
// in one shared byte arena: 32 bytes an entry plus the texts' own bytes,
// where a fixed PoiRecord takes 264 whatever the texts.
//
// Positions are kept as read, in double precision, so that a vector file
// written from the table holds what its input held. Matching and the text and
// OV2 forms see them as 32-bit floats (longitude(), latitude()): each reader
// stores a double whose float is exactly the one the text or OV2 form reads.
//
// Entries are indexed from 1. Texts are kept at any length; what a text or
// OV2 file's record holds of them (cut to kTextLength bytes,
// never inside a UTF-8 sequence, trailing blanks removed) is what the *_field
// accessors and record() give, so the file writers cut them exactly as the
// window does. Editing a text appends the new one to the arena: the old bytes
// stay unused, which costs little as edits come one per decision.
class CompactTable {
 public:
  // The most entries: indexes are 32-bit.
  static constexpr std::int32_t kMaxEntries = INT32_MAX - 1;

  std::int32_t size() const { return static_cast<std::int32_t>(entries_.size()); }

  // Room for `entries` entries and `text_bytes` bytes of texts, so that the
  // table does not move while it is filled.
  void reserve(std::int64_t entries, std::int64_t text_bytes);

  // Stores a new last entry, trailing blanks of the texts left out; false,
  // with nothing stored, when the table is full.
  bool append(double longitude, double latitude, std::string_view name,
              std::string_view information);
  bool append(const PoiRecord& record);
  // A comment record holding `line`.
  bool append_comment(std::string_view line);
  // Entry `index` of `other`, texts at full length, with its fields.
  bool append_entry(const CompactTable& other, std::int32_t index);
  // Gives entry `index` the fields of entry `other_index` of another table,
  // which join this table's schema by name.
  void take_fields(std::int32_t index, const CompactTable& other, std::int32_t other_index);
  // Every entry of `other` (another table, without fields) in order, its
  // texts copied in one block; false, with nothing stored, when they do not all fit.
  bool append_table(const CompactTable& other);

  // The position as matched and as the text and OV2 forms write it.
  float longitude(std::int32_t index) const { return static_cast<float>(at(index).longitude); }
  float latitude(std::int32_t index) const { return static_cast<float>(at(index).latitude); }
  // The position as read.
  double exact_longitude(std::int32_t index) const { return at(index).longitude; }
  double exact_latitude(std::int32_t index) const { return at(index).latitude; }
  bool is_comment(std::int32_t index) const { return longitude(index) == kCommentCoordinate; }
  // The texts as stored, at full length.
  std::string_view name(std::int32_t index) const;
  std::string_view information(std::int32_t index) const;
  // The texts as a record holds them (see above).
  std::string_view name_field(std::int32_t index) const;
  std::string_view information_field(std::int32_t index) const;
  // The entry as the window's record of it.
  PoiRecord record(std::int32_t index) const;

  void set_position(std::int32_t index, double longitude, double latitude);
  void set_name(std::int32_t index, std::string_view name);
  void set_information(std::int32_t index, std::string_view information);

  // The other fields of entries read from vector files; none for text and
  // OV2 entries. Kept beside the entries, by index.
  FieldStore& fields() { return fields_; }
  const FieldStore& fields() const { return fields_; }

  // Heap memory held: the entries, the arena and the fields, reserved room
  // included.
  std::size_t memory_bytes() const;

  // One entry as stored. Its texts stay in the arena however the entry is
  // changed later, so a saved Entry can be put back (see restore()) for as
  // long as the table is not rolled back past the point it was saved at.
  struct Entry {
    double longitude;
    double latitude;
    std::uint64_t text;  // arena offset of the name; the information follows it
    std::uint32_t name_length;
    std::uint32_t information_length;
  };
  static_assert(sizeof(Entry) == 32);

  const Entry& entry(std::int32_t index) const { return at(index); }
  void restore(std::int32_t index, const Entry& saved);

  // How far the table reaches: going back to a mark drops the entries
  // appended since and the bytes of every text stored since. Entries changed
  // in place since must be restored first.
  struct Mark {
    std::int32_t entries = 0;
    std::uint64_t text_bytes = 0;
  };
  Mark mark() const { return Mark{size(), arena_.size()}; }
  void roll_back(const Mark& mark);

 private:
  const Entry& at(std::int32_t index) const {
    return entries_[static_cast<std::size_t>(index - 1)];
  }
  void store_texts(Entry& entry, std::string_view name, std::string_view information);

  std::vector<Entry> entries_;
  std::vector<char> arena_;
  FieldStore fields_;
};

// What a record field keeps of `text`: at most kTextLength bytes, never cut
// inside a UTF-8 sequence, trailing blanks removed.
std::string_view field_text(std::string_view text);

}  // namespace pinwright::poi
