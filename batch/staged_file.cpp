#include "batch/staged_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "poi/file_system.hpp"
#include "poi/paths.hpp"

namespace pinwright::batch {

namespace {

// Tried names per file before giving up: only leftovers of earlier runs with
// the same process number can be in the way.
inline constexpr int kNameAttempts = 100;

}  // namespace

StagedFile::StagedFile(std::string final_path) : final_path_(std::move(final_path)) {}

StagedFile::~StagedFile() {
  if (!committed_ && !temporary_path_.empty()) poi::delete_file(temporary_path_);
}

bool StagedFile::reserve() {
  const std::string folder = poi::directory_part(final_path_);
  const std::string name = final_path_.substr(folder.size());
  const std::string stem = folder + "." + name + ".tmp-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    // Mode 0666 lets the umask decide, as for any file the user creates.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      temporary_path_ = candidate;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool StagedFile::commit() {
  if (temporary_path_.empty() || committed_) return committed_;
  committed_ = std::rename(temporary_path_.c_str(), final_path_.c_str()) == 0;
  return committed_;
}

}  // namespace pinwright::batch
