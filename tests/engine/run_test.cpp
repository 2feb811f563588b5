#include "engine/run.hpp"
#include "app/run_buttons.hpp"
#include "app/run_view.hpp"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <string>

#include "engine/distance.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/paths.hpp"
#include "tests/engine/run_fixture.hpp"
#include "tests/support/file_size_limit.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
namespace fs = std::filesystem;
using app::RunStop;

std::string trailer(int poi_lines, int comment_lines) {
  std::string line = ";*";
  line += std::string(5 - std::to_string(poi_lines).size(), ' ') + std::to_string(poi_lines);
  line += " POI records.";
  line +=
      std::string(5 - std::to_string(comment_lines).size(), ' ') + std::to_string(comment_lines);
  line += " user comment lines.\n";
  return line;
}

// The shortest decimal text that reads back as exactly `value`.
std::string exact_text(float value) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return {buffer.data(), end};
}

// A latitude whose distance from (0, 0) is `metres`, or the largest one
// below it, found by stepping through neighbouring floats.
float latitude_at(float metres) {
  float latitude = metres / 110574.0f;
  float below = 0.0f;
  for (int step = 0; step < 10000; ++step) {
    const float d = engine::distance(0.0f, 0.0f, latitude, 0.0f);
    if (d == metres) return latitude;
    if (d < metres) {
      below = latitude;
      latitude = std::nextafter(latitude, 1.0f);
    } else {
      if (below != 0.0f) return below;
      latitude = std::nextafter(latitude, 0.0f);
    }
  }
  ADD_FAILURE() << "no latitude near " << metres << " m";
  return 0.0f;
}

class duplicate_run_test : public RunFixture {};
class update_run_test : public RunFixture {};
class start_test : public RunFixture {};

TEST_F(duplicate_run_test, chain_of_three_with_radius_box_leaves_only_the_last) {
  set_master(
      {poi_at(5.0f, 52.0f, "E1"), poi_at(5.0f, 52.0001f, "E2"), poi_at(5.0f, 52.0002f, "E3")});
  choose_text_output();
  check(c::kUnderRadius, true);
  check(c::kUnderOneMetre, false);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);

  EXPECT_EQ(program.run.result_count, 1);
  EXPECT_EQ(program.merged_table[1].name.trimmed(), "E3");
  EXPECT_EQ(output(),
            std::string(kOutputHeader) + "   5.00000,  52.00020, \"E3\"\n" + trailer(1, 0));
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    1");
  EXPECT_FALSE(program.output.loaded);
}

// Radius texts around the pair's exact separation: strictly less matches.
struct RadiusCase {
  const char* label;
  int ulps;  // steps from the separation to the radius
  bool matches;
};

void PrintTo(const RadiusCase& row, std::ostream* out) {
  print_row(out, row.label, row.ulps, row.matches);
}

class exact_radius_test : public RunFixture, public ::testing::WithParamInterface<RadiusCase> {};

TEST_P(exact_radius_test, matches_only_below_the_radius) {
  const RadiusCase& rc = GetParam();
  const float separation = engine::distance(52.0f, 5.0f, 52.0001f, 5.0f);
  float radius = separation;
  for (int k = 0; k < rc.ulps; ++k) radius = std::nextafter(radius, 1000.0f);
  set_radius(exact_text(radius));
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.0001f, "B")});
  choose_text_output();
  check(c::kUnderRadius, true);  // a match deletes A at once

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(program.run.result_count, rc.matches ? 1 : 2) << rc.label;
}

INSTANTIATE_TEST_SUITE_P(cases, exact_radius_test,
                         ::testing::Values(RadiusCase{"radius equals separation", 0, false},
                                           RadiusCase{"one step larger", 1, true}),
                         LabelName{});

// The "< 1 or" box settles pairs strictly under one metre.
struct OneMetreCase {
  float metres;
  RunStop stop;
};

void PrintTo(const OneMetreCase& row, std::ostream* out) {
  print_row(out, row.metres, row.stop == RunStop::review ? "review" : "finished");
}

class one_metre_test : public RunFixture, public ::testing::WithParamInterface<OneMetreCase> {};

