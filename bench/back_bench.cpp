// Back in a long duplicate run: 6,000 pairs 5 m apart, each a review stop.
// Deciding through all of them fills the run's journal; Back then walks from
// the last stop to the first. The journal's size is reported per stop.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/program.hpp"
#include "engine/journal.hpp"
#include "engine/run.hpp"
#include "poi/text_file.hpp"

namespace {

using namespace pinwright;

constexpr std::int32_t kPairs = 6'000;

void set_up(app::Program& program, const std::string& output) {
  program.fixed_today = std::chrono::year{2026} / 12 / 7;
  for (std::int32_t k = 0; k < kPairs; ++k) {
    // Pairs on a grid 0.01 degrees apart, the second entry 5 m north of the first.
    const float latitude = 45.0f + static_cast<float>(k / 100) * 0.01f;
    const float longitude = 5.0f + static_cast<float>(k % 100) * 0.01f;
    for (const float offset : {0.0f, 0.000045f}) {
      poi::PoiRecord& record = program.master_table[++program.master.count];
      record.latitude = latitude + offset;
      record.longitude = longitude;
      record.name.assign("Entry " + std::to_string(program.master.count));
    }
  }
  program.master.loaded = true;
  program.output.path = output;
  // The Output of the last iteration is there; the run replaces it.
  program.output_mark = poi::FileMark::of(output);
  program.output.loaded = true;
}

void back_through_6000_stops(benchmark::State& state) {
  const std::string output =
      (std::filesystem::temp_directory_path() / "pinwright-bench-back.asc").string();
  engine::RunOptions options;
  options.radius = 20.0f;
  std::size_t journal_bytes = 0;
  std::int64_t backs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    app::Program program;
    set_up(program, output);
    engine::start_run(program, options);
    for (std::int32_t stop = 1; stop < kPairs; ++stop)
      engine::decide(program,
                     stop % 2 ? engine::Decision::skip_or_keep : engine::Decision::save_or_delete,
                     {"Edited", ""}, options);
    journal_bytes = 0;
    for (const engine::ReviewStop& stop : program.journal->stops)
      journal_bytes += sizeof(stop) + stop.changed.capacity() * sizeof(stop.changed.front());
    if (program.journal->stops.size() != static_cast<std::size_t>(kPairs))
      state.SkipWithError("the run did not stop at every pair");
    state.ResumeTiming();

    while (engine::back(program)) ++backs;
  }
  state.counters["backs_per_s"] =
      benchmark::Counter(static_cast<double>(backs), benchmark::Counter::kIsRate);
  state.counters["journal_KB"] = static_cast<double>(journal_bytes) / 1024.0;
  state.counters["bytes_per_stop"] = static_cast<double>(journal_bytes) / kPairs;
  std::filesystem::remove(output);
}

}  // namespace

BENCHMARK(back_through_6000_stops)->Unit(benchmark::kMillisecond);
