#include "poi/fixed_text.hpp"

#include <cstdint>
#include <cstring>

namespace pinwright::poi {

namespace {

// Length of the valid UTF-8 sequence starting at `pos`, or 0 when there is none.
std::size_t utf8_sequence_length(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char min_second = 0x80;
  unsigned char max_second = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) min_second = 0xA0;  // no overlong forms
    if (lead == 0xED) max_second = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) min_second = 0x90;
    if (lead == 0xF4) max_second = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  if (byte(pos + 1) < min_second || byte(pos + 1) > max_second) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8_sequence_length(text, pos);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

std::size_t utf8_safe_cut(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t pos = 0;
  while (pos < limit) {
    const std::size_t length = utf8_sequence_length(text, pos);
    if (length == 0) break;
    if (pos + length > limit) return pos;  // keep the sequence whole: cut before it
    pos += length;
  }
  return limit;  // the cut falls between sequences, or the text is not UTF-8
}

std::string_view trim_right(std::string_view text) {
  // Texts are mostly blank padding: step over it eight bytes at a time.
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  std::size_t end = text.size();
  while (end >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + end - 8, 8);
    if (word != kBlanks) break;
    end -= 8;
  }
  while (end > 0 && text[end - 1] == ' ') --end;
  return text.substr(0, end);
}

std::string_view trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return trim_right(text.substr(start));
}

std::string justify_left(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::string(text.size(), ' ');
  std::string result(text.substr(start));
  result.append(start, ' ');
  return result;
}

std::string lower_case(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

}  // namespace pinwright::poi
