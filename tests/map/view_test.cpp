// The map's projection and view: a pair's separation on the map against
// distances worked out independently, the rules of the fitted view, and zoom
// and pan keeping the ground where the user holds it.
#include "map/view.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "engine/distance.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::map {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(wrap_longitude_test, brings_any_longitude_into_the_half_open_turn) {
  const std::pair<double, double> cases[] = {{0, 0},      {180, 180},    {-180, 180}, {190, -170},
                                             {-190, 170}, {540, 180},    {-540, 180}, {359.5, -0.5},
                                             {-0.0, 0},   {720.25, 0.25}};
  for (const auto& [degrees, wrapped] : cases)
    EXPECT_EQ(wrap_longitude(degrees), wrapped) << degrees;
}

// The separation by spherical trigonometry, scaled by the ellipsoid: the
// central angle from the haversine and the direction from the initial
// bearing, north-south by the meridional radius and east-west by the
// prime-vertical radius at the pair's mean latitude. Longitudes need no
// wrapping here: the formulas are periodic.
double haversine_on_radii(GeoPoint a, GeoPoint b) {
  const double rad = std::numbers::pi / 180.0;
  const double phi1 = a.latitude * rad;
  const double phi2 = b.latitude * rad;
  const double lambda = (b.longitude - a.longitude) * rad;
  const double h = std::pow(std::sin((phi2 - phi1) / 2), 2) +
                   std::cos(phi1) * std::cos(phi2) * std::pow(std::sin(lambda / 2), 2);
  const double angle = 2 * std::asin(std::sqrt(h));
  const double bearing = std::atan2(
      std::sin(lambda) * std::cos(phi2),
      std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(lambda));
  const double e2 = 0.0066831387;
  const double w = 1 - e2 * std::pow(std::sin((phi1 + phi2) / 2), 2);
  const double meridional = 6378137.0 * (1 - e2) / w;  // first power of W, as the routine has it
  const double prime_vertical = 6378137.0 / std::sqrt(w);
  return angle * std::hypot(meridional * std::cos(bearing), prime_vertical * std::sin(bearing));
}

// The distance routine with row 2's longitude written on row 1's side of the
// 180th meridian, where the routine measures the short way.
double routine_distance(GeoPoint a, GeoPoint b) {
  double longitude = b.longitude;
  if (longitude - a.longitude > 180) longitude -= 360;
  if (longitude - a.longitude < -180) longitude += 360;
  return engine::distance(static_cast<float>(a.latitude), static_cast<float>(a.longitude),
                          static_cast<float>(b.latitude), static_cast<float>(longitude));
}

struct PairCase {
  std::string name;
  float lon1, lat1, lon2, lat2;
};

void PrintTo(const PairCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.lon1, row.lat1, row.lon2, row.lat2);
}

class pair_on_map_test : public ::testing::TestWithParam<PairCase> {};

TEST_P(pair_on_map_test, lies_as_far_apart_as_measured_and_either_side_of_the_centre) {
  const PairCase& c = GetParam();
  const GeoPoint row1{c.lon1, c.lat1};
  const GeoPoint row2{c.lon2, c.lat2};
  const View view = fit_view(row1, row2, 20.0, 800, 600);
  const Projection projection(view.centre);
  const Point a = projection.to_metres(row1);
  const Point b = projection.to_metres(row2);
  EXPECT_NEAR(a.x, -b.x, 1e-6);
  EXPECT_NEAR(a.y, -b.y, 1e-6);

  const double on_map = std::hypot(b.x - a.x, b.y - a.y);
  const double routine = routine_distance(row1, row2);
  // The routine takes the cosine at row 1's latitude, the map at the centre's:
  // they differ by a share of about tan(latitude) times the latitude between.
  const double rad = std::numbers::pi / 180;
  const double share = std::abs(std::tan(c.lat1 * rad)) * std::abs(c.lat2 - c.lat1) * rad;
  const double tolerance = (1e-4 + share) * routine + 1e-3;
  EXPECT_NEAR(on_map, routine, tolerance);
  EXPECT_NEAR(on_map, haversine_on_radii(row1, row2), tolerance);
  EXPECT_LT(on_map, 10'000.0);  // never the long way round
}

INSTANTIATE_TEST_SUITE_P(
    pairs, pair_on_map_test,
    ::testing::Values(PairCase{"north_south", 5.0710f, 52.4960f, 5.0710f, 52.49612f},
                      PairCase{"east_west_on_the_equator", 10.0f, 0.0f, 10.0002f, 0.0f},
                      PairCase{"diagonal_south_east", 151.2093f, -33.8688f, 151.2100f, -33.8690f},
                      PairCase{"kilometres_apart", 2.35f, 48.85f, 2.37f, 48.86f},
                      PairCase{"across_180_eastwards", 179.9999f, 45.0f, -179.9999f, 45.0f},
                      PairCase{"across_180_westwards", -179.99995f, -16.5f, 179.99991f, -16.5002f},
                      PairCase{"side_by_side_at_89_9", 10.0f, 89.9f, 10.1f, 89.9f},
                      PairCase{"near_the_south_pole", -45.0f, -89.9f, -44.9f, -89.9001f}),
    [](const auto& info) { return info.param.name; });

enum class Rule { radii, pair_width, pair_height, minimum, largest_scale };

struct FitCase {
  std::string name;
  GeoPoint row1, row2;
  double radius;
  int width, height;
  Rule binding;
};

void PrintTo(const FitCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.radius, row.width, row.height);
}

