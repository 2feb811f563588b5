// A run ended by a signal leaves none of its temporary files and folders
// behind; a folder that is given up goes with everything in it.

#include "poi/staged_file.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
    // A database being written, its journal, and a folder a driver made.
    StagedFolder writing(folder.file("out.gpkg"));
    if (!writing.reserve()) ::_exit(12);
    fs::create_directories(writing.path() + "layer/deeper");
    for (const char* name : {"out.gpkg", "out.gpkg-journal", "layer/a.csv", "layer/deeper/b"})
      std::ofstream(writing.path() + name) << "bytes";
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
                                           SignalCase{"terminate", SIGTERM},
                                           SignalCase{"hang_up", SIGHUP},
                                           SignalCase{"broken_pipe", SIGPIPE}),
                         testing::LabelName{});

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(staged_folder, moves_out_what_is_asked_and_removes_the_rest_with_the_folder) {
  testing::TempDir folder;
  {
    StagedFolder writing(folder.file("cities.shp"));
    ASSERT_TRUE(writing.reserve());
    for (const char* name : {"cities.shp", "cities.dbf", "scratch"})
      std::ofstream(writing.path() + name) << name;
    fs::create_directory(writing.path() + "sub");
    std::ofstream(writing.path() + "sub/inner") << "x";
    EXPECT_EQ(writing.file_names(),
              (std::vector<std::string>{"cities.dbf", "cities.shp", "scratch"}));
    ASSERT_TRUE(writing.move_out("cities.shp", folder.file("cities.shp")));
    ASSERT_TRUE(writing.move_out("cities.dbf", folder.file("renamed.dbf")));
  }
  EXPECT_EQ(names_in(folder.path()), (std::vector<std::string>{"cities.shp", "renamed.dbf"}));
  EXPECT_EQ(testing::read_file(folder.file("renamed.dbf")), "cities.dbf");
}

TEST(staged_folder, emptied_it_stays_and_takes_new_files) {
  testing::TempDir folder;
  StagedFolder writing(folder.file("out.gpkg"));
  ASSERT_TRUE(writing.reserve());
  std::ofstream(writing.path() + "probe.gpkg") << "x";
  fs::create_directory(writing.path() + "sub");
  writing.empty();
  EXPECT_TRUE(writing.file_names().empty());
  EXPECT_TRUE(fs::is_empty(writing.path()));
}

}  // namespace
}  // namespace pinwright::poi
