#include "engine/grid.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>
#include <thread>
#include <tuple>
#include <utility>

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
// Above this many latitude rows a query scans instead.
constexpr std::int64_t kMaxRowsPerQuery = 64;
// Entries a thread takes at a time in first_later_matches.
constexpr std::int64_t kChunk = 1024;
// Below this many entries a build sorts on one thread.
constexpr std::int64_t kParallelBuild = 1 << 16;

bool on_grid(float latitude, float longitude) {
  return std::abs(latitude) < kGridLimitDegrees && std::abs(longitude) < kGridLimitDegrees;
}

bool is_comment_position(float longitude) {
  return longitude == poi::kCommentCoordinate;
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

// Degrees of latitude a query reaches, with room for the rounding of cell
// bounds.
double lat_reach_of(float radius, double cell_degrees) {
  return reach_metres(radius) / north_km_per_degree() + cell_degrees * 1e-6;
}

// The latitude rows within `lat_reach` of a point, with every longitude
// cell; none when a query must scan instead (a point off the grid, a reach
// too wide).
std::optional<CellRange> rows_in_reach(double lat_reach, double cell_degrees, float latitude,
                                       float longitude) {
  if (!on_grid(latitude, longitude) || !std::isfinite(lat_reach) ||
      std::abs(latitude) + lat_reach >= kGridLimitDegrees)
    return std::nullopt;
  const CellRange range{
      cell_of(latitude - lat_reach, cell_degrees), cell_of(latitude + lat_reach, cell_degrees),
      std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max() - 1};
  if (range.lat_high - range.lat_low + 1 > kMaxRowsPerQuery) return std::nullopt;
  return range;
}

// What a query reads: point 1's terms when the point is point 1, and the
// cells that can hold an entry closer than the radius; no cells when the
// query must scan instead.
struct QueryPlan {
  std::optional<Origin> probe;
  std::optional<CellRange> cells;
};

QueryPlan plan_query(float radius, double cell_degrees, PointOrder order, float latitude,
                     float longitude) {
  QueryPlan plan;
  if (order == PointOrder::probe_first) plan.probe.emplace(latitude, longitude);
  const double lat_reach = lat_reach_of(radius, cell_degrees);
  plan.cells = rows_in_reach(lat_reach, cell_degrees, latitude, longitude);
  if (!plan.cells) return plan;
  // The east-west offset scales with point 1's cosine: the probe's own, or
  // the smallest over the latitudes within reach. Without a bound east-west
  // the whole of each row is read.
  const double cosine = plan.probe ? std::abs(plan.probe->cosine())
                                   : min_abs_cosine(latitude - lat_reach, latitude + lat_reach);
  if (!(cosine > 0.0)) return plan;
  const double metres = reach_metres(radius);
  const double lon_reach = metres / (east_km_per_degree() * cosine) + cell_degrees * 1e-6;
  if (std::isfinite(lon_reach) && std::abs(longitude) + lon_reach < kGridLimitDegrees) {
    plan.cells->lon_low = static_cast<std::int32_t>(cell_of(longitude - lon_reach, cell_degrees));
    plan.cells->lon_high = static_cast<std::int32_t>(cell_of(longitude + lon_reach, cell_degrees));
  }
  return plan;
}

// Runs work(0) to work(threads - 1) at once, work(0) on the calling thread.
template <typename Work>
void on_threads(unsigned threads, const Work& work) {
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back([&work, t] { work(t); });
  work(0);
  for (std::thread& helper : helpers) helper.join();
}

// Sorts by `key` stably, least significant digits first, over only the bits
// the largest key has: a few passes over the entries where a comparison sort
// takes twenty. Digits of 11 bits sort the 37-bit keys of a world-wide
// million in four passes; 8 bits took five and a sixth longer, 13 bits three
// passes that scatter too widely.
template <typename Keyed>
void sort_by_key(std::vector<Keyed>& items) {
  constexpr int kDigitBits = 11;
  constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;
  std::uint64_t largest = 0;
  for (const Keyed& item : items) largest = std::max(largest, item.key);
  std::vector<Keyed> sorted(items.size());
  std::vector<std::size_t> starts(kDigits);
  const auto bits = static_cast<int>(std::bit_width(largest));
  for (int shift = 0; shift < bits; shift += kDigitBits) {
    std::fill(starts.begin(), starts.end(), 0);
    for (const Keyed& item : items) ++starts[(item.key >> shift) & (kDigits - 1)];
    std::size_t start = 0;
    for (std::size_t& digit : starts) start += std::exchange(digit, start);
    for (const Keyed& item : items) sorted[starts[(item.key >> shift) & (kDigits - 1)]++] = item;
    items.swap(sorted);
  }
}

}  // namespace