TEST_P(one_metre_test, settles_pairs_under_one_metre_only) {
  const OneMetreCase& oc = GetParam();
  const float latitude = latitude_at(oc.metres);
  const float separation = engine::distance(0.0f, 0.0f, latitude, 0.0f);
  ASSERT_LE(separation, oc.metres);
  ASSERT_EQ(separation >= 1.0f, oc.stop == RunStop::review) << separation;
  set_master({poi_at(0.0f, 0.0f, "A"), poi_at(0.0f, latitude, "B")});
  choose_text_output();
  EXPECT_EQ(app::start_run(program, dialog), oc.stop) << separation;
}

INSTANTIATE_TEST_SUITE_P(
    cases, one_metre_test,
    ::testing::Values(OneMetreCase{0.99f, RunStop::finished},
                      OneMetreCase{std::nextafter(1.0f, 0.0f), RunStop::finished},
                      OneMetreCase{1.0f, RunStop::review}),
    [](const auto& info) { return test_name(number_text(info.param.metres) + " metres"); });

TEST_F(duplicate_run_test, unchecked_one_metre_box_reviews_even_identical_positions) {
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.0f, "B")});
  choose_text_output();
  check(c::kUnderOneMetre, false);
  EXPECT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(text_of(c::kSeparation), "    0.00");
}

TEST_F(duplicate_run_test, comments_stay_in_place_and_are_never_matched) {
  // The comment records share the position -999/-999 and must not match each other.
  set_master({poi::make_comment(";top"), poi_at(5.0f, 52.0f, "A", ", a"), poi::make_comment(""),
              poi::make_comment("; middle"), poi_at(6.0f, 52.0f, "B")});
  choose_text_output();
  check(c::kUnderRadius, true);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(output(), std::string(kOutputHeader) +
                          ";top\n"
                          "   5.00000,  52.00000, \"A\", a\n"
                          "\n"
                          "; middle\n"
                          "   6.00000,  52.00000, \"B\"\n" +
                          trailer(2, 3));
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    2");
}

TEST_F(duplicate_run_test, ov2_output_leaves_out_comments) {
  set_master(
      {poi::make_comment(";top"), poi_at(5.0f, 52.0f, "A", ", a"), poi_at(6.0f, 52.0f, "B")});
  choose_ov2_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(output(), ov2_bytes(500000, 5200000, "A") + ov2_bytes(600000, 5200000, "B"));
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    2");
  EXPECT_FALSE(program.output.loaded);
}

TEST_F(duplicate_run_test, stops_at_the_first_later_match_and_resumes_after_it) {
  // A matches C (11 m) and D (0 m): the first later match, C, is the one shown.
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(6.0f, 52.0f, "B"), poi_at(5.0f, 52.0001f, "C"),
              poi_at(5.0f, 52.0f, "D")});
  choose_text_output();
  check(c::kUnderOneMetre, false);

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(program.run.probe_index, 1);
  EXPECT_EQ(program.run.match_index, 3);
  EXPECT_EQ(program.run.position, 2);
  EXPECT_EQ(program.run.match_entry.name.trimmed(), "C");

  // B matches nothing, C matches D: the next stop is C's, A is not shown again.
  ASSERT_EQ(app::resume_run(program, dialog), RunStop::review);
  EXPECT_EQ(program.run.probe_index, 3);
  EXPECT_EQ(program.run.match_index, 4);
  EXPECT_EQ(program.run.position, 4);
  EXPECT_EQ(program.run.result_count, 1);  // B
}

TEST_F(update_run_test, appends_unmatched_entries_and_matches_earlier_appended_ones) {
  set_master({poi_at(6.0f, 52.0f, "Far")});
  set_update({poi_at(5.0f, 52.0f, "New"), poi_at(5.0f, 52.0001f, "Near new")});
  choose_text_output();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(program.run.result_count, 2);
  EXPECT_EQ(program.working_table[2].name.trimmed(), "New");
  EXPECT_EQ(program.run.match_index, 2);
  EXPECT_EQ(program.run.probe_index, 2);
  EXPECT_EQ(text_of(c::kRow1Name), "New");
  EXPECT_EQ(text_of(c::kRow1Entry), "Entry:    2");
  EXPECT_EQ(text_of(c::kRow2Name), "Near new");
  EXPECT_EQ(text_of(c::kSeparation), "   11.01");
}

