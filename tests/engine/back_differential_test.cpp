// Generated runs decided with random presses of Back in between, against the
// same runs decided directly with the decisions that were finally kept: the
// pairs shown, the Output bytes, the matches report, the excluded list, the
// boxes and the result must agree. The run with Back searches through the
// spatial index, the direct one by the plain scan, so an index left out of
// line by Back shows as well.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "exclusion/reports.hpp"
#include "poi/text_file.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "ui/controls.hpp"

namespace pinwright::engine {
namespace {

namespace c = ui::control;
using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  float uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random_);
  }

  // Entries in three small towns, about 20 m across each, so that most
  // entries match several others; now and then a comment.
  poi::PoiRecord place(int serial) {
    if (pick(0, 12) == 0) return poi::make_comment("; note " + std::to_string(serial));
    const int town = pick(0, 2);
    poi::PoiRecord record;
    record.latitude = 52.0f + static_cast<float>(town) * 0.1f + uniform(-0.0001f, 0.0001f);
    record.longitude = 5.0f + static_cast<float>(town) * 0.1f + uniform(-0.00015f, 0.00015f);
    record.name.assign("P" + std::to_string(serial));
    if (pick(0, 2) == 0) record.information.assign(", info " + std::to_string(serial));
    return record;
  }

 private:
  std::mt19937 random_;
};

struct Scenario {
  bool update = false;
  bool ov2_output = false;
  std::vector<poi::PoiRecord> master;
  std::vector<poi::PoiRecord> update_entries;
  std::vector<poi::PoiRecord> circles;  // duplicate runs only
  std::string radius;
  bool under_one = false;
  bool append = true;
};

Scenario make_scenario(Generator& gen) {
  Scenario s;
  s.update = gen.pick(0, 1) == 1;
  s.ov2_output = gen.pick(0, 2) == 0;
  int serial = 0;
  const int master_count = gen.pick(2, 40);
  for (int k = 0; k < master_count; ++k) {
    s.master.push_back(gen.place(++serial));
    // entries under 1 m apart, settled without a review when "< 1 or" is checked
    if (k > 0 && gen.pick(0, 5) == 0) {
      s.master.back() = s.master[static_cast<std::size_t>(gen.pick(0, k - 1))];
      s.master.back().longitude += 0.000005f;
    }
  }
  if (s.update) {
    const int update_count = gen.pick(1, 30);
    for (int k = 0; k < update_count; ++k) s.update_entries.push_back(gen.place(++serial));
  } else {
    for (int k = gen.pick(0, 2); k > 0; --k) {
      poi::PoiRecord centre = gen.place(++serial);
      if (poi::is_comment(centre)) continue;
      s.circles.push_back(centre);
    }
  }
  s.radius = std::to_string(gen.pick(3, 30));
  s.under_one = gen.pick(0, 2) != 0;
  s.append = gen.pick(0, 3) != 0;
  return s;
}

// One program life with its own folder, dialog and tables.
struct Side {
  explicit Side(bool plain) { program.plain_scan = plain; }
  TempDir dir;
  RecordingDialog dialog;
  app::Program program;
  // The pairs of the review stops the run stands on, the first first.
  std::vector<std::tuple<std::int32_t, std::int32_t, float>> pairs;

  void note_stop(app::RunStop stop) {
    if (stop == app::RunStop::review)
      pairs.emplace_back(program.run.probe_index, program.run.match_index, program.run.separation);
  }
};

void set_up(Side& side, const Scenario& s) {
  app::Program& p = side.program;
  p.fixed_today = std::chrono::year{2026} / 12 / 7;
  for (const auto& record : s.master) p.master_table[++p.master.count] = record;
  p.master.loaded = true;
  for (const auto& record : s.update_entries) p.update_table[++p.update.count] = record;
  p.update.loaded = s.update;
  for (const auto& centre : s.circles) p.exclusions.circles[++p.exclusions.count] = centre;
  p.exclusions.radius = 6.0f;
  p.exclusions.path = side.dir.file("exclusions.asc");
  p.matches_report_enabled = true;
  p.output.kind = s.ov2_output ? poi::FileKind::ov2 : poi::FileKind::text;
  p.output.path = side.dir.file(s.ov2_output ? "out.ov2" : "out.asc");
  p.output.loaded = true;
  side.dialog.control(c::kRadiusCombo).text = s.radius;
  side.dialog.control(c::kUnderRadius).checked = false;
  side.dialog.control(c::kUnderOneMetre).checked = s.under_one;
  side.dialog.control(c::kAppend).checked = s.append;
}

// A decision button, with the name typed into the second row first ("" for
// the name as shown).
struct Choice {
  int button;
  std::string name;
};

app::RunStop take(Side& side, const Choice& choice) {
  if (!choice.name.empty()) side.dialog.control(c::kRow2Name).text = choice.name;
  const app::RunStop stop = app::decide(side.program, side.dialog, choice.button);
  side.note_stop(stop);
  return stop;
}