bool LatLonBox::contains(float latitude, float longitude) const {
  if (!(latitude >= lat_low && latitude <= lat_high)) return false;
  const double span = lon_high - lon_low;
  if (!(span >= 0.0)) return false;
  if (span >= 360.0) return std::isfinite(longitude);
  double east = std::fmod(static_cast<double>(longitude) - lon_low, 360.0);
  if (east < 0.0) east += 360.0;
  return east <= span;
}

Grid::Grid(float radius, PointOrder order)
    : order_(order), cell_degrees_(cell_degrees_for(radius)) {}

void Grid::add_position(Position position) {
  positions_.push_back(position);
  if (order_ == PointOrder::table_first)
    origins_.emplace_back(position.latitude, position.longitude);
}

std::span<const Grid::RowEntry> Grid::entries(const Row& row) const {
  if (!row.own.empty()) return row.own;
  return std::span<const RowEntry>(laid_out_).subspan(row.begin, row.size);
}

// A row changes in a vector of its own; its stretch of the laid-out block is
// left unread.
std::vector<Grid::RowEntry>& Grid::own_entries(Row& row) {
  if (row.own.empty() && row.size > 0) {
    const auto first = laid_out_.begin() + row.begin;
    row.own.assign(first, first + row.size);
    row.size = 0;
  }
  return row.own;
}

void Grid::place(std::int32_t index, Position position) {
  if (is_comment_position(position.longitude)) return;
  if (!on_grid(position.latitude, position.longitude)) {
    outliers_.insert(std::upper_bound(outliers_.begin(), outliers_.end(), index), index);
    return;
  }
  std::vector<RowEntry>& row = own_entries(rows_[cell_of(position.latitude, cell_degrees_)]);
  const RowEntry entry{static_cast<std::int32_t>(cell_of(position.longitude, cell_degrees_)), index,
                       position.latitude, position.longitude};
  const auto after =
      std::upper_bound(row.begin(), row.end(), entry, [](const auto& a, const auto& b) {
        return a.lon_cell != b.lon_cell ? a.lon_cell < b.lon_cell : a.index < b.index;
      });
  row.insert(after, entry);
}

void Grid::unplace(std::int32_t index, Position position) {
  if (is_comment_position(position.longitude)) return;
  if (!on_grid(position.latitude, position.longitude)) {
    const auto it = std::lower_bound(outliers_.begin(), outliers_.end(), index);
    if (it != outliers_.end() && *it == index) outliers_.erase(it);
    return;
  }
  const std::int64_t lat_cell = cell_of(position.latitude, cell_degrees_);
  Row* const found = rows_.find(lat_cell);
  if (found == nullptr) return;
  std::vector<RowEntry>& row = own_entries(*found);
  const auto lon_cell = static_cast<std::int32_t>(cell_of(position.longitude, cell_degrees_));
  const auto it = std::lower_bound(
      row.begin(), row.end(), std::pair{lon_cell, index},
      [](const RowEntry& entry, std::pair<std::int32_t, std::int32_t> key) {
        return entry.lon_cell != key.first ? entry.lon_cell < key.first : entry.index < key.second;
      });
  if (it != row.end() && it->index == index) row.erase(it);
  if (row.empty()) rows_.erase(lat_cell);
}

