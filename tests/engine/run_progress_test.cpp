// engine::Run counts the probes it has placed for a progress display, on
// every path a run takes: all at once on several threads, one by one, and
// the update run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "engine/run.hpp"
#include "tests/engine/no_files.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

using pinwright::testing::NoFiles;

class Keep : public Decider {
 public:
  std::optional<Decision> decide(const Run&) override { return Decision::skip_or_keep; }
  bool may_stop() const override { return false; }
};

// Entries 0.00001 degree (about a metre) apart along a parallel, every fourth
// place a comment line.
poi::CompactTable row_of(int count, double latitude) {
  poi::CompactTable table;
  for (int k = 0; k < count; ++k) {
    if (k % 4 == 0) table.append_comment("; note " + std::to_string(k));
    table.append(5.0 + 0.00001 * k, latitude, "P" + std::to_string(k), "");
  }
  return table;
}

struct ProgressCase {
  std::string label;
  bool update = false;
  bool plain_scan = false;  // one probe at a time, no search all at once
  unsigned threads = 1;
  std::int64_t expected = 0;  // of 40 entries and their 10 comment lines
};

void PrintTo(const ProgressCase& row, std::ostream* out) {
  *out << row.label;
}

class run_progress_test : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(run_progress_test, counts_each_probe_placed_once) {
  const ProgressCase& row = GetParam();
  const poi::CompactTable update = row_of(40, 52.0);
  std::atomic<std::int64_t> matched{0};
  RunSetup setup;
  setup.plain_scan = row.plain_scan;
  setup.threads = row.threads;
  setup.matched = &matched;
  NoFiles files;
  Keep keep;
  engine::Run run(row_of(40, row.update ? 52.5 : 52.0), row.update ? &update : nullptr, {}, setup,
                  keep, files);
  RunOptions options;
  options.radius = 5.0f;
  ASSERT_EQ(run.start(options).stop, RunStop::finished);
  EXPECT_EQ(matched.load(), row.expected);
  EXPECT_GT(run.counts().matches, 0);
}

INSTANTIATE_TEST_SUITE_P(
    runs, run_progress_test,
    ::testing::Values(ProgressCase{"duplicate all at once", false, false, 3, 40},
                      ProgressCase{"duplicate one by one", false, true, 1, 40},
                      ProgressCase{"update comments included", true, false, 1, 50}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::engine
