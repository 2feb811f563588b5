#include "poi/paths.hpp"

#include <filesystem>
#include <system_error>

#include "poi/fixed_text.hpp"

namespace pinwright::poi {

std::string directory_part(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string{} : std::string(path.substr(0, slash + 1));
}

SplitExtension split_extension(std::string_view path) {
  const std::string_view trimmed = trim_right(path);
  const std::size_t slash = trimmed.rfind('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = trimmed.rfind('.');
  if (dot == std::string_view::npos || dot < name_start) return {std::string(trimmed), {}};
  return {std::string(trimmed.substr(0, dot)), lower_case(trimmed.substr(dot + 1))};
}

std::string shorten_path(std::string_view path, std::size_t limit) {
  const std::string_view trimmed = trim_right(path);
  if (trimmed.size() <= limit) return std::string(trimmed);
  const std::string_view root = trimmed.starts_with('/') ? "/" : "";
  std::string_view rest = trimmed.substr(root.size());
  constexpr std::string_view kEllipsis = ".../";
  while (true) {
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) break;  // only the file name is left
    rest.remove_prefix(slash + 1);
    if (root.size() + kEllipsis.size() + rest.size() <= limit)
      return std::string(root) + std::string(kEllipsis) + std::string(rest);
  }
  return std::string(rest.substr(rest.size() > limit ? rest.size() - limit : 0));
}

bool same_file(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  const fs::path first = fs::weakly_canonical(a, error);
  if (error) return false;
  const fs::path second = fs::weakly_canonical(b, error);
  return !error && first == second;
}

}  // namespace pinwright::poi
