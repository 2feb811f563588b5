#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "poi/file_handle.hpp"

namespace pinwright::poi {

inline constexpr std::size_t kLineWindow = 256;
// Bytes read past the window so that a UTF-8 sequence cut by it can be recognised.
inline constexpr std::size_t kLineWindowSlack = 4;

// Reads a text file line by line as the POI and exclusions readers see it:
// each line's length as stored and its first 256 bytes. A line ends at LF,
// CR LF or a lone CR; the line end is not part of the line. Memory use does
// not grow with the length of a line.
class LineReader {
 public:
  explicit LineReader(const std::string& path);

  bool is_open() const { return file_ != nullptr; }

  // Next line into `window` (at most 256 bytes, never ending inside a UTF-8
  // sequence when the line is UTF-8) and `length`; false at the end of the
  // file or on a read error (see failed()).
  bool next(std::string& window, std::size_t& length);

  bool failed() const { return failed_; }
  // 1-based number of the line last returned.
  std::size_t line_number() const { return line_number_; }

 private:
  bool fill();

  FileHandle file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool skip_line_feed_ = false;  // the last line ended with CR: a following LF belongs to it
  std::size_t line_number_ = 0;
};

}  // namespace pinwright::poi
