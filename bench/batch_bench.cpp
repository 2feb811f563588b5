// pinwright-batch at sizes far beyond the window's tables, on world-wide
// clustered entries generated at bench time into the temporary folder (and
// kept there for the next run). Each case times a whole command, from the
// files read to the Output written, unless it says otherwise.
//
// The 10,000,000-entry dedupe runs only with PINWRIGHT_BENCH_10M=1 in the
// environment; run it alone (--benchmark_filter=10M) for its peak memory.
// Where gpsbabel is installed its position filter is timed on the same
// 20,000 entries as a dedupe.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "batch/runs.hpp"
#include "batch/tables.hpp"
#include "engine/grid.hpp"
#include "poi/format.hpp"
#include "poi/output_file.hpp"
#include "poi/text_file.hpp"

namespace {

using namespace pinwright;
namespace fs = std::filesystem;

constexpr float kRadius = 20.0f;
constexpr int kEntriesPerTown = 50;

fs::path bench_folder() {
  const fs::path folder = fs::temp_directory_path() / "pinwright-bench-batch";
  fs::create_directories(folder);
  return folder;
}

// `count` entries in towns spread over the inhabited latitudes (the towns
// depend on `count` only, so that two files of one size share them), each
// entry within a few hundred metres of its town's centre and one in seven
// within a few metres of the entry before it: the same place listed twice.
std::string clustered_file(std::int64_t count, std::uint32_t seed) {
  const fs::path path =
      bench_folder() / ("clustered-" + std::to_string(count) + "-" + std::to_string(seed) + ".asc");
  if (fs::exists(path)) return path.string();
  std::mt19937_64 towns_random(static_cast<std::uint64_t>(count));
  std::uniform_real_distribution<double> latitude(-55.0, 70.0);
  std::uniform_real_distribution<double> longitude(-180.0, 180.0);
  std::vector<std::pair<double, double>> towns(
      static_cast<std::size_t>(std::max<std::int64_t>(1, count / kEntriesPerTown)));
  for (auto& town : towns) town = {latitude(towns_random), longitude(towns_random)};

  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::size_t> pick_town(0, towns.size() - 1);
  std::normal_distribution<double> spread(0.0, 0.002);
  std::uniform_real_distribution<double> nearby(-0.00004, 0.00004);
  std::uniform_int_distribution<int> one_in(0, 6);
  const fs::path partial = path.string() + ".part";
  poi::OutputFile file(partial.string(), poi::OpenMode::truncate);
  std::string buffer = "; generated: world-wide clustered entries\n";
  double lat = 0.0;
  double lon = 0.0;
  for (std::int64_t k = 0; k < count; ++k) {
    if (k > 0 && one_in(random) == 0) {
      lat += nearby(random);
      lon += nearby(random);
    } else {
      const auto& town = towns[pick_town(random)];
      lat = town.first + spread(random);
      lon = town.second + spread(random);
    }
    poi::append_fixed(buffer, lon, 10, 5);
    buffer += ',';
    poi::append_fixed(buffer, lat, 10, 5);
    buffer += ", \"Place " + std::to_string(k) + "\"";
    if (k % 3 == 0) buffer += ", open 24h";
    buffer += '\n';
    if (buffer.size() >= (1 << 20)) {
      file.write(buffer);
      buffer.clear();
    }
  }
  file.write(buffer);
  if (!file.close()) return {};
  fs::rename(partial, path);
  return path.string();
}

double peak_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void run_or_fail(benchmark::State& state, const batch::Command& command) {
  batch::Progress progress(false);
  const batch::RunResult result = batch::run_command(command, progress);
  if (result.status != batch::ExitStatus::success) state.SkipWithError(result.message.c_str());
}

batch::Command dedupe_command(const std::string& input, unsigned threads) {
  batch::Command command;
  command.subcommand = batch::Subcommand::dedupe;
  command.input = input;
  command.output = (bench_folder() / "deduped.asc").string();
  command.radius = kRadius;
  command.exclusions.kind = batch::ExclusionsChoice::Kind::none;
  command.threads = threads;
  command.quiet = true;
  return command;
}

// Read to written, on every processor (state.range(1) == 0) or as many threads as given.
void batch_dedupe(benchmark::State& state) {
  const std::string input = clustered_file(state.range(0), 1);
  if (input.empty()) state.SkipWithError("cannot write the generated file");
  const batch::Command command = dedupe_command(input, static_cast<unsigned>(state.range(1)));
  for (auto _ : state) run_or_fail(state, command);
  state.counters["peak_rss_MB"] = peak_rss_mb();
  state.counters["entries"] = static_cast<double>(state.range(0));
}
BENCHMARK(batch_dedupe)
    ->ArgNames({"entries", "threads"})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Args({1'000'000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// Read to written on every processor, the names read by the rule state.range(1) (0 any,
// 1 same, 2 similar): the same file as batch_dedupe, whose near pairs have different names,
// so every pair within the radius is compared by its names.
void batch_dedupe_names(benchmark::State& state) {
  const std::string input = clustered_file(state.range(0), 1);
  if (input.empty()) state.SkipWithError("cannot write the generated file");
  batch::Command command = dedupe_command(input, 0);
  command.names.rule = static_cast<engine::NameRule>(state.range(1));
  for (auto _ : state) run_or_fail(state, command);
  state.counters["entries"] = static_cast<double>(state.range(0));
}
BENCHMARK(batch_dedupe_names)
    ->ArgNames({"entries", "names"})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The matching alone (the part that runs on several threads), the table read beforehand.
void batch_matching(benchmark::State& state) {
  const std::string input = clustered_file(state.range(0), 1);
  poi::CompactTable table;
  std::atomic<std::int64_t> read{0};
  if (batch::read_input(table, input, read).failure)
    state.SkipWithError("cannot read the generated file");
  const auto threads = static_cast<unsigned>(state.range(1));
  std::int64_t matched = 0;
  for (auto _ : state) {
    const auto matches = engine::first_later_matches(table, kRadius, threads);
    matched = std::count_if(matches.begin(), matches.end(),
                            [](const engine::Match& match) { return match.index != 0; });
  }
  state.counters["matched"] = static_cast<double>(matched);
}
BENCHMARK(batch_matching)
    ->ArgNames({"entries", "threads"})
    ->Args({1'000'000, 1})
    ->Args({1'000'000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The text reader alone on the 1,000,000-entry file, on as many threads as given.
void read_text_1m(benchmark::State& state) {
  const std::string input = clustered_file(1'000'000, 1);
  const poi::TextReadOptions options{.threads = static_cast<unsigned>(state.range(0))};
  for (auto _ : state) {
    poi::CompactTable table;
    if (poi::read_text_poi_file(input, table, poi::CompactTable::kMaxEntries, options).failure)
      state.SkipWithError("cannot read the generated file");
    benchmark::DoNotOptimize(table.size());
  }
}
BENCHMARK(read_text_1m)
    ->ArgNames({"threads"})
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The text writer alone: the same 1,000,000 entries, one line each.
void write_text_1m(benchmark::State& state) {
  poi::CompactTable table;
  if (poi::read_text_poi_file(clustered_file(1'000'000, 1), table, poi::CompactTable::kMaxEntries)
          .failure)
    state.SkipWithError("cannot read the generated file");
  const std::vector<std::int32_t> entries = poi::entry_range(1, table.size());
  const std::string output = (bench_folder() / "written.asc").string();
  for (auto _ : state) {
    poi::OutputFile file(output, poi::OpenMode::truncate);
    poi::write_text_records(file, table, entries);
    if (!file.close()) state.SkipWithError("cannot write");
  }
}
BENCHMARK(write_text_1m)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Update entries from the same towns as the Master's, into the Master.
void batch_update(benchmark::State& state) {
  const std::string master = clustered_file(state.range(0), 1);
  const std::string update = clustered_file(state.range(0), 2);
  batch::Command command;
  command.subcommand = batch::Subcommand::update;
  command.input = master;
  command.updates = {update};
  command.output = (bench_folder() / "merged.asc").string();
  command.radius = kRadius;
  command.quiet = true;
  for (auto _ : state) run_or_fail(state, command);
  state.counters["peak_rss_MB"] = peak_rss_mb();
}
BENCHMARK(batch_update)
    ->ArgNames({"entries"})
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void batch_dedupe_10M(benchmark::State& state) {
  const std::string input = clustered_file(10'000'000, 1);
  if (input.empty()) state.SkipWithError("cannot write the generated file");
  const batch::Command command = dedupe_command(input, 0);
  for (auto _ : state) run_or_fail(state, command);
  state.counters["peak_rss_MB"] = peak_rss_mb();
}

// The same 20,000 entries through gpsbabel's position filter and through a dedupe.
void gpsbabel_position_20k(benchmark::State& state) {
  const std::string input = clustered_file(20'000, 3);
  const std::string output = (bench_folder() / "gpsbabel.csv").string();
  const std::string command = "gpsbabel -i unicsv -f " + (bench_folder() / "in.csv").string() +
                              " -x position,distance=20m -o unicsv -F " + output;
  {
    // Its unicsv form of the entries: a header, then lon, lat, name.
    std::FILE* in = std::fopen(input.c_str(), "r");
    poi::OutputFile csv((bench_folder() / "in.csv").string(), poi::OpenMode::truncate);
    csv.write_line("lon,lat,name");
    char line[512];
    while (in && std::fgets(line, sizeof line, in)) {
      std::string text(line);
      if (text.empty() || text[0] == ';') continue;
      const auto name_start = text.find('"');
      const auto name_end = text.find('"', name_start + 1);
      csv.write_line(text.substr(0, name_start - 2) + "," +
                     text.substr(name_start + 1, name_end - name_start - 1));
    }
    if (in) std::fclose(in);
    csv.close();
  }
  double babel_seconds = 0.0;
  double ours_seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("gpsbabel failed");
    const auto middle = std::chrono::steady_clock::now();
    run_or_fail(state, dedupe_command(input, 0));
    const auto end = std::chrono::steady_clock::now();
    babel_seconds += std::chrono::duration<double>(middle - start).count();
    ours_seconds += std::chrono::duration<double>(end - middle).count();
  }
  state.counters["gpsbabel_ms"] = 1000.0 * babel_seconds / static_cast<double>(state.iterations());
  state.counters["dedupe_ms"] = 1000.0 * ours_seconds / static_cast<double>(state.iterations());
  state.counters["ratio"] = ours_seconds > 0.0 ? babel_seconds / ours_seconds : 0.0;
}

// Cases that run only where asked for or where their tool is installed; the
// others say why they are left out.
const bool kOptionalCases = [] {
  const char* ten_million = std::getenv("PINWRIGHT_BENCH_10M");
  if (ten_million && std::string(ten_million) == "1") {
    benchmark::RegisterBenchmark("batch_dedupe_10M", batch_dedupe_10M)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
  } else {
    std::fputs("batch_dedupe_10M: left out; PINWRIGHT_BENCH_10M=1 runs it\n", stderr);
  }
  if (std::system("command -v gpsbabel > /dev/null 2>&1") == 0) {
    benchmark::RegisterBenchmark("gpsbabel_position_20k", gpsbabel_position_20k)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
  } else {
    std::fputs("gpsbabel_position_20k: left out; gpsbabel is not installed\n", stderr);
  }
  return true;
}();

}  // namespace
