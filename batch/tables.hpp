#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.hpp"
#include "poi/file_slot.hpp"
#include "poi/record.hpp"

namespace pinwright::batch {

// Everything the batch does with the program's tables goes through here:
// how large they are made, how files are read into them and how a result is
// taken out, so that the way entries are stored can change underneath.

// ".ov2" (any letter case) is an overlay file; every other name a text file.
poi::FileKind kind_of(std::string_view path);

// The most records `path` can give: its lines (text) or its bytes divided by
// the smallest stored record (OV2). Nothing when it cannot be read.
std::optional<std::int64_t> record_bound(const std::string& path);

// A program whose tables take the files named, each counted by record_bound:
// the Master table holds `master` and every entry the `updates` can add, the
// Update table the largest of them, the result of a duplicate run `master`.
struct TableSizes {
  std::int64_t master = 0;
  std::vector<std::int64_t> updates;
  std::int64_t exclusion_lines = 0;
};
// Nothing when the tables would exceed what an entry index can count.
std::unique_ptr<app::Program> make_program(const TableSizes& sizes);

// Reads `path` into the table of `slot` (Master or Update) and marks the slot
// loaded with the entries read. On failure: the message for the user, naming
// the file, the line or byte offset and the reason.
struct InputRead {
  std::int32_t entries = 0;  // comment records included
  std::int32_t poi_entries = 0;
  std::optional<std::string> failure;
};
InputRead read_input(app::Program& program, poi::Slot slot, const std::string& path);

// The Master table's entries first..last that are not comments.
std::int32_t count_pois(const app::Program& program, std::int32_t first, std::int32_t last);

// The Master table's entries as the Output holds them: a text file with its
// header (`date`), records and closing line, or an OV2 file. False when the
// file could not be written completely.
struct WrittenLines {
  bool complete = false;
  std::int32_t poi_entries = 0;
};
WrittenLines write_master_table(const app::Program& program, const std::string& path,
                                poi::FileKind kind, std::chrono::year_month_day date);

}  // namespace pinwright::batch
