#include "poi/staged_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <utility>

#include "poi/file_system.hpp"
#include "poi/paths.hpp"

namespace pinwright::poi {

namespace {

// Tried names per file before giving up: only leftovers of earlier runs with
// the same process number can be in the way.
inline constexpr int kNameAttempts = 100;

// The temporary files a signal handler must remove. A handler reaches only
// static storage and may only call async-signal-safe functions (unlink), so
// the names are kept as C strings in fixed slots; a run writes at most four
// files at once.
inline constexpr int kSlots = 16;
std::atomic<const char*> uncommitted[kSlots];

void hold(const char* path) {
  for (auto& slot : uncommitted) {
    const char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, path)) return;
  }
}

void release(const char* path) {
  for (auto& slot : uncommitted) {
    const char* held = path;
    if (slot.compare_exchange_strong(held, nullptr)) return;
  }
}

extern "C" void remove_and_end(int signal_number) {
  for (auto& slot : uncommitted)
    if (const char* path = slot.exchange(nullptr)) ::unlink(path);
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

void remove_temporaries_on_signal() {
  struct sigaction action {};
  action.sa_handler = remove_and_end;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

StagedFile::StagedFile(std::string final_path) : final_path_(std::move(final_path)) {}

StagedFile::~StagedFile() {
  if (committed_ || temporary_path_.empty()) return;
  release(temporary_path_.c_str());
  delete_file(temporary_path_);
}

bool StagedFile::reserve() {
  const std::string folder = directory_part(final_path_);
  const std::string name = final_path_.substr(folder.size());
  const std::string stem = folder + "." + name + ".tmp-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    // Mode 0666 lets the umask decide, as for any file the user creates.
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      temporary_path_ = candidate;
      hold(temporary_path_.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool StagedFile::commit() {
  if (temporary_path_.empty() || committed_) return committed_;
  committed_ = std::rename(temporary_path_.c_str(), final_path_.c_str()) == 0;
  if (committed_) release(temporary_path_.c_str());
  return committed_;
}

}  // namespace pinwright::poi
