// engine::Run against the window's run on generated tables with random
// options, decisions, edits and presses of Back: the pairs of every review
// stop, the counts, the Output bytes, the matches report and the excluded
// list must agree.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "app/run_view.hpp"
#include "engine/run.hpp"
#include "poi/ov2_file.hpp"
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

const std::chrono::year_month_day kToday = std::chrono::year{2026} / 12 / 7;

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  float uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random_);
  }

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
  std::vector<poi::PoiRecord> circles;
  std::string radius;
  bool under_one = false;
  bool under_radius = false;
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
    if (k > 0 && gen.pick(0, 5) == 0) {
      s.master.back() = s.master[static_cast<std::size_t>(gen.pick(0, k - 1))];
      s.master.back().longitude += 0.000005f;
    }
  }
  if (s.update) {
    for (int k = gen.pick(1, 30); k > 0; --k) s.update_entries.push_back(gen.place(++serial));
  } else {
    for (int k = gen.pick(0, 2); k > 0; --k) {
      poi::PoiRecord centre = gen.place(++serial);
      if (!poi::is_comment(centre)) s.circles.push_back(centre);
    }
  }
  s.radius = std::to_string(gen.pick(3, 30));
  s.under_one = gen.pick(0, 2) != 0;
  s.under_radius = gen.pick(0, 9) == 0;
  s.append = gen.pick(0, 3) != 0;
  return s;
}

// The window's files, written as the window writes them.
class FileSink : public RunSink {
 public:
  FileSink(std::string output_path, poi::FileKind kind)
      : output_path_(std::move(output_path)), kind_(kind) {}

  void report(std::string_view lines) override { report_ += lines; }
  std::optional<std::int64_t> report_length() override {
    return static_cast<std::int64_t>(report_.size());
  }
  void cut_report(std::int64_t length) override {
    report_.resize(static_cast<std::size_t>(length));
  }
  bool report_complete() override { return true; }

  OutputWrite write_output(const poi::CompactTable& table,
                           std::span<const std::int32_t> entries) override {
    std::string bytes;
    std::int32_t pois = 0;
    std::int32_t comments = 0;
    if (kind_ == poi::FileKind::text)
      bytes = poi::header_line(kToday) + "\n" + std::string(poi::kSecondHeaderLine) + "\n";
    for (const std::int32_t k : entries) {
      ++(table.is_comment(k) ? comments : pois);
      if (kind_ == poi::FileKind::ov2) {
        if (!table.is_comment(k)) poi::append_ov2_record(bytes, table, k);
        continue;
      }
      poi::append_record_line(bytes, table, k);
      bytes += '\n';
    }
    if (kind_ == poi::FileKind::text) bytes += poi::trailer_line(pois, comments) + "\n";
    poi::OutputFile file(output_path_, poi::OpenMode::truncate);
    file.write(bytes);
    return file.close() ? OutputWrite::written : OutputWrite::incomplete;
  }

  exclusion::ListWrite write_excluded(const exclusion::Circles&, const poi::CompactTable& table,
                                      std::span<const std::int32_t> entries,
                                      std::string& list_path) override {
    list_path = "excluded";
    for (const std::int32_t k : entries)
      excluded_ += exclusion::excluded_line(table, k, kind_) + "\n";
    return exclusion::ListWrite::written;
  }

  const std::string& report_text() const { return report_; }
  const std::string& excluded_text() const { return excluded_; }

 private:
  std::string output_path_;
  poi::FileKind kind_;
  std::string report_;
  std::string excluded_;
};

class Review : public Decider {
 public:
  std::optional<Decision> decide(const Run&) override { return std::nullopt; }
  bool may_stop() const override { return true; }
};

// The window's run as it stands.
struct Window {
  TempDir dir;
  RecordingDialog dialog;
  app::Program program;
  std::vector<std::tuple<std::int32_t, std::int32_t, float>> pairs;

  explicit Window(const Scenario& s) {
    app::Program& p = program;
    p.fixed_today = kToday;
    for (const auto& record : s.master) p.master_table[++p.master.count] = record;
    p.master.loaded = true;
    for (const auto& record : s.update_entries) p.update_table[++p.update.count] = record;
    p.update.loaded = s.update;
    for (const auto& centre : s.circles) p.exclusions.circles[++p.exclusions.count] = centre;
    p.exclusions.radius = 6.0f;
    p.exclusions.path = dir.file("exclusions.asc");
    p.matches_report_enabled = !s.update;
    p.output.kind = s.ov2_output ? poi::FileKind::ov2 : poi::FileKind::text;
    p.output.path = dir.file(s.ov2_output ? "out.ov2" : "out.asc");
    p.output.loaded = true;
    dialog.control(c::kRadiusCombo).text = s.radius;
    dialog.control(c::kUnderRadius).checked = s.under_radius;
    dialog.control(c::kUnderOneMetre).checked = s.under_one;
    dialog.control(c::kAppend).checked = s.append;
  }

  void note(app::RunStop stop) {
    if (stop == app::RunStop::review)
      pairs.emplace_back(program.run.probe_index, program.run.match_index, program.run.separation);
  }
};

// engine::Run on the same scenario.
struct Engine {
  TempDir dir;
  poi::CompactTable update;
  FileSink sink;
  Review review;
  RunOptions options;
  std::unique_ptr<Run> run;
  std::vector<std::tuple<std::int32_t, std::int32_t, float>> pairs;

