#include "exclusion/exclusion_run.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/messages.hpp"
#include "app/run_view.hpp"
#include "engine/distance.hpp"
#include "exclusion/circles.hpp"
#include "poi/paths.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::exclusion {
namespace {

using testing::read_file;

poi::PoiRecord entry_at(float longitude, float latitude, std::string_view name = "Alpha",
                        std::string_view information = "") {
  poi::PoiRecord record;
  record.longitude = longitude;
  record.latitude = latitude;
  record.name.assign(name);
  record.information.assign(information);
  return record;
}

Circles::Centre centre_of(const poi::PoiRecord& record) {
  return {record.latitude, record.longitude};
}

// Duplicate runs in the window over entries that match nothing, so that each
// entry is asked about the circles once, in order.
class exclusion_run_test : public ::testing::Test {
 protected:
  exclusion_run_test() {
    program.exclusions.circles.path = dir.file("pois_x.asc");
    program.exclusions.circles.radius = 25.0f;
    program.master.path = dir.file("pois.asc");
    dialog.control(ui::control::kRadiusCombo).text = "0";
  }
  void circles(const std::vector<poi::PoiRecord>& centres) {
    program.exclusions.circles.centres.clear();
    for (const poi::PoiRecord& centre : centres)
      program.exclusions.circles.centres.push_back(centre_of(centre));
  }
  bool inside(const poi::PoiRecord& entry) const {
    return inside_a_circle(program.exclusions.circles, entry.latitude, entry.longitude);
  }
  std::string list() const { return read_file(dir.file("excluded.asc")); }
  std::string list_header() const {
    return "; Exclusions read from " + poi::shorten_path(program.exclusions.circles.path, 50) +
           "\n; Radius of exclusion circle (metres):     25.0\n; List of entries excluded from " +
           poi::shorten_path(program.master.path, 50) + "\n";
  }

  // A duplicate run over `entries` to its end, with its boxes.
  void run(const std::vector<poi::PoiRecord>& entries) {
    program.master_table = poi::CompactTable();
    for (const poi::PoiRecord& entry : entries) program.master_table.append(entry);
    program.master.count = program.master_table.size();
    program.master.loaded = true;
    program.output.kind = poi::FileKind::text;
    program.output.path = dir.file("out.asc");
    program.output_mark = poi::FileMark::of(program.output.path);
    program.output.loaded = true;
    ASSERT_EQ(app::start_run(program, dialog), app::RunStop::finished);
  }

  testing::TempDir dir;
  testing::RecordingDialog dialog;
  app::Program program;
};

// The entry is point 1 of the distance, the centre point 2: at different
// latitudes the two orders differ, and the radius lies between them.
TEST_F(exclusion_run_test, measures_from_the_entry_to_the_centre) {
  const poi::PoiRecord entry = entry_at(5.0001f, 52.0f);
  const poi::PoiRecord centre = entry_at(5.0f, 52.0002f);
  const float from_entry =
      engine::distance(entry.latitude, entry.longitude, centre.latitude, centre.longitude);
  const float from_centre =
      engine::distance(centre.latitude, centre.longitude, entry.latitude, entry.longitude);
  ASSERT_GT(from_entry, from_centre);
  circles({centre});

  program.exclusions.circles.radius = from_centre;
  EXPECT_FALSE(inside(entry));
  program.exclusions.circles.radius = from_entry;  // exactly on the circle counts as inside
  EXPECT_TRUE(inside(entry));
}

struct CircleCase {
  const char* label;
  std::vector<poi::PoiRecord> centres;
  bool inside;
};

void PrintTo(const CircleCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.centres.size(), row.inside);
}

class circle_test : public exclusion_run_test, public ::testing::WithParamInterface<CircleCase> {};

