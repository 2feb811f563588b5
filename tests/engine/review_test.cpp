#include "app/run_view.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/messages.hpp"
#include "exclusion/exclusion_run.hpp"
#include "tests/engine/run_fixture.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using app::RunStop;

// A Master entry and an Update entry 6.88 m apart, reviewed with both of the
// second row's fields edited.
class update_decision_fixture : public RunFixture {
 protected:
  void review_pair(bool ov2) {
    set_master({poi_at(5.0f, 52.0f, "Museum", ", old")});
    set_update({poi_at(5.0001f, 52.0f, "Museum new", ", new")});
    ov2 ? choose_ov2_output() : choose_text_output();
    ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
    edit(c::kRow2Name, "Edited name");
    edit(c::kRow2Information, ", edited");
  }
};

struct UpdateDecisionCase {
  const char* label;
  int button;
  bool ov2;
  std::vector<poi::PoiRecord> master;  // the Master table after the run
  std::string output;
};

void PrintTo(const UpdateDecisionCase& row, std::ostream* out) {
  print_row(out, row.label, row.button, row.ov2, row.master.size(), row.output);
}

class update_decision_test : public update_decision_fixture,
                             public ::testing::WithParamInterface<UpdateDecisionCase> {};

TEST_P(update_decision_test, changes_the_tables_and_the_output) {
  const UpdateDecisionCase& dc = GetParam();
  review_pair(dc.ov2);

  EXPECT_EQ(app::decide(program, dialog, dc.button), RunStop::finished) << dc.label;

  ASSERT_EQ(program.run->result_count(), static_cast<std::int32_t>(dc.master.size())) << dc.label;
  for (std::size_t k = 0; k < dc.master.size(); ++k) {
    const poi::PoiRecord entry = program.run->table().record(static_cast<std::int32_t>(k) + 1);
    EXPECT_EQ(entry.longitude, dc.master[k].longitude) << dc.label << " entry " << k + 1;
    EXPECT_EQ(entry.latitude, dc.master[k].latitude) << dc.label << " entry " << k + 1;
    EXPECT_EQ(entry.name.trimmed(), dc.master[k].name.trimmed()) << dc.label;
    EXPECT_EQ(entry.information.trimmed(), dc.master[k].information.trimmed()) << dc.label;
  }
  EXPECT_EQ(output(), dc.output) << dc.label;
}

const std::string kMuseum = "   5.00000,  52.00000, \"Museum\", old\n";

