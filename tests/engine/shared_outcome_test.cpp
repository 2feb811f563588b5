// The outcomes known for the real-world data in tests/data/ (computed by an
// independent simulation, see its README): the duplicate run over dupes_20k.asc
// and the update run of update_30k.asc against the first 38,000 lines of
// master_50k.asc.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/file_slots.hpp"
#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "poi/format.hpp"
#include "poi/text_file.hpp"
#include "tests/engine/run_fixture.hpp"
#include "tests/support/data_file.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using app::RunStop;

class shared_outcome_test : public RunFixture {
 protected:
  void load_master(const std::string& path) {
    program.master.path = path;
    program.master_table = poi::CompactTable();
    const poi::ReadResult read =
        poi::read_text_poi_file(path, program.master_table, app::kMasterCapacity);
    ASSERT_FALSE(read.failure);
    program.master.count = read.count;
    program.master.loaded = true;
    app::read_exclusions_file(program, dialog);
  }

  void load_update(const std::string& path) {
    program.update_table = poi::CompactTable();
    const poi::ReadResult read =
        poi::read_text_poi_file(path, program.update_table, app::kUpdateCapacity);
    ASSERT_FALSE(read.failure);
    program.update.count = read.count;
    program.update.loaded = true;
  }

  void set_options(int radius, bool under_one_metre, bool under_radius) {
    set_radius(std::to_string(radius));
    check(c::kUnderOneMetre, under_one_metre);
    check(c::kUnderRadius, under_radius);
  }

  struct Reviews {
    int total = 0;
    int with_master_entry = 0;  // update run: the match is an entry of the Master file
  };

  // Runs to the end, answering every review with Keep / Skip.
  Reviews run_keeping() {
    Reviews reviews;
    RunStop stop = app::start_run(program, dialog);
    while (stop == RunStop::review) {
      ++reviews.total;
      if (program.run->pair().match <= program.master.count) ++reviews.with_master_entry;
      stop = app::decide(program, dialog, c::kFirstDecision);
    }
    EXPECT_EQ(stop, RunStop::finished);
    return reviews;
  }
};

struct DuplicateRow {
  int radius;
  int matched;
  int auto_deleted;  // with "< 1 or"
  int kept;
  int excluded;  // kept entries inside a circle, auto-delete mode
  int written;   // auto-delete mode
};

void PrintTo(const DuplicateRow& row, std::ostream* out) {
  print_row(out, row.radius, row.matched, row.auto_deleted, row.kept, row.excluded, row.written);
}

class dupes_outcome_test : public shared_outcome_test,
                           public ::testing::WithParamInterface<DuplicateRow> {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(data_file("dupes_20k.asc"), dir.file("dupes_20k.asc"));
    std::filesystem::copy_file(data_file("exclusions.asc"), dir.file("exclusions.asc"));
  }
  void fresh_run() {
    load_master(dir.file("dupes_20k.asc"));
    choose_text_output();
  }
};

TEST_P(dupes_outcome_test, matches_reviews_and_entries_written) {
  const DuplicateRow& row = GetParam();
  fresh_run();
  set_options(row.radius, false, false);
  EXPECT_EQ(run_keeping().total, row.matched);

  fresh_run();
  set_options(row.radius, true, false);
  EXPECT_EQ(run_keeping().total, row.matched - row.auto_deleted);

  fresh_run();
  set_options(row.radius, false, true);
  EXPECT_EQ(run_keeping().total, 0);
  const std::string removed = "Number of POIs removed:" + poi::i8(row.excluded);
  ASSERT_FALSE(dialog.boxes.empty());
  EXPECT_NE(dialog.boxes.back().text.find(removed), std::string::npos) << dialog.boxes.back().text;
  EXPECT_EQ(dialog.control(c::kOutputCount).text, "Number of POI entries:" + poi::i5(row.written));
  EXPECT_EQ(row.kept - row.excluded, row.written);
}

INSTANTIATE_TEST_SUITE_P(radii, dupes_outcome_test,
                         ::testing::Values(DuplicateRow{1, 1440, 1440, 18556, 47, 18509},
                                           DuplicateRow{5, 2341, 1345, 17655, 42, 17613},
                                           DuplicateRow{10, 3401, 1217, 16595, 36, 16559},
                                           DuplicateRow{20, 4101, 1171, 15895, 32, 15863},
                                           DuplicateRow{25, 4300, 1171, 15696, 30, 15666}),
                         [](const auto& info) { return std::to_string(info.param.radius) + "m"; });

struct UpdateRow {
  int radius;
  int master_matches;
  int appended_matches;  // matches with an Update entry appended earlier
  int appended;          // POIs and comments appended
  int final_count;
  int auto_skipped;  // with "< 1 or"
};

void PrintTo(const UpdateRow& row, std::ostream* out) {
  print_row(out, row.radius, row.master_matches, row.appended_matches, row.appended,
            row.final_count, row.auto_skipped);
}

class update_outcome_test : public shared_outcome_test,
                            public ::testing::WithParamInterface<UpdateRow> {
 protected:
  void SetUp() override {
    // The full Master file fills its table; its first 38,000 lines hold every
    // entry the Update file refers to and leave room for what is appended.
    std::ifstream in(data_file("master_50k.asc"));
    std::ofstream out(dir.file("master_38k.asc"));
    std::string line;
    for (int n = 0; n < 38'000 && std::getline(in, line); ++n) out << line << '\n';
  }
  void fresh_run() {
    load_master(dir.file("master_38k.asc"));
    load_update(data_file("update_30k.asc"));
    choose_text_output();
  }
};

TEST_P(update_outcome_test, matches_reviews_and_entries_appended) {
  const UpdateRow& row = GetParam();
  fresh_run();
  set_options(row.radius, false, false);
  const Reviews reviews = run_keeping();
  EXPECT_EQ(reviews.with_master_entry, row.master_matches);
  EXPECT_EQ(reviews.total - reviews.with_master_entry, row.appended_matches);
  EXPECT_EQ(program.run->result_count(), row.final_count);
  EXPECT_EQ(program.run->result_count() - program.master.count, row.appended);

  fresh_run();
  set_options(row.radius, true, false);
  EXPECT_EQ(run_keeping().total, row.master_matches + row.appended_matches - row.auto_skipped);
  EXPECT_EQ(program.run->result_count(), row.final_count);
}

INSTANTIATE_TEST_SUITE_P(radii, update_outcome_test,
                         ::testing::Values(UpdateRow{1, 18000, 0, 12000, 50000, 18000},
                                           UpdateRow{5, 18862, 31, 11107, 49107, 18000},
                                           UpdateRow{10, 21466, 50, 8484, 46484, 18000},
                                           UpdateRow{20, 24000, 50, 5950, 43950, 18000},
                                           UpdateRow{25, 24000, 50, 5950, 43950, 18000}),
                         [](const auto& info) { return std::to_string(info.param.radius) + "m"; });

}  // namespace
}  // namespace pinwright::testing
