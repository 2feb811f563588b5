#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pinwright::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder, as a string.
  std::string file(std::string_view name) const;
  // Writes `bytes` to `name` inside the folder and returns its path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::string& path);

}  // namespace pinwright::testing
