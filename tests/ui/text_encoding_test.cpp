#include "ui/text_encoding.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "poi/fixed_text.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::ui {
namespace {

using enum TextEncoding;

const char* encoding_name(TextEncoding encoding) {
  return encoding == utf8 ? "utf8" : "windows_1252";
}

struct DetectCase {
  const char* label;
  std::string bytes;
  TextEncoding encoding;
};

void PrintTo(const DetectCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.bytes, encoding_name(row.encoding));
}

class detect_encoding_test : public ::testing::TestWithParam<DetectCase> {};

TEST_P(detect_encoding_test, utf8_only_when_every_sequence_is_valid) {
  EXPECT_EQ(detect_encoding(GetParam().bytes), GetParam().encoding) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(
    cases, detect_encoding_test,
    ::testing::Values(DetectCase{"empty", "", utf8}, DetectCase{"ascii", "Amsterdam, pop 12", utf8},
                      DetectCase{"two_byte_letter", "Z\xC3\xBCrich", utf8},   // Zürich
                      DetectCase{"three_byte_euro", "\xE2\x82\xAC 5", utf8},  // € 5
                      DetectCase{"four_byte_emoji", "\xF0\x9F\x93\x8D pin", utf8},
                      DetectCase{"windows_1252_letter", "Caf\xE9", windows_1252},  // Café
                      DetectCase{"windows_1252_euro", "\x80 5", windows_1252},     // € 5
                      DetectCase{"cut_sequence", "Z\xC3", windows_1252},
                      DetectCase{"overlong_slash", "\xC0\xAF", windows_1252},
                      DetectCase{"surrogate", "\xED\xA0\x80", windows_1252},
                      // é, then 0xE9 alone
                      DetectCase{"utf8_then_windows_1252", "\xC3\xA9\xE9", windows_1252}),
    testing::LabelName{});

struct Windows1252Case {
  unsigned char byte;
  std::string utf8;
};

std::string byte_name(unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("byte_") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

void PrintTo(const Windows1252Case& row, std::ostream* out) {
  testing::print_row(out, byte_name(row.byte), row.utf8);
}

class windows_1252_test : public ::testing::TestWithParam<Windows1252Case> {};

TEST_P(windows_1252_test, a_byte_reads_as_its_character_and_writes_back) {
  const std::string byte(1, static_cast<char>(GetParam().byte));
  EXPECT_EQ(decode_to_utf8(byte, windows_1252), GetParam().utf8);
  EXPECT_EQ(encode_from_utf8(GetParam().utf8, windows_1252), byte);
}

INSTANTIATE_TEST_SUITE_P(
    table, windows_1252_test,
    ::testing::Values(Windows1252Case{0x41, "A"}, Windows1252Case{0x7F, "\x7F"},
                      Windows1252Case{0x80, "\xE2\x82\xAC"},  // €
                      Windows1252Case{0x82, "\xE2\x80\x9A"},  // ‚
                      Windows1252Case{0x8A, "\xC5\xA0"},      // Š
                      Windows1252Case{0x92, "\xE2\x80\x99"},  // ’
                      Windows1252Case{0x99, "\xE2\x84\xA2"},  // ™
                      Windows1252Case{0x9F, "\xC5\xB8"},      // Ÿ
                      // The five unassigned bytes keep their value as C1 code points.
                      Windows1252Case{0x81, "\xC2\x81"}, Windows1252Case{0x8D, "\xC2\x8D"},
                      Windows1252Case{0x8F, "\xC2\x8F"}, Windows1252Case{0x90, "\xC2\x90"},
                      Windows1252Case{0x9D, "\xC2\x9D"},
                      Windows1252Case{0xA0, "\xC2\xA0"},  // no-break space
                      Windows1252Case{0xE9, "\xC3\xA9"},  // é
                      Windows1252Case{0xFF, "\xC3\xBF"}),
    [](const auto& info) { return byte_name(info.param.byte); });

TEST(windows_1252_round_trip_test, every_byte_reads_as_utf8_and_writes_back_as_itself) {
  std::string all_bytes;
  for (int byte = 0; byte < 256; ++byte) all_bytes += static_cast<char>(byte);
  const std::string shown = decode_to_utf8(all_bytes, windows_1252);
  EXPECT_TRUE(poi::is_valid_utf8(shown));
  EXPECT_EQ(encode_from_utf8(shown, windows_1252), all_bytes);
}

struct EncodeCase {
  const char* label;
  std::string utf8;
  TextEncoding encoding;
  std::optional<std::string> bytes;        // nothing: refused
  std::optional<std::string> unencodable;  // the first character refused
};

void PrintTo(const EncodeCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.utf8, encoding_name(row.encoding), row.bytes,
                     row.unencodable);
}

class encode_test : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(encode_test, writes_what_fits_and_names_the_first_character_that_does_not) {
  const EncodeCase& c = GetParam();
  EXPECT_EQ(encode_from_utf8(c.utf8, c.encoding), c.bytes);
  EXPECT_EQ(first_unencodable(c.utf8, c.encoding), c.unencodable);
}

INSTANTIATE_TEST_SUITE_P(
    cases, encode_test,
    ::testing::Values(EncodeCase{"windows_1252_letter", "Caf\xC3\xA9", windows_1252, "Caf\xE9",
                                 std::nullopt},
                      EncodeCase{"windows_1252_sharp_s_and_euro",
                                 "Stra\xC3\x9F"
                                 "e \xE2\x82\xAC",
                                 windows_1252,
                                 "Stra\xDF"
                                 "e \x80",
                                 std::nullopt},
                      // Ł is not in Windows-1252 (ó is); U+0080 is not either: its byte means €.
                      EncodeCase{"l_stroke_outside_windows_1252",
                                 "\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA",
                                 windows_1252, std::nullopt, "\xC5\x81"},
                      EncodeCase{"c1_control_outside_windows_1252", "a\xC2\x80", windows_1252,
                                 std::nullopt, "\xC2\x80"},
                      EncodeCase{"emoji_outside_windows_1252", "pin \xF0\x9F\x93\x8D", windows_1252,
                                 std::nullopt, "\xF0\x9F\x93\x8D"},
                      EncodeCase{"arrow_outside_windows_1252", "\xE2\x86\x92 A", windows_1252,
                                 std::nullopt, "\xE2\x86\x92"},  // →
                      // UTF-8 holds every character, but not bytes that are no UTF-8.
                      EncodeCase{"utf8_holds_every_character",
                                 "\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA",
                                 utf8,
                                 "\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA",
                                 std::nullopt},
                      EncodeCase{"invalid_utf8_as_utf8",
                                 "ab\xE9"
                                 "c",
                                 utf8, std::nullopt, "\xE9"},
                      EncodeCase{"invalid_utf8_as_windows_1252",
                                 "ab\xE9"
                                 "c",
                                 windows_1252, std::nullopt, "\xE9"},
                      EncodeCase{"empty", "", windows_1252, "", std::nullopt}),
    testing::LabelName{});

TEST(decode_to_utf8_test, utf8_passes_unchanged_and_bad_bytes_become_replacement_characters) {
  EXPECT_EQ(decode_to_utf8("Z\xC3\xBCrich", utf8), "Z\xC3\xBCrich");
  EXPECT_EQ(decode_to_utf8("a\xE9z\xC3", utf8), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
}

struct EntryCase {
  const char* label;
  std::string own;
  std::string partner;
  TextEncoding encoding;
};

void PrintTo(const EntryCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.own, row.partner, encoding_name(row.encoding));
}

class entry_encoding_test : public ::testing::TestWithParam<EntryCase> {};

TEST_P(entry_encoding_test, plain_ascii_follows_the_partner_other_texts_keep_their_own) {
  EXPECT_EQ(entry_encoding(GetParam().own, GetParam().partner), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    cases, entry_encoding_test,
    ::testing::Values(
        EntryCase{"ascii_follows_windows_1252_partner", ", pop 5", "Caf\xE9", windows_1252},
        EntryCase{"empty_follows_windows_1252_partner", "", "Caf\xE9", windows_1252},
        EntryCase{"ascii_follows_utf8_partner", ", pop 5", "Z\xC3\xBCrich", utf8},
        EntryCase{"ascii_with_ascii_partner", ", pop 5", "Amsterdam", utf8},
        EntryCase{"utf8_keeps_its_own", "Z\xC3\xBCrich", "Caf\xE9", utf8},
        EntryCase{"windows_1252_keeps_its_own", "Caf\xE9", "Z\xC3\xBCrich", windows_1252},
        EntryCase{"windows_1252_with_empty_partner", "Caf\xE9", "", windows_1252}),
    testing::LabelName{});

struct ReadBackCase {
  const char* label;
  std::string put;
  std::string shown_now;  // UTF-8
  TextEncoding encoding;  // the entry's
  std::string bytes;
};

void PrintTo(const ReadBackCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.put, row.shown_now, encoding_name(row.encoding),
                     row.bytes);
}

class bytes_from_field_test : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(bytes_from_field_test, unchanged_text_gives_its_bytes_edited_text_its_encoding) {
  const ReadBackCase& c = GetParam();
  EXPECT_EQ(bytes_from_field(field_text_from_bytes(c.put), c.shown_now, c.encoding), c.bytes)
      << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    cases, bytes_from_field_test,
    ::testing::Values(
        ReadBackCase{"unchanged 1252", "Caf\xE9", "Caf\xC3\xA9", windows_1252, "Caf\xE9"},
        ReadBackCase{"unchanged utf8", "Z\xC3\xBCrich", "Z\xC3\xBCrich", utf8, "Z\xC3\xBCrich"},
        ReadBackCase{"unchanged unassigned", "\x81\x9D", "\xC2\x81\xC2\x9D", windows_1252,
                     "\x81\x9D"},
        ReadBackCase{"edited 1252", "Caf\xE9", "Caf\xC3\xA9 Noir", windows_1252, "Caf\xE9 Noir"},
        ReadBackCase{"edited ascii in a 1252 entry", ", pop 5", ", pr\xC3\xA8s", windows_1252,
                     ", pr\xE8s"},
        ReadBackCase{"edited utf8", "Z\xC3\xBCrich", "Z\xC3\xBCrich HB", utf8, "Z\xC3\xBCrich HB"},
        ReadBackCase{"1252 cannot hold it", "Caf\xE9",
                     "\xC5\x81\xC3\xB3"
                     "d\xC5\xBA",
                     windows_1252,
                     "\xC5\x81\xC3\xB3"
                     "d\xC5\xBA"}),
    testing::LabelName{});

TEST(field_text_test, remembers_the_bytes_their_encoding_and_what_is_shown) {
  const FieldText text = field_text_from_bytes("Caf\xE9");
  EXPECT_EQ(text.bytes, "Caf\xE9");
  EXPECT_EQ(text.encoding, windows_1252);
  EXPECT_EQ(text.shown, "Caf\xC3\xA9");
}

}  // namespace
}  // namespace pinwright::ui
