#include "engine/compact_index.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <thread>

#include "engine/grid_bounds.hpp"

namespace pinwright::engine {

namespace {

// Positions beyond this (read from odd files) live outside the grid; it keeps
// every cell number within 32 bits at the smallest cell.
constexpr double kGridLimitDegrees = 1.0e4;
// About 11 m of latitude: smaller cells would only add lookups.
constexpr double kSmallestCellDegrees = 1.0e-4;
// A cell of at most 100 km of latitude and 90 degrees of longitude.
constexpr double kLargestCellDegrees = 1.0;
constexpr std::int64_t kMaxRowsPerQuery = 64;
// Entries a thread takes at a time in first_later_matches.
constexpr std::int64_t kChunk = 1024;

bool on_grid(float latitude, float longitude) {
  return std::abs(latitude) < kGridLimitDegrees && std::abs(longitude) < kGridLimitDegrees;
}

bool same_position(const Origin& origin, float latitude, float longitude) {
  return std::bit_cast<std::uint32_t>(origin.latitude()) ==
             std::bit_cast<std::uint32_t>(latitude) &&
         std::bit_cast<std::uint32_t>(origin.longitude()) ==
             std::bit_cast<std::uint32_t>(longitude);
}

double reach_metres(float radius) {
  return static_cast<double>(radius) * kReachMargin / 1000.0;
}

}  // namespace

CompactIndex::CompactIndex(float radius, PointOrder order) : radius_(radius), order_(order) {
  // A cell about as tall as the radius reaches: a query reads two or three rows.
  const double reach = radius > 0.0f ? reach_metres(radius) / north_km_per_degree() : 0.0;
  cell_degrees_ = std::clamp(std::isfinite(reach) ? reach : kLargestCellDegrees,
                             kSmallestCellDegrees, kLargestCellDegrees);
}

std::int64_t CompactIndex::cell_of(double degrees) const {
  return static_cast<std::int64_t>(std::floor(degrees / cell_degrees_));
}

void CompactIndex::place(std::int32_t index, float latitude, float longitude, bool keep_sorted) {
  if (longitude == poi::kCommentCoordinate) return;
  if (!on_grid(latitude, longitude)) {
    outliers_.insert(std::upper_bound(outliers_.begin(), outliers_.end(), index), index);
    return;
  }
  auto& row = rows_[cell_of(latitude)];
  const RowEntry entry{static_cast<std::int32_t>(cell_of(longitude)), index};
  if (keep_sorted)
    row.insert(std::upper_bound(row.begin(), row.end(), entry), entry);
  else
    row.push_back(entry);
}

void CompactIndex::unplace(std::int32_t index, float latitude, float longitude) {
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

void CompactIndex::build(const poi::CompactTable& table) {
  const bool origins = order_ == PointOrder::table_first;
  if (origins) origins_.reserve(static_cast<std::size_t>(table.size()));
  for (std::int32_t j = count_ + 1; j <= table.size(); ++j) {
    const float latitude = table.latitude(j);
    const float longitude = table.longitude(j);
    if (origins) origins_.emplace_back(latitude, longitude);
    place(j, latitude, longitude, false);
  }
  count_ = table.size();
  for (auto& [lat, row] : rows_) std::sort(row.begin(), row.end());
}

void CompactIndex::append(const poi::CompactTable& table) {
  const bool origins = order_ == PointOrder::table_first;
  for (std::int32_t j = count_ + 1; j <= table.size(); ++j) {
    const float latitude = table.latitude(j);
    const float longitude = table.longitude(j);
    if (origins) origins_.emplace_back(latitude, longitude);
    place(j, latitude, longitude, true);
  }
  count_ = std::max(count_, table.size());
}

void CompactIndex::refresh(const poi::CompactTable& table, std::int32_t index) {
  Origin& origin = origins_[static_cast<std::size_t>(index - 1)];
  const float latitude = table.latitude(index);
  const float longitude = table.longitude(index);
  if (same_position(origin, latitude, longitude)) return;
  unplace(index, origin.latitude(), origin.longitude());
  origin = Origin(latitude, longitude);
  place(index, latitude, longitude, true);
}

std::optional<CompactIndex::CellRange> CompactIndex::cells_within(double latitude, double longitude,
                                                                  double lat_reach,
                                                                  double lon_reach) const {
  if (!std::isfinite(lat_reach) || std::abs(latitude) + lat_reach >= kGridLimitDegrees)
    return std::nullopt;
  CellRange range{cell_of(latitude - lat_reach), cell_of(latitude + lat_reach),
                  std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max() - 1};
  if (range.lat_high - range.lat_low + 1 > kMaxRowsPerQuery) return std::nullopt;
  // Without a bound east-west the whole of each row is read.
  if (std::isfinite(lon_reach) && std::abs(longitude) + lon_reach < kGridLimitDegrees) {
    range.lon_low = cell_of(longitude - lon_reach);
    range.lon_high = cell_of(longitude + lon_reach);
  }
  return range;
}

std::optional<Match> CompactIndex::first_match(const poi::CompactTable& table, std::int32_t first,
                                               std::int32_t last, float latitude,
                                               float longitude) const {
  // Nothing lies strictly closer than a radius of zero or less.
  if (!(radius_ > 0.0f) || first > last) return std::nullopt;
  const double metres = reach_metres(radius_);
  const double lat_reach = metres / north_km_per_degree() + cell_degrees_ * 1e-6;
  // The east-west offset scales with point 1's cosine: the probe's own, or
  // the smallest over the latitudes within reach.
  std::optional<Origin> probe;
  double cosine = 0.0;
  if (order_ == PointOrder::probe_first) {
    probe.emplace(latitude, longitude);
    cosine = std::abs(probe->cosine());
  } else {
    cosine = min_abs_cosine(latitude - lat_reach, latitude + lat_reach);
  }
  const double lon_reach = cosine > 0.0
                               ? metres / (east_km_per_degree() * cosine) + cell_degrees_ * 1e-6
                               : std::numeric_limits<double>::infinity();
  const auto separation = [&](std::int32_t j) {
    return probe ? probe->distance_to(table.latitude(j), table.longitude(j))
                 : origins_[static_cast<std::size_t>(j - 1)].distance_to(latitude, longitude);
  };

  const auto range = on_grid(latitude, longitude)
                         ? cells_within(latitude, longitude, lat_reach, lon_reach)
                         : std::nullopt;
  if (!range) {
    for (std::int32_t j = first; j <= last; ++j) {
      if (table.is_comment(j)) continue;
      const float metres_apart = separation(j);
      if (metres_apart < radius_) return Match{j, metres_apart};
    }
    return std::nullopt;
  }

  // Entries beyond `best` cannot be the answer; each cell (and the outliers)
  // lists its entries by ascending index, so its first hit is its answer.
  Match best{last + 1, 0.0f};
  for (auto it = std::lower_bound(outliers_.begin(), outliers_.end(), first);
       it != outliers_.end() && *it < best.index; ++it) {
    const float metres_apart = separation(*it);
    if (metres_apart < radius_) {
      best = Match{*it, metres_apart};
      break;
    }
  }
  const auto lon_low = static_cast<std::int32_t>(range->lon_low);
  const auto lon_high = static_cast<std::int32_t>(range->lon_high);
  for (std::int64_t lat = range->lat_low; lat <= range->lat_high; ++lat) {
    const auto found = rows_.find(lat);
    if (found == rows_.end()) continue;
    const std::vector<RowEntry>& row = found->second;
    // Cell by cell from the west, each from its first entry at or past `first`.
    std::int32_t cell = lon_low;
    auto it = row.begin();
    for (;;) {
      it = std::lower_bound(it, row.end(), RowEntry{cell, first});
      if (it == row.end() || it->lon_cell > lon_high) break;
      if (it->lon_cell != cell) {
        cell = it->lon_cell;
        continue;
      }
      for (; it != row.end() && it->lon_cell == cell && it->index < best.index; ++it) {
        const float metres_apart = separation(it->index);
        if (metres_apart < radius_) {
          best = Match{it->index, metres_apart};
          break;
        }
      }
      if (cell == lon_high) break;
      ++cell;
    }
  }
  if (best.index > last) return std::nullopt;
  return best;
}

std::size_t CompactIndex::memory_bytes() const {
  constexpr std::size_t kNodeBytes = sizeof(std::int64_t) + sizeof(std::vector<RowEntry>) + 16;
  std::size_t bytes = origins_.capacity() * sizeof(Origin) + rows_.bucket_count() * sizeof(void*) +
                      outliers_.capacity() * sizeof(std::int32_t);
  for (const auto& [key, row] : rows_)
    bytes += kNodeBytes + std::max<std::size_t>(32, row.capacity() * sizeof(RowEntry));
  return bytes;
}

std::vector<Match> first_later_matches(const poi::CompactTable& table, float radius,
                                       unsigned threads, std::atomic<std::int64_t>* answered) {
  CompactIndex index(radius, PointOrder::probe_first);
  index.build(table);
  const std::int64_t count = table.size();
  std::vector<Match> matches(static_cast<std::size_t>(count) + 1, Match{0, 0.0f});
  std::atomic<std::int64_t> next{1};
  const auto work = [&] {
    for (;;) {
      const std::int64_t begin = next.fetch_add(kChunk);
      if (begin > count) return;
      const std::int64_t end = std::min(count, begin + kChunk - 1);
      for (auto i = static_cast<std::int32_t>(begin); i <= end; ++i) {
        if (table.is_comment(i)) continue;
        const auto match = index.first_match(table, i + 1, static_cast<std::int32_t>(count),
                                             table.latitude(i), table.longitude(i));
        if (match) matches[static_cast<std::size_t>(i)] = *match;
      }
      if (answered) answered->fetch_add(end - begin + 1, std::memory_order_relaxed);
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return matches;
}

}  // namespace pinwright::engine