INSTANTIATE_TEST_SUITE_P(
    buttons, update_decision_test,
    ::testing::Values(UpdateDecisionCase{"Skip, text",
                                         c::kFirstDecision,
                                         false,
                                         {poi_at(5.0f, 52.0f, "Museum", ", old")},
                                         std::string(kOutputHeader) + kMuseum +
                                             ";*    1 POI records.    0 user comment lines.\n"},
                      UpdateDecisionCase{"Skip, OV2",
                                         c::kFirstDecision,
                                         true,
                                         {poi_at(5.0f, 52.0f, "Museum", ", old")},
                                         ov2_bytes(500000, 5200000, "Museum")},
                      // With a text Output the Update entry's own information wins over the edit.
                      UpdateDecisionCase{"Save as new entry, text",
                                         c::kSecondDecision,
                                         false,
                                         {poi_at(5.0f, 52.0f, "Museum", ", old"),
                                          poi_at(5.0001f, 52.0f, "Edited name", ", new")},
                                         std::string(kOutputHeader) + kMuseum +
                                             "   5.00010,  52.00000, \"Edited name\", new\n"
                                             ";*    2 POI records.    0 user comment lines.\n"},
                      UpdateDecisionCase{"Save as new entry, OV2",
                                         c::kSecondDecision,
                                         true,
                                         {poi_at(5.0f, 52.0f, "Museum", ", old"),
                                          poi_at(5.0001f, 52.0f, "Edited name", ", edited")},
                                         ov2_bytes(500000, 5200000, "Museum") +
                                             ov2_bytes(500010, 5200000, "Edited name")},
                      UpdateDecisionCase{"Position, text",
                                         c::kPosition,
                                         false,
                                         {poi_at(5.0001f, 52.0f, "Museum", ", new")},
                                         std::string(kOutputHeader) +
                                             "   5.00010,  52.00000, \"Museum\", new\n"
                                             ";*    1 POI records.    0 user comment lines.\n"},
                      UpdateDecisionCase{"Position, OV2",
                                         c::kPosition,
                                         true,
                                         {poi_at(5.0001f, 52.0f, "Museum", ", old")},
                                         ov2_bytes(500010, 5200000, "Museum")},
                      UpdateDecisionCase{"Text, text",
                                         c::kText,
                                         false,
                                         {poi_at(5.0f, 52.0f, "Edited name", ", edited")},
                                         std::string(kOutputHeader) +
                                             "   5.00000,  52.00000, \"Edited name\", edited\n"
                                             ";*    1 POI records.    0 user comment lines.\n"},
                      UpdateDecisionCase{"Text, OV2",
                                         c::kText,
                                         true,
                                         {poi_at(5.0f, 52.0f, "Edited name", ", edited")},
                                         ov2_bytes(500000, 5200000, "Edited name")},
                      UpdateDecisionCase{"Both, text",
                                         c::kBoth,
                                         false,
                                         {poi_at(5.0001f, 52.0f, "Edited name", ", new")},
                                         std::string(kOutputHeader) +
                                             "   5.00010,  52.00000, \"Edited name\", new\n"
                                             ";*    1 POI records.    0 user comment lines.\n"},
                      UpdateDecisionCase{"Both, OV2",
                                         c::kBoth,
                                         true,
                                         {poi_at(5.0001f, 52.0f, "Edited name", ", edited")},
                                         ov2_bytes(500010, 5200000, "Edited name")}),
    LabelName{});

// Alpha and Beta 11.01 m apart: Alpha is reviewed, Beta's name edited.
struct DuplicateDecisionCase {
  const char* label;
  int button;
  bool ov2;
  std::string output;
  const char* entries_label;
};

void PrintTo(const DuplicateDecisionCase& row, std::ostream* out) {
  print_row(out, row.label, row.button, row.ov2, row.output, row.entries_label);
}

class duplicate_decision_test : public RunFixture,
                                public ::testing::WithParamInterface<DuplicateDecisionCase> {};

TEST_P(duplicate_decision_test, keeps_or_deletes_the_earlier_entry) {
  const DuplicateDecisionCase& dc = GetParam();
  set_master({poi_at(5.0f, 52.0f, "Alpha", ", a"), poi_at(5.0f, 52.0001f, "Beta", ", b")});
  dc.ov2 ? choose_ov2_output() : choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  edit(c::kRow2Name, "Beta edited");
  edit(c::kRow2Information, ", ignored");

  EXPECT_EQ(app::decide(program, dialog, dc.button), RunStop::finished) << dc.label;
  EXPECT_EQ(output(), dc.output) << dc.label;
  EXPECT_EQ(text_of(c::kOutputCount), dc.entries_label) << dc.label;
}

INSTANTIATE_TEST_SUITE_P(
    buttons, duplicate_decision_test,
    ::testing::Values(
        DuplicateDecisionCase{"Keep, text", c::kFirstDecision, false,
                              std::string(kOutputHeader) +
                                  "   5.00000,  52.00000, \"Alpha\", a\n"
                                  "   5.00000,  52.00010, \"Beta\", b\n"
                                  ";*    2 POI records.    0 user comment lines.\n",
                              "Number of POI entries:    2"},
        DuplicateDecisionCase{
            "Keep, OV2", c::kFirstDecision, true,
            ov2_bytes(500000, 5200000, "Alpha") + ov2_bytes(500000, 5200010, "Beta"),
            "Number of POI entries:    2"},
        // The surviving later entry carries the edited name, not the edited information.
        DuplicateDecisionCase{"Delete Master entry, text", c::kSecondDecision, false,
                              std::string(kOutputHeader) +
                                  "   5.00000,  52.00010, \"Beta edited\", b\n"
                                  ";*    1 POI records.    0 user comment lines.\n",
                              "Number of POI entries:    1"},
        DuplicateDecisionCase{"Delete Master entry, OV2", c::kSecondDecision, true,
                              ov2_bytes(500000, 5200010, "Beta edited"),
                              "Number of POI entries:    1"}),
    LabelName{});

