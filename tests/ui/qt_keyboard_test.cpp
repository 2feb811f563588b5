// The Qt window from the keyboard: where the focus goes, what Enter, Space,
// F1, Tab and the Alt+letter keys do, the tooltips that name them, and a
// layout that does not jump and fits small screens.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeySequence>
#include <QPushButton>
#include <QRect>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
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
#include "ui/qt/mnemonics.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::EventKind;
using ui::FieldState;
using ui::qt::GivenFilesDialog;

// Two places with an Update entry 5.51 m north of each; in a duplicate run of
// the Master file, the two Museum entries match each other.
constexpr const char* kMaster =
    "4.90000, 52.37000, \"Museum\"\n"
    "4.90000, 52.37005, \"Museum annex\"\n"
    "4.95000, 52.38000, \"Station\"\n"
    "4.95000, 52.38005, \"Station annex\"\n";
constexpr const char* kUpdate =
    "4.90000, 52.37010, \"Museum shop\"\n"
    "4.95000, 52.38010, \"Station Cafe\"\n";

const std::vector<int> kButtons = {
    c::kMasterText,  c::kMasterOv2,  c::kMasterClear,   c::kUpdateText,     c::kUpdateOv2,
    c::kUpdateClear, c::kOutputText, c::kOutputOv2,     c::kOutputClear,    c::kPosition,
    c::kText,        c::kBoth,       c::kFirstDecision, c::kSecondDecision, c::kStart,
    c::kHelp,        c::kQuit,       c::kExit};
const std::vector<int> kCheckBoxes = {c::kAppend, c::kUnderOneMetre, c::kUnderRadius};

class qt_keyboard_test : public ::testing::Test {
 protected:
  qt_keyboard_test() { program.program_dir = folder.path().string() + "/"; }

  void start_up() {
    app::start_up(program, dialog);
    settle();
  }

  // Presses `id` as the event loop would hand it on.
  void press(int id) {
    app::dispatch(program, dialog, id);
    settle();
  }

  void load_files(bool with_update) {
    dialog.files = {folder.write("master.asc", kMaster)};
    press(c::kMasterText);
    if (with_update) {
      dialog.files = {folder.write("update.asc", kUpdate)};
      press(c::kUpdateText);
    }
    dialog.files = {folder.file("out.asc")};
    press(c::kOutputText);
  }

  // The control holding the focus (a combo box for its line edit), 0 for none.
  int focused() const {
    for (const QWidget* widget = dialog.window()->focusWidget(); widget;
         widget = widget->parentWidget()) {
      const QVariant id = widget->property("controlId");
      if (id.isValid()) return id.toInt();
    }
    return 0;
  }

  // Each button shows, enabled: every key has something to press.
  void enable_all() {
    for (const int id : kButtons) dialog.set_field_state(id, FieldState::enabled);
    for (const int id : kCheckBoxes) dialog.set_field_state(id, FieldState::enabled);
  }

  // Every control's place in the window.
  std::map<int, QRect> places() const {
    std::map<int, QRect> result;
    for (const int id : dialog.control_ids()) {
      const QWidget* widget = dialog.widget(id);
      result[id] = QRect(widget->mapTo(dialog.window(), QPoint(0, 0)), widget->size());
    }
    return result;
  }

  TempDir folder;
  GivenFilesDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
};

// --- Captions with their Alt+letter --------------------------------------------

struct CaptionCase {
  const char* label;
  const char* caption;
  std::optional<char> letter;
  const char* shown;
};

void PrintTo(const CaptionCase& row, std::ostream* out) {
  *out << '"' << row.caption << "\" -> \"" << row.shown << '"';
}

class mnemonic_caption_test : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(mnemonic_caption_test, marks_the_letter_and_reads_back_the_caption) {
  const CaptionCase& row = GetParam();
  const QString caption = QString::fromUtf8(row.caption);
  std::optional<QChar> letter;
  if (row.letter) letter = QChar::fromLatin1(*row.letter);
  const QString shown = ui::qt::with_mnemonic(caption, letter);
  EXPECT_EQ(shown, QString::fromUtf8(row.shown));
  EXPECT_EQ(ui::qt::without_mnemonic(shown), caption);
}

