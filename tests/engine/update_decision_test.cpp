// What an update run's decisions leave in the Master entry's information for
// each kind of Output: a text Output takes the Update entry's own text, an
// OV2 Output the text as edited, a vector Output the text as edited, and its
// Position moves the entry and leaves every text as it was.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/run.hpp"
#include "tests/engine/no_files.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

using pinwright::testing::NoFiles;

class Review : public Decider {
 public:
  std::optional<Decision> decide(const Run&) override { return std::nullopt; }
  bool may_stop() const override { return true; }
};

enum class Output { text, ov2, vector };

struct DecisionCase {
  std::string label;
  Output output;
  Decision decision;
  bool edited;              // the second row's information typed over
  std::string information;  // the Master entry's afterwards
};

void PrintTo(const DecisionCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.edited, row.information);
}

class update_decision_test : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(update_decision_test, leaves_the_information_the_output_holds) {
  const DecisionCase& row = GetParam();
  poi::CompactTable master;
  master.append(5.0, 52.0, "Dom", ", church");
  poi::CompactTable update;
  update.append(5.0001, 52.0, "Dom tower", ", tower");
  RunSetup setup;
  setup.output_kind = row.output == Output::ov2 ? poi::FileKind::ov2 : poi::FileKind::text;
  setup.vector_output = row.output == Output::vector;
  NoFiles files;
  Review review;
  engine::Run run(std::move(master), &update, {}, setup, review, files);
  RunOptions options;
  options.radius = 20.0f;
  ASSERT_EQ(run.start(options).stop, RunStop::review);
  const std::optional<EditedRow> second_row =
      row.edited ? std::optional(EditedRow{"Dom tower", ", tower top"}) : std::nullopt;
  ASSERT_EQ(run.decide(row.decision, second_row, options).stop, RunStop::finished);
  EXPECT_EQ(run.table().information(1), row.information);
  if (row.decision == Decision::position) {
    EXPECT_EQ(run.table().longitude(1), 5.0001f);
  }
}

INSTANTIATE_TEST_SUITE_P(
    outputs, update_decision_test,
    ::testing::Values(
        DecisionCase{"text_position", Output::text, Decision::position, false, ", tower"},
        DecisionCase{"ov2_position", Output::ov2, Decision::position, false, ", church"},
        DecisionCase{"vector_position", Output::vector, Decision::position, false, ", church"},
        DecisionCase{"vector_position_edited", Output::vector, Decision::position, true,
                     ", church"},
        DecisionCase{"text_both_edited", Output::text, Decision::both, true, ", tower"},
        DecisionCase{"ov2_both_edited", Output::ov2, Decision::both, true, ", tower top"},
        DecisionCase{"vector_both_edited", Output::vector, Decision::both, true, ", tower top"},
        DecisionCase{"vector_text_edited", Output::vector, Decision::text, true, ", tower top"}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::engine
