// Damaged, odd and oversized input files as the user meets them: through the
// slot buttons and Start of the whole program. Each case checks the box the
// user sees, the state the slots are left in, that an Output is complete or
// not presented at all, and that the input file keeps its bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatch.hpp"
#include "app/file_slots.hpp"
#include "app/messages.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"
#include "tests/app/slot_session.hpp"
#include "tests/support/ov2_bytes.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {
namespace {

using testing::ov2_deleted;
using testing::ov2_named;
using testing::ov2_poi;
using testing::ov2_skipper;
using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;
using ui::FieldState;
namespace c = ui::control;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kHeader = testing::kSlotOutputHeader;

// Point `i` of a grid one degree apart, unique for the first 50,050 points:
// longitude and latitude as text, separated by a comma.
std::string grid_point(int i) {
  return std::to_string(-179 + i % 350) + ".01, " + std::to_string(-80 + i / 350) + ".5";
}

// `count` POI lines on the grid, so that no two match.
std::string grid_lines(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += grid_point(i) + ", P" + std::to_string(i) + "\n";
  return lines;
}

using Session = testing::SlotSession;

// What a run made of a text Output: its entries, read back as the program reads them.
poi::ReadResult read_back(const std::string& path, poi::CompactTable& table) {
  return poi::read_text_poi_file(path, table, app::kMasterCapacity);
}

// ---------------------------------------------------------------------------
// Files that load: the run writes all of them, and the input stays as it was.

struct LoadableCase {
  const char* label;
  bool ov2;
  std::function<std::string()> contents;
  std::int32_t entries;                                 // POI entries shown in the count field
  std::function<void(const poi::CompactTable&)> check;  // on the Master table after loading
};

void PrintTo(const LoadableCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.ov2, row.entries);
}

class loadable_input_test : public ::testing::TestWithParam<LoadableCase> {};

TEST_P(loadable_input_test, loads_runs_and_writes_every_entry) {
  const LoadableCase& param = GetParam();
  for (const bool ov2_output : {false, true}) {
    SCOPED_TRACE(ov2_output ? "OV2 Output" : "text Output");
    Session s;
    const std::string bytes = param.contents();
    const std::string input = s.dir.write(param.ov2 ? "in.ov2" : "in.asc", bytes);
    s.press(param.ov2 ? c::kMasterOv2 : c::kMasterText, input);
    ASSERT_EQ(s.titles(), std::vector<std::string>{});
    ASSERT_TRUE(s.program.master.loaded);
    EXPECT_EQ(s.text(c::kMasterCount), "Number of POI entries:" + poi::i5(param.entries));
    if (param.check) param.check(s.program.master_table);

    const std::string output = s.dir.file(ov2_output ? "out.ov2" : "out.asc");
    s.press(ov2_output ? c::kOutputOv2 : c::kOutputText, output);
    ASSERT_EQ(s.state(c::kStart), FieldState::enabled);
    s.press(c::kStart);
    EXPECT_EQ(s.titles(), std::vector<std::string>{});
    EXPECT_FALSE(s.program.output.loaded);

    poi::CompactTable written;
    const poi::ReadResult result = ov2_output
                                       ? poi::read_ov2_file(output, written, app::kMasterCapacity)
                                       : read_back(output, written);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(result.count - result.comment_count, param.entries);
    if (!ov2_output) {
      const std::string text = read_file(output);
      EXPECT_TRUE(text.starts_with(kHeader));
      EXPECT_NE(text.find(";*" + poi::i5(param.entries) + " POI records."), std::string::npos);
    }
    EXPECT_EQ(read_file(input), bytes) << "the input file was changed";
  }
}

