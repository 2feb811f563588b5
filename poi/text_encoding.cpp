#include "poi/text_encoding.hpp"

#include <array>

#include "poi/fixed_text.hpp"

namespace pinwright::poi {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones keep their own value.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

// One character of UTF-8 text: its code point and its bytes; `valid` is
// false for a byte that starts no valid sequence (then `size` is 1).
struct Utf8Character {
  char32_t code;
  std::size_t size;
  bool valid;
};

Utf8Character next_character(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t size = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
  }
  // The validity rules (no overlong forms, no surrogates, nothing above
  // U+10FFFF) live in one place: is_valid_utf8.
  if (size == 0 || pos + size > text.size() || !is_valid_utf8(text.substr(pos, size)))
    return {kReplacement, 1, false};
  char32_t code = lead & (0x7F >> size);
  for (std::size_t i = 1; i < size; ++i) code = (code << 6) | (byte(pos + i) & 0x3F);
  return {code, size, true};
}

std::optional<unsigned char> windows_1252_byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == code) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool is_ascii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

TextEncoding detect_encoding(std::string_view bytes) {
  return is_valid_utf8(bytes) ? TextEncoding::utf8 : TextEncoding::windows_1252;
}

std::string decode_to_utf8(std::string_view bytes, TextEncoding encoding) {
  std::string out;
  out.reserve(bytes.size() * 2);
  if (encoding == TextEncoding::windows_1252) {
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      append_utf8(out, byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
    }
    return out;
  }
  for (std::size_t pos = 0; pos < bytes.size();) {
    const Utf8Character character = next_character(bytes, pos);
    append_utf8(out, character.code);
    pos += character.size;
  }
  return out;
}

std::optional<std::string> first_unencodable(std::string_view utf8, TextEncoding encoding) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Character character = next_character(utf8, pos);
    if (!character.valid ||
        (encoding == TextEncoding::windows_1252 && !windows_1252_byte(character.code))) {
      return std::string(utf8.substr(pos, character.size));
    }
    pos += character.size;
  }
  return std::nullopt;
}

std::optional<std::string> encode_from_utf8(std::string_view utf8, TextEncoding encoding) {
  if (first_unencodable(utf8, encoding)) return std::nullopt;
  if (encoding == TextEncoding::utf8) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Character character = next_character(utf8, pos);
    out += static_cast<char>(*windows_1252_byte(character.code));
    pos += character.size;
  }
  return out;
}

TextEncoding entry_encoding(std::string_view own_bytes, std::string_view partner_bytes) {
  if (!is_ascii(own_bytes)) return detect_encoding(own_bytes);
  return detect_encoding(partner_bytes);
}

}  // namespace pinwright::poi
