// engine::Run with a name rule and with Keep::first: which pairs within the
// radius match, which entries survive and how many pairs the names kept
// apart, on each path a duplicate run takes (all at once on two threads,
// one by one through the grid, the plain scan) and in the update run.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include "engine/run.hpp"
#include "names/name.hpp"
#include "tests/engine/no_files.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

using pinwright::testing::NoFiles;

// Answers every open match with one decision, or leaves it to a review.
class Answer : public Decider {
 public:
  Answer(std::optional<Decision> decision, bool may_stop)
      : decision_(decision), may_stop_(may_stop) {}
  std::optional<Decision> decide(const Run&) override { return decision_; }
  bool may_stop() const override { return may_stop_; }

 private:
  std::optional<Decision> decision_;
  bool may_stop_;
};

struct Place {
  double metres_east;  // from 5 E on the parallel 52 N
  std::string name;
};

poi::CompactTable table_of(const std::vector<Place>& places) {
  // A degree of longitude at 52 N is about 68,600 m.
  constexpr double kMetresPerDegree = 68'640.0;
  poi::CompactTable table;
  for (const Place& place : places)
    table.append(5.0 + place.metres_east / kMetresPerDegree, 52.0, place.name, "");
  return table;
}

std::vector<std::string> names_of(const Run& run) {
  std::vector<std::string> names;
  for (std::int32_t k = 1; k <= run.result_count(); ++k)
    names.emplace_back(run.table().name(run.result_entry(k)));
  return names;
}

enum class Path { all_at_once, one_by_one, plain_scan };

struct DuplicateCase {
  std::string label;
  std::vector<Place> places;
  NameRule rule;
  Keep keep;
  std::vector<std::string> kept;
  std::int32_t names_apart;
};

void PrintTo(const DuplicateCase& row, std::ostream* out) {
  *out << row.label;
}

// Radius 20 m, every match deleted without a review.
const std::vector<DuplicateCase> kDuplicateCases = {
    {"fuel station beside a restaurant, any",
     {{0, "Shell"}, {8, "Pizzeria Roma"}},
     NameRule::any,
     Keep::last,
     {"Pizzeria Roma"},
     0},
    {"fuel station beside a restaurant, same",
     {{0, "Shell"}, {8, "Pizzeria Roma"}},
     NameRule::same,
     Keep::last,
     {"Shell", "Pizzeria Roma"},
     1},
    {"fuel station beside a restaurant, similar",
     {{0, "Shell"}, {8, "Pizzeria Roma"}},
     NameRule::similar,
     Keep::last,
     {"Shell", "Pizzeria Roma"},
     1},
    {"abbreviation and case, same",
     {{0, "St. Mary's Church"}, {5, "SAINT MARYS CHURCH"}},
     NameRule::same,
     Keep::last,
     {"SAINT MARYS CHURCH"},
     0},
    {"transposed letter, same keeps both",
     {{0, "Hauptbahnhof"}, {5, "Hauptbanhof"}},
     NameRule::same,
     Keep::last,
     {"Hauptbahnhof", "Hauptbanhof"},
     1},
    {"transposed letter, similar merges",
     {{0, "Hauptbahnhof"}, {5, "Hauptbanhof"}},
     NameRule::similar,
     Keep::last,
     {"Hauptbanhof"},
     0},
    {"a neighbour between two names of one place",
     {{0, "Cafe Central"}, {5, "Bank"}, {10, "Café Central"}},
     NameRule::similar,
     Keep::last,
     {"Bank", "Café Central"},
     2},
    {"chain collapses onto its last",
     {{0, "A"}, {15, "B"}, {30, "C"}, {45, "D"}},
     NameRule::any,
     Keep::last,
     {"D"},
     0},
    {"chain keeps the first and each entry beyond the radius of those kept",
     {{0, "A"}, {15, "B"}, {30, "C"}, {45, "D"}, {60, "E"}},
     NameRule::any,
     Keep::first,
     {"A", "C", "E"},
     0},
    {"keep first reads the names",
     {{0, "Shell"}, {8, "Pizzeria Roma"}, {12, "shell"}},
     NameRule::same,
     Keep::first,
     {"Shell", "Pizzeria Roma"},
     1},
};

