#include "ui/dialog_description.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::ui {
namespace {

using K = ControlKind;
using S = FieldState;

struct Expected {
  int id;
  ControlKind kind;
  const char* text;
  FieldState state;
  bool checked;
};

// Every control of the main dialog with its kind, caption and initial state.
const std::vector<Expected> kMainDialog = {
    {1001, K::button, "Skip", S::enabled, false},
    {1002, K::button, "Save as new entry", S::enabled, false},
    {1003, K::button, "Help", S::enabled, false},
    {1004, K::button, "Exit", S::enabled, false},
    {1006, K::group_box, "Master file", S::enabled, false},
    {1007, K::group_box, "Update file", S::enabled, false},
    {1008, K::edit, "", S::read_only, false},
    {1009, K::edit, "", S::read_only, false},
    {1010, K::group_box, "First matching entry", S::enabled, false},
    {1011, K::edit, "", S::read_only, false},
    {1012, K::edit, "", S::enabled, false},
    {1013, K::static_text, "Master Long/Lat deg", S::enabled, false},
    {1014, K::static_text, "Update Long/Lat deg", S::enabled, false},
    {1015, K::button, "Position", S::enabled, false},
    {1016, K::button, "Text", S::enabled, false},
    {1017, K::edit, "", S::read_only, false},
    {1018, K::edit, "", S::read_only, false},
    {1019, K::edit, "", S::read_only, false},
    {1020, K::edit, "", S::read_only, false},
    {1021, K::group_box, "Updating Options", S::enabled, false},
    {1022, K::group_box, "Match radius", S::enabled, false},
    {1023, K::combo_box, "20", S::enabled, false},
    {1024, K::static_text, "Metres", S::enabled, false},
    {1025, K::static_text, "Separation (m)", S::enabled, false},
    {1026, K::static_text, "", S::enabled, false},
    {1027, K::button, "Start", S::enabled, false},
    {1028, K::button, "Text", S::enabled, false},
    {1029, K::button, "Text", S::enabled, false},
    {1030, K::button, "Quit", S::enabled, false},
    {1031, K::static_text, "", S::enabled, false},
    {1032, K::static_text, "", S::enabled, false},
    {1033, K::static_text, "", S::enabled, false},
    {1034, K::static_text, "", S::enabled, false},
    {1035, K::button, "Both", S::enabled, false},
    {1036, K::button, "OV2", S::enabled, false},
    {1037, K::button, "OV2", S::enabled, false},
    {1038, K::group_box, "Output file", S::enabled, false},
    {1039, K::edit, "", S::read_only, false},
    {1040, K::button, "Text", S::enabled, false},
    {1041, K::button, "OV2", S::enabled, false},
    {1042, K::static_text, "", S::enabled, false},
    {1044, K::picture, "", S::enabled, false},
    {1045, K::picture, "", S::enabled, false},
    {1046, K::picture, "", S::disabled, false},
    {1047, K::button, "Clear", S::enabled, false},
    {1048, K::button, "Clear", S::enabled, false},
    {1049, K::button, "Clear", S::enabled, false},
    {1051, K::edit, "", S::read_only, false},
    {1052, K::edit, "", S::enabled, false},
    {1053, K::check_box, "< 20 metres", S::enabled, false},
    {1054, K::check_box, "< 1 or", S::enabled, true},
    {1055, K::static_text, "Skip if", S::enabled, false},
    {1056, K::check_box, "Append", S::enabled, true},
    {1057, K::static_text, "", S::enabled, false},
    {1058, K::static_text, "", S::enabled, false},
    {1059, K::map, "", S::enabled, false},
    {1060, K::button, "Back", S::disabled, false},
    {1061, K::static_text, "Names", S::enabled, false},
    {1062, K::combo_box, "any", S::enabled, false},
    {1063, K::check_box, "Keep first", S::enabled, false},
    {1064, K::static_text, "", S::enabled, false},
};

TEST(main_dialog_description_test, holds_every_control_with_its_kind_caption_and_default) {
  const DescriptionResult result = read_dialog_description(main_dialog_designer_xml());
  ASSERT_TRUE(result.dialog) << result.error;
  const DialogDescription& dialog = *result.dialog;
  ASSERT_EQ(dialog.controls.size(), kMainDialog.size());
  for (std::size_t i = 0; i < kMainDialog.size(); ++i) {
    const Expected& expected = kMainDialog[i];
    const ControlDescription& control = dialog.controls[i];
    SCOPED_TRACE(expected.id);
    EXPECT_EQ(control.id, expected.id);
    EXPECT_EQ(control.kind, expected.kind);
    EXPECT_EQ(control.text, expected.text);
    EXPECT_EQ(control.state, expected.state);
    EXPECT_EQ(control.checked, expected.checked);
    EXPECT_EQ(control.is_default, expected.id == 1001);
    // The run panel and the options that read the names came later and stay
    // out of `show all`.
    EXPECT_EQ(control.listed, expected.id < 1057 || expected.id == 1060);
    EXPECT_EQ(dialog.find(expected.id), &control);
  }
  EXPECT_EQ(dialog.find(2), nullptr);
  EXPECT_EQ(dialog.find(1043), nullptr);
  EXPECT_EQ(dialog.find(1050), nullptr);
  EXPECT_EQ(dialog.find(1065), nullptr);
}

TEST(main_dialog_description_test, radius_combo_offers_eleven_radii_with_twenty_selected) {
  const DescriptionResult result = read_dialog_description(main_dialog_designer_xml());
  ASSERT_TRUE(result.dialog) << result.error;
  const ControlDescription* combo = result.dialog->find(1023);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->items, (std::vector<std::string>{"1", "5", "10", "20", "25", "50", "100", "250",
                                                    "500", "1000", "1500"}));
  EXPECT_EQ(combo->selected_item, 3);
}

