// A whole update run in the real window: files chosen through Qt's file
// dialogs, the five review decisions pressed by mouse clicks, the second row's
// fields edited by keystrokes, and the Output file read afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::FieldState;

// Five places, each with one Update entry 5.51 m (11.01 m, 14.40 m) north of
// it, and one new place after a comment.
constexpr const char* kMaster =
    "; City guide\n"
    "4.90000, 52.37000, \"Museum\"\n"
    "4.95000, 52.38000, \"Station\", platform 1\n"
    "5.00000, 52.39000, \"Market\"\n"
    "5.05000, 52.40000, \"Library\", free wifi\n"
    "5.10000, 52.41000, \"Harbour\"\n";
constexpr const char* kUpdate =
    "4.90000, 52.37005, \"Museum shop\"\n"
    "4.95000, 52.38005, \"Station Cafe\", upstairs\n"
    "5.00000, 52.39013, \"Market Hall\", since 1900\n"
    "5.05000, 52.40005, \"City Library\", open late\n"
    "5.10000, 52.41010, \"Harbour Gate\", ferry\n"
    "; new places\n"
    "5.20000, 52.50000, \"Windmill\", open Sundays\n";

// Skip leaves the shop out. Save as new entry takes the edited name and, with
// a text Output, the Update entry's own information. Position moves Market
// and gives it the Update information. Text takes both edited fields. Both
// moves Harbour and takes the edited name with the Update information.
constexpr const char* kExpectedOutput =
    ";* Created by Pinwright Pro v2.01 on 07-DEC-26\n"
    ";* Longitude, Latitude, \"Name\"\n"
    "; City guide\n"
    "   4.90000,  52.37000, \"Museum\"\n"
    "   4.95000,  52.38000, \"Station\", platform 1\n"
    "   5.00000,  52.39013, \"Market\", since 1900\n"
    "   5.05000,  52.40000, \"Central Library\", open till 22h\n"
    "   5.10000,  52.41010, \"Harbour Gate West\", ferry\n"
    "   4.95000,  52.38005, \"Station Cafe (new)\", upstairs\n"
    "; new places\n"
    "   5.20000,  52.50000, \"Windmill\", open Sundays\n"
    ";*    7 POI records.    2 user comment lines.\n";

// What the window shows while a pair waits for the user.
struct Review {
  std::string separation;
  std::string master_entry;
  std::string update_entry;
  std::string row1_name;
  std::string row2_name;
  std::string row2_information;
  bool decisions_enabled;

  bool operator==(const Review&) const = default;
};

void PrintTo(const Review& review, std::ostream* out) {
  *out << '"' << review.separation << "\" " << review.master_entry << " / " << review.update_entry
       << " \"" << review.row1_name << "\" \"" << review.row2_name << "\" \""
       << review.row2_information << "\" "
       << (review.decisions_enabled ? "enabled" : "not all enabled");
}

TEST(qt_run_walk_test, update_run_through_every_review_button) {
  const TempDir folder;
  const std::string master = folder.write("master.asc", kMaster);
  const std::string update = folder.write("update.asc", kUpdate);
  const std::string output = folder.file("out.asc");

  ui::qt::QtDialog dialog;
  const Watchdog watchdog{dialog, std::chrono::seconds(20)};
  app::Program program;
  program.program_dir = folder.path().string() + "/";
  program.fixed_today = std::chrono::year_month_day{std::chrono::year{2026}, std::chrono::December,
                                                    std::chrono::day{7}};

  const auto click = [&](int id) {
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  };
  const auto press = [&](int id) { return [&, id] { click(id); }; };
  std::optional<ModalAnswer> file_answer;
  const auto choose = [&](int id, const std::string& path) {
    return [&, id, path] {
      file_answer.emplace(choose_in_file_dialog(path), "QFileDialog");
      click(id);
    };
  };
  // Replaces the field's text as a user would: select all, then type.
  const auto type_into = [&](int id, const char* text) {
    return [&, id, text] {
      auto* edit = qobject_cast<QLineEdit*>(dialog.widget(id));
      ASSERT_NE(edit, nullptr) << id;
      ASSERT_FALSE(edit->isReadOnly()) << id;
      edit->setFocus();
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(edit, text);
    };
  };
  std::vector<Review> reviews;
  const auto note_review = [&] {
    bool enabled = true;
    for (const int id : {c::kFirstDecision, c::kSecondDecision, c::kPosition, c::kText, c::kBoth})
      enabled = enabled && dialog.widget(id)->isEnabled();
    reviews.push_back({dialog.text(c::kSeparation), dialog.text(c::kRow1Entry),
                       dialog.text(c::kRow2Entry), dialog.text(c::kRow1Name),
                       dialog.text(c::kRow2Name), dialog.text(c::kRow2Information), enabled});
  };
  std::vector<FieldState> after_run;
  const auto note_idle = [&] {
    for (const int id : {c::kFirstDecision, c::kSecondDecision, c::kPosition, c::kText, c::kBoth,
                         c::kQuit, c::kStart, c::kExit})
      after_run.push_back(dialog.state(id));
  };

  const UserSteps user(dialog, {
                                   choose(c::kMasterText, master),
                                   choose(c::kUpdateText, update),
                                   choose(c::kOutputText, output),
                                   press(c::kStart),
                                   note_review,
                                   press(c::kFirstDecision),
                                   note_review,
                                   type_into(c::kRow2Name, "Station Cafe (new)"),
                                   type_into(c::kRow2Information, ", edited"),
                                   press(c::kSecondDecision),
                                   note_review,
                                   press(c::kPosition),
                                   note_review,
                                   type_into(c::kRow2Name, "Central Library"),
                                   type_into(c::kRow2Information, ", open till 22h"),
                                   press(c::kText),
                                   note_review,
                                   type_into(c::kRow2Name, "Harbour Gate West"),
                                   type_into(c::kRow2Information, ", edited"),
                                   press(c::kBoth),
                                   note_idle,
                                   press(c::kExit),
                               });
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());

  EXPECT_EQ(
      reviews,
      (std::vector<Review>{
          {"    5.51", "Entry:    2", "Entry:    1", "Museum", "Museum shop", "", true},
          {"    5.51", "Entry:    3", "Entry:    2", "Station", "Station Cafe", ", upstairs", true},
          {"   14.40", "Entry:    4", "Entry:    3", "Market", "Market Hall", ", since 1900", true},
          {"    5.51", "Entry:    5", "Entry:    4", "Library", "City Library", ", open late",
           true},
          {"   11.01", "Entry:    6", "Entry:    5", "Harbour", "Harbour Gate", ", ferry", true},
      }));
  EXPECT_EQ(read_file(output), kExpectedOutput);
  EXPECT_EQ(after_run, (std::vector<FieldState>{FieldState::disabled, FieldState::disabled,
                                                FieldState::disabled, FieldState::disabled,
                                                FieldState::disabled, FieldState::disabled,
                                                FieldState::disabled, FieldState::enabled}));
  EXPECT_EQ(dialog.text(c::kOutputCount), "Number of POI entries:    7");
}

}  // namespace
}  // namespace pinwright::testing