TEST_F(update_run_test, comments_of_both_files_stay_in_place) {
  set_master({poi::make_comment("; master"), poi_at(5.0f, 52.0f, "A")});
  set_update({poi::make_comment("; update"), poi_at(6.0f, 52.0f, "X", "; shop"),
              poi_at(5.0f, 52.0f, "A again")});
  choose_text_output();
  check(c::kUnderRadius, true);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(output(), std::string(kOutputHeader) +
                          "; master\n"
                          "   5.00000,  52.00000, \"A\"\n"
                          "; update\n"
                          "   6.00000,  52.00000, \"X\"; shop\n" +
                          trailer(2, 2));
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    2");
}

struct AppendCase {
  const char* label;
  bool append;
  bool something_new;
  bool ov2;
  std::string expected;
  const char* label_text;
};

void PrintTo(const AppendCase& row, std::ostream* out) {
  print_row(out, row.label, row.append, row.something_new, row.ov2, row.expected, row.label_text);
}

class append_test : public RunFixture, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(append_test, writes_the_whole_file_or_only_the_appended_entries) {
  const AppendCase& ac = GetParam();
  set_master({poi::make_comment("; master"), poi_at(5.0f, 52.0f, "A")});
  if (ac.something_new) {
    set_update({poi_at(6.0f, 52.0f, "X")});
  } else {
    set_update({poi_at(5.0f, 52.0f, "A")});
  }
  ac.ov2 ? choose_ov2_output() : choose_text_output();
  check(c::kAppend, ac.append);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished) << ac.label;
  EXPECT_EQ(output(), ac.expected) << ac.label;
  EXPECT_EQ(text_of(c::kOutputCount), ac.label_text) << ac.label;
}

INSTANTIATE_TEST_SUITE_P(
    cases, append_test,
    ::testing::Values(
        AppendCase{"checked, text", true, true, false,
                   std::string(kOutputHeader) + "; master\n   5.00000,  52.00000, \"A\"\n" +
                       "   6.00000,  52.00000, \"X\"\n" + trailer(2, 1),
                   "Number of POI entries:    2"},
        AppendCase{"unchecked, text", false, true, false,
                   std::string(kOutputHeader) + "   6.00000,  52.00000, \"X\"\n" + trailer(1, 0),
                   "Number of POI entries:    1"},
        AppendCase{"unchecked, nothing appended", false, false, false,
                   std::string(kOutputHeader) + trailer(0, 0), "Number of POI entries:    0"},
        AppendCase{"checked, OV2", true, true, true,
                   ov2_bytes(500000, 5200000, "A") + ov2_bytes(600000, 5200000, "X"),
                   "Number of POI entries:    2"},
        AppendCase{"unchecked, OV2", false, true, true, ov2_bytes(600000, 5200000, "X"),
                   "Number of POI entries:    1"}),
    LabelName{});

TEST_F(start_test, update_run_counts_master_entries_first_and_enables_its_buttons) {
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(6.0f, 52.0f, "B")});
  set_update({poi_at(5.0f, 52.0001f, "A moved")});
  choose_text_output();
  check(c::kUnderOneMetre, false);

  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  EXPECT_EQ(program.run.result_count, 2);
  const std::vector<std::string> first_calls(dialog.calls.begin(), dialog.calls.begin() + 6);
  EXPECT_EQ(first_calls,
            (std::vector<std::string>{"set_field_state 1015 1", "set_field_state 1016 1",
                                      "set_field_state 1035 1", "set_field_state 1030 1",
                                      "set_field_state 1027 0", "set_field_state 1004 0"}));
}

TEST_F(start_test, duplicate_run_hides_update_buttons_and_resets_its_comment_counter) {
  set_master({poi::make_comment("; c"), poi_at(5.0f, 52.0f, "A")});
  choose_text_output();
  program.run.comment_counter = 7;

  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  const std::vector<std::string> first_calls(dialog.calls.begin(), dialog.calls.begin() + 6);
  EXPECT_EQ(first_calls,
            (std::vector<std::string>{"set_field_state 1015 3", "set_field_state 1016 3",
                                      "set_field_state 1035 3", "set_field_state 1030 1",
                                      "set_field_state 1027 0", "set_field_state 1004 0"}));
  EXPECT_EQ(program.run.comment_counter, 1);
  EXPECT_EQ(output(),
            std::string(kOutputHeader) + "; c\n   5.00000,  52.00000, \"A\"\n" + trailer(1, 1));
}

