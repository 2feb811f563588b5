#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "poi/file_slot.hpp"
#include "poi/output_file.hpp"

namespace pinwright::exclusion {

inline constexpr std::string_view kExcludedListName = "excluded.asc";

// The three comment lines that open an excluded list: where the circles came
// from, their radius (F8.1) and the file whose entries are listed.
void write_excluded_list_header(poi::OutputFile& list, std::string_view exclusions_path,
                                float radius, std::string_view source_path);

// What a duplicate run did with the circles.
struct Summary {
  std::string exclusions_path;
  std::int32_t circle_count = 0;
  float radius = 0.0f;
  std::int32_t removed_count = 0;
  std::string list_path;
};

// How the excluded list fared at the end of a duplicate run.
enum class ListWrite {
  none,        // no circles: no list
  written,     // header and lines written
  in_use,      // it would replace a file in use: not written
  incomplete,  // not written completely
};

struct ExclusionsEnd {
  std::optional<Summary> summary;  // only when circles were read
  ListWrite list = ListWrite::none;
  std::string list_path;  // the excluded list tried
};

}  // namespace pinwright::exclusion
