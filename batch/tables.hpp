#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "poi/compact_table.hpp"
#include "poi/file_slot.hpp"
#include "poi/output_file.hpp"

namespace pinwright::batch {

// How the batch stores entries and moves them between files and tables:
// compact tables (see poi::CompactTable) that grow with the input, read and
// written by the same code as the window's tables, so that the texts are cut
// and the numbers formatted exactly as the window does.

// ".ov2" (any letter case) is an overlay file; every other name a text file.
poi::FileKind kind_of(std::string_view path);

// What a file can give at most: records (its lines for a text file, its
// bytes over the smallest stored record for OV2) and bytes of text.
struct FileBound {
  std::int64_t records = 0;
  std::int64_t bytes = 0;
};
// Nothing when the file cannot be read.
std::optional<FileBound> file_bound(const std::string& path, poi::FileKind kind);

// How read_input reads a file.
struct InputOptions {
  std::optional<poi::FileKind> kind;  // nothing: by the file's name
  std::string shown;                  // the file's name in messages; empty: its path
  // Positions outside longitude -180..180, latitude -90..90 fail the read
  // (a vector file cannot hold them).
  bool positions_in_range = false;
};

// Reads `path` and appends its records to `table`, counting each in `read`. On failure: the message
// for the user, naming the file, the line or byte offset and the reason.
struct InputRead {
  std::int32_t entries = 0;  // comment records included
  std::int32_t poi_entries = 0;
  std::optional<std::string> failure;
};
InputRead read_input(poi::CompactTable& table, const std::string& path,
                     std::atomic<std::int64_t>& read, const InputOptions& options = {});

// An Output being written: a text file opens with its header (`date`) and
// closes with its line of counts; an OV2 file leaves comment records out.
class OutputWriter {
 public:
  OutputWriter(const std::string& path, poi::FileKind kind, std::chrono::year_month_day date);

  void add(const poi::CompactTable& table, std::int32_t index);
  // False when the file could not be written completely.
  bool close();

  std::int32_t poi_entries() const { return poi_entries_; }

 private:
  void flush_when_full();

  poi::OutputFile file_;
  poi::FileKind kind_;
  std::string buffer_;
  std::int32_t poi_entries_ = 0;
  std::int32_t comment_entries_ = 0;
};

}  // namespace pinwright::batch
