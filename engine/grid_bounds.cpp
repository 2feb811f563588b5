#include "engine/grid_bounds.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/distance.hpp"

namespace pinwright::engine {

double north_km_per_degree() {
  // M = A / W with W <= 1, so M >= A.
  static const double km =
      static_cast<double>(static_cast<float>(static_cast<double>(kEquatorialRadiusKm) *
                                             (1.0 - static_cast<double>(kEllipsoidConstant)))) *
      kDegreeFactor;
  return km;
}

double east_km_per_degree() {
  // N = R / sqrt(W) >= R.
  return static_cast<double>(kEquatorialRadiusKm) * kDegreeFactor;
}

namespace {

// |cos| at every sixteenth of a degree from 0 to 90, each a little low.
constexpr int kStepsPerDegree = 16;
constexpr int kSteps = 90 * kStepsPerDegree;
const std::array<double, kSteps + 1> kFallingCosine = [] {
  std::array<double, kSteps + 1> table{};
  for (int k = 0; k <= kSteps; ++k)
    table[static_cast<std::size_t>(k)] =
        std::max(0.0, std::abs(cos_degrees(static_cast<double>(k) / kStepsPerDegree)) - 1.0e-9);
  return table;
}();

}  // namespace

// Within -90..90 |cos| falls away from the equator, so its smallest value
// lies at the end farther from it; the table read at the step at or beyond
// that end bounds it from below without a cosine per query. Elsewhere: zero
// where the interval holds a zero of the cosine (90 + 180k degrees), else at
// one of its ends, as |cos| rises and falls once between two zeros.
double min_abs_cosine(double low, double high) {
  if (!(high - low < 180.0)) return 0.0;
  if (low >= -90.0 && high <= 90.0) {
    const double farthest = std::max(std::abs(low), std::abs(high));
    return kFallingCosine[static_cast<std::size_t>(std::ceil(farthest * kStepsPerDegree))];
  }
  const double next_zero = std::ceil((low - 90.0) / 180.0) * 180.0 + 90.0;
  if (next_zero <= high) return 0.0;
  const double ends = std::min(std::abs(cos_degrees(low)), std::abs(cos_degrees(high)));
  return std::max(0.0, ends - 1.0e-9);
}

}  // namespace pinwright::engine
