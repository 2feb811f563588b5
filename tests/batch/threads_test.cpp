// The dedupe's matches are looked up on several threads: the files it writes
// must not depend on how many.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "batch/runs.hpp"
#include "poi/format.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::batch {
namespace {

// Entries in tight clusters, so that many match, some closer than 1 m, with
// comment lines between them.
std::string clustered_file(int count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> centre(-60.0, 60.0);
  std::uniform_int_distribution<int> offset(-40, 40);  // 1e-5 degrees: about a metre each
  std::string text;
  double lat = 0.0;
  double lon = 0.0;
  for (int k = 0; k < count; ++k) {
    if (k % 25 == 0) {
      lat = centre(random);
      lon = 3.0 * centre(random);
      text += "; cluster " + std::to_string(k / 25) + "\n";
    }
    text += poi::f10_5(lon + offset(random) * 1e-5) + "," +
            poi::f10_5(lat + offset(random) * 1e-5) + ", \"P" + std::to_string(k) + "\", info\n";
  }
  return text;
}

struct ThreadCase {
  std::string label;
  unsigned threads;
  DeleteRule rule;
};

void PrintTo(const ThreadCase& row, std::ostream* out) {
  *out << row.label;
}

class batch_threads_test : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(batch_threads_test, writes_what_one_thread_writes) {
  testing::TempDir folder;
  const std::string input = folder.write("input.asc", clustered_file(20'000));
  const auto run = [&](unsigned threads, const std::string& name) {
    Command command;
    command.subcommand = Subcommand::dedupe;
    command.input = input;
    command.output = folder.file(name + ".asc");
    command.report_path = folder.file(name + "_matches.csv");
    command.exclusions.kind = ExclusionsChoice::Kind::none;
    command.delete_rule = GetParam().rule;
    command.threads = threads;
    Progress progress(false);
    const RunResult result = run_command(command, progress);
    EXPECT_EQ(result.status, ExitStatus::success) << result.message;
    return result.summary;
  };
  const Summary one = run(1, "one");
  const Summary many = run(GetParam().threads, "many");
  EXPECT_GT(one.duplicates_deleted + one.kept, 1'000);  // matches to decide
  EXPECT_EQ(many.duplicates_deleted, one.duplicates_deleted);
  EXPECT_EQ(many.kept, one.kept);
  EXPECT_EQ(testing::read_file(folder.file("many.asc")),
            testing::read_file(folder.file("one.asc")));
  EXPECT_EQ(testing::read_file(folder.file("many_matches.csv")),
            testing::read_file(folder.file("one_matches.csv")));
}

INSTANTIATE_TEST_SUITE_P(
    threads, batch_threads_test,
    ::testing::Values(ThreadCase{"two within radius", 2, DeleteRule::within_radius},
                      ThreadCase{"three below 1m", 3, DeleteRule::below_one_metre},
                      ThreadCase{"four within radius", 4, DeleteRule::within_radius}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::batch