void Grid::build(const poi::CompactTable& table, unsigned threads) {
  if (table.size() <= count()) return;
  take_in(table, threads);
  lay_out(threads, RowMap::fill);
}

void Grid::take_in(const poi::CompactTable& table, unsigned threads) {
  const auto known = static_cast<std::size_t>(count());
  const auto total = static_cast<std::size_t>(table.size());
  positions_.reserve(total);
  for (std::int32_t j = count() + 1; j <= table.size(); ++j)
    positions_.push_back(Position{table.latitude(j), table.longitude(j)});
  if (order_ != PointOrder::table_first) return;
  // Each entry's point-1 terms (a sine, a cosine and a root), by stretches
  // on every thread.
  origins_.resize(total, Origin(0.0f, 0.0f));
  const std::size_t added = total - known;
  threads = added < static_cast<std::size_t>(kParallelBuild) ? 1u : std::max(1u, threads);
  on_threads(threads, [&](unsigned part) {
    for (std::size_t k = known + added * part / threads; k < known + added * (part + 1) / threads;
         ++k)
      origins_[k] = Origin(positions_[k].latitude, positions_[k].longitude);
  });
}

void Grid::lay_out(unsigned threads, RowMap row_map) {
  rows_ = {};
  laid_out_ = {};
  laid_rows_ = {};
  outliers_.clear();
  const auto total = static_cast<std::int64_t>(positions_.size());

  // Each entry's cells, found by stretches on every thread; an entry off the
  // grid (or a comment record) has none.
  constexpr std::int32_t kNoCell = std::numeric_limits<std::int32_t>::min();
  std::vector<std::int32_t> lat_cells(static_cast<std::size_t>(total));
  std::vector<std::int32_t> lon_cells(static_cast<std::size_t>(total));
  struct Span {
    std::int32_t lat_low = std::numeric_limits<std::int32_t>::max(), lat_high = kNoCell;
    std::int32_t lon_low = std::numeric_limits<std::int32_t>::max(), lon_high = kNoCell;
  };
  threads = total < kParallelBuild ? 1u : std::max(1u, threads);
  std::vector<Span> spans(threads);
  on_threads(threads, [&](unsigned part) {
    Span& span = spans[part];
    const auto first = static_cast<std::size_t>(total * part / threads);
    const auto last = static_cast<std::size_t>(total * (part + 1) / threads);
    for (std::size_t k = first; k < last; ++k) {
      const Position& position = positions_[k];
      if (is_comment_position(position.longitude) ||
          !on_grid(position.latitude, position.longitude)) {
        lat_cells[k] = kNoCell;
        continue;
      }
      const auto lat = static_cast<std::int32_t>(cell_of(position.latitude, cell_degrees_));
      const auto lon = static_cast<std::int32_t>(cell_of(position.longitude, cell_degrees_));
      lat_cells[k] = lat;
      lon_cells[k] = lon;
      span = {std::min(span.lat_low, lat), std::max(span.lat_high, lat),
              std::min(span.lon_low, lon), std::max(span.lon_high, lon)};
    }
  });
  Span all;
  for (const Span& span : spans)
    all = {std::min(all.lat_low, span.lat_low), std::max(all.lat_high, span.lat_high),
           std::min(all.lon_low, span.lon_low), std::max(all.lon_high, span.lon_high)};

  // The entries on the grid keyed by latitude cell, then longitude cell, and
  // sorted by that key stably: entries of one cell stay in ascending order.
  // Cells lie within 32 bits of each other (the grid's range), so the key
  // fits 64.
  struct Keyed {
    std::uint64_t key;
    std::int32_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<std::size_t>(total));
  const auto lon_span =
      static_cast<std::uint64_t>(static_cast<std::int64_t>(all.lon_high) - all.lon_low + 1);
  for (std::size_t k = 0; k < lat_cells.size(); ++k) {
    const auto j = static_cast<std::int32_t>(k + 1);
    if (lat_cells[k] == kNoCell) {
      // Comment records are left out; entries off the grid come in table
      // order, so the outliers are ascending.
      if (!is_comment_position(positions_[k].longitude)) outliers_.push_back(j);
      continue;
    }
    const auto lat =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(lat_cells[k]) - all.lat_low);
    const auto lon =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(lon_cells[k]) - all.lon_low);
    keyed.push_back(Keyed{lat * lon_span + lon, j});
  }
  lat_cells = {};
  lon_cells = {};
  if (keyed.empty()) return;
  sort_by_key(keyed);

  std::size_t row_count = 1;
  for (std::size_t k = 1; k < keyed.size(); ++k)
    row_count += keyed[k].key / lon_span != keyed[k - 1].key / lon_span;
  if (row_map == RowMap::fill) rows_.reserve(row_count);
  laid_rows_.reserve(row_count);

  laid_out_.resize(keyed.size());
  for (std::size_t begin = 0; begin < keyed.size();) {
    const std::uint64_t lat = keyed[begin].key / lon_span;
    const std::uint64_t row_key = lat * lon_span;
    const std::uint64_t next_row_key = row_key + lon_span;
    std::size_t end = begin;
    for (; end < keyed.size() && keyed[end].key < next_row_key; ++end) {
      // The positions are read in cell order, scattered over the table:
      // asking for them ahead hides the wait.
      constexpr std::size_t kAhead = 16;
      if (end + kAhead < keyed.size())
        __builtin_prefetch(&positions_[static_cast<std::size_t>(keyed[end + kAhead].index - 1)]);
      const std::int32_t j = keyed[end].index;
      const Position& position = positions_[static_cast<std::size_t>(j - 1)];
      const auto lon_cell = static_cast<std::int32_t>(
          static_cast<std::int64_t>(keyed[end].key - row_key) + all.lon_low);
      laid_out_[end] = RowEntry{lon_cell, j, position.latitude, position.longitude};
    }
    const std::int64_t lat_cell = all.lat_low + static_cast<std::int64_t>(lat);
    const auto row_begin = static_cast<std::uint32_t>(begin);
    const auto row_size = static_cast<std::uint32_t>(end - begin);
    if (row_map == RowMap::fill) rows_[lat_cell] = Row{row_begin, row_size, {}};
    laid_rows_.push_back(LaidRow{lat_cell, row_begin, row_size});
    begin = end;
  }
}

