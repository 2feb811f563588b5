#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/distance.hpp"
#include "engine/grid.hpp"
#include "engine/match_search.hpp"
#include "poi/record.hpp"
#include "poi/table.hpp"

namespace pinwright::engine {

// A grid over latitude and longitude that answers first_match() with exactly
// the plain scan's answer, far faster. Cells are found from lower bounds on
// the north-south and east-west offsets derived from the distance routine
// itself; every candidate is then measured with the routine, so the index
// only ever skips entries that cannot be closer than the radius. Where the
// bounds cover too much ground (a pole, a huge radius) it scans instead.
//
// The index follows one table. It keeps a copy of each entry's position
// (with the point-1 terms of the distance, worked out once) and brings itself
// in line with the table on sync(), so an entry moved or replaced between
// two calls of the run is found at its new place.
class MatchIndex {
 public:
  // Size of a grid cell: about 1.1 km of latitude, so that a 20 m query
  // touches one or two cells a side and a 1500 m query three or four.
  static constexpr double kCellDegrees = 0.01;

  // Brings the index in line with entries 1..count of `table`, comparing
  // every entry's position with the one it knows.
  void sync(const poi::PoiTable& table, std::int32_t count);

  // The same for one entry whose position may have changed, then for the
  // count: entries past it are dropped, entries added up to it taken in.
  void refresh(const poi::PoiTable& table, std::int32_t index, std::int32_t count);

  // The smallest j in first..last whose entry lies strictly closer than
  // `radius` to `probe`, as first_match() would answer it. Entries past the
  // synced count (appended since) are taken in first.
  std::optional<Match> first_match(const poi::PoiTable& table, std::int32_t first,
                                   std::int32_t last, const poi::PoiRecord& probe, PointOrder order,
                                   float radius);

  std::int32_t count() const { return static_cast<std::int32_t>(origins_.size()); }

  // Heap memory held, roughly: the point-1 terms, the cells and their lists.
  std::size_t memory_bytes() const;

  // Calls `visit` with each entry of 1..count() inside `box`, at its
  // position as of the last sync, once, in no particular order; comment
  // records never.
  void for_each_in_box(const LatLonBox& box, const std::function<void(std::int32_t)>& visit) const;

 private:
  struct CellRange {
    std::int64_t lat_low, lat_high, lon_low, lon_high;
  };
  // An entry of a latitude row: rows are kept sorted by longitude cell.
  struct RowEntry {
    std::int32_t lon_cell;
    std::int32_t index;
    friend bool operator<(const RowEntry& a, const RowEntry& b) {
      return a.lon_cell != b.lon_cell ? a.lon_cell < b.lon_cell : a.index < b.index;
    }
  };

  void add(std::int32_t index, const poi::PoiRecord& record);
  void follow(const poi::PoiTable& table, std::int32_t index);
  void resize(const poi::PoiTable& table, std::int32_t count);
  void remove(std::int32_t index);
  std::optional<CellRange> cells_within(double latitude, double longitude, double lat_reach,
                                        double lon_reach) const;

  // Point-1 terms of each entry, in table order (entry j at j - 1).
  std::vector<Origin> origins_;
  // One row per band of latitude cells.
  std::unordered_map<std::int64_t, std::vector<RowEntry>> rows_;
  // Entries whose position lies beyond the grid's range; always scanned.
  std::vector<std::int32_t> outliers_;
};

}  // namespace pinwright::engine
