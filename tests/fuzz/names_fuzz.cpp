// Any two names through the normal form and the comparison: the bytes of a
// file's name field may be anything.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "names/name.hpp"
#include "poi/fixed_text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinwright;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string_view first = input.substr(0, newline);
  const std::string_view second =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  const names::NormalisedName a = names::normalise(first), b = names::normalise(second);
  // A normal form is UTF-8, its words apart by one blank, none at either end.
  for (const names::NormalisedName* name : {&a, &b}) {
    const std::string& text = name->text();
    if (!poi::is_valid_utf8(text)) std::abort();
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) std::abort();
    if (text.find("  ") != std::string::npos) std::abort();
    if (name->words().empty() != text.empty()) std::abort();
  }
  const double score = names::similarity(a, b);
  if (!(score >= 0.0 && score <= 1.0)) std::abort();
  if (score != names::similarity(b, a)) std::abort();
  if (names::same(a, b) && score != 1.0) std::abort();
  if (names::similarity(a, a) != 1.0) std::abort();
  return 0;
}
