// The matches report takes its name from the Output file ("NAME_matches.csv"),
// so the user never chose it: it must not replace a file the program has
// loaded, whatever that file is called.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/run_sink.hpp"
#include "app/run_view.hpp"
#include "exclusion/reports.hpp"
#include "poi/paths.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::exclusion {
namespace {

using testing::read_file;

struct InUseCase {
  const char* label;
  bool update;  // the file in the way is the loaded Update file, else the Master file
};

void PrintTo(const InUseCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.update);
}

class report_in_use_test : public ::testing::TestWithParam<InUseCase> {};

TEST_P(report_in_use_test, a_loaded_input_named_like_the_report_is_left_alone) {
  testing::TempDir dir;
  testing::RecordingDialog dialog;
  app::Program program;
  program.matches_report_enabled = true;
  const std::string input = dir.write("out_matches.csv", "4.89, 52.37, \"Centraal\"\n");
  program.master.path = GetParam().update ? dir.write("m.asc", "1, 2, \"m\"\n") : input;
  program.master.loaded = true;
  if (GetParam().update) {
    program.update.path = input;
    program.update.loaded = true;
  }
  program.output.path = dir.file("out.asc");

  app::open_matches_report(program, dialog);

  EXPECT_EQ(read_file(input), "4.89, 52.37, \"Centraal\"\n");
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "File Open Conflict");
  EXPECT_EQ(dialog.boxes[0].text, "The matches report\r" + poi::shorten_path(input, 50) +
                                      "\rwould replace a file in use.\rMatches will not be "
                                      "reported.");
  EXPECT_FALSE(program.reports.matches.is_open());
  // The run goes on without a report: its pairs go nowhere.
  app::WindowSink(program).report("   0.00000,   0.00000, \"\", \"\"\n");
  EXPECT_EQ(read_file(input), "4.89, 52.37, \"Centraal\"\n");
}

INSTANTIATE_TEST_SUITE_P(inputs, report_in_use_test,
                         ::testing::Values(InUseCase{"master", false}, InUseCase{"update", true}),
                         testing::LabelName{});

// A file of that name that is not loaded is the report's to replace, as before.
TEST(report_in_use_test, an_unloaded_file_of_that_name_is_replaced) {
  testing::TempDir dir;
  testing::RecordingDialog dialog;
  app::Program program;
  program.matches_report_enabled = true;
  dir.write("out_matches.csv", "an earlier report\n");
  program.output.path = dir.file("out.asc");
  app::open_matches_report(program, dialog);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_TRUE(program.reports.matches.close());
  EXPECT_EQ(read_file(dir.file("out_matches.csv")), "Longitude, Latitude, Name, Information\n");
}

}  // namespace
}  // namespace pinwright::exclusion