INSTANTIATE_TEST_SUITE_P(
    captions, mnemonic_caption_test,
    ::testing::Values(CaptionCase{"first_letter", "Start", 's', "&Start"},
                      CaptionCase{"inside_a_word", "Skip", 'k', "S&kip"},
                      CaptionCase{"first_of_two", "Save as new entry", 'n', "Save as &new entry"},
                      CaptionCase{"a_digit", "< 1 or", '1', "< &1 or"},
                      CaptionCase{"ampersand_kept", "Fish & Chips", 'c', "Fish && &Chips"},
                      CaptionCase{"letter_missing", "Keep", 'z', "Keep"},
                      CaptionCase{"no_letter", "A&B", std::nullopt, "A&&B"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(qt_keyboard_test, a_caption_put_shows_its_letter_and_reads_back_without_it) {
  start_up();
  auto* first = qobject_cast<QAbstractButton*>(dialog.widget(c::kFirstDecision));
  auto* second = qobject_cast<QAbstractButton*>(dialog.widget(c::kSecondDecision));
  EXPECT_EQ(first->text(), "&Keep");
  EXPECT_EQ(second->text(), "&Delete Master entry");
  dialog.put_text(c::kFirstDecision, "Skip");
  dialog.put_text(c::kSecondDecision, "Save as new entry");
  EXPECT_EQ(first->text(), "S&kip");
  EXPECT_EQ(second->text(), "Save as &new entry");
  EXPECT_EQ(dialog.get_text(c::kFirstDecision), "Skip");
  EXPECT_EQ(dialog.get_text(c::kSecondDecision), "Save as new entry");
}

// In either kind of run, no two buttons or check boxes answer the same
// Alt+letter, nor one of the menus' F, U and H, and every button has one but
// the Output slot's Text button (four buttons read "Text" and share three
// letters) and Help (whose letters are taken; F1 is its key).
TEST_F(qt_keyboard_test, no_two_controls_share_a_letter_in_either_kind_of_run) {
  start_up();
  const auto letters = [&] {
    std::map<QString, std::vector<int>> by_letter;
    std::vector<int> without;
    for (const int id : kButtons) {
      const QString key =
          QKeySequence::mnemonic(qobject_cast<QAbstractButton*>(dialog.widget(id))->text())
              .toString();
      if (key.isEmpty()) {
        without.push_back(id);
      } else {
        by_letter[key].push_back(id);
      }
    }
    for (const int id : kCheckBoxes) {
      const QString key =
          QKeySequence::mnemonic(qobject_cast<QAbstractButton*>(dialog.widget(id))->text())
              .toString();
      EXPECT_FALSE(key.isEmpty()) << id;
      by_letter[key].push_back(id);
    }
    for (const auto& [key, ids] : by_letter)
      EXPECT_EQ(ids.size(), 1u) << key.toStdString() << " is shared by " << ids.front();
    for (const char* menu : {"Alt+F", "Alt+U", "Alt+H"})
      EXPECT_EQ(by_letter.count(QString::fromLatin1(menu)), 0u) << menu;
    EXPECT_EQ(without, (std::vector<int>{c::kOutputText, c::kHelp}));
  };
  {
    SCOPED_TRACE("duplicate run");
    letters();
  }
  load_files(true);
  ASSERT_EQ(dialog.get_text(c::kFirstDecision), "Skip");
  {
    SCOPED_TRACE("update run");
    letters();
  }
  dialog.put_text(c::kUnderRadius, "< 1500 metres");
  {
    SCOPED_TRACE("a wide radius");
    letters();
  }
}

struct KeyCase {
  int id;
  const char* caption;  // the caption the key is taken from
};

void PrintTo(const KeyCase& row, std::ostream* out) {
  *out << row.id << " \"" << row.caption << '"';
}

class mnemonic_key_test : public qt_keyboard_test, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(mnemonic_key_test, alt_and_the_letter_presses_the_control_and_gives_it_the_focus) {
  const KeyCase& row = GetParam();
  start_up();
  enable_all();
  dialog.put_text(row.id, row.caption);
  auto* control = qobject_cast<QAbstractButton*>(dialog.widget(row.id));
  const QKeySequence key = QKeySequence::mnemonic(control->text());
  ASSERT_FALSE(key.isEmpty());
  const bool was_checked = control->isChecked();
  dialog.widget(row.id == c::kExit ? c::kStart : c::kExit)->setFocus();

  QTest::keyClick(dialog.window(), key[0].key(), Qt::AltModifier);
  EXPECT_EQ(focused(), row.id);
  // A button pressed by its letter shows itself pressed for a moment first.
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.pending_events() > 0; }, 2000));
  settle();

  ASSERT_EQ(dialog.pending_events(), 1u);
  const ui::Event event = dialog.wait_for_event();
  EXPECT_EQ(event.value, row.id);
  if (control->isCheckable()) {
    EXPECT_EQ(event.kind, EventKind::field_changed);
    EXPECT_NE(control->isChecked(), was_checked);
  } else {
    EXPECT_EQ(event.kind, EventKind::push_button);
  }
}

