// File-system faults around the file slots and the run, through the whole
// program: Output folders that refuse new files, a full disk, inputs deleted
// or replaced after they were loaded, and an Output replaced before Quit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatch.hpp"
#include "app/file_slots.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "tests/app/slot_session.hpp"
#include "tests/support/file_size_limit.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {
namespace {

using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;
using ui::FieldState;
namespace c = ui::control;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kHeader = testing::kSlotOutputHeader;
constexpr std::string_view kMaster = "; mine\n4.89, 52.37, \"Central\"\n5.12, 52.09, \"Dom\"\n";
constexpr std::string_view kMasterWritten =
    "; mine\n   4.89000,  52.37000, \"Central\"\n   5.12000,  52.09000, \"Dom\"\n"
    ";*    2 POI records.    1 user comment lines.\n";

using Session = testing::SlotSession;

// ---------------------------------------------------------------------------
// Output folders in which no file can be made.

struct FolderCase {
  const char* label;
  // The folder, made ready; nothing when the case cannot be made here.
  std::optional<std::string> (*folder)(const TempDir& dir);
};

void PrintTo(const FolderCase& row, std::ostream* out) {
  testing::print_row(out, row.label);
}

class unwritable_folder_test : public ::testing::TestWithParam<FolderCase> {};

TEST_P(unwritable_folder_test, an_output_there_is_refused_in_both_kinds) {
  for (const int button : {c::kOutputText, c::kOutputOv2}) {
    Session s;
    const std::optional<std::string> folder = GetParam().folder(s.dir);
    if (!folder) GTEST_SKIP() << "this user may write into any folder";
    const std::string master = s.dir.write("master.asc", kMaster);
    s.press(c::kMasterText, master);
    const std::string output = *folder + (button == c::kOutputText ? "/out.asc" : "/out.ov2");
    s.press(button, output);
    ASSERT_EQ(s.titles(), std::vector<std::string>{"File Open Conflict"});
    EXPECT_FALSE(s.program.output.loaded);
    EXPECT_EQ(s.dialog.control(c::kOutputPath).text, " ");
    EXPECT_EQ(s.dialog.control(c::kStart).state, FieldState::disabled);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(read_file(master), kMaster);
  }
}

INSTANTIATE_TEST_SUITE_P(
    folders, unwritable_folder_test,
    ::testing::Values(FolderCase{"a_file_in_place_of_the_folder",
                                 [](const TempDir& dir) -> std::optional<std::string> {
                                   return dir.write("plain_file", "not a folder\n");
                                 }},
                      FolderCase{"a_file_system_without_new_files",
                                 [](const TempDir&) -> std::optional<std::string> {
                                   if (!fs::is_directory("/proc/self")) return std::nullopt;
                                   return "/proc/self";
                                 }},
                      FolderCase{"a_read_only_folder",
                                 [](const TempDir& dir) -> std::optional<std::string> {
                                   const fs::path folder = dir.path() / "read_only";
                                   fs::create_directory(folder);
                                   fs::permissions(folder,
                                                   fs::perms::owner_read | fs::perms::owner_exec);
                                   // The superuser writes anyway: the case does not exist for it.
                                   if (::access(folder.c_str(), W_OK) == 0) return std::nullopt;
                                   return folder.string();
                                 }}),
    testing::LabelName{});

// ---------------------------------------------------------------------------
// A full disk under the Output, which the run writes at its end: the file
// chosen stays as it was, and the run is not counted as done.

class full_disk_test : public ::testing::TestWithParam<const char*> {};

TEST_P(full_disk_test, an_output_that_cannot_be_written_is_reported_and_the_old_one_kept) {
  const std::string name = GetParam();
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", kMaster));
  const std::string output = s.dir.write(name, "an earlier result");
  s.press(name.ends_with(".ov2") ? c::kOutputOv2 : c::kOutputText, output);
  ASSERT_TRUE(s.program.output.loaded);
  {
    const testing::FileSizeLimit full_disk(16);
    s.press(c::kStart);
  }
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Write error"});
  EXPECT_EQ(s.dialog.boxes[0].text,
            "The Output file could not be written completely:\r" + poi::shorten_path(output, 50));
  EXPECT_EQ(read_file(output), "an earlier result");
  EXPECT_FALSE(s.program.output.loaded);
  EXPECT_EQ(s.dialog.control(c::kStart).state, FieldState::disabled);
  // Nothing of the run is left beside it: only the two files of the test.
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), fs::directory_iterator()), 2);
}

// Text, OV2, and each vector format the Text button writes.
INSTANTIATE_TEST_SUITE_P(kinds, full_disk_test,
                         ::testing::Values("full.asc", "full.ov2", "full.gpx", "full.kml",
                                           "full.geojson", "full.gpkg", "full.fgb", "full.shp"),
                         [](const auto& info) { return std::string(info.param).substr(5); });

// ---------------------------------------------------------------------------
// Inputs deleted or replaced after loading: the run works on the entries the
// slots show as loaded, and never touches the files.

struct InputChangeCase {
  const char* label;
  bool update;   // change the Update file instead of the Master file
  bool replace;  // replace it; else delete it
};

void PrintTo(const InputChangeCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.update, row.replace);
}

class changed_input_test : public ::testing::TestWithParam<InputChangeCase> {};