class bad_radius_test : public RunFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(bad_radius_test, start_is_refused_with_nothing_changed) {
  set_master({poi_at(5.0f, 52.0f, "A")});
  set_update({poi_at(6.0f, 52.0f, "X")});
  choose_text_output();
  set_radius(GetParam());

  EXPECT_EQ(app::start_run(program, dialog), RunStop::unchanged);
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Match radius");
  EXPECT_EQ(dialog.boxes[0].text, app::kRadiusErrorText);
  EXPECT_EQ(dialog.boxes[0].buttons, ui::ButtonSet::ok);
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::information);
  EXPECT_EQ(dialog.calls, std::vector<std::string>{"message_box \"Match radius\""});
  EXPECT_EQ(program.run.result_count, 0);
  EXPECT_EQ(program.update.count, 1);
  EXPECT_TRUE(program.output.loaded);
  EXPECT_FALSE(fs::exists(program.output.path));
}

INSTANTIATE_TEST_SUITE_P(texts, bad_radius_test,
                         ::testing::Values("abc", "", "-5", "20m", "nan", "1e39"),
                         [](const auto& info) { return test_name(info.param); });

TEST_F(start_test, radius_zero_matches_nothing) {
  set_radius("0");
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(5.0f, 52.0f, "B")});
  choose_text_output();
  check(c::kUnderRadius, true);
  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(program.run.result_count, 2);
}

TEST_F(update_run_test, storage_limit_abandons_the_run_without_writing) {
  fill_master(poi::kMergedCapacity - 1);
  set_update({poi_at(5.0f, 52.0f, "Fits"), poi_at(6.0f, 52.0f, "One too many")});
  choose_text_output();
  dir.write("out.asc", "the result of an earlier run\n");

  EXPECT_EQ(app::start_run(program, dialog), RunStop::abandoned);
  EXPECT_EQ(program.run.result_count, poi::kMergedCapacity);
  EXPECT_EQ(program.working_table[poi::kMergedCapacity].name.trimmed(), "Fits");
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Storage limit");
  EXPECT_EQ(dialog.boxes[0].text,
            "Too many merged entries.\rMaximum is 50,000\rThe run is abandoned; nothing is "
            "written.\rpinwright-batch has no such limit.");
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::information);
  EXPECT_EQ(dialog.boxes[0].buttons, ui::ButtonSet::ok);
  EXPECT_FALSE(program.quit_requested);
  EXPECT_EQ(output(), "the result of an earlier run\n");
  // The window is idle again and waits for a new Output file.
  EXPECT_FALSE(program.output.loaded);
  EXPECT_EQ(dialog.control(c::kQuit).state, ui::FieldState::disabled);
  EXPECT_EQ(dialog.control(c::kExit).state, ui::FieldState::enabled);
  EXPECT_EQ(dialog.control(c::kStart).state, ui::FieldState::disabled);
}

TEST_F(update_run_test, table_filled_exactly_is_written) {
  fill_master(poi::kMergedCapacity - 1);
  set_update({poi_at(5.0f, 52.0f, "Last")});
  choose_ov2_output();
  check(c::kAppend, false);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_FALSE(program.quit_requested);
  EXPECT_EQ(output(), ov2_bytes(500000, 5200000, "Last"));
}

// Matches report: pairs more than 1 m apart, only with the marker file.
class matches_report_test : public RunFixture {
 protected:
  void four_entries() {
    set_master({poi_at(6.0f, 52.0f, "Gamma"), poi_at(6.0f, 52.00005f, "Delta"),
                poi_at(5.0f, 52.0f, "Near0"), poi_at(5.00001f, 52.0f, "Near1")});
    set_radius("10");
    check(c::kUnderRadius, true);
  }
  std::string report_path() const { return dir.file("out_matches.csv"); }
};

TEST_F(matches_report_test, lists_pairs_over_one_metre_with_the_marker) {
  program.matches_report_enabled = true;
  four_entries();
  choose_text_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(program.run.result_count, 2);  // Delta and Near1
  EXPECT_TRUE(program.reports.matches.close());
  EXPECT_EQ(read_file(report_path()),
            "Longitude, Latitude, Name, Information\n"
            "   6.00000,  52.00000, \"Gamma\", \"\"\n"
            "   6.00000,  52.00005, \"Delta\", \"matches Gamma (5.51m)\"\n");
}