INSTANTIATE_TEST_SUITE_P(
    keys, mnemonic_key_test,
    ::testing::Values(
        KeyCase{c::kMasterText, "Text"}, KeyCase{c::kMasterOv2, "OV2"},
        KeyCase{c::kMasterClear, "Clear"}, KeyCase{c::kUpdateText, "Text"},
        KeyCase{c::kUpdateOv2, "OV2"}, KeyCase{c::kUpdateClear, "Clear"},
        KeyCase{c::kOutputOv2, "OV2"}, KeyCase{c::kOutputClear, "Clear"},
        KeyCase{c::kPosition, "Position"}, KeyCase{c::kText, "Text"}, KeyCase{c::kBoth, "Both"},
        KeyCase{c::kFirstDecision, "Skip"}, KeyCase{c::kFirstDecision, "Keep"},
        KeyCase{c::kSecondDecision, "Save as new entry"},
        KeyCase{c::kSecondDecision, "Delete Master entry"}, KeyCase{c::kStart, "Start"},
        KeyCase{c::kQuit, "Quit"}, KeyCase{c::kExit, "Exit"}, KeyCase{c::kAppend, "Append"},
        KeyCase{c::kUnderOneMetre, "< 1 or"}, KeyCase{c::kUnderRadius, "< 50 metres"}),
    [](const auto& info) {
      return std::to_string(info.param.id) + '_' + test_name(info.param.caption);
    });

TEST_F(qt_keyboard_test, f1_is_the_help_button) {
  start_up();
  QTest::keyClick(dialog.window(), Qt::Key_F1);
  ASSERT_EQ(dialog.pending_events(), 1u);
  const ui::Event event = dialog.wait_for_event();
  EXPECT_EQ(event.kind, EventKind::push_button);
  EXPECT_EQ(event.value, c::kHelp);

  dialog.set_field_state(c::kHelp, FieldState::disabled);
  QTest::keyClick(dialog.window(), Qt::Key_F1);
  EXPECT_EQ(dialog.pending_events(), 0u);
}

// --- Focus ------------------------------------------------------------------

TEST_F(qt_keyboard_test, focus_starts_on_the_master_text_button_and_moves_to_start) {
  start_up();
  EXPECT_EQ(focused(), c::kMasterText);
  dialog.files = {folder.write("master.asc", kMaster)};
  press(c::kMasterText);
  EXPECT_EQ(focused(), c::kMasterText) << "Start is not ready yet";
  dialog.files = {folder.file("out.asc")};
  press(c::kOutputText);
  EXPECT_EQ(focused(), c::kStart);
  QTest::keyClick(dialog.window()->focusWidget(), Qt::Key_Space);
  ASSERT_EQ(dialog.pending_events(), 1u);
  EXPECT_EQ(dialog.wait_for_event().value, c::kStart);
}

