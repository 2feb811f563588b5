// The run panel beside the review rows: where a run stands, how it ended,
// and the map input of the pair a review waits on.
#include "app/run_panel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/run_buttons.hpp"
#include "app/run_view.hpp"
#include "map/scene.hpp"
#include "tests/engine/run_fixture.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using app::RunStop;

class run_panel_test : public RunFixture {
 protected:
  std::string progress() { return text_of(c::kProgress); }
  std::string status() { return text_of(c::kRunStatus); }

  // The entries the map shows as dots, in ascending order.
  std::vector<std::int32_t> dots() const {
    std::vector<std::int32_t> entries;
    if (!dialog.map_input) return entries;
    for (const map::Dot& dot : map::build_scene(*dialog.map_input).dots)
      entries.push_back(dot.entry);
    return entries;
  }
};

TEST_F(run_panel_test, update_run_counts_its_matches_and_shows_the_growing_table) {
  set_master(
      {poi_at(5.0f, 52.0f, "Alpha"), poi_at(5.1f, 52.0f, "Beta"), poi_at(5.3f, 52.0003f, "Omega")});
  set_update({
      poi_at(5.0f, 52.00005f, "Alpha 2"),  // 5.6 m from Alpha: reviewed
      poi_at(5.3f, 52.0f, "Delta"),        // 33 m from Omega: appended
      poi_at(5.1f, 52.000005f, "Beta 2"),  // 0.6 m from Beta: settled
      poi_at(5.3f, 52.00015f, "Epsilon"),  // 16.7 m from Omega and from Delta
      poi_at(6.0f, 52.0f, "Far"),          // appended
  });
  choose_text_output();
  dialog.control(c::kRunStatus).text = "from an earlier run";

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(status(), " ");
  EXPECT_EQ(progress(),
            "Update entry 1 of 5: 1 match so far (0 settled automatically, 0 reviewed)");
  ASSERT_TRUE(dialog.map_input);
  EXPECT_EQ(dialog.map_input->row1_entry, 1);
  EXPECT_EQ(dialog.map_input->row2_entry, 1);
  EXPECT_EQ(dialog.map_input->row1.name.trimmed(), "Alpha");
  EXPECT_EQ(dialog.map_input->row2.name.trimmed(), "Alpha 2");
  EXPECT_FLOAT_EQ(dialog.map_input->radius, 20.0f);
  EXPECT_EQ(dialog.map_input->last, 3);

  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::review);
  EXPECT_EQ(progress(),
            "Update entry 4 of 5: 3 matches so far (1 settled automatically, 1 reviewed)");
  ASSERT_TRUE(dialog.map_input);
  EXPECT_EQ(dialog.map_input->row1.name.trimmed(), "Omega");
  EXPECT_EQ(dialog.map_input->row1_entry, 3);
  EXPECT_EQ(dialog.map_input->row2_entry, 4);
  // Delta, appended by this run as entry 4, lies near the pair; Omega is a marker.
  EXPECT_EQ(dialog.map_input->last, 4);
  EXPECT_EQ(dots(), (std::vector<std::int32_t>{4}));

  ASSERT_EQ(app::decide(program, dialog, c::kSecondDecision), RunStop::finished);
  EXPECT_EQ(program.run->counts().matches, 3);
  EXPECT_EQ(program.run->counts().settled, 1);
  EXPECT_EQ(program.run->counts().reviewed, 2);
  EXPECT_EQ(program.run->counts().appended, 3);
  EXPECT_EQ(status(),
            "3 entries appended, 3 matches (1 settled automatically, 2 reviewed), "
            "6 entries written");
  EXPECT_EQ(progress(), " ");
  EXPECT_FALSE(dialog.map_input);
}

