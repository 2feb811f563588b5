#pragma once

#include <cstdint>
#include <optional>

#include "poi/compact_table.hpp"

namespace pinwright::engine {

// Which of the two is point 1 of the distance (whose latitude sets the radii
// and the cosine). The duplicate run measures from the entry it places to the
// later entries; the update run measures from each Master entry to the
// Update entry it places.
enum class PointOrder { probe_first, table_first };

struct Match {
  std::int32_t index;  // into the table searched
  float separation;    // metres
};

// The smallest j in first..last whose entry lies strictly closer than
// `radius` to the point at `latitude`, `longitude`, comment records skipped;
// nothing when there is none. This ascending scan is the reference answer:
// any faster search must find the same j with a bit-identical separation.
std::optional<Match> first_match(const poi::CompactTable& table, std::int32_t first,
                                 std::int32_t last, float latitude, float longitude,
                                 PointOrder order, float radius);

}  // namespace pinwright::engine
