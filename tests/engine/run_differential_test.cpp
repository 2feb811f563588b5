// Whole runs, once through the spatial index and once by the plain scan, on
// thousands of generated tables with random options and decisions: every
// review stop, every dialog call, the tables and the Output bytes must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/run_view.hpp"
#include "engine/distance.hpp"
#include "engine/run.hpp"
#include "poi/text_file.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::engine {
namespace {

namespace c = ui::control;
using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;

enum class Layout { clustered, uniform, polar, date_line };

const char* layout_name(Layout layout) {
  switch (layout) {
    case Layout::clustered:
      return "clustered";
    case Layout::uniform:
      return "uniform";
    case Layout::polar:
      return "polar";
    case Layout::date_line:
      return "date_line";
  }
  return "unknown";
}

void PrintTo(Layout layout, std::ostream* out) {
  *out << layout_name(layout);
}

class Generator {
 public:
  explicit Generator(std::uint32_t seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  float uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random_);
  }

  poi::PoiRecord place(Layout layout, int serial) {
    if (pick(0, 14) == 0) return poi::make_comment("; note " + std::to_string(serial));
    poi::PoiRecord record;
    switch (layout) {
      case Layout::clustered: {
        const int town = pick(0, 3);
        record.latitude = 47.0f + static_cast<float>(town) * 0.5f + uniform(-0.0003f, 0.0003f);
        record.longitude = 8.0f + static_cast<float>(town) * 0.5f + uniform(-0.0003f, 0.0003f);
        break;
      }
      case Layout::uniform:
        record.latitude = uniform(40.0f, 41.0f);
        record.longitude = uniform(-74.0f, -73.0f);
        break;
      case Layout::polar:
        record.latitude = pick(0, 5) == 0 ? 90.0f : uniform(89.998f, 90.0f);
        record.longitude = uniform(-180.0f, 180.0f);
        break;
      case Layout::date_line:
        record.latitude = uniform(-0.001f, 0.001f);
        record.longitude = pick(0, 1) ? uniform(179.9995f, 180.0f) : uniform(-180.0f, -179.9995f);
        break;
    }
    record.name.assign("P" + std::to_string(serial));
    if (pick(0, 3) == 0) record.information.assign(", info " + std::to_string(serial));
    return record;
  }

 private:
  std::mt19937 random_;
};

// One program life with its own folder, dialog and tables.
struct Side {
  explicit Side(bool plain) { program.plain_scan = plain; }
  TempDir dir;
  RecordingDialog dialog;
  app::Program program;
};

struct Scenario {
  Layout layout;
  bool update;
  bool ov2_output;
  std::vector<poi::PoiRecord> master;
  std::vector<poi::PoiRecord> update_entries;
  std::string radius;
  bool under_radius;
  bool under_one;
  bool append;
};

Scenario make_scenario(Generator& gen, Layout layout) {
  Scenario s{layout, gen.pick(0, 1) == 1, gen.pick(0, 2) == 0, {}, {}, "", false, false, true};
  const int master_count = gen.pick(1, 60);
  int serial = 0;
  for (int k = 0; k < master_count; ++k) {
    s.master.push_back(gen.place(layout, ++serial));
    // exact duplicates and copies of earlier entries
    if (k > 0 && gen.pick(0, 6) == 0)
      s.master.back() = s.master[static_cast<std::size_t>(gen.pick(0, k - 1))];
  }
  if (s.update) {
    const int update_count = gen.pick(1, 40);
    for (int k = 0; k < update_count; ++k) {
      s.update_entries.push_back(gen.place(layout, ++serial));
      if (gen.pick(0, 4) == 0)
        s.update_entries.back() = s.master[static_cast<std::size_t>(gen.pick(0, master_count - 1))];
    }
  }
  // A radius exactly at the distance of a pair makes strict comparisons count.
  const poi::PoiRecord& a = s.master[static_cast<std::size_t>(gen.pick(0, master_count - 1))];
  const poi::PoiRecord& b = s.master[static_cast<std::size_t>(gen.pick(0, master_count - 1))];
  const float exact = distance(a.latitude, a.longitude, b.latitude, b.longitude);
  switch (gen.pick(0, 4)) {
    case 0:
      s.radius = std::to_string(exact);
      break;
    case 1:
      s.radius = "0";
      break;
    case 2:
      s.radius = std::to_string(gen.pick(1, 1500));
      break;
    default:
      s.radius = std::to_string(std::pow(10.0f, gen.uniform(-0.5f, 3.5f)));
      break;
  }
  s.under_radius = gen.pick(0, 5) == 0;
  s.under_one = !s.under_radius && gen.pick(0, 1) == 1;
  s.append = gen.pick(0, 3) != 0;
  return s;
}