class review_display_test : public RunFixture {
 protected:
  // The review-area calls in the order they were made.
  std::vector<std::string> review_calls() const {
    std::vector<std::string> found;
    for (const std::string& call : dialog.calls) {
      for (const int id : {1026, 1017, 1018, 1011, 1051, 1031, 1019, 1020, 1012, 1052, 1032}) {
        if (call.starts_with("put_text " + std::to_string(id) + " ")) found.push_back(call);
      }
      if (call.starts_with("set_field_state 100") && !call.starts_with("set_field_state 1004"))
        found.push_back(call);
      if (call.starts_with("set_field_state 101") || call.starts_with("set_field_state 1035"))
        found.push_back(call);
    }
    return found;
  }
};

TEST_F(review_display_test, update_run_shows_master_entry_first) {
  set_master({poi_at(5.0f, 52.0f, "Museum", ", old")});
  // The comment makes the reviewed Update entry number 2.
  set_update({poi::make_comment("; c"), poi_at(5.0001f, 52.0f, "Museum new", ", new")});
  choose_text_output();
  dialog.calls.clear();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(
      review_calls(),
      (std::vector<std::string>{
          "set_field_state 1015 1", "set_field_state 1016 1", "set_field_state 1035 1",
          "put_text 1026 \"    6.88\"", "put_text 1017 \"  5.000000\"",
          "put_text 1018 \" 52.000000\"", "put_text 1011 \"Museum\"", "put_text 1051 \", old\"",
          "put_text 1031 \"Entry:    1\"", "put_text 1019 \"  5.000100\"",
          "put_text 1020 \" 52.000000\"", "put_text 1012 \"Museum new\"", "put_text 1052 \", new\"",
          "put_text 1032 \"Entry:    2\"", "set_field_state 1015 1", "set_field_state 1016 1",
          "set_field_state 1035 1", "set_field_state 1002 1", "set_field_state 1001 1"}));
}

TEST_F(review_display_test, duplicate_run_shows_the_outer_entry_first) {
  set_master({poi_at(-122.41942f, 37.77493f, "Ferry Building"),
              poi_at(-122.4194f, 37.77494f, "Ferry Bldg", "; pier")});
  choose_text_output();
  dialog.calls.clear();
  check(c::kUnderOneMetre, false);

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(review_calls(), (std::vector<std::string>{
                                "set_field_state 1015 3", "set_field_state 1016 3",
                                "set_field_state 1035 3", "put_text 1026 \"    1.85\"",
                                "put_text 1017 \"-122.419418\"", "put_text 1018 \" 37.774929\"",
                                "put_text 1011 \"Ferry Building\"", "put_text 1051 \"\"",
                                "put_text 1031 \"Entry:    1\"", "put_text 1019 \"-122.419403\"",
                                "put_text 1020 \" 37.774940\"", "put_text 1012 \"Ferry Bldg\"",
                                "put_text 1052 \"; pier\"", "put_text 1032 \"Entry:    2\"",
                                "set_field_state 1001 1", "set_field_state 1002 1"}));
}

struct CoordinateCase {
  float degrees;
  const char* text;
};

void PrintTo(const CoordinateCase& row, std::ostream* out) {
  print_row(out, row.degrees, row.text);
}

class coordinate_text_test : public ::testing::TestWithParam<CoordinateCase> {};

