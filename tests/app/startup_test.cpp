#include "app/startup.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/options.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {
namespace {

using testing::RecordingDialog;
using ui::EventKind;
namespace c = ui::control;

struct Fixture {
  RecordingDialog dialog;
  std::unique_ptr<Program> program = std::make_unique<Program>();
};

TEST(start_up_test, brings_up_the_dialog_in_order_and_then_enables_field_changes) {
  Fixture started;
  start_up(*started.program, started.dialog);

  // What mode labels does on its own, to find it again inside start-up.
  Fixture labels_only;
  mode_labels(*labels_only.program, labels_only.dialog);

  std::vector<std::string> expected = {
      "load_main_dialog",
      "set_title \"Pinwright Pro v2.03\"",
      "show_dialog",
      "set_field_state 1027 0",
      "put_text 1001 \"Keep\"",
      "put_text 1002 \"Delete Master entry\"",
  };
  expected.insert(expected.end(), labels_only.dialog.calls.begin(), labels_only.dialog.calls.end());
  expected.push_back("enable_event_kind 10 on");
  EXPECT_EQ(started.dialog.calls, expected);
  EXPECT_FALSE(started.program->quit_requested);
}

TEST(start_up_test, leaves_the_duplicate_run_labels_and_idle_buttons) {
  Fixture f;
  start_up(*f.program, f.dialog);
  EXPECT_EQ(f.dialog.title, "Pinwright Pro v2.03");
  EXPECT_EQ(f.dialog.control(c::kFirstDecision).text, "Keep");
  EXPECT_EQ(f.dialog.control(c::kSecondDecision).text, "Delete Master entry");
  EXPECT_EQ(f.dialog.control(c::kOptionsGroup).text, "Duplicate Options");
  EXPECT_EQ(f.dialog.control(c::kAutoLabel).text, "Delete if");
  EXPECT_EQ(f.dialog.control(c::kUnderRadius).text, "< 20 metres");
  EXPECT_EQ(f.dialog.control(c::kStart).state, ui::FieldState::disabled);
  EXPECT_EQ(f.dialog.control(c::kQuit).state, ui::FieldState::disabled);
  EXPECT_EQ(f.dialog.control(c::kExit).state, ui::FieldState::enabled);
  for (const int id : {c::kPosition, c::kText, c::kBoth, c::kAppend})
    EXPECT_EQ(f.dialog.control(id).state, ui::FieldState::hidden) << id;
  EXPECT_TRUE(f.dialog.field_changes_enabled);
}

TEST(start_up_test, marker_file_beside_the_program_sets_the_flag) {
  testing::TempDir dir;
  Fixture without;
  without.program->program_dir = dir.path().string() + "/";
  start_up(*without.program, without.dialog);
  EXPECT_FALSE(without.program->matches_report_enabled);

  dir.write("DeduRuvav_output.yes", "");
  Fixture with;
  with.program->program_dir = dir.path().string() + "/";
  start_up(*with.program, with.dialog);
  EXPECT_TRUE(with.program->matches_report_enabled);

  // The name must match exactly.
  testing::TempDir other;
  other.write("deduruvav_output.yes", "");
  Fixture wrong_case;
  wrong_case.program->program_dir = other.path().string() + "/";
  start_up(*wrong_case.program, wrong_case.dialog);
  EXPECT_FALSE(wrong_case.program->matches_report_enabled);
}

struct DirCase {
  const char* label;
  const char* own_file;  // what the system reports; empty when it cannot
  const char* argv0;
  const char* dir;
};

void PrintTo(const DirCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.own_file, row.argv0, row.dir);
}

class program_dir_from_test : public ::testing::TestWithParam<DirCase> {};

TEST_P(program_dir_from_test, keeps_the_directory_with_its_separator) {
  EXPECT_EQ(program_dir_from(GetParam().own_file, GetParam().argv0), GetParam().dir);
}

INSTANTIATE_TEST_SUITE_P(
    cases, program_dir_from_test,
    ::testing::Values(
        // A link in /usr/bin to the installed program: its files lie beside the real file.
        DirCase{"link_by_full_path", "/usr/lib/pinwright/pinwright", "/usr/bin/pinwright",
                "/usr/lib/pinwright/"},
        DirCase{"link_by_bare_name", "/usr/lib/pinwright/pinwright", "pinwright",
                "/usr/lib/pinwright/"},
        DirCase{"own_file_in_root", "/pinwright", "other/pinwright", "/"},
        DirCase{"unknown_full_path", "", "/opt/pinwright/bin/pinwright", "/opt/pinwright/bin/"},
        DirCase{"unknown_relative", "", "build/bin/pinwright-script", "build/bin/"},
        DirCase{"unknown_dot", "", "./pinwright", "./"},
        DirCase{"unknown_root", "", "/pinwright", "/"},
        DirCase{"unknown_blank_in_folder", "", "../a b/pinwright", "../a b/"},
        DirCase{"unknown_bare_name", "", "pinwright", "./"}),
    testing::LabelName{});

