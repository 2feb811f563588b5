// Any bytes as a text POI file: no crash, no read beyond the table, counts that add up.
#include <cstdint>
#include <cstdlib>

#include "poi/text_file.hpp"
#include "tests/fuzz/fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinwright::poi;
  constexpr std::int64_t kLimit = 64;  // small, so that the storage limit is reached too
  CompactTable table;
  const pinwright::fuzz::InputFile input(data, size);
  const ReadResult result = read_text_poi_file(input.path(), table, kLimit);
  if (result.count < 0 || result.count > kLimit || result.count != table.size()) std::abort();
  if (result.comment_count < 0 || result.comment_count > result.count) std::abort();
  for (std::int32_t i = 1; i <= result.count; ++i) {
    // What is stored can always be written again.
    std::string line;
    append_record_line(line, table, i);
    if (line.size() > 2 * kTextLength + 32) std::abort();
  }
  return 0;
}
