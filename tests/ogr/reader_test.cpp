#include <gtest/gtest.h>

#include <cmath>
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

std::string feature(const std::string& geometry, const std::string& properties) {
  return testing::geojson_feature(geometry, properties);
}

using testing::geojson_collection;

std::string point(double x, double y) {
  char text[96];
  std::snprintf(text, sizeof text, R"({"type": "Point", "coordinates": [%.10f, %.10f]})", x, y);
  return text;
}

// Spherical Mercator metres of a WGS 84 position.
std::pair<double, double> mercator(double longitude, double latitude) {
  constexpr double kRadius = 6378137.0;
  const double radians = std::numbers::pi / 180.0;
  return {kRadius * longitude * radians,
          kRadius * std::log(std::tan(std::numbers::pi / 4.0 + latitude * radians / 2.0))};
}

TEST(ogr_reader, geojson_in_web_mercator_comes_out_in_degrees) {
  TempDir dir;
  const auto [x1, y1] = mercator(4.89, 52.37);
  const auto [x2, y2] = mercator(-122.41942, 37.77493);
  const std::string path = dir.write(
      "in.geojson",
      geojson_collection({feature(point(x1, y1), R"("name": "Amsterdam", "desc": "Centraal")"),
                          feature(point(x2, y2), R"("name": "San Francisco")")},
                         "urn:ogc:def:crs:EPSG::3857"));
  const ReadPoints read = read_all_points(path, {});
  ASSERT_FALSE(read.result.failure);
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_NEAR(read.points[0].longitude, 4.89, 1e-9);
  EXPECT_NEAR(read.points[0].latitude, 52.37, 1e-9);
  EXPECT_EQ(read.points[0].name, "Amsterdam");
  EXPECT_EQ(read.points[0].information, "Centraal");
  EXPECT_NEAR(read.points[1].longitude, -122.41942, 1e-9);
  EXPECT_NEAR(read.points[1].latitude, 37.77493, 1e-9);
  EXPECT_EQ(read.points[1].information, "");
}

TEST(ogr_reader, other_geometries_are_skipped_and_counted) {
  TempDir dir;
  const std::string path = dir.write(
      "in.geojson",
      geojson_collection({feature(R"({"type": "LineString", "coordinates": [[1, 2], [3, 4]]})",
                                  R"("name": "Road")"),
                          feature(point(1, 2), R"("name": "A")"),
                          feature(R"({"type": "MultiPoint", "coordinates": [[5, 6], [7, 8]]})",
                                  R"("name": "Pair")"),
                          feature("null", R"("name": "Nowhere")")}));
  const ReadPoints read = read_all_points(path, {});
  ASSERT_FALSE(read.result.failure);
  EXPECT_EQ(read.result.points, 3);
  EXPECT_EQ(read.result.skipped, 2);
  ASSERT_EQ(read.points.size(), 3u);
  EXPECT_EQ(read.points[1].name, "Pair");
  EXPECT_EQ(read.points[2].longitude, 7.0);
  EXPECT_EQ(read.points[2].name, "Pair");
}

// A GPX file with 2 waypoints, a route of 3 points and a track of 2
// segments of 2 points each.
constexpr const char* kGpx = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="52.37" lon="4.89"><name>Station</name><desc>open 24h</desc></wpt>
<wpt lat="52.36" lon="4.88"><name>Museum</name></wpt>
<rte><name>Walk</name>
<rtept lat="1" lon="2"><name>R1</name></rtept><rtept lat="1.5" lon="2.5"><name>R2</name></rtept>
<rtept lat="2" lon="3"><name>R3</name></rtept></rte>
<trk><name>Ride</name>
<trkseg><trkpt lat="10" lon="20"><name>T1</name></trkpt><trkpt lat="11" lon="21"/></trkseg>
<trkseg><trkpt lat="12" lon="22"/><trkpt lat="13" lon="23"><name>T4</name></trkpt></trkseg></trk>
</gpx>
)";

struct GpxCase {
  GpxPoints points;
  std::vector<std::string> names;
  double first_longitude;
  std::int64_t skipped;
};

void PrintTo(const GpxCase& row, std::ostream* out) {
  testing::print_row(out, row.names, row.first_longitude, row.skipped);
}

std::string gpx_points_name(GpxPoints points) {
  switch (points) {
    case GpxPoints::routes:
      return "routes";
    case GpxPoints::tracks:
      return "tracks";
    case GpxPoints::waypoints:
      break;
  }
  return "waypoints";
}

class ogr_gpx_points : public ::testing::TestWithParam<GpxCase> {};

