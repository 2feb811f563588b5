#include "app/dispatch.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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
