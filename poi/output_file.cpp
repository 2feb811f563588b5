#include "poi/output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "poi/staged_file.hpp"

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

FileMark FileMark::of(const std::string& path) {
  FileMark mark;
  mark.descriptor_ = ::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
  return mark;
}

FileMark::FileMark(FileMark&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

FileMark& FileMark::operator=(FileMark&& other) noexcept {
  if (this != &other) {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = std::exchange(other.descriptor_, -1);
  }
  return *this;
}

FileMark::~FileMark() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

bool FileMark::free_or_unchanged(const std::string& path) const {
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0) return true;
  struct stat marked {};
  return descriptor_ >= 0 && ::fstat(descriptor_, &marked) == 0 && marked.st_dev == named.st_dev &&
         marked.st_ino == named.st_ino;
}

OutputWrite write_in_place(const std::string& path, const FileMark& mark,
                           const std::function<bool(const std::string& temporary)>& write) {
  StagedFile staged(path);
  if (!staged.reserve() || !write(staged.temporary_path())) return OutputWrite::incomplete;
  // Looked at last, just before the rename: a file put there during a long
  // review is not the program's to replace.
  if (!mark.free_or_unchanged(path)) return OutputWrite::replaced;
  return staged.commit() ? OutputWrite::written : OutputWrite::incomplete;
}

}  // namespace pinwright::poi