TEST_P(circle_test, counts_and_lists_an_entry_once) {
  const CircleCase& cc = GetParam();
  circles(cc.centres);
  const poi::PoiRecord entry = entry_at(5.0f, 52.0f, "Alpha", ", a");

  EXPECT_EQ(inside(entry), cc.inside) << cc.label;
  run({entry});
  // A run with circles writes the list, with its header alone when nothing
  // was removed; without circles there is none.
  if (cc.centres.empty()) {
    EXPECT_FALSE(std::filesystem::exists(dir.file("excluded.asc"))) << cc.label;
  } else {
    EXPECT_EQ(list(), list_header() + (cc.inside ? "   5.00000,  52.00000, \"Alpha\", a\n" : ""))
        << cc.label;
  }
}

INSTANTIATE_TEST_SUITE_P(
    cases, circle_test,
    ::testing::Values(
        CircleCase{"no circles", {}, false},
        CircleCase{"centre on the entry", {entry_at(5.0f, 52.0f)}, true},
        CircleCase{"22 m away", {entry_at(5.0f, 52.0002f)}, true},
        CircleCase{"111 m away", {entry_at(5.0f, 52.001f)}, false},
        CircleCase{"inside two circles", {entry_at(5.0f, 52.0001f), entry_at(5.0f, 52.0f)}, true},
        CircleCase{
            "inside the second only", {entry_at(6.0f, 52.0f), entry_at(5.0f, 52.0001f)}, true}),
    testing::LabelName{});

TEST_F(exclusion_run_test, comment_records_are_left_to_the_run) {
  // The run never asks about comment records; a circle at -999/-999 must not
  // be mistaken for one either.
  circles({entry_at(-999.0f, -999.0f)});
  EXPECT_FALSE(inside(entry_at(5.0f, 52.0f)));
}

struct LineCase {
  poi::PoiRecord entry;
  poi::FileKind output_kind;
  const char* line;
};

void PrintTo(const LineCase& row, std::ostream* out) {
  testing::print_row(out, row.entry.longitude, row.entry.latitude,
                     std::string(row.entry.name.trimmed()),
                     std::string(row.entry.information.trimmed()),
                     row.output_kind == poi::FileKind::ov2 ? "ov2" : "text", row.line);
}

class excluded_line_test : public ::testing::TestWithParam<LineCase> {};