  explicit Engine(const Scenario& s)
      : sink(dir.file("out"), s.ov2_output ? poi::FileKind::ov2 : poi::FileKind::text) {
    poi::CompactTable master;
    for (const auto& record : s.master) master.append(record);
    for (const auto& record : s.update_entries) update.append(record);
    exclusion::Circles circles;
    circles.radius = 6.0f;
    for (const auto& centre : s.circles)
      circles.centres.push_back({centre.latitude, centre.longitude});
    RunSetup setup;
    setup.output_kind = s.ov2_output ? poi::FileKind::ov2 : poi::FileKind::text;
    setup.report_matches = !s.update;
    run = std::make_unique<Run>(std::move(master), s.update ? &update : nullptr, circles, setup,
                                review, sink);
    options.radius = std::stof(s.radius);
    options.settle_under_one_metre = s.under_one;
    options.settle_every_match = s.under_radius;
    options.append_all = s.append;
  }

  void note(const RunOutcome& outcome) {
    if (outcome.stop == RunStop::review)
      pairs.emplace_back(run->pair().probe, run->pair().match, run->pair().separation);
  }
};

struct Choice {
  int button;
  std::string name;
};

Decision decision_of(int button) {
  switch (button) {
    case c::kFirstDecision:
      return Decision::skip_or_keep;
    case c::kSecondDecision:
      return Decision::save_or_delete;
    case c::kPosition:
      return Decision::position;
    case c::kText:
      return Decision::text;
    default:
      return Decision::both;
  }
}

std::string report_of(const std::string& path) {
  if (!std::filesystem::exists(path)) return {};
  const std::string text = read_file(path);
  return text.substr(text.find('\n') + 1);  // without the header line
}

std::string excluded_of(const std::string& path) {
  if (!std::filesystem::exists(path)) return {};
  std::string text = read_file(path);
  for (int line = 0; line < 3; ++line) text = text.substr(text.find('\n') + 1);
  return text;
}

TEST(run_class_test, equals_the_windows_run_step_by_step) {
  int stops = 0;
  int backs = 0;
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    Generator gen(seed * 2246822519u);
    const Scenario scenario = make_scenario(gen);
    Window window(scenario);
    Engine engine(scenario);
    if (!scenario.update) app::open_matches_report(window.program, window.dialog);

    app::RunStop stop = app::start_run(window.program, window.dialog);
    window.note(stop);
    RunOutcome outcome = engine.run->start(engine.options);
    engine.note(outcome);
    for (int step = 0; stop == app::RunStop::review && step < 300; ++step) {
      ASSERT_EQ(outcome.stop, RunStop::review) << "seed " << seed;
      ASSERT_EQ(window.pairs, engine.pairs) << "seed " << seed;
      ++stops;
      ASSERT_EQ(can_go_back(window.program), engine.run->can_go_back()) << "seed " << seed;
      if (engine.run->can_go_back() && gen.pick(0, 3) == 0) {
        ASSERT_EQ(app::back(window.program, window.dialog), app::RunStop::review);
        ASSERT_TRUE(engine.run->back());
        window.pairs.pop_back();
        engine.pairs.pop_back();
        ASSERT_EQ(std::get<1>(window.pairs.back()), engine.run->pair().match) << "seed " << seed;
        ++backs;
        continue;
      }
      static constexpr int kUpdateButtons[] = {c::kFirstDecision, c::kSecondDecision, c::kPosition,
                                               c::kText, c::kBoth};
      const int button = scenario.update
                             ? kUpdateButtons[gen.pick(0, 4)]
                             : (gen.pick(0, 1) ? c::kFirstDecision : c::kSecondDecision);
      const std::string typed = gen.pick(0, 3) == 0 ? "Typed " + std::to_string(step) : "";
      const std::string information = gen.pick(0, 4) == 0 ? "typed info" : "";
      std::optional<EditedRow> row;
      if (!typed.empty() || !information.empty()) {
        const poi::CompactTable& probes = engine.run->probes();
        const poi::CompactTable& table = engine.run->table();
        const bool update_run = scenario.update;
        const std::int32_t second =
            update_run ? engine.run->pair().probe : engine.run->pair().match;
        const poi::CompactTable& shown = update_run ? probes : table;
        row = EditedRow{typed.empty() ? std::string(shown.name(second)) : typed,
                        information.empty() ? std::string(shown.information(second)) : information};
        window.dialog.control(c::kRow2Name).text = row->name;
        window.dialog.control(c::kRow2Information).text = row->information;
      }
      stop = app::decide(window.program, window.dialog, button);
      window.note(stop);
      outcome = engine.run->decide(decision_of(button), row, engine.options);
      engine.note(outcome);
    }
    ASSERT_NE(stop, app::RunStop::review) << "seed " << seed;
    ASSERT_EQ(outcome.stop, RunStop::finished) << "seed " << seed;
    ASSERT_EQ(window.pairs, engine.pairs) << "seed " << seed;
    const app::RunCounts& a = window.program.run.counts;
    const RunCounts& b = engine.run->counts();
    EXPECT_EQ(std::tie(a.matches, a.settled, a.reviewed, a.appended, a.deleted, a.kept, a.excluded),
              std::tie(b.matches, b.settled, b.reviewed, b.appended, b.deleted, b.kept, b.excluded))
        << "seed " << seed;
    EXPECT_EQ(read_file(window.program.output.path), read_file(engine.dir.file("out")))
        << "seed " << seed;
    EXPECT_EQ(report_of(window.dir.file("out_matches.csv")), engine.sink.report_text())
        << "seed " << seed;
    EXPECT_EQ(excluded_of(window.dir.file("excluded.asc")), engine.sink.excluded_text())
        << "seed " << seed;
  }
  EXPECT_GT(stops, 1000);
  EXPECT_GT(backs, 200);
}

}  // namespace
}  // namespace pinwright::engine
