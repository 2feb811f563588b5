#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "app/program.hpp"
#include "poi/record.hpp"

namespace pinwright::engine {

// Where the run stood when it stopped for a review, and what has been changed
// in place since: enough to return there without copies of the tables.
// Entries the run appended since lie past the counts of the cursor; lines of
// removed entries and report lines past the lengths kept here.
struct ReviewStop {
  app::RunCursor cursor;
  std::size_t excluded_lines = 0;
  std::optional<std::int64_t> report_length;  // bytes; nothing without an open report
  // Working-table entries changed in place after the stop, each with its
  // record from before, in the order of the changes.
  std::vector<std::pair<std::int32_t, poi::PoiRecord>> changed;
};

// The review stops of the run in progress, the first one first; the last is
// the pair that waits.
struct RunJournal {
  std::vector<ReviewStop> stops;
};

}  // namespace pinwright::engine
