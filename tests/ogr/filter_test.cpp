#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "ogr/points.hpp"
#include "tests/ogr/geojson_text.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::ogr {
namespace {

using testing::TempDir;

// Three folders, so three layers: two of points and one of a line.
constexpr const char* kThreeFolders = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Folder><name>cafes</name>
<Placemark><name>Corner</name><Point><coordinates>4.89,52.37</coordinates></Point></Placemark>
<Placemark><name>Dock</name><Point><coordinates>4.90,52.38</coordinates></Point></Placemark>
</Folder>
<Folder><name>roads</name>
<Placemark><name>Ring</name><LineString><coordinates>4.8,52.3 4.9,52.4</coordinates></LineString></Placemark>
</Folder>
<Folder><name>shops</name>
<Placemark><name>Baker</name><Point><coordinates>5.12,52.09</coordinates></Point></Placemark>
</Folder>
</Document></kml>
)";

// One folder of points beside one of a line.
constexpr const char* kPointsAndLine = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Folder><name>roads</name>
<Placemark><name>Ring</name><LineString><coordinates>4.8,52.3 4.9,52.4</coordinates></LineString></Placemark>
</Folder>
<Folder><name>cafes</name>
<Placemark><name>Corner</name><Point><coordinates>4.89,52.37</coordinates></Point></Placemark>
</Folder>
</Document></kml>
)";

std::vector<std::string> names_of(const ReadPoints& read) {
  std::vector<std::string> names;
  for (const Point& point : read.points) names.push_back(point.name);
  return names;
}

struct LayerCase {
  const char* label;
  const char* kml;
  std::vector<std::string> layers;
  bool all_layers;
  std::vector<std::string> names;  // read, in order; empty when the read fails
  std::int64_t skipped;
  std::optional<ReadFailure::Kind> failure;
  std::string failed_layer;
  std::vector<std::string> listed;  // the failure's fields
};

void PrintTo(const LayerCase& row, std::ostream* out) {
  *out << row.label;
}

class ogr_layer_choice : public ::testing::TestWithParam<LayerCase> {};

TEST_P(ogr_layer_choice, reads_the_chosen_layers_or_names_them) {
  const LayerCase& c = GetParam();
  TempDir dir;
  ReadOptions options;
  options.layers = c.layers;
  options.all_layers = c.all_layers;
  const ReadPoints read = read_all_points(dir.write("in.kml", c.kml), options);
  if (!c.failure) {
    ASSERT_FALSE(read.result.failure) << static_cast<int>(read.result.failure->kind);
    EXPECT_EQ(names_of(read), c.names);
    EXPECT_EQ(read.result.skipped, c.skipped);
    return;
  }
  ASSERT_TRUE(read.result.failure);
  EXPECT_EQ(read.result.failure->kind, *c.failure);
  EXPECT_EQ(read.result.failure->layer, c.failed_layer);
  EXPECT_EQ(read.result.failure->fields, c.listed);
}

INSTANTIATE_TEST_SUITE_P(
    cases, ogr_layer_choice,
    ::testing::Values(
        LayerCase{"none_chosen_of_two_with_points",
                  kThreeFolders,
                  {},
                  false,
                  {},
                  0,
                  ReadFailure::Kind::several_layers,
                  "",
                  {"cafes", "shops"}},
        LayerCase{"all_layers",
                  kThreeFolders,
                  {},
                  true,
                  {"Corner", "Dock", "Baker"},
                  1,
                  std::nullopt,
                  "",
                  {}},
        LayerCase{
            "one_chosen", kThreeFolders, {"shops"}, false, {"Baker"}, 0, std::nullopt, "", {}},
        LayerCase{"chosen_in_the_order_given_once",
                  kThreeFolders,
                  {"shops", "cafes", "shops"},
                  false,
                  {"Baker", "Corner", "Dock"},
                  0,
                  std::nullopt,
                  "",
                  {}},
        LayerCase{"chosen_layer_missing",
                  kThreeFolders,
                  {"cafes", "bakeries"},
                  false,
                  {},
                  0,
                  ReadFailure::Kind::no_such_layer,
                  "bakeries",
                  {"cafes", "roads", "shops"}},
        LayerCase{"one_of_points_beside_lines",
                  kPointsAndLine,
                  {},
                  false,
                  {"Corner"},
                  1,
                  std::nullopt,
                  "",
                  {}}),
    testing::LabelName{});

