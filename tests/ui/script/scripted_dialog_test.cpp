#include "ui/script/scripted_dialog.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>
#include <string>
#include <vector>

#include "map/scene.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::ui::script {
namespace {

const DialogDescription& main_dialog() {
  static const DialogDescription dialog =
      *read_dialog_description(main_dialog_designer_xml()).dialog;
  return dialog;
}

// A scripted dialog with the main dialog loaded and field changes on, as after start-up.
struct Scripted {
  explicit Scripted(std::string_view script, bool field_changes = true)
      : dialog(main_dialog(), split_lines(script), transcript) {
    dialog.load_main_dialog();
    dialog.enable_event_kind(EventKind::field_changed, field_changes);
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> result;
    std::istringstream in(transcript.str());
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }
  std::ostringstream transcript;
  ScriptedDialog dialog;
};

bool same(const Event& a, const Event& b) {
  return a.kind == b.kind && a.value == b.value;
}

TEST(split_lines_test, splits_at_lf_and_cr_lf_and_counts_every_line) {
  const auto lines = split_lines("a\r\n\n  b \nc\rd\ne");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].text, "a");
  EXPECT_EQ(lines[1].text, "");
  EXPECT_EQ(lines[2].text, "  b ");
  EXPECT_EQ(lines[3].text, "c\rd");  // a lone CR is no line end
  EXPECT_EQ(lines[4].text, "e");
  EXPECT_EQ(lines[4].number, 5);
  EXPECT_TRUE(split_lines("").empty());
  EXPECT_EQ(split_lines("x\n").size(), 1u);
}

struct DecodeCase {
  const char* label;
  std::string written;
  std::string meant;
};

void PrintTo(const DecodeCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.written, row.meant);
}

class decode_text_test : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(decode_text_test, knows_only_backslash_and_hex_escapes) {
  EXPECT_EQ(decode_text(GetParam().written), GetParam().meant);
}

INSTANTIATE_TEST_SUITE_P(
    cases, decode_text_test,
    ::testing::Values(DecodeCase{"plain", "plain", "plain"},
                      DecodeCase{"escaped_backslash", R"(a\\b)", "a\\b"},
                      DecodeCase{"hex_blank", R"(end\x20)", "end "},
                      DecodeCase{"hex_carriage_return", R"(a\x0Db)", "a\rb"},
                      DecodeCase{"lower_case_hex", R"(\x0d\x0a)", "\r\n"},
                      DecodeCase{"hex_byte_above_127", R"(\xe9)", "\xE9"},
                      DecodeCase{"hex_nul", R"(\x00)", std::string(1, '\0')},
                      DecodeCase{"other_escapes_kept", R"(\n\t\")", R"(\n\t\")"},
                      DecodeCase{"one_hex_digit_kept", R"(\x4)", R"(\x4)"},
                      DecodeCase{"not_hex_kept", R"(\xZZ)", R"(\xZZ)"},
                      DecodeCase{"escaped_backslash_before_x", R"(\\x41)", R"(\x41)"},
                      DecodeCase{"trailing_backslash", R"(C:\dir\)", R"(C:\dir\)"}),
    testing::LabelName{});

TEST(scripted_dialog_test, lines_become_events_in_order) {
  Scripted s(
      "# a comment\n"
      "\n"
      "   press 1004   \r\n"
      "check 1053 on\n"
      "combo 1023 1500\n"
      "repaint\n"
      "press 2\n");
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1004}));
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::field_changed, 1053}));
  EXPECT_TRUE(s.dialog.get_check_box(1053));
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::field_changed, 1023}));
  EXPECT_EQ(s.dialog.get_text(1023), "1500");
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::repaint, 0}));
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 2}));
  // The script has run out: the end of the session, not the user's cancel
  // command, as often as asked.
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::session_ended, 0}));
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::session_ended, 0}));
  EXPECT_TRUE(s.lines().empty());
}

