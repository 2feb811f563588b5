#include <algorithm>
#include <array>
#include <bitset>
#include <string_view>
#include <vector>

#include "names/name.hpp"

namespace pinwright::names {

namespace {

// Words that name what kind of place an entry is, or where it lies: a name
// with such words added is still the same place ("Frensdorf", "Frensdorf
// Station"). Place names of their own ("Village", "Heights") are not here:
// "Hot Springs Village" is not "Hot Springs".
constexpr std::array<std::u32string_view, 66> kPlaceTypes = {
    U"station",
    U"railway",
    U"bahnhof",
    U"gare",
    U"estacion",
    U"stazione",
    U"airport",
    U"aeroport",
    U"flughafen",
    U"aeropuerto",
    U"hotel",
    U"church",
    U"kirche",
    U"eglise",
    U"iglesia",
    U"chiesa",
    U"museum",
    U"musee",
    U"museo",
    U"library",
    U"bibliotheque",
    U"biblioteca",
    U"bibliothek",
    U"market",
    U"markt",
    U"marche",
    U"mercado",
    U"mercato",
    U"hospital",
    U"hopital",
    U"krankenhaus",
    U"ospedale",
    U"school",
    U"schule",
    U"ecole",
    U"escuela",
    U"scuola",
    U"police",
    U"polizei",
    U"stadium",
    U"stadion",
    U"stade",
    U"estadio",
    U"post",
    U"office",
    U"town",
    U"hall",
    U"rathaus",
    U"mairie",
    U"ayuntamiento",
    U"municipio",
    U"centre",
    U"center",
    U"zentrum",
    U"centro",
    U"parking",
    U"bus",
    U"stop",
    U"\u0432\u043E\u043A\u0437\u0430\u043B",        // вокзал
    U"\u0441\u0442\u0430\u043D\u0446\u0438\u044F",  // станция
    U"\u03C3\u03C4\u03B1\u03B8\u03BC\u03BF\u03C3",  // σταθμος
    U"\u0645\u062D\u0637\u0629",                    // محطة
    U"\u05EA\u05D7\u05E0\u05D4",                    // תחנה
    U"\u7AD9",
    U"\u99C5",
    U"\uC5ED",  // 站 駅 역
};

// A word that may be added to a name without making it another place: a
// place type, or a country code ("FR", "(DE)"). A number is not one: "Pier 7"
// is not "Pier".
bool is_addition(std::u32string_view word) {
  if (std::any_of(word.begin(), word.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; }))
    return false;
  return word.size() <= 2 ||
         std::find(kPlaceTypes.begin(), kPlaceTypes.end(), word) != kPlaceTypes.end();
}

// Jaro-Winkler similarity of two words of at most kComparedCharacters code points.
double jaro_winkler(std::u32string_view a, std::u32string_view b) {
  if (a == b) return 1.0;
  if (a.empty() || b.empty()) return 0.0;
  // Characters match within half the longer word's length, less one.
  const std::size_t window = std::max<std::size_t>(std::max(a.size(), b.size()) / 2, 1) - 1;
  std::bitset<kComparedCharacters> used_a, used_b;
  std::size_t matches = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::size_t from = i > window ? i - window : 0;
    const std::size_t to = std::min(b.size(), i + window + 1);
    for (std::size_t j = from; j < to; ++j) {
      if (!used_b[j] && a[i] == b[j]) {
        used_a[i] = used_b[j] = true;
        ++matches;
        break;
      }
    }
  }
  if (matches == 0) return 0.0;
  std::size_t half_transpositions = 0;
  for (std::size_t i = 0, j = 0; i < a.size(); ++i) {
    if (!used_a[i]) continue;
    while (!used_b[j]) ++j;
    if (a[i] != b[j]) ++half_transpositions;
    ++j;
  }
  const double m = static_cast<double>(matches);
  const double jaro = (m / static_cast<double>(a.size()) + m / static_cast<double>(b.size()) +
                       (m - static_cast<double>(half_transpositions) / 2) / m) /
                      3;
  if (jaro <= 0.7) return jaro;
  std::size_t prefix = 0;
  while (prefix < 4 && prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
  return jaro + static_cast<double>(prefix) * 0.1 * (1 - jaro);
}

// The compared words of a name: those that begin within the first
// kComparedCharacters code points, the last one cut there.
void compared_words(const NormalisedName& name, std::vector<std::u32string_view>& words) {
  words.clear();
  const std::u32string_view characters = name.characters();
  for (std::size_t begin = 0; begin < characters.size() && begin < kComparedCharacters;) {
    const std::size_t end = std::min(characters.find(U' ', begin), characters.size());
    words.push_back(characters.substr(begin, std::min(end, kComparedCharacters) - begin));
    begin = end + 1;
  }
}

// The two names' characters are the same once their blanks are dropped.
bool same_joined(std::u32string_view a, std::u32string_view b) {
  std::size_t i = 0, j = 0;
  while (true) {
    while (i < a.size() && a[i] == U' ') ++i;
    while (j < b.size() && b[j] == U' ') ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (a[i++] != b[j++]) return false;
  }
}

// Up to this many word pairs are ordered in place.
constexpr std::size_t kFewPairs = 32;

struct WordPair {
  double score;
  std::size_t a, b;
};

// The similarity of two different, non-empty names.
double score_words(const NormalisedName& a, const NormalisedName& b) {
  // A run scores a pair for every two neighbours: the working lists are
  // kept per thread rather than allocated for each pair.
  thread_local std::vector<std::u32string_view> words_a, words_b;
  thread_local std::vector<WordPair> pairs;
  thread_local std::vector<bool> paired_a, paired_b;
  compared_words(a, words_a);
  compared_words(b, words_b);

  // Every pair of words alike enough to be one word written two ways, the
  // most alike paired first, each word in one pair at most.
  pairs.clear();
  for (std::size_t i = 0; i < words_a.size(); ++i) {
    for (std::size_t j = 0; j < words_b.size(); ++j) {
      const double score = jaro_winkler(words_a[i], words_b[j]);
      if (score >= kWordThreshold) pairs.push_back({score, i, j});
    }
  }
  const auto more_alike = [](const WordPair& x, const WordPair& y) { return x.score > y.score; };
  if (pairs.size() <= kFewPairs) {
    // The usual few pairs in place: the stable sort would ask for a buffer.
    for (std::size_t i = 1; i < pairs.size(); ++i) {
      for (std::size_t j = i; j > 0 && more_alike(pairs[j], pairs[j - 1]); --j)
        std::swap(pairs[j], pairs[j - 1]);
    }
  } else {
    std::stable_sort(pairs.begin(), pairs.end(), more_alike);
  }
  paired_a.assign(words_a.size(), false);
  paired_b.assign(words_b.size(), false);
  double paired = 0;  // the paired words, each counted by its score
  for (const WordPair& pair : pairs) {
    if (paired_a[pair.a] || paired_b[pair.b]) continue;
    paired_a[pair.a] = paired_b[pair.b] = true;
    paired += pair.score;
  }

  // Words count alike, short or long: "New" makes "New Philadelphia" another
  // place as much as "Costa" makes "Costa Mesa" one.
  const auto count_a = static_cast<double>(words_a.size());
  const auto count_b = static_cast<double>(words_b.size());
  double score = 2 * paired / (count_a + count_b);

  // One name within the other, the other's extra words a place type or a
  // country code: the same place.
  const auto contained = [&](const std::vector<bool>& paired_own, double own_count,
                             const std::vector<std::u32string_view>& other_words,
                             const std::vector<bool>& paired_other) {
    if (std::find(paired_own.begin(), paired_own.end(), false) != paired_own.end()) return 0.0;
    for (std::size_t j = 0; j < other_words.size(); ++j) {
      if (!paired_other[j] && !is_addition(other_words[j])) return 0.0;
    }
    return paired / own_count * (1 - kExtraWordsPenalty);
  };
  score = std::max({score, contained(paired_a, count_a, words_b, paired_b),
                    contained(paired_b, count_b, words_a, paired_a)});

  // The same letters split into words differently ("Saint-Denis",
  // "SaintDenis"; scripts written without blanks).
  if (score < 1 - kExtraWordsPenalty && same_joined(a.characters(), b.characters()))
    score = 1 - kExtraWordsPenalty;
  return std::clamp(score, 0.0, 1.0);
}

}  // namespace

double similarity(const NormalisedName& a, const NormalisedName& b) {
  if (a == b) return 1.0;
  if (a.empty() || b.empty()) return 0.0;
  // Jaro's matching and the order of equal pairs depend on which name comes
  // first; the names in a fixed order (of their code points, the order of
  // their UTF-8 texts) give one score for either order.
  return a.characters() < b.characters() ? score_words(a, b) : score_words(b, a);
}

double similarity(std::string_view a, std::string_view b) {
  return similarity(normalise(a), normalise(b));
}

bool similar(const NormalisedName& a, const NormalisedName& b, double threshold) {
  return similarity(a, b) >= threshold;
}

bool similar(std::string_view a, std::string_view b, double threshold) {
  return similar(normalise(a), normalise(b), threshold);
}

}  // namespace pinwright::names
