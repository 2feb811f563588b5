#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "ogr/points.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::ogr {
namespace {

using testing::TempDir;

// Names a text file holds, and the characters markup and column formats
// have to escape.
std::vector<Point> sample_points() {
  return {
      {4.89, 52.37, "Central Station", ", open 24h"},
      {-122.41942, 37.77493, "Pier 39 \"the\" <best> & more; really, yes", ""},
      {0.0, 0.0, "Null Island", "; zero"},
      {179.99999, -89.99999,
       "Caf\xC3\xA9 \xC2\xAB"
       "Z\xC3\xBCrich\xC2\xBB  two  spaces",
       "x"},
      {-180.0, 90.0, std::string(300, 'N') + "end", std::string(200, 'i')},
  };
}

void expect_same_points(const std::vector<Point>& read, const std::vector<Point>& written,
                        double tolerance) {
  ASSERT_EQ(read.size(), written.size());
  for (std::size_t k = 0; k < read.size(); ++k) {
    SCOPED_TRACE("point " + std::to_string(k + 1));
    EXPECT_NEAR(read[k].longitude, written[k].longitude, tolerance);
    EXPECT_NEAR(read[k].latitude, written[k].latitude, tolerance);
    EXPECT_EQ(read[k].name, written[k].name);
    EXPECT_EQ(read[k].information, written[k].information);
  }
}

std::vector<Point> write_and_read(const std::string& path, const std::vector<Point>& points,
                                  const WriteOptions& write = {}, const ReadOptions& read = {}) {
  const WriteResult written = write_points(path, points, write);
  EXPECT_FALSE(written.failure) << *written.failure;
  EXPECT_EQ(written.points, static_cast<std::int64_t>(points.size()));
  const ReadPoints back = read_all_points(path, read);
  EXPECT_FALSE(back.result.failure);
  EXPECT_EQ(back.result.skipped, 0);
  return back.points;
}

struct FormatCase {
  std::string extension;
  double tolerance;  // degrees
};

void PrintTo(const FormatCase& row, std::ostream* out) {
  testing::print_row(out, row.extension, row.tolerance);
}

class ogr_format_round_trip : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ogr_format_round_trip, keeps_positions_and_texts) {
  TempDir dir;
  std::vector<Point> points = sample_points();
  // A dBase text field holds at most 254 bytes.
  if (GetParam().extension == "shp") points.pop_back();
  const std::vector<Point> read = write_and_read(dir.file("out." + GetParam().extension), points);
  expect_same_points(read, points, GetParam().tolerance);
}

INSTANTIATE_TEST_SUITE_P(cases, ogr_format_round_trip,
                         ::testing::Values(FormatCase{"gpx", 1e-9}, FormatCase{"kml", 1e-9},
                                           FormatCase{"geojson", 1e-9}, FormatCase{"gpkg", 0.0},
                                           FormatCase{"fgb", 0.0}, FormatCase{"shp", 0.0}),
                         [](const auto& info) { return info.param.extension; });

TEST(ogr_round_trip, gpx_then_geojson_then_geopackage_and_back) {
  TempDir dir;
  const std::vector<Point> points = sample_points();
  std::vector<Point> passed = points;
  for (const char* name : {"a.gpx", "b.geojson", "c.gpkg"})
    passed = write_and_read(dir.file(name), passed);
  expect_same_points(passed, points, 1e-9);
}

TEST(ogr_round_trip, chosen_fields_are_written_and_read) {
  TempDir dir;
  WriteOptions write;
  write.name_field = "title";
  write.info_field = "notes";
  ReadOptions read;
  read.name_field = "title";
  read.info_field = "notes";
  const std::vector<Point> points = sample_points();
  expect_same_points(write_and_read(dir.file("out.gpkg"), points, write, read), points, 0.0);
  // Under the format's own field names nothing is found.
  EXPECT_EQ(read_all_points(dir.file("out.gpkg"), {}).result.failure->kind,
            ReadFailure::Kind::no_name_field);
}

TEST(ogr_round_trip, gpx_keeps_its_own_fields_whatever_is_chosen) {
  TempDir dir;
  WriteOptions write;
  write.name_field = "title";
  write.info_field = "notes";
  const std::vector<Point> points = sample_points();
  expect_same_points(write_and_read(dir.file("out.gpx"), points, write), points, 1e-9);
}

TEST(ogr_round_trip, driver_named_instead_of_extension) {
  TempDir dir;
  WriteOptions write;
  write.driver = "GeoJSON";
  ReadOptions read;
  read.driver = "GeoJSON";
  const std::vector<Point> points = sample_points();
  expect_same_points(write_and_read(dir.file("out.txt"), points, write, read), points, 1e-9);
}

// A file that cannot be made fails the write in every format, those written
// in memory first and then to the file included.
class ogr_writer_missing_folder : public ::testing::TestWithParam<const char*> {};