TEST(scripted_dialog_test, field_changes_wait_until_enabled_but_the_change_is_made) {
  Scripted s("check 1053 on\ncombo 1023 50\nedit 1012 x\npress 1003\n", false);
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1003}));
  EXPECT_TRUE(s.dialog.get_check_box(1053));
  EXPECT_EQ(s.dialog.get_text(1023), "50");
  EXPECT_EQ(s.dialog.get_text(1012), "x");
}

TEST(scripted_dialog_test, edit_and_combo_take_the_text_with_escapes_and_may_empty_it) {
  Scripted s(
      "edit 1012  two  blanks\\x20\nshow 1012\nedit 1012\nshow 1012\n"
      "edit 1052 a\\x0Db\\\\\nshow 1052\ncombo 1023\nshow 1023\n");
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::field_changed, 1023}));
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::session_ended, 0}));
  EXPECT_EQ(s.lines(), (std::vector<std::string>{
                           R"(control 1012 text=" two  blanks" state=enabled)",
                           R"(control 1012 text="" state=enabled)",
                           R"(control 1052 text="a\rb\\" state=enabled)",
                           R"(control 1023 text="" state=enabled)",
                       }));
  EXPECT_EQ(s.dialog.get_text(1012), "");
}

TEST(scripted_dialog_test, show_reflects_what_the_program_put) {
  Scripted s("show 1001\nshow 1056\nshow 1046\nshow 1011\nshow 1015\n");
  s.dialog.put_text(1001, "Keep   ");
  s.dialog.set_field_state(1001, FieldState::hidden);
  s.dialog.set_field_state(1001, FieldState::disabled);  // shown again, disabled
  s.dialog.set_check_box(1056, false);
  s.dialog.draw_picture(1046, "symbols/REZ.bmp");
  s.dialog.set_field_state(1046, FieldState::enabled);
  s.dialog.put_text(1011, "   ");
  s.dialog.set_field_state(1015, FieldState::hidden);
  s.dialog.wait_for_event();
  EXPECT_EQ(s.lines(), (std::vector<std::string>{
                           R"(control 1001 text="Keep" state=disabled)",
                           R"(control 1056 text="Append" state=enabled checked=no)",
                           R"(control 1046 text="" state=enabled picture="symbols/REZ.bmp")",
                           R"(control 1011 text=" " state=read-only)",
                           R"(control 1015 text="Position" state=hidden)",
                       }));
}

TEST(scripted_dialog_test, show_all_lists_every_control_in_identifier_order) {
  Scripted s("show all\n");
  s.dialog.wait_for_event();
  const auto lines = s.lines();
  const auto& controls = main_dialog().controls;
  ASSERT_EQ(lines.size(),
            static_cast<std::size_t>(std::count_if(
                controls.begin(), controls.end(),
                [](const ui::ControlDescription& control) { return control.listed; })));
  ASSERT_EQ(lines.size(), 54u);
  EXPECT_EQ(lines.front(), R"(control 1001 text="Skip" state=enabled)");
  EXPECT_EQ(lines[21], R"(control 1023 text="20" state=enabled)");
  EXPECT_EQ(lines[52], R"(control 1056 text="Append" state=enabled checked=yes)");
  EXPECT_EQ(lines.back(), R"(control 1060 text="Back" state=disabled)");
}

