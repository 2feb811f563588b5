// Reading and writing the 50,000-entry files in tests/data/.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "poi/compact_table.hpp"
#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"

namespace {

using namespace pinwright::poi;

using pinwright::testing::data_path;

// Fails the benchmark naming the file; before the timing loop, the loop then does not run.
void skip(benchmark::State& state, const char* what, const std::string& path) {
  state.SkipWithError((std::string(what) + ": " + path).c_str());
}

std::string scratch(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void read_text_50k(benchmark::State& state) {
  const std::string path = data_path("master_50k.asc");
  for (auto _ : state) {
    CompactTable table;
    const ReadResult result = read_text_poi_file(path, table, 50'000);
    if (result.failure || result.count != 50'000) {
      skip(state, "unexpected read result", path);
      break;
    }
    benchmark::DoNotOptimize(table.longitude(result.count));
  }
  state.SetItemsProcessed(state.iterations() * 50'000);
}
BENCHMARK(read_text_50k)->Unit(benchmark::kMillisecond);

void read_ov2_50k(benchmark::State& state) {
  const std::string path = data_path("master_50k.ov2");
  for (auto _ : state) {
    CompactTable table;
    const ReadResult result = read_ov2_file(path, table, 50'000);
    if (result.failure || result.count != 49'990) {
      skip(state, "unexpected read result", path);
      break;
    }
    benchmark::DoNotOptimize(table.longitude(result.count));
  }
  state.SetItemsProcessed(state.iterations() * 49'990);
}
BENCHMARK(read_ov2_50k)->Unit(benchmark::kMillisecond);

void write_text_50k(benchmark::State& state) {
  CompactTable table;
  const std::string input = data_path("master_50k.asc");
  const ReadResult read = read_text_poi_file(input, table, 50'000);
  const std::vector<std::int32_t> entries = entry_range(1, read.count);
  if (read.failure) skip(state, "cannot read", input);
  const std::string path = scratch("pinwright-bench-out.asc");
  for (auto _ : state) {
    OutputFile file(path, OpenMode::truncate);
    write_text_header(file, std::chrono::year{2026} / 12 / 7);
    const LineCounts counts = write_text_records(file, table, entries);
    file.write_line(trailer_line(counts.poi_lines, counts.comment_lines));
    if (!file.close()) state.SkipWithError("write failed");
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * read.count);
}
BENCHMARK(write_text_50k)->Unit(benchmark::kMillisecond);

void write_ov2_50k(benchmark::State& state) {
  CompactTable table;
  const std::string input = data_path("master_50k.ov2");
  const ReadResult read = read_ov2_file(input, table, 50'000);
  const std::vector<std::int32_t> entries = entry_range(1, read.count);
  if (read.failure) skip(state, "cannot read", input);
  const std::string path = scratch("pinwright-bench-out.ov2");
  for (auto _ : state) {
    if (!write_ov2_file(path, table, entries)) state.SkipWithError("write failed");
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * read.count);
}
BENCHMARK(write_ov2_50k)->Unit(benchmark::kMillisecond);

}  // namespace