void Grid::append(const poi::CompactTable& table) {
  for (std::int32_t j = count() + 1; j <= table.size(); ++j) {
    const Position position{table.latitude(j), table.longitude(j)};
    add_position(position);
    place(j, position);
  }
}

void Grid::move(const poi::CompactTable& table, std::int32_t index) {
  Position& known = positions_[static_cast<std::size_t>(index - 1)];
  const Position now{table.latitude(index), table.longitude(index)};
  // Bitwise, so that -0.0 and 0.0 are told apart exactly as a copy would be.
  if (std::bit_cast<std::uint32_t>(known.latitude) == std::bit_cast<std::uint32_t>(now.latitude) &&
      std::bit_cast<std::uint32_t>(known.longitude) == std::bit_cast<std::uint32_t>(now.longitude))
    return;
  unplace(index, known);
  known = now;
  if (order_ == PointOrder::table_first)
    origins_[static_cast<std::size_t>(index - 1)] = Origin(now.latitude, now.longitude);
  place(index, now);
}

void Grid::truncate(std::int32_t count) {
  for (std::int32_t j = this->count(); j > count && j >= 1; --j)
    unplace(j, positions_[static_cast<std::size_t>(j - 1)]);
  const auto kept = static_cast<std::size_t>(std::clamp(count, 0, this->count()));
  positions_.resize(kept);
  if (order_ == PointOrder::table_first) origins_.resize(kept, Origin(0.0f, 0.0f));
}

