#include "poi/symbol.hpp"

#include "poi/file_system.hpp"
#include "poi/fixed_text.hpp"
#include "poi/paths.hpp"

namespace pinwright::poi {

std::string symbol_candidate(std::string_view path) {
  const std::string_view trimmed = trim_right(path);
  const std::size_t slash = trimmed.rfind('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = trimmed.find('.', name_start);
  if (dot == std::string_view::npos) return std::string(trimmed) + ".bmp";
  return std::string(trimmed.substr(0, dot + 1)) + "bmp";
}

std::string default_symbol(std::string_view candidate, std::string_view program_dir) {
  const std::string beside = directory_part(candidate) + std::string(kDefaultSymbolName);
  if (is_file(beside)) return beside;
  const std::string shipped = std::string(program_dir) + std::string(kShippedSymbolName);
  if (is_file(shipped)) return shipped;
  return {};
}

}  // namespace pinwright::poi
