// Any bytes as the exclusions file beside a Master file: no crash, at most
// 5,000 circles, finite numbers, a failure that says where, and no excluded
// list written by the reading.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/program.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/file_system.hpp"
#include "poi/line_reader.hpp"
#include "tests/fuzz/fuzz_input.hpp"

using namespace pinwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder folder;
  static app::Program program;  // the tables are large: one for all inputs

  program.exclusions.excluded_lines.clear();
  program.master.path = folder.path() + "pois.asc";
  folder.write("pois_x.asc", std::string_view(reinterpret_cast<const char*>(data), size));

  using Status = exclusion::ExclusionsRead::Status;
  const exclusion::ExclusionsRead read = exclusion::read_exclusions(program);

  if (program.exclusions.count < 0 || program.exclusions.count > 5000) std::abort();
  if (read.status == Status::storage_limit && program.exclusions.count != 5000) std::abort();
  if (read.status == Status::format_error &&
      (read.line < 1 || read.line_text.size() > poi::kLineWindow))
    std::abort();
  if (poi::file_exists(folder.path() + "excluded.asc")) std::abort();
  if (read.status == Status::no_file || read.status == Status::unreadable) std::abort();
  if (!std::isfinite(program.exclusions.radius)) std::abort();
  for (std::int32_t k = 1; k <= program.exclusions.count; ++k) {
    const poi::PoiRecord& centre = program.exclusions.circles[k];
    if (!std::isfinite(centre.longitude) || !std::isfinite(centre.latitude)) std::abort();
  }
  // The circles as the run uses them, on an entry at the origin.
  const bool excluded = exclusion::exclusion_test(program, poi::PoiRecord{});
  if (program.exclusions.excluded_lines.size() != (excluded ? 1u : 0u)) std::abort();
  return 0;
}
