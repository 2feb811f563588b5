// The program itself in the Qt window: start-up, its single event loop and
// the option handlers, driven by clicks and keys.
#include <gtest/gtest.h>

#include <ostream>

#include <sstream>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/dialog_description.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/map_panel.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "ui/script/scripted_dialog.hpp"
#include "ui/transcript.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::FieldState;
using ui::qt::QtDialog;

class qt_program_test : public ::testing::Test {
 protected:
  qt_program_test() { program.program_dir = folder.path().string() + "/"; }

  void click(int id) {
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  void click_check_box(int id) {
    auto* box = qobject_cast<QCheckBox*>(dialog.widget(id));
    ASSERT_NE(box, nullptr) << id;
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
  }

  void choose_radius(const QString& item) {
    auto* combo = qobject_cast<QComboBox*>(dialog.widget(c::kRadiusCombo));
    ASSERT_NE(combo, nullptr);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const QModelIndex index = list->model()->index(combo->findText(item), 0);
    ASSERT_TRUE(index.isValid()) << item.toStdString();
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  }

  std::string qt_show(int id) const {
    return ui::control_line(
        {id, dialog.text(id), dialog.state(id), dialog.checked(id), dialog.picture(id)});
  }

  // The show lines of every control a script's `show all` lists, from what
  // the window's widgets show.
  std::vector<std::string> qt_show_all() const {
    std::vector<std::string> lines;
    for (const int id : dialog.control_ids()) {
      if (dialog.listed(id)) lines.push_back(qt_show(id));
    }
    return lines;
  }

  TempDir folder;
  QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
};

TEST_F(qt_program_test, start_up_leaves_the_idle_duplicate_run_window) {
  app::start_up(program, dialog);
  const QWidget* window = dialog.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Pinwright Pro v2.03");
  EXPECT_EQ(dialog.text(c::kFirstDecision), "Keep");
  EXPECT_EQ(dialog.text(c::kSecondDecision), "Delete Master entry");
  EXPECT_EQ(dialog.text(c::kOptionsGroup), "Duplicate Options");
  EXPECT_EQ(dialog.text(c::kRow2Label), "Matched Long/Lat deg");
  EXPECT_EQ(dialog.text(c::kAutoLabel), "Delete if");
  EXPECT_EQ(dialog.text(c::kUnderRadius), "< 20 metres");
  EXPECT_EQ(dialog.text(c::kRadiusCombo), "20");
  EXPECT_EQ(dialog.checked(c::kUnderOneMetre), true);
  EXPECT_EQ(dialog.checked(c::kUnderRadius), false);
  EXPECT_EQ(dialog.checked(c::kAppend), true);
  for (const int id : {c::kPosition, c::kText, c::kBoth, c::kAppend})
    EXPECT_TRUE(dialog.widget(id)->isHidden()) << id;
  for (const int id : {c::kStart, c::kQuit, c::kFirstDecision, c::kSecondDecision})
    EXPECT_FALSE(dialog.widget(id)->isEnabled()) << id;
  EXPECT_TRUE(dialog.widget(c::kExit)->isEnabled());
}

enum class Ending { exit_button, close_button, escape };

void PrintTo(Ending ending, std::ostream* out) {
  *out << (ending == Ending::exit_button    ? "exit_button"
           : ending == Ending::close_button ? "close_button"
                                            : "escape");
}

class loop_ending_test : public qt_program_test, public ::testing::WithParamInterface<Ending> {};

TEST_P(loop_ending_test, ends_the_program_and_closes_the_window) {
  const UserSteps user(dialog, {[&] {
                         switch (GetParam()) {
                           case Ending::exit_button:
                             click(c::kExit);
                             break;
                           case Ending::close_button:
                             dialog.window()->close();
                             break;
                           case Ending::escape:
                             QTest::keyClick(dialog.window(), Qt::Key_Escape);
                             break;
                         }
                       }});
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());
  EXPECT_TRUE(program.quit_requested);
  EXPECT_FALSE(dialog.window()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(window, loop_ending_test,
                         ::testing::Values(Ending::exit_button, Ending::close_button,
                                           Ending::escape),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

TEST_F(qt_program_test, options_through_the_event_loop) {
  std::vector<std::string> seen;
  const auto note = [&] {
    seen.push_back(std::to_string(*dialog.checked(c::kUnderOneMetre)) +
                   std::to_string(*dialog.checked(c::kUnderRadius)) + " " +
                   dialog.text(c::kUnderRadius));
  };
  const UserSteps user(dialog, {
                                   [&] { click_check_box(c::kUnderRadius); },
                                   note,
                                   [&] { click_check_box(c::kUnderOneMetre); },
                                   note,
                                   [&] { click_check_box(c::kUnderOneMetre); },
                                   note,
                                   [&] { choose_radius("1500"); },
                                   note,
                                   [&] { choose_radius("1"); },
                                   note,
                                   [&] { click(c::kExit); },
                               });
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "01 < 20 metres",
                      "10 < 20 metres",
                      "00 < 20 metres",
                      "00 < 1500 metres",
                      "00 < 1 metres",
                  }));
  EXPECT_EQ(program.radius_caption, "< 1 metres");
}

TEST_F(qt_program_test, after_start_up_both_layers_show_the_same_controls) {
  app::start_up(program, dialog);
  std::vector<std::string> qt_lines = qt_show_all();

  const ui::DescriptionResult description =
      ui::read_dialog_description(ui::main_dialog_designer_xml());
  ASSERT_TRUE(description.dialog) << description.error;
  std::ostringstream transcript;
  ui::script::ScriptedDialog scripted(
      *description.dialog, ui::script::split_lines("show all\nshow 1057\nshow 1058\nshow map\n"),
      transcript);
  app::Program scripted_program;
  scripted_program.program_dir = program.program_dir;
  app::run_program(scripted_program, scripted);
  std::vector<std::string> scripted_lines;
  std::istringstream lines(transcript.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("control ") || line.starts_with("map ")) scripted_lines.push_back(line);
  }

  EXPECT_EQ(qt_lines.size(), 54u);
  // The run panel, which `show all` leaves out: empty until a run.
  qt_lines.push_back(qt_show(c::kProgress));
  qt_lines.push_back(qt_show(c::kRunStatus));
  const auto* panel = qobject_cast<const ui::qt::MapPanel*>(dialog.widget(c::kMatchMap));
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->scene());
  qt_lines.push_back("map none");
  EXPECT_EQ(qt_lines, scripted_lines);
}

}  // namespace
}  // namespace pinwright::testing
