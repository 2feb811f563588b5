#include "engine/compact_index.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
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

// A cell four times as tall as the radius reaches: a query reads one or two
// rows. Smaller cells make more rows, each found at a cost, than the
// candidates they save; larger ones gain nothing more.
double cell_degrees_for(float radius) {
  constexpr double kReachesPerCell = 4.0;
  const double reach =
      radius > 0.0f ? kReachesPerCell * reach_metres(radius) / north_km_per_degree() : 0.0;
  return std::clamp(std::isfinite(reach) ? reach : kLargestCellDegrees, kSmallestCellDegrees,
                    kLargestCellDegrees);
}

std::int64_t cell_of(double degrees, double cell_degrees) {
  return static_cast<std::int64_t>(std::floor(degrees / cell_degrees));
}

struct CellRange {
  std::int64_t lat_low, lat_high;
  std::int32_t lon_low, lon_high;
};

// What a query reads: point 1's terms when the point is point 1, and the
// cells that can hold an entry closer than the radius; no cells when the
// query must scan instead (a point off the grid, a reach too wide).
struct QueryPlan {
  std::optional<Origin> probe;
  std::optional<CellRange> cells;
};

QueryPlan plan_query(float radius, double cell_degrees, PointOrder order, float latitude,
                     float longitude) {
  QueryPlan plan;
  const double metres = reach_metres(radius);
  const double lat_reach = metres / north_km_per_degree() + cell_degrees * 1e-6;
  // The east-west offset scales with point 1's cosine: the probe's own, or
  // the smallest over the latitudes within reach.
  double cosine = 0.0;
  if (order == PointOrder::probe_first) {
    plan.probe.emplace(latitude, longitude);
    cosine = std::abs(plan.probe->cosine());
  } else {
    cosine = min_abs_cosine(latitude - lat_reach, latitude + lat_reach);
  }
  const double lon_reach = cosine > 0.0
                               ? metres / (east_km_per_degree() * cosine) + cell_degrees * 1e-6
                               : std::numeric_limits<double>::infinity();
  if (!on_grid(latitude, longitude) || !std::isfinite(lat_reach) ||
      std::abs(latitude) + lat_reach >= kGridLimitDegrees)
    return plan;
  CellRange range{
      cell_of(latitude - lat_reach, cell_degrees), cell_of(latitude + lat_reach, cell_degrees),
      std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max() - 1};
  if (range.lat_high - range.lat_low + 1 > kMaxRowsPerQuery) return plan;
  // Without a bound east-west the whole of each row is read.
  if (std::isfinite(lon_reach) && std::abs(longitude) + lon_reach < kGridLimitDegrees) {
    range.lon_low = static_cast<std::int32_t>(cell_of(longitude - lon_reach, cell_degrees));
    range.lon_high = static_cast<std::int32_t>(cell_of(longitude + lon_reach, cell_degrees));
  }
  plan.cells = range;
  return plan;
}

// Within the entries [begin, end) of one row, sorted by longitude cell then
// index, the first entry of each cell in lon_low..lon_high whose index lies
// in first..best - 1 and which `matches`, keeping the smallest in `best`.
template <typename Iterator, typename Cell, typename Index, typename Matches>
void search_row(Iterator begin, Iterator end, std::int32_t lon_low, std::int32_t lon_high,
                std::int32_t first, Match& best, const Cell& cell_of_entry,
                const Index& index_of_entry, const Matches& matches) {
  const auto before = [&](const auto& entry, std::pair<std::int32_t, std::int32_t> key) {
    const std::int32_t cell = cell_of_entry(entry);
    return cell != key.first ? cell < key.first : index_of_entry(entry) < key.second;
  };
  std::int32_t cell = lon_low;
  Iterator it = begin;
  for (;;) {
    it = std::lower_bound(it, end, std::pair{cell, first}, before);
    if (it == end || cell_of_entry(*it) > lon_high) return;
    if (cell_of_entry(*it) != cell) {
      cell = cell_of_entry(*it);
      continue;
    }
    for (; it != end && cell_of_entry(*it) == cell && index_of_entry(*it) < best.index; ++it) {
      if (const auto separation = matches(*it)) {
        best = Match{index_of_entry(*it), *separation};
        break;
      }
    }
    if (cell == lon_high) return;
    ++cell;
  }
}

}  // namespace

CompactIndex::CompactIndex(float radius, PointOrder order)
    : radius_(radius), order_(order), cell_degrees_(cell_degrees_for(radius)) {}

