#include "poi/text_file.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <system_error>
#include <thread>

#include "poi/file_handle.hpp"
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

namespace {

// The name field's bytes as split_name() keeps them: enough to cut a UTF-8
// sequence cleanly at kTextLength.
using NameBytes = std::array<char, kTextLength + 4>;

struct FieldViews {
  std::string_view name;         // in the NameBytes given, uncut
  std::string_view information;  // in the line, uncut
};

FieldViews split_fields(std::string_view line, NameBytes& name_bytes) {
  FieldViews fields;
  const std::size_t first_comma = line.find(',');
  std::size_t start = 0;  // index of the first character of the name field
  if (first_comma != std::string_view::npos) {
    const std::size_t second_comma = line.find(',', first_comma + 1);
    start = (second_comma != std::string_view::npos ? second_comma : first_comma) + 1;
  }
  const std::string_view field = trim_right(line.substr(std::min(start, line.size())));
  std::size_t used = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '"') {
      quoted = !quoted;
    } else if ((c == ',' || c == ';') && !quoted) {
      fields.information = field.substr(i);
      break;
    } else if (c == ' ' && used == 0) {
      continue;
    } else if (used < name_bytes.size()) {
      name_bytes[used++] = c;
    }
  }
  fields.name = std::string_view(name_bytes.data(), used);
  return fields;
}

}  // namespace

NameSplit split_name(std::string_view line) {
  NameBytes name_bytes;
  const FieldViews fields = split_fields(line, name_bytes);
  return NameSplit{Text(fields.name), Text(fields.information)};
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

// A text file is read in blocks of whole lines, each block cut at line ends
// into stretches that are parsed on several threads, each into a table of its
// own; those are then appended to the table in file order. Only the first
// stretch of a block goes straight into the table. A stretch that did not
// read cleanly (a bad line, or more entries than the table takes) is read
// again line by line into the table, from its first line with its true line
// numbers: that stores and reports exactly what reading the whole file line
// by line does, so the first bad line of the file is the one reported.

struct StretchRead {
  std::int64_t lines = 0;  // lines seen, up to the failing one
  std::int32_t count = 0;
  std::int32_t comment_count = 0;
  std::optional<ReadFailure> failure;
};

// The POI and comment records of the lines in `bytes` (which end at a line
// end, or at the end of the file) appended to `table` while it holds fewer
// than `room` entries. `first_extra` counts bytes of the first line left out
// of `bytes` after its window (a long line keeps only its start);
// `line_base` is the number of lines before `bytes`.
StretchRead read_stretch(std::string_view bytes, std::size_t first_extra, std::int64_t line_base,
                         CompactTable& table, std::int64_t room, std::int64_t limit) {
  StretchRead read;
  const char* next = bytes.data();
  const char* const end = bytes.data() + bytes.size();
  std::size_t extra = first_extra;
  NameBytes name_bytes;
  const auto store = [&](double longitude, double latitude, std::string_view name,
                         std::string_view information) {
    if (table.size() < room && table.append(longitude, latitude, name, information)) {
      ++read.count;
      return true;
    }
    read.failure = ReadFailure{
        .kind = ReadFailure::Kind::storage_limit, .where = line_base + read.lines, .limit = limit};
    return false;
  };
  while (next < end) {
    // A line ends at LF, CR LF or a lone CR.
    const auto* line_feed = static_cast<const char*>(std::memchr(next, '\n', end - next));
    const char* stop = line_feed != nullptr ? line_feed : end;
    const auto* carriage_return = static_cast<const char*>(std::memchr(next, '\r', stop - next));
    const char* line_end = carriage_return != nullptr ? carriage_return : stop;
    const std::string_view line(next, static_cast<std::size_t>(line_end - next));
    next = line_end;
    if (next < end) next += *next == '\r' && next + 1 < end && next[1] == '\n' ? 2 : 1;
    ++read.lines;
    const std::size_t length = line.size() + extra;
    extra = 0;

    std::string_view window = line.substr(0, kLineWindow + kLineWindowSlack);
    if (window.size() > kLineWindow) window = window.substr(0, utf8_safe_cut(window, kLineWindow));
    const std::size_t first = std::min(window.find_first_not_of(' '), window.size());
    // The line left-justified: its blanks moved to the end change nothing read here.
    const std::string_view text = window.substr(first);
    std::string_view comment;
    switch (classify_line(text, length)) {
      case LineKind::header:
        continue;
      case LineKind::empty:
        comment = ";";
        break;
      case LineKind::blank:
        break;
      case LineKind::user_comment:
        comment = text;
        break;
      case LineKind::poi: {
        std::array<double, 2> position{};
        if (!read_free_form(text, std::span<double>(position))) {
          read.failure = ReadFailure{.kind = ReadFailure::Kind::format_error,
                                     .where = line_base + read.lines,
                                     .line_text = std::string(window)};
          return read;
        }
        const FieldViews fields = split_fields(text, name_bytes);
        if (!store(position[0], position[1], field_text(fields.name),
                   field_text(fields.information)))
          return read;
        continue;
      }
    }
    if (!store(kCommentCoordinate, kCommentCoordinate, field_text(comment), {})) return read;
    ++read.comment_count;
  }
  return read;
}

// Where the line after the first line end at or after `target` starts (the
// end of `bytes` when there is none): never between the CR and LF of one line end.
std::size_t line_start_after(std::string_view bytes, std::size_t target) {
  for (std::size_t i = target; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') return i + 1;
    if (bytes[i] == '\r') return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? i + 2 : i + 1;
  }
  return bytes.size();
}

// The end of the last whole line in `bytes`, 0 when there is none. A CR as
// the last byte does not count yet: an LF may follow it in the next block.
std::size_t end_of_whole_lines(std::string_view bytes) {
  if (bytes.empty()) return 0;
  if (bytes.back() == '\n') return bytes.size();
  for (std::size_t i = bytes.size() - 1; i > 0; --i) {
    if (bytes[i - 1] == '\n' || bytes[i - 1] == '\r') return i;
  }
  return 0;
}

class BlockReader {
 public:
  BlockReader(CompactTable& table, std::int64_t limit, const TextReadOptions& options)
      : table_(table),
        limit_(limit),
        room_(std::min<std::int64_t>(limit, CompactTable::kMaxEntries)),
        stretch_bytes_(std::max<std::size_t>(options.stretch_bytes, 1)),
        threads_(options.threads > 0 ? options.threads
                                     : std::max(1u, std::thread::hardware_concurrency())) {}

  // The lines of `bytes` (whole lines, or the file's last); the first line
  // has `first_extra` more bytes than `bytes` holds of it.
  StretchRead read(std::string_view bytes, std::size_t first_extra, std::int64_t line_base) {
    std::vector<std::string_view> stretches;
    for (std::size_t start = 0; start < bytes.size();) {
      const std::size_t end = line_start_after(bytes, start + stretch_bytes_);
      stretches.push_back(bytes.substr(start, end - start));
      start = end;
    }
    if (stretches.empty()) return {};
    if (chunks_.size() < stretches.size()) chunks_.resize(stretches.size());
    std::vector<StretchRead> reads(stretches.size());
    std::atomic<std::size_t> next{1};
    const auto work = [&] {
      for (std::size_t k = next++; k < stretches.size(); k = next++) {
        chunks_[k].roll_back({});
        reads[k] = read_stretch(stretches[k], 0, 0, chunks_[k], CompactTable::kMaxEntries, limit_);
      }
    };
    std::vector<std::thread> helpers;
    const std::size_t helper_count = std::min<std::size_t>(threads_, stretches.size()) - 1;
    try {
      for (std::size_t h = 0; h < helper_count; ++h) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // No thread to be had: the threads there are (this one at least) do it all.
    }
    StretchRead total = read_stretch(stretches[0], first_extra, line_base, table_, room_, limit_);
    if (total.failure) next = stretches.size();
    work();
    for (std::thread& helper : helpers) helper.join();

    for (std::size_t k = 1; k < stretches.size() && !total.failure; ++k) {
      const bool fits = chunks_[k].size() <= room_ - table_.size();
      const StretchRead part =
          !reads[k].failure && fits && table_.append_table(chunks_[k])
              ? reads[k]
              : read_stretch(stretches[k], 0, line_base + total.lines, table_, room_, limit_);
      total.lines += part.lines;
      total.count += part.count;
      total.comment_count += part.comment_count;
      total.failure = part.failure;
    }
    return total;
  }

  std::size_t block_bytes() const { return stretch_bytes_ * threads_; }

 private:
  CompactTable& table_;
  std::int64_t limit_;
  std::int64_t room_;
  std::size_t stretch_bytes_;
  unsigned threads_;
  std::vector<CompactTable> chunks_;  // kept from block to block for their memory
};

}  // namespace

