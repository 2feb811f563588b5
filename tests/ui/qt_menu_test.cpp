// The window's menus: every item presses its button, is enabled exactly when
// its button is, the standard keys reach the same buttons, and each menu and
// item has a letter of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/given_files_dialog.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/menus.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "version.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::EventKind;
using ui::FieldState;

struct MenuItem {
  int id;
  const char* label;
  QKeySequence key;
};

void PrintTo(const MenuItem& item, std::ostream* out) {
  *out << item.id << ' ' << item.label;
}

const std::vector<MenuItem> kItems = {
    {c::kMasterText, "master_text", QKeySequence(Qt::CTRL | Qt::Key_O)},
    {c::kMasterOv2, "master_ov2", {}},
    {c::kMasterClear, "master_clear", {}},
    {c::kUpdateText, "update_text", {}},
    {c::kUpdateOv2, "update_ov2", {}},
    {c::kUpdateClear, "update_clear", {}},
    {c::kOutputText, "output_text", {}},
    {c::kOutputOv2, "output_ov2", {}},
    {c::kOutputClear, "output_clear", {}},
    {c::kExit, "exit", QKeySequence(Qt::CTRL | Qt::Key_Q)},
    {c::kStart, "start", {}},
    {c::kBack, "back", QKeySequence(Qt::CTRL | Qt::Key_Z)},
    {c::kQuit, "quit", {}},
    {c::kHelp, "help_contents", QKeySequence(Qt::Key_F1)},
};

class qt_menu_test : public ::testing::TestWithParam<MenuItem> {
 protected:
  qt_menu_test() {
    program.program_dir = folder.path().string() + "/";
    app::start_up(program, dialog);
    settle();
  }

  QAction* action() const { return ui::qt::menu_action(*dialog.menu_bar(), GetParam().id); }

