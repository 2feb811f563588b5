#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "names/name.hpp"
#include "poi/text_encoding.hpp"

namespace pinwright::names {

namespace {

// Whole words written out; a name's words are looked up after case folding
// and with their punctuation gone, so "St." and "ST" are both "st". German
// "Sankt" is written "St." as often as in full, so it reads as "saint" too.
constexpr std::array<std::pair<std::u32string_view, std::u32string_view>, 25> kAbbreviations = {{
    {U"st", U"saint"},       {U"ste", U"sainte"},
    {U"sts", U"saints"},     {U"skt", U"saint"},
    {U"sta", U"santa"},      {U"sto", U"santo"},
    {U"mt", U"mount"},       {U"mte", U"monte"},
    {U"mtn", U"mountain"},   {U"ft", U"fort"},
    {U"pto", U"puerto"},     {U"pta", U"punta"},
    {U"ave", U"avenue"},     {U"av", U"avenue"},
    {U"rd", U"road"},        {U"str", U"strasse"},
    {U"blvd", U"boulevard"}, {U"ln", U"lane"},
    {U"hwy", U"highway"},    {U"sq", U"square"},
    {U"stn", U"station"},    {U"intl", U"international"},
    {U"natl", U"national"},  {U"ctr", U"centre"},
    {U"sankt", U"saint"},
}};

// "St" ends English street names ("Main St") and begins saints' names ("St Ives").
constexpr std::u32string_view kStreetAbbreviation = U"st";
constexpr std::u32string_view kStreet = U"street";

// Articles dropped from the front of a name (with a word after them): English,
// French, Dutch, German, Spanish, Italian, Portuguese, Arabic in Latin letters.
constexpr std::array<std::u32string_view, 21> kArticles = {
    U"the", U"le", U"la", U"les", U"l",  U"de",  U"het", U"t",   U"der", U"die", U"das",
    U"den", U"el", U"al", U"il",  U"lo", U"gli", U"los", U"las", U"os",  U"as",
};

// Letters that NFD leaves whole but that readers take for a base letter with a
// stroke or a ligature, and the tatweel; after case folding, so the small
// letters only.
struct LetterSpelling {
  char32_t letter;
  std::u32string_view spelling;
};
constexpr std::array<LetterSpelling, 11> kLetterSpellings = {{
    {U'\u00E6', U"ae"},  // æ
    {U'\u00F0', U"d"},   // ð
    {U'\u00F8', U"o"},   // ø
    {U'\u00FE', U"th"},  // þ
    {U'\u0111', U"d"},   // đ
    {U'\u0127', U"h"},   // ħ
    {U'\u0131', U"i"},   // ı
    {U'\u0142', U"l"},   // ł
    {U'\u0153', U"oe"},  // œ
    {U'\u0167', U"t"},   // ŧ
    {U'\u0640', U""},    // Arabic tatweel: a stretch of the line, not a letter
}};

constexpr bool is_apostrophe(char32_t c) {
  return c == U'\'' || c == U'\u2019' || c == U'\u02BC' || c == U'\u02BB' || c == U'`' ||
         c == U'\u00B4';
}

// The normalisers are immutable singletons: obtained once, they serve every
// thread at once.
struct Normalisers {
  const icu::Normalizer2* folded = nullptr;  // NFKC with case folding
  const icu::Normalizer2* decomposed = nullptr;
  const icu::Normalizer2* composed = nullptr;
};

const Normalisers& normalisers() {
  static const Normalisers instance = [] {
    Normalisers n;
    UErrorCode status = U_ZERO_ERROR;
    n.folded = icu::Normalizer2::getNFKCCasefoldInstance(status);
    n.decomposed = icu::Normalizer2::getNFDInstance(status);
    n.composed = icu::Normalizer2::getNFCInstance(status);
    // ICU's normalisation data are built into the library; without them
    // nothing here could work.
    if (U_FAILURE(status)) std::abort();
    return n;
  }();
  return instance;
}

// Scripts whose combining marks are accents or optional vowel signs: the
// name reads the same without them. Elsewhere (Devanagari, Thai ...) a mark
// spells a vowel and stays.
bool marks_are_optional(UScriptCode script) {
  return script == USCRIPT_LATIN || script == USCRIPT_GREEK || script == USCRIPT_CYRILLIC ||
         script == USCRIPT_ARABIC || script == USCRIPT_HEBREW || script == USCRIPT_COMMON ||
         script == USCRIPT_INHERITED;
}

std::u32string to_code_points(const icu::UnicodeString& text) {
  std::u32string out;
  out.reserve(static_cast<std::size_t>(text.length()));
  for (int32_t i = 0; i < text.length();) {
    const UChar32 c = text.char32At(i);
    out += static_cast<char32_t>(c);
    i += U16_LENGTH(c);
  }
  return out;
}

// Case folding, compatibility forms and accents of a name that is not plain ASCII.
std::u32string fold_unicode(std::string_view utf8) {
  const Normalisers& n = normalisers();
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString folded =
      n.folded->normalize(icu::UnicodeString::fromUTF8(
                              icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size()))),
                          status);
  const icu::UnicodeString decomposed = n.decomposed->normalize(folded, status);

