#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "poi/file_slot.hpp"
#include "poi/output_file.hpp"
#include "poi/record.hpp"

namespace pinwright::exclusion {

inline constexpr std::string_view kExcludedListName = "excluded.asc";
inline constexpr std::string_view kSummaryTitle = "POI exclusions";

// The three comment lines that open an excluded list: where the circles came
// from, their radius (F8.1) and the file whose entries are listed.
void write_excluded_list_header(poi::OutputFile& list, std::string_view exclusions_path,
                                float radius, std::string_view source_path);

// One line of the excluded list: longitude and latitude in F10.5 and the name
// in double quotes; the information text follows only for a text Output file
// (an OV2 Output carries none).
std::string excluded_line(const poi::PoiRecord& entry, poi::FileKind output_kind);

// Whether `entry` lies within the exclusion radius of a circle centre (the
// entry is point 1 of the distance, the centre point 2; the first circle
// found ends the search). An entry inside is counted in `removed_count` and
// written to the excluded list.
//
// The list is normally left open by the exclusions-file reader. When it is
// not open (a second duplicate run on the same Master file, or a reader that
// stopped on a format error), "excluded.asc" beside the exclusions file is
// opened for appending under a fresh header naming the Master file, so no
// earlier list is cut short and no removed entry goes unlisted. A file in use
// under that name is left alone: the entry is then removed and counted but
// not listed, as when the exclusions-file reader declined to create the list.
bool exclusion_test(app::Program& program, const poi::PoiRecord& entry);

// What a duplicate run did with the circles.
struct Summary {
  std::string exclusions_path;
  std::int32_t circle_count = 0;
  float radius = 0.0f;
  std::int32_t removed_count = 0;
  std::string list_path;
};

// The "POI exclusions" box text: five lines separated by carriage returns.
std::string exclusion_summary_text(const Summary& summary);

struct ExclusionsEnd {
  std::optional<Summary> summary;  // only when circles were read
  bool list_incomplete = false;    // the excluded list was not written completely
};

// End of a duplicate run: the summary, then `removed_count` back to 0 and the
// list closed.
ExclusionsEnd finish_exclusions(app::Program& program);

}  // namespace pinwright::exclusion
