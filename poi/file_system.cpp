#include "poi/file_system.hpp"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "poi/paths.hpp"

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

std::string program_dir_from(std::string_view own_file, std::string_view argv0) {
  const std::string dir = directory_part(own_file.empty() ? argv0 : own_file);
  return dir.empty() ? "./" : dir;
}

std::string program_dir_from(std::string_view argv0) {
  // The running file itself, links resolved: started through a link in
  // /usr/bin, the program's own folder is still where its files lie.
  std::error_code error;
  const std::string own = std::filesystem::read_symlink("/proc/self/exe", error).string();
  return program_dir_from(error ? std::string_view{} : std::string_view{own}, argv0);
}

}  // namespace pinwright::poi