TEST_P(coordinate_text_test, f10_6_or_in_full) {
  EXPECT_EQ(app::coordinate_text(GetParam().degrees), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(values, coordinate_text_test,
                         ::testing::Values(CoordinateCase{4.89f, "  4.890000"},
                                           CoordinateCase{-99.5f, "-99.500000"},
                                           CoordinateCase{52.37f, " 52.369999"},
                                           CoordinateCase{-122.41942f, "-122.419418"},
                                           CoordinateCase{-180.0f, "-180.000000"},
                                           CoordinateCase{-1000.0f, "-1000.000000"},
                                           CoordinateCase{123456.0f, "123456.000000"}),
                         [](const auto& info) {
                           return test_name(number_text(info.param.degrees) + " degrees");
                         });

TEST(entry_text_test, index_in_five_columns) {
  EXPECT_EQ(app::entry_text(17), "Entry:   17");
  EXPECT_EQ(app::entry_text(50000), "Entry:50000");
}

// Two pairs: One/U1 and Two/U2, each 11.01 m apart; the first one is pending.
class pending_review_test : public RunFixture {
 protected:
  void first_pair_pending() {
    set_master({poi_at(5.0f, 52.0f, "One"), poi_at(6.0f, 52.0f, "Two")});
    set_update({poi_at(5.0f, 52.0001f, "U1"), poi_at(6.0f, 52.0001f, "U2")});
    choose_text_output();
    ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
    ASSERT_EQ(program.run->pair().probe, 1);
  }
  const std::string kOneTwo = std::string(kOutputHeader) +
                              "   5.00000,  52.00000, \"One\"\n   6.00000,  52.00000, \"Two\"\n";
};

TEST_F(pending_review_test, smaller_radius_applies_from_the_next_comparison) {
  first_pair_pending();
  set_radius("5");
  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_EQ(output(), kOneTwo + "   6.00000,  52.00010, \"U2\"\n" +
                          ";*    3 POI records.    0 user comment lines.\n");
}

TEST_F(pending_review_test, same_radius_stops_at_the_next_pair) {
  first_pair_pending();
  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::review);
  EXPECT_EQ(program.run->pair().probe, 2);
  EXPECT_EQ(program.run->pair().match, 2);
}

TEST_F(pending_review_test, box_checked_while_pending_settles_the_next_pair) {
  first_pair_pending();
  check(c::kUnderRadius, true);
  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_EQ(output(), kOneTwo + ";*    2 POI records.    0 user comment lines.\n");
}

TEST_F(pending_review_test, bad_radius_leaves_the_pair_pending) {
  first_pair_pending();
  edit(c::kRow2Name, "Renamed");
  set_radius("twenty");

  EXPECT_EQ(app::decide(program, dialog, c::kText), RunStop::unchanged);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Match radius");
  EXPECT_EQ(program.run->table().name(1), "One");
  EXPECT_TRUE(program.output.loaded);

  set_radius("20");
  EXPECT_EQ(app::decide(program, dialog, c::kText), RunStop::review);
  EXPECT_EQ(program.run->table().name(1), "Renamed");
  EXPECT_EQ(program.run->pair().probe, 2);
}

TEST_F(pending_review_test, buttons_of_the_other_run_or_without_a_pair_change_nothing) {
  set_master({poi_at(5.0f, 52.0f, "Alpha"), poi_at(5.0f, 52.0001f, "Beta")});
  choose_text_output();
  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::unchanged);  // not started
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  edit(c::kRow2Name, "Renamed");

  for (const int id : {c::kPosition, c::kText, c::kBoth, c::kStart}) {
    EXPECT_EQ(app::decide(program, dialog, id), RunStop::unchanged) << id;
  }
  EXPECT_EQ(program.run->table().name(2), "Beta");
  EXPECT_EQ(program.run->result_count(), 0);

  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::unchanged);  // finished
  EXPECT_EQ(program.run->result_count(), 2);
}

// A name typed with a double quote: refused when the decision would store it
// in a text Output, which cannot hold it; taken by decisions that store no
// name, by an OV2 Output, and when it is the name shown (read from a file).
struct QuotedNameCase {
  const char* label;
  bool update_run;
  int button;
  bool ov2;
  bool typed;  // else the second row's own name holds the quote
  bool refused;
};

void PrintTo(const QuotedNameCase& row, std::ostream* out) {
  print_row(out, row.label, row.update_run, row.button, row.ov2, row.typed, row.refused);
}

class quoted_name_test : public RunFixture, public ::testing::WithParamInterface<QuotedNameCase> {};

