#include "map/view.hpp"

#include <algorithm>
#include <cmath>

#include "engine/distance.hpp"

namespace pinwright::map {

namespace {

// The pair within the middle three fifths of each side.
constexpr double kPairShare = 0.6;
// So that the Match radius's circle around row 1 and its surroundings show.
constexpr double kRadiiAcross = 4.0;
// Metres across the smaller side for a pair at one spot with no radius.
constexpr double kMinimumAcross = 10.0;

double finite_or_zero(double value) {
  return std::isfinite(value) ? value : 0.0;
}

// The larger of the two, a candidate that is not a number left aside.
double at_least(double scale, double candidate) {
  return candidate > scale ? candidate : scale;
}

// The centre at which `ground` lies `offset` metres from it. The north scale
// hardly changes with the latitude, so a few rounds settle the latitude; the
// longitude then follows from that latitude's east scale. At a pole no
// longitude moves the ground east or west, and the centre keeps its own.
GeoPoint centre_placing(GeoPoint ground, Point offset, GeoPoint start) {
  double latitude = start.latitude;
  for (int round = 0; round < 4; ++round)
    latitude = ground.latitude -
               offset.y / Projection({start.longitude, latitude}).metres_per_degree_north();
  latitude = std::clamp(latitude, -90.0, 90.0);
  const double east = Projection({start.longitude, latitude}).metres_per_degree_east();
  const double longitude =
      east > 0.0 ? wrap_longitude(ground.longitude - offset.x / east) : start.longitude;
  return {longitude, latitude};
}

}  // namespace

double wrap_longitude(double degrees) {
  double wrapped = std::fmod(degrees, 360.0);
  if (wrapped > 180.0) {
    wrapped -= 360.0;
  } else if (wrapped <= -180.0) {
    wrapped += 360.0;
  }
  return wrapped;
}

Projection::Projection(GeoPoint centre) : centre_(centre) {
  const engine::Origin origin(static_cast<float>(centre.latitude),
                              static_cast<float>(centre.longitude));
  const double per_degree =
      static_cast<double>(engine::kDegreeFactor) * static_cast<double>(engine::kMetresPerKm);
  north_ = origin.meridian_radius() * per_degree;
  // The cosine's size only: a latitude past a pole, read from an odd file,
  // must not turn the map's east to the left.
  east_ = static_cast<double>(origin.normal_radius()) *
          std::abs(engine::cos_degrees(centre.latitude)) * per_degree;
}

Point Projection::to_metres(GeoPoint position) const {
  return {wrap_longitude(position.longitude - centre_.longitude) * east_,
          (position.latitude - centre_.latitude) * north_};
}

GeoPoint Projection::to_degrees(Point point) const {
  const double longitude =
      east_ > 0.0 ? wrap_longitude(centre_.longitude + point.x / east_) : centre_.longitude;
  return {longitude, centre_.latitude + point.y / north_};
}

Pixel to_pixel(const View& view, Point point) {
  return {view.width / 2.0 + point.x / view.metres_per_pixel,
          view.height / 2.0 - point.y / view.metres_per_pixel};
}

Point to_point(const View& view, Pixel pixel) {
  return {(pixel.x - view.width / 2.0) * view.metres_per_pixel,
          (view.height / 2.0 - pixel.y) * view.metres_per_pixel};
}

View fit_view(GeoPoint row1, GeoPoint row2, double radius, int width, int height) {
  View view;
  view.width = std::max(width, 1);
  view.height = std::max(height, 1);
  const double half_turn = wrap_longitude(row2.longitude - row1.longitude) / 2.0;
  view.centre = {finite_or_zero(wrap_longitude(row1.longitude + half_turn)),
                 finite_or_zero((row1.latitude + row2.latitude) / 2.0)};

  const Projection projection(view.centre);
  const Point a = projection.to_metres(row1);
  const Point b = projection.to_metres(row2);
  const double across = std::min(view.width, view.height);
  double scale = kMinimumAcross / across;
  scale = at_least(scale, std::abs(b.x - a.x) / (kPairShare * view.width));
  scale = at_least(scale, std::abs(b.y - a.y) / (kPairShare * view.height));
  scale = at_least(scale, kRadiiAcross * radius / across);
  view.metres_per_pixel = std::clamp(scale, kMinMetresPerPixel, kMaxMetresPerPixel);
  return view;
}

View zoom_about(const View& view, Pixel cursor, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return view;
  View zoomed = view;
  zoomed.metres_per_pixel =
      std::clamp(view.metres_per_pixel / factor, kMinMetresPerPixel, kMaxMetresPerPixel);
  const GeoPoint ground = Projection(view.centre).to_degrees(to_point(view, cursor));
  zoomed.centre = centre_placing(ground, to_point(zoomed, cursor), view.centre);
  return zoomed;
}

View pan(const View& view, double dx, double dy) {
  View moved = view;
  moved.centre = centre_placing(
      view.centre, {dx * view.metres_per_pixel, -dy * view.metres_per_pixel}, view.centre);
  return moved;
}

}  // namespace pinwright::map