std::string designer(const std::string& widgets) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\">\n"
         " <widget class=\"QDialog\" name=\"d\">\n" +
         widgets + " </widget>\n</ui>\n";
}

std::string id_property(int id) {
  return "<property name=\"controlId\" stdset=\"0\"><number>" + std::to_string(id) +
         "</number></property>";
}

TEST(read_dialog_description_test, reads_entities_cdata_layout_items_and_combo_items_apart) {
  const std::string xml = designer(
      "  <!-- a comment with <widget> inside -->\n"
      "  <layout class=\"QVBoxLayout\"><item>\n"
      "   <widget class=\"QCheckBox\" name=\"c\">" +
      id_property(7) +
      "<property name=\"text\"><string>&lt; 1 &amp; &#x41;&#66; &quot;q&apos;</string></property>"
      "</widget></item>\n"
      "   <item><widget class=\"QComboBox\" name=\"r\">" +
      id_property(5) +
      "<item><property name=\"text\"><string>a</string></property></item>"
      "<item><property name=\"text\"><string notr=\"true\"> b </string></property></item>"
      "<item><property name=\"text\"><string> </string></property></item>"
      "</widget></item>\n"
      "   <item><widget class=\"QLineEdit\" name=\"e\">" +
      id_property(6) +
      "<property name=\"text\"><string>line1\r\nline2<![CDATA[ <&> ]]>end</string></property>"
      "<property name=\"readOnly\"><bool>true</bool></property>"
      "<property name=\"enabled\"><bool>false</bool></property></widget></item>\n"
      "   <item><widget class=\"QWidget\" name=\"container\"/></item>\n"
      "  </layout>\n");
  const DescriptionResult result = read_dialog_description(xml);
  ASSERT_TRUE(result.dialog) << result.error;
  const auto& controls = result.dialog->controls;
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[0].id, 5);
  EXPECT_EQ(controls[0].items, (std::vector<std::string>{"a", " b ", " "}));
  EXPECT_EQ(controls[0].selected_item, 0);
  EXPECT_EQ(controls[0].text, "a");
  EXPECT_EQ(controls[1].text, "line1\nline2 <&> end");
  EXPECT_EQ(controls[1].state, FieldState::disabled);  // disabled wins over read-only
  EXPECT_EQ(controls[2].text, "< 1 & AB \"q'");
  EXPECT_FALSE(controls[2].checked);
}

