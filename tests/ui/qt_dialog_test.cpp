// The Qt window driven as a user would: real clicks, keys and dialogs on the
// offscreen platform.
#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/options.hpp"
#include "app/program.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "version.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::Event;
using ui::EventKind;
using ui::FieldState;
using ui::qt::QtDialog;

const char* state_name(FieldState state) {
  switch (state) {
    case FieldState::disabled:
      return "disabled";
    case FieldState::enabled:
      return "enabled";
    case FieldState::read_only:
      return "read_only";
    case FieldState::hidden:
      return "hidden";
  }
  return "other";
}

const char* button_set_name(ui::ButtonSet set) {
  switch (set) {
    case ui::ButtonSet::ok:
      return "ok";
    case ui::ButtonSet::yes_no:
      return "yes_no";
  }
  return "other";
}

const char* icon_name(ui::Icon icon) {
  switch (icon) {
    case ui::Icon::question:
      return "question";
    case ui::Icon::exclamation:
      return "exclamation";
    case ui::Icon::information:
      return "information";
  }
  return "other";
}

class qt_dialog_test : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.load_main_dialog();
    dialog.show_dialog();
    ASSERT_NE(dialog.window(), nullptr);
  }

  template <typename T>
  T* control(int id) {
    auto* widget = qobject_cast<T*>(dialog.widget(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
  }

  // A click where a user would click a check box: on its box, not its caption.
  void click_check_box(int id) {
    auto* box = control<QCheckBox>(id);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
  }

  void choose_radius(const QString& item) {
    auto* combo = control<QComboBox>(c::kRadiusCombo);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const QModelIndex index = list->model()->index(combo->findText(item), 0);
    ASSERT_TRUE(index.isValid()) << item.toStdString();
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
  }

  QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
};

// --- The dialog as described -------------------------------------------------

enum class Kind { group_box, button, check_box, combo_box, edit, static_text, picture };

struct ControlCase {
  int id;
  Kind kind;
  const char* caption;
};

constexpr ControlCase kControls[] = {
    {1006, Kind::group_box, "Master file"},
    {1007, Kind::group_box, "Update file"},
    {1038, Kind::group_box, "Output file"},
    {1010, Kind::group_box, "First matching entry"},
    {1021, Kind::group_box, "Updating Options"},
    {1022, Kind::group_box, "Match radius"},
    {1008, Kind::edit, ""},
    {1009, Kind::edit, ""},
    {1039, Kind::edit, ""},
    {1033, Kind::static_text, ""},
    {1034, Kind::static_text, ""},
    {1042, Kind::static_text, ""},
    {1028, Kind::button, "Text"},
    {1036, Kind::button, "OV2"},
    {1047, Kind::button, "Clear"},
    {1029, Kind::button, "Text"},
    {1037, Kind::button, "OV2"},
    {1048, Kind::button, "Clear"},
    {1040, Kind::button, "Text"},
    {1041, Kind::button, "OV2"},
    {1049, Kind::button, "Clear"},
    {1044, Kind::picture, ""},
    {1045, Kind::picture, ""},
    {1046, Kind::picture, ""},
    {1013, Kind::static_text, "Master Long/Lat deg"},
    {1017, Kind::edit, ""},
    {1018, Kind::edit, ""},
    {1031, Kind::static_text, ""},
    {1011, Kind::edit, ""},
    {1051, Kind::edit, ""},
    {1014, Kind::static_text, "Update Long/Lat deg"},
    {1019, Kind::edit, ""},
    {1020, Kind::edit, ""},
    {1032, Kind::static_text, ""},
    {1012, Kind::edit, ""},
    {1052, Kind::edit, ""},
    {1025, Kind::static_text, "Separation (m)"},
    {1026, Kind::static_text, ""},
    {1015, Kind::button, "Position"},
    {1016, Kind::button, "Text"},
    {1035, Kind::button, "Both"},
    {1001, Kind::button, "Skip"},
    {1002, Kind::button, "Save as new entry"},
    {1060, Kind::button, "Back"},
    {1055, Kind::static_text, "Skip if"},
    {1054, Kind::check_box, "< 1 or"},
    {1053, Kind::check_box, "< 20 metres"},
    {1056, Kind::check_box, "Append"},
    {1023, Kind::combo_box, "20"},
    {1024, Kind::static_text, "Metres"},
    {1027, Kind::button, "Start"},
    {1003, Kind::button, "Help"},
    {1030, Kind::button, "Quit"},
    {1004, Kind::button, "Exit"},
};

Kind kind_of(const QWidget* widget) {
  if (qobject_cast<const QGroupBox*>(widget)) return Kind::group_box;
  if (qobject_cast<const QPushButton*>(widget)) return Kind::button;
  if (qobject_cast<const QCheckBox*>(widget)) return Kind::check_box;
  if (qobject_cast<const QComboBox*>(widget)) return Kind::combo_box;
  if (qobject_cast<const QLineEdit*>(widget)) return Kind::edit;
  return widget->property("controlKind").toString() == "picture" ? Kind::picture
                                                                 : Kind::static_text;
}

TEST_F(qt_dialog_test, the_dialog_holds_exactly_the_54_controls_and_the_run_panel) {
  std::vector<int> expected;
  for (const ControlCase& row : kControls) expected.push_back(row.id);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected.size(), 54u);
  for (const int id : expected) EXPECT_TRUE(dialog.listed(id)) << id;
  for (const int id : {c::kProgress, c::kRunStatus, c::kMatchMap, c::kNamesLabel, c::kNamesCombo,
                       c::kKeepFirst, c::kNameSimilarity}) {
    EXPECT_FALSE(dialog.listed(id)) << id;
    expected.push_back(id);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dialog.control_ids(), expected);
  EXPECT_EQ(dialog.window()->windowTitle(), "Pinwright");
}

