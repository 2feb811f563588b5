// Any bytes as an OV2 file: no crash, no allocation driven by length fields, and
// every record read can be written and read back unchanged.
#include <cstdint>
#include <cstdlib>

#include "poi/ov2_file.hpp"
#include "tests/fuzz/fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinwright::poi;
  constexpr std::int64_t kLimit = 64;
  CompactTable table;
  const pinwright::fuzz::InputFile input(data, size);
  const ReadResult result = read_ov2_file(input.path(), table, kLimit);
  if (result.count < 0 || result.count > kLimit || result.count != table.size()) std::abort();
  for (std::int32_t i = 1; i <= result.count; ++i) {
    const std::string record = ov2_record(table.record(i));
    if (record.size() != table.name_field(i).size() + 14) std::abort();
    if (to_ov2_units(from_ov2_units(to_ov2_units(table.longitude(i)))) !=
        to_ov2_units(table.longitude(i))) {
      // Only beyond 128 degrees may neighbouring units share a float.
      if (table.longitude(i) > -128.0f && table.longitude(i) < 128.0f) std::abort();
    }
  }
  return 0;
}
