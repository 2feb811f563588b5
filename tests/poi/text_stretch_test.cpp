// The text reader cuts a file into blocks and stretches at line ends and
// parses them on several threads: whatever the cuts, the table, the counts
// and the failure reported are those of reading the file line by line.
#include <gtest/gtest.h>

#include <string>

#include "poi/compact_table.hpp"
#include "poi/text_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace pinwright::poi {
namespace {

using testing::TempDir;

// Every line form: the program's own lines, comments, empty and blank lines,
// LF, CR LF and lone CR ends (a CR LF right after a lone CR), a line longer
// than the 256 bytes the reader looks at, and no line end after the last line.
std::string every_line_form() {
  return ";* Created by Pinwright Pro v2.01 on 07-DEC-26\r\n"
         ";* Longitude, Latitude, \"Name\"\r\n"
         "; a comment\n"
         "4.89000,  52.37000, \"Central Station\", open 24h\r\n"
         "\r\n"
         "   \n"
         "  -122.419418 37.774929 \"San Francisco\"\r"
         "\r\n"
         "1e-3,-0.5,\"Tiny\";info\r"
         "2, 3, \"" +
         std::string(300, 'L') + "\", " + std::string(40, 'i') +
         "\r\n"
         "  ; indented comment\n"
         "0.1, 0.2, \"A \"\"quoted\"\" name\"\n"
         ";*    6 POI records.    5 user comment lines.\n"
         "179.99999, -89.99999, \"Edge\", last line without an end";
}

void expect_same_tables(const CompactTable& actual, const CompactTable& expected,
                        const std::string& label) {
  ASSERT_EQ(actual.size(), expected.size()) << label;
  for (std::int32_t k = 1; k <= expected.size(); ++k) {
    EXPECT_EQ(actual.exact_longitude(k), expected.exact_longitude(k)) << label << " entry " << k;
    EXPECT_EQ(actual.exact_latitude(k), expected.exact_latitude(k)) << label << " entry " << k;
    EXPECT_EQ(actual.name(k), expected.name(k)) << label << " entry " << k;
    EXPECT_EQ(actual.information(k), expected.information(k)) << label << " entry " << k;
  }
}

std::string label_of(std::size_t stretch_bytes, unsigned threads) {
  return "stretch " + std::to_string(stretch_bytes) + ", threads " + std::to_string(threads);
}

class text_stretch_test : public ::testing::TestWithParam<unsigned> {
 protected:
  ReadResult read(const std::string& path, CompactTable& table, std::int64_t limit,
                  std::size_t stretch_bytes) {
    return read_text_poi_file(
        path, table, limit, TextReadOptions{.stretch_bytes = stretch_bytes, .threads = GetParam()});
  }
  TempDir dir;
};

TEST_P(text_stretch_test, every_cut_gives_the_table_of_one_stretch) {
  const std::string content = every_line_form();
  const std::string path = dir.write("in.asc", content);
  CompactTable expected;
  const ReadResult whole = read_text_poi_file(
      path, expected, 1000, TextReadOptions{.stretch_bytes = 1 << 20, .threads = 1});
  ASSERT_FALSE(whole.failure);
  ASSERT_EQ(whole.count, 11);
  ASSERT_EQ(whole.comment_count, 5);
  // The cuts that go wrong most easily, seen in the table read whole.
  EXPECT_EQ(expected.name_field(6), ";");  // the CR LF after a lone CR: one empty line
  EXPECT_EQ(expected.name_field(8), std::string(128, 'L'));
  EXPECT_EQ(expected.information_field(8), "");  // beyond the 256 bytes looked at
  EXPECT_EQ(expected.name_field(11), "Edge");

  // A cut at every byte, in blocks of one to several stretches.
  for (std::size_t stretch = 1; stretch <= content.size() + 1; ++stretch) {
    CompactTable table;
    const ReadResult result = read(path, table, 1000, stretch);
    const std::string label = label_of(stretch, GetParam());
    ASSERT_FALSE(result.failure) << label;
    EXPECT_EQ(result.count, whole.count) << label;
    EXPECT_EQ(result.comment_count, whole.comment_count) << label;
    expect_same_tables(table, expected, label);
  }
}

TEST_P(text_stretch_test, the_first_bad_line_is_reported_with_its_number) {
  // Lines 1 to 40 are good; 41 and 43, both in the last stretch of most cuts, are not.
  std::string content;
  for (int line = 1; line <= 40; ++line)
    content += line % 7 == 0 ? "; c\r\n" : std::to_string(line) + ", 2, \"P\"\r\n";
  content += "4.89 \"no latitude\"\r\n5, 6, \"Q\"\r\nbad\r\n";
  const std::string path = dir.write("bad.asc", content);
  for (std::size_t stretch = 1; stretch <= content.size(); ++stretch) {
    CompactTable table;
    const ReadResult result = read(path, table, 1000, stretch);
    const std::string label = label_of(stretch, GetParam());
    ASSERT_TRUE(result.failure) << label;
    EXPECT_EQ(result.failure->kind, ReadFailure::Kind::format_error) << label;
    EXPECT_EQ(result.failure->where, 41) << label;
    EXPECT_EQ(result.failure->line_text, "4.89 \"no latitude\"") << label;
    EXPECT_EQ(result.count, 40) << label;
    EXPECT_EQ(result.comment_count, 5) << label;
    ASSERT_EQ(table.size(), 40) << label;
    EXPECT_EQ(table.longitude(40), 40.0f) << label;
  }
}

TEST_P(text_stretch_test, a_full_table_stops_at_the_line_that_did_not_fit) {
  std::string content = ";* header\n";
  for (int line = 2; line <= 60; ++line) content += std::to_string(line) + ", 2, \"P\"\n";
  const std::string path = dir.write("full.asc", content);
  for (std::size_t stretch = 1; stretch <= content.size(); stretch += 3) {
    CompactTable table;
    table.append_comment("; before");
    const ReadResult result = read(path, table, 31, stretch);
    const std::string label = label_of(stretch, GetParam());
    ASSERT_TRUE(result.failure) << label;
    EXPECT_EQ(result.failure->kind, ReadFailure::Kind::storage_limit) << label;
    EXPECT_EQ(result.failure->where, 32) << label;  // the 31st record, after the header
    EXPECT_EQ(result.failure->limit, 31) << label;
    EXPECT_EQ(result.count, 30) << label;
    ASSERT_EQ(table.size(), 31) << label;
    EXPECT_EQ(table.longitude(31), 31.0f) << label;
  }
}

INSTANTIATE_TEST_SUITE_P(threads, text_stretch_test, ::testing::Values(1u, 2u, 3u),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                           return "threads_" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace pinwright::poi
