#include "engine/match_index.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "engine/grid_bounds.hpp"

namespace pinwright::engine {

namespace {

constexpr double kCellDegrees = MatchIndex::kCellDegrees;
// Positions beyond this (read from odd files) live outside the grid.
constexpr double kGridLimitDegrees = 1.0e6;
// Above this many latitude rows a query scans the range instead.
constexpr std::int64_t kMaxRowsPerQuery = 64;

bool on_grid(float latitude, float longitude) {
  return std::abs(latitude) < kGridLimitDegrees && std::abs(longitude) < kGridLimitDegrees;
}

std::int64_t cell_of(double degrees) {
  return static_cast<std::int64_t>(std::floor(degrees / kCellDegrees));
}

bool same_position(const Origin& origin, float latitude, float longitude) {
  // Bitwise, so that -0.0 and 0.0 are told apart exactly as a copy would be.
  return std::bit_cast<std::uint32_t>(origin.latitude()) ==
             std::bit_cast<std::uint32_t>(latitude) &&
         std::bit_cast<std::uint32_t>(origin.longitude()) ==
             std::bit_cast<std::uint32_t>(longitude);
}

}  // namespace

void MatchIndex::add(std::int32_t index, const poi::PoiRecord& record) {
  origins_[static_cast<std::size_t>(index - 1)] = Origin(record.latitude, record.longitude);
  if (poi::is_comment(record)) return;
  if (!on_grid(record.latitude, record.longitude)) {
    outliers_.insert(std::upper_bound(outliers_.begin(), outliers_.end(), index), index);
    return;
  }
  auto& row = rows_[cell_of(record.latitude)];
  const RowEntry entry{static_cast<std::int32_t>(cell_of(record.longitude)), index};
  row.insert(std::upper_bound(row.begin(), row.end(), entry), entry);
}

void MatchIndex::remove(std::int32_t index) {
  const Origin& origin = origins_[static_cast<std::size_t>(index - 1)];
  const float latitude = origin.latitude();
  const float longitude = origin.longitude();
  if (longitude == poi::kCommentCoordinate) return;
  if (!on_grid(latitude, longitude)) {
    const auto it = std::lower_bound(outliers_.begin(), outliers_.end(), index);
    if (it != outliers_.end() && *it == index) outliers_.erase(it);
    return;
  }
  const auto found = rows_.find(cell_of(latitude));
  if (found == rows_.end()) return;
  auto& row = found->second;
  const RowEntry entry{static_cast<std::int32_t>(cell_of(longitude)), index};
  const auto it = std::lower_bound(row.begin(), row.end(), entry);
  if (it != row.end() && it->index == index) row.erase(it);
}

void MatchIndex::follow(const poi::PoiTable& table, std::int32_t index) {
  const poi::PoiRecord& record = table[index];
  if (same_position(origins_[static_cast<std::size_t>(index - 1)], record.latitude,
                    record.longitude))
    return;
  remove(index);
  add(index, record);
}

void MatchIndex::resize(const poi::PoiTable& table, std::int32_t count) {
  const std::int32_t known = this->count();
  for (std::int32_t j = known; j > count; --j) remove(j);
  origins_.resize(static_cast<std::size_t>(std::max(count, 0)), Origin(0.0f, 0.0f));
  for (std::int32_t j = known + 1; j <= count; ++j) add(j, table[j]);
}

void MatchIndex::sync(const poi::PoiTable& table, std::int32_t count) {
  const std::int32_t kept = std::min(count, this->count());
  for (std::int32_t j = 1; j <= kept; ++j) follow(table, j);
  resize(table, count);
}

void MatchIndex::refresh(const poi::PoiTable& table, std::int32_t index, std::int32_t count) {
  if (index >= 1 && index <= std::min(count, this->count())) follow(table, index);
  resize(table, count);
}

std::size_t MatchIndex::memory_bytes() const {
  return origins_.capacity() * sizeof(Origin) + outliers_.capacity() * sizeof(std::int32_t) +
         row_map_bytes(rows_);
}

std::optional<MatchIndex::CellRange> MatchIndex::cells_within(double latitude, double longitude,
                                                              double lat_reach,
                                                              double lon_reach) const {
  if (!std::isfinite(lat_reach) || std::abs(latitude) + lat_reach >= kGridLimitDegrees)
    return std::nullopt;
  CellRange range{cell_of(latitude - lat_reach), cell_of(latitude + lat_reach),
                  std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max()};
  if (range.lat_high - range.lat_low + 1 > kMaxRowsPerQuery) return std::nullopt;
  // Without a bound east-west the whole of each row is searched.
  if (std::isfinite(lon_reach) && std::abs(longitude) + lon_reach < kGridLimitDegrees) {
    range.lon_low = cell_of(longitude - lon_reach);
    range.lon_high = cell_of(longitude + lon_reach);
  }
  return range;
}

std::optional<Match> MatchIndex::first_match(const poi::PoiTable& table, std::int32_t first,
                                             std::int32_t last, const poi::PoiRecord& probe,
                                             PointOrder order, float radius) {
  // Entries appended by the run since the last sync.
  if (last > count()) resize(table, last);
  // Nothing lies strictly closer than a radius of zero or less.
  if (!(radius > 0.0f) || first > last) return std::nullopt;

  const double metres = static_cast<double>(radius) * kReachMargin / 1000.0;
  const double lat_reach = metres / north_km_per_degree() + kCellDegrees * 1e-6;
  const double probe_lat = probe.latitude;
  const double probe_lon = probe.longitude;
  // Point 1 is the probe in the duplicate run, whose probe is the entry just
  // before the range: its terms are known already. In the update run point 1
  // is each table entry, and the cosine is bounded over the latitudes within
  // reach instead.
  std::optional<Origin> probe_origin;
  double cosine = 0.0;
  if (order == PointOrder::probe_first) {
    const bool known = first >= 2 && first - 1 <= count() &&
                       same_position(origins_[static_cast<std::size_t>(first - 2)], probe.latitude,
                                     probe.longitude);
    probe_origin = known ? origins_[static_cast<std::size_t>(first - 2)]
                         : Origin(probe.latitude, probe.longitude);
    cosine = std::abs(probe_origin->cosine());
  } else {
    cosine = min_abs_cosine(probe_lat - lat_reach, probe_lat + lat_reach);
  }
  // The east-west offset scales with that cosine.
  const double lon_reach = cosine > 0.0
                               ? metres / (east_km_per_degree() * cosine) + kCellDegrees * 1e-6
                               : std::numeric_limits<double>::infinity();

  const auto range = on_grid(probe.latitude, probe.longitude)
                         ? cells_within(probe_lat, probe_lon, lat_reach, lon_reach)
                         : std::nullopt;
  if (!range) return engine::first_match(table, first, last, probe, order, radius);

  std::optional<Match> best;
  const auto consider = [&](std::int32_t j) {
    if (j < first || j > last || (best && j >= best->index)) return;
    const poi::PoiRecord& entry = table[j];
    const float separation = order == PointOrder::probe_first
                                 ? probe_origin->distance_to(entry.latitude, entry.longitude)
                                 : origins_[static_cast<std::size_t>(j - 1)].distance_to(
                                       probe.latitude, probe.longitude);
    if (separation < radius) best = Match{j, separation};
  };
  for (const std::int32_t j : outliers_) consider(j);
  const RowEntry from{static_cast<std::int32_t>(range->lon_low),
                      std::numeric_limits<std::int32_t>::min()};
  for (std::int64_t lat = range->lat_low; lat <= range->lat_high; ++lat) {
    const auto row = rows_.find(lat);
    if (row == rows_.end()) continue;
    for (auto it = std::lower_bound(row->second.begin(), row->second.end(), from);
         it != row->second.end() && it->lon_cell <= range->lon_high; ++it)
      consider(it->index);
  }
  return best;
}

void MatchIndex::for_each_in_box(const LatLonBox& box,
                                 const std::function<void(std::int32_t)>& visit) const {
  const double span = box.lon_high - box.lon_low;
  if (!(box.lat_low <= box.lat_high) || !(span >= 0.0)) return;

  const auto take = [&](std::int32_t j) {
    const Origin& origin = origins_[static_cast<std::size_t>(j - 1)];
    if (box.contains(origin.latitude(), origin.longitude())) visit(j);
  };
  for (const std::int32_t j : outliers_) take(j);

  // Every box holding all longitudes, or bounds off the grid, reads whole rows.
  const bool whole_rows = !(span < 360.0) || !(std::abs(box.lon_low) < kGridLimitDegrees &&
                                               std::abs(box.lon_high) < kGridLimitDegrees);
  const auto search_row = [&](const std::vector<RowEntry>& row) {
    if (row.empty()) return;
    if (whole_rows) {
      for (const RowEntry& entry : row) take(entry.index);
      return;
    }
    // An entry may hold any longitude (190 as well as -170): each turn of 360
    // degrees that reaches the row's cells is searched, a cell of slack on
    // either side for the rounding of the shifted bounds. The turns ascend,
    // so each goes on where the one before stopped and no entry comes twice.
    const double west = static_cast<double>(row.front().lon_cell - 1) * kCellDegrees;
    const double east = static_cast<double>(row.back().lon_cell + 2) * kCellDegrees;
    const auto first_turn = static_cast<std::int64_t>(std::ceil((west - box.lon_high) / 360.0));
    const auto last_turn = static_cast<std::int64_t>(std::floor((east - box.lon_low) / 360.0));
    auto it = row.begin();
    for (std::int64_t turn = first_turn; turn <= last_turn && it != row.end(); ++turn) {
      const double shift = 360.0 * static_cast<double>(turn);
      const RowEntry from{static_cast<std::int32_t>(cell_of(box.lon_low + shift) - 1),
                          std::numeric_limits<std::int32_t>::min()};
      const std::int64_t to = cell_of(box.lon_high + shift) + 1;
      for (it = std::lower_bound(it, row.end(), from); it != row.end() && it->lon_cell <= to; ++it)
        take(it->index);
    }
  };

  const std::int64_t low = cell_of(std::max(box.lat_low, -kGridLimitDegrees));
  const std::int64_t high = cell_of(std::min(box.lat_high, kGridLimitDegrees));
  if (high - low + 1 > static_cast<std::int64_t>(rows_.size())) {
    for (const auto& [lat, row] : rows_)
      if (lat >= low && lat <= high) search_row(row);
  } else {
    for (std::int64_t lat = low; lat <= high; ++lat) {
      const auto row = rows_.find(lat);
      if (row != rows_.end()) search_row(row->second);
    }
  }
}

}  // namespace pinwright::engine
