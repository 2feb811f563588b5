// Files that change under a run while it waits for the user: the Output
// written at the end is complete where the user expects it, or a box says
// why not; a file that has taken the Output's place is never written over,
// and the file chosen is never touched before the run replaces it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/paths.hpp"
#include "tests/engine/run_fixture.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
namespace fs = std::filesystem;
using app::RunStop;

constexpr std::string_view kTwoEntries =
    "   5.00000,  52.00000, \"Keep me\"\n"
    "   5.00010,  52.00000, \"Partner\"\n"
    ";*    2 POI records.    0 user comment lines.\n";

constexpr std::string_view kEarlierResult = "   1.00000,   2.00000, \"Earlier\"\n";

class output_fault_test : public RunFixture, public ::testing::WithParamInterface<bool> {
 protected:
  // Two entries 6.8 m apart: a duplicate run, or (update) an update run,
  // that stops for the user; Keep or Skip lets it finish. The Output chosen
  // is the result of an earlier run, which the user agreed to replace.
  void start_until_review() {
    if (GetParam()) {
      set_master({poi_at(5.0f, 52.0f, "Keep me")});
      set_update({poi_at(5.0001f, 52.0f, "Partner")});
    } else {
      set_master({poi_at(5.0f, 52.0f, "Keep me"), poi_at(5.0001f, 52.0f, "Partner")});
    }
    dir.write("out.asc", kEarlierResult);
    choose_text_output();
    ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  }
  // Keep (duplicate run) keeps both; Save as new entry (update run) adds the partner.
  RunStop finish() {
    return app::decide(program, dialog, GetParam() ? c::kSecondDecision : c::kFirstDecision);
  }
};

TEST_P(output_fault_test, the_chosen_file_is_untouched_until_the_run_replaces_it) {
  start_until_review();
  EXPECT_EQ(output(), kEarlierResult);

  EXPECT_EQ(finish(), RunStop::finished);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_EQ(output(), std::string(kOutputHeader) + std::string(kTwoEntries));
}

TEST_P(output_fault_test, an_output_removed_during_the_review_is_written_anew) {
  start_until_review();
  fs::remove(program.output.path);

  EXPECT_EQ(finish(), RunStop::finished);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_EQ(output(), std::string(kOutputHeader) + std::string(kTwoEntries));
}

TEST_P(output_fault_test, an_output_renamed_during_the_review_is_written_anew_at_its_path) {
  start_until_review();
  const std::string elsewhere = dir.file("moved.asc");
  fs::rename(program.output.path, elsewhere);

  EXPECT_EQ(finish(), RunStop::finished);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_EQ(output(), std::string(kOutputHeader) + std::string(kTwoEntries));
  EXPECT_EQ(read_file(elsewhere), kEarlierResult);  // what it held when it was moved
}

TEST_P(output_fault_test, a_file_put_in_place_of_the_output_is_left_alone_and_reported) {
  start_until_review();
  fs::remove(program.output.path);
  dir.write("out.asc", "someone else's file\n");

  EXPECT_EQ(finish(), RunStop::finished);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Write error");
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::exclamation);
  EXPECT_EQ(dialog.boxes[0].text, "The Output file was replaced by another file during the run:\r" +
                                      poi::shorten_path(program.output.path, 50) +
                                      "\rThe result has not been written.");
  EXPECT_EQ(output(), "someone else's file\n");
  EXPECT_FALSE(program.output.loaded);
}

TEST_P(output_fault_test, an_ov2_output_whose_folder_went_away_is_reported) {
  if (GetParam()) {
    set_master({poi_at(5.0f, 52.0f, "Keep me")});
    set_update({poi_at(5.0001f, 52.0f, "Partner")});
  } else {
    set_master({poi_at(5.0f, 52.0f, "Keep me"), poi_at(5.0001f, 52.0f, "Partner")});
  }
  fs::create_directory(dir.path() / "sub");
  choose_ov2_output("sub/out.ov2");
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  fs::remove_all(dir.path() / "sub");

  EXPECT_EQ(finish(), RunStop::finished);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Write error");
  EXPECT_EQ(dialog.boxes[0].text, "The Output file could not be written completely:\r" +
                                      poi::shorten_path(program.output.path, 50));
  EXPECT_FALSE(fs::exists(program.output.path));
}

INSTANTIATE_TEST_SUITE_P(runs, output_fault_test, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "update" : "duplicate";
                         });

class run_fault_test : public RunFixture {};

// The excluded list is written at the end of the duplicate run; one that
// cannot be (here a folder has its name) is reported after the summary.
TEST_F(run_fault_test, an_excluded_list_that_cannot_be_written_is_reported) {
  set_master({poi_at(5.0f, 52.0f, "Inside"), poi_at(6.0f, 52.0f, "Outside")});
  program.exclusions.circles = exclusion::Circles{dir.file("master_x.asc"), 25.0f, {{52.0f, 5.0f}}};
  fs::create_directory(dir.file("excluded.asc"));
  choose_text_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  ASSERT_EQ(dialog.boxes.size(), 2u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
  EXPECT_EQ(dialog.boxes[1].title, "Write error");
  EXPECT_EQ(dialog.boxes[1].text, "The excluded list could not be written completely:\r" +
                                      poi::shorten_path(dir.file("excluded.asc"), 50));
}

// The matches report stays open after the run for the next Start; what the
// run wrote into it must have reached the disk when the run says it is done.
TEST_F(run_fault_test, a_matches_report_on_a_full_disk_is_reported_at_the_end_of_the_run) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  program.matches_report_enabled = true;
  set_master({poi_at(6.0f, 52.0f, "Gamma"), poi_at(6.0f, 52.00005f, "Delta")});
  check(c::kUnderRadius, true);
  fs::create_symlink("/dev/full", dir.file("out_matches.csv"));
  choose_text_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Write error");
  EXPECT_EQ(dialog.boxes[0].text, "The matches report could not be written completely:\r" +
                                      poi::shorten_path(dir.file("out_matches.csv"), 50));
  EXPECT_EQ(output(), std::string(kOutputHeader) + "   6.00000,  52.00005, \"Delta\"\n" +
                          ";*    1 POI records.    0 user comment lines.\n");

  // Reported once: the next Start does not tell it again.
  choose_text_output("second.asc");
  set_master({poi_at(5.0f, 52.0f, "A")});
  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(dialog.boxes.size(), 1u);
}

}  // namespace
}  // namespace pinwright::testing
