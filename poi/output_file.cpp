#include "poi/output_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

namespace pinwright::poi {

OutputFile::OutputFile(const std::string& path, OpenMode mode)
    : file_(std::fopen(path.c_str(), mode == OpenMode::append ? "ab" : "wb")), path_(path) {
  failed_ = file_ == nullptr;
}

void OutputFile::write(std::string_view bytes) {
  if (!file_ || bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) failed_ = true;
}

void OutputFile::write_line(std::string_view line) {
  write(line);
  write("\n");
}

bool OutputFile::flush() {
  if (!file_) return false;
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0) failed_ = true;
  return !failed_;
}

std::optional<std::int64_t> OutputFile::length() const {
  if (!file_) return std::nullopt;
  const off_t position = ::ftello(file_.get());
  if (position < 0) return std::nullopt;
  return static_cast<std::int64_t>(position);
}

bool OutputFile::cut_back(std::int64_t length) {
  if (!file_ || length < 0) return false;
  // Buffered bytes reach the file first, or they would land past the cut later.
  if (std::fflush(file_.get()) != 0 || ::ftruncate(::fileno(file_.get()), length) != 0 ||
      ::fseeko(file_.get(), static_cast<off_t>(length), SEEK_SET) != 0) {
    failed_ = true;
    return false;
  }
  return true;
}

bool OutputFile::is_at_path() const {
  if (!file_) return false;
  struct stat open_file {};
  struct stat named_file {};
  return ::fstat(::fileno(file_.get()), &open_file) == 0 &&
         ::stat(path_.c_str(), &named_file) == 0 && open_file.st_dev == named_file.st_dev &&
         open_file.st_ino == named_file.st_ino;
}

bool OutputFile::close() {
  if (!file_) return false;
  if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0) failed_ = true;
  if (std::fclose(file_.release()) != 0) failed_ = true;
  return !failed_;
}

}  // namespace pinwright::poi
