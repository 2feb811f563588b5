#pragma once

#include <algorithm>
#include <cstddef>

namespace pinwright::engine {

// Lower bounds on the two offsets of the distance routine, so that a grid
// over latitude and longitude can skip cells that cannot hold an entry
// closer than a radius, and never more.

// The bounds hold for the exact offsets; the routine stores the north-south
// offset and the result in single precision, each within a relative 2^-24 of
// the exact value. Reaches are widened by this factor to cover both with room.
inline constexpr double kReachMargin = 1.0 + 1.0e-5;

// Smallest km per degree north-south, at any latitude.
double north_km_per_degree();
// Smallest km per degree east-west before the cosine of point 1's latitude.
double east_km_per_degree();

// The smallest |cos| over latitudes in [low, high], a little low for safety.
double min_abs_cosine(double low, double high);

// Heap memory of a grid kept as a hash map of latitude rows, roughly: a hash
// node holds the key, the row and a link; a row's own block is at least one
// allocation of 32 bytes.
template <typename Rows>
std::size_t row_map_bytes(const Rows& rows) {
  using Row = typename Rows::mapped_type;
  constexpr std::size_t kNodeBytes = sizeof(typename Rows::key_type) + sizeof(Row) + 16;
  std::size_t bytes = rows.bucket_count() * sizeof(void*);
  for (const auto& [key, row] : rows)
    bytes +=
        kNodeBytes + std::max<std::size_t>(32, row.capacity() * sizeof(typename Row::value_type));
  return bytes;
}

}  // namespace pinwright::engine