TEST_P(excluded_line_test, information_only_for_a_text_output) {
  poi::CompactTable table;
  table.append(GetParam().entry);
  EXPECT_EQ(excluded_line(table, 1, GetParam().output_kind), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    forms, excluded_line_test,
    ::testing::Values(LineCase{entry_at(4.5f, 52.37f, "Dam  ", ", square"), poi::FileKind::text,
                               "   4.50000,  52.37000, \"Dam\", square"},
                      LineCase{entry_at(4.5f, 52.37f, "Dam", ", square"), poi::FileKind::ov2,
                               "   4.50000,  52.37000, \"Dam\""},
                      LineCase{entry_at(-122.41942f, 37.7749f, "SF", "; x"), poi::FileKind::text,
                               "-122.41942,  37.77490, \"SF\"; x"},
                      LineCase{entry_at(-1000.0f, 1.0f, "Off"), poi::FileKind::text,
                               "**********,   1.00000, \"Off\""}),
    [](const auto& info) {
      return testing::test_name(std::string(info.param.entry.name.trimmed()) +
                                (info.param.output_kind == poi::FileKind::ov2 ? " ov2" : " text"));
    });

TEST_F(exclusion_run_test, summary_box_then_the_removed_entries_forgotten) {
  circles({entry_at(5.0f, 52.0f), entry_at(6.0f, 52.0f)});
  run({entry_at(5.0f, 52.0f, "Alpha"), entry_at(6.0f, 52.0f, "Beta")});

  ASSERT_EQ(dialog.boxes.size(), 1u);
  const auto& box = dialog.boxes[0];
  EXPECT_EQ(box.title, "POI exclusions");
  EXPECT_EQ(box.buttons, ui::ButtonSet::ok);
  EXPECT_EQ(box.icon, ui::Icon::exclamation);
  EXPECT_EQ(box.default_button, 1);
  EXPECT_EQ(box.text, "Exclusions read from " +
                          poi::shorten_path(program.exclusions.circles.path, 50) +
                          "\r Number in file:       2"
                          "\r Exclusion circle radius (metres):     25.0"
                          "\r Number of POIs removed:       2"
                          "\r Output to " +
                          poi::shorten_path(dir.file("excluded.asc"), 50));
  EXPECT_EQ(list(), list_header() +
                        "   5.00000,  52.00000, \"Alpha\"\n"
                        "   6.00000,  52.00000, \"Beta\"\n");
}

TEST(exclusion_summary_text_test, five_lines_with_shortened_paths) {
  const Summary summary{"/home/user/projects/maps/europe/netherlands/pois_x.asc", 12, 1.0f, 3,
                        "/data/excluded.asc"};
  EXPECT_EQ(app::exclusion_summary_text(summary),
            "Exclusions read from /.../projects/maps/europe/netherlands/pois_x.asc"
            "\r Number in file:      12"
            "\r Exclusion circle radius (metres):      1.0"
            "\r Number of POIs removed:       3"
            "\r Output to /data/excluded.asc");
}

TEST_F(exclusion_run_test, no_circles_no_box_and_an_earlier_list_left_alone) {
  dir.write("excluded.asc", "; an earlier list\n");
  circles({});
  run({entry_at(5.0f, 52.0f)});
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_EQ(list(), "; an earlier list\n");
}

TEST_F(exclusion_run_test, earlier_list_is_replaced_by_this_runs) {
  dir.write("excluded.asc", "; an earlier run\n   1.00000,   2.00000, \"Old\"\n");
  circles({entry_at(5.0f, 52.0f)});
  run({entry_at(5.0f, 52.0f)});
  EXPECT_EQ(program.exclusions.list_path, dir.file("excluded.asc"));
  EXPECT_EQ(list(), list_header() + "   5.00000,  52.00000, \"Alpha\"\n");
}

TEST_F(exclusion_run_test, file_in_use_under_the_list_name_is_never_replaced) {
  // A Master file called excluded.asc beside exclusions.asc: the run must not
  // write into the Master file.
  program.master.path = dir.write("excluded.asc", "5.0, 52.0, \"Alpha\"\n");
  program.exclusions.circles.path = dir.file("exclusions.asc");
  circles({entry_at(5.0f, 52.0f)});
  run({entry_at(5.0f, 52.0f)});
  EXPECT_EQ(list(), "5.0, 52.0, \"Alpha\"\n");
  ASSERT_EQ(dialog.boxes.size(), 2u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
  EXPECT_EQ(dialog.boxes[1].title, "File Open Conflict");
  EXPECT_EQ(dialog.boxes[1].text, "The list of excluded entries\r" +
                                      poi::shorten_path(dir.file("excluded.asc"), 50) +
                                      "\rwould replace a file in use.\rExcluded entries will not "
                                      "be listed.");
}

TEST_F(exclusion_run_test, list_that_cannot_be_written_is_reported) {
  program.exclusions.circles.path = dir.file("missing/pois_x.asc");
  circles({entry_at(5.0f, 52.0f)});
  run({entry_at(5.0f, 52.0f), entry_at(5.0f, 52.0f)});
  ASSERT_EQ(dialog.boxes.size(), 2u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
  EXPECT_EQ(dialog.boxes[1].title, "Write error");
  EXPECT_EQ(dialog.boxes[1].text, "The excluded list could not be written completely:\r" +
                                      poi::shorten_path(dir.file("missing/excluded.asc"), 50));

  // The next run tries again.
  std::filesystem::create_directory(dir.file("missing"));
  run({entry_at(5.0f, 52.0f)});
  EXPECT_EQ(dialog.boxes.size(), 3u);
  EXPECT_TRUE(std::filesystem::exists(dir.file("missing/excluded.asc")));
}

}  // namespace
}  // namespace pinwright::exclusion