std::string case_name(const ::testing::TestParamInfo<std::tuple<DuplicateCase, Path>>& info) {
  static const char* const kPaths[] = {"all_at_once", "one_by_one", "plain_scan"};
  std::string name =
      std::get<0>(info.param).label + " " + kPaths[static_cast<int>(std::get<1>(info.param))];
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class duplicate_names_test : public ::testing::TestWithParam<std::tuple<DuplicateCase, Path>> {};

TEST_P(duplicate_names_test, keeps_the_entries_the_rule_leaves) {
  const auto& [row, path] = GetParam();
  RunSetup setup;
  setup.plain_scan = path == Path::plain_scan;
  setup.threads = path == Path::all_at_once ? 2 : 1;
  NoFiles files;
  Answer answer(Decision::save_or_delete, path != Path::all_at_once);
  engine::Run run(table_of(row.places), nullptr, {}, setup, answer, files);
  RunOptions options;
  options.radius = 20.0f;
  options.names.rule = row.rule;
  options.keep = row.keep;
  ASSERT_EQ(run.start(options).stop, RunStop::finished);
  EXPECT_EQ(names_of(run), row.kept);
  EXPECT_EQ(run.counts().names_apart, row.names_apart);
  EXPECT_EQ(run.counts().deleted, static_cast<std::int32_t>(row.places.size() - row.kept.size()));
}

INSTANTIATE_TEST_SUITE_P(cases, duplicate_names_test,
                         ::testing::Combine(::testing::ValuesIn(kDuplicateCases),
                                            ::testing::Values(Path::all_at_once, Path::one_by_one,
                                                              Path::plain_scan)),
                         case_name);

struct ThresholdCase {
  double threshold;
  std::int32_t kept;
};

class threshold_test : public ::testing::TestWithParam<ThresholdCase> {};

// "North Street" and "South Street" score 0.5.
TEST_P(threshold_test, similar_takes_pairs_at_or_above_the_threshold) {
  RunSetup setup;
  NoFiles files;
  Answer answer(Decision::save_or_delete, false);
  engine::Run run(table_of({{0, "North Street"}, {5, "South Street"}}), nullptr, {}, setup, answer,
                  files);
  RunOptions options;
  options.radius = 20.0f;
  options.names = {NameRule::similar, GetParam().threshold};
  ASSERT_EQ(run.start(options).stop, RunStop::finished);
  EXPECT_EQ(run.result_count(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(scores, threshold_test,
                         ::testing::Values(ThresholdCase{0.0, 1}, ThresholdCase{0.5, 1},
                                           ThresholdCase{0.51, 2}, ThresholdCase{1.0, 2}));

struct UpdateCase {
  std::string label;
  std::string update_name;
  NameRule rule;
  std::int32_t appended;
  std::int32_t names_apart;
};

void PrintTo(const UpdateCase& row, std::ostream* out) {
  *out << row.label;
}

class update_names_test : public ::testing::TestWithParam<UpdateCase> {};

// The Update entry lies 8 m from the Master entry "Shell"; a match is skipped.
TEST_P(update_names_test, appends_what_the_names_keep_apart) {
  const UpdateCase& row = GetParam();
  const poi::CompactTable update = table_of({{8, row.update_name}});
  RunSetup setup;
  NoFiles files;
  Answer answer(Decision::skip_or_keep, false);
  engine::Run run(table_of({{0, "Shell"}}), &update, {}, setup, answer, files);
  RunOptions options;
  options.radius = 20.0f;
  options.names.rule = row.rule;
  ASSERT_EQ(run.start(options).stop, RunStop::finished);
  EXPECT_EQ(run.counts().appended, row.appended);
  EXPECT_EQ(run.counts().names_apart, row.names_apart);
}

INSTANTIATE_TEST_SUITE_P(
    cases, update_names_test,
    ::testing::Values(UpdateCase{"other place any", "Pizzeria Roma", NameRule::any, 0, 0},
                      UpdateCase{"other place same", "Pizzeria Roma", NameRule::same, 1, 1},
                      UpdateCase{"other place similar", "Pizzeria Roma", NameRule::similar, 1, 1},
                      UpdateCase{"case and blanks same", "  SHELL ", NameRule::same, 0, 0},
                      UpdateCase{"typo similar", "Shel", NameRule::similar, 0, 0},
                      UpdateCase{"typo same", "Shel", NameRule::same, 1, 1}),
    testing::LabelName{});

// A review stop tells how alike the two names are, whatever the rule.
TEST(review_stop_names_test, pair_carries_the_similarity_of_its_names) {
  RunSetup setup;
  NoFiles files;
  Answer answer(std::nullopt, true);
  engine::Run run(table_of({{0, "Hauptbahnhof"}, {5, "Hauptbanhof"}, {9, "Rathaus"}}), nullptr, {},
                  setup, answer, files);
  RunOptions options;
  options.radius = 20.0f;
  ASSERT_EQ(run.start(options).stop, RunStop::review);
  const double first = run.pair().name_similarity;
  EXPECT_GT(first, 0.85);
  EXPECT_LT(first, 1.0);
  ASSERT_EQ(run.decide(Decision::skip_or_keep, std::nullopt, options).stop, RunStop::review);
  EXPECT_EQ(run.pair().name_similarity, 0.0);
}

// Back under Keep::first: an entry kept and then taken back no longer
// removes the later entries near it.
TEST(keep_first_back_test, an_entry_taken_back_removes_nothing) {
  RunSetup setup;
  NoFiles files;
  Answer answer(std::nullopt, true);
  engine::Run run(table_of({{0, "A"}, {15, "B"}, {30, "C"}}), nullptr, {}, setup, answer, files);
  RunOptions options;
  options.radius = 20.0f;
  options.keep = Keep::first;
  ASSERT_EQ(run.start(options).stop, RunStop::review);
  EXPECT_EQ(run.pair().probe, 2);
  EXPECT_EQ(run.pair().match, 1);
  // B kept: C lies within the radius of B.
  ASSERT_EQ(run.decide(Decision::skip_or_keep, std::nullopt, options).stop, RunStop::review);
  EXPECT_EQ(run.pair().probe, 3);
  ASSERT_TRUE(run.back());
  // B deleted instead: C is beyond the radius of A and stays without a review.
  ASSERT_EQ(run.decide(Decision::save_or_delete, std::nullopt, options).stop, RunStop::finished);
  EXPECT_EQ(names_of(run), (std::vector<std::string>{"A", "C"}));
}

}  // namespace
}  // namespace pinwright::engine
