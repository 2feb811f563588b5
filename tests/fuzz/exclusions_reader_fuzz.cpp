// Any bytes as the exclusions file beside a Master file: no crash, at most
// 5,000 circles, finite numbers, a failure that says where, and no excluded
// list written by the reading.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exclusion/circles.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/file_system.hpp"
#include "poi/line_reader.hpp"
#include "tests/fuzz/fuzz_input.hpp"

using namespace pinwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder folder;
  constexpr std::int64_t kLimit = 5000;

  folder.write("pois_x.asc", std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string path = exclusion::find_exclusions_file(folder.path() + "pois.asc");
  if (path.empty()) std::abort();

  using Status = exclusion::ExclusionsRead::Status;
  const exclusion::ExclusionsRead read = exclusion::read_exclusion_circles(path, kLimit);
  const auto count = static_cast<std::int64_t>(read.circles.centres.size());

  if (count > kLimit) std::abort();
  if (read.status == Status::storage_limit && count != kLimit) std::abort();
  if (read.status == Status::format_error &&
      (read.line < 1 || read.line_text.size() > poi::kLineWindow))
    std::abort();
  if (poi::file_exists(folder.path() + "excluded.asc")) std::abort();
  if (read.status == Status::no_file || read.status == Status::unreadable) std::abort();
  if (!std::isfinite(read.circles.radius)) std::abort();
  for (const exclusion::Circles::Centre& centre : read.circles.centres)
    if (!std::isfinite(centre.longitude) || !std::isfinite(centre.latitude)) std::abort();
  // The circles as the run uses them, on an entry at the origin.
  const bool inside = exclusion::inside_a_circle(read.circles, 0.0f, 0.0f);
  if (inside && count == 0) std::abort();
  return 0;
}
