#include "engine/match_search.hpp"

#include "engine/distance.hpp"

namespace pinwright::engine {

std::optional<Match> first_match(const poi::PoiTable& table, std::int32_t first, std::int32_t last,
                                 const poi::PoiRecord& probe, PointOrder order, float radius) {
  if (order == PointOrder::probe_first) {
    const Origin origin(probe.latitude, probe.longitude);
    for (std::int32_t j = first; j <= last; ++j) {
      const poi::PoiRecord& entry = table[j];
      if (poi::is_comment(entry)) continue;
      const float separation = origin.distance_to(entry.latitude, entry.longitude);
      if (separation < radius) return Match{j, separation};
    }
  } else {
    for (std::int32_t j = first; j <= last; ++j) {
      const poi::PoiRecord& entry = table[j];
      if (poi::is_comment(entry)) continue;
      const float separation =
          distance(entry.latitude, entry.longitude, probe.latitude, probe.longitude);
      if (separation < radius) return Match{j, separation};
    }
  }
  return std::nullopt;
}

}  // namespace pinwright::engine
