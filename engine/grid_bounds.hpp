#pragma once

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

// At most the smallest |cos| over latitudes in [low, high]: low for safety,
// within a sixteenth of a degree's change of the cosine between -90 and 90.
double min_abs_cosine(double low, double high);

}  // namespace pinwright::engine
