// Whole runs on the real-world files, through the spatial index and by the
// plain scan, with the radius check box (1053) checked: every match is settled
// without a review, so a run goes from Start to the Output file in one call.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/program.hpp"
#include "app/run_sink.hpp"
#include "engine/run.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"

namespace {

using namespace pinwright;

using testing::data_path;

struct Loaded {
  explicit Loaded(const std::string& path, std::int32_t capacity) {
    const poi::ReadResult result = poi::read_text_poi_file(path, table, capacity);
    count = result.count;
    if (result.failure) error = "cannot read: " + path;
  }
  poi::CompactTable table;
  std::int32_t count = 0;
  std::string error;  // empty when the file loaded
};

const Loaded& master_50k() {
  static const Loaded loaded(data_path("master_50k.asc"), app::kMasterCapacity);
  return loaded;
}
const Loaded& dupes_20k() {
  static const Loaded loaded(data_path("dupes_20k.asc"), app::kMasterCapacity);
  return loaded;
}
const Loaded& master_38k() {
  static const Loaded loaded = [] {
    const std::string path =
        (std::filesystem::temp_directory_path() / "pinwright-bench-38k.asc").string();
    const std::string source = data_path("master_50k.asc");
    std::ifstream in(source);
    if (!in) return Loaded(source, app::kMasterCapacity);  // its error
    std::ofstream out(path);
    std::string line;
    for (int n = 0; n < 38'000 && std::getline(in, line); ++n) out << line << '\n';
    out.close();
    return Loaded(path, app::kMasterCapacity);
  }();
  return loaded;
}
const Loaded& update_30k() {
  static const Loaded loaded(data_path("update_30k.asc"), app::kUpdateCapacity);
  return loaded;
}

// One run from Start to the Output file; the tables are copied in outside the timing.
void run(benchmark::State& state, const Loaded& master, const Loaded* update, bool plain) {
  const std::string output =
      (std::filesystem::temp_directory_path() / "pinwright-bench-run.asc").string();
  std::size_t index_bytes = 0;
  for (const Loaded* input : {&master, update}) {
    if (input && !input->error.empty()) state.SkipWithError(input->error.c_str());
  }
  for (auto _ : state) {
    state.PauseTiming();
    app::Program program;
    program.fixed_today = std::chrono::year{2026} / 12 / 7;
    program.master_table = master.table;
    program.master.count = master.count;
    program.master.loaded = true;
    if (update) {
      program.update_table = update->table;
      program.update.count = update->count;
      program.update.loaded = true;
    }
    program.output.path = output;
    // The Output of the last iteration is there; the run replaces it.
    program.output_mark = poi::FileMark::of(output);
    program.output.loaded = true;
    engine::RunOptions options;
    options.radius = static_cast<float>(state.range(0));
    options.settle_every_match = true;
    options.append_all = true;
    engine::RunSetup setup;
    setup.result_limit = app::kMergedCapacity;
    setup.threads = std::max(1u, std::thread::hardware_concurrency());
    setup.plain_scan = plain;
    app::WindowSink sink(program);
    app::StopForReview review;
    state.ResumeTiming();

    // The run works on its own copy of the Master entries, as the window's does.
    engine::Run run(program.master_table, update ? &program.update_table : nullptr, {}, setup,
                    review, sink);
    if (run.start(options).stop != engine::RunStop::finished)
      state.SkipWithError("run did not finish");

    state.PauseTiming();
    index_bytes = run.grid() ? run.grid()->memory_bytes() : 0;
    state.ResumeTiming();
  }
  state.counters["index_MB"] = static_cast<double>(index_bytes) / (1024.0 * 1024.0);
  std::filesystem::remove(output);
}

void duplicate_master_50k(benchmark::State& state, bool plain) {
  run(state, master_50k(), nullptr, plain);
}
void duplicate_dupes_20k(benchmark::State& state, bool plain) {
  run(state, dupes_20k(), nullptr, plain);
}
void update_38k_30k(benchmark::State& state, bool plain) {
  run(state, master_38k(), &update_30k(), plain);
}

BENCHMARK_CAPTURE(duplicate_master_50k, indexed, false)
    ->Arg(20)
    ->Arg(1500)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(duplicate_master_50k, plain, true)
    ->Arg(20)
    ->Arg(1500)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(duplicate_dupes_20k, indexed, false)
    ->Arg(20)
    ->Arg(1500)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(duplicate_dupes_20k, plain, true)
    ->Arg(20)
    ->Arg(1500)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(update_38k_30k, indexed, false)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(update_38k_30k, plain, true)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