enum class Key { enter, space };

struct ReviewCase {
  bool update_run;
  Key key;
};

std::string review_name(const ReviewCase& row) {
  return std::string(row.update_run ? "update_run" : "duplicate_run") +
         (row.key == Key::enter ? "_enter" : "_space");
}

void PrintTo(const ReviewCase& row, std::ostream* out) {
  *out << review_name(row);
}

class review_key_test : public qt_keyboard_test,
                        public ::testing::WithParamInterface<ReviewCase> {};

// At every stop the default decision holds the focus and the key decides
// once; after the run the focus waits on the Output slot, not on Help.
TEST_P(review_key_test, decides_at_every_stop_once) {
  const ReviewCase& row = GetParam();
  start_up();
  load_files(row.update_run);
  press(c::kStart);
  int stops = 0;
  while (dialog.state(c::kFirstDecision) == FieldState::enabled) {
    SCOPED_TRACE(stops);
    ASSERT_LT(++stops, 10);
    ASSERT_EQ(focused(), c::kFirstDecision);
    QTest::keyClick(dialog.window()->focusWidget(),
                    row.key == Key::enter ? Qt::Key_Return : Qt::Key_Space);
    ASSERT_EQ(dialog.pending_events(), 1u);
    const ui::Event event = dialog.wait_for_event();
    ASSERT_EQ(event.kind, EventKind::push_button);
    ASSERT_EQ(event.value, c::kFirstDecision);
    press(event.value);
  }
  EXPECT_EQ(stops, 2);
  EXPECT_EQ(focused(), c::kOutputText);
}

INSTANTIATE_TEST_SUITE_P(runs, review_key_test,
                         ::testing::Values(ReviewCase{true, Key::enter},
                                           ReviewCase{true, Key::space},
                                           ReviewCase{false, Key::enter},
                                           ReviewCase{false, Key::space}),
                         [](const auto& info) { return review_name(info.param); });

// While a review waits, Enter is its default decision wherever the focus is.
TEST_F(qt_keyboard_test, at_a_review_stop_enter_is_the_default_decision_wherever_the_focus_is) {
  start_up();
  load_files(true);
  press(c::kStart);
  ASSERT_EQ(dialog.state(c::kFirstDecision), FieldState::enabled);
  for (const int id : {c::kSecondDecision, c::kPosition, c::kRow2Name}) {
    SCOPED_TRACE(id);
    dialog.widget(id)->setFocus();
    QTest::keyClick(dialog.window()->focusWidget(), Qt::Key_Return);
    ASSERT_EQ(dialog.pending_events(), 1u);
    EXPECT_EQ(dialog.wait_for_event().value, c::kFirstDecision);
  }
}

struct EnterCase {
  const char* label;
  int focus;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  std::optional<int> pressed;
};

void PrintTo(const EnterCase& row, std::ostream* out) {
  *out << row.label;
}

class enter_key_test : public qt_keyboard_test, public ::testing::WithParamInterface<EnterCase> {};

// With no review waiting, Enter presses the button with the focus, as Space does.
TEST_P(enter_key_test, with_no_review_waiting_enter_presses_the_focused_button) {
  const EnterCase& row = GetParam();
  start_up();
  load_files(false);
  ASSERT_EQ(focused(), c::kStart);
  dialog.widget(row.focus)->setFocus();
  ASSERT_EQ(focused(), row.focus);
  QTest::keyClick(dialog.window()->focusWidget(), row.key, row.modifiers);
  if (!row.pressed) {
    EXPECT_EQ(dialog.pending_events(), 0u);
    return;
  }
  ASSERT_EQ(dialog.pending_events(), 1u);
  const ui::Event event = dialog.wait_for_event();
  EXPECT_EQ(event.kind, EventKind::push_button);
  EXPECT_EQ(event.value, *row.pressed);
}

