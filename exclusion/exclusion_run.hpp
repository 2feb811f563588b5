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
// found ends the search). The line of an entry inside is kept in
// `excluded_lines` for the excluded list.
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

// End of a duplicate run with circles: the excluded list at `list_path` (empty:
// "excluded.asc" beside the exclusions file) is written afresh with its three
// header lines and the lines of this run's removed entries, unless it would
// replace a file in use; then the summary, and the removed entries forgotten.
ExclusionsEnd finish_exclusions(app::Program& program, const std::string& list_path);

}  // namespace pinwright::exclusion
