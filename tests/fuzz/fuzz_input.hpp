#pragma once

#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace pinwright::fuzz {

// The readers take paths, as the program gives them: each input becomes a file.
class InputFile {
 public:
  InputFile(const std::uint8_t* data, std::size_t size) {
    char name[] = "/tmp/pinwright-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return;
    path_ = name;
    std::size_t written = 0;
    while (written < size) {
      const ssize_t n = ::write(fd, data + written, size - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    ::close(fd);
  }
  ~InputFile() {
    if (!path_.empty()) std::remove(path_.c_str());
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A folder of its own for targets that write files beside what they read
// (the excluded list, Output files); removed with its contents at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    char name[] = "/tmp/pinwright-fuzz-dir-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    path_ = std::string(name) + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, ending with '/'.
  const std::string& path() const { return path_; }

  // Writes `bytes` to `name` in the folder, replacing what was there.
  std::string write(std::string_view name, std::string_view bytes) const {
    const std::string target = path_ + std::string(name);
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) std::abort();
    // fwrite must not be handed the null pointer of an empty view.
    const bool complete =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !complete) std::abort();
    return target;
  }

 private:
  std::string path_;
};

}  // namespace pinwright::fuzz
