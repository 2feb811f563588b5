#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/distance.hpp"
#include "engine/match_search.hpp"
#include "poi/compact_table.hpp"

namespace pinwright::engine {

// A grid over the positions of a compact table that answers first_match()
// with exactly the plain ascending scan's answer: the same entry and a
// bit-identical separation. Like MatchIndex it bounds the cells to read from
// the distance routine and measures every candidate with the routine; unlike
// it, its cells are sized to the one radius it serves, so that a query in a
// dense cluster reads a few small cells instead of a square kilometre, and
// its rows are sorted once when a whole table is taken in.
//
// With PointOrder::probe_first (the duplicate run) the index holds only the
// cells, and queries may run on several threads at once while nothing
// changes it. With PointOrder::table_first (the update run) it also keeps
// each entry's point-1 terms and follows entries that move.
class CompactIndex {
 public:
  CompactIndex(float radius, PointOrder order);

  // Takes in the table's entries past count() in one go.
  void build(const poi::CompactTable& table);
  // Takes in the table's entries past count() one by one, as a run appends them.
  void append(const poi::CompactTable& table);
  // Follows entry `index` (at most count()), whose position may have changed.
  // table_first only.
  void refresh(const poi::CompactTable& table, std::int32_t index);

  std::int32_t count() const { return count_; }

  // The smallest j in first..last (at most count()) whose entry lies strictly
  // closer than the radius to the point, comment records skipped, the point
  // taken as point 1 or point 2 of the distance by the index's order.
  std::optional<Match> first_match(const poi::CompactTable& table, std::int32_t first,
                                   std::int32_t last, float latitude, float longitude) const;

  // Heap memory held, roughly.
  std::size_t memory_bytes() const;

 private:
  // An entry of a latitude row: rows are kept sorted by longitude cell, then index.
  struct RowEntry {
    std::int32_t lon_cell;
    std::int32_t index;
    friend bool operator<(const RowEntry& a, const RowEntry& b) {
      return a.lon_cell != b.lon_cell ? a.lon_cell < b.lon_cell : a.index < b.index;
    }
  };

  void place(std::int32_t index, float latitude, float longitude, bool keep_sorted);
  void unplace(std::int32_t index, float latitude, float longitude);

  float radius_;
  PointOrder order_;
  double cell_degrees_;
  std::int32_t count_ = 0;
  // table_first: the point-1 terms of entry j at j - 1.
  std::vector<Origin> origins_;
  std::unordered_map<std::int64_t, std::vector<RowEntry>> rows_;
  // Entries whose position lies beyond the grid's range, ascending; always read.
  std::vector<std::int32_t> outliers_;
};

// For every entry i of `table`, the first later entry strictly closer than
// `radius`, entry i being point 1: the question the duplicate run asks of
// each entry, all asked at once on `threads` threads (at least one). Element
// i of the result; index 0 where there is none and for comment records.
// `answered`, when given, counts the entries done (comment records are not
// asked about), for a progress display.
std::vector<Match> first_later_matches(const poi::CompactTable& table, float radius,
                                       unsigned threads,
                                       std::atomic<std::int64_t>* answered = nullptr);

}  // namespace pinwright::engine
