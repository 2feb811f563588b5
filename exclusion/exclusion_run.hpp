#pragma once

#include <string>
#include <string_view>

#include "app/program.hpp"
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
std::string excluded_line(const poi::PoiRecord& entry, bool output_is_ov2);

// Whether `current_entry` lies within `exclusion_radius` of a circle centre
// (the entry is point 1 of the distance, the centre point 2; the first circle
// found ends the search). An entry inside is counted in `excluded_count` and
// written to the excluded list.
//
// The list is normally left open by the exclusions-file reader. When it is
// not open (a second duplicate run on the same Master file, or a reader that
// stopped on a format error), "excluded.asc" beside the exclusions file is
// opened for appending under a fresh header naming `master_path`, so no
// earlier list is cut short and no removed entry goes unlisted. A file the
// user loaded or chose under that name is left alone: the entry is then
// removed and counted but not listed, as when the exclusions-file reader
// declined to create the list.
bool exclusion_test(app::Program& program);

// The "POI exclusions" box text: five lines separated by carriage returns.
std::string exclusion_summary_text(const app::Program& program);

// End of a duplicate run: the summary box when circles exist, then
// `excluded_count` back to 0 and the list closed. A list that could not be
// written completely is reported in a box of its own.
void exclusion_summary(app::Program& program);

}  // namespace pinwright::exclusion
