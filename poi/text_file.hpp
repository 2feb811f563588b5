#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "poi/compact_table.hpp"
#include "poi/output_file.hpp"
#include "poi/read_result.hpp"
#include "poi/record.hpp"

namespace pinwright::poi {

enum class LineKind { empty, blank, header, user_comment, poi };

// Kind of a line from its left-justified text and its stored length.
LineKind classify_line(std::string_view justified, std::size_t stored_length);

struct NameSplit {
  Text name;
  Text information;
};

// Splits a POI line into name and information: the name field starts after
// the second comma; double quotes switch quoting; a comma or semicolon outside
// quotes ends the name and starts the information, which keeps it.
NameSplit split_name(std::string_view line);

// The information text to store for a text typed into the information field.
// On a line the information follows the closing quote of the name and starts
// with its separator; a typed text that does not begin (after blanks) with a
// comma or a semicolon gets ", " in front, or it would be read back as part of
// the name. A blank text stays blank. Only a blank may come before the
// separator: the reader takes a tab there into the name.
std::string typed_information_text(std::string_view typed);
// The same as a record's field holds it.
Text typed_information(std::string_view typed);

// How the text reader divides its work: the file is read in blocks of
// `threads` times `stretch_bytes`, each cut at line ends into stretches of
// about `stretch_bytes` that are parsed in parallel. The result does not
// depend on either.
struct TextReadOptions {
  std::size_t stretch_bytes = std::size_t{1} << 20;
  unsigned threads = 0;  // 0: one for each processor
};

// Appends the records of a text POI file to `table`, positions at double
// precision, at most `limit` of them in all (the table's entries before
// included).
ReadResult read_text_poi_file(const std::string& path, CompactTable& table, std::int64_t limit,
                              const TextReadOptions& options = {});

// Written line forms, without the line end.
std::string header_line(std::chrono::year_month_day date);
inline constexpr std::string_view kSecondHeaderLine = ";* Longitude, Latitude, \"Name\"";
std::string record_line(const PoiRecord& record);  // a comment's text, or the POI line
void append_record_line(std::string& out, const PoiRecord& record);
// The start of a POI line: longitude and latitude in F10.5 and the quoted
// name (`   4.89000,  52.37000, "Name"`); the POI line adds the information.
void append_position_and_name(std::string& out, const PoiRecord& record);
void append_position_and_name(std::string& out, const CompactTable& table, std::int32_t index);
// The line of entry `index` of a compact table, its texts cut as a record
// holds them.
void append_record_line(std::string& out, const CompactTable& table, std::int32_t index);
std::string trailer_line(std::int32_t poi_lines, std::int32_t comment_lines);

// The two header lines of a text Output file.
void write_text_header(OutputFile& file, std::chrono::year_month_day date);

struct LineCounts {
  std::int32_t poi_lines = 0;
  std::int32_t comment_lines = 0;
};

// Entries `entries` of `table`, one line each, in that order.
LineCounts write_text_records(OutputFile& file, const CompactTable& table,
                              std::span<const std::int32_t> entries);

// The entries first..last, for the writers.
std::vector<std::int32_t> entry_range(std::int32_t first, std::int32_t last);

}  // namespace pinwright::poi