void set_up(Side& side, const Scenario& s) {
  app::Program& p = side.program;
  p.fixed_today = std::chrono::year{2026} / 12 / 7;
  for (const auto& record : s.master) {
    p.master_table[++p.master.count] = record;
  }
  p.master.loaded = true;
  for (const auto& record : s.update_entries) p.update_table[++p.update.count] = record;
  p.update.loaded = s.update;
  p.output.kind = s.ov2_output ? poi::FileKind::ov2 : poi::FileKind::text;
  p.output.path = side.dir.file(s.ov2_output ? "out.ov2" : "out.asc");
  p.output.loaded = true;
  side.dialog.control(c::kRadiusCombo).text = s.radius;
  side.dialog.control(c::kUnderRadius).checked = s.under_radius;
  side.dialog.control(c::kUnderOneMetre).checked = s.under_one;
  side.dialog.control(c::kAppend).checked = s.append;
}

class run_differential_test : public ::testing::TestWithParam<Layout> {};

TEST_P(run_differential_test, indexed_and_plain_runs_agree) {
  int reviews = 0;
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    Generator gen(seed * 2654435761u + static_cast<std::uint32_t>(GetParam()));
    const Scenario scenario = make_scenario(gen, GetParam());
    Side plain(true);
    Side indexed(false);
    set_up(plain, scenario);
    set_up(indexed, scenario);

    app::RunStop stop_plain = app::start_run(plain.program, plain.dialog);
    app::RunStop stop_indexed = app::start_run(indexed.program, indexed.dialog);
    for (int step = 0; step < 200 && stop_plain == app::RunStop::review; ++step) {
      ASSERT_EQ(stop_indexed, app::RunStop::review) << "seed " << seed;
      ++reviews;
      // The same change on both sides: a new name, a new radius, the options.
      const int change = gen.pick(0, 9);
      const std::string new_radius = std::to_string(gen.pick(0, 3) * 7);
      for (Side* side : {&plain, &indexed}) {
        if (change == 0) side->dialog.control(c::kRow2Name).text = "Edited " + std::to_string(step);
        if (change == 1) side->dialog.control(c::kRadiusCombo).text = new_radius;
        if (change == 2) side->dialog.control(c::kUnderOneMetre).checked = true;
      }
      const int buttons_update[] = {c::kFirstDecision, c::kSecondDecision, c::kPosition, c::kText,
                                    c::kBoth};
      const int button = scenario.update
                             ? buttons_update[gen.pick(0, 4)]
                             : (gen.pick(0, 1) ? c::kFirstDecision : c::kSecondDecision);
      stop_plain = app::decide(plain.program, plain.dialog, button);
      stop_indexed = app::decide(indexed.program, indexed.dialog, button);
    }
    ASSERT_EQ(stop_plain, stop_indexed) << "seed " << seed;
    ASSERT_EQ(plain.dialog.calls, indexed.dialog.calls) << "seed " << seed;
    ASSERT_EQ(plain.program.run.result_count, indexed.program.run.result_count) << "seed " << seed;
    for (std::int32_t k = 1; k <= plain.program.run.result_count; ++k) {
      const poi::PoiTable& a =
          scenario.update ? plain.program.working_table : plain.program.merged_table;
      const poi::PoiTable& b =
          scenario.update ? indexed.program.working_table : indexed.program.merged_table;
      ASSERT_EQ(a[k], b[k]) << "seed " << seed << " entry " << k;
    }
    if (stop_plain == app::RunStop::finished) {
      ASSERT_EQ(read_file(plain.program.output.path), read_file(indexed.program.output.path))
          << "seed " << seed;
    }
  }
  EXPECT_GT(reviews, 100);  // the decisions were really exercised
}

INSTANTIATE_TEST_SUITE_P(layouts, run_differential_test,
                         ::testing::Values(Layout::clustered, Layout::uniform, Layout::polar,
                                           Layout::date_line),
                         [](const auto& info) { return std::string(layout_name(info.param)); });

}  // namespace
}  // namespace pinwright::engine
