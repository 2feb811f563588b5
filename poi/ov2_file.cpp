#include "poi/ov2_file.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

#include "poi/file_handle.hpp"
#include "poi/output_file.hpp"
#include "poi/text_file.hpp"

namespace pinwright::poi {

namespace {

// Sequential, buffered byte reader over a file whose size is known, so that a
// length field is checked against what is really there before it is used.
class ByteReader {
 public:
  explicit ByteReader(const std::string& path)
      : file_(std::fopen(path.c_str(), "rb")), buffer_(1 << 16) {
    if (!file_) return;
    if (std::fseek(file_.get(), 0, SEEK_END) == 0) {
      const long size = std::ftell(file_.get());
      if (size >= 0) size_ = static_cast<std::uint64_t>(size);
    }
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0) file_.reset();
  }

  bool is_open() const { return file_ != nullptr; }
  bool failed() const { return failed_; }
  std::uint64_t offset() const { return offset_; }
  std::uint64_t remaining() const { return size_ - offset_; }

  bool read(void* target, std::size_t count) {
    if (count > remaining()) return false;
    auto* out = static_cast<char*>(target);
    while (count > 0) {
      if (begin_ == end_ && !fill()) return false;
      const std::size_t part = std::min(count, end_ - begin_);
      std::copy_n(buffer_.data() + begin_, part, out);
      begin_ += part;
      offset_ += part;
      out += part;
      count -= part;
    }
    return true;
  }

  bool skip(std::uint64_t count) {
    if (count > remaining()) return false;
    if (count <= end_ - begin_) {
      begin_ += static_cast<std::size_t>(count);
      offset_ += count;
      return true;
    }
    offset_ += count;
    begin_ = end_ = 0;
    if (std::fseek(file_.get(), static_cast<long>(offset_), SEEK_SET) != 0) failed_ = true;
    return !failed_;
  }

  bool read_int32(std::int32_t& value) {
    std::array<unsigned char, 4> bytes{};
    if (!read(bytes.data(), bytes.size())) return false;
    const std::uint32_t bits = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                               std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    value = static_cast<std::int32_t>(bits);
    return true;
  }

 private:
  bool fill() {
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (end_ == 0) failed_ = true;  // the size said there was more
    return end_ > 0;
  }

  FileHandle file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t size_ = 0;
  std::uint64_t offset_ = 0;
  bool failed_ = false;
};

void put_int32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

void append_ov2_record(std::string& out, float longitude, float latitude, std::string_view name) {
  out += '\x02';
  put_int32(out, static_cast<std::int32_t>(name.size() + 14));
  put_int32(out, to_ov2_units(longitude));
  put_int32(out, to_ov2_units(latitude));
  out += name;
  out += '\0';
}

}  // namespace

float from_ov2_units(std::int32_t units) {
  return static_cast<float>(units * 1e-05);
}

double ov2_degrees(std::int32_t units) {
  // The quotient is the nearest double to what the file says; where its
  // float would differ from the product's, the product is kept.
  const double degrees = units / 100000.0;
  return static_cast<float>(degrees) == from_ov2_units(units) ? degrees : units * 1e-05;
}

std::int32_t to_ov2_units(float degrees) {
  const double scaled = std::round(static_cast<double>(degrees) * 100000.0);
  if (std::isnan(scaled)) return 0;
  if (scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(scaled);
}

namespace {

// The reading loop over records, each POI handed to `store` as its position
// in 1e-5 degree units and its name.
template <typename Store>
ReadResult read_ov2_units(const std::string& path, const Store& store, std::int64_t capacity) {
  ReadResult result;
  ByteReader reader(path);
  if (!reader.is_open()) {
    result.failure = ReadFailure{.kind = ReadFailure::Kind::open_failed};
    return result;
  }
  std::vector<char> text;
  while (reader.remaining() > 0) {
    const std::uint64_t record_offset = reader.offset();
    signed char type = 0;
    if (!reader.read(&type, 1)) break;
    bool complete = true;
    if (type == 0) {
      std::int32_t length = 0;
      complete = reader.read_int32(length) && reader.skip(length > 5 ? length - 5 : 0);
    } else if (type == 1) {
      complete = reader.skip(20);
    } else if (type == 2 || type == 3) {
      std::int32_t length = 0;
      std::int32_t longitude = 0;
      std::int32_t latitude = 0;
      complete =
          reader.read_int32(length) && reader.read_int32(longitude) && reader.read_int32(latitude);
      const std::uint64_t text_length = length > 13 ? static_cast<std::uint64_t>(length) - 13 : 0;
      complete = complete && text_length <= reader.remaining();
      if (complete) {
        // Only what can reach the name is read; the rest is skipped.
        const std::size_t kept =
            static_cast<std::size_t>(std::min<std::uint64_t>(text_length, kTextLength + 4));
        text.resize(kept);
        complete = reader.read(text.data(), kept) && reader.skip(text_length - kept);
        if (complete) {
          const std::string_view bytes(text.data(), kept);
          if (store(longitude, latitude, Text(bytes.substr(0, bytes.find('\0'))))) {
            ++result.count;
          } else {
            result.failure = ReadFailure{.kind = ReadFailure::Kind::storage_limit,
                                         .where = static_cast<std::int64_t>(record_offset),
                                         .limit = capacity};
            return result;
          }
        }
      }
    } else {
      result.failure = ReadFailure{.kind = ReadFailure::Kind::unsupported_record,
                                   .where = static_cast<std::int64_t>(record_offset),
                                   .record_type = type};
      return result;
    }
    if (!complete) {
      result.failure = ReadFailure{
          .kind = reader.failed() ? ReadFailure::Kind::open_failed : ReadFailure::Kind::damaged,
          .where = static_cast<std::int64_t>(record_offset)};
      return result;
    }
  }
  return result;
}

}  // namespace

ReadResult read_ov2_file(const std::string& path, CompactTable& table, std::int64_t limit) {
  const std::int64_t room = std::min<std::int64_t>(limit, CompactTable::kMaxEntries);
  return read_ov2_units(
      path,
      [&](std::int32_t longitude, std::int32_t latitude, const Text& name) {
        return table.size() < room &&
               table.append(ov2_degrees(longitude), ov2_degrees(latitude), name.view(), {});
      },
      limit);
}

std::string ov2_record(const PoiRecord& record) {
  const std::string_view name = record.name.trimmed();
  std::string out;
  out.reserve(14 + name.size());
  append_ov2_record(out, record.longitude, record.latitude, name);
  return out;
}

void append_ov2_record(std::string& out, const CompactTable& table, std::int32_t index) {
  append_ov2_record(out, table.longitude(index), table.latitude(index), table.name_field(index));
}

void write_ov2_records(OutputFile& file, const CompactTable& table,
                       std::span<const std::int32_t> entries) {
  std::string buffer;
  for (const std::int32_t k : entries) {
    if (table.is_comment(k)) continue;
    append_ov2_record(buffer, table, k);
    if (buffer.size() >= kWriteBlock) {
      file.write(buffer);
      buffer.clear();
    }
  }
  file.write(buffer);
}

bool write_ov2_file(const std::string& path, const CompactTable& table,
                    std::span<const std::int32_t> entries) {
  OutputFile file(path, OpenMode::truncate);
  write_ov2_records(file, table, entries);
  return file.close();
}

}  // namespace pinwright::poi