TEST(scripted_dialog_test, commands_a_user_could_not_carry_out_are_dropped) {
  Scripted s(
      "press 1001\n"
      "  press 1015  \n"
      "check 1054 on\n"
      "check 1053 off\n"
      "check 1056 off\n"
      "combo 1023 5\n"
      "edit 1008 a.asc\n"
      "edit 1012 name\n"
      "edit 1052 info\n"
      "press 1003\n");
  s.dialog.set_field_state(1001, FieldState::disabled);
  s.dialog.set_field_state(1015, FieldState::hidden);
  s.dialog.set_field_state(1056, FieldState::hidden);
  s.dialog.set_field_state(1023, FieldState::disabled);
  s.dialog.set_field_state(1012, FieldState::disabled);
  s.dialog.set_field_state(1052, FieldState::hidden);
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1003}));
  EXPECT_EQ(s.lines(), (std::vector<std::string>{
                           "dropped press 1001",
                           "dropped press 1015",
                           "dropped check 1054 on",
                           "dropped check 1053 off",
                           "dropped check 1056 off",
                           "dropped combo 1023 5",
                           "dropped edit 1008 a.asc",
                           "dropped edit 1012 name",
                           "dropped edit 1052 info",
                       }));
  EXPECT_TRUE(s.dialog.get_check_box(1056));
  EXPECT_EQ(s.dialog.get_text(1023), "20");
  EXPECT_EQ(s.dialog.get_text(1008), "");
}

struct ErrorCase {
  const char* label;
  std::string script;
  std::string message;
};

void PrintTo(const ErrorCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.script, row.message);
}

class script_error_test : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(script_error_test, stops_with_the_line_and_the_reason) {
  Scripted s(GetParam().script);
  try {
    for (int i = 0; i < 10; ++i) s.dialog.wait_for_event();
    FAIL() << "no error";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    cases, script_error_test,
    ::testing::Values(
        ErrorCase{"unknown_command", "repaint\nclick 1004\n",
                  "script:2: unknown command \"click\""},
        ErrorCase{"upper_case_word", "Press 1004\n", "script:1: unknown command \"Press\""},
        ErrorCase{"no_id", "press\n", "script:1: press needs a control identifier"},
        ErrorCase{"id_not_a_number", "press abc\n",
                  "script:1: \"abc\" is not a control identifier"},
        ErrorCase{"two_blanks", "press  1004\n", "script:1: \"\" is not a control identifier"},
        ErrorCase{"negative_id", "press -2\n", "script:1: \"-2\" is not a control identifier"},
        ErrorCase{"text_after_id", "press 1004 now\n",
                  "script:1: unexpected \"now\" after press 1004"},
        ErrorCase{"no_such_control", "# x\npress 1043\n",
                  "script:2: no control 1043 in the main dialog"},
        ErrorCase{"press_an_edit", "press 1008\n", "script:1: 1008 is not a button"},
        ErrorCase{"check_a_button", "check 1004 on\n", "script:1: 1004 is not a check box"},
        ErrorCase{"check_without_state", "check 1054\n", "script:1: check takes on or off"},
        ErrorCase{"check_yes", "check 1054 yes\n", "script:1: check takes on or off"},
        ErrorCase{"combo_a_check_box", "combo 1053 50\n", "script:1: 1053 is not the combo box"},
        ErrorCase{"edit_a_static", "edit 1026 5\n", "script:1: 1026 is not an edit field"},
        ErrorCase{"edit_a_picture", "edit 1044 x\n", "script:1: 1044 is not an edit field"},
        ErrorCase{"show_cancel_command", "show 2\n", "script:1: no control 2 in the main dialog"},
        ErrorCase{"show_nothing", "show\n", "script:1: show needs a control identifier"},
        ErrorCase{"repaint_with_text", "repaint all\n",
                  "script:1: unexpected \"all\" after repaint"},
        ErrorCase{"file_without_dialog", "file a.asc\n",
                  "script:1: no file dialog is waiting for file"},
        ErrorCase{"file_cancel_without_dialog", "file-cancel\n",
                  "script:1: no file dialog is waiting for file-cancel"},
        ErrorCase{"answer_without_box", "answer yes\n",
                  "script:1: no message box is waiting for an answer"},
        // A dropped command is still checked first.
        ErrorCase{"error_after_drop", "press 1001\nedit 1012\nshow 5\n",
                  "script:3: no control 5 in the main dialog"}),
    testing::LabelName{});

TEST(scripted_dialog_box_test, ok_box_takes_no_line) {
  Scripted s("press 1004\n");
  EXPECT_EQ(
      s.dialog.message_box(ButtonSet::ok, Icon::information, 1, "full\rtable", "Storage limit"),
      kAnswerOkYes);
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1004}));
  EXPECT_EQ(s.lines(), (std::vector<std::string>{
                           R"(box icon=information buttons=ok default=1 title="Storage limit" )"
                           R"(text="full\rtable" -> ok)"}));
}

