#include "batch/tables.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numeric>

#include "poi/file_handle.hpp"
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
    case Kind::unsupported_record: {
      // The box's first line names the type.
      const std::string first_line = failure.text.substr(0, failure.text.find('\r'));
      return "byte offset " + std::to_string(failure.where) + ": " + first_line;
    }
    case Kind::damaged:
    case Kind::storage_limit:
      break;
  }
  std::string text = failure.text;
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

std::int32_t capacity(std::int64_t records) {
  return static_cast<std::int32_t>(std::max<std::int64_t>(records, 1));
}

}  // namespace

poi::FileKind kind_of(std::string_view path) {
  return poi::split_extension(path).extension == "ov2" ? poi::FileKind::ov2 : poi::FileKind::text;
}

std::optional<std::int64_t> record_bound(const std::string& path) {
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
  return ov2 ? bytes / kSmallestOv2Record : lines;
}

std::unique_ptr<app::Program> make_program(const TableSizes& sizes) {
  const std::int64_t added =
      std::accumulate(sizes.updates.begin(), sizes.updates.end(), std::int64_t{0});
  const std::int64_t largest_update =
      sizes.updates.empty() ? 0 : *std::max_element(sizes.updates.begin(), sizes.updates.end());
  const std::int64_t master = sizes.master + added;
  if (master > std::numeric_limits<std::int32_t>::max() ||
      sizes.exclusion_lines > std::numeric_limits<std::int32_t>::max())
    return nullptr;
  app::TableCapacities capacities;
  capacities.master = capacity(master);
  capacities.update = capacity(largest_update);
  capacities.merged = capacity(sizes.updates.empty() ? sizes.master : 0);
  capacities.exclusion = capacity(sizes.exclusion_lines);
  return std::make_unique<app::Program>(capacities);
}

InputRead read_input(app::Program& program, poi::Slot slot, const std::string& path) {
  poi::FileSlot& file = slot == poi::Slot::master ? program.master : program.update;
  poi::PoiTable& table = slot == poi::Slot::master ? program.master_table : program.update_table;
  file.path = path;
  file.kind = kind_of(path);
  file.loaded = false;
  const poi::ReadResult result =
      file.is_ov2() ? poi::read_ov2_file(path, table) : poi::read_text_poi_file(path, table, slot);
  InputRead read;
  if (result.failure) {
    read.failure = path + ": " + reason_of(*result.failure);
    file.count = 0;
    return read;
  }
  file.count = result.count;
  file.loaded = true;
  read.entries = result.count;
  read.poi_entries = result.count - result.comment_count;
  return read;
}

std::int32_t count_pois(const app::Program& program, std::int32_t first, std::int32_t last) {
  std::int32_t pois = 0;
  for (std::int32_t k = first; k <= last; ++k)
    if (!poi::is_comment(program.master_table[k])) ++pois;
  return pois;
}

WrittenLines write_master_table(const app::Program& program, const std::string& path,
                                poi::FileKind kind, std::chrono::year_month_day date) {
  const std::int32_t count = program.master.count;
  WrittenLines written;
  written.poi_entries = count_pois(program, 1, count);
  if (kind == poi::FileKind::ov2) {
    written.complete = poi::write_ov2_file(path, program.master_table, 1, count);
    return written;
  }
  poi::OutputFile file(path, poi::OpenMode::truncate);
  poi::write_text_header(file, date);
  const poi::LineCounts lines = poi::write_text_records(file, program.master_table, 1, count);
  file.write_line(poi::trailer_line(lines.poi_lines, lines.comment_lines));
  written.complete = file.close();
  return written;
}

}  // namespace pinwright::batch
