// Closing the real window while a review waits: the title-bar close button
// and Escape ask with the Quit box before the program ends.
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
  // The unfinished Output is gone rather than left as an empty-looking file.
  EXPECT_FALSE(std::filesystem::exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    window, qt_close_test,
    ::testing::Values(CloseCase{"close button, yes", Closing::close_button, QMessageBox::Yes},
                      CloseCase{"close button, no", Closing::close_button, QMessageBox::No},
                      CloseCase{"escape, yes", Closing::escape, QMessageBox::Yes},
                      CloseCase{"escape, no", Closing::escape, QMessageBox::No}),
    LabelName{});

}  // namespace
}  // namespace pinwright::testing
