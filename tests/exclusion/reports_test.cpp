#include "exclusion/reports.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/run_view.hpp"
#include "poi/paths.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::exclusion {
namespace {

using testing::read_file;

poi::PoiRecord entry_at(float longitude, float latitude, std::string_view name,
                        std::string_view information = "") {
  poi::PoiRecord record;
  record.longitude = longitude;
  record.latitude = latitude;
  record.name.assign(name);
  record.information.assign(information);
  return record;
}

struct PathCase {
  const char* output;
  const char* report;
};

void PrintTo(const PathCase& row, std::ostream* out) {
  testing::print_row(out, row.output, row.report);
}

class matches_report_path_test : public ::testing::TestWithParam<PathCase> {};

TEST_P(matches_report_path_test, extension_replaced) {
  EXPECT_EQ(matches_report_path(GetParam().output), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(paths, matches_report_path_test,
                         ::testing::Values(PathCase{"/poi/out.asc", "/poi/out_matches.csv"},
                                           PathCase{"/poi/out.OV2", "/poi/out_matches.csv"},
                                           PathCase{"/poi/out.tar.asc", "/poi/out.tar_matches.csv"},
                                           PathCase{"/my.dir/result",
                                                    "/my.dir/result_matches.csv"}),
                         [](const auto& info) { return testing::test_name(info.param.output); });

struct PairCase {
  float metres;
  const char* b_line;
};

void PrintTo(const PairCase& row, std::ostream* out) {
  testing::print_row(out, row.metres, row.b_line);
}

class match_pair_lines_test : public ::testing::TestWithParam<PairCase> {};

TEST_P(match_pair_lines_test, a_then_b_naming_a_and_the_distance) {
  // Information texts are not reported.
  const poi::PoiRecord a = entry_at(4.5f, 52.37f, "Alpha  ", ", a");
  const poi::PoiRecord b = entry_at(-122.41942f, -0.5f, "Beta", "; b");
  EXPECT_EQ(match_pair_lines(a, b, GetParam().metres),
            std::string("   4.50000,  52.37000, \"Alpha\", \"\"\n") + GetParam().b_line + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    distances, match_pair_lines_test,
    ::testing::Values(
        PairCase{12.34f, "-122.41942,  -0.50000, \"Beta\", \"matches Alpha (12.34m)\""},
        PairCase{1.005f, "-122.41942,  -0.50000, \"Beta\", \"matches Alpha (1.00m)\""},
        PairCase{12345.678f, "-122.41942,  -0.50000, \"Beta\", \"matches Alpha (12345.68m)\""},
        PairCase{123456.0f, "-122.41942,  -0.50000, \"Beta\", \"matches Alpha (********m)\""}),
    [](const auto& info) {
      return testing::test_name(testing::number_text(info.param.metres) + " metres");
    });

class reports_test : public ::testing::Test {
 protected:
  reports_test() {
    program.output.path = dir.file("out.asc");
    program.matches_report_enabled = true;
  }
  std::string report() {
    EXPECT_TRUE(program.reports.matches.close());
    return read_file(dir.file("out_matches.csv"));
  }

  testing::TempDir dir;
  testing::RecordingDialog dialog;
  app::Program program;
};

TEST_F(reports_test, opens_with_its_header_line) {
  app::open_matches_report(program, dialog);
  EXPECT_EQ(program.reports.matches_path, dir.file("out_matches.csv"));
  EXPECT_EQ(report(), "Longitude, Latitude, Name, Information\n");
}

struct ThresholdCase {
  bool marker;
  float metres;
  bool written;
};

void PrintTo(const ThresholdCase& row, std::ostream* out) {
  testing::print_row(out, row.marker, row.metres, row.written);
}

class report_threshold_test : public reports_test,
                              public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(report_threshold_test, only_pairs_over_one_metre_with_the_marker) {
  const ThresholdCase& tc = GetParam();
  app::open_matches_report(program, dialog);
  program.matches_report_enabled = tc.marker;
  const poi::PoiRecord a = entry_at(5.0f, 52.0f, "A");
  const poi::PoiRecord b = entry_at(5.0f, 52.0f, "B");
  report_match_pair(program, a, b, tc.metres);
  const std::string header = "Longitude, Latitude, Name, Information\n";
  EXPECT_EQ(report(), tc.written ? header + match_pair_lines(a, b, tc.metres) : header)
      << tc.metres;
}

INSTANTIATE_TEST_SUITE_P(
    cases, report_threshold_test,
    ::testing::Values(ThresholdCase{true, 0.5f, false}, ThresholdCase{true, 1.0f, false},
                      ThresholdCase{true, std::nextafter(1.0f, 2.0f), true},
                      ThresholdCase{true, 5.0f, true}, ThresholdCase{false, 5.0f, false}),
    [](const auto& info) {
      return testing::test_name((info.param.marker ? "marker " : "no marker ") +
                                testing::number_text(info.param.metres) + " metres");
    });

TEST_F(reports_test, next_start_closes_the_earlier_report_complete) {
  app::open_matches_report(program, dialog);
  report_match_pair(program, entry_at(5.0f, 52.0f, "A"), entry_at(5.0f, 52.0f, "B"), 5.0f);
  program.output.path = dir.file("second.ov2");
  app::open_matches_report(program, dialog);
  EXPECT_EQ(read_file(dir.file("out_matches.csv")),
            "Longitude, Latitude, Name, Information\n"
            "   5.00000,  52.00000, \"A\", \"\"\n"
            "   5.00000,  52.00000, \"B\", \"matches A (5.00m)\"\n");
  EXPECT_TRUE(program.reports.matches.close());
  EXPECT_EQ(read_file(dir.file("second_matches.csv")), "Longitude, Latitude, Name, Information\n");
  EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(reports_test, report_that_cannot_be_created_is_reported) {
  program.output.path = dir.file("missing/out.asc");
  app::open_matches_report(program, dialog);
  EXPECT_FALSE(program.reports.matches.is_open());
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Write error");
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::exclamation);
  EXPECT_EQ(dialog.boxes[0].text, "The matches report could not be written completely:\r" +
                                      poi::shorten_path(dir.file("missing/out_matches.csv"), 50));
  // Pairs found later go nowhere, quietly: the user has been told.
  report_match_pair(program, entry_at(5.0f, 52.0f, "A"), entry_at(5.0f, 52.0f, "B"), 5.0f);
  EXPECT_EQ(dialog.boxes.size(), 1u);
}

TEST_F(reports_test, trailer_line_from_the_counters) {
  poi::OutputFile output(program.output.path, poi::OpenMode::truncate);
  program.run.poi_record_counter = 1234;
  program.run.comment_counter = 3;
  write_output_trailer(program, output);
  ASSERT_TRUE(output.close());
  EXPECT_EQ(read_file(program.output.path), ";* 1234 POI records.    3 user comment lines.\n");
}

struct LabelCase {
  std::int32_t count;
  const char* text;
};

void PrintTo(const LabelCase& row, std::ostream* out) {
  testing::print_row(out, row.count, row.text);
}

class entries_label_test : public ::testing::TestWithParam<LabelCase> {};

TEST_P(entries_label_test, count_in_five_columns) {
  EXPECT_EQ(entries_label_text(GetParam().count), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(counts, entries_label_test,
                         ::testing::Values(LabelCase{8, "Number of POI entries:    8"},
                                           LabelCase{0, "Number of POI entries:    0"},
                                           LabelCase{50000, "Number of POI entries:50000"},
                                           LabelCase{123456, "Number of POI entries:*****"}),
                         [](const auto& info) {
                           return "count_" + std::to_string(info.param.count);
                         });

}  // namespace
}  // namespace pinwright::exclusion
