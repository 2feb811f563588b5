#include "poi/staged_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "poi/file_system.hpp"
#include "poi/paths.hpp"

namespace pinwright::poi {

namespace {

// Tried names per file before giving up: only leftovers of earlier runs with
// the same process number can be in the way.
inline constexpr int kNameAttempts = 100;

// The temporary files and folders a signal handler must remove. A handler
// reaches only static storage and may only call async-signal-safe functions
// (unlinkat, openat, getdents64, close), so the names are kept as C strings
// in fixed slots; a run writes at most a handful of files at once.
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

bool is_dot_or_dot_dot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// How deep removal goes into folders a writer made inside a temporary folder.
inline constexpr int kFolderDepth = 4;

// Removes `name` (below `parent`) and, when it is a folder, what it holds,
// without allocating: callable from a signal handler. Entries removed while
// a folder is read may hide others from that read, so it is read again
// until nothing is left.
void remove_tree_at(int parent, const char* name, int depth) {
  if (::unlinkat(parent, name, 0) == 0 || errno != EISDIR || depth == 0) return;
  const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return;
  alignas(struct dirent64) char buffer[4096];
  for (int pass = 0; pass < 8; ++pass) {
    bool removed = false;
    ::lseek(folder, 0, SEEK_SET);
    ssize_t got = 0;
    while ((got = ::getdents64(folder, buffer, sizeof buffer)) > 0) {
      for (ssize_t offset = 0; offset < got;) {
        const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + offset);
        offset += entry->d_reclen;
        if (is_dot_or_dot_dot(entry->d_name)) continue;
        remove_tree_at(folder, entry->d_name, depth - 1);
        removed = true;
      }
    }
    if (!removed) break;
  }
  ::close(folder);
  ::unlinkat(parent, name, AT_REMOVEDIR);
}

extern "C" void remove_and_end(int signal_number) {
  const int saved = errno;
  for (auto& slot : uncommitted)
    if (const char* path = slot.exchange(nullptr)) remove_tree_at(AT_FDCWD, path, kFolderDepth);
  errno = saved;
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

// The temporary name beside `path`, without its attempt number: hidden,
// and telling whose it is.
std::string temporary_stem(const std::string& path) {
  const std::string folder = directory_part(path);
  return folder + "." + path.substr(folder.size()) + ".tmp-" + std::to_string(::getpid()) + "-";
}

}  // namespace

void remove_temporaries_on_signal() {
  struct sigaction action {};
  action.sa_handler = remove_and_end;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
    ::sigaction(signal_number, &action, nullptr);
}

StagedFile::StagedFile(std::string final_path) : final_path_(std::move(final_path)) {}

StagedFile::~StagedFile() {
  if (committed_ || temporary_path_.empty()) return;
  release(temporary_path_.c_str());
  delete_file(temporary_path_);
}

bool StagedFile::reserve() {
  const std::string stem = temporary_stem(final_path_);
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

StagedFolder::StagedFolder(std::string beside) : beside_(std::move(beside)) {}

StagedFolder::~StagedFolder() {
  if (path_.empty()) return;
  const std::string folder = path_.substr(0, path_.size() - 1);
  release(held_.c_str());
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

bool StagedFolder::reserve() {
  const std::string stem = temporary_stem(beside_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = stem + std::to_string(attempt);
    // Mode 0777 lets the umask decide, as for any folder the user creates.
    if (::mkdir(candidate.c_str(), 0777) == 0) {
      held_ = candidate;
      path_ = candidate + "/";
      hold(held_.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

std::vector<std::string> StagedFolder::file_names() const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path_, error))
    if (!entry.is_directory(error)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool StagedFolder::move_out(const std::string& name, const std::string& final_path) {
  return std::rename((path_ + name).c_str(), final_path.c_str()) == 0;
}

void StagedFolder::empty() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path_, error)) {
    std::error_code ignored;
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

}  // namespace pinwright::poi
