// Any bytes as an OV2 file: no crash, no allocation driven by length fields, and
// every record read can be written and read back unchanged.
#include <cstdint>
#include <cstdlib>

#include "poi/ov2_file.hpp"
#include "tests/fuzz/fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pinwright::poi;
  static PoiTable table(64);
  const pinwright::fuzz::InputFile input(data, size);
  const ReadResult result = read_ov2_file(input.path(), table);
  if (result.count < 0 || result.count > table.capacity()) std::abort();
  for (std::int32_t i = 1; i <= result.count; ++i) {
    const std::string record = ov2_record(table[i]);
    if (record.size() != table[i].name.trimmed().size() + 14) std::abort();
    if (to_ov2_units(from_ov2_units(to_ov2_units(table[i].longitude))) !=
        to_ov2_units(table[i].longitude)) {
      // Only beyond 128 degrees may neighbouring units share a float.
      if (table[i].longitude > -128.0f && table[i].longitude < 128.0f) std::abort();
    }
  }
  return 0;
}