TEST_P(changed_input_test, the_run_writes_the_entries_that_were_loaded) {
  const InputChangeCase& param = GetParam();
  Session s;
  const std::string master = s.dir.write("master.asc", kMaster);
  s.press(c::kMasterText, master);
  const std::string update = s.dir.write("update.asc", "6.0, 50.0, \"Added\"\n");
  if (param.update) s.press(c::kUpdateText, update);
  const std::string output = s.dir.file("out.asc");
  s.press(c::kOutputText, output);

  const std::string& changed = param.update ? update : master;
  const std::string replacement = "1.0, 1.0, \"Replacement\"\n";
  if (param.replace)
    s.dir.write(fs::path(changed).filename().string(), replacement);
  else
    fs::remove(changed);
  s.press(c::kStart);

  EXPECT_EQ(s.titles(), std::vector<std::string>{});
  const std::string added = param.update ? "   6.00000,  50.00000, \"Added\"\n" : "";
  const std::string trailer = param.update ? ";*    3 POI records.    1 user comment lines.\n"
                                           : ";*    2 POI records.    1 user comment lines.\n";
  const std::string entries(kMasterWritten.substr(0, kMasterWritten.rfind(";*")));
  EXPECT_EQ(read_file(output), std::string(kHeader) + entries + added + trailer);
  if (param.replace)
    EXPECT_EQ(read_file(changed), replacement);
  else
    EXPECT_FALSE(fs::exists(changed));
}

INSTANTIATE_TEST_SUITE_P(cases, changed_input_test,
                         ::testing::Values(InputChangeCase{"master_deleted", false, false},
                                           InputChangeCase{"master_replaced", false, true},
                                           InputChangeCase{"update_deleted", true, false},
                                           InputChangeCase{"update_replaced", true, true}),
                         testing::LabelName{});

// ---------------------------------------------------------------------------
// A vector Output is put in place only as a whole, and only where the user
// agreed: never over a file put there during the review, never through a
// companion file (a shapefile's .dbf) that is an input under another name.

TEST(vector_output_fault_test, a_file_put_in_place_of_a_gpx_output_during_the_review_stays) {
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", "5.0, 52.0, \"A\"\n5.00005, 52.0, \"B\"\n"));
  const std::string output = s.dir.file("out.gpx");
  s.press(c::kOutputText, output);
  s.press(c::kStart);
  ASSERT_EQ(s.dialog.control(c::kFirstDecision).state, FieldState::enabled);
  s.dir.write("out.gpx", "the user's own file\n");
  s.press(c::kFirstDecision);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Write error"});
  EXPECT_TRUE(s.dialog.boxes[0].text.starts_with("The Output file was replaced"));
  EXPECT_EQ(read_file(output), "the user's own file\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), fs::directory_iterator()), 2);
}

// A text file may have any name: one called out.dbf is read as text, and a
// shapefile Output out.shp makes a table of that name. Chosen after the
// input, the Output is refused; chosen before it, the run's end writes
// nothing.
TEST(vector_output_fault_test, a_shapefile_whose_table_is_an_input_is_refused_when_chosen) {
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", std::string(kMaster)));
  s.press(c::kUpdateText, s.dir.write("out.dbf", "5.5, 52.5, \"Elsewhere\"\n"));
  const std::string output = s.dir.file("out.shp");
  s.press(c::kOutputText, output);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"File Open Conflict"});
  EXPECT_TRUE(s.dialog.boxes[0].text.ends_with(poi::shorten_path(output, 50) +
                                               ": makes out.dbf, a file in use"))
      << s.dialog.boxes[0].text;
  EXPECT_FALSE(s.program.output.loaded);
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), fs::directory_iterator()), 2);
}

TEST(vector_output_fault_test, a_shapefile_whose_table_became_an_input_is_not_written_over_it) {
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", std::string(kMaster)));
  s.press(c::kOutputText, s.dir.file("out.shp"));
  ASSERT_TRUE(s.program.output.loaded);
  const std::string update = s.dir.write("out.dbf", "5.5, 52.5, \"Elsewhere\"\n");
  s.press(c::kUpdateText, update);
  ASSERT_TRUE(s.program.update.loaded);
  s.press(c::kStart);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Write error"});
  EXPECT_EQ(read_file(update), "5.5, 52.5, \"Elsewhere\"\n");
  EXPECT_FALSE(fs::exists(s.dir.file("out.shp")));
  EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), fs::directory_iterator()), 2);
}

// ---------------------------------------------------------------------------
// Quit deletes the Output file it made, never a file put in its place.

TEST(quit_fault_test, a_file_put_in_place_of_the_output_survives_quit) {
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", "5.0, 52.0, \"A\"\n5.0001, 52.0, \"B\"\n"));
  const std::string output = s.dir.file("out.asc");
  s.press(c::kOutputText, output);
  s.press(c::kStart);
  ASSERT_EQ(s.dialog.control(c::kQuit).state, FieldState::enabled);
  fs::remove(output);
  s.dir.write("out.asc", "the user's own file\n");

  s.dialog.box_answers.push_back(ui::kAnswerOkYes);
  s.press(c::kQuit);
  ASSERT_EQ(s.titles(), std::vector<std::string>{"Quit"});
  EXPECT_FALSE(s.program.output.loaded);
  EXPECT_EQ(read_file(output), "the user's own file\n");
}

TEST(quit_fault_test, quit_still_deletes_the_output_it_made) {
  Session s;
  s.press(c::kMasterText, s.dir.write("master.asc", "5.0, 52.0, \"A\"\n5.0001, 52.0, \"B\"\n"));
  const std::string output = s.dir.file("out.asc");
  s.press(c::kOutputText, output);
  s.press(c::kStart);
  s.dialog.box_answers.push_back(ui::kAnswerOkYes);
  s.press(c::kQuit);
  EXPECT_FALSE(fs::exists(output));
}

}  // namespace
}  // namespace pinwright::app