TEST_F(matches_report_test, no_report_without_the_marker) {
  four_entries();
  choose_text_output();
  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_FALSE(std::filesystem::exists(report_path()));
}

TEST_F(matches_report_test, run_without_matches_leaves_only_the_header) {
  program.matches_report_enabled = true;
  set_master({poi_at(5.0f, 52.0f, "A"), poi_at(6.0f, 52.0f, "B")});
  choose_text_output();
  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_TRUE(program.reports.matches.close());
  EXPECT_EQ(read_file(report_path()), "Longitude, Latitude, Name, Information\n");
}

TEST_F(matches_report_test, next_duplicate_run_replaces_the_report) {
  program.matches_report_enabled = true;
  four_entries();
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  choose_text_output();  // the same name again
  set_master({poi_at(5.0f, 52.0f, "A")});
  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_TRUE(program.reports.matches.close());
  EXPECT_EQ(read_file(report_path()), "Longitude, Latitude, Name, Information\n");
}

TEST_F(matches_report_test, update_run_leaves_an_existing_report_alone) {
  program.matches_report_enabled = true;
  dir.write("out_matches.csv", "earlier report\n");
  set_master({poi_at(6.0f, 52.0f, "Gamma")});
  set_update({poi_at(6.0f, 52.00005f, "Delta")});
  choose_text_output();
  check(c::kUnderRadius, true);

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_FALSE(program.reports.matches.is_open());
  EXPECT_EQ(read_file(report_path()), "earlier report\n");
}

// Exclusion circles in the duplicate run. The exclusions-file reader leaves the
// circles loaded; the fixture does the same. The run writes excluded.asc.
class run_exclusion_test : public RunFixture {
 protected:
  void load_circle(float longitude, float latitude) {
    program.exclusions.circles[1] = poi_at(longitude, latitude, "");
    program.exclusions.count = 1;
    program.exclusions.radius = 25.0f;
    program.exclusions.path = dir.file("master_x.asc");
  }
  std::string list_header() const {
    return "; Exclusions read from " + poi::shorten_path(program.exclusions.path, 50) +
           "\n; Radius of exclusion circle (metres):     25.0\n"
           "; List of entries excluded from " +
           poi::shorten_path(program.master.path, 50) + "\n";
  }
  std::string summary(int removed) const {
    return "Exclusions read from " + poi::shorten_path(program.exclusions.path, 50) +
           "\r Number in file:       1\r Exclusion circle radius (metres):     25.0"
           "\r Number of POIs removed:       " +
           std::to_string(removed) + "\r Output to " +
           poi::shorten_path(dir.file("excluded.asc"), 50);
  }
};

TEST_F(run_exclusion_test, entry_inside_a_circle_is_listed_not_written) {
  set_master({poi_at(5.0f, 52.0f, "Alpha", ", a"), poi_at(6.0f, 52.0f, "Beta")});
  load_circle(5.0f, 52.0001f);  // 11 m from Alpha
  choose_text_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(output(),
            std::string(kOutputHeader) + "   6.00000,  52.00000, \"Beta\"\n" + trailer(1, 0));
  EXPECT_EQ(read_file(dir.file("excluded.asc")),
            list_header() + "   5.00000,  52.00000, \"Alpha\", a\n");
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "POI exclusions");
  EXPECT_EQ(dialog.boxes[0].text, summary(1));
  EXPECT_TRUE(program.exclusions.excluded_lines.empty());
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    1");
}

TEST_F(run_exclusion_test, ov2_output_lists_no_information) {
  set_master({poi_at(5.0f, 52.0f, "Alpha", ", a")});
  load_circle(5.0f, 52.0f);
  choose_ov2_output();

  EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(output(), "");
  EXPECT_EQ(read_file(dir.file("excluded.asc")),
            list_header() + "   5.00000,  52.00000, \"Alpha\"\n");
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    0");
}

TEST_F(run_exclusion_test, second_run_writes_the_list_afresh) {
  set_master({poi_at(5.0f, 52.0f, "Alpha", ", a"), poi_at(6.0f, 52.0f, "Beta")});
  load_circle(5.0f, 52.0f);
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  choose_ov2_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);

  EXPECT_EQ(read_file(dir.file("excluded.asc")),
            list_header() + "   5.00000,  52.00000, \"Alpha\"\n");
  ASSERT_EQ(dialog.boxes.size(), 2u);
  EXPECT_EQ(dialog.boxes[1].text, summary(1));  // this run's removals only
}

