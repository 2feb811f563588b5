#include "batch/tables.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "poi/file_handle.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/line_reader.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::batch {

namespace {

// Type, length, longitude and latitude: no stored OV2 record is shorter.
inline constexpr std::int64_t kSmallestOv2Record = 13;

std::string reason_of(const poi::ReadFailure& failure) {
  using Kind = poi::ReadFailure::Kind;
  switch (failure.kind) {
    case Kind::open_failed:
      return "cannot be read";
    case Kind::format_error:
      return "line " + std::to_string(failure.where) +
             ": not a POI line (Longitude, Latitude, \"Name\"): " + failure.line_text;
    case Kind::unsupported_record:
      return "byte offset " + std::to_string(failure.where) +
             ": Unsupported record type:" + poi::i2(failure.record_type);
    case Kind::storage_limit:
      return "too many entries";
    case Kind::damaged:
      break;
  }
  return "byte offset " + std::to_string(failure.where) +
         ": damaged: the record runs past the end of the file";
}

bool in_range(float longitude, float latitude) {
  return std::abs(longitude) <= 180.0f && std::abs(latitude) <= 90.0f;
}

// Where the record numbered `ordinal` (1-based, among the records a reader
// stores) lies in its file: a text file's line, or an OV2 record's byte
// offset. Read again only when a record is refused, so it costs nothing
// otherwise.
std::string place_of_record(const std::string& path, poi::FileKind kind, std::int64_t ordinal) {
  std::int64_t seen = 0;
  if (kind == poi::FileKind::text) {
    poi::LineReader reader(path);
    std::string window;
    std::size_t length = 0;
    while (reader.next(window, length)) {
      const std::size_t start = std::min(window.find_first_not_of(' '), window.size());
      // Header lines (";*") are the only ones that store no record.
      if (poi::classify_line(std::string_view(window).substr(start), length) !=
              poi::LineKind::header &&
          ++seen == ordinal)
        return "line " + std::to_string(reader.line_number());
    }
    return "a line";
  }
  const poi::FileHandle file(std::fopen(path.c_str(), "rb"));
  std::int64_t offset = 0;
  unsigned char type = 0;
  while (file && std::fread(&type, 1, 1, file.get()) == 1) {
    std::int64_t size = 21;  // a skipper block
    if (type != 1) {
      unsigned char length[4];
      if (std::fread(length, 1, 4, file.get()) != 4) break;
      const std::int32_t total = static_cast<std::int32_t>(
          static_cast<std::uint32_t>(length[0]) | (static_cast<std::uint32_t>(length[1]) << 8) |
          (static_cast<std::uint32_t>(length[2]) << 16) |
          (static_cast<std::uint32_t>(length[3]) << 24));
      const std::int64_t smallest = type == 0 ? 5 : 13;
      size = std::max<std::int64_t>(total, smallest);
      if ((type == 2 || type == 3) && ++seen == ordinal)
        return "byte offset " + std::to_string(offset);
    }
    offset += size;
    if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) break;
  }
  return "a record";
}

}  // namespace

poi::FileKind kind_of(std::string_view path) {
  return poi::split_extension(path).extension == "ov2" ? poi::FileKind::ov2 : poi::FileKind::text;
}

std::optional<FileBound> file_bound(const std::string& path, poi::FileKind kind) {
  poi::FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  const bool ov2 = kind == poi::FileKind::ov2;
  std::int64_t bytes = 0;
  std::int64_t lines = 1;
  std::vector<char> buffer(1 << 16);
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    bytes += static_cast<std::int64_t>(got);
    if (!ov2) lines += std::count(buffer.data(), buffer.data() + got, '\n');
  }
  if (std::ferror(file.get())) return std::nullopt;
  return FileBound{ov2 ? bytes / kSmallestOv2Record : lines, bytes};
}

InputRead read_input(poi::CompactTable& table, const std::string& path,
                     std::atomic<std::int64_t>& read, const InputOptions& options) {
  const std::int32_t before = table.size();
  const poi::FileKind kind = options.kind.value_or(kind_of(path));
  const poi::ReadResult result =
      kind == poi::FileKind::ov2
          ? poi::read_ov2_file(path, table, poi::CompactTable::kMaxEntries)
          : poi::read_text_poi_file(path, table, poi::CompactTable::kMaxEntries);
  read.fetch_add(table.size() - before, std::memory_order_relaxed);
  // The first record out of range, 1-based among the records stored.
  std::int32_t outside = 0;
  if (options.positions_in_range) {
    for (std::int32_t k = before + 1; k <= table.size() && outside == 0; ++k)
      if (!table.is_comment(k) && !in_range(table.longitude(k), table.latitude(k))) outside = k;
  }
  const std::string shown = options.shown.empty() ? path : options.shown;
  InputRead input;
  if (result.failure) {
    input.failure = shown + ": " + reason_of(*result.failure);
    return input;
  }
  if (outside > 0) {
    input.failure = shown + ": " + place_of_record(path, kind, outside - before) +
                    ": outside longitude -180..180, latitude -90..90 (" +
                    std::string(poi::trim(poi::f10_5(table.longitude(outside)))) + ", " +
                    std::string(poi::trim(poi::f10_5(table.latitude(outside)))) +
                    "); a vector Output cannot hold it";
    return input;
  }
  input.entries = result.count;
  input.poi_entries = result.count - result.comment_count;
  return input;
}

OutputWriter::OutputWriter(const std::string& path, poi::FileKind kind,
                           std::chrono::year_month_day date)
    : file_(path, poi::OpenMode::truncate), kind_(kind) {
  buffer_.reserve(poi::kWriteBlock + 1024);
  if (kind_ == poi::FileKind::text) poi::write_text_header(file_, date);
}

void OutputWriter::add(const poi::CompactTable& table, std::int32_t index) {
  const bool comment = table.is_comment(index);
  ++(comment ? comment_entries_ : poi_entries_);
  if (kind_ == poi::FileKind::ov2) {
    if (!comment) poi::append_ov2_record(buffer_, table, index);
  } else {
    poi::append_record_line(buffer_, table, index);
    buffer_ += '\n';
  }
  flush_when_full();
}

void OutputWriter::flush_when_full() {
  if (buffer_.size() < poi::kWriteBlock) return;
  file_.write(buffer_);
  buffer_.clear();
}

bool OutputWriter::close() {
  file_.write(buffer_);
  buffer_.clear();
  if (kind_ == poi::FileKind::text)
    file_.write_line(poi::trailer_line(poi_entries_, comment_entries_));
  return file_.close();
}

}  // namespace pinwright::batch
