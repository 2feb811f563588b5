// The labelled name pairs of tests/data/name_pairs.asc: duplicates (one
// place written two ways) and distinct neighbours, a few metres apart. The
// rules must merge the duplicates and keep the neighbours apart; the figures
// per kind of pair are printed for the README.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/distance.hpp"
#include "names/name.hpp"
#include "poi/compact_table.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"

namespace pinwright::names {
namespace {

struct LabelledPair {
  std::string name_a, name_b;
  bool duplicate;
  std::string variant;
};

// The pairs in file order: two consecutive POI lines each, their information
// ", pair N" agreeing with line N of the CSV.
std::vector<LabelledPair> read_pairs() {
  poi::CompactTable table;
  const poi::ReadResult read = poi::read_text_poi_file(testing::data_file("name_pairs.asc"), table,
                                                       poi::CompactTable::kMaxEntries);
  EXPECT_FALSE(read.failure);
  std::ifstream csv(testing::data_file("name_pairs.csv"));
  std::string row;
  std::getline(csv, row);
  EXPECT_EQ(row, "pair,label,variant");

  std::vector<LabelledPair> pairs;
  std::int32_t index = 1;
  while (std::getline(csv, row)) {
    const std::size_t first = row.find(',');
    const std::size_t second = row.find(',', first + 1);
    const std::string number = row.substr(0, first);
    while (index <= table.size() && table.is_comment(index)) ++index;
    if (index + 1 > table.size()) {
      ADD_FAILURE() << "the file ends before pair " << number;
      break;
    }
    // A few metres apart, so that a run at 20 m pairs them.
    EXPECT_LT(engine::distance(table.latitude(index), table.longitude(index),
                               table.latitude(index + 1), table.longitude(index + 1)),
              16.0f)
        << "pair " << number;
    const std::string information = ", pair " + number;
    EXPECT_EQ(table.information(index), information);
    EXPECT_EQ(table.information(index + 1), information);
    pairs.push_back({std::string(table.name(index)), std::string(table.name(index + 1)),
                     row.substr(first + 1, second - first - 1) == "duplicate",
                     row.substr(second + 1)});
    index += 2;
  }
  return pairs;
}

struct Tally {
  int pairs = 0, same = 0, similar = 0;
};

double percent(int part, int whole) {
  return whole == 0 ? 0.0 : 100.0 * part / whole;
}

TEST(labelled_pairs_test, similar_merges_duplicates_and_keeps_neighbours_apart) {
  const std::vector<LabelledPair> pairs = read_pairs();
  ASSERT_GT(pairs.size(), 5000u);

  std::map<std::pair<bool, std::string>, Tally> by_variant;
  Tally duplicates, distinct;
  std::string misjudged;
  for (const LabelledPair& pair : pairs) {
    const NormalisedName a = normalise(pair.name_a), b = normalise(pair.name_b);
    const bool is_same = same(a, b), is_similar = similar(a, b);
    if (is_similar != pair.duplicate) {
      misjudged += pair.variant + ": \"" + pair.name_a + "\" \"" + pair.name_b + "\" " +
                   std::to_string(similarity(a, b)) + "\n";
    }
    for (Tally* tally :
         {&by_variant[{pair.duplicate, pair.variant}], pair.duplicate ? &duplicates : &distinct}) {
      ++tally->pairs;
      tally->same += is_same;
      tally->similar += is_similar;
    }
  }

  std::printf("%-10s %-30s %6s %8s %8s\n", "label", "variant", "pairs", "same", "similar");
  for (const auto& [key, tally] : by_variant) {
    std::printf("%-10s %-30s %6d %7.1f%% %7.1f%%\n", key.first ? "duplicate" : "distinct",
                key.second.c_str(), tally.pairs, percent(tally.same, tally.pairs),
                percent(tally.similar, tally.pairs));
  }
  // Merged duplicates and kept neighbours, the rule's two ways to be right;
  // distance alone merges every pair: 100 % and 0 %.
  const double same_merged = percent(duplicates.same, duplicates.pairs);
  const double same_kept = percent(distinct.pairs - distinct.same, distinct.pairs);
  const double similar_merged = percent(duplicates.similar, duplicates.pairs);
  const double similar_kept = percent(distinct.pairs - distinct.similar, distinct.pairs);
  std::printf("%d duplicate pairs, %d distinct pairs\n", duplicates.pairs, distinct.pairs);
  std::printf("same:    %.2f %% (%d) of duplicates merged, %.2f %% (%d) of neighbours kept\n",
              same_merged, duplicates.same, same_kept, distinct.pairs - distinct.same);
  std::printf("similar: %.2f %% (%d) of duplicates merged, %.2f %% (%d) of neighbours kept\n",
              similar_merged, duplicates.similar, similar_kept, distinct.pairs - distinct.similar);

  EXPECT_GE(similar_merged, 97.0) << misjudged;
  EXPECT_GE(similar_kept, 99.0) << misjudged;
  // `same` never merges what `similar` keeps apart.
  EXPECT_GE(same_kept, similar_kept);
}

}  // namespace
}  // namespace pinwright::names