void CompactIndex::place(std::int32_t index, float latitude, float longitude, bool keep_sorted) {
  if (longitude == poi::kCommentCoordinate) return;
  if (!on_grid(latitude, longitude)) {
    outliers_.insert(std::upper_bound(outliers_.begin(), outliers_.end(), index), index);
    return;
  }
  auto& row = rows_[cell_of(latitude, cell_degrees_)];
  const RowEntry entry{static_cast<std::int32_t>(cell_of(longitude, cell_degrees_)), index};
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
  const auto found = rows_.find(cell_of(latitude, cell_degrees_));
  if (found == rows_.end()) return;
  auto& row = found->second;
  const RowEntry entry{static_cast<std::int32_t>(cell_of(longitude, cell_degrees_)), index};
  const auto it = std::lower_bound(row.begin(), row.end(), entry);
  if (it != row.end() && it->index == index) row.erase(it);
}

void CompactIndex::build(const poi::CompactTable& table) {
  const bool origins = order_ == PointOrder::table_first;
  if (origins) origins_.reserve(static_cast<std::size_t>(table.size()));
  // Rows for a few entries each, so that the map is not rehashed as it fills.
  rows_.reserve(rows_.size() + static_cast<std::size_t>(table.size() - count_) / 4);
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

std::optional<Match> CompactIndex::first_match(const poi::CompactTable& table, std::int32_t first,
                                               std::int32_t last, float latitude,
                                               float longitude) const {
  // Nothing lies strictly closer than a radius of zero or less.
  if (!(radius_ > 0.0f) || first > last) return std::nullopt;
  const QueryPlan plan = plan_query(radius_, cell_degrees_, order_, latitude, longitude);
  const auto separation = [&](std::int32_t j) {
    return plan.probe ? plan.probe->distance_to(table.latitude(j), table.longitude(j))
                      : origins_[static_cast<std::size_t>(j - 1)].distance_to(latitude, longitude);
  };
  if (!plan.cells) {
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
  const CellRange& range = *plan.cells;
  for (std::int64_t lat = range.lat_low; lat <= range.lat_high; ++lat) {
    const auto found = rows_.find(lat);
    if (found == rows_.end()) continue;
    search_row(
        found->second.begin(), found->second.end(), range.lon_low, range.lon_high, first, best,
        [](const RowEntry& entry) { return entry.lon_cell; },
        [](const RowEntry& entry) { return entry.index; },
        [&](const RowEntry& entry) -> std::optional<float> {
          const float metres_apart = separation(entry.index);
          if (metres_apart < radius_) return metres_apart;
          return std::nullopt;
        });
  }
  if (best.index > last) return std::nullopt;
  return best;
}

std::size_t CompactIndex::memory_bytes() const {
  return origins_.capacity() * sizeof(Origin) + outliers_.capacity() * sizeof(std::int32_t) +
         row_map_bytes(rows_);
}

namespace {

// Runs work(0) to work(threads - 1) at once, work(0) on the calling thread.
template <typename Work>
void on_threads(unsigned threads, const Work& work) {
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back([&work, t] { work(t); });
  work(0);
  for (std::thread& helper : helpers) helper.join();
}

// The duplicate run's grid: every entry on the grid in one array sorted by
// row, cell and index, its position beside it, the rows found by binary
// search. Taking the queries in the array's order, neighbouring queries read
// neighbouring memory.
class SortedGrid {
 public:
  // Each thread takes the entries of one stretch of the table and sorts
  // them; the sorted stretches are then merged.
  SortedGrid(const poi::CompactTable& table, float radius, unsigned threads)
      : radius_(radius), cell_degrees_(cell_degrees_for(radius)) {
    const auto by_cell = [](const Entry& a, const Entry& b) {
      if (a.lat_cell != b.lat_cell) return a.lat_cell < b.lat_cell;
      return a.lon_cell != b.lon_cell ? a.lon_cell < b.lon_cell : a.index < b.index;
    };
    const std::int64_t count = table.size();
    std::vector<std::vector<Entry>> stretches(threads);
    std::vector<std::vector<std::int32_t>> outliers(threads);
    on_threads(threads, [&](unsigned part) {
      const auto first = static_cast<std::int32_t>(1 + count * part / threads);
      const auto last = static_cast<std::int32_t>(count * (part + 1) / threads);
      std::vector<Entry>& entries = stretches[part];
      entries.reserve(static_cast<std::size_t>(last - first + 1));
      for (std::int32_t j = first; j <= last; ++j) {
        if (table.is_comment(j)) continue;
        const float latitude = table.latitude(j);
        const float longitude = table.longitude(j);
        if (!on_grid(latitude, longitude)) {
          outliers[part].push_back(j);
          continue;
        }
        entries.push_back(Entry{cell_of(latitude, cell_degrees_),
                                static_cast<std::int32_t>(cell_of(longitude, cell_degrees_)), j,
                                latitude, longitude});
      }
      std::sort(entries.begin(), entries.end(), by_cell);
    });
    entries_ = std::move(stretches.front());
    for (unsigned part = 1; part < threads; ++part) {
      std::vector<Entry> merged;
      merged.reserve(entries_.size() + stretches[part].size());
      std::merge(entries_.begin(), entries_.end(), stretches[part].begin(), stretches[part].end(),
                 std::back_inserter(merged), by_cell);
      entries_ = std::move(merged);
      stretches[part] = {};
    }
    // The stretches come in table order, so the outliers stay ascending.
    for (const auto& part : outliers) outliers_.insert(outliers_.end(), part.begin(), part.end());
    for (std::size_t k = 0; k < entries_.size(); ++k) {
      if (k == 0 || entries_[k].lat_cell != entries_[k - 1].lat_cell) {
        row_keys_.push_back(entries_[k].lat_cell);
        row_starts_.push_back(k);
      }
    }
    row_starts_.push_back(entries_.size());
  }

  // The entries to ask about, in the order that reads memory best.
  std::size_t probe_count() const { return entries_.size() + outliers_.size(); }
  std::int32_t probe(std::size_t k) const {
    return k < entries_.size() ? entries_[k].index : outliers_[k - entries_.size()];
  }

  // The first entry after `i` strictly closer than the radius; index 0 for none.
  Match first_later(const poi::CompactTable& table, std::int32_t i) const {
    const std::int32_t first = i + 1;
    const std::int32_t last = table.size();
    Match best{last + 1, 0.0f};
    if (!(radius_ > 0.0f) || first > last) return Match{0, 0.0f};
    const QueryPlan plan = plan_query(radius_, cell_degrees_, PointOrder::probe_first,
                                      table.latitude(i), table.longitude(i));
    const Origin& probe = *plan.probe;
    if (!plan.cells) {
      for (std::int32_t j = first; j <= last; ++j) {
        if (table.is_comment(j)) continue;
        const float separation = probe.distance_to(table.latitude(j), table.longitude(j));
        if (separation < radius_) return Match{j, separation};
      }
      return Match{0, 0.0f};
    }
    for (auto it = std::lower_bound(outliers_.begin(), outliers_.end(), first);
         it != outliers_.end(); ++it) {
      const float separation = probe.distance_to(table.latitude(*it), table.longitude(*it));
      if (separation < radius_) {
        best = Match{*it, separation};
        break;
      }
    }
    const CellRange& range = *plan.cells;
    for (auto row = std::lower_bound(row_keys_.begin(), row_keys_.end(), range.lat_low);
         row != row_keys_.end() && *row <= range.lat_high; ++row) {
      const auto r = static_cast<std::size_t>(row - row_keys_.begin());
      search_row(
          entries_.begin() + static_cast<std::ptrdiff_t>(row_starts_[r]),
          entries_.begin() + static_cast<std::ptrdiff_t>(row_starts_[r + 1]), range.lon_low,
          range.lon_high, first, best, [](const Entry& entry) { return entry.lon_cell; },
          [](const Entry& entry) { return entry.index; },
          [&](const Entry& entry) -> std::optional<float> {
            const float separation = probe.distance_to(entry.latitude, entry.longitude);
            if (separation < radius_) return separation;
            return std::nullopt;
          });
    }
    return best.index > last ? Match{0, 0.0f} : best;
  }

 private:
  struct Entry {
    std::int64_t lat_cell;
    std::int32_t lon_cell;
    std::int32_t index;
    float latitude;
    float longitude;
  };

  float radius_;
  double cell_degrees_;
  std::vector<Entry> entries_;
  std::vector<std::int64_t> row_keys_;
  std::vector<std::size_t> row_starts_;  // row r: entries row_starts_[r] to row_starts_[r + 1] - 1
  std::vector<std::int32_t> outliers_;   // ascending
};

}  // namespace

std::vector<Match> first_later_matches(const poi::CompactTable& table, float radius,
                                       unsigned threads, std::atomic<std::int64_t>* answered) {
  threads = std::max(1u, threads);
  const SortedGrid grid(table, radius, threads);
  std::vector<Match> matches(static_cast<std::size_t>(table.size()) + 1, Match{0, 0.0f});
  const auto count = static_cast<std::int64_t>(grid.probe_count());
  std::atomic<std::int64_t> next{0};
  on_threads(threads, [&](unsigned) {
    for (;;) {
      const std::int64_t begin = next.fetch_add(kChunk);
      if (begin >= count) return;
      const std::int64_t end = std::min(count, begin + kChunk);
      for (std::int64_t k = begin; k < end; ++k) {
        const std::int32_t i = grid.probe(static_cast<std::size_t>(k));
        matches[static_cast<std::size_t>(i)] = grid.first_later(table, i);
      }
      if (answered) answered->fetch_add(end - begin, std::memory_order_relaxed);
    }
  });
  return matches;
}

}  // namespace pinwright::engine
