#include "engine/distance.hpp"

#include <cmath>
#include <numbers>

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"

namespace pinwright::engine {

namespace {

// e^2 = (sqrt(k))^2 stored in single precision; this gives k back.
const float kE2 = [] {
  const double root = std::sqrt(static_cast<double>(kEllipsoidConstant));
  return static_cast<float>(root * root);
}();

// A = 6378.137 * (1 - e^2), stored in single precision.
const float kA =
    static_cast<float>(static_cast<double>(kEquatorialRadiusKm) * (1.0 - static_cast<double>(kE2)));

double to_radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

}  // namespace

double sin_degrees(double degrees) {
  const double reduced = std::fmod(degrees, 360.0);
  if (reduced == 0.0) return 0.0;
  if (reduced == 90.0) return 1.0;
  if (reduced == 180.0) return 0.0;
  if (reduced == 270.0) return -1.0;
  return std::sin(to_radians(reduced));
}

double cos_degrees(double degrees) {
  const double reduced = std::fmod(degrees, 360.0);
  if (reduced == 0.0) return 1.0;
  if (reduced == 90.0) return 0.0;
  if (reduced == 180.0) return -1.0;
  if (reduced == 270.0) return 0.0;
  return std::cos(to_radians(reduced));
}

Origin::Origin(float latitude, float longitude) : latitude_(latitude), longitude_(longitude) {
  const double s = sin_degrees(latitude);
  const double w = 1.0 - static_cast<double>(kE2) * (s * s);
  meridian_radius_ = static_cast<double>(kA) / w;  // the first power of W, as defined
  normal_radius_ = static_cast<float>(static_cast<double>(kEquatorialRadiusKm) / std::sqrt(w));
  cosine_ = cos_degrees(latitude);
}

float Origin::distance_to(float latitude, float longitude) const {
  const double k = kDegreeFactor;
  const float north =
      static_cast<float>((static_cast<double>(latitude) - latitude_) * meridian_radius_ * k);
  const double east = (static_cast<double>(longitude) - longitude_) * normal_radius_ * cosine_ * k;
  const double north_d = north;
  return static_cast<float>(std::sqrt(north_d * north_d + east * east) * kMetresPerKm);
}

float distance(float latitude1, float longitude1, float latitude2, float longitude2) {
  return Origin(latitude1, longitude1).distance_to(latitude2, longitude2);
}

std::string separation_text(float metres) {
  return std::string(poi::trim_right(poi::f8_2(metres)));
}

}  // namespace pinwright::engine
