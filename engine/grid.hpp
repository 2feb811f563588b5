#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "engine/cell_map.hpp"
#include "engine/distance.hpp"
#include "engine/match_search.hpp"
#include "poi/compact_table.hpp"

namespace pinwright::engine {

// Latitudes lat_low..lat_high and longitudes from lon_low eastwards to
// lon_high, in degrees, bounds included. Longitudes count modulo 360, so a
// box from 170 to 190 (or from -190 to -170) crosses the 180th meridian and a
// span of 360 or more holds every longitude. Latitudes are taken as they are.
struct LatLonBox {
  double lat_low = 0.0, lat_high = 0.0, lon_low = 0.0, lon_high = 0.0;

  bool contains(float latitude, float longitude) const;
};

// Asked about a pair within the radius: whether it counts as a match.
using PairTest = std::function<bool(std::int32_t earlier, std::int32_t later)>;

// The spatial index of a run: a grid over latitude and longitude that answers
// first_match() with exactly the plain ascending scan's answer (the same
// entry, a bit-identical separation), far faster. The cells to read are
// bounded from below by the distance routine's own offsets and every
// candidate is measured with the routine, so the grid only ever skips
// entries that cannot be closer than the radius; where the bounds cover too
// much ground (a pole, a huge radius) a query scans instead.
//
// The grid follows one table: it keeps what it knows of each entry's
// position, takes entries appended to the table in one go (build) or one by
// one (append), follows an entry moved in place (move) and forgets entries
// dropped from the table's end (truncate), so that a run can go back to an
// earlier review stop. Its cells are sized for the radius it is made for; a
// query may ask any radius.
//
// With PointOrder::table_first (the update run, where each table entry is
// point 1 of the distance) it also keeps each entry's point-1 terms.
// Queries are const: several threads may ask at once while nothing changes
// the grid.
class Grid {
 public:
  Grid(float radius, PointOrder order);

  std::int32_t count() const { return static_cast<std::int32_t>(positions_.size()); }

  // Takes in the table's entries past count() in one go and lays out every
  // entry afresh, its cells and point-1 terms found on `threads` threads.
  void build(const poi::CompactTable& table, unsigned threads = 1);
  // Takes in the table's entries past count() one by one, as a run appends them.
  void append(const poi::CompactTable& table);
  // Follows entry `index` (at most count()), whose position may have changed.
  void move(const poi::CompactTable& table, std::int32_t index);
  // Forgets the entries past `count`.
  void truncate(std::int32_t count);

  // The smallest j in first..last (at most count()) whose entry lies strictly
  // closer than `radius` to the point, comment records skipped, the point
  // taken as point 1 or point 2 of the distance by the grid's order. The
  // entries are taken where the grid knows them.
  std::optional<Match> first_match(std::int32_t first, std::int32_t last, float latitude,
                                   float longitude, float radius) const;

  // What first_match() on a point will read, asked of the memory system
  // before the query, in steps that each need what the step before brought
  // in: the row map's slots, then the rows, then (table_first) the point-1
  // terms of the entries in reach. A run that knows its next points asks for
  // each step some queries ahead, so that the query finds its memory ready.
  enum class Ahead { row_slots, rows, terms };
  void prefetch(float latitude, float longitude, float radius, Ahead step) const;

  // Calls `visit` with each entry of 1..count() inside `box`, at its position
  // as the grid knows it, once, in no particular order; comment records never.
  void for_each_in_box(const LatLonBox& box, const std::function<void(std::int32_t)>& visit) const;

  // Heap memory held, roughly.
  std::size_t memory_bytes() const;

 private:
  struct Position {
    float latitude;
    float longitude;
  };
  // An entry of a latitude row, with its position, so that a query reads
  // only the row. Rows are sorted by longitude cell, then index.
  struct RowEntry {
    std::int32_t lon_cell;
    std::int32_t index;
    float latitude;
    float longitude;
  };
  // A latitude row: a stretch of the block a build lays out while the row is
  // as built, a vector of its own once an entry comes or goes. A build
  // allocates once for all rows, where sparse data (most rows holding one
  // entry) would otherwise cost an allocation per entry.
  struct Row {
    std::uint32_t begin = 0;
    std::uint32_t size = 0;
    std::vector<RowEntry> own;
  };

  friend std::vector<Match> first_later_matches(const poi::CompactTable&, float, unsigned,
                                                std::atomic<std::int64_t>*, const PairTest*);

  std::span<const RowEntry> entries(const Row& row) const;
  std::vector<RowEntry>& own_entries(Row& row);
  // Whether a lay-out fills the map from latitude cell to row. Only a grid
  // that answers through its laid-out rows alone (the duplicate run's, which
  // walks them in order) goes without: filling the map reads memory at random.
  enum class RowMap { fill, skip };
  void take_in(const poi::CompactTable& table, unsigned threads);
  void lay_out(unsigned threads, RowMap row_map);
  void place(std::int32_t index, Position position);
  void unplace(std::int32_t index, Position position);
  void add_position(Position position);
  std::size_t row_bytes() const;
  // first_match() with the rows found by find_row(latitude cell), which
  // gives a row's entries or none.
  template <typename FindRow>
  std::optional<Match> first_match_in(std::int32_t first, std::int32_t last, float latitude,
                                      float longitude, float radius, const FindRow& find_row) const;
  template <typename Visit>
  void visit_row_range(std::span<const RowEntry> row, std::int32_t lon_low, std::int32_t lon_high,
                       std::int32_t first, Match& best, const Visit& matches) const;

  PointOrder order_;
  double cell_degrees_;
  // What the grid knows of entry j's position, at j - 1.
  std::vector<Position> positions_;
  // table_first: the point-1 terms of entry j at j - 1.
  std::vector<Origin> origins_;
  CellMap<Row> rows_;  // by latitude cell
  // The rows as the last build laid them out, by latitude cell, then
  // longitude cell, then index; and where each row lies in that block, by
  // ascending latitude cell.
  std::vector<RowEntry> laid_out_;
  struct LaidRow {
    std::int64_t lat_cell;
    std::uint32_t begin;
    std::uint32_t size;
  };
  std::vector<LaidRow> laid_rows_;
  // Entries whose position lies beyond the grid's range, ascending; always read.
  std::vector<std::int32_t> outliers_;
};

// For every entry i of `table`, the first later entry strictly closer than
// `radius`, entry i being point 1: the question the duplicate run asks of
// each entry, all asked at once on `threads` threads (at least one) over a
// grid built for the table. Element i of the result; index 0 where there is
// none and for comment records. `answered`, when given, counts the entries
// done (comment records are not asked about), for a progress display.
// `accept`, when given, is asked about each pair within the radius, from
// every thread: the search goes on past the pairs it refuses.
std::vector<Match> first_later_matches(const poi::CompactTable& table, float radius,
                                       unsigned threads,
                                       std::atomic<std::int64_t>* answered = nullptr,
                                       const PairTest* accept = nullptr);

}  // namespace pinwright::engine
