#include "ui/qt/file_filter.hpp"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/test_names.hpp"

namespace pinwright::ui::qt {
namespace {

struct FilterCase {
  const char* label;
  const char* program_form;
  const char* qt_form;
};

void PrintTo(const FilterCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.program_form, row.qt_form);
}

class name_filters_test : public ::testing::TestWithParam<FilterCase> {};

TEST_P(name_filters_test, translate_to_qt) {
  EXPECT_EQ(qt_name_filters(GetParam().program_form), GetParam().qt_form);
}

INSTANTIATE_TEST_SUITE_P(
    file_dialog, name_filters_test,
    ::testing::Values(
        FilterCase{"text_files", "Text files (*.asc, *.csv)|*.asc;*.csv|",
                   "Text files (*.asc, *.csv) (*.asc *.csv)"},
        FilterCase{"overlay_files", "Overlay files (*.ov2)|*.ov2|",
                   "Overlay files (*.ov2) (*.ov2)"},
        FilterCase{"two_filters", "Desc|*.a;*.b|Desc2|*.c|", "Desc (*.a *.b);;Desc2 (*.c)"},
        // Blank padding, as a fixed-length filter text carries it.
        FilterCase{"blank_padding", "Overlay files (*.ov2)|*.ov2|                         ",
                   "Overlay files (*.ov2) (*.ov2)"},
        FilterCase{"no_closing_bar", "Desc|*.a|Desc2|*.c", "Desc (*.a);;Desc2 (*.c)"},
        FilterCase{"blanks_and_empty_patterns", "Desc| *.a ; ;*.b |", "Desc (*.a *.b)"},
        FilterCase{"no_pattern", "All||", "All (*)"},
        FilterCase{"second_without_pattern", "Desc|*.a|Lonely|", "Desc (*.a);;Lonely (*)"},
        FilterCase{"no_description", "|*.a;*.b|", "*.a *.b"}, FilterCase{"empty", "", ""},
        FilterCase{"blanks_only", "    ", ""}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::ui::qt
