#include "poi/file_system.hpp"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace pinwright::poi {

bool file_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

bool is_file(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

bool is_writable(const std::string& path) {
  return ::access(path.c_str(), W_OK) == 0;
}

bool copy_file(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  return !error;
}

bool delete_file(const std::string& path) {
  std::error_code error;
  return std::filesystem::remove(path, error) && !error;
}

}  // namespace pinwright::poi
