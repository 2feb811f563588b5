#pragma once

#include <string>

namespace pinwright::engine {

// The one geometry of the program: a local flat-earth distance on an ellipsoid.
// A north-south and an east-west offset, each scaled by a radius of curvature
// taken at point 1's latitude, combined by Pythagoras. Every threshold (1 m,
// the Match radius, exclusion radii) is compared against this value, so its
// single-precision storage points are part of its definition: a different
// rounding moves pairs across the 1 m line.
//
// Not a great-circle distance, not symmetric (the radii and the cosine belong
// to point 1), and longitudes are not wrapped: 179.9 and -179.9 are 359.8
// degrees apart.

inline constexpr float kEllipsoidConstant = 0.0066831387f;  // e^2 as used here; bits 0x3BDAFE3B
inline constexpr float kEquatorialRadiusKm = 6378.137f;
inline constexpr float kDegreeFactor = 0.0174532f;  // truncated, not pi/180; bits 0x3C8EFA03
inline constexpr float kMetresPerKm = 1000.0f;

// Sine and cosine of an angle in degrees. The angle is reduced by a floating
// remainder of 360 (keeping its sign); 0, 90, 180 and 270 give exact values.
double sin_degrees(double degrees);
double cos_degrees(double degrees);

// The terms that depend on point 1 only, computed once for many points 2.
class Origin {
 public:
  // Decimal degrees; any float, poles and out-of-range latitudes included.
  Origin(float latitude, float longitude);

  // Metres from this origin to point 2.
  float distance_to(float latitude, float longitude) const;

  float latitude() const { return latitude_; }
  float longitude() const { return longitude_; }
  double meridian_radius() const { return meridian_radius_; }  // M, km
  float normal_radius() const { return normal_radius_; }       // N, km
  double cosine() const { return cosine_; }                    // t

 private:
  float latitude_;
  float longitude_;
  double meridian_radius_;
  float normal_radius_;
  double cosine_;
};

// Metres between point 1 and point 2; latitude before longitude in each pair.
float distance(float latitude1, float longitude1, float latitude2, float longitude2);

// The separation as shown in the dialog: F8.2 with trailing blanks cut.
std::string separation_text(float metres);

}  // namespace pinwright::engine
