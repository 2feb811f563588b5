// The outcomes of the demo files in tests/data/demo/, as computed independently
// of this code (see tests/data/README.md).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/file_slots.hpp"
#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/text_file.hpp"
#include "tests/engine/run_fixture.hpp"
#include "tests/support/data_file.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using app::RunStop;

class demo_outcome_test : public RunFixture {
 protected:
  demo_outcome_test() {
    for (const char* name : {"master.asc", "update.asc", "exclusions.asc"}) {
      std::filesystem::copy_file(data_file(std::string("demo/") + name), dir.file(name));
    }
  }

  void load_master() {
    program.master.path = dir.file("master.asc");
    program.master_table = poi::CompactTable();
    const poi::ReadResult read =
        poi::read_text_poi_file(program.master.path, program.master_table, app::kMasterCapacity);
    ASSERT_FALSE(read.failure);
    program.master.count = read.count;
    program.master.loaded = true;
    app::read_exclusions_file(program, dialog);
  }

  void load_update() {
    program.update.path = dir.file("update.asc");
    program.update_table = poi::CompactTable();
    const poi::ReadResult read =
        poi::read_text_poi_file(program.update.path, program.update_table, app::kUpdateCapacity);
    ASSERT_FALSE(read.failure);
    program.update.count = read.count;
    program.update.loaded = true;
  }

  // Runs to the end, answering every review with `button`; the number of reviews.
  int run_answering(int button) {
    int reviews = 0;
    RunStop stop = app::start_run(program, dialog);
    while (stop == RunStop::review && reviews < 1000) {
      ++reviews;
      stop = app::decide(program, dialog, button);
    }
    EXPECT_EQ(stop, RunStop::finished);
    return reviews;
  }
};

struct UpdateOutcome {
  const char* label;
  const char* radius;
  bool under_one_metre;
  bool under_radius;
  int reviews;
  int appended;  // entries with comments: all unmatched Update entries
};

void PrintTo(const UpdateOutcome& row, std::ostream* out) {
  print_row(out, row.label, row.radius, row.under_one_metre, row.under_radius, row.reviews,
            row.appended);
}

class demo_update_test : public demo_outcome_test,
                         public ::testing::WithParamInterface<UpdateOutcome> {};

TEST_P(demo_update_test, reviews_and_appended_entries) {
  const UpdateOutcome& uo = GetParam();
  load_master();
  load_update();
  ASSERT_EQ(program.master.count, 43);
  ASSERT_EQ(program.update.count, 17);
  choose_text_output();
  set_radius(uo.radius);
  check(c::kUnderOneMetre, uo.under_one_metre);
  check(c::kUnderRadius, uo.under_radius);

  EXPECT_EQ(run_answering(c::kFirstDecision), uo.reviews) << uo.label;
  EXPECT_EQ(program.run->result_count(), 43 + uo.appended) << uo.label;
}

INSTANTIATE_TEST_SUITE_P(
    demo, demo_update_test,
    ::testing::Values(UpdateOutcome{"radius 20, no box", "20", false, false, 12, 5},
                      UpdateOutcome{"radius 20, under 1 m", "20", true, false, 4, 5},
                      UpdateOutcome{"radius 20, radius box", "20", false, true, 0, 5},
                      UpdateOutcome{"radius 1, no box", "1", false, false, 8, 9}),
    LabelName{});

TEST_F(demo_outcome_test, duplicate_run_with_exclusion_circles) {
  load_master();
  ASSERT_EQ(static_cast<std::int32_t>(program.exclusions.circles.centres.size()), 2);
  choose_text_output();
  check(c::kUnderOneMetre, false);

  EXPECT_EQ(run_answering(c::kSecondDecision), 3);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
  EXPECT_NE(dialog.boxes[0].text.find(" Number of POIs removed:       2\r"), std::string::npos);
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:   35");
  const std::string written = output();
  EXPECT_TRUE(written.ends_with(";*   35 POI records.    3 user comment lines.\n")) << written;
}

TEST_F(demo_outcome_test, duplicate_run_settles_two_pairs_under_one_metre) {
  load_master();
  choose_ov2_output();
  EXPECT_EQ(run_answering(c::kSecondDecision), 1);
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:   35");
}

}  // namespace
}  // namespace pinwright::testing
