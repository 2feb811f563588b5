#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pinwright::poi {

// The most a file slot's path field, or a line quoted in a message, shows.
inline constexpr std::size_t kFieldWidth = 60;

// Bytes are kept as they came: names may be UTF-8 or an 8-bit code page.
// How many bytes of `text` to keep when it must be cut to `limit`: where the
// text up to the cut is UTF-8, a sequence that would straddle the cut is left
// out whole; other text (an 8-bit code page, binary) is cut at `limit` exactly.
std::size_t utf8_safe_cut(std::string_view text, std::size_t limit);

bool is_valid_utf8(std::string_view text);

// `text` without trailing blanks.
std::string_view trim_right(std::string_view text);

// `text` without leading and trailing blanks.
std::string_view trim(std::string_view text);

// Leading blanks moved to the end (the length stays).
std::string justify_left(std::string_view text);

// A to Z turned into a to z; other bytes unchanged.
std::string lower_case(std::string_view text);

// A fixed-length, blank-padded text of N bytes, as held in a POI record.
template <std::size_t N>
class FixedText {
 public:
  static constexpr std::size_t kSize = N;

  FixedText() { bytes_.fill(' '); }
  explicit FixedText(std::string_view text) { assign(text); }

  // Copies `text`, cut to N bytes (never inside a UTF-8 sequence) and blank-padded.
  void assign(std::string_view text) {
    const std::size_t used = utf8_safe_cut(text, N);
    std::copy_n(text.data(), used, bytes_.data());
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(used), bytes_.end(), ' ');
  }

  std::string_view view() const { return {bytes_.data(), N}; }
  std::string_view trimmed() const { return trim_right(view()); }
  bool is_blank() const { return trimmed().empty(); }

  friend bool operator==(const FixedText&, const FixedText&) = default;

 private:
  std::array<char, N> bytes_;
};

}  // namespace pinwright::poi
