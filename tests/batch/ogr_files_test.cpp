// Runs on files in OGR's formats: read into the batch's tables, written from
// them, with their failures.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "batch/runs.hpp"
#include "ogr/points.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::batch {
namespace {

using ogr::Point;

RunResult run(const Command& command) {
  Progress progress(false);
  return run_command(command, progress);
}

std::vector<Point> read_back(const std::string& path) {
  const ogr::ReadPoints read = ogr::read_all_points(path, {});
  EXPECT_FALSE(read.result.failure);
  return read.points;
}

std::vector<std::string> names_of(const std::vector<Point>& points) {
  std::vector<std::string> names;
  for (const Point& point : points) names.push_back(point.name);
  return names;
}

TEST(ogr_files_test, update_of_a_gpx_into_a_geopackage) {
  testing::TempDir folder;
  const std::string master = folder.file("master.gpx");
  const std::string update = folder.file("update.gpx");
  ASSERT_FALSE(ogr::write_points(master,
                                 std::vector<Point>{{4.89, 52.37, "Station", "open 24h"},
                                                    {13.405, 52.52, "Berlin Hbf", ""}},
                                 {})
                   .failure);
  // One match 2 m away, one new entry.
  ASSERT_FALSE(ogr::write_points(update,
                                 std::vector<Point>{{13.40503, 52.52, "Hauptbahnhof", "new"},
                                                    {2.3522, 48.8566, "Paris Nord", "Eurostar"}},
                                 {})
                   .failure);
  Command command;
  command.subcommand = Subcommand::update;
  command.input = master;
  command.updates = {update};
  command.output = folder.file("merged.gpkg");
  command.on_match = OnMatch::both;
  const RunResult result = run(command);
  ASSERT_EQ(result.status, ExitStatus::success) << result.message;
  EXPECT_EQ(result.summary.appended, 1);
  EXPECT_EQ(result.summary.matches, 1);
  EXPECT_EQ(result.summary.entries_written, 3);

  // The same Update file again: everything in it now matches.
  command.updates = {update, update};
  command.output = folder.file("twice.gpkg");
  const RunResult twice = run(command);
  ASSERT_EQ(twice.status, ExitStatus::success) << twice.message;
  EXPECT_EQ(twice.summary.appended, 1);
  EXPECT_EQ(twice.summary.matches, 3);
  EXPECT_EQ(read_back(command.output).size(), 3u);

  const std::vector<Point> merged = read_back(folder.file("merged.gpkg"));
  ASSERT_EQ(names_of(merged), (std::vector<std::string>{"Station", "Hauptbahnhof", "Paris Nord"}));
  // Positions as read from the GPX files.
  EXPECT_EQ(merged[0].longitude, 4.89);
  EXPECT_EQ(merged[0].information, "open 24h");
  EXPECT_EQ(merged[1].longitude, 13.40503);
  EXPECT_EQ(merged[1].information, "new");
  EXPECT_EQ(merged[2].latitude, 48.8566);
  EXPECT_EQ(merged[2].information, "Eurostar");
}

// The separator that ended the name is not part of the information field;
// it comes back as ", ".
TEST(ogr_files_test, convert_keeps_a_text_files_information_apart_from_its_separator) {
  testing::TempDir folder;
  Command command;
  command.input = folder.write("in.asc",
                               "; comment\n4.89, 52.37, \"Central, Station\", open 24h\n"
                               "1.5, 2.5, \"Pier\"; east\n3, 4, Plain\n");
  command.output = folder.file("out.kml");
  const RunResult to_kml = run(command);
  ASSERT_EQ(to_kml.status, ExitStatus::success) << to_kml.message;
  EXPECT_EQ(to_kml.summary.entries_written, 3);
  const std::vector<Point> points = read_back(command.output);
  ASSERT_EQ(names_of(points), (std::vector<std::string>{"Central, Station", "Pier", "Plain"}));
  EXPECT_EQ(points[0].information, "open 24h");
  EXPECT_EQ(points[1].information, "east");
  EXPECT_EQ(points[2].information, "");

  // And back: the separator returns before the information.
  command.input = command.output;
  command.output = folder.file("back.asc");
  ASSERT_EQ(run(command).status, ExitStatus::success);
  const std::string text = testing::read_file(command.output);
  EXPECT_NE(text.find("   4.89000,  52.37000, \"Central, Station\", open 24h\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("   1.50000,   2.50000, \"Pier\", east\n"), std::string::npos) << text;
  EXPECT_NE(text.find("   3.00000,   4.00000, \"Plain\"\n"), std::string::npos) << text;
}

// Each format keeps what it can hold: OV2 has no information and positions
// to 1e-5 degree, the others keep both at the record's precision.
TEST(ogr_files_test, text_through_gpx_geojson_geopackage_and_ov2_back_to_text) {
  testing::TempDir folder;
  const std::string names[] = {"Caf\xC3\xA9 \xC2\xABZ\xC3\xBCrich\xC2\xBB", "A & B <C>",
                               "Pier; 39, west", std::string(128, 'n')};
  std::string text;
  const char* positions[] = {"8.54321, 47.36667", "-122.41942, 37.80868", "0, 0", "-179.5, -89.5"};
  for (int k = 0; k < 4; ++k)
    text += std::string(positions[k]) + ", \"" + names[k] + "\", info " + std::to_string(k) + "\n";
  std::string previous = folder.write("start.asc", text);
  for (const char* name : {"a.gpx", "b.geojson", "c.gpkg", "d.ov2", "e.asc"}) {
    Command command;
    command.input = previous;
    command.output = folder.file(name);
    const RunResult result = run(command);
    ASSERT_EQ(result.status, ExitStatus::success) << name << ": " << result.message;
    EXPECT_EQ(result.summary.entries_written, 4) << name;
    previous = command.output;
  }
  const std::string back = testing::read_file(previous);
  const std::string expected = "   8.54321,  47.36667, \"" + names[0] + "\"\n" +
                               "-122.41942,  37.80868, \"" + names[1] + "\"\n" +
                               "   0.00000,   0.00000, \"" + names[2] + "\"\n" +
                               "-179.50000, -89.50000, \"" + names[3] + "\"\n";
  EXPECT_NE(back.find(expected), std::string::npos) << back;
  // Before the OV2 step, the information was still there.
  const std::vector<Point> kept = read_back(folder.file("c.gpkg"));
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_EQ(kept[3].information, "info 3");
  EXPECT_EQ(kept[0].name, names[0]);
  EXPECT_EQ(kept[1].longitude, -122.41942);
}

std::string repeated(std::string_view text, int times) {
  std::string out;
  for (int k = 0; k < times; ++k) out += text;
  return out;
}

// Names and information of vector files stay whole through every run that
// writes a vector file; a text Output cuts them to what the window's record
// holds, 128 bytes, never inside a UTF-8 sequence.
TEST(ogr_files_test, long_texts_stay_whole_in_vector_outputs_and_are_cut_in_text) {
  testing::TempDir folder;
  const std::string long_name = "Stazione " + repeated("\xC3\xBC", 100);  // 209 bytes
  const std::string long_information = repeated("0123456789", 30);        // 300 bytes
  const std::string longer_name = repeated("Bahnhof-", 40);               // 320 bytes
  const std::string input = folder.file("in.gpx");
  // The first point lies 0.1 m from the second: a duplicate the dedupe deletes.
  ASSERT_FALSE(ogr::write_points(input,
                                 std::vector<Point>{{4.89, 52.370001, "Copy", ""},
                                                    {4.89, 52.37, long_name, long_information},
                                                    {13.405, 52.52, "Berlin", "short"}},
                                 {})
                   .failure);

  Command command;
  command.subcommand = Subcommand::convert;
  command.input = input;
  command.output = folder.file("converted.geojson");
  const RunResult converted = run(command);
  ASSERT_EQ(converted.status, ExitStatus::success) << converted.message;
  const std::vector<Point> all = read_back(command.output);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].name, long_name);
  EXPECT_EQ(all[1].information, long_information);

  command.subcommand = Subcommand::dedupe;
  command.input = folder.file("converted.geojson");
  command.output = folder.file("deduped.gpkg");
  command.exclusions.kind = ExclusionsChoice::Kind::none;
  const RunResult deduped = run(command);
  ASSERT_EQ(deduped.status, ExitStatus::success) << deduped.message;
  EXPECT_EQ(deduped.summary.duplicates_deleted, 1);
  const std::vector<Point> kept = read_back(command.output);
  ASSERT_EQ(names_of(kept), (std::vector<std::string>{long_name, "Berlin"}));
  EXPECT_EQ(kept[0].information, long_information);

  // An Update entry's long name taken on a match (2 m away) is whole too.
  command.subcommand = Subcommand::update;
  command.input = folder.file("deduped.gpkg");
  command.updates = {folder.file("update.geojson")};
  ASSERT_FALSE(ogr::write_points(command.updates[0],
                                 std::vector<Point>{{13.40503, 52.52, longer_name, ""}}, {})
                   .failure);
  command.on_match = OnMatch::text;
  command.output = folder.file("updated.kml");
  const RunResult updated = run(command);
  ASSERT_EQ(updated.status, ExitStatus::success) << updated.message;
  EXPECT_EQ(updated.summary.reviewed, 1);
  EXPECT_EQ(names_of(read_back(command.output)),
            (std::vector<std::string>{long_name, longer_name}));

  command.subcommand = Subcommand::convert;
  command.input = folder.file("updated.kml");
  command.output = folder.file("cut.asc");
  const RunResult cut = run(command);
  ASSERT_EQ(cut.status, ExitStatus::success) << cut.message;
  const std::string text = testing::read_file(command.output);
  // 9 + 59 * 2 = 127 bytes: a 60th two-byte letter would pass 128.
  const std::string first_line = "   4.89000,  52.37000, \"Stazione " + repeated("\xC3\xBC", 59) +
                                 "\", " + repeated("0123456789", 12) + "012345\n";
  EXPECT_NE(text.find(first_line), std::string::npos) << text;
  EXPECT_NE(text.find("  13.40500,  52.52000, \"" + longer_name.substr(0, 128) + "\"\n"),
            std::string::npos)
      << text;
}

