#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ogr/points.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::ogr {
namespace {

using testing::TempDir;
using Values = std::map<std::string, FieldValue::Data>;

// Each point's values by field name, as read.
std::vector<Values> by_name(const ReadPoints& read) {
  std::vector<Values> points;
  for (const Point& point : read.points) {
    Values values;
    for (const FieldValue& value : point.fields)
      values[read.fields[static_cast<std::size_t>(value.field)].name] = value.data;
    points.push_back(values);
  }
  return points;
}

const DateTime kNoon{2026, 12, 9, 12, 30, 15.0f, 100};

struct FieldCase {
  const char* label;
  const char* file_name;
  std::vector<FieldSpec> fields;
  std::vector<std::string> dropped;
};

void PrintTo(const FieldCase& row, std::ostream* out) {
  *out << row.label;
}

// The values of each type, and one point without any.
std::vector<Point> points_with(const std::vector<FieldSpec>& fields) {
  Point first{4.89, 52.37, "Mill", "old", {}};
  Point second{5.12, 52.09, "Dock", "", {}};
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const int field = static_cast<int>(k);
    switch (fields[k].type) {
      case FieldType::integer:
        first.fields.push_back({field, std::int64_t{4000000001}});
        break;
      case FieldType::real:
        first.fields.push_back({field, -2.75});
        break;
      case FieldType::date_time:
        first.fields.push_back({field, kNoon});
        break;
      case FieldType::string:
        first.fields.push_back({field, std::string("Mo-Fr 08:00-18:00; caf\xC3\xA9")});
        break;
    }
  }
  return {first, second};
}

class ogr_fields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ogr_fields, come_back_as_written_where_the_format_holds_them) {
  const FieldCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.file(c.file_name);
  const std::vector<Point> points = points_with(c.fields);
  WriteOptions options;
  options.fields = c.fields;
  const WriteResult written = write_points(path, points, options);
  ASSERT_FALSE(written.failure) << *written.failure;
  EXPECT_EQ(written.fields_dropped, c.dropped);
  const ReadPoints read = read_all_points(path, {});
  ASSERT_FALSE(read.result.failure);
  ASSERT_EQ(read.points.size(), 2u);
  EXPECT_EQ(read.points[0].name, "Mill");
  EXPECT_EQ(read.points[0].information, "old");
  Values expected;
  for (const FieldValue& value : points[0].fields) {
    const std::string& name = c.fields[static_cast<std::size_t>(value.field)].name;
    if (std::find(c.dropped.begin(), c.dropped.end(), name) == c.dropped.end())
      expected[name] = value.data;
  }
  const std::vector<Values> values = by_name(read);
  EXPECT_EQ(values[0], expected);
  EXPECT_TRUE(values[1].empty());
}

const std::vector<FieldSpec> kAttributes{{"osm_id", FieldType::integer},
                                         {"height", FieldType::real},
                                         {"opening_hours", FieldType::string},
                                         {"checked", FieldType::date_time}};

INSTANTIATE_TEST_SUITE_P(
    cases, ogr_fields,
    ::testing::Values(FieldCase{"geopackage", "a.gpkg", kAttributes, {}},
                      FieldCase{"geojson", "a.geojson", kAttributes, {}},
                      FieldCase{"flatgeobuf", "a.fgb", kAttributes, {}},
                      FieldCase{"shapefile_without_time",
                                "a.shp",
                                {{"osm_id", FieldType::integer},
                                 {"height", FieldType::real},
                                 {"hours", FieldType::string}},
                                {}},
                      // A waypoint's own elements, attributes as extensions (an id past
                      // 32 bits); no place for a field the description already takes.
                      FieldCase{"gpx",
                                "a.gpx",
                                {{"ele", FieldType::real},
                                 {"time", FieldType::date_time},
                                 {"sym", FieldType::string},
                                 {"cmt", FieldType::string},
                                 {"amenity", FieldType::string},
                                 {"osm_id", FieldType::integer},
                                 {"desc", FieldType::string}},
                                {"desc"}}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::ogr