ReadResult read_text_poi_file(const std::string& path, CompactTable& table, std::int64_t limit,
                              const TextReadOptions& options) {
  ReadResult result;
  const FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    result.failure = ReadFailure{.kind = ReadFailure::Kind::open_failed};
    return result;
  }
  BlockReader reader(table, limit, options);
  const std::size_t block = reader.block_bytes();
  // What a line too long for a block keeps: its window, and its last byte in
  // case that is a CR whose LF comes with the next block.
  constexpr std::size_t kLongLineKept = kLineWindow + kLineWindowSlack + 1;
  // A block's bytes after the last line end stay for the next: less than a
  // block, or a long line's kept bytes.
  // Left uninitialised: a small file touches only the pages it fills.
  const std::size_t buffer_size = std::max(block, kLongLineKept) + block;
  const auto storage = std::make_unique_for_overwrite<char[]>(buffer_size);
  const std::span<char> buffer(storage.get(), buffer_size);
  std::size_t held = 0;
  std::size_t held_extra = 0;  // bytes of the held line left out
  std::int64_t lines = 0;
  bool end_of_file = false;
  while (!end_of_file) {
    const std::size_t got = std::fread(buffer.data() + held, 1, block, file.get());
    bool read_error = false;
    if (got < block) {
      end_of_file = true;
      read_error = std::ferror(file.get()) != 0;
    }
    const std::string_view bytes(buffer.data(), held + got);
    const std::size_t whole = end_of_file ? bytes.size() : end_of_whole_lines(bytes);
    const StretchRead read = reader.read(bytes.substr(0, whole), held_extra, lines);
    lines += read.lines;
    result.count += read.count;
    result.comment_count += read.comment_count;
    if (read.failure) {
      result.failure = read.failure;
      return result;
    }
    if (read_error) {
      result.failure = ReadFailure{.kind = ReadFailure::Kind::open_failed, .where = lines};
      return result;
    }
    if (whole > 0) {
      held = bytes.size() - whole;
      held_extra = 0;
      std::memmove(buffer.data(), buffer.data() + whole, held);
    } else if (bytes.size() > kLongLineKept) {
      held_extra += bytes.size() - kLongLineKept;
      buffer[kLongLineKept - 1] = bytes.back();
      held = kLongLineKept;
    } else {
      held = bytes.size();
    }
  }
  return result;
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
  buffer.reserve(kWriteBlock + 2 * kLineWindow);
  for (const std::int32_t k : entries) {
    ++(table.is_comment(k) ? counts.comment_lines : counts.poi_lines);
    append_record_line(buffer, table, k);
    buffer += '\n';
    if (buffer.size() >= kWriteBlock) {
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