TEST(ogr_files_test, csv_columns_chosen_by_name_into_geojson_fields_chosen_by_name) {
  testing::TempDir folder;
  Command command;
  command.input =
      folder.write("table.csv", "title,east,north\nMill,5.5,51.25\n\"Dam, old\",6,52\n");
  command.output = folder.file("out.geojson");
  command.formats.input_formats = {"CSV"};
  command.formats.name_field = "title";
  command.formats.x_field = "east";
  command.formats.y_field = "north";
  const RunResult result = run(command);
  ASSERT_EQ(result.status, ExitStatus::success) << result.message;
  ogr::ReadOptions options;
  options.name_field = "title";
  const ogr::ReadPoints read = ogr::read_all_points(command.output, options);
  ASSERT_FALSE(read.result.failure);
  ASSERT_EQ(names_of(read.points), (std::vector<std::string>{"Mill", "Dam, old"}));
  EXPECT_EQ(read.points[0].longitude, 5.5);
  EXPECT_EQ(read.points[0].latitude, 51.25);
}

TEST(ogr_files_test, shapefile_output_lands_with_its_sidecars_and_nothing_else) {
  testing::TempDir folder;
  Command command;
  command.input = folder.write("in.asc", "4.89, 52.37, \"Station\"\n");
  command.output = folder.file("out.shp");
  ASSERT_EQ(run(command).status, ExitStatus::success);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"in.asc", "out.cpg", "out.dbf", "out.prj", "out.shp",
                                             "out.shx"}));
  EXPECT_EQ(names_of(read_back(command.output)), std::vector<std::string>{"Station"});
}

