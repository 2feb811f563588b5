#pragma once

#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

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

}  // namespace pinwright::fuzz