TEST_P(ogr_gpx_points, reads_the_chosen_points_and_counts_the_rest) {
  TempDir dir;
  ReadOptions options;
  options.gpx_points = GetParam().points;
  const ReadPoints read = read_all_points(dir.write("in.gpx", kGpx), options);
  ASSERT_FALSE(read.result.failure);
  std::vector<std::string> names;
  for (const Point& point : read.points) names.push_back(point.name);
  EXPECT_EQ(names, GetParam().names);
  EXPECT_EQ(read.points.front().longitude, GetParam().first_longitude);
  EXPECT_EQ(read.result.skipped, GetParam().skipped);
}

INSTANTIATE_TEST_SUITE_P(
    cases, ogr_gpx_points,
    ::testing::Values(GpxCase{GpxPoints::waypoints, {"Station", "Museum"}, 4.89, 2},
                      GpxCase{GpxPoints::routes, {"R1", "R2", "R3"}, 2.0, 3},
                      GpxCase{GpxPoints::tracks, {"T1", "", "", "T4"}, 20.0, 3}),
    [](const auto& info) { return gpx_points_name(info.param.points); });

// Routes and tracks not chosen are counted only where the file's bytes show
// their tags, searched a megabyte at a time: a tag across two of those
// stretches, at every cut, must still be seen and counted.
class ogr_gpx_tag_at_a_cut : public ::testing::TestWithParam<int> {};

TEST_P(ogr_gpx_tag_at_a_cut, is_still_counted) {
  constexpr std::size_t kStretch = std::size_t{1} << 20;
  const std::string head = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="52.37" lon="4.89"><name>Karte rte trk</name></wpt>
)";
  const std::string tail = R"(
<trk><name>Ride</name><trkseg><trkpt lat="10" lon="20"/></trkseg></trk>
</gpx>
)";
  // The track's '<' at kStretch - GetParam(): cuts before, inside and after "<trk>".
  const std::size_t before_track = tail.find("<trk>");
  const std::size_t padding =
      kStretch - static_cast<std::size_t>(GetParam()) - head.size() - before_track;
  // Waypoints fill the file up to there (a single long text would be
  // refused by the driver), blanks the rest.
  const std::string filler = "<wpt lat=\"1\" lon=\"2\"/>\n";
  std::string body(padding % filler.size(), ' ');
  for (std::size_t k = 0; k < padding / filler.size(); ++k) body += filler;
  TempDir dir;
  const std::string path = dir.write("in.gpx", head + body + tail);
  const ReadPoints read = read_all_points(path, {});
  ASSERT_FALSE(read.result.failure);
  ASSERT_EQ(read.points.size(), 1 + padding / filler.size());
  EXPECT_EQ(read.result.skipped, 1);
}

INSTANTIATE_TEST_SUITE_P(cuts, ogr_gpx_tag_at_a_cut, ::testing::Range(-1, 7), [](const auto& info) {
  return testing::test_name("at " + std::to_string(info.param));
});

TEST(ogr_reader, gpx_description_is_the_information) {
  TempDir dir;
  const ReadPoints read = read_all_points(dir.write("in.gpx", kGpx), {});
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_EQ(read.points[0].information, "open 24h");
  EXPECT_EQ(read.points[0].latitude, 52.37);
}

TEST(ogr_reader, chosen_fields_give_name_and_information) {
  TempDir dir;
  const std::string path = dir.write(
      "in.geojson", geojson_collection({feature(
                        point(1, 2), R"("name": "n", "title": "Mill", "notes": "1850")")}));
  ReadOptions options;
  options.name_field = "title";
  options.info_field = "notes";
  const ReadPoints read = read_all_points(path, options);
  ASSERT_FALSE(read.result.failure);
  ASSERT_EQ(read.points.size(), 1u);
  EXPECT_EQ(read.points[0].name, "Mill");
  EXPECT_EQ(read.points[0].information, "1850");
}

TEST(ogr_reader, description_serves_when_there_is_no_desc) {
  TempDir dir;
  const std::string path = dir.write(
      "in.geojson",
      geojson_collection({feature(point(1, 2), R"("NAME": "Mill", "Description": "old")")}));
  const ReadPoints read = read_all_points(path, {});
  ASSERT_EQ(read.points.size(), 1u);
  EXPECT_EQ(read.points[0].name, "Mill");
  EXPECT_EQ(read.points[0].information, "old");
}

struct CsvCase {
  std::string label;
  std::string text;
  std::string x_field;
  std::string y_field;
};

void PrintTo(const CsvCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.x_field, row.y_field);
}

class ogr_csv_columns : public ::testing::TestWithParam<CsvCase> {};

