#pragma once

#include <sys/resource.h>

#include <csignal>

namespace pinwright::testing {

// A full disk for as long as the object lives: no file this process writes
// may grow past `bytes`, and a write past it fails (the signal it would raise
// is ignored) as it would on a disk with no room left. Unlike a link to
// /dev/full, this holds for files made under new names too.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_handler_)(int) = SIG_DFL;
};

}  // namespace pinwright::testing