std::string feature(double x, double y, const std::string& properties) {
  char geometry[128];
  std::snprintf(geometry, sizeof geometry, R"({"type": "Point", "coordinates": [%.10f, %.10f]})", x,
                y);
  return testing::geojson_feature(geometry, properties);
}

using testing::geojson_collection;

constexpr double kRadians = std::numbers::pi / 180.0;

// Spherical Mercator metres.
std::pair<double, double> mercator(double longitude, double latitude) {
  constexpr double kRadius = 6378137.0;
  return {kRadius * longitude * kRadians,
          kRadius * std::log(std::tan(std::numbers::pi / 4.0 + latitude * kRadians / 2.0))};
}

// Places around Utrecht; the box 5.0,52.0,5.2,52.2 holds Dom and Zuilen.
struct Place {
  const char* name;
  double longitude;
  double latitude;
};
constexpr Place kPlaces[] = {{"Dom", 5.1214, 52.0907},
                             {"Zuilen", 5.0950, 52.1200},
                             {"Gouda", 4.7083, 52.0115},
                             {"Amersfoort", 5.3878, 52.1561},
                             {"Tiel", 5.4297, 51.8861}};

enum class Crs { wgs84, web_mercator };

std::string places(Crs crs) {
  std::vector<std::string> features;
  for (const Place& place : kPlaces) {
    auto [x, y] = std::pair{place.longitude, place.latitude};
    if (crs == Crs::web_mercator) std::tie(x, y) = mercator(x, y);
    features.push_back(feature(x, y, R"("name": ")" + std::string(place.name) + R"(")"));
  }
  return geojson_collection(features, crs == Crs::web_mercator ? "urn:ogc:def:crs:EPSG::3857" : "");
}

class ogr_bbox : public ::testing::TestWithParam<Crs> {};

TEST_P(ogr_bbox, reads_only_the_points_in_the_box) {
  TempDir dir;
  ReadOptions options;
  options.bbox = Bounds{5.0, 52.0, 5.2, 52.2};
  const ReadPoints read = read_all_points(dir.write("in.geojson", places(GetParam())), options);
  ASSERT_FALSE(read.result.failure);
  EXPECT_EQ(names_of(read), (std::vector<std::string>{"Dom", "Zuilen"}));
}

INSTANTIATE_TEST_SUITE_P(cases, ogr_bbox, ::testing::Values(Crs::wgs84, Crs::web_mercator),
                         [](const auto& info) {
                           return info.param == Crs::wgs84 ? "wgs84" : "web_mercator";
                         });

struct WhereCase {
  const char* label;
  const char* file_name;
  std::string where;
  std::vector<std::string> names;  // empty: the filter is refused
};

void PrintTo(const WhereCase& row, std::ostream* out) {
  *out << row.label;
}

class ogr_where : public ::testing::TestWithParam<WhereCase> {};

// A GeoPackage's driver hands the filter to SQLite; GeoJSON's to OGR's SQL.
TEST_P(ogr_where, filters_or_fails_naming_the_layer) {
  const WhereCase& c = GetParam();
  TempDir dir;
  std::vector<Point> written;
  for (const Place& place : kPlaces)
    written.push_back({place.longitude, place.latitude, place.name, ""});
  const std::string path = dir.file(c.file_name);
  ASSERT_FALSE(write_points(path, written, {}).failure);
  ReadOptions options;
  options.where = c.where;
  const ReadPoints read = read_all_points(path, options);
  if (!c.names.empty()) {
    ASSERT_FALSE(read.result.failure) << read.result.failure->detail;
    EXPECT_EQ(names_of(read), c.names);
    return;
  }
  ASSERT_TRUE(read.result.failure);
  EXPECT_EQ(read.result.failure->kind, ReadFailure::Kind::bad_filter);
  EXPECT_EQ(read.result.failure->layer, "places");
  EXPECT_FALSE(read.result.failure->detail.empty());
}

INSTANTIATE_TEST_SUITE_P(
    cases, ogr_where,
    ::testing::Values(
        WhereCase{
            "geojson", "places.geojson", "name LIKE 'A%' OR name = 'Tiel'", {"Amersfoort", "Tiel"}},
        WhereCase{
            "geopackage", "places.gpkg", "name LIKE 'A%' OR name = 'Tiel'", {"Amersfoort", "Tiel"}},
        WhereCase{"geojson_bad_syntax", "places.geojson", "name = = 'x'", {}},
        WhereCase{"geopackage_no_such_column", "places.gpkg", "height > 3", {}}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::ogr
