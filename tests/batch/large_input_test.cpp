// Files larger than the window's tables: the batch sizes its tables to them.

#include <gtest/gtest.h>

#include <string>

#include "batch/runs.hpp"
#include "poi/format.hpp"
#include "poi/output_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace pinwright::batch {
namespace {

inline constexpr int kEntries = 100'000;
inline constexpr int kTwinEvery = 10;  // every tenth entry has a twin 0.5 m east

// A grid of entries 0.001 degree (at least 60 m) apart, with twins.
std::string grid_file(int& twins) {
  std::string text = "; a grid larger than the window takes\n";
  twins = 0;
  for (int k = 0; k < kEntries; ++k) {
    const double longitude = -170.0 + 0.001 * (k % 1000);
    const double latitude = -60.0 + 0.001 * (k / 1000);
    const std::string name = "\"P" + std::to_string(k) + "\"";
    text += poi::f10_5(longitude) + "," + poi::f10_5(latitude) + ", " + name + "\n";
    if (k % kTwinEvery == 0) {
      text += poi::f10_5(longitude + 0.00001) + "," + poi::f10_5(latitude) + ", " + name + "\n";
      ++twins;
    }
  }
  return text;
}

TEST(large_input_test, a_dedupe_of_more_entries_than_the_window_holds_deletes_every_twin) {
  testing::TempDir folder;
  int twins = 0;
  const std::string input = folder.write("grid.asc", grid_file(twins));
  Command command;
  command.subcommand = Subcommand::dedupe;
  command.input = input;
  command.output = folder.file("clean.ov2");
  command.exclusions.kind = ExclusionsChoice::Kind::none;
  Progress progress(false);
  const RunResult result = run_command(command, progress);
  ASSERT_EQ(result.status, ExitStatus::success) << result.message;
  EXPECT_EQ(result.summary.duplicates_deleted, twins);
  EXPECT_EQ(result.summary.entries_written, kEntries);
  // Type-2 records of 14 bytes plus the name ("P" and up to five digits).
  EXPECT_GT(std::filesystem::file_size(command.output), 14u * kEntries);
}

TEST(large_input_test, an_update_past_the_windows_capacity_appends_every_new_entry) {
  testing::TempDir folder;
  int twins = 0;
  const std::string master = folder.write("grid.asc", grid_file(twins));
  // The same grid moved 0.0005 degree north: no entry within 20 m of another.
  std::string moved;
  for (int k = 0; k < kEntries; k += 2) {
    moved += poi::f10_5(-170.0 + 0.001 * (k % 1000)) + "," +
             poi::f10_5(-60.0 + 0.001 * (k / 1000) + 0.0005) + ", \"N\"\n";
  }
  Command command;
  command.subcommand = Subcommand::update;
  command.input = master;
  command.updates = {folder.write("moved.asc", moved)};
  command.output = folder.file("merged.ov2");
  Progress progress(false);
  const RunResult result = run_command(command, progress);
  ASSERT_EQ(result.status, ExitStatus::success) << result.message;
  EXPECT_EQ(result.summary.appended, kEntries / 2);
  EXPECT_EQ(result.summary.matches, 0);
  EXPECT_EQ(result.summary.entries_written, kEntries + twins + kEntries / 2);
}

}  // namespace
}  // namespace pinwright::batch
