#pragma once

namespace pinwright::map {

// A position in decimal degrees, east and north positive.
struct GeoPoint {
  double longitude = 0.0;
  double latitude = 0.0;
};

// Metres from the view's centre on the map: x east, y north.
struct Point {
  double x = 0.0;
  double y = 0.0;
};

// A place in the view in pixels from its top-left corner: x right, y down.
// Pixel (i, j) covers [i, i + 1) x [j, j + 1).
struct Pixel {
  double x = 0.0;
  double y = 0.0;
};

// What the map shows: the ground around `centre` at a scale, north up, on a
// widget of width x height pixels.
struct View {
  GeoPoint centre;
  double metres_per_pixel = 1.0;
  int width = 1;
  int height = 1;
};

// From a millimetre to 50 km a pixel: an 800-pixel view then spans the globe.
inline constexpr double kMinMetresPerPixel = 0.001;
inline constexpr double kMaxMetresPerPixel = 50'000.0;

// `degrees` brought into (-180, 180].
double wrap_longitude(double degrees);

// A flat map local to one centre: the longitude difference, taken the short
// way round, scaled east-west by the cosine of the centre's latitude.
//
// The scales are the radii of curvature and the degree factor of the distance
// routine (engine/distance.hpp), taken at the centre rather than at point 1.
// Both are flat approximations of the same kind, so the map's length of a
// pair's line agrees with the separation the review rows show to within the
// small change of the radii between the centre and the pair; across the
// 180th meridian the map takes the short way where the routine does not.
class Projection {
 public:
  explicit Projection(GeoPoint centre);

  Point to_metres(GeoPoint position) const;
  GeoPoint to_degrees(Point point) const;

  double metres_per_degree_north() const { return north_; }
  // Zero at the poles, where a longitude difference has no east-west extent.
  double metres_per_degree_east() const { return east_; }

 private:
  GeoPoint centre_;
  double north_;
  double east_;
};

Pixel to_pixel(const View& view, Point point);
Point to_point(const View& view, Pixel pixel);

// The view at a review stop: centred on the pair's midpoint (the longitude
// taken the short way round), the pair within the middle three fifths of
// each side, and at least four Match radii (and ten metres) across the
// smaller side. Width and height below one pixel count as one.
View fit_view(GeoPoint row1, GeoPoint row2, double radius, int width, int height);

// `factor` times larger (above 1: zoom in), the ground under `cursor` staying
// under it; the scale stays within its limits.
View zoom_about(const View& view, Pixel cursor, double factor);

// The ground moved by dx pixels right and dy pixels down, as by a drag.
View pan(const View& view, double dx, double dy);

}  // namespace pinwright::map
