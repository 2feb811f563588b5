#include "names/name.hpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::names {
namespace {

using testing::LabelName;

struct NormalCase {
  std::string label;
  std::string name;
  std::string expected;
};

void PrintTo(const NormalCase& c, std::ostream* out) {
  testing::print_row(out, c.name, c.expected);
}

class normalise_test : public ::testing::TestWithParam<NormalCase> {};

TEST_P(normalise_test, gives_the_normal_form) {
  EXPECT_EQ(normalise(GetParam().name).text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    names, normalise_test,
    ::testing::Values(
        NormalCase{"case", "AMSTERDAM Centraal", "amsterdam centraal"},
        NormalCase{"blanks at both ends and doubled", "  Bad   Homburg  ", "bad homburg"},
        NormalCase{"punctuation runs", "Stratford-upon-Avon (Warks.)", "stratford upon avon warks"},
        NormalCase{"symbols", "Fish & Chips + Co", "fish chips co"},
        NormalCase{"apostrophe s joins", "St John's Wood", "saint johns wood"},
        NormalCase{"elided article", "L'Aquila", "aquila"},
        NormalCase{"apostrophe before s at the start", "'s-Hertogenbosch", "s hertogenbosch"},
        NormalCase{"the", "The Hague", "hague"}, NormalCase{"le", "Le Havre", "havre"},
        NormalCase{"de", "De Bilt", "bilt"}, NormalCase{"het", "Het Zand", "zand"},
        NormalCase{"el", "El Paso", "paso"}, NormalCase{"article alone stays", "The", "the"},
        NormalCase{"article inside stays", "Rhyl The Parade", "rhyl the parade"},
        NormalCase{"st first is saint", "St. Ives", "saint ives"},
        NormalCase{"st last is street", "Main St", "main street"},
        NormalCase{"sankt", "Sankt Gallen", "saint gallen"},
        NormalCase{"mount fort santa", "Mt. Kenya Ft. Sta. Cruz", "mount kenya fort santa cruz"},
        NormalCase{"str", "Berliner Str.", "berliner strasse"},
        NormalCase{"str inside a word stays", "Hauptstr. 5", "hauptstr 5"},
        NormalCase{"sharp s", "Große Straße", "grosse strasse"},
        NormalCase{"accents", "São Paulo, Île-de-France", "sao paulo ile de france"},
        NormalCase{"stroke letters", "Łódź Ærøskøbing Đakovo", "lodz aeroskobing dakovo"},
        NormalCase{"dotted capital i", "İstanbul", "istanbul"},
        NormalCase{"ligature", "Cliﬀ Road", "cliff road"},
        NormalCase{"full width", "ＴＯＫＹＯ　Ｔｏｗｅｒ", "tokyo tower"},
        NormalCase{"han station split", "東京駅", "東京 駅"},
        NormalCase{"hangul station split", "서울역", "서울 역"},
        NormalCase{"cyrillic", "МОСКВА Ё", "москва е"},
        NormalCase{"greek accents and final sigma", "Άγιος Νικόλαος", "αγιοσ νικολαοσ"},
        NormalCase{"arabic vowel signs and tatweel", "مُحَمَّد مـدينة", "محمد مدينة"},
        NormalCase{"hebrew points", "יְרוּשָׁלַיִם", "ירושלים"},
        NormalCase{"devanagari keeps its vowel signs", "दिल्ली", "दिल्ली"},
        NormalCase{"thai keeps its vowel signs", "ภูเก็ต", "ภูเก็ต"},
        NormalCase{"okina separates", "Kāneʻohe", "kane ohe"},
        NormalCase{"windows 1252", "Caf\xE9 \x8Aibenik", "cafe sibenik"},
        NormalCase{"empty", "", ""}, NormalCase{"only punctuation", " -- ... !! ", ""}),
    LabelName{});

struct PairCase {
  std::string label;
  std::string a, b;
  bool same, similar;
};

void PrintTo(const PairCase& c, std::ostream* out) {
  testing::print_row(out, c.a, c.b, c.same, c.similar);
}

class pair_test : public ::testing::TestWithParam<PairCase> {};

TEST_P(pair_test, same_and_similar_judge_the_pair) {
  const PairCase& c = GetParam();
  EXPECT_EQ(same(c.a, c.b), c.same);
  EXPECT_EQ(similar(c.a, c.b), c.similar) << similarity(c.a, c.b);
  // The run compares an entry with a later one or an earlier one alike.
  EXPECT_EQ(similarity(c.a, c.b), similarity(c.b, c.a));
}

INSTANTIATE_TEST_SUITE_P(
    duplicates, pair_test,
    ::testing::Values(
        PairCase{"case", "Saint-Étienne", "SAINT-ÉTIENNE", true, true},
        PairCase{"accents", "Zürich Hauptbahnhof", "Zurich Hauptbahnhof", true, true},
        PairCase{"abbreviation", "Saint-Louis", "St. Louis", true, true},
        PairCase{"german abbreviation", "Sankt Pölten", "St. Pölten", true, true},
        PairCase{"mount", "Mount Vernon", "Mt Vernon", true, true},
        PairCase{"article", "The Hague", "Hague", true, true},
        PairCase{"transposed letter", "Amsterdam", "Amsetrdam", false, true},
        PairCase{"country code", "Frensdorf", "Frensdorf, DE", false, true},
        PairCase{"type word", "Oaklands Park", "Oaklands Park Station", false, true},
        PairCase{"run together", "Saint-Denis", "SaintDenis", false, true},
        PairCase{"cyrillic case", "Нижний Новгород", "НИЖНИЙ НОВГОРОД", true, true},
        PairCase{"cyrillic transposed", "Екатеринбург", "Екатерингбур", false, true},
        PairCase{"greek accents", "Θεσσαλονίκη", "ΘΕΣΣΑΛΟΝΙΚΗ", true, true},
        PairCase{"arabic station", "الإسكندرية", "الإسكندرية محطة", false, true},
        PairCase{"han full width hyphen", "圣胡利娅-德洛里亚", "圣胡利娅－德洛里亚", true, true},
        PairCase{"han station", "洛阳", "洛阳站", false, true},
        PairCase{"katakana middle dot", "サン・ジュリア", "サンジュリア", false, true},
        PairCase{"hangul station", "부산", "부산역", false, true},
        PairCase{"hebrew points", "ירושלים", "יְרוּשָׁלַיִם", true, true},
        PairCase{"windows 1252 against utf 8", "M\xFCnchen", "München", true, true},
        PairCase{"windows 1252 against ascii", "Bras\xEDlia", "Brasilia", true, true},
        PairCase{"two empty names", "", "", true, true},
        PairCase{"two names of punctuation", "--", "...", true, true}),
    LabelName{});

INSTANTIATE_TEST_SUITE_P(
    distinct, pair_test,
    ::testing::Values(
        PairCase{"saint denis saint didier", "Saint-Denis", "Saint-Didier", false, false},
        PairCase{"north south street", "North Street", "South Street", false, false},
        PairCase{"north bergen", "Bergen", "North Bergen", false, false},
        PairCase{"numbered", "Pier", "Pier 7", false, false},
        PairCase{"fuel station restaurant", "Shell", "McDonald's", false, false},
        PairCase{"station library", "Melle Station", "Melle Library", false, false},
        PairCase{"place name added", "Hot Springs", "Hot Springs Village", false, false},
        PairCase{"shared last word", "Costa Mesa", "La Mesa", false, false},
        PairCase{"changed first letter", "Bergen", "Vergen", false, false},
        PairCase{"cyrillic", "Нижний Новгород", "Великий Новгород", false, false},
        PairCase{"greek", "Άνω Λιόσια", "Κάτω Λιόσια", false, false},
        PairCase{"han", "北京", "南京", false, false},
        PairCase{"arabic", "القاهرة", "الجيزة", false, false},
        PairCase{"empty and a name", "", "Paris", false, false},
        PairCase{"punctuation and a name", "!!!", "Paris", false, false}),
    LabelName{});

TEST(similarity_test, scores_lie_between_zero_and_one) {
  EXPECT_EQ(similarity("Paris", "Paris"), 1.0);
  EXPECT_EQ(similarity("Paris", "Oslo"), 0.0);
  EXPECT_EQ(similarity("North Street", "South Street"), 0.5);
  EXPECT_EQ(similarity("Frensdorf", "Frensdorf Station"), 1 - kExtraWordsPenalty);
}

TEST(similarity_test, threshold_decides) {
  const double score = similarity("Amsterdam", "Amsetrdam");
  EXPECT_TRUE(similar("Amsterdam", "Amsetrdam", score));
  EXPECT_FALSE(similar("Amsterdam", "Amsetrdam", score + 1e-9));
}

TEST(similarity_test, a_normal_form_compares_as_its_name) {
  const NormalisedName a = normalise("St. Louis"), b = normalise("SAINT LOUIS");
  EXPECT_TRUE(same(a, b));
  EXPECT_EQ(similarity(a, b), similarity("St. Louis", "SAINT LOUIS"));
  EXPECT_EQ(a.words().size(), 2u);
  EXPECT_EQ(a.characters(), U"saint louis");
}

// A form is made in working buffers that still hold the name before it.
TEST(normalise_again_test, a_form_keeps_nothing_of_the_name_before) {
  const std::string first = normalise("The St. John's Road 東京駅").text();
  EXPECT_EQ(normalise("Oslo").text(), "oslo");
  EXPECT_EQ(normalise("").text(), "");
  EXPECT_EQ(normalise("The St. John's Road 東京駅").text(), first);
  EXPECT_EQ(first, "saint johns road 東京 駅");
}

// Names from OGR's formats come at full length; only the first
// kComparedCharacters count, and a long name costs no more than that.
TEST(similarity_test, very_long_names_compare_on_their_beginning) {
  std::string words;
  for (int i = 0; i < 20'000; ++i) words += "Lange Strasse ";
  const std::string one_word(100'000, 'x');
  EXPECT_EQ(normalise(words).words().size(), 40'000u);
  EXPECT_FALSE(same(words, words + "Ende"));
  EXPECT_EQ(similarity(words, words + "Ende"), 1.0);
  EXPECT_EQ(similarity(one_word, one_word + "y"), 1.0);
  EXPECT_FALSE(similar(one_word, words));
}

TEST(similarity_test, answers_alike_from_several_threads) {
  const std::vector<std::pair<std::string, std::string>> pairs = {{"Saint-Étienne", "ST ETIENNE"},
                                                                  {"Москва", "МОСКВА город"},
                                                                  {"東京駅", "東京"},
                                                                  {"M\xFCnchen", "Munich"},
                                                                  {"North Street", "South Street"}};
  // The first use of the normalisers happens in the threads, all at once.
  std::vector<std::vector<double>> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([&pairs, &result] {
      for (int round = 0; round < 200; ++round) {
        for (const auto& [a, b] : pairs) result.push_back(similarity(a, b));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<double> expected;
  for (const auto& [a, b] : pairs) expected.push_back(similarity(a, b));
  for (const std::vector<double>& result : results) {
    ASSERT_EQ(result.size(), 200 * pairs.size());
    for (std::size_t i = 0; i < result.size(); ++i)
      EXPECT_EQ(result[i], expected[i % pairs.size()]);
  }
}

}  // namespace
}  // namespace pinwright::names