  icu::UnicodeString kept;
  UScriptCode base_script = USCRIPT_COMMON;
  for (int32_t i = 0; i < decomposed.length();) {
    const UChar32 c = decomposed.char32At(i);
    i += U16_LENGTH(c);
    if (u_charType(c) == U_NON_SPACING_MARK) {
      if (!marks_are_optional(base_script)) kept.append(c);
      continue;
    }
    UErrorCode script_status = U_ZERO_ERROR;
    base_script = uscript_getScript(c, &script_status);
    const auto spelling =
        std::find_if(kLetterSpellings.begin(), kLetterSpellings.end(),
                     [&](const LetterSpelling& s) { return s.letter == static_cast<char32_t>(c); });
    if (spelling == kLetterSpellings.end()) {
      kept.append(c);
    } else {
      for (const char32_t letter : spelling->spelling) kept.append(static_cast<UChar32>(letter));
    }
  }
  const icu::UnicodeString composed = n.composed->normalize(kept, status);
  // The normalisers fail only on memory exhaustion or ill-formed UTF-16,
  // which fromUTF8 never produces.
  if (U_FAILURE(status)) return {};
  return to_code_points(composed);
}

void fold_ascii(std::string_view ascii, std::u32string& out) {
  out.resize(ascii.size());
  std::transform(ascii.begin(), ascii.end(), out.begin(), [](char c) {
    return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
}

bool is_word_character(char32_t c) {
  if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9');
  const auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
  return (mask & (U_GC_L_MASK | U_GC_N_MASK | U_GC_M_MASK)) != 0;
}

// The words of a folded name: runs of letters, digits and marks. A word is
// a view of `folded` or of one of the constant spellings below; "john's"
// drops its apostrophe, so its letters are copied into `joined` first, which
// keeps room for every character of `folded` and so never moves.
void split_words(const std::u32string& folded, std::u32string& joined,
                 std::vector<std::u32string_view>& words) {
  joined.clear();
  joined.reserve(folded.size());
  words.clear();
  std::size_t begin = 0;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const char32_t c = folded[i];
    if (is_apostrophe(c) && joined.size() > begin && i + 1 < folded.size() &&
        folded[i + 1] == U's' && (i + 2 == folded.size() || !is_word_character(folded[i + 2]))) {
      continue;  // "john's": one word
    }
    if (is_word_character(c) && !is_apostrophe(c)) {
      joined += c;
    } else if (joined.size() > begin) {
      words.emplace_back(joined.data() + begin, joined.size() - begin);
      begin = joined.size();
    }
  }
  if (joined.size() > begin) words.emplace_back(joined.data() + begin, joined.size() - begin);
}

// "Station" ends a name in scripts written without blanks ("洛阳站",
// "東京駅", "서울역"): a word of its own, as in the scripts with blanks.
constexpr std::array<char32_t, 3> kStationSuffixes = {U'\u7AD9', U'\u99C5', U'\uC5ED'};

void split_station_suffixes(std::vector<std::u32string_view>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::u32string_view& word = words[i];
    const auto suffix = std::find(kStationSuffixes.begin(), kStationSuffixes.end(),
                                  word.empty() ? U'\0' : word.back());
    if (word.size() < 2 || suffix == kStationSuffixes.end()) continue;
    word.remove_suffix(1);
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                 std::u32string_view(&*suffix, 1));
    ++i;
  }
}

void expand_abbreviations(std::vector<std::u32string_view>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::u32string_view& word = words[i];
    if (word == kStreetAbbreviation && words.size() > 1 && i + 1 == words.size()) {
      word = kStreet;
      continue;
    }
    const auto found = std::find_if(kAbbreviations.begin(), kAbbreviations.end(),
                                    [&](const auto& entry) { return entry.first == word; });
    if (found != kAbbreviations.end()) word = found->second;
  }
}

void drop_leading_article(std::vector<std::u32string_view>& words) {
  if (words.size() < 2) return;
  if (std::find(kArticles.begin(), kArticles.end(), words.front()) != kArticles.end())
    words.erase(words.begin());
}

}  // namespace

NormalisedName normalise(std::string_view name) {
  // A run normalises a million names: the working buffers are kept per
  // thread, so only the form returned is allocated.
  thread_local std::u32string folded;
  thread_local std::u32string joined;
  thread_local std::vector<std::u32string_view> words;
  if (poi::is_ascii(name)) {
    fold_ascii(name, folded);
  } else {
    folded = fold_unicode(poi::decode_to_utf8(name, poi::detect_encoding(name)));
  }
  split_words(folded, joined, words);
  split_station_suffixes(words);
  expand_abbreviations(words);
  drop_leading_article(words);

  NormalisedName out;
  std::size_t length = words.empty() ? 0 : words.size() - 1;
  for (const std::u32string_view word : words) length += word.size();
  out.characters_.reserve(length);
  for (const std::u32string_view word : words) {
    if (!out.characters_.empty()) out.characters_ += U' ';
    out.characters_ += word;
  }
  return out;
}

std::string NormalisedName::text() const {
  std::string out;
  out.reserve(characters_.size());
  for (const char32_t c : characters_) poi::append_utf8(out, c);
  return out;
}

std::vector<NormalisedName::Word> NormalisedName::words() const {
  std::vector<Word> out;
  for (std::size_t begin = 0; begin < characters_.size();) {
    const std::size_t end = std::min(characters_.find(U' ', begin), characters_.size());
    out.push_back({begin, end});
    begin = end + 1;
  }
  return out;
}

bool same(const NormalisedName& a, const NormalisedName& b) {
  return a == b;
}

bool same(std::string_view a, std::string_view b) {
  return normalise(a) == normalise(b);
}

}  // namespace pinwright::names
