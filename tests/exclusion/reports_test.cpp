#include "exclusion/reports.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/messages.hpp"
#include "app/run_sink.hpp"
#include "app/run_view.hpp"
#include "engine/distance.hpp"
#include "engine/run.hpp"
#include "poi/paths.hpp"
#include "tests/engine/no_files.hpp"
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
  poi::CompactTable table;
  table.append(entry_at(4.5f, 52.37f, "Alpha  ", ", a"));
  table.append(entry_at(-122.41942f, -0.5f, "Beta", "; b"));
  EXPECT_EQ(match_pair_lines(table, 1, 2, GetParam().metres),
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

// The report lines a duplicate run hands its sink.
class ReportLines : public testing::NoFiles {
 public:
  void report(std::string_view lines) override { lines_ += lines; }
  ListWrite write_excluded(const Circles&, const poi::CompactTable&, std::span<const std::int32_t>,
                           std::string&) override {
    return ListWrite::none;
  }
  const std::string& lines() const { return lines_; }

 private:
  std::string lines_;
};

class KeepEveryPair : public engine::Decider {
 public:
  std::optional<engine::Decision> decide(const engine::Run&) override {
    return engine::Decision::skip_or_keep;
  }
  bool may_stop() const override { return false; }
};

// The latitude whose distance from (0, 0) is `metres`, or the nearest one
// below it, found by stepping through neighbouring floats.
float latitude_at(float metres) {
  float latitude = metres / 110574.0f;
  while (engine::distance(0.0f, 0.0f, latitude, 0.0f) > metres)
    latitude = std::nextafter(latitude, 0.0f);
  while (engine::distance(0.0f, 0.0f, std::nextafter(latitude, 1.0f), 0.0f) <= metres)
    latitude = std::nextafter(latitude, 1.0f);
  return latitude;
}

class report_threshold_test : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(report_threshold_test, only_pairs_over_one_metre_with_the_marker) {
  const ThresholdCase& tc = GetParam();
  poi::CompactTable table;
  table.append(entry_at(0.0f, 0.0f, "A"));
  table.append(entry_at(0.0f, latitude_at(tc.metres), "B"));
  const float metres = engine::distance(0.0f, 0.0f, table.latitude(2), 0.0f);
  ASSERT_EQ(metres, tc.metres);
  engine::RunSetup setup;
  setup.report_matches = tc.marker;
  ReportLines sink;
  KeepEveryPair keep;
  engine::Run run(table, nullptr, {}, setup, keep, sink);
  engine::RunOptions options;
  options.radius = 20.0f;
  ASSERT_EQ(run.start(options).stop, engine::RunStop::finished);
  EXPECT_EQ(sink.lines(), tc.written ? match_pair_lines(table, 1, 2, metres) : "") << tc.metres;
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

// The lines of a pair A and B 5 m apart.
std::string pair_lines() {
  poi::CompactTable table;
  table.append(entry_at(5.0f, 52.0f, "A"));
  table.append(entry_at(5.0f, 52.0f, "B"));
  return match_pair_lines(table, 1, 2, 5.0f);
}

TEST_F(reports_test, next_start_closes_the_earlier_report_complete) {
  app::open_matches_report(program, dialog);
  app::WindowSink(program).report(pair_lines());
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
  app::WindowSink(program).report(pair_lines());
  EXPECT_EQ(dialog.boxes.size(), 1u);
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
  EXPECT_EQ(app::entries_label_text(GetParam().count), GetParam().text);
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
