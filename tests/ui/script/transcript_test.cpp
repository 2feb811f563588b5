#include "ui/transcript.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_names.hpp"

namespace pinwright::ui {
namespace {

struct QuoteCase {
  const char* label;
  std::string text;
  std::string quoted;
};

void PrintTo(const QuoteCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.text, row.quoted);
}

class quote_test : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(quote_test, escapes_exactly_the_listed_bytes) {
  EXPECT_EQ(quote(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    cases, quote_test,
    ::testing::Values(
        QuoteCase{"empty", "", R"("")"}, QuoteCase{"plain", "Keep", R"("Keep")"},
        QuoteCase{"backslash", "a\\b", R"("a\\b")"},
        QuoteCase{"quotes", "say \"hi\"", R"("say \"hi\"")"},
        QuoteCase{"line_ends_and_tab", "one\rtwo\nthree\tfour", R"("one\rtwo\nthree\tfour")"},
        QuoteCase{"control_bytes", std::string("\0\x01\x1F", 3), R"("\x00\x01\x1F")"},
        QuoteCase{"delete", "\x7F", R"("\x7F")"},
        // Bytes from 0x80 on pass unchanged, UTF-8 or not.
        QuoteCase{"bytes_from_0x80", "M\xC3\xBCnchen \xE9", "\"M\xC3\xBCnchen \xE9\""},
        QuoteCase{"blank_and_tilde", " ~", R"(" ~")"}),
    testing::LabelName{});

TEST(shown_text_test, trailing_blanks_go_but_a_blank_text_keeps_one) {
  EXPECT_EQ(shown_text(""), "");
  EXPECT_EQ(shown_text(" "), " ");
  EXPECT_EQ(shown_text("     "), " ");
  EXPECT_EQ(shown_text("Keep   "), "Keep");
  EXPECT_EQ(shown_text("  lead"), "  lead");
  EXPECT_EQ(shown_text("tab\t"), "tab\t");
}

TEST(control_line_test, plain_check_box_and_picture_forms) {
  EXPECT_EQ(control_line({1001, "Keep   ", FieldState::disabled, {}, {}}),
            R"(control 1001 text="Keep" state=disabled)");
  EXPECT_EQ(control_line({1011, " ", FieldState::read_only, {}, {}}),
            R"(control 1011 text=" " state=read-only)");
  EXPECT_EQ(control_line({1054, "< 1 or", FieldState::enabled, true, {}}),
            R"(control 1054 text="< 1 or" state=enabled checked=yes)");
  EXPECT_EQ(control_line({1056, "Append", FieldState::hidden, false, {}}),
            R"(control 1056 text="Append" state=hidden checked=no)");
  EXPECT_EQ(control_line({1046, "", FieldState::disabled, {}, std::string("sym/a b.bmp")}),
            R"(control 1046 text="" state=disabled picture="sym/a b.bmp")");
  EXPECT_EQ(control_line({1044, "", FieldState::enabled, {}, std::string()}),
            R"(control 1044 text="" state=enabled picture="")");
}

TEST(box_line_test, names_every_icon_and_button_set) {
  EXPECT_EQ(box_line(Icon::question, ButtonSet::yes_no, 1, "Quit",
                     "Delete the output file and quit", "no"),
            R"(box icon=question buttons=yes-no default=1 title="Quit" )"
            R"(text="Delete the output file and quit" -> no)");
  EXPECT_EQ(box_line(Icon::information, ButtonSet::ok, 1, "Format error", "line 3\rbad", "ok"),
            R"(box icon=information buttons=ok default=1 title="Format error" )"
            R"(text="line 3\rbad" -> ok)");
  EXPECT_EQ(icon_name(Icon::exclamation), "exclamation");
  EXPECT_EQ(icon_name(Icon::information), "information");
  EXPECT_EQ(button_set_name(ButtonSet::ok), "ok");
}

TEST(file_dialog_line_test, trims_the_dialog_texts_but_not_the_chosen_path) {
  EXPECT_EQ(
      file_dialog_line(FileDialogForm::open, "Master file   ",
                       "Text files (*.asc, *.csv)|*.asc;*.csv|   ", "  ", std::string("in/a.asc ")),
      R"(file-dialog open title="Master file" filter="Text files (*.asc, *.csv)|*.asc;*.csv|" )"
      R"(start="" -> "in/a.asc ")");
  EXPECT_EQ(file_dialog_line(FileDialogForm::save, "Output", "", "out.ov2", std::nullopt),
            R"(file-dialog save title="Output" filter="" start="out.ov2" -> cancel)");
}

TEST(help_line_test, a_blank_name_closes) {
  EXPECT_EQ(help_line("prog/Pinwright.hlp"), R"(help "prog/Pinwright.hlp")");
  EXPECT_EQ(help_line(""), "help close");
  EXPECT_EQ(help_line("   "), "help close");
}

}  // namespace
}  // namespace pinwright::ui
