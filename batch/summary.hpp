#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "batch/arguments.hpp"

namespace pinwright::batch {

// What a run did, in the counts the summary line and --summary-json give.
struct Summary {
  Subcommand subcommand = Subcommand::convert;
  // dedupe: POI entries deleted as duplicates, matched entries kept, entries
  // removed by exclusion circles
  std::int64_t duplicates_deleted = 0;
  std::int64_t kept = 0;
  std::int64_t excluded = 0;
  // update: POI entries appended (Save as new entry included), Update
  // entries that matched, of which settled by "< 1 or" or answered with the
  // --on-match decision
  std::int64_t appended = 0;
  std::int64_t matches = 0;
  std::int64_t settled_automatically = 0;
  std::int64_t reviewed = 0;
  // dedupe and update with a name rule: pairs within the radius that the
  // names kept apart
  std::optional<std::int64_t> names_apart;
  // POI entries in the Output
  std::int64_t entries_written = 0;
  // Features of OGR inputs that were not points (lines, areas, none)
  std::int64_t skipped_geometries = 0;
  // Texts a vector Output's format could not hold whole (a shapefile's 254 bytes)
  std::int64_t texts_cut = 0;
  // Fields of the inputs the Output's format has no place for
  std::int64_t fields_dropped = 0;
};

// One line, without its line end: "3 duplicates deleted, 1 kept, 0
// excluded, 12 entries written" and the like.
std::string summary_line(const Summary& summary);

// The same counts as one JSON object, with a line end.
std::string summary_json(const Summary& summary);

}  // namespace pinwright::batch
