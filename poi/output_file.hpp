#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "poi/file_handle.hpp"

namespace pinwright::poi {

enum class OpenMode { truncate, append };

// What the file writers gather before handing it to the file: few, large writes.
inline constexpr std::size_t kWriteBlock = std::size_t{1} << 20;

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

// What a path names at one moment: no file, or one particular file (a
// symbolic link is the link itself, which a rename replaces). A later look
// tells whether another file has taken its place since. The file is held open
// (as a path only, nothing is read) so that the system cannot give its inode
// to a new file while the mark lives.
class FileMark {
 public:
  FileMark() = default;  // no file
  static FileMark of(const std::string& path);
  FileMark(FileMark&& other) noexcept;
  FileMark& operator=(FileMark&& other) noexcept;
  FileMark(const FileMark&) = delete;
  FileMark& operator=(const FileMark&) = delete;
  ~FileMark();

  // Whether `path` names no file now, or still the marked one.
  bool free_or_unchanged(const std::string& path) const;

 private:
  int descriptor_ = -1;
};

// How writing a file in place came out.
enum class OutputWrite {
  written,     // complete, and at its path
  incomplete,  // not written completely: whatever was at the path stays
  replaced,    // another file took the path meanwhile: that file stays
};

// Writes the file at `path` so that it is never found half written: `write`
// fills a temporary file in the same folder (it gets its path and says
// whether everything reached it), which is renamed onto `path` only once
// complete and only while `path` names no file or still `mark`, the file the
// user agreed to replace. No temporary file is left behind either way.
OutputWrite write_in_place(const std::string& path, const FileMark& mark,
                           const std::function<bool(const std::string& temporary)>& write);

}  // namespace pinwright::poi