// Each bad input ends the run with status 1 and a message naming the file.
struct BadInput {
  std::string label;
  std::string file_name;
  std::string content;
  std::string message_part;
};

void PrintTo(const BadInput& row, std::ostream* out) {
  testing::print_row(out, row.label, row.file_name, row.message_part);
}

class ogr_files_bad_input : public ::testing::TestWithParam<BadInput> {};

TEST_P(ogr_files_bad_input, is_exit_1_naming_the_file) {
  testing::TempDir folder;
  for (const Subcommand subcommand :
       {Subcommand::convert, Subcommand::dedupe, Subcommand::update}) {
    Command command;
    command.subcommand = subcommand;
    const std::string bad = folder.write(GetParam().file_name, GetParam().content);
    command.input = bad;
    if (subcommand == Subcommand::update) {
      command.input = folder.write("master.asc", "1, 2, \"A\"\n");
      command.updates = {bad};
    }
    command.output = folder.file("out.gpx");
    const RunResult result = run(command);
    EXPECT_EQ(result.status, ExitStatus::bad_input);
    EXPECT_EQ(result.message.rfind(bad + ": ", 0), 0u) << result.message;
    EXPECT_NE(result.message.find(GetParam().message_part), std::string::npos) << result.message;
    EXPECT_FALSE(std::filesystem::exists(command.output));
  }
}

const BadInput kBadInputs[] = {
    {"not_a_geopackage", "bad.gpkg", "no database\n", "cannot be read as a vector file"},
    {"lines_only", "lines.geojson",
     R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {"name": "r"},)"
     R"( "geometry": {"type": "LineString", "coordinates": [[1, 2], [3, 4]]}}]})",
     "layer lines: no points"},
    {"no_name_field", "anon.geojson",
     R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {"title": "r"},)"
     R"( "geometry": {"type": "Point", "coordinates": [1, 2]}}]})",
     "no name field; choose one with --name-field (fields: title)"},
    {"beyond_the_pole", "pole.geojson",
     R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {"name": "r"},)"
     R"( "geometry": {"type": "Point", "coordinates": [1, 91]}}]})",
     "layer pole, feature 1: outside"},
};

INSTANTIATE_TEST_SUITE_P(cases, ogr_files_bad_input, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace pinwright::batch