class fit_view_test : public ::testing::TestWithParam<FitCase> {};

TEST_P(fit_view_test, centres_the_pair_and_takes_the_scale_of_its_tightest_rule) {
  const FitCase& c = GetParam();
  const View view = fit_view(c.row1, c.row2, c.radius, c.width, c.height);
  EXPECT_EQ(view.width, std::max(c.width, 1));
  EXPECT_EQ(view.height, std::max(c.height, 1));
  const Projection projection(view.centre);
  const Point a = projection.to_metres(c.row1);
  const Point b = projection.to_metres(c.row2);
  EXPECT_NEAR(a.x, -b.x, 1e-6);
  EXPECT_NEAR(a.y, -b.y, 1e-6);

  const double mpp = view.metres_per_pixel;
  const double across = std::min(view.width, view.height) * mpp;
  const double tolerance = 1e-9 * across;
  // Every rule holds...
  if (view.metres_per_pixel < kMaxMetresPerPixel) {
    if (c.radius > 0) {
      EXPECT_GE(across, 4 * c.radius - tolerance);
    }
    EXPECT_LE(std::abs(b.x - a.x), 0.6 * view.width * mpp + tolerance);
    EXPECT_LE(std::abs(b.y - a.y), 0.6 * view.height * mpp + tolerance);
  }
  EXPECT_GE(across, 10.0 - tolerance);
  // ...and the binding one exactly: the view is no larger than it must be.
  switch (c.binding) {
    case Rule::radii:
      EXPECT_NEAR(across, 4 * c.radius, tolerance);
      break;
    case Rule::pair_width:
      EXPECT_NEAR(std::abs(b.x - a.x), 0.6 * view.width * mpp, tolerance);
      break;
    case Rule::pair_height:
      EXPECT_NEAR(std::abs(b.y - a.y), 0.6 * view.height * mpp, tolerance);
      break;
    case Rule::minimum:
      EXPECT_NEAR(across, 10.0, tolerance);
      break;
    case Rule::largest_scale:
      EXPECT_EQ(mpp, kMaxMetresPerPixel);
      break;
  }
}

const GeoPoint kVolendam{5.0710, 52.4960};
const GeoPoint kVolendamCentrum{5.0710, 52.49612};

INSTANTIATE_TEST_SUITE_P(
    rules, fit_view_test,
    ::testing::Values(
        FitCase{"four_radii_across", kVolendam, kVolendamCentrum, 20, 800, 600, Rule::radii},
        FitCase{"pair_wider_than_the_radii",
                {5.0, 52.0},
                {5.008, 52.0},
                20,
                800,
                600,
                Rule::pair_width},
        FitCase{"pair_taller_than_the_radii",
                {5.0, 52.0},
                {5.0, 52.005},
                20,
                300,
                900,
                Rule::pair_height},
        FitCase{"one_spot_no_radius", kVolendam, kVolendam, 0, 800, 600, Rule::minimum},
        FitCase{"radius_not_a_number", kVolendam, kVolendam, kNan, 800, 600, Rule::minimum},
        FitCase{"radius_beyond_the_globe", kVolendam, kVolendamCentrum, 1e30, 800, 600,
                Rule::largest_scale},
        FitCase{"across_180", {179.9999, 45}, {-179.9999, 45}, 20, 800, 600, Rule::radii},
        FitCase{"at_89_9", {10.0, 89.9}, {10.1, 89.9}, 2, 800, 600, Rule::pair_width},
        FitCase{"no_pixels", kVolendam, kVolendamCentrum, 20, 0, -5, Rule::radii}),
    [](const auto& info) { return info.param.name; });

TEST(fit_view_test, centres_across_180_on_the_meridian_itself) {
  const View view = fit_view({179.9999, 45}, {-179.9999, 45}, 20, 800, 600);
  EXPECT_NEAR(std::abs(view.centre.longitude), 180.0, 1e-9);
  EXPECT_EQ(view.centre.latitude, 45.0);
}

// Where `ground` shows in `view`, in pixels.
Pixel pixel_of(const View& view, GeoPoint ground) {
  return to_pixel(view, Projection(view.centre).to_metres(ground));
}