TEST_P(ogr_csv_columns, find_the_position) {
  TempDir dir;
  ReadOptions options;
  options.driver = "CSV";
  options.x_field = GetParam().x_field;
  options.y_field = GetParam().y_field;
  const ReadPoints read = read_all_points(dir.write("in.csv", GetParam().text), options);
  ASSERT_FALSE(read.result.failure) << read.result.failure->detail;
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_EQ(read.points[0].longitude, 4.89);
  EXPECT_EQ(read.points[0].latitude, 52.37);
  EXPECT_EQ(read.points[0].name, "Station, main");
  EXPECT_EQ(read.points[1].longitude, -0.5);
  EXPECT_EQ(read.points[1].name, "Pier");
}

INSTANTIATE_TEST_SUITE_P(
    cases, ogr_csv_columns,
    ::testing::Values(
        CsvCase{"usual_names", "name,lat,lon,desc\n\"Station, main\",52.37,4.89,x\nPier,1,-0.5,\n",
                "", ""},
        CsvCase{"chosen_columns",
                "label,north,east,name\nq,52.37,4.89,\"Station, main\"\nq,1,-0.5,Pier\n", "east",
                "north"}),
    [](const auto& info) { return info.param.label; });

// Bad input, each with where it is reported.
struct BadCase {
  std::string label;
  std::string file_name;
  std::string content;
  ReadOptions options;
  ReadFailure::Kind kind;
  std::string layer;
  std::int64_t feature;
  std::string field;
  std::string detail;
};

void PrintTo(const BadCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.file_name, row.layer, row.feature, row.field, row.detail);
}

class ogr_bad_input : public ::testing::TestWithParam<BadCase> {};

TEST_P(ogr_bad_input, fails_naming_file_and_feature) {
  TempDir dir;
  const BadCase& c = GetParam();
  const std::string path =
      c.content.empty() ? dir.file(c.file_name) : dir.write(c.file_name, c.content);
  const ReadPoints read = read_all_points(path, c.options);
  ASSERT_TRUE(read.result.failure);
  const ReadFailure& failure = *read.result.failure;
  EXPECT_EQ(failure.kind, c.kind);
  EXPECT_EQ(failure.path, path);
  EXPECT_EQ(failure.layer, c.layer);
  EXPECT_EQ(failure.feature, c.feature);
  EXPECT_EQ(failure.field, c.field);
  EXPECT_EQ(failure.detail, c.detail);
}

ReadOptions with_name_field(const std::string& field) {
  ReadOptions options;
  options.name_field = field;
  return options;
}

ReadOptions with_info_field(const std::string& field) {
  ReadOptions options;
  options.info_field = field;
  return options;
}

// Content empty: the file does not exist.
const BadCase kBadCases[] = {
    {"missing_file", "none.geojson", "", ReadOptions{}, ReadFailure::Kind::cannot_open, "", 0, "",
     "there is no such file"},
    {"not_a_vector_file", "junk.gpkg", "this is no database\n", ReadOptions{},
     ReadFailure::Kind::cannot_open, "", 0, "", "not a vector file OGR can read"},
    {"lines_only", "lines.geojson",
     geojson_collection({feature(R"({"type": "LineString", "coordinates": [[1, 2], [3, 4]]})",
                                 R"("name": "Road")")}),
     ReadOptions{}, ReadFailure::Kind::no_points, "lines", 0, "", ""},
    {"no_name_field", "anon.geojson",
     geojson_collection({feature(point(1, 2), R"("title": "Mill")")}), ReadOptions{},
     ReadFailure::Kind::no_name_field, "anon", 0, "", ""},
    {"chosen_name_field_missing", "named.geojson",
     geojson_collection({feature(point(1, 2), R"("name": "Mill")")}), with_name_field("label"),
     ReadFailure::Kind::named_field_missing, "named", 0, "label", ""},
    {"chosen_info_field_missing", "noted.geojson",
     geojson_collection({feature(point(1, 2), R"("name": "Mill", "desc": "old")")}),
     with_info_field("notes"), ReadFailure::Kind::named_field_missing, "noted", 0, "notes", ""},
    {"latitude_beyond_the_pole", "pole.geojson",
     geojson_collection(
         {feature(point(1, 2), R"("name": "A")"), feature(point(1, 95), R"("name": "B")")}),
     ReadOptions{}, ReadFailure::Kind::outside_range, "pole", 2, "",
     "longitude 1.000000, latitude 95.000000"},
    {"utm_far_outside_its_zone", "wide.geojson",
     geojson_collection({feature(point(500000, 0), R"("name": "A")"),
                         feature(point(600000, 1000), R"("name": "B")"),
                         feature(point(5e7, 5e7), R"("name": "C")")},
                        "urn:ogc:def:crs:EPSG::32631"),
     ReadOptions{}, ReadFailure::Kind::outside_range, "wide", 3, "",
     "cannot be transformed to WGS 84"},
};