// A script may look at the window while a box is up: `show` lines followed
// by the box's answer run before the box closes, an OK box's as well.
TEST(scripted_dialog_box_test, shows_before_the_answer_look_behind_the_box) {
  for (const ButtonSet buttons : {ButtonSet::ok, ButtonSet::yes_no}) {
    const std::string word = buttons == ButtonSet::ok ? "ok" : "no";
    Scripted s("show 1001\n# behind the box\nshow 1004\nanswer " + word + "\npress 1004\n");
    s.dialog.put_text(control::kFirstDecision, "Keep");
    s.dialog.message_box(buttons, Icon::question, 1, "t", "T");
    EXPECT_EQ(
        s.lines(),
        (std::vector<std::string>{
            R"(control 1001 text="Keep" state=enabled)",
            R"(control 1004 text="Exit" state=enabled)",
            "box icon=question buttons=" + std::string(buttons == ButtonSet::ok ? "ok" : "yes-no") +
                R"( default=1 title="T" text="t" -> )" + word}));
    EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1004}));
  }
}

// Without an answer after them, `show` lines are the next commands as
// always: an OK box answers itself first.
TEST(scripted_dialog_box_test, an_ok_box_without_an_answer_leaves_the_shows_for_later) {
  Scripted s("show 1004\npress 1004\n");
  s.dialog.message_box(ButtonSet::ok, Icon::information, 1, "t", "T");
  ASSERT_EQ(s.lines().size(), 1u);
  EXPECT_TRUE(same(s.dialog.wait_for_event(), {EventKind::push_button, 1004}));
  EXPECT_EQ(s.lines().back(), R"(control 1004 text="Exit" state=enabled)");
}

