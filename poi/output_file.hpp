#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "poi/file_handle.hpp"

namespace pinwright::poi {

enum class OpenMode { truncate, append };

// A file being written. Every failure (open, write, flush, close) is kept and
// reported by close(), so a short or failed write is never taken for success.
// Destroying an open file closes it without reporting: call close() to know.
class OutputFile {
 public:
  OutputFile() = default;

  // Opens `path` for writing as bytes; is_open() tells whether it worked.
  OutputFile(const std::string& path, OpenMode mode);

  bool is_open() const { return file_ != nullptr; }
  bool failed() const { return failed_; }
  const std::string& path() const { return path_; }

  void write(std::string_view bytes);
  // `line` followed by a line feed.
  void write_line(std::string_view line);

  // Hands what was written so far to the system; false once anything
  // failed. The file stays open.
  bool flush();

  // Bytes written so far, buffered ones included; nothing when not open.
  std::optional<std::int64_t> length() const;

  // Drops everything written past `length` bytes and goes on writing there,
  // so that lines taken back leave no trace in the file. False (and the file
  // failed) when it is not open or the system refuses.
  bool cut_back(std::int64_t length);

  // Whether `path()` still names the open file: false once the file was
  // removed, renamed or replaced by another one while it was open (writing
  // on would then fill a file nobody finds at its path).
  bool is_at_path() const;

  // Flushes and closes; true only when everything written reached the file.
  // Closing a file that is not open returns false and does nothing else.
  bool close();

 private:
  FileHandle file_;
  std::string path_;
  bool failed_ = false;
};

}  // namespace pinwright::poi