// Within one row, the first entry of each cell in lon_low..lon_high whose
// index lies in first..best - 1 and which `matches`, keeping the smallest in
// `best`: each cell lists its entries by ascending index, so its first hit is
// its answer.
template <typename Visit>
void Grid::visit_row_range(std::span<const RowEntry> row, std::int32_t lon_low,
                           std::int32_t lon_high, std::int32_t first, Match& best,
                           const Visit& matches) const {
  const auto before = [](const RowEntry& entry, std::pair<std::int32_t, std::int32_t> key) {
    return entry.lon_cell != key.first ? entry.lon_cell < key.first : entry.index < key.second;
  };
  std::int32_t cell = lon_low;
  auto it = row.begin();
  for (;;) {
    it = std::lower_bound(it, row.end(), std::pair{cell, first}, before);
    if (it == row.end() || it->lon_cell > lon_high) return;
    if (it->lon_cell != cell) {
      cell = it->lon_cell;
      continue;
    }
    for (; it != row.end() && it->lon_cell == cell && it->index < best.index; ++it) {
      if (const auto separation = matches(*it)) {
        best = Match{it->index, *separation};
        break;
      }
    }
    if (cell == lon_high) return;
    ++cell;
  }
}

template <typename FindRow>
std::optional<Match> Grid::first_match_in(std::int32_t first, std::int32_t last, float latitude,
                                          float longitude, float radius,
                                          const FindRow& find_row) const {
  last = std::min(last, count());
  first = std::max(first, 1);
  // Nothing lies strictly closer than a radius of zero or less.
  if (!(radius > 0.0f) || first > last) return std::nullopt;
  const QueryPlan plan = plan_query(radius, cell_degrees_, order_, latitude, longitude);
  const auto separation = [&](std::int32_t j, float entry_latitude, float entry_longitude) {
    return plan.probe ? plan.probe->distance_to(entry_latitude, entry_longitude)
                      : origins_[static_cast<std::size_t>(j - 1)].distance_to(latitude, longitude);
  };
  if (!plan.cells) {
    for (std::int32_t j = first; j <= last; ++j) {
      const Position& position = positions_[static_cast<std::size_t>(j - 1)];
      if (is_comment_position(position.longitude)) continue;
      const float metres = separation(j, position.latitude, position.longitude);
      if (metres < radius) return Match{j, metres};
    }
    return std::nullopt;
  }

  Match best{last + 1, 0.0f};
  for (auto it = std::lower_bound(outliers_.begin(), outliers_.end(), first);
       it != outliers_.end() && *it < best.index; ++it) {
    const Position& position = positions_[static_cast<std::size_t>(*it - 1)];
    const float metres = separation(*it, position.latitude, position.longitude);
    if (metres < radius) {
      best = Match{*it, metres};
      break;
    }
  }
  const CellRange& range = *plan.cells;
  for (std::int64_t lat = range.lat_low; lat <= range.lat_high; ++lat) {
    const std::span<const RowEntry> row = find_row(lat);
    if (row.empty()) continue;
    visit_row_range(row, range.lon_low, range.lon_high, first, best,
                    [&](const RowEntry& entry) -> std::optional<float> {
                      const float metres = separation(entry.index, entry.latitude, entry.longitude);
                      if (metres < radius) return metres;
                      return std::nullopt;
                    });
  }
  if (best.index > last) return std::nullopt;
  return best;
}

std::optional<Match> Grid::first_match(std::int32_t first, std::int32_t last, float latitude,
                                       float longitude, float radius) const {
  return first_match_in(first, last, latitude, longitude, radius, [this](std::int64_t lat) {
    const Row* const row = rows_.find(lat);
    return row == nullptr ? std::span<const RowEntry>() : entries(*row);
  });
}