TEST(scripted_dialog_test, show_remembered_lists_the_files_the_program_kept) {
  Scripted s("show remembered\npress 1004\nshow remembered\npress 1004\n");
  s.dialog.wait_for_event();
  s.dialog.remember_file(poi::Slot::master, "data/master.asc");
  s.dialog.remember_file(poi::Slot::output, "out \"new\".asc");
  s.dialog.wait_for_event();
  EXPECT_EQ(s.lines(),
            (std::vector<std::string>{"remembered none", R"(remembered master "data/master.asc")",
                                      R"(remembered output "out \"new\".asc")"}));
}

struct AnswerCase {
  ButtonSet buttons;
  const char* word;
  int result;
};

const char* button_set_name(ButtonSet buttons) {
  switch (buttons) {
    case ButtonSet::ok:
      return "ok";
    case ButtonSet::yes_no:
      return "yes_no";
  }
  return "unknown";
}

void PrintTo(const AnswerCase& row, std::ostream* out) {
  testing::print_row(out, button_set_name(row.buttons), row.word, row.result);
}

class box_answer_test : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(box_answer_test, answer_gives_the_result_code) {
  const AnswerCase& test = GetParam();
  Scripted s("  # the answer may follow comments\n\nanswer " + std::string(test.word) + "\n");
  EXPECT_EQ(s.dialog.message_box(test.buttons, Icon::question, 2, "t", "T"), test.result);
  ASSERT_EQ(s.lines().size(), 1u);
  EXPECT_TRUE(s.lines()[0].ends_with(" -> " + std::string(test.word)));
}

INSTANTIATE_TEST_SUITE_P(cases, box_answer_test,
                         ::testing::Values(AnswerCase{ButtonSet::yes_no, "yes", 1},
                                           AnswerCase{ButtonSet::yes_no, "no", 2},
                                           AnswerCase{ButtonSet::ok, "ok", 1}),
                         [](const auto& info) {
                           return std::string(button_set_name(info.param.buttons)) + "_" +
                                  info.param.word;
                         });

struct BoxErrorCase {
  const char* label;
  ButtonSet buttons;
  std::string script;
  std::string message;
};

void PrintTo(const BoxErrorCase& row, std::ostream* out) {
  testing::print_row(out, row.label, button_set_name(row.buttons), row.script, row.message);
}

class box_error_test : public ::testing::TestWithParam<BoxErrorCase> {};

TEST_P(box_error_test, stops_the_script) {
  Scripted s(GetParam().script);
  try {
    s.dialog.message_box(GetParam().buttons, Icon::question, 1, "Delete?", "Quit");
    FAIL() << "no error";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.what(), GetParam().message);
  }
  EXPECT_TRUE(s.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    cases, box_error_test,
    ::testing::Values(
        BoxErrorCase{"not_an_answer", ButtonSet::yes_no, "press 1004\n",
                     "script:1: the message box \"Quit\" waits for an answer"},
        BoxErrorCase{
            "script_ended", ButtonSet::yes_no, "# no answer\n\n",
            "script:3: the message box \"Quit\" waits for an answer; the script has ended"},
        BoxErrorCase{"not_offered", ButtonSet::yes_no, "answer cancel\n",
                     "script:1: the message box \"Quit\" offers no cancel (its buttons: yes-no)"},
        BoxErrorCase{"ok_on_yes_no", ButtonSet::yes_no, "answer ok\n",
                     "script:1: the message box \"Quit\" offers no ok (its buttons: yes-no)"},
        BoxErrorCase{"word_no_box_offers", ButtonSet::yes_no, "answer retry\n",
                     "script:1: the message box \"Quit\" offers no retry (its buttons: yes-no)"},
        BoxErrorCase{"unknown_word", ButtonSet::yes_no, "answer Yes\n",
                     "script:1: \"Yes\" is not an answer word"},
        BoxErrorCase{"no_word", ButtonSet::yes_no, "answer\n",
                     "script:1: \"\" is not an answer word"},
        BoxErrorCase{"file_for_a_box", ButtonSet::yes_no, "file x\n",
                     "script:1: the message box \"Quit\" waits for an answer"},
        BoxErrorCase{"show_without_an_answer", ButtonSet::yes_no, "show 1001\npress 1004\n",
                     "script:1: the message box \"Quit\" waits for an answer"},
        BoxErrorCase{"yes_on_ok", ButtonSet::ok, "answer yes\n",
                     "script:1: the message box \"Quit\" offers no yes (its buttons: ok)"}),
    testing::LabelName{});

TEST(scripted_dialog_file_test, file_line_answers_with_the_path_as_written) {
  Scripted s("file in/My\\x20Master.asc\\x20\nfile-cancel\nfile C:\\\\a\\b.ov2\n");
  EXPECT_EQ(s.dialog.choose_file("Text files (*.asc, *.csv)|*.asc;*.csv|   ", FileDialogForm::open,
                                 "", "Select Master file"),
            "in/My Master.asc ");
  EXPECT_EQ(s.dialog.choose_file("f", FileDialogForm::save, "out.asc  ", "Output"), std::nullopt);
  EXPECT_EQ(s.dialog.choose_file("f", FileDialogForm::open, "", "T"), "C:\\a\\b.ov2");
  EXPECT_EQ(
      s.lines(),
      (std::vector<std::string>{
          R"(file-dialog open title="Select Master file" filter="Text files (*.asc, *.csv)|*.asc;*.csv|" start="" -> "in/My Master.asc ")",
          R"(file-dialog save title="Output" filter="f" start="out.asc" -> cancel)",
          R"(file-dialog open title="T" filter="f" start="" -> "C:\\a\\b.ov2")",
      }));
}

class file_error_test : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(file_error_test, stops_the_script) {
  Scripted s(GetParam().script);
  try {
    s.dialog.choose_file("f", FileDialogForm::open, "", "Master");
    FAIL() << "no error";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.what(), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    cases, file_error_test,
    ::testing::Values(
        ErrorCase{"show_first", "show 1008\nfile a.asc\n",
                  "script:1: the file dialog \"Master\" waits for file or file-cancel"},
        ErrorCase{"script_ended", "# only a comment\n",
                  "script:2: the file dialog \"Master\" waits for file or file-cancel; the script "
                  "has ended"},
        ErrorCase{"no_path", "file\n", "script:1: file needs a path"},
        ErrorCase{"cancel_with_text", "file-cancel now\n",
                  "script:1: unexpected \"now\" after file-cancel"},
        ErrorCase{"answer_for_a_file", "answer ok\n",
                  "script:1: the file dialog \"Master\" waits for file or file-cancel"}),
    testing::LabelName{});

TEST(scripted_dialog_help_test, prints_opening_and_closing) {
  Scripted s("");
  s.dialog.help("prog/Pinwright.hlp");
  s.dialog.help("");
  s.dialog.help(" ");
  EXPECT_EQ(s.lines(),
            (std::vector<std::string>{R"(help "prog/Pinwright.hlp")", "help close", "help close"}));
}

TEST(scripted_dialog_test, the_run_panel_is_shown_on_request_only) {
  poi::PoiTable table(4);
  table[1].longitude = 4.89f;
  table[1].latitude = 52.37f;
  table[1].name.assign("Dam");
  table[2].longitude = 4.8902f;
  table[2].latitude = 52.3701f;
  table[2].name.assign("Dam 2");
  table[3].longitude = 4.8901f;
  table[3].latitude = 52.3702f;
  table[3].name.assign("Beurs");
  map::SceneInput input{.view = map::fit_view({4.89, 52.37}, {4.8902, 52.3701}, 20.0, 800, 600),
                        .table = table,
                        .first = 1,
                        .last = 3,
                        .leave_out = {1, 2}};
  input.row1 = table[1];
  input.row2 = table[2];
  input.row1_entry = 1;
  input.row2_entry = 2;
  input.radius = 20.0f;
  input.separation = 17.0f;

  Scripted s("show map\nshow 1057\nshow all\nrepaint\nshow 1059\nshow 1057\nshow map\n");
  s.dialog.put_text(control::kProgress, "Entry 1 of 3");
  s.dialog.put_map(control::kMatchMap, input);
  s.dialog.put_map(control::kRow1Name, input);  // not a map: nothing happens
  s.dialog.wait_for_event();
  s.dialog.put_text(control::kProgress, " ");
  s.dialog.put_map(control::kMatchMap, std::nullopt);
  s.dialog.wait_for_event();

  std::vector<std::string> expected = map::describe(map::build_scene(input));
  ASSERT_EQ(expected.size(), 8u);  // view, markers, line, circle, scale, dots, Beurs
  EXPECT_EQ(expected.back().substr(0, 12), "map dot 3 x=");
  const auto lines = s.lines();
  ASSERT_EQ(lines.size(), expected.size() + 1 + 54 + 3);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), expected);
  EXPECT_EQ(lines[8], R"(control 1057 text="Entry 1 of 3" state=enabled)");
  EXPECT_EQ(lines[9 + 52], R"(control 1056 text="Append" state=enabled checked=yes)");
  EXPECT_EQ(lines[63], "map none");
  EXPECT_EQ(lines[64], R"(control 1057 text=" " state=enabled)");
  EXPECT_EQ(lines[65], "map none");
}

}  // namespace
}  // namespace pinwright::ui::script