INSTANTIATE_TEST_SUITE_P(
    files, loadable_input_test,
    ::testing::Values(
        LoadableCase{"ov2_skipper_deleted_and_type_3", true,
                     [] {
                       return ov2_skipper() + ov2_named(489000, 5237000, "Two") +
                              ov2_deleted(9, "abcd") + ov2_named(512000, 5209000, "Three", 3) +
                              ov2_skipper();
                     },
                     2,
                     [](const poi::CompactTable& t) {
                       EXPECT_EQ(t.name_field(1), "Two");
                       EXPECT_EQ(t.name_field(2), "Three");
                     }},
        LoadableCase{"ov2_negative_lengths", true,
                     [] {
                       return ov2_poi(2, -7, 100, 200, "") + ov2_deleted(INT32_MIN, "") +
                              ov2_poi(3, -1, 300, 400, "") + ov2_named(500, 600, "After");
                     },
                     3,
                     [](const poi::CompactTable& t) {
                       EXPECT_TRUE(t.name_field(1).empty());
                       EXPECT_EQ(t.name_field(3), "After");
                     }},
        LoadableCase{"ov2_names_of_0_and_10000_bytes", true,
                     [] {
                       return ov2_poi(2, 13, 100000, 0, "") + ov2_named(200000, 0, "") +
                              ov2_named(300000, 0, std::string(10'000, 'N')) +
                              ov2_named(400000, 0, "Next");
                     },
                     4,
                     [](const poi::CompactTable& t) {
                       EXPECT_TRUE(t.name_field(1).empty());
                       EXPECT_TRUE(t.name_field(2).empty());
                       EXPECT_EQ(t.name_field(3), std::string(128, 'N'));
                       EXPECT_EQ(t.name_field(4), "Next");
                     }},
        LoadableCase{"text_line_of_100000_characters", false,
                     [] {
                       return "1, 2, \"" + std::string(100'000, 'L') + "\"\n3, 4, \"Next\", " +
                              std::string(100'000, 'i') + "\n";
                     },
                     2,
                     [](const poi::CompactTable& t) {
                       EXPECT_EQ(t.name_field(1), std::string(128, 'L'));
                       EXPECT_EQ(t.name_field(2), "Next");
                     }},
        LoadableCase{"text_nul_bytes_and_invalid_utf8", false,
                     [] {
                       return std::string("1, 2, \"A") + '\0' +
                              "B\"\n3, 4, \"\xFF\xFE\xC3(\"\n5, 6, " + '\0' + '\0' + "\n";
                     },
                     3, nullptr},
        LoadableCase{"text_cr_only_line_ends", false,
                     [] { return std::string("; c\r1, 2, \"A\"\r3, 4, \"B\"\r\r5, 6, \"C\""); }, 3,
                     [](const poi::CompactTable& t) {
                       EXPECT_EQ(t.name_field(2), "A");
                       EXPECT_EQ(t.name_field(5), "C");
                     }},
        LoadableCase{"text_exactly_50000_records", false,
                     [] { return ";* an old header\n; comment\n" + grid_lines(49'999); }, 49'999,
                     nullptr}),
    testing::LabelName{});

// Bytes that are not UTF-8 pass through a run unchanged.
TEST(loadable_input_test, invalid_utf8_and_nul_names_are_written_back_byte_for_byte) {
  Session s;
  const std::string name("A\0B\xFF\xC3", 5);
  const std::string input = s.dir.write("in.asc", "1, 2, \"" + name + "\"\n");
  s.press(c::kMasterText, input);
  s.press(c::kOutputText, s.dir.file("out.asc"));
  s.press(c::kStart);
  EXPECT_EQ(read_file(s.dir.file("out.asc")),
            std::string(kHeader) + "   1.00000,   2.00000, \"" + name + "\"\n" +
                ";*    1 POI records.    0 user comment lines.\n");
}

// ---------------------------------------------------------------------------
// Files that do not load: one box, the slot left empty, Start disabled, no
// Output presented, the input unchanged.

struct RefusedCase {
  const char* label;
  int button;
  std::function<std::string()> contents;
  const char* title;
  // The box text, or its start when `text_is_prefix`; FILE stands for the
  // input's path as shown.
  std::string text;
  bool text_is_prefix;
  // The input's name; empty: in.ov2 or in.asc by the button.
  std::string file_name = {};
};

void PrintTo(const RefusedCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.button, row.title, row.text, row.text_is_prefix);
}

class refused_input_test : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(refused_input_test, one_box_and_nothing_loaded_or_written) {
  const RefusedCase& param = GetParam();
  Session s;
  const std::string output = s.dir.file("out.asc");
  s.press(c::kOutputText, output);
  const std::string bytes = param.contents();
  std::string name = param.file_name;
  if (name.empty())
    name = param.button == c::kMasterOv2 || param.button == c::kUpdateOv2 ? "in.ov2" : "in.asc";
  const std::string input = s.dir.write(name, bytes);
  s.press(param.button, input);

  ASSERT_EQ(s.dialog.boxes.size(), 1u);
  EXPECT_EQ(s.dialog.boxes[0].title, param.title);
  std::string text = param.text;
  if (const std::size_t file = text.find("FILE"); file != std::string::npos)
    text.replace(file, 4, poi::shorten_path(input, poi::kMessagePathWidth));
  if (param.text_is_prefix)
    EXPECT_TRUE(s.dialog.boxes[0].text.starts_with(text)) << s.dialog.boxes[0].text;
  else
    EXPECT_EQ(s.dialog.boxes[0].text, text);
  // The file is refused and the program goes on.
  EXPECT_FALSE(s.program.quit_requested);
  EXPECT_FALSE(s.program.master.loaded);
  EXPECT_FALSE(s.program.update.loaded);
  EXPECT_EQ(s.state(c::kStart), FieldState::disabled);
  EXPECT_EQ(s.program.master.count, 0);
  EXPECT_EQ(s.program.update.count, 0);
  // No excluded list, and no Output: nothing is written before a run.
  EXPECT_FALSE(fs::exists(s.dir.file("excluded.asc")));
  EXPECT_FALSE(fs::exists(output));
  EXPECT_EQ(read_file(input), bytes) << "the input file was changed";
  EXPECT_TRUE(s.dialog.remembered.size() == 1u && s.dialog.remembered[0].second == output);
}

const std::string kUnsupported = "Unsupported record type: 9\rPlease inform the author";

// A GeoJSON file of `count` points on the grid, each with a name.
std::string geojson_points(int count) {
  std::string text = R"({"type": "FeatureCollection", "features": [)";
  for (int i = 0; i < count; ++i) {
    text += std::string(i > 0 ? "," : "") + R"({"type": "Feature", "properties": {"name": "P)" +
            std::to_string(i) + R"("}, "geometry": {"type": "Point", "coordinates": [)" +
            grid_point(i) + "]}}\n";
  }
  return text + "]}\n";
}

constexpr char kGpxWithOnlyATrack[] =
    "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
    "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>walk</name><trkseg>"
    "<trkpt lat=\"52.37\" lon=\"4.89\"/><trkpt lat=\"52.09\" lon=\"5.12\"/></trkseg></trk>\n"
    "</gpx>\n";
const std::string kNotLoaded = "\rThe file FILE was not loaded.";
const std::string kNoLimit = "\rpinwright-batch has no such limit.";

INSTANTIATE_TEST_SUITE_P(
    files, refused_input_test,
    ::testing::Values(
        RefusedCase{"ov2_huge_length", c::kMasterOv2,
                    [] { return ov2_named(1, 2, "A") + ov2_poi(2, INT32_MAX, 3, 4, "xx"); },
                    "Pinlayer Error", "The overlay file is damaged: the record at byte 15\r", true},
        RefusedCase{"ov2_huge_deleted_length", c::kUpdateOv2,
                    [] { return ov2_deleted(2'000'000'000, "abc") + ov2_named(1, 2, "A"); },
                    "Pinlayer Error", "The overlay file is damaged: the record at byte 0\r", true},
        RefusedCase{"ov2_unsupported_type", c::kMasterOv2,
                    [] { return ov2_named(1, 2, "A") + std::string(1, '\x09') + "rest"; },
                    "Pinlayer Error", kUnsupported + "\rByte offset 15" + kNotLoaded, false},
        RefusedCase{"ov2_50001_records", c::kMasterOv2,
                    [] {
                      std::string bytes;
                      for (int i = 0; i <= app::kMasterCapacity; ++i) bytes += ov2_named(i, i, "P");
                      return bytes;
                    },
                    "Storage limit",
                    "Too many POI entries in file.\rMaximum is 50000" + kNotLoaded + kNoLimit,
                    false},
        RefusedCase{"text_one_number_on_a_line", c::kMasterText,
                    [] { return std::string("1, 2, \"A\"\n4.89\n"); }, "Format error",
                    std::string(app::kTextFormatErrorText) + "\rLine 2: 4.89" + kNotLoaded, false},
        RefusedCase{"text_50001_records", c::kMasterText,
                    [] { return "; comment\n" + grid_lines(50'000); }, "Storage limit",
                    "Too many Master entries.\rMaximum is 50,000" + kNotLoaded + kNoLimit, false},
        RefusedCase{"text_30001_update_records", c::kUpdateText, [] { return grid_lines(30'001); },
                    "Storage limit",
                    "Too many Update entries.\rMaximum is 30,000" + kNotLoaded + kNoLimit, false},
        RefusedCase{"geojson_30001_update_points", c::kUpdateText,
                    [] { return geojson_points(30'001); }, "Storage limit",
                    "Too many Update entries.\rMaximum is 30,000" + kNotLoaded + kNoLimit, false,
                    "in.geojson"},
        RefusedCase{"gpx_with_only_a_track", c::kMasterText,
                    [] { return std::string(kGpxWithOnlyATrack); }, "Format error",
                    "No points in the file, 1 other geometry.\rLayer ", true, "in.gpx"},
        RefusedCase{"geojson_without_a_name_field", c::kMasterText,
                    [] {
                      return std::string(
                          R"({"type": "FeatureCollection", "features": [{"type": "Feature", )"
                          R"("properties": {"title": "Dom"}, "geometry": {"type": "Point", )"
                          R"("coordinates": [5.12, 52.09]}}]})");
                    },
                    "Format error", "No name field (fields: title).\rLayer in" + kNotLoaded, false,
                    "in.geojson"},
        RefusedCase{"kml_that_is_no_xml", c::kUpdateText,
                    [] { return std::string("4.89, 52.37, \"Central\"\n"); }, "Format error",
                    "The file cannot be read as a vector file:\r", true, "in.kml"}),
    testing::LabelName{});

// A record cut at any byte: a damaged file that is not loaded; the program
// goes on, and a good file loads afterwards.
TEST(refused_input_test, an_ov2_file_cut_inside_any_record_is_refused_and_left_as_it_is) {
  const std::string whole = ov2_named(1, 2, "First") + ov2_skipper() + ov2_deleted(12, "1234567") +
                            ov2_named(489000, 5237000, "Central", 3);
  const std::size_t last_record = whole.size() - (14 + 7);
  const std::vector<std::size_t> boundaries = {19, 40, 52};
  for (std::size_t cut = 1; cut < whole.size(); ++cut) {
    if (std::find(boundaries.begin(), boundaries.end(), cut) != boundaries.end()) continue;
    SCOPED_TRACE("cut at " + std::to_string(cut));
    Session s;
    const std::string bytes = whole.substr(0, cut);
    const std::string input = s.dir.write("cut.ov2", bytes);
    s.press(c::kMasterOv2, input);
    ASSERT_EQ(s.titles(), std::vector<std::string>{"Pinlayer Error"});
    EXPECT_TRUE(s.dialog.boxes[0].text.starts_with("The overlay file is damaged"));
    EXPECT_FALSE(s.program.quit_requested);
    EXPECT_FALSE(s.program.master.loaded);
    EXPECT_EQ(s.text(c::kMasterPath), " ");
    EXPECT_EQ(read_file(input), bytes);
    if (cut > last_record) {
      s.press(c::kMasterOv2, s.dir.write("good.ov2", whole));
      EXPECT_TRUE(s.program.master.loaded);
      EXPECT_EQ(s.program.master.count, 2);
    }
  }
}

// ---------------------------------------------------------------------------
// Exclusions files beside the Master file.

// Circles of 500 m around the points of the grid.
std::string circles(int count) {
  std::string lines = "radius = 500\n";
  for (int i = 0; i < count; ++i) lines += grid_point(i) + ", \"circle\"\n";
  return lines;
}

TEST(exclusions_bad_input_test, five_thousand_circles_apply_to_the_run) {
  Session s;
  const std::string master = s.dir.write("pois.asc", grid_lines(10) + "150.0, 10.0, \"Kept\"\n");
  const std::string exclusions = s.dir.write("pois_x.asc", circles(5000));
  s.press(c::kMasterText, master);
  EXPECT_EQ(std::ssize(s.program.exclusions.circles.centres), 5000);
  s.press(c::kOutputText, s.dir.file("out.asc"));
  s.press(c::kStart);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"POI exclusions"});
  EXPECT_NE(s.dialog.boxes[0].text.find("Number in file:    5000"), std::string::npos);
  EXPECT_NE(s.dialog.boxes[0].text.find("Number of POIs removed:      10"), std::string::npos);
  poi::CompactTable written;
  const poi::ReadResult result = read_back(s.dir.file("out.asc"), written);
  ASSERT_EQ(result.count, 1);
  EXPECT_EQ(written.name_field(1), "Kept");
  EXPECT_EQ(read_file(exclusions), circles(5000));
}

// As with a format error in the file, the circles read before stay and the
// program goes on.
TEST(exclusions_bad_input_test, the_5001st_circle_is_reported_and_the_first_5000_kept) {
  Session s;
  s.press(c::kOutputText, s.dir.file("out.asc"));
  const std::string master = s.dir.write("pois.asc", grid_lines(3));
  s.dir.write("pois_x.asc", circles(5001));
  s.press(c::kMasterText, master);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Storage limit"});
  EXPECT_EQ(s.dialog.boxes[0].text,
            "Too many exclusion entries.\rMaximum is 5,000\rOnly the first 5,000 circles are "
            "used.\rpinwright-batch has no such limit.");
  EXPECT_FALSE(s.program.quit_requested);
  EXPECT_TRUE(s.program.master.loaded);
  EXPECT_EQ(std::ssize(s.program.exclusions.circles.centres), 5000);
  EXPECT_FALSE(fs::exists(s.dir.file("excluded.asc")));
  EXPECT_FALSE(fs::exists(s.dir.file("out.asc")));
}

class garbage_radius_test : public ::testing::TestWithParam<std::string> {};

// The box, then the program goes on: the Master file stays loaded, a run
// works with the circles read before the bad line.
TEST_P(garbage_radius_test, format_box_and_the_program_goes_on) {
  Session s;
  const std::string master = s.dir.write("pois.asc", "5.0, 52.0, \"In\"\n6.0, 52.0, \"Out\"\n");
  const std::string exclusions = "5.0, 52.0\n" + GetParam() + "\n6.0, 52.0\n";
  s.dir.write("pois_x.asc", exclusions);
  s.press(c::kMasterText, master);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Format error"});
  EXPECT_TRUE(s.dialog.boxes[0].text.starts_with("Exclusion records must have"));
  EXPECT_FALSE(s.program.quit_requested);
  EXPECT_TRUE(s.program.master.loaded);
  EXPECT_EQ(std::ssize(s.program.exclusions.circles.centres), 1);
  s.press(c::kOutputText, s.dir.file("out.asc"));
  s.press(c::kStart);
  poi::CompactTable written;
  const poi::ReadResult result = read_back(s.dir.file("out.asc"), written);
  ASSERT_EQ(result.count, 1);
  EXPECT_EQ(written.name_field(1), "Out");
  EXPECT_EQ(read_file(s.dir.file("pois_x.asc")), exclusions);
}

INSTANTIATE_TEST_SUITE_P(lines, garbage_radius_test,
                         ::testing::Values("radius = twenty", "RADIUS = 1e999", "radius = --3",
                                           "radius = \xFF\xFE", std::string("radius = \0", 10),
                                           "radius = nan", "radius = inf", "radius = ,5"),
                         [](const auto& info) { return testing::test_name(info.param); });

// ---------------------------------------------------------------------------
// Paths: long ones are never cut into another file's name; blanks, quotes,
// letters beyond ASCII and dots in folder names are names like any other.

struct PathCase {
  const char* label;
  std::string folder;  // below the test's temporary folder
};

void PrintTo(const PathCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.folder);
}

class odd_path_test : public ::testing::TestWithParam<PathCase> {};

// Every file of `root` and below, as paths relative to it.
std::vector<std::string> files_below(const fs::path& root) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory()) files.push_back(entry.path().lexically_relative(root).string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_P(odd_path_test, every_file_is_read_and_written_at_its_full_path) {
  Session s;
  const std::string folder = GetParam().folder;
  fs::create_directories(s.dir.path() / folder);
  const std::string base = s.dir.file(folder) + "/";
  const std::string master_bytes =
      "; odd folder\n6.0, 52.0, \"Gamma\"\n6.0, 52.00005, \"Delta\"\n5.0, 52.0, \"Gone\"\n";
  const std::string master = s.dir.write(folder + "/pois.asc", master_bytes);
  s.dir.write(folder + "/pois_x.asc", "radius = 10\n5.0, 52.0\n");
  s.program.matches_report_enabled = true;
  s.dialog.control(c::kUnderRadius).checked = true;

  s.press(c::kMasterText, master);
  ASSERT_TRUE(s.program.master.loaded);
  EXPECT_EQ(s.program.master.path, master);
  EXPECT_LE(s.text(c::kMasterPath).size(), 60u);
  EXPECT_TRUE(s.text(c::kMasterPath).ends_with("pois.asc"));
  s.press(c::kOutputText, base + "result");
  const std::string output = output_file_name(base + "result", poi::FileKind::text);
  EXPECT_EQ(s.program.output.path, output);
  s.press(c::kStart);

  ASSERT_EQ(s.titles(), std::vector<std::string>{"POI exclusions"});
  for (const std::string_view line : {"Exclusions read from ", "\r Output to "}) {
    const std::size_t at = s.dialog.boxes[0].text.find(line);
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = s.dialog.boxes[0].text.find('\r', at + line.size());
    EXPECT_LE(std::min(end, s.dialog.boxes[0].text.size()) - at - line.size(), 50u);
  }
  const std::string stem = fs::path(output).filename().string();
  const std::string stem_without_extension =
      stem.ends_with(".asc") ? stem.substr(0, stem.size() - 4) : stem;
  std::vector<std::string> expected = {folder + "/excluded.asc", folder + "/" + stem,
                                       folder + "/" + stem_without_extension + "_matches.csv",
                                       folder + "/pois.asc", folder + "/pois_x.asc"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_below(s.dir.path()), expected);
  EXPECT_EQ(read_file(output), std::string(kHeader) +
                                   "; odd folder\n   6.00000,  52.00005, \"Delta\"\n" +
                                   ";*    1 POI records.    1 user comment lines.\n");
  EXPECT_NE(read_file(base + "excluded.asc").find("\"Gone\""), std::string::npos);
  EXPECT_EQ(read_file(master), master_bytes);
}

std::string long_folder() {
  std::string folder;
  for (char letter = 'a'; letter <= 'e'; ++letter) folder += std::string(60, letter) + "/";
  folder.pop_back();
  return folder;  // 304 characters before the temporary folder's own
}

INSTANTIATE_TEST_SUITE_P(
    folders, odd_path_test,
    ::testing::Values(PathCase{"longer_than_256_characters", long_folder()},
                      PathCase{"blanks_and_quotes", "my POIs/it's \"quoted\" here"},
                      PathCase{"letters_beyond_ascii", "Ünïcödé/Straße ñandú 東京"},
                      PathCase{"latin1_bytes_and_a_backslash", "caf\xE9\\old"},
                      PathCase{"dots_in_folder_names", "my.dir/v1.2.3"}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::app