TEST_F(run_exclusion_test, quit_lists_nothing_and_the_next_run_only_its_own_removals) {
  // Alpha and Alpha 2 lie in the circle, 44 m apart; Beta and Beta 2 make a
  // pair to review.
  set_master({poi_at(5.0f, 52.0002f, "Alpha"), poi_at(6.0f, 52.0f, "Beta"),
              poi_at(6.0f, 52.0001f, "Beta 2"), poi_at(5.0f, 51.9998f, "Alpha 2")});
  load_circle(5.0f, 52.0f);
  dir.write("excluded.asc", "; an earlier list\n");
  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  dialog.box_answers = {ui::kAnswerOkYes};
  app::quit_button(program, dialog);
  EXPECT_EQ(read_file(dir.file("excluded.asc")), "; an earlier list\n");

  choose_text_output();
  ASSERT_EQ(app::start_run(program, dialog), RunStop::review);
  ASSERT_EQ(app::decide(program, dialog, c::kFirstDecision), RunStop::finished);
  EXPECT_EQ(read_file(dir.file("excluded.asc")), list_header() +
                                                     "   5.00000,  52.00020, \"Alpha\"\n"
                                                     "   5.00000,  51.99980, \"Alpha 2\"\n");
  EXPECT_EQ(dialog.boxes.back().text, summary(2));
}

TEST_F(run_exclusion_test, list_never_opened_is_created_beside_the_exclusions_file) {
  // As after an exclusions file that stopped on a format error: circles, no list.
  set_master({poi_at(5.0f, 52.0f, "Alpha")});
  program.exclusions.circles[1] = poi_at(5.0f, 52.0f, "");
  program.exclusions.count = 1;
  program.exclusions.radius = 25.0f;
  program.exclusions.path = dir.file("master_x.asc");
  choose_text_output();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(program.exclusions.list_path, dir.file("excluded.asc"));
  EXPECT_EQ(read_file(dir.file("excluded.asc")),
            list_header() + "   5.00000,  52.00000, \"Alpha\"\n");
}

TEST_F(run_exclusion_test, no_circles_no_box_and_no_list) {
  set_master({poi_at(5.0f, 52.0f, "Alpha")});
  load_circle(5.0f, 52.0f);
  program.exclusions.count = 0;
  choose_text_output();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_FALSE(fs::exists(dir.file("excluded.asc")));
}

TEST_F(run_exclusion_test, update_run_applies_no_circles) {
  set_master({poi_at(6.0f, 52.0f, "Beta")});
  set_update({poi_at(5.0f, 52.0f, "Alpha")});
  load_circle(5.0f, 52.0f);
  choose_text_output();

  ASSERT_EQ(app::start_run(program, dialog), RunStop::finished);
  EXPECT_EQ(program.run.result_count, 2);
  EXPECT_TRUE(dialog.boxes.empty());
  EXPECT_FALSE(fs::exists(dir.file("excluded.asc")));
}

// A full disk: the Output file cannot be completed, and the user is told.
class output_failure_test : public RunFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(output_failure_test, incomplete_output_is_reported_and_the_old_file_kept) {
  const bool ov2 = GetParam();
  set_master({poi_at(5.0f, 52.0f, "A")});
  if (ov2) {
    choose_ov2_output();
  } else {
    choose_text_output();
  }
  dir.write(ov2 ? "out.ov2" : "out.asc", "kept");
  {
    const FileSizeLimit full_disk(8);
    EXPECT_EQ(app::start_run(program, dialog), RunStop::finished);
  }
  ASSERT_EQ(dialog.boxes.size(), 1u);
  EXPECT_EQ(dialog.boxes[0].title, "Write error");
  EXPECT_EQ(dialog.boxes[0].text,
            "The Output file could not be written completely:\r" +
                poi::shorten_path(program.output.path, poi::kMessagePathWidth));
  EXPECT_EQ(dialog.boxes[0].icon, ui::Icon::exclamation);
  EXPECT_EQ(text_of(c::kOutputCount), "Number of POI entries:    1");
  EXPECT_EQ(output(), "kept");
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(kinds, output_failure_test, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ov2" : "text"; });

}  // namespace
}  // namespace pinwright::testing