TEST_F(qt_dialog_test, every_control_has_its_kind_and_caption) {
  for (const ControlCase& row : kControls) {
    SCOPED_TRACE(row.id);
    const QWidget* widget = dialog.widget(row.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(kind_of(widget), row.kind);
    EXPECT_EQ(dialog.text(row.id), row.caption);
    EXPECT_EQ(dialog.get_text(row.id), row.caption);
    EXPECT_EQ(dialog.checked(row.id).has_value(), row.kind == Kind::check_box);
    EXPECT_EQ(dialog.picture(row.id).has_value(), row.kind == Kind::picture);
  }
}

TEST_F(qt_dialog_test, controls_sit_in_their_groups) {
  const std::vector<std::pair<int, std::vector<int>>> groups = {
      {1006, {1008, 1033, 1028, 1036, 1047, 1044}},
      {1007, {1009, 1034, 1029, 1037, 1048, 1045}},
      {1038, {1039, 1042, 1040, 1041, 1049, 1046}},
      {1010,
       {1013, 1017, 1018, 1031, 1011, 1051, 1014, 1019, 1020, 1032, 1012, 1052, 1025, 1026, 1064}},
      {1021, {1015, 1016, 1035, 1001, 1002, 1060, 1055, 1054, 1053, 1056, 1063}},
      {1022, {1023, 1024, 1061, 1062}},
  };
  for (const auto& [group, members] : groups) {
    for (const int id : members) {
      EXPECT_TRUE(dialog.widget(group)->isAncestorOf(dialog.widget(id))) << id << " in " << group;
    }
  }
  for (const int outside : {1027, 1003, 1030, 1004}) {
    for (const auto& group : groups)
      EXPECT_FALSE(dialog.widget(group.first)->isAncestorOf(dialog.widget(outside))) << outside;
  }
}

TEST_F(qt_dialog_test, defaults_after_load) {
  EXPECT_EQ(dialog.checked(c::kAppend), true);
  EXPECT_EQ(dialog.checked(c::kUnderOneMetre), true);
  EXPECT_EQ(dialog.checked(c::kUnderRadius), false);

  auto* combo = control<QComboBox>(c::kRadiusCombo);
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items,
            QStringList({"1", "5", "10", "20", "25", "50", "100", "250", "500", "1000", "1500"}));
  EXPECT_EQ(combo->currentIndex(), 3);
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(dialog.get_integer(c::kRadiusCombo), 20);

  for (const int id : {1008, 1009, 1039, 1017, 1018, 1011, 1051, 1019, 1020}) {
    EXPECT_TRUE(control<QLineEdit>(id)->isReadOnly()) << id;
    EXPECT_EQ(dialog.state(id), FieldState::read_only) << id;
  }
  for (const int id : {1012, 1052}) {
    EXPECT_FALSE(control<QLineEdit>(id)->isReadOnly()) << id;
    EXPECT_EQ(dialog.state(id), FieldState::enabled) << id;
  }
  // Nothing to go back to before a run.
  for (const int id : {c::kOutputSymbol, c::kBack}) {
    EXPECT_FALSE(dialog.widget(id)->isEnabled()) << id;
    EXPECT_EQ(dialog.state(id), FieldState::disabled) << id;
  }
  for (const int id : dialog.control_ids()) {
    EXPECT_TRUE(dialog.widget(id)->isVisible()) << id;
    if (id != c::kOutputSymbol && id != c::kBack) {
      EXPECT_TRUE(dialog.widget(id)->isEnabled()) << id;
    }
  }
  EXPECT_TRUE(control<QPushButton>(c::kFirstDecision)->isDefault());
}

TEST_F(qt_dialog_test, title_and_icon) {
  dialog.set_title("Pinwright Pro v2.03");
  EXPECT_EQ(dialog.window()->windowTitle(), "Pinwright Pro v2.03");
  EXPECT_FALSE(dialog.window()->windowIcon().isNull());
}

