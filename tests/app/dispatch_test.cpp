#include "app/dispatch.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/startup.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::app {
namespace {

using testing::RecordingDialog;

std::string identifier_name(const ::testing::TestParamInfo<int>& info) {
  return testing::test_name("id " + std::to_string(info.param));
}

class dispatch_exit_test : public ::testing::TestWithParam<int> {};

TEST_P(dispatch_exit_test, requests_the_end_and_closes_the_help) {
  RecordingDialog dialog;
  auto program = std::make_unique<Program>();
  dispatch(*program, dialog, GetParam());
  EXPECT_TRUE(program->quit_requested);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"help \"\""}));
}

// 2 is the dialog's cancel command (closing the window, Escape).
INSTANTIATE_TEST_SUITE_P(exit_and_cancel, dispatch_exit_test, ::testing::Values(2, 1004),
                         identifier_name);

// A run stopped at its first pair, with an OV2 Output chosen (the run would
// create it): the state the Quit box guards.
std::unique_ptr<Program> program_in_review() {
  auto program = std::make_unique<Program>();
  program->output.loaded = true;
  program->output.kind = poi::FileKind::ov2;
  program->output.path = "never-created.ov2";
  program->run.probe_index = 1;
  program->run.position = 2;
  return program;
}

struct CancelCase {
  const char* label;
  int answer;
  bool ends;
};

void PrintTo(const CancelCase& c, std::ostream* out) {
  *out << c.label;
}

class dispatch_cancel_in_review_test : public ::testing::TestWithParam<CancelCase> {};

TEST_P(dispatch_cancel_in_review_test, asks_with_the_quit_box_first) {
  RecordingDialog dialog;
  dialog.box_answers = {GetParam().answer};
  auto program = program_in_review();
  dispatch(*program, dialog, 2);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Quit");
  EXPECT_EQ(dialog.boxes[0].text, "Delete the output file and quit");
  EXPECT_EQ(dialog.boxes[0].buttons, ui::ButtonSet::yes_no);
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::question);
  // Enter keeps the review: No is the default.
  EXPECT_EQ(dialog.boxes[0].default_button, 2);
  EXPECT_EQ(program->quit_requested, GetParam().ends);
  // Yes abandons the run as Quit does: the Output slot is emptied.
  EXPECT_EQ(program->output.loaded, !GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(answers, dispatch_cancel_in_review_test,
                         ::testing::Values(CancelCase{"yes ends the program", 1, true},
                                           CancelCase{"no returns to the review", 2, false}),
                         testing::LabelName{});

// The Quit button's own box says Yes by default, as the button asks for it.
TEST(dispatch_quit_test, the_quit_button_s_box_defaults_to_yes) {
  RecordingDialog dialog;
  dialog.box_answers = {ui::kAnswerNo};
  auto program = program_in_review();
  dispatch(*program, dialog, 1030);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].default_button, 1);
  EXPECT_TRUE(program->output.loaded);
}

TEST(dispatch_session_end_test, ends_a_review_without_asking) {
  RecordingDialog dialog;
  dialog.events = {{ui::EventKind::session_ended, 0}};
  auto program = program_in_review();
  run_event_loop(*program, dialog);
  EXPECT_TRUE(program->quit_requested);
  EXPECT_TRUE(dialog.boxes.empty());
}

class dispatch_ignored_test : public ::testing::TestWithParam<int> {};

TEST_P(dispatch_ignored_test, does_nothing) {
  RecordingDialog dialog;
  auto program = std::make_unique<Program>();
  dispatch(*program, dialog, GetParam());
  EXPECT_FALSE(program->quit_requested);
  EXPECT_TRUE(dialog.calls.empty());
}

// Outside 1001..1049 (other than 2), and fields without an action: group
// boxes, edits, static texts, pictures, the option controls (field changes).
INSTANTIATE_TEST_SUITE_P(identifiers, dispatch_ignored_test,
                         ::testing::Values(-1, 0, 1, 3, 101, 1000, 1005, 1006, 1008, 1011, 1012,
                                           1023, 1024, 1026, 1043, 1044, 1050, 1053, 1054, 1056,
                                           4000),
                         identifier_name);

}  // namespace
}  // namespace pinwright::app
