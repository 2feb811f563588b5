#include "exclusion/exclusion_run.hpp"

#include <algorithm>

#include "engine/distance.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

void write_excluded_list_header(poi::OutputFile& list, std::string_view exclusions_path,
                                float radius, std::string_view source_path) {
  list.write_line("; Exclusions read from " +
                  poi::shorten_path(exclusions_path, poi::kMessagePathWidth));
  list.write_line("; Radius of exclusion circle (metres): " + poi::f8_1(radius));
  list.write_line("; List of entries excluded from " +
                  poi::shorten_path(source_path, poi::kMessagePathWidth));
}

}  // namespace pinwright::exclusion
