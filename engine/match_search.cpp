#include "engine/match_search.hpp"

#include "engine/distance.hpp"

namespace pinwright::engine {

std::optional<Match> first_match(const poi::CompactTable& table, std::int32_t first,
                                 std::int32_t last, float latitude, float longitude,
                                 PointOrder order, float radius) {
  const Origin probe(latitude, longitude);
  for (std::int32_t j = first; j <= last; ++j) {
    if (table.is_comment(j)) continue;
    const float separation =
        order == PointOrder::probe_first
            ? probe.distance_to(table.latitude(j), table.longitude(j))
            : distance(table.latitude(j), table.longitude(j), latitude, longitude);
    if (separation < radius) return Match{j, separation};
  }
  return std::nullopt;
}

}  // namespace pinwright::engine