struct BadCase {
  const char* label;
  std::string xml;
  std::string error;
};

void PrintTo(const BadCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.xml, row.error);
}

class read_dialog_description_error_test : public ::testing::TestWithParam<BadCase> {};

TEST_P(read_dialog_description_error_test, names_the_line_and_the_fault) {
  const DescriptionResult result = read_dialog_description(GetParam().xml);
  EXPECT_FALSE(result.dialog);
  EXPECT_EQ(result.error, GetParam().error);
}

const std::string kButton = "<widget class=\"QPushButton\">" + id_property(1001) + "</widget>\n";

INSTANTIATE_TEST_SUITE_P(
    cases, read_dialog_description_error_test,
    ::testing::Values(
        BadCase{"empty", "", "line 1: the document has no root element"},
        BadCase{"not_closed", "<ui>\n<widget class=\"QDialog\">\n</ui>",
                "line 3: an element is not closed by its own end tag"},
        BadCase{"unterminated", "<ui>\n<widget", "line 2: a malformed start tag"},
        BadCase{"open_at_end", "<ui>\n<widget/>\n",
                "line 2: an element is not closed by its own end tag"},
        BadCase{"unquoted", "<ui version=4></ui>", "line 1: a malformed attribute"},
        BadCase{"open_comment", "<ui>\n<!-- never closed\n</ui>", "line 3: a malformed comment"},
        BadCase{"two_roots", "<ui/>\n<ui/>", "line 2: a second root element <ui>"},
        BadCase{"wrong_root", "<form/>", "line 1: the root element is not <ui>"},
        BadCase{"no_controls", designer(""), "line 2: no widget carries a controlId"},
        BadCase{"unknown_class",
                designer("<widget class=\"QSlider\">" + id_property(9) + "</widget>\n"),
                "line 4: widget class QSlider is not a control kind"},
        BadCase{"unknown_control_kind",
                designer("<widget class=\"QLabel\">" + id_property(9) +
                         "<property name=\"controlKind\" stdset=\"0\"><string>icon</string>"
                         "</property></widget>\n"),
                "line 4: unknown controlKind \"icon\""},
        BadCase{"twice", designer(kButton + kButton), "line 5: controlId 1001 is used twice"},
        BadCase{"static_id",
                designer("<widget class=\"QPushButton\"><property name=\"controlId\">"
                         "<number>3</number></property></widget>\n"),
                "line 4: controlId must be dynamic (stdset=\"0\")"},
        BadCase{"id_not_number",
                designer("<widget class=\"QPushButton\">"
                         "<property name=\"controlId\" stdset=\"0\"><number>3x</number>"
                         "</property></widget>\n"),
                "line 4: property controlId is not a whole number"},
        BadCase{"id_zero",
                designer("<widget class=\"QPushButton\">" + id_property(0) + "</widget>\n"),
                "line 4: controlId 0 is not positive"},
        BadCase{"bool_word",
                designer("<widget class=\"QCheckBox\">" + id_property(9) +
                         "<property name=\"checked\"><bool>yes</bool></property></widget>\n"),
                "line 4: property checked is neither true nor false"},
        BadCase{"wrong_value_type",
                designer("<widget class=\"QCheckBox\">" + id_property(9) +
                         "<property name=\"text\"><number>1</number></property></widget>\n"),
                "line 4: property text must hold one <string>"},
        BadCase{"index_outside",
                designer("<widget class=\"QComboBox\">" + id_property(9) +
                         "<property name=\"currentIndex\"><number>1</number></property>"
                         "<item><property name=\"text\"><string>a</string></property></item>"
                         "</widget>\n"),
                "line 4: currentIndex 1 is outside the combo box's items"},
        BadCase{"item_without_text",
                designer("<widget class=\"QComboBox\">" + id_property(9) + "<item/></widget>\n"),
                "line 4: a combo box item without text"}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::ui