void Grid::prefetch(float latitude, float longitude, float radius, Ahead step) const {
  if (!(radius > 0.0f) || rows_.size() == 0) return;
  if (step == Ahead::terms && order_ != PointOrder::table_first) return;
  const std::optional<CellRange> range =
      step == Ahead::terms
          ? plan_query(radius, cell_degrees_, order_, latitude, longitude).cells
          : rows_in_reach(lat_reach_of(radius, cell_degrees_), cell_degrees_, latitude, longitude);
  if (!range) return;
  for (std::int64_t lat = range->lat_low; lat <= range->lat_high; ++lat) {
    if (step == Ahead::row_slots) {
      rows_.prefetch(lat);
      continue;
    }
    const Row* const found = rows_.find(lat);
    if (found == nullptr) continue;
    const std::span<const RowEntry> row = entries(*found);
    if (step == Ahead::rows) {
      // The lines of the row, a few at most: a long row is searched, not read.
      constexpr std::size_t kLines = 4;
      constexpr std::size_t kPerLine = 64 / sizeof(RowEntry);
      for (std::size_t k = 0; k < row.size() && k < kLines * kPerLine; k += kPerLine)
        __builtin_prefetch(&row[k]);
      continue;
    }
    auto it = std::lower_bound(
        row.begin(), row.end(), range->lon_low,
        [](const RowEntry& entry, std::int32_t cell) { return entry.lon_cell < cell; });
    for (; it != row.end() && it->lon_cell <= range->lon_high; ++it)
      __builtin_prefetch(&origins_[static_cast<std::size_t>(it->index - 1)]);
  }
}

void Grid::for_each_in_box(const LatLonBox& box,
                           const std::function<void(std::int32_t)>& visit) const {
  const double span = box.lon_high - box.lon_low;
  if (!(box.lat_low <= box.lat_high) || !(span >= 0.0)) return;

  const auto take = [&](std::int32_t j) {
    const Position& position = positions_[static_cast<std::size_t>(j - 1)];
    if (box.contains(position.latitude, position.longitude)) visit(j);
  };
  for (const std::int32_t j : outliers_) take(j);

  // Every box holding all longitudes, or bounds off the grid, reads whole rows.
  const bool whole_rows = !(span < 360.0) || !(std::abs(box.lon_low) < kGridLimitDegrees &&
                                               std::abs(box.lon_high) < kGridLimitDegrees);
  const auto search_row = [&](std::span<const RowEntry> row) {
    if (row.empty()) return;
    if (whole_rows) {
      for (const RowEntry& entry : row) take(entry.index);
      return;
    }
    // An entry may hold any longitude (190 as well as -170): each turn of 360
    // degrees that reaches the row's cells is searched, a cell of slack on
    // either side for the rounding of the shifted bounds. The turns ascend,
    // so each goes on where the one before stopped and no entry comes twice.
    const double west = static_cast<double>(row.front().lon_cell - 1) * cell_degrees_;
    const double east = static_cast<double>(row.back().lon_cell + 2) * cell_degrees_;
    const auto first_turn = static_cast<std::int64_t>(std::ceil((west - box.lon_high) / 360.0));
    const auto last_turn = static_cast<std::int64_t>(std::floor((east - box.lon_low) / 360.0));
    auto it = row.begin();
    for (std::int64_t turn = first_turn; turn <= last_turn && it != row.end(); ++turn) {
      const double shift = 360.0 * static_cast<double>(turn);
      const std::int64_t from = cell_of(box.lon_low + shift, cell_degrees_) - 1;
      const std::int64_t to = cell_of(box.lon_high + shift, cell_degrees_) + 1;
      it = std::lower_bound(it, row.end(), from, [](const RowEntry& entry, std::int64_t cell) {
        return entry.lon_cell < cell;
      });
      for (; it != row.end() && it->lon_cell <= to; ++it) take(it->index);
    }
  };

  const std::int64_t low = cell_of(std::max(box.lat_low, -kGridLimitDegrees), cell_degrees_);
  const std::int64_t high = cell_of(std::min(box.lat_high, kGridLimitDegrees), cell_degrees_);
  if (high - low + 1 > static_cast<std::int64_t>(rows_.size())) {
    rows_.for_each([&](std::int64_t lat, const Row& row) {
      if (lat >= low && lat <= high) search_row(entries(row));
    });
  } else {
    for (std::int64_t lat = low; lat <= high; ++lat) {
      if (const Row* const row = rows_.find(lat)) search_row(entries(*row));
    }
  }
}