INSTANTIATE_TEST_SUITE_P(
    keys, enter_key_test,
    ::testing::Values(
        EnterCase{"start", c::kStart, Qt::Key_Return, Qt::NoModifier, c::kStart},
        EnterCase{"start_by_the_keypad", c::kStart, Qt::Key_Enter, Qt::KeypadModifier, c::kStart},
        EnterCase{"master_ov2", c::kMasterOv2, Qt::Key_Return, Qt::NoModifier, c::kMasterOv2},
        EnterCase{"help", c::kHelp, Qt::Key_Return, Qt::NoModifier, c::kHelp},
        EnterCase{"a_check_box", c::kUnderRadius, Qt::Key_Return, Qt::NoModifier, std::nullopt},
        EnterCase{"the_radius", c::kRadiusCombo, Qt::Key_Return, Qt::NoModifier, std::nullopt},
        EnterCase{"shift_enter", c::kStart, Qt::Key_Return, Qt::ShiftModifier, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

// The button with the focus shows its frame from the start, before any key.
TEST_F(qt_keyboard_test, the_focus_frame_shows_at_start_up) {
  start_up();
  ASSERT_EQ(focused(), c::kMasterText);
  QStyleOptionButton option;
  option.initFrom(dialog.widget(c::kMasterText));
  EXPECT_TRUE(option.state & QStyle::State_HasFocus);
  EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange);
}

// --- Tooltips ---------------------------------------------------------------

class tooltip_test : public qt_keyboard_test, public ::testing::WithParamInterface<int> {};

// Every button and check box says what it does and how to reach it from the
// keyboard, in both kinds of run.
TEST_P(tooltip_test, says_what_the_control_does_and_names_its_keys) {
  const int id = GetParam();
  start_up();
  auto* control = qobject_cast<QAbstractButton*>(dialog.widget(id));
  ASSERT_NE(control, nullptr);
  const auto check = [&] {
    const QString tip = control->toolTip();
    EXPECT_GT(tip.size(), 10) << tip.toStdString();
    const QString letter = QKeySequence::mnemonic(control->text()).toString();
    if (!letter.isEmpty()) {
      EXPECT_TRUE(tip.contains(letter)) << tip.toStdString();
    }
    if (const QAction* item = ui::qt::menu_action(*dialog.menu_bar(), id);
        item && !item->shortcut().isEmpty()) {
      EXPECT_TRUE(tip.contains(item->shortcut().toString(QKeySequence::NativeText)))
          << tip.toStdString();
    }
    if (id == c::kFirstDecision) {
      EXPECT_TRUE(tip.contains("Enter")) << tip.toStdString();
    }
    return tip;
  };
  const QString duplicate_run = check();
  dialog.files = {folder.write("update.asc", kUpdate)};
  press(c::kUpdateText);
  ASSERT_EQ(dialog.get_text(c::kFirstDecision), "Skip");
  const QString update_run = check();
  // The decisions say what they do in each kind of run.
  if (id == c::kFirstDecision || id == c::kSecondDecision) {
    EXPECT_NE(update_run, duplicate_run);
  }
}

INSTANTIATE_TEST_SUITE_P(controls, tooltip_test,
                         ::testing::Values(c::kMasterText, c::kMasterOv2, c::kMasterClear,
                                           c::kUpdateText, c::kUpdateOv2, c::kUpdateClear,
                                           c::kOutputText, c::kOutputOv2, c::kOutputClear,
                                           c::kPosition, c::kText, c::kBoth, c::kFirstDecision,
                                           c::kSecondDecision, c::kBack, c::kStart, c::kHelp,
                                           c::kQuit, c::kExit, c::kAppend, c::kUnderOneMetre,
                                           c::kUnderRadius),
                         [](const auto& info) { return std::to_string(info.param); });

TEST_F(qt_keyboard_test, a_control_the_program_disables_hands_the_focus_on) {
  start_up();
  dialog.set_field_state(c::kQuit, FieldState::enabled);
  dialog.widget(c::kQuit)->setFocus();
  dialog.set_field_state(c::kQuit, FieldState::disabled);
  EXPECT_EQ(focused(), c::kOutputText);

  dialog.set_field_state(c::kStart, FieldState::enabled);
  dialog.set_field_state(c::kHelp, FieldState::hidden);
  dialog.widget(c::kExit)->setFocus();
  dialog.set_field_state(c::kExit, FieldState::hidden);
  EXPECT_EQ(focused(), c::kStart);
}

TEST_F(qt_keyboard_test, tab_runs_top_to_bottom_left_to_right) {
  start_up();
  load_files(true);
  enable_all();
  dialog.widget(c::kMasterText)->setFocus();
  std::vector<int> order = {focused()};
  for (int i = 0; i < 25; ++i) {
    QTest::keyClick(dialog.window()->focusWidget(), Qt::Key_Tab);
    order.push_back(focused());
  }
  // Read-only fields are passed over; the two editable fields of the review are not.
  EXPECT_EQ(order, (std::vector<int>{c::kMasterText,
                                     c::kMasterOv2,
                                     c::kMasterClear,
                                     c::kUpdateText,
                                     c::kUpdateOv2,
                                     c::kUpdateClear,
                                     c::kOutputText,
                                     c::kOutputOv2,
                                     c::kOutputClear,
                                     c::kRow2Name,
                                     c::kRow2Information,
                                     c::kPosition,
                                     c::kText,
                                     c::kBoth,
                                     c::kAppend,
                                     c::kFirstDecision,
                                     c::kSecondDecision,
                                     c::kUnderOneMetre,
                                     c::kUnderRadius,
                                     c::kRadiusCombo,
                                     c::kNamesCombo,
                                     c::kStart,
                                     c::kHelp,
                                     c::kQuit,
                                     c::kExit,
                                     c::kMasterText}));
}

// --- Layout -----------------------------------------------------------------

TEST_F(qt_keyboard_test, loading_a_file_moves_no_button_of_its_slot) {
  start_up();
  const std::map<int, QRect> before = places();
  const auto unmoved = [&] {
    const std::map<int, QRect> after = places();
    for (const int id : {c::kMasterText, c::kMasterOv2, c::kMasterClear, c::kMasterSymbol,
                         c::kMasterPath, c::kUpdateGroup, c::kStart})
      EXPECT_EQ(after.at(id), before.at(id)) << id;
  };
  // A text file: path and count shown, the symbol hidden.
  dialog.files = {folder.write("master.asc", kMaster)};
  press(c::kMasterText);
  ASSERT_EQ(dialog.state(c::kMasterSymbol), FieldState::hidden);
  ASSERT_NE(dialog.text(c::kMasterCount), "");
  unmoved();
  // An overlay file's symbol drawn and shown.
  QImage symbol(16, 16, QImage::Format_RGB32);
  symbol.fill(Qt::red);
  ASSERT_TRUE(symbol.save(QString::fromStdString(folder.file("master.bmp")), "BMP"));
  dialog.draw_picture(c::kMasterSymbol, folder.file("master.bmp"));
  dialog.set_field_state(c::kMasterSymbol, FieldState::enabled);
  settle();
  unmoved();
}

TEST_F(qt_keyboard_test, the_kind_of_run_moves_no_group) {
  start_up();
  const std::map<int, QRect> duplicate = places();
  dialog.files = {folder.write("update.asc", kUpdate)};
  press(c::kUpdateText);
  ASSERT_EQ(dialog.state(c::kPosition), FieldState::disabled);
  const std::map<int, QRect> update = places();
  for (const int id : {c::kMasterGroup, c::kUpdateGroup, c::kOutputGroup, c::kMatchGroup,
                       c::kOptionsGroup, c::kRadiusGroup, c::kStart, c::kHelp, c::kQuit, c::kExit})
    EXPECT_EQ(update.at(id), duplicate.at(id)) << id;
}

// The window fits a screen of 960 x 540 logical pixels: a laptop of 1366 x 768
// at 125 % once its panel is drawn, or 1920 x 1080 at 200 %.
TEST_F(qt_keyboard_test, the_window_can_be_made_as_small_as_960_by_540) {
  start_up();
  const QSize least = dialog.window()->minimumSizeHint();
  EXPECT_LE(least.width(), 960);
  EXPECT_LE(least.height(), 540);
  EXPECT_LE(dialog.window()->minimumWidth(), 960);
  EXPECT_LE(dialog.window()->minimumHeight(), 540);
}

// At 960 x 540 nothing needs scrolling: form and map side by side, whole.
TEST_F(qt_keyboard_test, at_960_by_540_the_form_and_the_map_show_side_by_side_whole) {
  start_up();
  load_files(true);
  enable_all();
  dialog.window()->resize(960, 540);
  settle();
  ASSERT_EQ(dialog.window()->size(), QSize(960, 540));
  EXPECT_FALSE(dialog.window()->folded());
  const QRect window(QPoint(0, 0), dialog.window()->size());
  for (const auto& [id, place] : places()) EXPECT_TRUE(window.contains(place)) << id;
  const QRect map = places().at(c::kMatchMap);
  EXPECT_GE(map.left(), places().at(c::kMasterGroup).right());
  EXPECT_GE(map.width(), 240);
}

// Room the window gains goes to the map, in both directions; the form stays.
TEST_F(qt_keyboard_test, a_larger_window_gives_its_room_to_the_map) {
  start_up();
  load_files(true);
  dialog.window()->resize(1100, 560);
  settle();
  ASSERT_FALSE(dialog.window()->folded());
  const std::map<int, QRect> before = places();
  dialog.window()->resize(1100 + 300, 560 + 200);
  settle();
  const std::map<int, QRect> after = places();
  EXPECT_EQ(after.at(c::kMatchMap).width(), before.at(c::kMatchMap).width() + 300);
  EXPECT_EQ(after.at(c::kMatchMap).height(), before.at(c::kMatchMap).height() + 200);
  for (const int id : dialog.control_ids()) {
    if (id == c::kMatchMap || id == c::kProgress || id == c::kRunStatus) continue;
    EXPECT_EQ(after.at(id), before.at(id)) << id;
  }
}

// Too narrow for both side by side, the map goes under the form and the
// window scrolls; wide enough again, it comes back beside it.
TEST_F(qt_keyboard_test, a_narrow_window_puts_the_map_under_the_form) {
  start_up();
  dialog.window()->resize(800, 500);
  settle();
  EXPECT_TRUE(dialog.window()->folded());
  std::map<int, QRect> shown = places();
  EXPECT_GE(shown.at(c::kMatchMap).top(), shown.at(c::kExit).bottom());
  EXPECT_GE(shown.at(c::kMatchMap).width(), shown.at(c::kMasterGroup).width());
  dialog.window()->resize(1100, 500);
  settle();
  EXPECT_FALSE(dialog.window()->folded());
  shown = places();
  EXPECT_GE(shown.at(c::kMatchMap).left(), shown.at(c::kMasterGroup).right());
}

// In the smallest window every control the focus reaches is scrolled into view.
TEST_F(qt_keyboard_test, in_the_smallest_window_the_focus_brings_each_control_into_view) {
  start_up();
  load_files(true);
  enable_all();
  ui::qt::MainWindow* window = dialog.window();
  window->resize(window->minimumSizeHint());
  settle();
  const QWidget* viewport = window->form().scrollArea->viewport();
  const QRect visible(viewport->mapTo(window, QPoint(0, 0)), viewport->size());
  for (const int id : kButtons) {
    dialog.widget(id)->setFocus();
    settle();
    ASSERT_EQ(focused(), id);
    EXPECT_TRUE(visible.contains(places().at(id))) << id;
  }
  // Tab goes on from the last control and brings the first back into view.
  dialog.widget(c::kExit)->setFocus();
  QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
  settle();
  EXPECT_EQ(focused(), c::kMasterText);
  EXPECT_TRUE(visible.contains(places().at(c::kMasterText)));
}

}  // namespace
}  // namespace pinwright::testing