TEST_P(ogr_writer_missing_folder, fails) {
  TempDir dir;
  const WriteResult written =
      write_points(dir.file("missing/out.") + GetParam(), sample_points(), {});
  EXPECT_TRUE(written.failure);
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

INSTANTIATE_TEST_SUITE_P(formats, ogr_writer_missing_folder,
                         ::testing::Values("gpx", "kml", "geojson", "gpkg", "fgb", "shp"),
                         [](const auto& info) { return std::string(info.param); });

TEST(ogr_writer, unknown_driver_fails) {
  TempDir dir;
  WriteOptions write;
  write.driver = "NoSuchFormat";
  const WriteResult written = write_points(dir.file("out.x"), sample_points(), write);
  ASSERT_TRUE(written.failure);
  EXPECT_NE(written.failure->find("NoSuchFormat"), std::string::npos);
}

// Runs `command` and gives its standard output; the status in `status`.
std::string run(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  status = pclose(pipe);
  return out;
}

// The names and positions ogrinfo shows for the features of `output`.
struct Shown {
  std::vector<std::string> names;
  std::vector<std::pair<double, double>> positions;
};

// A number of ogrinfo's output, the whole of `text`.
std::optional<double> number(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

Shown shown_features(const std::string& output, const std::string& name_field) {
  Shown shown;
  std::istringstream lines(output);
  std::string line;
  const std::string name_prefix = "  " + name_field + " (String) = ";
  const std::string_view point_prefix = "  POINT (";
  while (std::getline(lines, line)) {
    const std::string_view text = line;
    if (text.starts_with(name_prefix)) shown.names.emplace_back(text.substr(name_prefix.size()));
    if (!text.starts_with(point_prefix) || !text.ends_with(')')) continue;
    const std::string_view pair =
        text.substr(point_prefix.size(), text.size() - point_prefix.size() - 1);
    const std::size_t space = pair.find(' ');
    if (space == std::string_view::npos) continue;
    const auto x = number(pair.substr(0, space));
    const auto y = number(pair.substr(space + 1));
    if (x && y) shown.positions.emplace_back(*x, *y);
  }
  return shown;
}

TEST(ogr_writer, gpx_opens_in_ogrinfo_with_the_same_waypoints) {
  TempDir dir;
  const std::string path = dir.file("out.gpx");
  std::vector<Point> points = sample_points();
  ASSERT_FALSE(write_points(path, points, {}).failure);
  int status = -1;
  const std::string output =
      run(std::string(PINWRIGHT_OGRINFO) + " -ro -al -q '" + path + "' waypoints", status);
  ASSERT_EQ(status, 0) << output;
  const Shown shown = shown_features(output, "name");
  ASSERT_EQ(shown.names.size(), points.size()) << output;
  ASSERT_EQ(shown.positions.size(), points.size()) << output;
  for (std::size_t k = 0; k < points.size(); ++k) {
    EXPECT_EQ(shown.names[k], points[k].name);
    EXPECT_NEAR(shown.positions[k].first, points[k].longitude, 1e-9);
    EXPECT_NEAR(shown.positions[k].second, points[k].latitude, 1e-9);
  }
}

class ogr_written_file_validates : public ::testing::TestWithParam<std::string> {};

TEST_P(ogr_written_file_validates, in_ogrinfo) {
  TempDir dir;
  const std::string path = dir.file("out." + GetParam());
  const std::vector<Point> points = sample_points();
  ASSERT_FALSE(write_points(path, points, {}).failure);
  int status = -1;
  const std::string output =
      run(std::string(PINWRIGHT_OGRINFO) + " -ro -al '" + path + "'", status);
  ASSERT_EQ(status, 0) << output;
  EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  EXPECT_NE(output.find("Feature Count: " + std::to_string(points.size())), std::string::npos)
      << output;
  EXPECT_EQ(shown_features(output, GetParam() == "kml" ? "Name" : "name").names.size(),
            points.size())
      << output;
}

INSTANTIATE_TEST_SUITE_P(cases, ogr_written_file_validates, ::testing::Values("kml", "geojson"),
                         [](const auto& info) { return info.param; });

// `text` as a CSV field holds it: every double quote doubled.
std::string csv_escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) escaped += c == '"' ? std::string("\"\"") : std::string(1, c);
  return escaped;
}

// GPSBabel reads GPX with a parser of its own: every waypoint comes out of
// its CSV with its whole name.
TEST(ogr_writer, gpx_opens_in_gpsbabel_with_every_name) {
  TempDir dir;
  const std::string path = dir.file("out.gpx");
  const std::vector<Point> points = sample_points();
  ASSERT_FALSE(write_points(path, points, {}).failure);
  int status = -1;
  const std::string output = run(std::string(PINWRIGHT_GPSBABEL) + " -i gpx -f '" + path +
                                     "' -o unicsv -F '" + dir.file("out.csv") + "'",
                                 status);
  ASSERT_EQ(status, 0) << output;
  const std::string table = testing::read_file(dir.file("out.csv"));
  for (const Point& point : points)
    EXPECT_NE(table.find(csv_escaped(point.name)), std::string::npos) << point.name << "\n"
                                                                      << table;
}

}  // namespace
}  // namespace pinwright::ogr
