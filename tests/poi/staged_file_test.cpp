// A run ended by SIGINT or SIGTERM leaves none of its temporary files behind.

#include "poi/staged_file.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

namespace fs = std::filesystem;

struct SignalCase {
  std::string label;
  int signal_number;
};

void PrintTo(const SignalCase& row, std::ostream* out) {
  *out << row.label;
}

class staged_file_signal_test : public ::testing::TestWithParam<SignalCase> {};

TEST_P(staged_file_signal_test, removes_the_uncommitted_temporary_file_and_ends_by_the_signal) {
  testing::TempDir folder;
  const std::string kept = folder.file("kept.asc");
  const std::string dropped = folder.file("dropped.asc");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    remove_temporaries_on_signal();
    StagedFile committed(kept);
    StagedFile pending(dropped);
    if (!committed.reserve() || !pending.reserve() || !committed.commit()) ::_exit(10);
    std::raise(GetParam().signal_number);
    ::_exit(11);  // not reached: the signal ends the process
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), GetParam().signal_number);
  // The committed file is in place; nothing else is left in the folder.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"kept.asc"});
}

INSTANTIATE_TEST_SUITE_P(signals, staged_file_signal_test,
                         ::testing::Values(SignalCase{"interrupt", SIGINT},
                                           SignalCase{"terminate", SIGTERM}),
                         testing::LabelName{});

}  // namespace
}  // namespace pinwright::poi
