#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pinwright::testing {

// OV2 records built byte by byte, as a test's expected or input files.

inline void put_int32(std::string& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

// A POI record (type 2 or 3, or any other byte) with any length field;
// `text` follows as it is.
inline std::string ov2_poi(char type, std::int32_t length, std::int32_t lon, std::int32_t lat,
                           std::string_view text) {
  std::string out(1, type);
  put_int32(out, length);
  put_int32(out, lon);
  put_int32(out, lat);
  out += text;
  return out;
}

// A well-formed POI record: length = name + 14, the name and a zero byte.
inline std::string ov2_named(std::int32_t lon, std::int32_t lat, std::string_view name,
                             char type = 2) {
  return ov2_poi(type, static_cast<std::int32_t>(name.size()) + 14, lon, lat,
                 std::string(name) + '\0');
}

// A skipper block: type 1 and 20 bytes.
inline std::string ov2_skipper() {
  return std::string(1, '\x01') + std::string(20, 'S');
}

// A deleted record: type 0, the length field, then `rest` as it is.
inline std::string ov2_deleted(std::int32_t length, std::string_view rest) {
  std::string out(1, '\0');
  put_int32(out, length);
  return out + std::string(rest);
}

}  // namespace pinwright::testing
