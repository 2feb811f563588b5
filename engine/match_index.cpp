#include "engine/match_index.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace pinwright::engine {

namespace {

constexpr double kCellDegrees = MatchIndex::kCellDegrees;
// Positions beyond this (read from odd files) live outside the grid.
constexpr double kGridLimitDegrees = 1.0e6;
// Above this many cells a query scans the range instead.
constexpr std::int64_t kMaxCellsPerQuery = 256;
// The bounds below hold for the exact offsets; the routine stores the
// north-south offset and the result in single precision, each within a
// relative 2^-24 of the exact value. This margin covers both with room.
constexpr double kMargin = 1.0 + 1.0e-5;

// Smallest km per degree north-south: M = A / W with W <= 1, so M >= A.
const double kNorthKmPerDegree =
    static_cast<double>(static_cast<float>(static_cast<double>(kEquatorialRadiusKm) *
                                           (1.0 - static_cast<double>(kEllipsoidConstant)))) *
    kDegreeFactor;
// Smallest km per degree east-west before the cosine: N = R / sqrt(W) >= R.
const double kEastKmPerDegree = static_cast<double>(kEquatorialRadiusKm) * kDegreeFactor;

bool on_grid(const poi::PoiRecord& record) {
  return std::abs(record.latitude) < kGridLimitDegrees &&
         std::abs(record.longitude) < kGridLimitDegrees;
}

std::int64_t cell_of(double degrees) {
  return static_cast<std::int64_t>(std::floor(degrees / kCellDegrees));
}

std::uint64_t key_of(std::int64_t lat_cell, std::int64_t lon_cell) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(lat_cell)) << 32) |
         static_cast<std::uint32_t>(lon_cell);
}

// The smallest |cos| over latitudes in [low, high]: zero where the interval
// holds a zero of the cosine (90 + 180k degrees), else at one of its ends,
// as |cos| rises and falls once between two zeros.
double min_abs_cosine(double low, double high) {
  if (!(high - low < 180.0)) return 0.0;
  const double next_zero = std::ceil((low - 90.0) / 180.0) * 180.0 + 90.0;
  if (next_zero <= high) return 0.0;
  const double ends = std::min(std::abs(cos_degrees(low)), std::abs(cos_degrees(high)));
  return std::max(0.0, ends - 1.0e-9);
}

void insert_sorted(std::vector<std::int32_t>& list, std::int32_t index) {
  list.insert(std::upper_bound(list.begin(), list.end(), index), index);
}

void erase_sorted(std::vector<std::int32_t>& list, std::int32_t index) {
  const auto it = std::lower_bound(list.begin(), list.end(), index);
  if (it != list.end() && *it == index) list.erase(it);
}

}  // namespace

std::vector<std::int32_t>* MatchIndex::members(std::int32_t index) {
  const Origin& origin = origins_[static_cast<std::size_t>(index - 1)];
  poi::PoiRecord record;
  record.latitude = origin.latitude();
  record.longitude = origin.longitude();
  if (poi::is_comment(record)) return nullptr;
  if (!on_grid(record)) return &outliers_;
  return &cells_[key_of(cell_of(record.latitude), cell_of(record.longitude))];
}

void MatchIndex::add(std::int32_t index, const poi::PoiRecord& record) {
  origins_[static_cast<std::size_t>(index - 1)] = Origin(record.latitude, record.longitude);
  if (auto* list = members(index)) insert_sorted(*list, index);
}

void MatchIndex::remove(std::int32_t index) {
  if (auto* list = members(index)) erase_sorted(*list, index);
}

void MatchIndex::follow(const poi::PoiTable& table, std::int32_t index) {
  const Origin& known = origins_[static_cast<std::size_t>(index - 1)];
  const poi::PoiRecord& record = table[index];
  // Bitwise, so that -0.0 and 0.0 are told apart exactly as a copy would be.
  if (std::bit_cast<std::uint32_t>(known.latitude()) ==
          std::bit_cast<std::uint32_t>(record.latitude) &&
      std::bit_cast<std::uint32_t>(known.longitude()) ==
          std::bit_cast<std::uint32_t>(record.longitude))
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

std::optional<MatchIndex::CellRange> MatchIndex::cells_within(double latitude, double longitude,
                                                              double lat_reach,
                                                              double lon_reach) const {
  if (!std::isfinite(lat_reach) || !std::isfinite(lon_reach)) return std::nullopt;
  if (std::abs(latitude) + lat_reach >= kGridLimitDegrees ||
      std::abs(longitude) + lon_reach >= kGridLimitDegrees)
    return std::nullopt;
  const CellRange range{cell_of(latitude - lat_reach), cell_of(latitude + lat_reach),
                        cell_of(longitude - lon_reach), cell_of(longitude + lon_reach)};
  const std::int64_t cells =
      (range.lat_high - range.lat_low + 1) * (range.lon_high - range.lon_low + 1);
  if (cells > kMaxCellsPerQuery) return std::nullopt;
  return range;
}

std::optional<Match> MatchIndex::first_match(const poi::PoiTable& table, std::int32_t first,
                                             std::int32_t last, const poi::PoiRecord& probe,
                                             PointOrder order, float radius) {
  // Entries appended by the run since the last sync.
  if (last > count()) resize(table, last);
  // Nothing lies strictly closer than a radius of zero or less.
  if (!(radius > 0.0f) || first > last) return std::nullopt;

  const double metres = static_cast<double>(radius) * kMargin / 1000.0;
  const double lat_reach = metres / kNorthKmPerDegree + kCellDegrees * 1e-6;
  const double probe_lat = probe.latitude;
  const double probe_lon = probe.longitude;
  // The east-west offset scales with the cosine at point 1: the probe's own
  // in the duplicate run, that of the table entry in the update run.
  const Origin probe_origin(probe.latitude, probe.longitude);
  const double cosine = order == PointOrder::probe_first
                            ? std::abs(probe_origin.cosine())
                            : min_abs_cosine(probe_lat - lat_reach, probe_lat + lat_reach);
  const double lon_reach = cosine > 0.0 ? metres / (kEastKmPerDegree * cosine) + kCellDegrees * 1e-6
                                        : std::numeric_limits<double>::infinity();

  const auto range =
      on_grid(probe) ? cells_within(probe_lat, probe_lon, lat_reach, lon_reach) : std::nullopt;
  if (!range) return engine::first_match(table, first, last, probe, order, radius);

  std::optional<Match> best;
  const auto measure = [&](std::int32_t j) {
    const poi::PoiRecord& entry = table[j];
    return order == PointOrder::probe_first
               ? probe_origin.distance_to(entry.latitude, entry.longitude)
               : origins_[static_cast<std::size_t>(j - 1)].distance_to(probe.latitude,
                                                                       probe.longitude);
  };
  const auto search = [&](const std::vector<std::int32_t>& list) {
    for (auto it = std::lower_bound(list.begin(), list.end(), first); it != list.end(); ++it) {
      const std::int32_t j = *it;
      if (j > last || (best && j >= best->index)) return;
      const float separation = measure(j);
      if (separation < radius) {
        best = Match{j, separation};
        return;
      }
    }
  };
  search(outliers_);
  for (std::int64_t lat = range->lat_low; lat <= range->lat_high; ++lat) {
    for (std::int64_t lon = range->lon_low; lon <= range->lon_high; ++lon) {
      const auto cell = cells_.find(key_of(lat, lon));
      if (cell != cells_.end()) search(cell->second);
    }
  }
  return best;
}

}  // namespace pinwright::engine