struct ZoomCase {
  std::string name;
  View view;
  Pixel cursor;
  double factor;
};

void PrintTo(const ZoomCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.factor);
}

class zoom_about_test : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(zoom_about_test, keeps_the_ground_under_the_cursor) {
  const ZoomCase& c = GetParam();
  const GeoPoint ground = Projection(c.view.centre).to_degrees(to_point(c.view, c.cursor));
  const View zoomed = zoom_about(c.view, c.cursor, c.factor);
  EXPECT_EQ(zoomed.metres_per_pixel,
            std::clamp(c.view.metres_per_pixel / c.factor, kMinMetresPerPixel, kMaxMetresPerPixel));
  const Pixel after = pixel_of(zoomed, ground);
  EXPECT_NEAR(after.x, c.cursor.x, 1e-6);
  EXPECT_NEAR(after.y, c.cursor.y, 1e-6);
  EXPECT_GT(zoomed.centre.longitude, -180.0);
  EXPECT_LE(zoomed.centre.longitude, 180.0);
}

INSTANTIATE_TEST_SUITE_P(
    cases, zoom_about_test,
    ::testing::Values(
        ZoomCase{"in_at_a_corner", {{5.071, 52.496}, 0.1, 800, 600}, {0, 0}, 1.25},
        ZoomCase{"out_at_the_bottom_right", {{5.071, 52.496}, 0.1, 800, 600}, {799, 599}, 0.8},
        ZoomCase{"far_out", {{5.071, 52.496}, 1.0, 800, 600}, {100, 500}, 1e-3},
        ZoomCase{"at_the_centre", {{5.071, 52.496}, 0.1, 800, 600}, {400, 300}, 2},
        ZoomCase{"ground_past_180", {{179.9999, 45}, 1.0, 800, 600}, {790, 300}, 4},
        ZoomCase{"ground_west_of_minus_180", {{-179.9999, -10}, 5.0, 800, 600}, {3, 10}, 0.5},
        ZoomCase{"at_89_9", {{10.05, 89.9}, 0.2, 800, 600}, {20, 20}, 1.5},
        ZoomCase{
            "at_the_finest_scale", {{5.071, 52.496}, kMinMetresPerPixel, 800, 600}, {10, 10}, 3}),
    [](const auto& info) { return info.param.name; });

TEST(zoom_about_test, leaves_the_view_for_a_factor_that_is_no_zoom) {
  const View view{{5.071, 52.496}, 0.1, 800, 600};
  for (const double factor : {0.0, -2.0, kNan, std::numeric_limits<double>::infinity()}) {
    const View same = zoom_about(view, {10, 10}, factor);
    EXPECT_EQ(same.metres_per_pixel, view.metres_per_pixel) << factor;
    EXPECT_EQ(same.centre.longitude, view.centre.longitude) << factor;
  }
}

struct PanCase {
  std::string name;
  View view;
  double dx, dy;
};

void PrintTo(const PanCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.dx, row.dy);
}

class pan_test : public ::testing::TestWithParam<PanCase> {};

TEST_P(pan_test, moves_the_ground_with_the_drag) {
  const PanCase& c = GetParam();
  const View moved = pan(c.view, c.dx, c.dy);
  EXPECT_EQ(moved.metres_per_pixel, c.view.metres_per_pixel);
  const Pixel old_centre = pixel_of(moved, c.view.centre);
  EXPECT_NEAR(old_centre.x, c.view.width / 2.0 + c.dx, 1e-6);
  EXPECT_NEAR(old_centre.y, c.view.height / 2.0 + c.dy, 1e-6);
  EXPECT_GT(moved.centre.longitude, -180.0);
  EXPECT_LE(moved.centre.longitude, 180.0);
}

INSTANTIATE_TEST_SUITE_P(
    cases, pan_test,
    ::testing::Values(PanCase{"right_and_down", {{5.071, 52.496}, 0.1, 800, 600}, 30, 40},
                      PanCase{"left_across_180", {{179.9999, 45}, 1.0, 800, 600}, -300, 0},
                      PanCase{"right_across_minus_180", {{-179.9999, 45}, 1.0, 800, 600}, 300, -5},
                      PanCase{"at_89_9", {{10.05, 89.9}, 0.2, 800, 600}, -50, 25}),
    [](const auto& info) { return info.param.name; });

TEST(pan_test, stops_at_the_pole) {
  const View moved = pan({{10.05, 89.99}, 100.0, 800, 600}, 0, 5000);
  EXPECT_EQ(moved.centre.latitude, 90.0);
  EXPECT_EQ(pan({{10.05, -89.99}, 100.0, 800, 600}, 0, -5000).centre.latitude, -90.0);
}

}  // namespace
}  // namespace pinwright::map
