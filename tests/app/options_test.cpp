#include "app/options.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/recording_dialog.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {
namespace {

using testing::RecordingDialog;
namespace c = ui::control;

struct Fixture {
  RecordingDialog dialog;
  std::unique_ptr<Program> program = std::make_unique<Program>();
};

struct CheckCase {
  const char* label;
  int changed;  // the box the user clicked
  bool one_metre_before;
  bool radius_before;
  bool one_metre_after;
  bool radius_after;
};

void PrintTo(const CheckCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.changed, row.one_metre_before, row.radius_before,
                     row.one_metre_after, row.radius_after);
}

class exclusive_check_boxes_test : public ::testing::TestWithParam<CheckCase> {};

TEST_P(exclusive_check_boxes_test, never_leaves_both_checked) {
  const CheckCase& test = GetParam();
  Fixture f;
  f.dialog.control(c::kUnderOneMetre).checked = test.one_metre_before;
  f.dialog.control(c::kUnderRadius).checked = test.radius_before;
  handle_field_change(*f.program, f.dialog, test.changed);
  EXPECT_EQ(f.dialog.control(c::kUnderOneMetre).checked, test.one_metre_after);
  EXPECT_EQ(f.dialog.control(c::kUnderRadius).checked, test.radius_after);
}

// The state "before" is what the click left: the clicked box already changed.
INSTANTIATE_TEST_SUITE_P(
    cases, exclusive_check_boxes_test,
    ::testing::Values(CheckCase{"radius_checked", c::kUnderRadius, true, true, false, true},
                      CheckCase{"one_metre_checked", c::kUnderOneMetre, true, true, true, false},
                      CheckCase{"radius_unchecked", c::kUnderRadius, true, false, true, false},
                      CheckCase{"one_metre_unchecked", c::kUnderOneMetre, false, true, false, true},
                      CheckCase{"both_unchecked", c::kUnderRadius, false, false, false, false},
                      CheckCase{"append_changes_nothing", c::kAppend, true, true, true, true}),
    testing::LabelName{});

struct RadiusCase {
  const char* label;
  const char* combo_text;
  const char* caption;
};

void PrintTo(const RadiusCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.combo_text, row.caption);
}

class radius_caption_test : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(radius_caption_test, rebuilds_the_caption_of_the_radius_box) {
  Fixture f;
  f.dialog.control(c::kRadiusCombo).text = GetParam().combo_text;
  handle_field_change(*f.program, f.dialog, c::kRadiusCombo);
  EXPECT_EQ(f.program->radius_caption, GetParam().caption);
  EXPECT_EQ(f.dialog.control(c::kUnderRadius).text, GetParam().caption);
  // mode labels puts the same caption back.
  f.dialog.control(c::kUnderRadius).text.clear();
  mode_labels(*f.program, f.dialog);
  EXPECT_EQ(f.dialog.control(c::kUnderRadius).text, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(cases, radius_caption_test,
                         ::testing::Values(RadiusCase{"fifteen_hundred_fills_13", "1500",
                                                      "< 1500 metres"},
                                           RadiusCase{"one_keeps_plural", "1", "< 1 metres"},
                                           RadiusCase{"fifty", "50", "< 50 metres"},
                                           RadiusCase{"blanks_around", "  250  ", "< 250 metres"},
                                           RadiusCase{"empty_reads_minus_999", "", "< -999 metres"},
                                           RadiusCase{"five_digits_cut", "12345", "< **** metres"},
                                           RadiusCase{"not_a_number", "abc", "< **** metres"}),
                         testing::LabelName{});

}  // namespace
}  // namespace pinwright::app
