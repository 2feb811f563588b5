// Closing the real window while a review waits: the title-bar close button
// and Escape ask with the Quit box before the program ends, No by default.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;

// Two pairs 5.51 m and 14.40 m apart: a duplicate run stops twice.
constexpr const char* kMaster =
    "4.90000, 52.37000, \"Tower\"\n"
    "4.90000, 52.37005, \"Tower B\"\n"
    "5.00000, 52.40000, \"Fountain\"\n"
    "5.00000, 52.40013, \"Fountain 2\"\n";

enum class Closing { close_button, escape };

struct CloseCase {
  const char* label;
  Closing closing;
  QMessageBox::StandardButton answer;
};

void PrintTo(const CloseCase& c, std::ostream* out) {
  *out << c.label;
}

class qt_close_test : public ::testing::TestWithParam<CloseCase> {
 protected:
  qt_close_test() {
    program.program_dir = folder.path().string() + "/";
    program.fixed_today = std::chrono::year_month_day{std::chrono::year{2026},
                                                      std::chrono::December, std::chrono::day{7}};
  }

  void click(int id) {
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  void close_window(Closing closing) {
    if (closing == Closing::close_button)
      dialog.window()->close();
    else
      QTest::keyClick(dialog.window(), Qt::Key_Escape);
  }

  // Answers the next message box, noting its title and text.
  void answer_box(QMessageBox::StandardButton answer) {
    box_answer.emplace(
        [this, answer](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          ASSERT_NE(box, nullptr);
          boxes.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
          ASSERT_NE(box->button(answer), nullptr);
          box->button(answer)->click();
        },
        "QMessageBox");
  }

  // Presses Enter on the next message box, noting its title and which
  // button Enter gives.
  void enter_on_box() {
    box_answer.emplace(
        [this](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          ASSERT_NE(box, nullptr);
          const bool no_is_default = box->defaultButton() == box->button(QMessageBox::No);
          boxes.push_back(box->windowTitle().toStdString() + ": " + (no_is_default ? "No" : "Yes") +
                          " by default");
          QTest::keyClick(box, Qt::Key_Return);
        },
        "QMessageBox");
  }

  std::function<void()> choose(int id, const std::string& path) {
    return [this, id, path] {
      file_answer.emplace(choose_in_file_dialog(path), "QFileDialog");
      click(id);
    };
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog, std::chrono::seconds(20)};
  app::Program program;
  std::optional<ModalAnswer> file_answer;
  std::optional<ModalAnswer> box_answer;
  std::vector<std::string> boxes;
};

TEST_P(qt_close_test, asks_before_ending_a_review) {
  const CloseCase& param = GetParam();
  const std::string master = folder.write("master.asc", kMaster);
  const std::string output = folder.file("out.asc");
  std::vector<std::string> seen;
  const auto note = [&] {
    seen.push_back(dialog.text(c::kRow1Entry) + " " +
                   (dialog.window()->isVisible() ? "shown" : "hidden"));
  };
  std::vector<std::function<void()>> steps = {
      choose(c::kMasterText, master),
      choose(c::kOutputText, output),
      [&] { click(c::kStart); },
      note,
      [&] {
        answer_box(param.answer);
        close_window(param.closing);
      },
  };
  if (param.answer == QMessageBox::No) {
    // Back at the same pair; the next decision goes on, and the window can
    // still be closed, with a Yes this time.
    steps.push_back(note);
    steps.push_back([&] { click(c::kFirstDecision); });
    steps.push_back(note);
    steps.push_back([&] {
      answer_box(QMessageBox::Yes);
      close_window(param.closing);
    });
  }
  const UserSteps user(dialog, steps);
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());
  EXPECT_TRUE(program.quit_requested);
  EXPECT_FALSE(dialog.window()->isVisible());
  const std::string quit_box = "Quit: Delete the output file and quit";
  if (param.answer == QMessageBox::No) {
    EXPECT_EQ(seen, (std::vector<std::string>{"Entry:    1 shown", "Entry:    1 shown",
                                              "Entry:    3 shown"}));
    EXPECT_EQ(boxes, (std::vector<std::string>{quit_box, quit_box}));
  } else {
    EXPECT_EQ(seen, (std::vector<std::string>{"Entry:    1 shown"}));
    EXPECT_EQ(boxes, (std::vector<std::string>{quit_box}));
  }
  // Nothing was written for the run left unfinished.
  EXPECT_FALSE(std::filesystem::exists(output));
}

class qt_close_enter_test : public qt_close_test {};

// Enter on the box gives its default button: when closing mid-review that is
// No, so an Enter meant for the review keeps it; the Quit button's own box
// keeps Yes, and Enter there abandons the run, writing nothing.
TEST_P(qt_close_enter_test, enter_keeps_the_review_and_says_yes_to_quit) {
  const std::string master = folder.write("master.asc", kMaster);
  const std::string output = folder.file("out.asc");
  std::vector<std::string> seen;
  const auto note = [&] { seen.push_back(dialog.text(c::kRow1Entry)); };
  const UserSteps user(dialog, {
                                   choose(c::kMasterText, master),
                                   choose(c::kOutputText, output),
                                   [&] { click(c::kStart); },
                                   [&] {
                                     enter_on_box();
                                     close_window(GetParam().closing);
                                   },
                                   note,
                                   [&] {
                                     enter_on_box();
                                     click(c::kQuit);
                                   },
                                   note,
                                   // No review waits: the window closes without a box.
                                   [&] { close_window(GetParam().closing); },
                               });
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());
  EXPECT_TRUE(program.quit_requested);
  EXPECT_EQ(seen, (std::vector<std::string>{"Entry:    1", " "}));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Quit: No by default", "Quit: Yes by default"}));
  EXPECT_FALSE(std::filesystem::exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    window, qt_close_enter_test,
    ::testing::Values(CloseCase{"close button", Closing::close_button, QMessageBox::NoButton},
                      CloseCase{"escape", Closing::escape, QMessageBox::NoButton}),
    LabelName{});

INSTANTIATE_TEST_SUITE_P(
    window, qt_close_test,
    ::testing::Values(CloseCase{"close button, yes", Closing::close_button, QMessageBox::Yes},
                      CloseCase{"close button, no", Closing::close_button, QMessageBox::No},
                      CloseCase{"escape, yes", Closing::escape, QMessageBox::Yes},
                      CloseCase{"escape, no", Closing::escape, QMessageBox::No}),
    LabelName{});

}  // namespace
}  // namespace pinwright::testing
