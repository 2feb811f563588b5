#include "ui/qt/file_filter.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace pinwright::ui::qt {
namespace {

struct FilterCase {
  const char* program_form;
  const char* qt_form;
};

void PrintTo(const FilterCase& row, std::ostream* out) {
  *out << '"' << row.program_form << '"';
}

class NameFilters : public ::testing::TestWithParam<FilterCase> {};

TEST_P(NameFilters, translate_to_qt) {
  EXPECT_EQ(qt_name_filters(GetParam().program_form), GetParam().qt_form);
}

INSTANTIATE_TEST_SUITE_P(
    FileDialog, NameFilters,
    ::testing::Values(FilterCase{"Text files (*.asc, *.csv)|*.asc;*.csv|",
                                 "Text files (*.asc, *.csv) (*.asc *.csv)"},
                      FilterCase{"Overlay files (*.ov2)|*.ov2|", "Overlay files (*.ov2) (*.ov2)"},
                      FilterCase{"Desc|*.a;*.b|Desc2|*.c|", "Desc (*.a *.b);;Desc2 (*.c)"},
                      // Blank padding, as a fixed-length filter text carries it.
                      FilterCase{"Overlay files (*.ov2)|*.ov2|                         ",
                                 "Overlay files (*.ov2) (*.ov2)"},
                      FilterCase{"Desc|*.a|Desc2|*.c", "Desc (*.a);;Desc2 (*.c)"},
                      FilterCase{"Desc| *.a ; ;*.b |", "Desc (*.a *.b)"},
                      FilterCase{"All||", "All (*)"},
                      FilterCase{"Desc|*.a|Lonely|", "Desc (*.a);;Lonely (*)"},
                      FilterCase{"|*.a;*.b|", "*.a *.b"}, FilterCase{"", ""},
                      FilterCase{"    ", ""}));

}  // namespace
}  // namespace pinwright::ui::qt