TEST_P(quoted_name_test, is_refused_only_where_a_text_line_would_change_it) {
  const QuotedNameCase& param = GetParam();
  const std::string quoted = "Museum \"Het Schip\"";
  const std::string second_name = param.typed ? "Museum shop" : quoted;
  if (param.update_run) {
    set_master({poi_at(5.0f, 52.0f, "Museum")});
    set_update({poi_at(5.0f, 52.00005f, second_name)});
  } else {
    set_master({poi_at(5.0f, 52.0f, "Museum"), poi_at(5.0f, 52.00005f, second_name)});
  }
  param.ov2 ? choose_ov2_output() : choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  edit(c::kRow2Name, quoted);

  const RunStop stop = app::decide(program, dialog, param.button);

  if (param.refused) {
    EXPECT_EQ(stop, RunStop::unchanged);
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].title, "Name not stored");
    EXPECT_EQ(text_of(c::kRow2Name), quoted);  // kept for editing
    EXPECT_TRUE(program.pair_pending());
    EXPECT_EQ(program.run->counts().reviewed, 0);
  } else {
    EXPECT_EQ(stop, RunStop::finished);
    EXPECT_TRUE(dialog.boxes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    decisions, quoted_name_test,
    ::testing::Values(
        QuotedNameCase{"Save as new, text", true, c::kSecondDecision, false, true, true},
        QuotedNameCase{"Text, text", true, c::kText, false, true, true},
        QuotedNameCase{"Both, text", true, c::kBoth, false, true, true},
        QuotedNameCase{"Delete Master entry, text", false, c::kSecondDecision, false, true, true},
        QuotedNameCase{"Skip, text", true, c::kFirstDecision, false, true, false},
        QuotedNameCase{"Position, text", true, c::kPosition, false, true, false},
        QuotedNameCase{"Keep, text", false, c::kFirstDecision, false, true, false},
        QuotedNameCase{"Text, OV2", true, c::kText, true, true, false},
        QuotedNameCase{"Delete Master entry, OV2", false, c::kSecondDecision, true, true, false},
        QuotedNameCase{"Text, the name as read", true, c::kText, false, false, false}),
    LabelName{});

class save_as_new_limit_test : public RunFixture {};

TEST_F(save_as_new_limit_test, abandons_the_run_at_the_storage_limit) {
  fill_master(app::kMergedCapacity - 1);
  program.master_table.append(poi_at(5.0f, 52.0f, "Last"));
  program.master.count = program.master_table.size();
  set_update({poi_at(5.0f, 52.0001f, "Near last"), poi_at(6.0f, 52.0f, "Never placed")});
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  ASSERT_EQ(program.run->pair().match, app::kMergedCapacity);

  EXPECT_EQ(app::decide(program, dialog, c::kSecondDecision), RunStop::abandoned);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Storage limit");
  EXPECT_EQ(dialog.boxes[0].text.substr(0, app::kTooManyMergedText.size()),
            app::kTooManyMergedText);
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::information);
  EXPECT_FALSE(program.quit_requested);
  // The run did not go on: nothing is written, no pair waits.
  EXPECT_FALSE(std::filesystem::exists(program.output.path));
  EXPECT_FALSE(program.pair_pending());
  EXPECT_EQ(text_of(c::kRow2Name), " ");
}

class keep_exclusion_test : public RunFixture {};

TEST_F(keep_exclusion_test, entry_inside_a_circle_is_listed_instead) {
  set_master({poi_at(5.0f, 52.0f, "Alpha", ", a"), poi_at(5.0f, 52.0001f, "Beta")});
  program.exclusions.circles =
      exclusion::Circles{dir.file("exclusions.asc"), 1.0f, {{52.0f, 5.0f}}};
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);

  EXPECT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_EQ(output(), std::string(kOutputHeader) + "   5.00000,  52.00010, \"Beta\"\n" +
                          ";*    1 POI records.    0 user comment lines.\n");
  const std::string list = read_file(dir.file("excluded.asc"));
  EXPECT_TRUE(list.ends_with("\n   5.00000,  52.00000, \"Alpha\", a\n")) << list;
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
}

}  // namespace
}  // namespace pinwright::testing