Choice random_choice(Generator& gen, bool update, int serial) {
  static constexpr int kUpdateButtons[] = {c::kFirstDecision, c::kSecondDecision, c::kPosition,
                                           c::kText, c::kBoth};
  const int button = update ? kUpdateButtons[gen.pick(0, 4)]
                            : (gen.pick(0, 1) ? c::kFirstDecision : c::kSecondDecision);
  return {button, gen.pick(0, 3) == 0 ? "Typed " + std::to_string(serial) : ""};
}

// A box's lines without those naming a file: each side has its own folder.
std::string without_paths(const std::string& text) {
  std::string kept;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const std::size_t end = std::min(text.find('\r', begin), text.size());
    const std::string line = text.substr(begin, end - begin);
    if (!line.starts_with("Exclusions read from") && !line.starts_with(" Output to"))
      kept += line + '\n';
    begin = end + 1;
  }
  return kept;
}

std::string file_or_none(const std::string& path) {
  return std::filesystem::exists(path) ? read_file(path) : "(none)";
}

TEST(back_differential_test, runs_with_back_equal_the_runs_decided_directly) {
  int backs = 0;
  int backs_past_automatic_steps = 0;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    Generator gen(seed * 2246822519u);
    const Scenario scenario = make_scenario(gen);
    Side with_back(false);
    Side direct(true);
    set_up(with_back, scenario);
    set_up(direct, scenario);

    // Decisions taken and not taken back, one per stop before the pending one.
    std::vector<Choice> kept;
    app::RunStop stop = app::start_run(with_back.program, with_back.dialog);
    with_back.note_stop(stop);
    for (int step = 0; stop == app::RunStop::review && step < 1000; ++step) {
      ASSERT_EQ(can_go_back(with_back.program), !kept.empty()) << "seed " << seed;
      if (!kept.empty() && step < 800 && gen.pick(0, 2) == 0) {
        for (int n = gen.pick(1, 3); n > 0 && !kept.empty(); --n) {
          const std::int32_t removed_before = with_back.program.run.probe_index;
          ASSERT_EQ(app::back(with_back.program, with_back.dialog), app::RunStop::review)
              << "seed " << seed;
          if (removed_before - with_back.program.run.probe_index > 1) ++backs_past_automatic_steps;
          kept.pop_back();
          with_back.pairs.pop_back();
          ++backs;
          ASSERT_EQ(with_back.dialog.controls[c::kBack].state,
                    kept.empty() ? ui::FieldState::disabled : ui::FieldState::enabled);
        }
        continue;
      }
      kept.push_back(random_choice(gen, scenario.update, step));
      stop = take(with_back, kept.back());
    }
    ASSERT_NE(stop, app::RunStop::review) << "seed " << seed;
    EXPECT_FALSE(can_go_back(with_back.program));
    EXPECT_EQ(app::back(with_back.program, with_back.dialog), app::RunStop::unchanged);

    app::RunStop direct_stop = app::start_run(direct.program, direct.dialog);
    direct.note_stop(direct_stop);
    for (const Choice& choice : kept) {
      ASSERT_EQ(direct_stop, app::RunStop::review) << "seed " << seed;
      direct_stop = take(direct, choice);
    }
    ASSERT_EQ(direct_stop, stop) << "seed " << seed;
    ASSERT_EQ(with_back.pairs, direct.pairs) << "seed " << seed;

    const app::Program& a = with_back.program;
    const app::Program& b = direct.program;
    ASSERT_EQ(a.run.result_count, b.run.result_count) << "seed " << seed;
    const poi::PoiTable& result_a = scenario.update ? a.working_table : a.merged_table;
    const poi::PoiTable& result_b = scenario.update ? b.working_table : b.merged_table;
    for (std::int32_t k = 1; k <= a.run.result_count; ++k)
      ASSERT_EQ(result_a[k], result_b[k]) << "seed " << seed << " entry " << k;
    EXPECT_EQ(read_file(a.output.path), read_file(b.output.path)) << "seed " << seed;
    EXPECT_EQ(file_or_none(with_back.dir.file("out_matches.csv")),
              file_or_none(direct.dir.file("out_matches.csv")))
        << "seed " << seed;
    EXPECT_EQ(file_or_none(with_back.dir.file("excluded.asc")),
              file_or_none(direct.dir.file("excluded.asc")))
        << "seed " << seed;
    ASSERT_EQ(with_back.dialog.boxes.size(), direct.dialog.boxes.size()) << "seed " << seed;
    for (std::size_t k = 0; k < direct.dialog.boxes.size(); ++k)
      EXPECT_EQ(without_paths(with_back.dialog.boxes[k].text),
                without_paths(direct.dialog.boxes[k].text))
          << "seed " << seed;
  }
  // Back was really pressed, also over entries the run settled by itself.
  EXPECT_GT(backs, 500);
  EXPECT_GT(backs_past_automatic_steps, 100);
}

}  // namespace
}  // namespace pinwright::engine
