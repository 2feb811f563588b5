#include "poi/text_file.hpp"

#include <algorithm>
#include <array>
#include <span>

#include "poi/format.hpp"
#include "poi/line_reader.hpp"
#include "poi/number.hpp"

namespace pinwright::poi {

LineKind classify_line(std::string_view justified, std::size_t stored_length) {
  if (stored_length == 0) return LineKind::empty;
  if (justified.empty() || justified.front() == ' ') return LineKind::blank;
  if (justified.starts_with(";*")) return LineKind::header;
  if (justified.front() == ';') return LineKind::user_comment;
  return LineKind::poi;
}

NameSplit split_name(std::string_view line) {
  NameSplit split;
  const std::size_t first_comma = line.find(',');
  std::size_t start = 0;  // index of the first character of the name field
  if (first_comma != std::string_view::npos) {
    const std::size_t second_comma = line.find(',', first_comma + 1);
    start = (second_comma != std::string_view::npos ? second_comma : first_comma) + 1;
  }
  const std::string_view field = trim_right(line.substr(std::min(start, line.size())));
  std::string name;
  bool quoted = false;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '"') {
      quoted = !quoted;
    } else if ((c == ',' || c == ';') && !quoted) {
      split.information.assign(field.substr(i));
      break;
    } else if (c == ' ' && name.empty()) {
      continue;
    } else if (name.size() < kTextLength + 4) {  // enough to cut a UTF-8 sequence cleanly
      name += c;
    }
  }
  split.name.assign(name);
  return split;
}

std::string typed_information_text(std::string_view typed) {
  const std::string_view text = trim_right(typed);
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos || text[first] == ',' || text[first] == ';')
    return std::string(text);
  return ", " + std::string(text);
}

Text typed_information(std::string_view typed) {
  return Text(typed_information_text(typed));
}

namespace {

// The reading loop over lines, each record handed to `store` as its
// position (Number: float for the window's records, double for the compact
// table) and texts.
template <typename Number, typename Store>
ReadResult read_text_lines(const std::string& path, const Store& store_record, std::int64_t limit) {
  ReadResult result;
  LineReader reader(path);
  if (!reader.is_open()) {
    result.failure = ReadFailure{.kind = ReadFailure::Kind::open_failed};
    return result;
  }
  std::string window;
  std::size_t length = 0;
  const auto store = [&](Number longitude, Number latitude, const Text& name,
                         const Text& information) {
    if (store_record(longitude, latitude, name, information)) {
      ++result.count;
      return true;
    }
    result.failure = ReadFailure{.kind = ReadFailure::Kind::storage_limit,
                                 .where = static_cast<std::int64_t>(reader.line_number()),
                                 .limit = limit};
    return false;
  };
  const auto store_comment = [&](std::string_view line) {
    if (!store(kCommentCoordinate, kCommentCoordinate, Text(line), Text())) return false;
    ++result.comment_count;
    return true;
  };
  while (reader.next(window, length)) {
    const std::string justified = justify_left(window);
    switch (classify_line(justified, length)) {
      case LineKind::header:
        continue;
      case LineKind::empty:
        if (!store_comment(";")) return result;
        continue;
      case LineKind::blank:
        if (!store_comment("")) return result;
        continue;
      case LineKind::user_comment:
        if (!store_comment(justified)) return result;
        continue;
      case LineKind::poi:
        break;
    }
    std::array<Number, 2> position{};
    if (!read_free_form(justified, std::span<Number>(position))) {
      result.failure = ReadFailure{.kind = ReadFailure::Kind::format_error,
                                   .where = static_cast<std::int64_t>(reader.line_number()),
                                   .line_text = window};
      return result;
    }
    const NameSplit split = split_name(justified);
    if (!store(position[0], position[1], split.name, split.information)) return result;
  }
  if (reader.failed()) {
    result.failure = ReadFailure{.kind = ReadFailure::Kind::open_failed,
                                 .where = static_cast<std::int64_t>(reader.line_number())};
  }
  return result;
}

}  // namespace

ReadResult read_text_poi_file(const std::string& path, CompactTable& table, std::int64_t limit) {
  const std::int64_t room = std::min<std::int64_t>(limit, CompactTable::kMaxEntries);
  return read_text_lines<double>(
      path,
      [&](double longitude, double latitude, const Text& name, const Text& information) {
        return table.size() < room &&
               table.append(longitude, latitude, name.view(), information.view());
      },
      limit);
}

std::string header_line(std::chrono::year_month_day date) {
  return ";* Created by Pinwright Pro v2.01 on " + format_date(date);
}

namespace {

void append_position_and_name(std::string& out, float longitude, float latitude,
                              std::string_view name) {
  append_fixed(out, longitude, 10, 5);
  out += ',';
  append_fixed(out, latitude, 10, 5);
  out += ", \"";
  out += name;
  out += '"';
}

}  // namespace

void append_position_and_name(std::string& out, const PoiRecord& record) {
  append_position_and_name(out, record.longitude, record.latitude, record.name.trimmed());
}

void append_position_and_name(std::string& out, const CompactTable& table, std::int32_t index) {
  append_position_and_name(out, table.longitude(index), table.latitude(index),
                           table.name_field(index));
}

void append_record_line(std::string& out, const PoiRecord& record) {
  if (is_comment(record)) {
    out += record.name.trimmed();
    return;
  }
  append_position_and_name(out, record);
  out += record.information.trimmed();
}

void append_record_line(std::string& out, const CompactTable& table, std::int32_t index) {
  if (table.is_comment(index)) {
    out += table.name_field(index);
    return;
  }
  append_position_and_name(out, table.longitude(index), table.latitude(index),
                           table.name_field(index));
  out += table.information_field(index);
}

std::string record_line(const PoiRecord& record) {
  std::string line;
  append_record_line(line, record);
  return line;
}

std::string trailer_line(std::int32_t poi_lines, std::int32_t comment_lines) {
  return ";*" + i5(poi_lines) + " POI records." + i5(comment_lines) + " user comment lines.";
}

void write_text_header(OutputFile& file, std::chrono::year_month_day date) {
  file.write_line(header_line(date));
  file.write_line(kSecondHeaderLine);
}

LineCounts write_text_records(OutputFile& file, const CompactTable& table,
                              std::span<const std::int32_t> entries) {
  LineCounts counts;
  std::string buffer;
  for (const std::int32_t k : entries) {
    ++(table.is_comment(k) ? counts.comment_lines : counts.poi_lines);
    append_record_line(buffer, table, k);
    buffer += '\n';
    if (buffer.size() >= (1 << 16)) {
      file.write(buffer);
      buffer.clear();
    }
  }
  file.write(buffer);
  return counts;
}

std::vector<std::int32_t> entry_range(std::int32_t first, std::int32_t last) {
  std::vector<std::int32_t> entries;
  for (std::int32_t k = first; k <= last; ++k) entries.push_back(k);
  return entries;
}

}  // namespace pinwright::poi
