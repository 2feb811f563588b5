// The name rule on real names: normal forms of the 49,990 names of
// master_50k.asc (most plain ASCII, 9,933 not), and the similarity of the
// 5,920 pairs of name_pairs.asc, a few metres apart as a run meets them.
// A run normalises each name once and compares the forms of the pairs
// within its radius.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "names/name.hpp"
#include "poi/compact_table.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"

namespace {

using namespace pinwright;

std::vector<std::string> names_of(const char* file) {
  poi::CompactTable table;
  poi::read_text_poi_file(testing::data_path(file), table, poi::CompactTable::kMaxEntries);
  std::vector<std::string> names;
  for (std::int32_t i = 1; i <= table.size(); ++i) {
    if (!table.is_comment(i)) names.emplace_back(table.name(i));
  }
  return names;
}

void by_ascii(benchmark::State& state, bool ascii) {
  std::vector<std::string> names;
  for (std::string& name : names_of("master_50k.asc")) {
    const bool is_ascii =
        std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; });
    if (is_ascii == ascii) names.push_back(std::move(name));
  }
  for (auto _ : state) {
    for (const std::string& name : names) benchmark::DoNotOptimize(names::normalise(name));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}

void normalise_ascii_names(benchmark::State& state) {
  by_ascii(state, true);
}
BENCHMARK(normalise_ascii_names)->Unit(benchmark::kMillisecond);

void normalise_other_names(benchmark::State& state) {
  by_ascii(state, false);
}
BENCHMARK(normalise_other_names)->Unit(benchmark::kMillisecond);

std::vector<std::pair<names::NormalisedName, names::NormalisedName>> normalised_pairs() {
  const std::vector<std::string> names = names_of("name_pairs.asc");
  std::vector<std::pair<names::NormalisedName, names::NormalisedName>> pairs;
  for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
    pairs.emplace_back(names::normalise(names[i]), names::normalise(names[i + 1]));
  }
  return pairs;
}

void similarity_of_normal_forms(benchmark::State& state) {
  const auto pairs = normalised_pairs();
  for (auto _ : state) {
    for (const auto& [a, b] : pairs) benchmark::DoNotOptimize(names::similarity(a, b));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pairs.size()));
}
BENCHMARK(similarity_of_normal_forms)->Unit(benchmark::kMillisecond);

// Both names normalised for every comparison: what caching the forms saves.
void similar_from_names(benchmark::State& state) {
  const std::vector<std::string> names = names_of("name_pairs.asc");
  for (auto _ : state) {
    for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
      benchmark::DoNotOptimize(names::similar(names[i], names[i + 1]));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size() / 2));
}
BENCHMARK(similar_from_names)->Unit(benchmark::kMillisecond);

}  // namespace