TEST_F(run_panel_test, duplicate_run_counts_deleted_kept_and_excluded_entries) {
  set_master({
      poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.00005f, "A2"),   // reviewed: Keep
      poi_at(5.1f, 52.0f, "B"), poi_at(5.1f, 52.000005f, "B2"),  // settled: B deleted
      poi_at(5.2f, 52.0f, "C"),                                  // inside the circle
      poi_at(5.3f, 52.0f, "D"), poi_at(5.3f, 52.0001f, "D2"),    // reviewed: Delete
  });
  program.exclusions.circles =
      exclusion::Circles{dir.file("exclusions.asc"), 1.0f, {{52.0f, 5.2f}}};
  choose_text_output();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(progress(), "Entry 1 of 7: 1 match so far (0 settled automatically, 0 reviewed)");
  ASSERT_TRUE(dialog.map_input);
  EXPECT_EQ(dialog.map_input->row1_entry, 1);
  EXPECT_EQ(dialog.map_input->row2_entry, 2);
  EXPECT_EQ(dialog.map_input->last, 7);
  // Both entries of the pair are in the working table: markers, not dots.
  EXPECT_EQ(dots(), (std::vector<std::int32_t>{}));
  std::vector<std::int32_t> left_out = dialog.map_input->leave_out;
  std::sort(left_out.begin(), left_out.end());
  EXPECT_EQ(left_out, (std::vector<std::int32_t>{1, 2}));

  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::review);
  EXPECT_EQ(progress(), "Entry 6 of 7: 3 matches so far (1 settled automatically, 1 reviewed)");
  EXPECT_EQ(dialog.map_input->row1.name.trimmed(), "D");
  EXPECT_EQ(dialog.map_input->row2.name.trimmed(), "D2");

  ASSERT_EQ(app::decide(program, dialog, c::kSecondDecision), RunStop::finished);
  EXPECT_EQ(status(), "2 duplicates deleted, 1 kept, 1 excluded, 4 entries written");
  EXPECT_FALSE(dialog.map_input);
}

TEST_F(run_panel_test, quit_clears_the_progress_and_the_map) {
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.00005f, "A2")});
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  ASSERT_TRUE(dialog.map_input);
  dialog.box_answers.push_back(ui::kAnswerOkYes);
  ASSERT_TRUE(app::quit_run(program, dialog, app::QuitDefault::yes));
  EXPECT_EQ(progress(), " ");
  EXPECT_FALSE(dialog.map_input);
  EXPECT_FALSE(app::review_map(program, 20.0f));
}

// The boxes that sum up a run come over the idle window: no pair shown, the
// decision buttons and Quit disabled, no progress line.
TEST_F(run_panel_test, the_window_is_idle_before_the_end_of_run_boxes) {
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.00005f, "A2"), poi_at(6.0f, 52.0f, "X")});
  program.exclusions.circles = exclusion::Circles{dir.file("master_x.asc"), 25.0f, {{52.0f, 6.0f}}};
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  dialog.calls.clear();
  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);

  const auto at = [&](const std::string& call) {
    return std::find(dialog.calls.begin(), dialog.calls.end(), call) - dialog.calls.begin();
  };
  const auto box = at("message_box \"POI exclusions\"");
  ASSERT_LT(box, static_cast<std::ptrdiff_t>(dialog.calls.size()));
  for (const char* idle :
       {"put_text 1011 \" \"", "put_text 1012 \" \"", "set_field_state 1001 0",
        "set_field_state 1002 0", "set_field_state 1030 0", "set_field_state 1004 1",
        "put_text 1057 \" \"",
        "put_text 1058 \"0 duplicates deleted, 1 kept, 1 excluded, 2 entries written\""})
    EXPECT_LT(at(idle), box) << idle;
}

// The status line of each kind of run from its counts, singular and plural.
struct StatusCase {
  const char* name;
  bool update_run;
  engine::RunCounts counts;
  std::int32_t written;
  const char* expected;
};

void PrintTo(const StatusCase& row, std::ostream* out) {
  testing::print_row(out, row.name, row.update_run, row.written, row.expected);
}

class run_status_test : public ::testing::TestWithParam<StatusCase> {};

TEST_P(run_status_test, words_the_counts) {
  EXPECT_EQ(app::run_status_text(GetParam().counts, GetParam().update_run, GetParam().written),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    counts, run_status_test,
    ::testing::Values(
        StatusCase{"update_none",
                   true,
                   {},
                   0,
                   "0 entries appended, 0 matches (0 settled automatically, 0 reviewed), "
                   "0 entries written"},
        StatusCase{"update_singular",
                   true,
                   {.matches = 1, .reviewed = 1, .appended = 1},
                   1,
                   "1 entry appended, 1 match (0 settled automatically, 1 reviewed), "
                   "1 entry written"},
        StatusCase{"update_plural",
                   true,
                   {.matches = 12, .settled = 5, .reviewed = 7, .appended = 40},
                   2040,
                   "40 entries appended, 12 matches (5 settled automatically, 7 reviewed), "
                   "2040 entries written"},
        StatusCase{"duplicate_singular",
                   false,
                   {.matches = 2, .reviewed = 1, .deleted = 1, .kept = 1, .excluded = 1},
                   1,
                   "1 duplicate deleted, 1 kept, 1 excluded, 1 entry written"},
        StatusCase{"duplicate_plural",
                   false,
                   {.matches = 9, .settled = 6, .deleted = 8, .kept = 1, .excluded = 3},
                   30,
                   "8 duplicates deleted, 1 kept, 3 excluded, 30 entries written"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pinwright::testing
