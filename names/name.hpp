#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pinwright::names {

// Two entries a few metres apart are the same place when their names say so.
// A name is first brought to a form in which the ways of writing one name
// agree (normalise), then compared: `same` asks for equal forms, `similar`
// for a similarity at or above a threshold.
//
// The normal form of a name:
// - bytes that are not UTF-8 are read as Windows-1252 (as the window shows
//   them), so a name compares as its characters whatever its file's encoding;
// - Unicode NFKC with case folding: full-width and half-width forms,
//   ligatures and letter case agree ("ＡＢＣ", "ﬁ", "STRASSE" / "straße");
// - accents removed from Latin, Greek and Cyrillic letters, Arabic and Hebrew
//   vowel signs dropped (marks that other scripts need to spell a letter are
//   kept), and a few letters without a decomposition written as their base
//   letters ("ø" o, "ł" l, "đ" d, "æ" ae, "œ" oe, "þ" th, "ı" i ...);
// - every run of punctuation, symbols, controls and blanks becomes one blank,
//   none at either end; an apostrophe before a closing "s" is dropped without
//   a blank ("John's" johns), any other apostrophe separates ("L'Aquila");
// - abbreviations expanded as whole words (kAbbreviations in normalise.cpp:
//   "St." saint, "Mt" mount, "Ft" fort, "Sta" santa, "Ave" avenue, "Rd"
//   road, "Str." strasse, German "Sankt" saint ...); "St" as the last of
//   several words is street;
// - "Station" split off as a word where a script without blanks ends a name
//   with it ("洛阳站", "東京駅", "서울역");
// - a leading article dropped when a word follows it (kArticles in
//   normalise.cpp: "The", "Le", "La", "Les", "L'", "De", "Het", "Der", "Die",
//   "Das", "El", "Il", "Lo" ...).
class NormalisedName {
 public:
  NormalisedName() = default;

  // The normal form in UTF-8: words separated by one blank.
  std::string text() const;
  bool empty() const { return characters_.empty(); }

  // The same as code points, and where each word begins and ends in them.
  const std::u32string& characters() const { return characters_; }
  struct Word {
    std::size_t begin, end;
  };
  std::vector<Word> words() const;

  friend bool operator==(const NormalisedName& a, const NormalisedName& b) {
    return a.characters_ == b.characters_;
  }

 private:
  friend NormalisedName normalise(std::string_view name);

  // Only the code points are kept (a run keeps a form for each of a million
  // entries): the text and the words follow from them, as no word holds a
  // blank.
  std::u32string characters_;
};

// The normal form of `name` (bytes as a file holds them; trailing blanks of a
// fixed-width text are dropped like any others). Callers that compare one
// name many times keep the result.
NormalisedName normalise(std::string_view name);

// Equal normal forms. Two names without letters or digits are the same.
bool same(const NormalisedName& a, const NormalisedName& b);
bool same(std::string_view a, std::string_view b);

// How alike two names are, from 0 (nothing in common) to 1 (the same name).
// The words of the two normal forms are paired, the most alike first, when
// their Jaro-Winkler similarity reaches kWordThreshold (a transposed letter
// in a word of five letters or more does, most changed letters do not); the
// score is twice the sum of the pairs' similarities over the number of words
// in both names, so every word counts alike: "North Street" and "South
// Street" score 0.5. A name whose every word is paired scores by its own
// words, less kExtraWordsPenalty, when the other's extra words only say what
// kind of place it is or where it lies (kPlaceTypes in similarity.cpp, and
// words of one or two letters such as country codes): "Frensdorf" and
// "Frensdorf Station, DE" are one place, "Hot Springs" and "Hot Springs
// Village" two. Names whose letters agree but are split into words
// differently ("SaintDenis") score 1 - kExtraWordsPenalty. Only the first
// kComparedCharacters of each normal form are compared.
double similarity(const NormalisedName& a, const NormalisedName& b);
double similarity(std::string_view a, std::string_view b);

inline constexpr double kDefaultThreshold = 0.85;
inline constexpr double kWordThreshold = 0.94;
inline constexpr double kExtraWordsPenalty = 0.05;
inline constexpr std::size_t kComparedCharacters = 256;

// similarity(a, b) >= threshold.
bool similar(const NormalisedName& a, const NormalisedName& b,
             double threshold = kDefaultThreshold);
bool similar(std::string_view a, std::string_view b, double threshold = kDefaultThreshold);

}  // namespace pinwright::names