TEST(program_dir_from_test, asks_the_system_for_the_running_executable) {
  const auto own = std::filesystem::read_symlink("/proc/self/exe");
  const std::string expected = own.parent_path().string() + "/";
  EXPECT_EQ(program_dir_from("pinwright"), expected);
  EXPECT_EQ(program_dir_from("/usr/bin/pinwright"), expected);
}

TEST(event_loop_test, runs_handlers_until_exit_and_leaves_later_events_unread) {
  Fixture f;
  start_up(*f.program, f.dialog);
  f.dialog.control(c::kUnderOneMetre).checked = true;
  f.dialog.control(c::kUnderRadius).checked = true;
  f.dialog.events = {{EventKind::field_changed, c::kUnderRadius},
                     {EventKind::push_button, c::kExit},
                     {EventKind::push_button, c::kHelp}};
  f.dialog.calls.clear();
  run_event_loop(*f.program, f.dialog);
  EXPECT_TRUE(f.program->quit_requested);
  EXPECT_FALSE(f.dialog.control(c::kUnderOneMetre).checked);
  ASSERT_EQ(f.dialog.events.size(), 1u);
  EXPECT_EQ(f.dialog.events.front().value, c::kHelp);
  EXPECT_EQ(f.dialog.calls, (std::vector<std::string>{"set_check_box 1054 0", "help \"\""}));
}

TEST(event_loop_test, cancel_command_ends_it_like_exit) {
  Fixture f;
  f.dialog.events = {{EventKind::push_button, c::kCancelCommand},
                     {EventKind::push_button, c::kExit}};
  run_event_loop(*f.program, f.dialog);
  EXPECT_TRUE(f.program->quit_requested);
  EXPECT_EQ(f.dialog.events.size(), 1u);
  EXPECT_EQ(f.dialog.calls, (std::vector<std::string>{"help \"\""}));
}

TEST(event_loop_test, tests_the_quit_request_before_waiting) {
  Fixture f;
  f.program->quit_requested = true;
  f.dialog.events = {{EventKind::push_button, c::kExit}};
  run_event_loop(*f.program, f.dialog);
  EXPECT_EQ(f.dialog.events.size(), 1u);
  EXPECT_TRUE(f.dialog.calls.empty());
}

TEST(event_loop_test, repaint_redraws_the_symbols_that_are_set) {
  Fixture f;
  f.program->master.symbol_path = "m.bmp";
  f.program->output.symbol_path = "o.bmp";
  f.dialog.events = {{EventKind::repaint, 0}};
  run_event_loop(*f.program, f.dialog);
  EXPECT_EQ(f.dialog.calls, (std::vector<std::string>{"draw_picture 1044 \"m.bmp\"",
                                                      "draw_picture 1046 \"o.bmp\"", "help \"\""}));
}

TEST(event_loop_test, ignores_events_of_other_kinds) {
  Fixture f;
  f.dialog.control(c::kUnderOneMetre).checked = true;
  f.dialog.control(c::kUnderRadius).checked = true;
  f.dialog.events = {{static_cast<EventKind>(5), c::kUnderRadius},
                     {static_cast<EventKind>(5), c::kExit}};
  run_event_loop(*f.program, f.dialog);  // then the empty queue gives the cancel command
  EXPECT_TRUE(f.dialog.control(c::kUnderOneMetre).checked);
  EXPECT_EQ(f.dialog.calls, (std::vector<std::string>{"help \"\""}));
}

TEST(run_program_test, closes_down_after_the_loop) {
  Fixture f;
  f.dialog.events = {{EventKind::push_button, c::kExit}};
  EXPECT_EQ(run_program(*f.program, f.dialog), 0);
  ASSERT_GE(f.dialog.calls.size(), 2u);
  EXPECT_EQ(f.dialog.calls[f.dialog.calls.size() - 2], "help \"\"");
  EXPECT_EQ(f.dialog.calls.back(), "close_down");
}

}  // namespace
}  // namespace pinwright::app
