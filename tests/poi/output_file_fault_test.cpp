// An open Output file under a changing file system: whether its path still
// names it, and whether what was written reached the disk.
#include "poi/output_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

struct PathChange {
  const char* label;
  std::function<void(const TempDir& dir, const std::string& path)> change;
  bool still_at_path;
};

void PrintTo(const PathChange& row, std::ostream* out) {
  testing::print_row(out, row.label, row.still_at_path);
}

class is_at_path_test : public ::testing::TestWithParam<PathChange> {};

TEST_P(is_at_path_test, follows_what_happened_to_the_path) {
  TempDir dir;
  const std::string path = dir.file("out.asc");
  OutputFile file(path, OpenMode::truncate);
  ASSERT_TRUE(file.is_open());
  GetParam().change(dir, path);
  EXPECT_EQ(file.is_at_path(), GetParam().still_at_path);
}

INSTANTIATE_TEST_SUITE_P(
    changes, is_at_path_test,
    ::testing::Values(PathChange{"unchanged", [](const TempDir&, const std::string&) {}, true},
                      PathChange{"removed",
                                 [](const TempDir&, const std::string& path) { fs::remove(path); },
                                 false},
                      PathChange{"renamed",
                                 [](const TempDir& dir, const std::string& path) {
                                   fs::rename(path, dir.file("moved.asc"));
                                 },
                                 false},
                      PathChange{"replaced",
                                 [](const TempDir& dir, const std::string& path) {
                                   fs::remove(path);
                                   dir.write("out.asc", "another file\n");
                                 },
                                 false},
                      PathChange{"written_by_someone_else",
                                 [](const TempDir& dir, const std::string&) {
                                   dir.write("out.asc", "in place\n");
                                 },
                                 true}),
    testing::LabelName{});

TEST(is_at_path_test, a_link_to_the_file_is_the_file) {
  TempDir dir;
  dir.write("target.asc", "");
  fs::create_symlink(dir.file("target.asc"), dir.file("link.asc"));
  OutputFile file(dir.file("link.asc"), OpenMode::append);
  EXPECT_TRUE(file.is_at_path());
}

TEST(is_at_path_test, a_file_not_open_is_nowhere) {
  TempDir dir;
  const OutputFile none;
  EXPECT_FALSE(none.is_at_path());
  const OutputFile missing(dir.file("no/folder/out.asc"), OpenMode::truncate);
  EXPECT_FALSE(missing.is_at_path());
}

TEST(flush_test, a_full_disk_shows_at_the_flush_and_stays_failed) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  OutputFile file("/dev/full", OpenMode::truncate);
  ASSERT_TRUE(file.is_open());
  file.write_line("a line that has nowhere to go");
  EXPECT_FALSE(file.flush());
  EXPECT_TRUE(file.is_open());
  EXPECT_FALSE(file.close());
}

TEST(flush_test, written_lines_are_in_the_file_after_a_flush) {
  TempDir dir;
  OutputFile file(dir.file("out.asc"), OpenMode::truncate);
  file.write_line("first");
  ASSERT_TRUE(file.flush());
  EXPECT_EQ(testing::read_file(dir.file("out.asc")), "first\n");
  EXPECT_TRUE(file.close());
}

// Lines taken back: buffered or already on disk, they leave the file, and
// what comes next is written where they began.
TEST(cut_back_test, drops_what_came_after_the_length_and_writes_on_there) {
  TempDir dir;
  OutputFile file(dir.file("report.csv"), OpenMode::truncate);
  file.write_line("header");
  const std::optional<std::int64_t> after_header = file.length();
  ASSERT_EQ(after_header, 7);
  file.write_line("flushed pair");
  ASSERT_TRUE(file.flush());
  file.write_line("buffered pair");
  EXPECT_EQ(file.length(), 7 + 13 + 14);
  ASSERT_TRUE(file.cut_back(*after_header));
  EXPECT_EQ(file.length(), 7);
  EXPECT_EQ(testing::read_file(dir.file("report.csv")), "header\n");
  file.write_line("other pair");
  EXPECT_TRUE(file.close());
  EXPECT_EQ(testing::read_file(dir.file("report.csv")), "header\nother pair\n");
}

