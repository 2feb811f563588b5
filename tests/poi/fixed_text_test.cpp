#include "poi/fixed_text.hpp"

#include <gtest/gtest.h>

#include <string>

#include "poi/record.hpp"
#include "tests/support/test_names.hpp"

#include <bit>

namespace pinwright::poi {
namespace {

// `prefix` followed by `times` copies of `piece`.
std::string repeat(std::string_view piece, int times, std::string_view prefix = "") {
  std::string text(prefix);
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

struct CutCase {
  const char* label;
  std::string text;
  std::size_t limit;
  std::size_t kept;
};

void PrintTo(const CutCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.text, row.limit, row.kept);
}

class utf8_safe_cut_test : public ::testing::TestWithParam<CutCase> {};

TEST_P(utf8_safe_cut_test, never_splits_a_utf8_sequence) {
  EXPECT_EQ(utf8_safe_cut(GetParam().text, GetParam().limit), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    texts, utf8_safe_cut_test,
    ::testing::Values(
        CutCase{"ascii_longer", std::string(200, 'a'), 128, 128},
        CutCase{"ascii_shorter", "short", 128, 5},
        CutCase{"two_byte_fits", repeat("\xC3\xA9", 100), 128, 128},  // e-acute: 64 whole
        CutCase{"two_byte_straddles", repeat("\xC3\xA9", 100, "a"), 128, 127},
        CutCase{"three_byte_fits", repeat("\xE2\x82\xAC", 60, "ab"), 128, 128},  // euro: 42 whole
        CutCase{"three_byte_straddles", repeat("\xE2\x82\xAC", 60, "a"), 128, 127},
        CutCase{"four_byte_fits", repeat("\xF0\x9F\x93\x8D", 40), 128, 128},
        CutCase{"four_byte_straddles", repeat("\xF0\x9F\x93\x8D", 40, "ab"), 128, 126},
        // Windows-1252 "Caf\xE9": not UTF-8, cut at the limit
        CutCase{"windows_1252_early", repeat("x", 200, "Caf\xE9 "), 128, 128},
        CutCase{"windows_1252_at_limit", std::string(127, 'x') + "\xE9" + "xyz", 128, 128},
        CutCase{"two_byte_at_limit", std::string(127, 'x') + "\xC3\xA9", 128, 127}),
    testing::LabelName{});

TEST(fixed_text_test, pads_with_blanks_and_trims) {
  Text text("Central Station");
  EXPECT_EQ(text.view().size(), 128u);
  EXPECT_EQ(text.trimmed(), "Central Station");
  EXPECT_EQ(text.view().substr(15), std::string(113, ' '));
  EXPECT_TRUE(Text().is_blank());
  EXPECT_TRUE(Text("   ").is_blank());
  EXPECT_EQ(Text("a  b  ").trimmed(), "a  b");
}

TEST(fixed_text_test, keeps_bytes_as_they_came) {
  const std::string bytes = std::string("Caf\xE9") + '\0' + "\x01\x7F";
  EXPECT_EQ(Text(bytes).trimmed(), bytes);
}

TEST(fixed_text_test, justify_left_and_lower_case) {
  EXPECT_EQ(justify_left("   ; comment"), "; comment   ");
  EXPECT_EQ(justify_left("    "), "    ");
  EXPECT_EQ(justify_left(""), "");
  EXPECT_EQ(lower_case("  RaDiUs = 25 \xC3\x84"), "  radius = 25 \xC3\x84");
}

TEST(record_test, a_comment_is_recognised_by_its_longitude_alone) {
  PoiRecord record;
  record.longitude = -999.0f;
  record.latitude = 12.0f;
  EXPECT_TRUE(is_comment(record));
  record.longitude = -999.0001f;
  EXPECT_FALSE(is_comment(record));
  const PoiRecord comment = make_comment("; hello");
  EXPECT_TRUE(is_comment(comment));
  EXPECT_EQ(comment.latitude, -999.0f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(comment.longitude), 0xC479C000u);
  EXPECT_EQ(comment.name.trimmed(), "; hello");
}

}  // namespace
}  // namespace pinwright::poi
