// Any line through the name split and the line classification.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "poi/fixed_text.hpp"
#include "poi/number.hpp"
#include "poi/text_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinwright::poi;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string justified = justify_left(line);
  if (justified.size() != line.size()) std::abort();
  classify_line(justified, size);
  const NameSplit split = split_name(line);
  // A name never holds a quote, and a UTF-8 line never gives a broken UTF-8 name.
  if (split.name.view().find('"') != std::string_view::npos) std::abort();
  if (is_valid_utf8(line) && !is_valid_utf8(split.name.trimmed())) std::abort();
  if (is_valid_utf8(line) && !is_valid_utf8(split.information.trimmed())) std::abort();
  std::array<float, 2> values{};
  read_free_form(line, values);
  return 0;
}