  // The events the window queued, as button identifiers.
  std::vector<int> pressed() {
    std::vector<int> ids;
    while (dialog.pending_events() > 0) {
      const ui::Event event = dialog.wait_for_event();
      EXPECT_EQ(event.kind, EventKind::push_button);
      ids.push_back(event.value);
    }
    return ids;
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  app::Program program;
};

TEST_P(qt_menu_test, the_item_presses_its_button_while_the_button_can_be_pressed) {
  ASSERT_NE(dialog.menu_bar(), nullptr);
  QAction* item = action();
  ASSERT_NE(item, nullptr);
  const int id = GetParam().id;

  dialog.set_field_state(id, FieldState::enabled);
  EXPECT_TRUE(item->isEnabled());
  item->trigger();
  EXPECT_EQ(pressed(), std::vector<int>{id});

  dialog.set_field_state(id, FieldState::disabled);
  EXPECT_FALSE(item->isEnabled());
  item->trigger();
  EXPECT_EQ(pressed(), std::vector<int>{});

  dialog.set_field_state(id, FieldState::enabled);
  dialog.set_field_state(id, FieldState::hidden);
  EXPECT_FALSE(item->isEnabled());
  item->trigger();
  EXPECT_EQ(pressed(), std::vector<int>{});
}

TEST_P(qt_menu_test, the_key_of_the_item_presses_its_button) {
  const QKeySequence key = GetParam().key;
  QAction* item = action();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->shortcut(), key);
  if (key.isEmpty()) return;
  dialog.set_field_state(GetParam().id, FieldState::enabled);
  // Away from the fields, whose own Ctrl+Z undoes typing.
  dialog.widget(c::kStart)->setFocus();
  QTest::keyClick(dialog.window(), key[0].key(), key[0].keyboardModifiers());
  EXPECT_EQ(pressed(), std::vector<int>{GetParam().id});
  dialog.set_field_state(GetParam().id, FieldState::disabled);
  QTest::keyClick(dialog.window(), key[0].key(), key[0].keyboardModifiers());
  EXPECT_EQ(pressed(), std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(items, qt_menu_test, ::testing::ValuesIn(kItems),
                         [](const auto& info) { return std::string(info.param.label); });

class qt_menu_letters_test : public ::testing::Test {
 protected:
  qt_menu_letters_test() {
    program.program_dir = folder.path().string() + "/";
    app::start_up(program, dialog);
    settle();
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  app::Program program;
};

// Ctrl+Z in a real review: the window returns to the first pair and Back is
// disabled there.
TEST(qt_menu_back_test, ctrl_z_returns_the_window_to_the_previous_pair) {
  TempDir folder;
  ui::qt::GivenFilesDialog dialog;
  app::Program program;
  program.program_dir = folder.path().string() + "/";
  app::start_up(program, dialog);
  settle();
  const auto press = [&](int id) {
    app::dispatch(program, dialog, id);
    settle();
  };
  dialog.files = {folder.write("master.asc",
                               "4.90000, 52.37000, \"Museum\"\n"
                               "4.90000, 52.37005, \"Museum annex\"\n"
                               "4.95000, 52.38000, \"Station\"\n"
                               "4.95000, 52.38005, \"Station annex\"\n")};
  press(c::kMasterText);
  dialog.files = {folder.file("out.asc")};
  press(c::kOutputText);
  press(c::kStart);
  EXPECT_EQ(dialog.text(c::kRow1Name), "Museum");
  EXPECT_EQ(dialog.state(c::kBack), FieldState::disabled);
  press(c::kFirstDecision);
  EXPECT_EQ(dialog.text(c::kRow1Name), "Station");
  EXPECT_EQ(dialog.state(c::kBack), FieldState::enabled);

  dialog.widget(c::kFirstDecision)->setFocus();
  QTest::keyClick(dialog.window(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(dialog.pending_events(), 1u);
  press(dialog.wait_for_event().value);
  EXPECT_EQ(dialog.text(c::kRow1Name), "Museum");
  EXPECT_EQ(dialog.text(c::kRow2Name), "Museum annex");
  EXPECT_EQ(dialog.state(c::kBack), FieldState::disabled);
  EXPECT_FALSE(ui::qt::menu_action(*dialog.menu_bar(), c::kBack)->isEnabled());
}

// The title names the version in the program's old form ("v2.03" for
// 2.3.0); About shows it so and as the package does.
TEST(qt_menu_about_test, names_the_version_as_the_title_and_the_package_do_and_the_licences) {
  TempDir folder;
  ui::qt::QtDialog dialog;
  app::Program program;
  program.program_dir = folder.path().string() + "/";
  app::start_up(program, dialog);
  const QString version = QString::fromUtf8(kVersion.data(), kVersion.size());
  const QStringList parts = version.split(u'.');
  ASSERT_EQ(parts.size(), 3);
  const QString title = dialog.window()->windowTitle();
  EXPECT_EQ(title, QStringLiteral("Pinwright Pro v%1.%2")
                       .arg(parts[0])
                       .arg(parts[1].toInt(), 2, 10, QLatin1Char('0')));

  const QString text = ui::qt::about_text(title);
  EXPECT_TRUE(text.startsWith(title + "\nVersion " + version + "\n")) << text.toStdString();
  for (const char* word : {"licence", "LGPL", "pugixml", "CC BY 4.0"})
    EXPECT_TRUE(text.contains(QLatin1String(word))) << word;
}

// Alt+F, Alt+U and Alt+H open the three menus, and within a menu no two items
// answer the same letter.
TEST_F(qt_menu_letters_test, each_menu_has_its_letter_and_no_item_shares_one) {
  QStringList titles;
  for (QAction* menu : dialog.menu_bar()->actions()) {
    titles << QKeySequence::mnemonic(menu->text()).toString();
    QStringList letters;
    for (QAction* item : menu->menu()->actions()) {
      const QString letter = QKeySequence::mnemonic(item->text()).toString();
      if (letter.isEmpty()) continue;
      EXPECT_FALSE(letters.contains(letter))
          << letter.toStdString() << " twice in " << menu->text().toStdString();
      letters << letter;
    }
  }
  EXPECT_EQ(titles, (QStringList{"Alt+F", "Alt+U", "Alt+H"}));

  // The letter opens the menu and presses no button.
  dialog.widget(c::kStart)->setFocus();
  QTest::keyClick(dialog.window(), Qt::Key_H, Qt::AltModifier);
  settle();
  EXPECT_EQ(dialog.pending_events(), 0u);
  QMenu* help = dialog.menu_bar()->actions().back()->menu();
  EXPECT_TRUE(help->isVisible());
  help->close();
}

}  // namespace
}  // namespace pinwright::testing
