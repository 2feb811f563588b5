#include "batch/tables.hpp"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "poi/file_handle.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::batch {

namespace {

// Type, length, longitude and latitude: no stored OV2 record is shorter.
inline constexpr std::int64_t kSmallestOv2Record = 13;
inline constexpr std::size_t kWriteBuffer = 1 << 16;

std::string reason_of(const poi::ReadFailure& failure) {
  using Kind = poi::ReadFailure::Kind;
  switch (failure.kind) {
    case Kind::open_failed:
      return "cannot be read";
    case Kind::format_error:
      return "line " + std::to_string(failure.where) +
             ": not a POI line (Longitude, Latitude, \"Name\"): " + failure.line_text;
    case Kind::unsupported_record: {
      // The box's first line names the type.
      const std::string first_line = failure.text.substr(0, failure.text.find('\r'));
      return "byte offset " + std::to_string(failure.where) + ": " + first_line;
    }
    case Kind::storage_limit:
      return "too many entries";
    case Kind::damaged:
      break;
  }
  std::string text = failure.text;
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace

poi::FileKind kind_of(std::string_view path) {
  return poi::split_extension(path).extension == "ov2" ? poi::FileKind::ov2 : poi::FileKind::text;
}

std::optional<FileBound> file_bound(const std::string& path) {
  poi::FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  const bool ov2 = kind_of(path) == poi::FileKind::ov2;
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

InputRead read_input(poi::CompactTable& table, const std::string& path, poi::Slot slot,
                     std::atomic<std::int64_t>& read) {
  const std::int32_t before = table.size();
  const poi::ReadResult result =
      kind_of(path) == poi::FileKind::ov2
          ? poi::read_ov2_file(path, table, poi::CompactTable::kMaxEntries)
          : poi::read_text_poi_file(path, table, poi::CompactTable::kMaxEntries, slot);
  read.fetch_add(table.size() - before, std::memory_order_relaxed);
  InputRead input;
  if (result.failure) {
    input.failure = path + ": " + reason_of(*result.failure);
    return input;
  }
  input.entries = result.count;
  input.poi_entries = result.count - result.comment_count;
  return input;
}

std::int32_t count_pois(const poi::CompactTable& table, std::int32_t first, std::int32_t last) {
  std::int32_t pois = 0;
  for (std::int32_t k = first; k <= last; ++k)
    if (!table.is_comment(k)) ++pois;
  return pois;
}

OutputWriter::OutputWriter(const std::string& path, poi::FileKind kind,
                           std::chrono::year_month_day date)
    : file_(path, poi::OpenMode::truncate), kind_(kind) {
  buffer_.reserve(kWriteBuffer + 1024);
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
  if (buffer_.size() < kWriteBuffer) return;
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