// --- Options: field-changed events through the program's handler -------------

struct ExclusionCase {
  int clicked;
  int other;
};

std::string exclusion_name(const ExclusionCase& row) {
  return std::to_string(row.clicked) + "_unchecks_" + std::to_string(row.other);
}

void PrintTo(const ExclusionCase& row, std::ostream* out) {
  *out << exclusion_name(row);
}

class check_box_exclusion_test : public qt_dialog_test,
                                 public ::testing::WithParamInterface<ExclusionCase> {};

TEST_P(check_box_exclusion_test, checking_one_unchecks_the_other) {
  const auto [clicked, other] = GetParam();
  dialog.enable_event_kind(EventKind::field_changed, true);
  dialog.set_check_box(clicked, false);
  dialog.set_check_box(other, true);
  ASSERT_EQ(dialog.pending_events(), 0u);

  click_check_box(clicked);
  EXPECT_EQ(dialog.checked(clicked), true);
  // One event for the click; unchecking the other box is the program's doing and adds none.
  EXPECT_EQ(handle_field_changes(program, dialog), 1);
  EXPECT_EQ(dialog.checked(other), false);
  EXPECT_EQ(dialog.pending_events(), 0u);

  // Unchecking changes nothing else.
  click_check_box(clicked);
  EXPECT_EQ(handle_field_changes(program, dialog), 1);
  EXPECT_EQ(dialog.checked(clicked), false);
  EXPECT_EQ(dialog.checked(other), false);
}

INSTANTIATE_TEST_SUITE_P(options, check_box_exclusion_test,
                         ::testing::Values(ExclusionCase{1053, 1054}, ExclusionCase{1054, 1053}),
                         [](const auto& info) { return exclusion_name(info.param); });

TEST_F(qt_dialog_test, field_changes_wait_until_their_kind_is_enabled) {
  click_check_box(c::kAppend);
  EXPECT_EQ(dialog.checked(c::kAppend), false);
  EXPECT_EQ(dialog.pending_events(), 0u);
  dialog.enable_event_kind(EventKind::field_changed, true);
  click_check_box(c::kAppend);
  ASSERT_EQ(dialog.pending_events(), 1u);
  const Event event = dialog.wait_for_event();
  EXPECT_EQ(event.kind, EventKind::field_changed);
  EXPECT_EQ(event.value, c::kAppend);
}

TEST_F(qt_dialog_test, program_changes_queue_no_events) {
  dialog.enable_event_kind(EventKind::field_changed, true);
  dialog.set_check_box(c::kUnderRadius, true);
  dialog.set_check_box(c::kAppend, false);
  dialog.put_text(c::kRadiusCombo, "50");
  EXPECT_EQ(dialog.pending_events(), 0u);
  EXPECT_EQ(dialog.get_text(c::kRadiusCombo), "50");
}

struct RadiusCase {
  const char* item;
  const char* caption;
};

void PrintTo(const RadiusCase& row, std::ostream* out) {
  print_row(out, row.item, row.caption);
}

class radius_choice_test : public qt_dialog_test,
                           public ::testing::WithParamInterface<RadiusCase> {};

TEST_P(radius_choice_test, choosing_from_the_list_rebuilds_the_caption) {
  dialog.enable_event_kind(EventKind::field_changed, true);
  choose_radius(GetParam().item);
  EXPECT_EQ(dialog.get_text(c::kRadiusCombo), GetParam().item);
  EXPECT_GE(handle_field_changes(program, dialog), 1);
  EXPECT_EQ(dialog.text(c::kUnderRadius), GetParam().caption);
  EXPECT_EQ(program.radius_caption, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(options, radius_choice_test,
                         ::testing::Values(RadiusCase{"1500", "< 1500 metres"},
                                           RadiusCase{"1", "< 1 metres"},
                                           RadiusCase{"50", "< 50 metres"}),
                         [](const auto& info) {
                           return test_name(std::string("radius ") + info.param.item);
                         });

TEST_F(qt_dialog_test, typing_a_radius_rebuilds_the_caption) {
  dialog.enable_event_kind(EventKind::field_changed, true);
  auto* combo = control<QComboBox>(c::kRadiusCombo);
  combo->setFocus();
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), "75");
  EXPECT_GE(handle_field_changes(program, dialog), 2);
  EXPECT_EQ(dialog.text(c::kUnderRadius), "< 75 metres");
  // The list keeps its eleven items.
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(combo->count(), 11);
}

// --- Buttons, Enter, Escape and the window's close button ---------------------

TEST_F(qt_dialog_test, a_click_is_a_push_button_event) {
  for (const int id : {1027, 1028, 1036, 1047, 1003, 1004}) {
    QTest::mouseClick(control<QPushButton>(id), Qt::LeftButton);
    const Event event = dialog.wait_for_event();
    EXPECT_EQ(event.kind, EventKind::push_button);
    EXPECT_EQ(event.value, id);
  }
}

