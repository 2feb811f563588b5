// Names in the encodings real files hold, through a whole update run in the
// window: shown as their characters, written back as their bytes.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
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

// One line each: the Master file's first entry is Windows-1252 ("Café" with
// the byte 0xE9), its second UTF-8 ("Zürich"). Each Update entry lies 7 to 8
// metres from one of them, in the other encoding.
const std::string kMaster =
    "4.89000, 52.37000, \"Caf\xE9\", pop 1\n"
    "8.54000, 47.37000, \"Z\xC3\xBCrich\", HB\n";
const std::string kUpdate =
    "4.89010, 52.37000, \"Z\xC3\xBCrich\", caf\xC3\xA9\n"
    "8.54010, 47.37000, \"Caf\xE9\", cr\xE8me\n";

struct Review {
  QString row1_name;
  QString row2_name;
  QString row2_information;
};

bool operator==(const Review& a, const Review& b) {
  return a.row1_name == b.row1_name && a.row2_name == b.row2_name &&
         a.row2_information == b.row2_information;
}

void PrintTo(const Review& review, std::ostream* out) {
  *out << review.row1_name.toStdString() << " | " << review.row2_name.toStdString() << " | "
       << review.row2_information.toStdString();
}

std::vector<std::string> lines_of(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(qt_encoding_run_test, text_decisions_write_unedited_names_back_byte_for_byte) {
  const TempDir folder;
  const std::string master = folder.write("master.asc", kMaster);
  const std::string update = folder.write("update.asc", kUpdate);
  const std::string output = folder.file("out.asc");

  ui::qt::QtDialog dialog;
  const Watchdog watchdog{dialog};
  app::Program program;
  program.program_dir = folder.path().string() + "/";

  const auto click = [&](int id) {
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  };
  std::optional<ModalAnswer> file_answer;
  const auto choose = [&](int id, const std::string& path) {
    return [&, id, path] {
      file_answer.emplace(choose_in_file_dialog(path), "QFileDialog");
      click(id);
    };
  };
  const auto field = [&](int id) {
    auto* edit = qobject_cast<QLineEdit*>(dialog.widget(id));
    return edit ? edit->text() : QStringLiteral("(no line edit)");
  };
  std::vector<Review> reviews;
  const auto note_review = [&] {
    reviews.push_back({field(c::kRow1Name), field(c::kRow2Name), field(c::kRow2Information)});
  };

  const UserSteps user(dialog, {
                                   choose(c::kMasterText, master),
                                   choose(c::kUpdateText, update),
                                   choose(c::kOutputText, output),
                                   [&] { click(c::kStart); },
                                   note_review,
                                   [&] { click(c::kText); },
                                   note_review,
                                   [&] { click(c::kText); },
                                   [&] { click(c::kExit); },
                               });
  EXPECT_EQ(app::run_program(program, dialog), 0);
  EXPECT_TRUE(user.done());

  EXPECT_EQ(reviews, (std::vector<Review>{
                         {QStringLiteral("Caf\u00E9"), QStringLiteral("Z\u00FCrich"),
                          QStringLiteral(", caf\u00E9")},
                         {QStringLiteral("Z\u00FCrich"), QStringLiteral("Caf\u00E9"),
                          QStringLiteral(", cr\u00E8me")},
                     }));
  // Each Master entry took the Update entry's name and information as the
  // Update file holds them: UTF-8 into the first, Windows-1252 into the second.
  const std::vector<std::string> lines = lines_of(read_file(output));
  ASSERT_EQ(lines.size(), 5u) << read_file(output);
  EXPECT_EQ(lines[2], "   4.89000,  52.37000, \"Z\xC3\xBCrich\", caf\xC3\xA9");
  EXPECT_EQ(lines[3], "   8.54000,  47.37000, \"Caf\xE9\", cr\xE8me");
  EXPECT_EQ(lines[4], ";*    2 POI records.    0 user comment lines.");
}

}  // namespace
}  // namespace pinwright::testing