std::size_t Grid::memory_bytes() const {
  return positions_.capacity() * sizeof(Position) + origins_.capacity() * sizeof(Origin) +
         outliers_.capacity() * sizeof(std::int32_t) + row_bytes();
}

std::size_t Grid::row_bytes() const {
  // A row's own block is at least one allocation of 32 bytes.
  std::size_t bytes = rows_.slot_bytes() + laid_out_.capacity() * sizeof(RowEntry);
  rows_.for_each([&](std::int64_t, const Row& row) {
    if (row.own.capacity() > 0)
      bytes += std::max<std::size_t>(32, row.own.capacity() * sizeof(RowEntry));
  });
  return bytes;
}

std::vector<Match> first_later_matches(const poi::CompactTable& table, float radius,
                                       unsigned threads, std::atomic<std::int64_t>* answered,
                                       const PairTest* accept) {
  threads = std::max(1u, threads);
  Grid grid(radius, PointOrder::probe_first);
  grid.take_in(table, threads);
  grid.lay_out(threads, Grid::RowMap::skip);
  // The entries are asked about in the order the build laid them out, row by
  // row and cell by cell, then those off the grid: neighbouring queries read
  // neighbouring memory, and each one's position comes from the block it
  // walks rather than from the table at random.
  const std::vector<Grid::RowEntry>& laid_out = grid.laid_out_;
  const std::vector<Grid::LaidRow>& rows = grid.laid_rows_;
  const std::vector<std::int32_t>& outliers = grid.outliers_;
  std::vector<Match> matches(static_cast<std::size_t>(table.size()) + 1, Match{0, 0.0f});
  const auto count = static_cast<std::int64_t>(laid_out.size() + outliers.size());
  std::atomic<std::int64_t> next{0};
  on_threads(threads, [&](unsigned) {
    for (;;) {
      const std::int64_t begin = next.fetch_add(kChunk);
      if (begin >= count) return;
      const std::int64_t end = std::min(count, begin + kChunk);
      // The row of the entry asked about; the rows a query reads lie beside
      // it in the block's row list, found by stepping rather than hashing.
      std::size_t row =
          static_cast<std::size_t>(std::upper_bound(rows.begin(), rows.end(), begin,
                                                    [](std::int64_t k, const Grid::LaidRow& laid) {
                                                      return k < laid.begin;
                                                    }) -
                                   rows.begin());
      row = row > 0 ? row - 1 : 0;
      const auto find_row = [&](std::int64_t lat_cell) {
        std::size_t at = row;
        while (at + 1 < rows.size() && rows[at].lat_cell < lat_cell) ++at;
        while (at > 0 && rows[at].lat_cell > lat_cell) --at;
        if (rows[at].lat_cell != lat_cell) return std::span<const Grid::RowEntry>();
        return std::span<const Grid::RowEntry>(laid_out).subspan(rows[at].begin, rows[at].size);
      };
      for (std::int64_t k = begin; k < end; ++k) {
        const auto placed = static_cast<std::size_t>(k);
        const auto [i, latitude, longitude] = [&] {
          if (placed < laid_out.size()) {
            const Grid::RowEntry& entry = laid_out[placed];
            return std::tuple{entry.index, entry.latitude, entry.longitude};
          }
          const std::int32_t j = outliers[placed - laid_out.size()];
          const Grid::Position& position = grid.positions_[static_cast<std::size_t>(j - 1)];
          return std::tuple{j, position.latitude, position.longitude};
        }();
        while (row + 1 < rows.size() && rows[row + 1].begin <= placed) ++row;
        auto match =
            grid.first_match_in(i + 1, table.size(), latitude, longitude, radius, find_row);
        while (match && accept && !(*accept)(i, match->index))
          match = grid.first_match_in(match->index + 1, table.size(), latitude, longitude, radius,
                                      find_row);
        if (match) matches[static_cast<std::size_t>(i)] = *match;
      }
      if (answered) answered->fetch_add(end - begin, std::memory_order_relaxed);
    }
  });
  return matches;
}

}  // namespace pinwright::engine