TEST_F(qt_dialog_test, a_disabled_button_gives_nothing) {
  dialog.set_field_state(c::kStart, FieldState::disabled);
  QTest::mouseClick(control<QPushButton>(c::kStart), Qt::LeftButton);
  EXPECT_EQ(dialog.pending_events(), 0u);
}

enum class CancelGesture { close_button, escape };

void PrintTo(CancelGesture gesture, std::ostream* out) {
  *out << (gesture == CancelGesture::close_button ? "close_button" : "escape");
}

class cancel_command_test : public qt_dialog_test,
                            public ::testing::WithParamInterface<CancelGesture> {};

TEST_P(cancel_command_test, is_button_2_and_leaves_the_window_to_the_program) {
  if (GetParam() == CancelGesture::close_button) {
    dialog.window()->close();
  } else {
    QTest::keyClick(dialog.window(), Qt::Key_Escape);
  }
  const Event event = dialog.wait_for_event();
  EXPECT_EQ(event.kind, EventKind::push_button);
  EXPECT_EQ(event.value, c::kCancelCommand);
  EXPECT_TRUE(dialog.window()->isVisible());
  dialog.close_down();
  EXPECT_FALSE(dialog.window()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(window, cancel_command_test,
                         ::testing::Values(CancelGesture::close_button, CancelGesture::escape),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

TEST_F(qt_dialog_test, enter_presses_the_default_button_wherever_the_focus_is) {
  for (const int focus : {1012, 1028, 1023}) {
    SCOPED_TRACE(focus);
    QWidget* target = dialog.widget(focus);
    if (auto* combo = qobject_cast<QComboBox*>(target)) target = combo->lineEdit();
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    ASSERT_EQ(dialog.pending_events(), 1u);
    const Event event = dialog.wait_for_event();
    EXPECT_EQ(event.kind, EventKind::push_button);
    EXPECT_EQ(event.value, c::kFirstDecision);
  }
  dialog.set_field_state(c::kFirstDecision, FieldState::disabled);
  QTest::keyClick(dialog.widget(1012), Qt::Key_Return);
  EXPECT_EQ(dialog.pending_events(), 0u);
}

// --- Texts and states --------------------------------------------------------

TEST_F(qt_dialog_test, texts_come_back_as_the_bytes_put) {
  const std::string latin1 = "Caf\xE9 Nord";
  const std::string utf8 = "Caf\xC3\xA9 Nord";
  dialog.put_text(1012, latin1);
  EXPECT_EQ(control<QLineEdit>(1012)->text(), QString::fromUtf8(utf8));
  EXPECT_EQ(dialog.get_text(1012), latin1);
  dialog.put_text(1052, utf8);
  EXPECT_EQ(dialog.get_text(1052), utf8);
  dialog.put_text(1031, "<b>Entry:</b> 7 & 8");
  EXPECT_EQ(dialog.get_text(1031), "<b>Entry:</b> 7 & 8");
  dialog.put_text(1026, " ");
  EXPECT_EQ(dialog.get_text(1026), " ");
  dialog.put_text(c::kOptionsGroup, "Duplicate Options");
  EXPECT_EQ(control<QGroupBox>(c::kOptionsGroup)->title(), "Duplicate Options");
  dialog.put_text(c::kFirstDecision, "Keep");
  // Shown with its Alt+letter marked.
  EXPECT_EQ(control<QPushButton>(c::kFirstDecision)->text(), "&Keep");
}

TEST_F(qt_dialog_test, windows_1252_and_utf8_names_show_as_their_characters) {
  dialog.put_text(c::kRow1Name, "Caf\xE9 \x80 \x81");
  dialog.put_text(c::kRow2Name, "Z\xC3\xBCrich \xE2\x82\xAC");
  EXPECT_EQ(control<QLineEdit>(c::kRow1Name)->text(), QStringLiteral("Caf\u00E9 \u20AC \u0081"));
  EXPECT_EQ(control<QLineEdit>(c::kRow2Name)->text(), QStringLiteral("Z\u00FCrich \u20AC"));
  EXPECT_EQ(dialog.get_text(c::kRow1Name), "Caf\xE9 \x80 \x81");
  EXPECT_EQ(dialog.get_text(c::kRow2Name), "Z\xC3\xBCrich \xE2\x82\xAC");
}

// A user's edit of an entry's name or information, typed at the end of the field.
struct EditCase {
  const char* label;
  std::string name;         // put into 1012
  std::string information;  // put into 1052
  int edited;               // the field typed into
  QString typed;
  std::string read_back;  // what the program reads from the edited field
  bool refused;           // a box explains why nothing was entered
};

void PrintTo(const EditCase& row, std::ostream* out) {
  print_row(out, row.label, row.name, row.information, row.edited, row.typed.toStdString(),
            row.read_back, row.refused);
}

class user_edits_test : public qt_dialog_test, public ::testing::WithParamInterface<EditCase> {};

// Keys as a keyboard with these characters sends them (QTest's key clicks know ASCII only).
void type_text(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QApplication::sendEvent(widget, &release);
  }
}

TEST_P(user_edits_test, are_written_in_the_entrys_encoding_or_refused) {
  const EditCase& row = GetParam();
  dialog.put_text(c::kRow2Name, row.name);
  dialog.put_text(c::kRow2Information, row.information);
  QLineEdit* edit = control<QLineEdit>(row.edited);
  const QString before = edit->text();
  QString box_text;
  const ModalAnswer answer(
      [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Character not stored");
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        box_text = box->text();
        box->button(QMessageBox::Ok)->click();
      },
      "QMessageBox");
  edit->setFocus();
  edit->end(false);
  type_text(edit, row.typed);
  // The box comes once the key is handled.
  for (int i = 0; i < 50 && row.refused && box_text.isEmpty(); ++i) QTest::qWait(10);

  EXPECT_EQ(dialog.get_text(row.edited), row.read_back);
  if (row.refused) {
    EXPECT_EQ(edit->text(), before);
    EXPECT_TRUE(box_text.contains(row.typed)) << box_text.toStdString();
  } else {
    EXPECT_EQ(edit->text(), before + row.typed);
    EXPECT_TRUE(box_text.isEmpty()) << box_text.toStdString();
  }
  EXPECT_EQ(dialog.pending_events(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    texts, user_edits_test,
    ::testing::Values(EditCase{"windows_1252_name", "Caf\xE9", "", c::kRow2Name, "s \u00E8\u20AC",
                               "Caf\xE9s \xE8\x80", false},
                      EditCase{"utf8_name", "Z\xC3\xBCrich", "", c::kRow2Name, " \u0141",
                               "Z\xC3\xBCrich \xC5\x81", false},
                      EditCase{"ascii_information_of_a_windows_1252_name", "Caf\xE9", ", pop 5",
                               c::kRow2Information, " \u00E8", ", pop 5 \xE8", false},
                      EditCase{"ascii_name_of_an_ascii_entry", "Edam", ", pop 5", c::kRow2Name,
                               "\u00E8", "Edam\xC3\xA8", false},
                      EditCase{"windows_1252_cannot_hold_it", "Caf\xE9", "", c::kRow2Name, "\u0151",
                               "Caf\xE9", true},
                      EditCase{"nor_in_the_information", "Caf\xE9", ", pop 5", c::kRow2Information,
                               "\u2192", ", pop 5", true}),
    LabelName{});

TEST_F(qt_dialog_test, a_pasted_text_with_a_character_windows_1252_cannot_hold_is_refused_whole) {
  dialog.put_text(c::kRow2Name, "Caf\xE9");
  QLineEdit* edit = control<QLineEdit>(c::kRow2Name);
  bool answered = false;
  const ModalAnswer answer(
      [&](QWidget* modal) {
        answered = true;
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
      },
      "QMessageBox");
  edit->end(false);
  edit->insert(QStringLiteral(" \u00E9\u0141"));
  for (int i = 0; i < 50 && !answered; ++i) QTest::qWait(10);
  EXPECT_TRUE(answered);
  EXPECT_EQ(dialog.get_text(c::kRow2Name), "Caf\xE9");
  edit->insert(QStringLiteral(" \u00E9"));
  EXPECT_EQ(dialog.get_text(c::kRow2Name), "Caf\xE9 \xE9");
}

struct StateCase {
  int id;
  std::vector<FieldState> states;
  FieldState shown_as;
  bool visible;
  bool enabled;
  bool read_only;  // edit fields
};

std::string state_case_name(const StateCase& row) {
  std::string name = std::to_string(row.id);
  for (const FieldState state : row.states) name += std::string("_") + state_name(state);
  return name;
}

void PrintTo(const StateCase& row, std::ostream* out) {
  print_row(out, state_case_name(row), state_name(row.shown_as), row.visible, row.enabled,
            row.read_only);
}

class field_states_test : public qt_dialog_test, public ::testing::WithParamInterface<StateCase> {};

TEST_P(field_states_test, apply_to_the_widget) {
  const StateCase& row = GetParam();
  for (const FieldState state : row.states) dialog.set_field_state(row.id, state);
  const QWidget* widget = dialog.widget(row.id);
  EXPECT_EQ(dialog.state(row.id), row.shown_as);
  EXPECT_EQ(widget->isVisible(), row.visible);
  EXPECT_EQ(widget->isEnabled(), row.enabled);
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    EXPECT_EQ(edit->isReadOnly(), row.read_only);
  }
}

const FieldState kOtherState = static_cast<FieldState>(7);

INSTANTIATE_TEST_SUITE_P(
    dialog, field_states_test,
    ::testing::Values(
        StateCase{1015, {FieldState::hidden}, FieldState::hidden, false, true, false},
        StateCase{1015,
                  {FieldState::hidden, FieldState::disabled},
                  FieldState::disabled,
                  true,
                  false,
                  false},
        StateCase{1056, {FieldState::hidden, kOtherState}, FieldState::enabled, true, true, false},
        StateCase{
            1001, {FieldState::disabled, kOtherState}, FieldState::disabled, true, false, false},
        StateCase{1008, {FieldState::enabled}, FieldState::enabled, true, true, false},
        StateCase{1012, {FieldState::read_only}, FieldState::read_only, true, true, true},
        StateCase{1008, {FieldState::disabled}, FieldState::disabled, true, false, true},
        StateCase{1046, {FieldState::enabled}, FieldState::enabled, true, true, false},
        StateCase{1027,
                  {FieldState::disabled, FieldState::enabled},
                  FieldState::enabled,
                  true,
                  true,
                  false}),
    [](const auto& info) { return state_case_name(info.param); });

// --- Message boxes -----------------------------------------------------------

struct BoxCase {
  ui::ButtonSet set;
  ui::Icon icon;
  int default_button;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton expected_default;
  QMessageBox::Icon expected_icon;
  QMessageBox::StandardButton answer;
  int code;
};

void PrintTo(const BoxCase& row, std::ostream* out) {
  print_row(out, button_set_name(row.set), icon_name(row.icon), row.default_button,
            static_cast<int>(row.buttons), static_cast<int>(row.expected_default),
            static_cast<int>(row.expected_icon), static_cast<int>(row.answer), row.code);
}

class message_boxes_test : public qt_dialog_test, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(message_boxes_test, show_what_was_asked_and_return_the_answer) {
  const BoxCase& row = GetParam();
  QString title, text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool default_matches = false;
  const ModalAnswer answer([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    buttons = box->standardButtons();
    icon = box->icon();
    default_matches = box->defaultButton() == box->button(row.expected_default);
    box->button(row.answer)->click();
  });
  const int code = dialog.message_box(row.set, row.icon, row.default_button,
                                      "First line\rsecond line", "Storage limit");
  EXPECT_EQ(code, row.code);
  EXPECT_EQ(title, "Storage limit");
  EXPECT_EQ(text, "First line\nsecond line");
  EXPECT_EQ(buttons, row.buttons);
  EXPECT_EQ(icon, row.expected_icon);
  EXPECT_TRUE(default_matches);
}

using B = QMessageBox::StandardButton;
using ui::ButtonSet;
using ui::Icon;

INSTANTIATE_TEST_SUITE_P(
    dialog, message_boxes_test,
    ::testing::Values(BoxCase{ButtonSet::ok, Icon::information, 1, B::Ok, B::Ok,
                              QMessageBox::Information, B::Ok, 1},
                      BoxCase{ButtonSet::ok, Icon::exclamation, 1, B::Ok, B::Ok,
                              QMessageBox::Warning, B::Ok, 1},
                      BoxCase{ButtonSet::yes_no, Icon::question, 1, B::Yes | B::No, B::Yes,
                              QMessageBox::Question, B::No, 2},
                      BoxCase{ButtonSet::yes_no, Icon::question, 2, B::Yes | B::No, B::No,
                              QMessageBox::Question, B::Yes, 1}),
    [](const auto& info) {
      return std::string(button_set_name(info.param.set)) + "_" + icon_name(info.param.icon) +
             "_default_" + std::to_string(info.param.default_button);
    });

struct EnterCase {
  ButtonSet set;
  int default_button;
  int code;
};

std::string enter_name(const EnterCase& row) {
  return std::string(button_set_name(row.set)) + "_default_" + std::to_string(row.default_button);
}

void PrintTo(const EnterCase& row, std::ostream* out) {
  print_row(out, enter_name(row), row.code);
}

class message_box_enter_test : public qt_dialog_test,
                               public ::testing::WithParamInterface<EnterCase> {};

TEST_P(message_box_enter_test, enter_takes_the_default_button) {
  const ModalAnswer answer([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
  EXPECT_EQ(dialog.message_box(GetParam().set, Icon::question, GetParam().default_button, "Sure?",
                               "Quit"),
            GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(dialog, message_box_enter_test,
                         ::testing::Values(EnterCase{ButtonSet::yes_no, 1, 1},
                                           EnterCase{ButtonSet::yes_no, 2, 2},
                                           EnterCase{ButtonSet::ok, 1, 1}),
                         [](const auto& info) { return enter_name(info.param); });

// --- File dialogs ------------------------------------------------------------

// Types `name` into the file dialog that is open and accepts it.
void accept_file(QWidget* modal, const QString& name) {
  auto* file_dialog = qobject_cast<QFileDialog*>(modal);
  ASSERT_NE(file_dialog, nullptr);
  auto* name_field = file_dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name_field, nullptr);
  name_field->setText(name);
  QMetaObject::invokeMethod(file_dialog, "accept", Qt::DirectConnection);
}

TEST_F(qt_dialog_test, open_form_shows_the_filter_and_returns_the_choice) {
  const TempDir folder;
  const std::string master = folder.write("master.asc", "4.9, 52.4, \"A\"\n");
  QString title;
  QStringList filters;
  QFileDialog::AcceptMode mode = QFileDialog::AcceptSave;
  QString directory;
  const ModalAnswer answer([&](QWidget* modal) {
    auto* file_dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(file_dialog, nullptr);
    title = file_dialog->windowTitle();
    filters = file_dialog->nameFilters();
    mode = file_dialog->acceptMode();
    directory = file_dialog->directory().absolutePath();
    accept_file(modal, "master.asc");
  });
  const auto chosen = dialog.choose_file("Text files (*.asc, *.csv)|*.asc;*.csv|",
                                         ui::FileDialogForm::open, master, "Open File");
  EXPECT_EQ(chosen, master);
  EXPECT_EQ(title, "Open File");
  EXPECT_EQ(filters, QStringList{"Text files (*.asc, *.csv) (*.asc *.csv)"});
  EXPECT_EQ(mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(directory, QString::fromStdString(folder.path().string()));
}

TEST_F(qt_dialog_test, a_cancelled_file_dialog_gives_nothing) {
  const ModalAnswer answer([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_EQ(
      dialog.choose_file("Overlay files (*.ov2)|*.ov2|", ui::FileDialogForm::open, "", "Open File"),
      std::nullopt);
}

struct OverwriteCase {
  QMessageBox::StandardButton answer;
  bool accepted;
};

void PrintTo(const OverwriteCase& row, std::ostream* out) {
  *out << (row.accepted ? "answer_yes" : "answer_no");
}

class save_form_test : public qt_dialog_test,
                       public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(save_form_test, asks_before_overwriting) {
  const TempDir folder;
  const std::string existing = folder.write("result.asc", "old\n");
  bool asked = false;
  // Answers the overwrite question, which opens inside the file dialog's accept.
  const ModalAnswer question(
      [&](QWidget* modal) {
        asked = true;
        qobject_cast<QMessageBox*>(modal)->button(GetParam().answer)->click();
      },
      "QMessageBox");
  QPointer<QFileDialog> file_dialog;
  const ModalAnswer save([&](QWidget* modal) {
    file_dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(file_dialog, nullptr);
    EXPECT_EQ(file_dialog->acceptMode(), QFileDialog::AcceptSave);
    accept_file(modal, "result.asc");
    // Still open when the question was answered No.
    if (file_dialog && file_dialog->isVisible()) file_dialog->reject();
  });
  const auto chosen =
      dialog.choose_file("Text files (*.asc, *.csv)|*.asc;*.csv|", ui::FileDialogForm::save,
                         folder.path().string() + "/", "Save File");
  EXPECT_TRUE(asked);
  EXPECT_EQ(chosen, GetParam().accepted ? std::optional(existing) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(dialog, save_form_test,
                         ::testing::Values(OverwriteCase{B::Yes, true},
                                           OverwriteCase{B::No, false}),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

TEST_F(qt_dialog_test, save_form_takes_a_new_name_without_asking) {
  const TempDir folder;
  const ModalAnswer save([](QWidget* modal) { accept_file(modal, "fresh"); });
  const auto chosen = dialog.choose_file("Overlay files (*.ov2)|*.ov2|", ui::FileDialogForm::save,
                                         folder.path().string() + "/", "Save File");
  EXPECT_EQ(chosen, folder.file("fresh"));
}

// --- Pictures and help -------------------------------------------------------

std::string write_bitmap(const TempDir& folder, const char* name, int size, QColor colour) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(colour);
  const std::string path = folder.file(name);
  EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
  return path;
}

TEST_F(qt_dialog_test, a_picture_keeps_the_bitmap_drawn_last) {
  const TempDir folder;
  const std::string red = write_bitmap(folder, "red.bmp", 16, Qt::red);
  const std::string big_blue = write_bitmap(folder, "blue.bmp", 32, Qt::blue);
  auto* picture = control<QLabel>(c::kMasterSymbol);

  dialog.draw_picture(c::kMasterSymbol, red);
  EXPECT_EQ(dialog.picture(c::kMasterSymbol), red);
  EXPECT_EQ(picture->pixmap().toImage().pixelColor(8, 8), QColor(Qt::red));

  dialog.draw_picture(c::kMasterSymbol, folder.file("missing.bmp"));
  EXPECT_EQ(dialog.picture(c::kMasterSymbol), red);
  EXPECT_EQ(picture->pixmap().toImage().pixelColor(8, 8), QColor(Qt::red));

  dialog.draw_picture(c::kMasterSymbol, big_blue);
  EXPECT_EQ(picture->pixmap().size(), QSize(16, 16));
  EXPECT_EQ(picture->pixmap().toImage().pixelColor(8, 8), QColor(Qt::blue));
  EXPECT_EQ(dialog.picture(c::kUpdateSymbol), "");
}

TEST_F(qt_dialog_test, help_opens_at_its_contents_and_closes_on_a_blank_name) {
  const TempDir folder;
  std::string page = "<html><head><title>Pinwright Help</title></head><body><h1>Contents</h1>";
  for (int i = 0; i < 200; ++i) page += "<p>Paragraph " + std::to_string(i) + "</p>";
  page += "</body></html>";
  const std::string help_file = folder.write("Pinwright.hlp", page);

  dialog.help(help_file);
  QTextBrowser* browser = dialog.help_window();
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->isVisible());
  EXPECT_EQ(browser->windowTitle(), "Pinwright Help");
  EXPECT_TRUE(browser->toPlainText().startsWith("Contents"));
  EXPECT_EQ(browser->textCursor().position(), 0);

  dialog.help(" ");
  settle();
  EXPECT_EQ(dialog.help_window(), nullptr);
  dialog.help("");
  EXPECT_EQ(dialog.help_window(), nullptr);
}

struct HelpPlaceCase {
  const char* label;
  QPoint window_at;  // the main window's place, from the screen's top left
  QKeySequence close;
};

void PrintTo(const HelpPlaceCase& row, std::ostream* out) {
  *out << row.label;
}

class help_place_test : public qt_dialog_test,
                        public ::testing::WithParamInterface<HelpPlaceCase> {};

// The help opens centred over the window, or as near as the screen allows,
// and closes by Escape or Ctrl+W.
TEST_P(help_place_test, opens_over_the_window_on_screen_and_closes_by_its_key) {
  const HelpPlaceCase& row = GetParam();
  QWidget* window = dialog.window();
  const QRect room = window->screen()->availableGeometry();
  window->resize(700, 500);
  window->move(room.topLeft() + row.window_at);
  settle();
  const TempDir folder;
  dialog.help(folder.write("Pinwright.hlp", "<html><body><p>Contents</p></body></html>"));
  QTextBrowser* help = dialog.help_window();
  ASSERT_NE(help, nullptr);
  settle();
  const QRect placed = help->frameGeometry();
  EXPECT_TRUE(room.contains(placed)) << placed.x() << ',' << placed.y();
  const QPoint centre = window->frameGeometry().center();
  // Off centre only where the screen ends.
  if (placed.left() > room.left() && placed.right() < room.right()) {
    EXPECT_NEAR(placed.center().x(), centre.x(), 1);
  }
  if (placed.top() > room.top() && placed.bottom() < room.bottom()) {
    EXPECT_NEAR(placed.center().y(), centre.y(), 1);
  }

  QTest::keyClick(help, row.close[0].key(), row.close[0].keyboardModifiers());
  settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(dialog.help_window(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    places, help_place_test,
    ::testing::Values(HelpPlaceCase{"escape", {50, 100}, QKeySequence(Qt::Key_Escape)},
                      HelpPlaceCase{"ctrl_w", {50, 100}, QKeySequence(Qt::CTRL | Qt::Key_W)},
                      HelpPlaceCase{"window_at_the_top_left", {0, 0}, QKeySequence(Qt::Key_Escape)},
                      HelpPlaceCase{
                          "window_past_the_right_edge", {500, 250}, QKeySequence(Qt::Key_Escape)}),
    [](const auto& info) { return std::string(info.param.label); });

// The help file shipped beside the executables, as the Help button opens it.
TEST_F(qt_dialog_test, the_shipped_help_file_opens_beside_the_program_with_working_links) {
  dialog.help("Pinwright.hlp");
  QTextBrowser* browser = dialog.help_window();
  ASSERT_NE(browser, nullptr);
  const QString version =
      QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size()));
  EXPECT_EQ(browser->windowTitle(), "Pinwright " + version + " help");
  EXPECT_TRUE(browser->toPlainText().startsWith("Pinwright\nVersion " + version))
      << browser->toPlainText().left(80).toStdString();

  QStringList anchors;
  QStringList links;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextCharFormat format = fragment.fragment().charFormat();
      anchors += format.anchorNames();
      if (format.anchorHref().startsWith(u'#')) links += format.anchorHref().mid(1);
    }
  }
  EXPECT_GE(links.size(), 10);
  for (const QString& link : links) EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
}

TEST_F(qt_dialog_test, a_missing_help_file_says_so_in_the_help_window) {
  const TempDir folder;
  dialog.help(folder.file("Pinwright.hlp"));
  ASSERT_NE(dialog.help_window(), nullptr);
  EXPECT_TRUE(dialog.help_window()->toPlainText().contains("cannot be read"));
}

}  // namespace
}  // namespace pinwright::testing