INSTANTIATE_TEST_SUITE_P(cases, ogr_bad_input, ::testing::ValuesIn(kBadCases),
                         [](const auto& info) { return info.param.label; });

TEST(ogr_reader, no_name_field_lists_the_fields_there_are) {
  TempDir dir;
  const std::string path =
      dir.write("anon.geojson",
                geojson_collection({feature(point(1, 2), R"("title": "Mill", "kind": "wind")")}));
  const ReadPoints read = read_all_points(path, {});
  ASSERT_TRUE(read.result.failure);
  EXPECT_EQ(read.result.failure->fields, (std::vector<std::string>{"title", "kind"}));
}

TEST(ogr_reader, points_without_any_field_have_empty_names) {
  TempDir dir;
  const std::string path = dir.write(
      "bare.geojson", geojson_collection({feature(point(1, 2), ""), feature(point(3, 4), "")}));
  const ReadPoints read = read_all_points(path, {});
  ASSERT_FALSE(read.result.failure) << read.result.failure->detail;
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_EQ(read.points[1].name, "");
  EXPECT_EQ(read.points[1].longitude, 3.0);
}

TEST(ogr_reader, table_without_position_columns_names_its_columns) {
  TempDir dir;
  const std::string path = dir.write("mills.csv", "name,east,north\nDe Adriaan,4.64,52.38\n");
  ReadOptions options;
  options.driver = "CSV";
  const ReadPoints read = read_all_points(path, options);
  ASSERT_TRUE(read.result.failure);
  EXPECT_EQ(read.result.failure->kind, ReadFailure::Kind::no_coordinate_columns);
  EXPECT_EQ(read.result.failure->fields, (std::vector<std::string>{"name", "east", "north"}));
  EXPECT_EQ(read.result.failure->detail, "longitude, lon, long, lng, x and latitude, lat, y");
}

// Each cut of a GPX file fails the read with OGR's reason wherever it falls:
// when OGR opens the file (a cut near the start) or while it reads it.
TEST(ogr_reader, gpx_cut_anywhere_is_never_read_in_part) {
  TempDir dir;
  std::string gpx = R"(<?xml version="1.0"?><gpx version="1.1" creator="t">)";
  for (int k = 0; k < 40; ++k)
    gpx += R"(<wpt lat="52.)" + std::to_string(k) + R"(" lon="4.5"><name>P)" + std::to_string(k) +
           "</name></wpt>\n";
  gpx += "</gpx>\n";
  ASSERT_FALSE(read_all_points(dir.write("whole.gpx", gpx), {}).result.failure);
  for (std::size_t cut = gpx.find("</wpt>") + 8; cut < gpx.size() - 8; cut += 97) {
    const ReadPoints read = read_all_points(dir.write("cut.gpx", gpx.substr(0, cut)), {});
    ASSERT_TRUE(read.result.failure) << "cut at byte " << cut;
    const ReadFailure::Kind kind = read.result.failure->kind;
    EXPECT_TRUE(kind == ReadFailure::Kind::damaged || kind == ReadFailure::Kind::cannot_open)
        << "cut at byte " << cut;
    EXPECT_NE(read.result.failure->detail.find("XML"), std::string::npos)
        << "cut at byte " << cut << ": " << read.result.failure->detail;
  }
}

TEST(ogr_formats, extension_chooses_the_driver) {
  EXPECT_EQ(driver_for_path("a/b.GPX"), "GPX");
  EXPECT_EQ(driver_for_path("b.json"), "GeoJSON");
  EXPECT_EQ(driver_for_path("b.fgb"), "FlatGeobuf");
  EXPECT_EQ(driver_for_path("b.shp"), "ESRI Shapefile");
  EXPECT_EQ(driver_for_path("b.csv"), std::nullopt);
  EXPECT_EQ(driver_for_path("b.ov2"), std::nullopt);
  EXPECT_EQ(driver_for_path("dir.gpkg/file"), std::nullopt);
  EXPECT_TRUE(has_vector_driver("CSV"));
  EXPECT_FALSE(has_vector_driver("GTiff"));
  EXPECT_EQ(driver_extensions("GPX"), std::vector<std::string>{"gpx"});
  EXPECT_EQ(driver_extensions("ESRI Shapefile").front(), "shp");
}

}  // namespace
}  // namespace pinwright::ogr