TEST(cut_back_test, a_file_not_open_has_no_length_and_cannot_be_cut) {
  OutputFile none;
  EXPECT_EQ(none.length(), std::nullopt);
  EXPECT_FALSE(none.cut_back(0));
}

// Writing a file in place: the file at the path when it was marked is
// replaced only by a complete file, and only while nothing else has taken
// its place; no temporary file is ever left in the folder.
struct PlacedCase {
  const char* label;
  const char* before;  // what the path holds when marked; nullptr: nothing
  std::function<void(const TempDir& dir, const std::string& path)> meanwhile;
  bool write_completes;
  OutputWrite outcome;
  const char* after;  // what the path holds afterwards; nullptr: nothing
};

void PrintTo(const PlacedCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.write_completes);
}

class write_in_place_test : public ::testing::TestWithParam<PlacedCase> {};

TEST_P(write_in_place_test, replaces_only_the_marked_file_and_only_when_complete) {
  const PlacedCase& param = GetParam();
  TempDir dir;
  const std::string path = dir.file("out.asc");
  if (param.before) dir.write("out.asc", param.before);
  const FileMark mark = FileMark::of(path);
  param.meanwhile(dir, path);

  const OutputWrite outcome = write_in_place(path, mark, [&](const std::string& temporary) {
    EXPECT_EQ(fs::path(temporary).parent_path(), dir.path());
    OutputFile file(temporary, OpenMode::truncate);
    file.write_line("the result");
    return file.close() && param.write_completes;
  });

  EXPECT_EQ(outcome, param.outcome);
  if (param.after)
    EXPECT_EQ(testing::read_file(path), param.after);
  else
    EXPECT_FALSE(fs::exists(path));
  if (!fs::exists(dir.path())) return;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

const auto kNothingMeanwhile = [](const TempDir&, const std::string&) {};

INSTANTIATE_TEST_SUITE_P(
    cases, write_in_place_test,
    ::testing::Values(
        PlacedCase{"new file", nullptr, kNothingMeanwhile, true, OutputWrite::written,
                   "the result\n"},
        PlacedCase{"the file marked is replaced", "earlier\n", kNothingMeanwhile, true,
                   OutputWrite::written, "the result\n"},
        PlacedCase{"incomplete keeps the file marked", "earlier\n", kNothingMeanwhile, false,
                   OutputWrite::incomplete, "earlier\n"},
        PlacedCase{"incomplete creates nothing", nullptr, kNothingMeanwhile, false,
                   OutputWrite::incomplete, nullptr},
        PlacedCase{"the file marked was removed", "earlier\n",
                   [](const TempDir&, const std::string& path) { fs::remove(path); }, true,
                   OutputWrite::written, "the result\n"},
        PlacedCase{"a file put where there was none", nullptr,
                   [](const TempDir& dir, const std::string&) { dir.write("out.asc", "theirs\n"); },
                   true, OutputWrite::replaced, "theirs\n"},
        // The marked file is held open, so the new one cannot take its inode.
        PlacedCase{"the file marked removed and another put there", "earlier\n",
                   [](const TempDir& dir, const std::string& path) {
                     fs::remove(path);
                     dir.write("out.asc", "theirs\n");
                   },
                   true, OutputWrite::replaced, "theirs\n"},
        PlacedCase{"the folder went away", nullptr,
                   [](const TempDir& dir, const std::string&) { fs::remove_all(dir.path()); }, true,
                   OutputWrite::incomplete, nullptr}),
    testing::LabelName{});

TEST(write_in_place_test, a_link_is_replaced_and_its_target_left_alone) {
  TempDir dir;
  const std::string target = dir.write("target.asc", "target\n");
  const std::string link = dir.file("link.asc");
  fs::create_symlink(target, link);
  const FileMark mark = FileMark::of(link);
  const OutputWrite outcome = write_in_place(link, mark, [](const std::string& temporary) {
    OutputFile file(temporary, OpenMode::truncate);
    file.write_line("the result");
    return file.close();
  });
  EXPECT_EQ(outcome, OutputWrite::written);
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(testing::read_file(link), "the result\n");
  EXPECT_EQ(testing::read_file(target), "target\n");
}

}  // namespace
}  // namespace pinwright::poi
