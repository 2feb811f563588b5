#include "poi/text_file.hpp"

#include <gtest/gtest.h>

#include <string>

#include "poi/fixed_text.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

// The window's limits, which the storage-limit texts name.
constexpr std::int32_t kMasterLimit = 50'000;
constexpr std::int32_t kUpdateLimit = 30'000;

using testing::read_file;
using testing::TempDir;

struct KindCase {
  const char* label;
  const char* line;
  LineKind kind;
};

void PrintTo(const KindCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.line, static_cast<int>(row.kind));
}

class classify_line_test : public ::testing::TestWithParam<KindCase> {};

TEST_P(classify_line_test, by_the_left_justified_text) {
  const std::string line = GetParam().line;
  EXPECT_EQ(classify_line(justify_left(line), line.size()), GetParam().kind) << line;
}

INSTANTIATE_TEST_SUITE_P(
    lines, classify_line_test,
    ::testing::Values(KindCase{"empty", "", LineKind::empty},
                      KindCase{"blanks", "    ", LineKind::blank},
                      KindCase{"header", ";* Created by Pinwright", LineKind::header},
                      KindCase{"indented_header", "  ;* indented header", LineKind::header},
                      KindCase{"comment", "; comment", LineKind::user_comment},
                      KindCase{"indented_comment", "   ; indented comment", LineKind::user_comment},
                      KindCase{"semicolon_alone", ";", LineKind::user_comment},
                      KindCase{"poi", "4.89, 52.37, \"x\"", LineKind::poi},
                      KindCase{"indented_poi", "  4.89, 52.37", LineKind::poi},
                      KindCase{"tab", "\t", LineKind::poi}),
    testing::LabelName{});

struct SplitCase {
  const char* label;
  const char* line;
  const char* name;
  const char* information;
};

void PrintTo(const SplitCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.line, row.name, row.information);
}

class split_name_test : public ::testing::TestWithParam<SplitCase> {};

TEST_P(split_name_test, name_and_information) {
  const NameSplit split = split_name(GetParam().line);
  EXPECT_EQ(split.name.trimmed(), GetParam().name);
  EXPECT_EQ(split.information.trimmed(), GetParam().information);
}

INSTANTIATE_TEST_SUITE_P(
    lines, split_name_test,
    ::testing::Values(
        SplitCase{"quoted_name_and_information", "4.89, 52.37, \"Central Station\", open 24h",
                  "Central Station", ", open 24h"},
        SplitCase{"unquoted_name", "1.5, 2.5, Plain name", "Plain name", ""},
        SplitCase{"text_after_closing_quote", "1.5, 2.5, \"Pier\" 7, x", "Pier 7", ", x"},
        SplitCase{"comma_inside_quotes", "1, 2, \"A, B\"", "A, B", ""},
        SplitCase{"comma_ends_unquoted_name", "1, 2, A, B", "A", ", B"},
        SplitCase{"semicolon_information", "1, 2, \"A; B\"; PPLA2", "A; B", "; PPLA2"},
        SplitCase{"one_comma", "4.9 52.3, \"Name\"", "Name",
                  ""},  // one comma: the name starts after it
        SplitCase{"no_comma", "4.9 52.3 Name", "4.9 52.3 Name",
                  ""},  // no comma: from the first character
        SplitCase{"quote_never_closed", "1, 2, \"open quote, to the end", "open quote, to the end",
                  ""},
        SplitCase{"padded_name", "1, 2,    \"  padded\"", "padded", ""},
        SplitCase{"empty_name", "1,2,\"\"", "", ""},
        SplitCase{"doubled_quote", "1, 2, \"A\"\"B\"", "AB", ""},
        SplitCase{"semicolon_alone", "1, 2, \"x\";", "x", ";"}),
    testing::LabelName{});

struct TypedCase {
  const char* label;
  const char* typed;
  const char* stored;
};

void PrintTo(const TypedCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.typed, row.stored);
}

class typed_information_test : public ::testing::TestWithParam<TypedCase> {};

TEST_P(typed_information_test, keeps_the_name_apart_when_written_and_read_back) {
  const Text stored = typed_information(GetParam().typed);
  EXPECT_EQ(stored.trimmed(), GetParam().stored);
  PoiRecord record;
  record.longitude = 4.9f;
  record.latitude = 52.4f;
  record.name.assign("Landsmeer, NL");
  record.information = stored;
  const NameSplit read_back = split_name(record_line(record));
  EXPECT_EQ(read_back.name.trimmed(), "Landsmeer, NL");
  // Blanks before the separator go with the name, which drops them.
  EXPECT_EQ(read_back.information.trimmed(), trim(stored.view()));
}

INSTANTIATE_TEST_SUITE_P(
    texts, typed_information_test,
    ::testing::Values(TypedCase{"empty", "", ""}, TypedCase{"blank", "   ", ""},
                      TypedCase{"comma_first", ", pop 9040", ", pop 9040"},
                      TypedCase{"blanks_then_semicolon", "  ; PPLA2", "  ; PPLA2"},
                      TypedCase{"words", "village centre", ", village centre"},
                      TypedCase{"blanks_then_words", "  x", ",   x"},
                      TypedCase{"tab_then_comma", "\t, x", ", \t, x"},
                      TypedCase{"trailing_blanks_cut", "x   ", ", x"}),
    testing::LabelName{});

TEST(typed_information_test, a_full_field_loses_its_end_not_its_separator) {
  const Text stored = typed_information(std::string(128, 'i'));
  EXPECT_EQ(stored.trimmed(), ", " + std::string(126, 'i'));
}

TEST(split_name_test, cuts_the_name_at_128_bytes) {
  const std::string line = "1, 2, \"" + std::string(200, 'n') + "\", info";
  const NameSplit split = split_name(line);
  EXPECT_EQ(split.name.trimmed(), std::string(128, 'n'));
  EXPECT_EQ(split.information.trimmed(), ", info");
}

TEST(split_name_test, never_cuts_inside_a_utf8_letter) {
  std::string name = "a";
  for (int i = 0; i < 80; ++i) name += "\xC3\xBC";  // u-umlaut
  const NameSplit split = split_name("1, 2, \"" + name + "\"");
  EXPECT_EQ(split.name.trimmed().size(), 127u);
  EXPECT_TRUE(is_valid_utf8(split.name.trimmed()));
}

class text_reader_test : public ::testing::Test {
 protected:
  ReadResult read(std::string_view content) {
    table = CompactTable();
    return read_text_poi_file(dir.write("in.asc", content), table, kMasterLimit);
  }
  TempDir dir;
  CompactTable table;
};

TEST_F(text_reader_test, keeps_comments_in_place_and_skips_own_lines) {
  const ReadResult result = read(
      ";* Created by Pinwright Pro v2.01 on 07-DEC-26\n"
      "; first comment\n"
      "\n"
      "4.89, 52.37, \"Central Station\", open 24h\n"
      "    \n"
      "   ; indented\n"
      "-122.419418,37.774929,\"San Francisco\"\n"
      ";*    2 POI records.    3 user comment lines.\n");
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(result.count, 6);
  EXPECT_EQ(result.comment_count, 4);
  EXPECT_EQ(table.name_field(1), "; first comment");
  EXPECT_TRUE(table.is_comment(2));
  EXPECT_EQ(table.name_field(2), ";");
  EXPECT_EQ(table.longitude(3), 4.89f);
  EXPECT_EQ(table.latitude(3), 52.37f);
  EXPECT_EQ(table.name_field(3), "Central Station");
  EXPECT_EQ(table.information_field(3), ", open 24h");
  EXPECT_TRUE(table.name_field(4).empty());
  EXPECT_EQ(table.name_field(5), "; indented");
  EXPECT_EQ(table.longitude(6), -122.419418f);
}

TEST_F(text_reader_test, reads_crlf_lf_and_lone_cr_line_ends_alike) {
  for (const char* end : {"\n", "\r\n", "\r"}) {
    const std::string content =
        std::string("; c") + end + "1, 2, \"A\"" + end + end + "3, 4, \"B\"";
    const ReadResult result = read(content);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(result.count, 4);
    EXPECT_EQ(table.name_field(2), "A");
    EXPECT_EQ(table.name_field(3), ";");  // the empty line
    EXPECT_EQ(table.name_field(4), "B");
  }
}

TEST_F(text_reader_test, sees_only_the_first_256_bytes_of_a_line) {
  const std::string long_line = "1, 2, \"Name\", " + std::string(100'000, 'x');
  const ReadResult result = read(long_line + "\n3, 4, \"Next\"\n");
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(result.count, 2);
  EXPECT_EQ(table.information_field(1), ", " + std::string(126, 'x'));
  EXPECT_EQ(table.name_field(2), "Next");
}

TEST_F(text_reader_test, reads_nul_bytes_and_invalid_utf8_as_bytes) {
  const std::string name = std::string("A\0B\xFF\xC3", 5);
  const ReadResult result = read("1, 2, \"" + name + "\"\n");
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(table.name_field(1), name);
}

TEST_F(text_reader_test, a_line_with_one_number_is_a_format_error) {
  const ReadResult result = read("; ok\n1, 2, \"A\"\n4.89\n5, 6, \"B\"\n");
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::format_error);
  EXPECT_EQ(result.failure->where, 3);
  EXPECT_EQ(result.failure->line_text, "4.89");
}

TEST_F(text_reader_test, a_missing_file_is_an_open_failure) {
  const ReadResult result = read_text_poi_file(dir.file("missing.asc"), table, kMasterLimit);
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::open_failed);
}

TEST_F(text_reader_test, an_empty_file_loads_nothing) {
  const ReadResult result = read("");
  EXPECT_FALSE(result.failure);
  EXPECT_EQ(result.count, 0);
}

std::string records(int count) {
  std::string content;
  for (int i = 0; i < count; ++i) content += i % 10 == 0 ? "; c\n" : "1, 2, \"P\"\n";
  return content;
}

class text_capacity_test : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(text_capacity_test, exactly_full_loads_one_more_is_the_storage_limit) {
  const std::int32_t capacity = GetParam();
  TempDir dir;
  CompactTable table;
  // The program's own ";*" lines never count, wherever they stand.
  const std::string full = ";* header\n" + records(capacity) + ";* trailer\n";
  ReadResult result = read_text_poi_file(dir.write("full.asc", full), table, capacity);
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(result.count, capacity);

  CompactTable again;
  result = read_text_poi_file(dir.write("over.asc", full + "\n"), again, capacity);
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::storage_limit);
  EXPECT_EQ(result.failure->limit, capacity);
  EXPECT_EQ(result.failure->where, capacity + 3);  // the empty line after the trailer
  EXPECT_EQ(result.count, capacity);
}

INSTANTIATE_TEST_SUITE_P(slots, text_capacity_test, ::testing::Values(kMasterLimit, kUpdateLimit),
                         [](const auto& info) { return "capacity_" + std::to_string(info.param); });

TEST(text_writer_test, writes_header_records_and_trailer) {
  TempDir dir;
  CompactTable table;
  PoiRecord poi;
  poi.longitude = 4.89f;
  poi.latitude = 52.37f;
  poi.name.assign("Central Station");
  poi.information.assign(", open 24h");
  table.append(make_comment("; kept"));
  table.append(poi);
  table.append(make_comment(";"));
  table.append(make_comment(""));
  poi.longitude = -122.419418f;
  poi.information.assign("");
  table.append(poi);

  OutputFile file(dir.file("out.asc"), OpenMode::truncate);
  write_text_header(file, std::chrono::year{2026} / std::chrono::December / std::chrono::day{7});
  const LineCounts counts = write_text_records(file, table, entry_range(1, table.size()));
  file.write_line(trailer_line(counts.poi_lines, counts.comment_lines));
  ASSERT_TRUE(file.close());

  EXPECT_EQ(counts.poi_lines, 2);
  EXPECT_EQ(counts.comment_lines, 3);
  EXPECT_EQ(read_file(dir.file("out.asc")),
            ";* Created by Pinwright Pro v2.01 on 07-DEC-26\n"
            ";* Longitude, Latitude, \"Name\"\n"
            "; kept\n"
            "   4.89000,  52.37000, \"Central Station\", open 24h\n"
            ";\n"
            "\n"
            "-122.41942,  52.37000, \"Central Station\"\n"
            ";*    2 POI records.    3 user comment lines.\n");
}

TEST(text_writer_test, trailer_counts_are_i5) {
  EXPECT_EQ(trailer_line(1234, 3), ";* 1234 POI records.    3 user comment lines.");
  EXPECT_EQ(trailer_line(123456, 0), ";****** POI records.    0 user comment lines.");
}

TEST(text_round_trip_test, a_written_file_reads_back_the_same) {
  TempDir dir;
  const std::string original =
      "; comment\n\n    \n4.89, 52.37, \"Central Station\", open 24h\n"
      "1.5, 2.5, \"Pier\" 7, x\n-0.12345,-89.5,\"South; Pole\"; PPL\n";
  CompactTable first;
  const ReadResult read1 = read_text_poi_file(dir.write("a.asc", original), first, kMasterLimit);
  ASSERT_FALSE(read1.failure);

  OutputFile file(dir.file("b.asc"), OpenMode::truncate);
  write_text_header(file, std::chrono::year{2026} / 1 / 2);
  const LineCounts counts = write_text_records(file, first, entry_range(1, read1.count));
  file.write_line(trailer_line(counts.poi_lines, counts.comment_lines));
  ASSERT_TRUE(file.close());

  CompactTable second;
  const ReadResult read2 = read_text_poi_file(dir.file("b.asc"), second, kMasterLimit);
  ASSERT_FALSE(read2.failure);
  ASSERT_EQ(read2.count, read1.count);  // headers and trailer do not accumulate
  // A blank line is written as an empty line, which reads back as ";".
  EXPECT_TRUE(first.name_field(3).empty());
  EXPECT_EQ(second.name_field(3), ";");
  for (std::int32_t i = 1; i <= read1.count; ++i) {
    if (i != 3) {
      EXPECT_EQ(second.record(i), first.record(i)) << i;
    }
  }
}

}  // namespace
}  // namespace pinwright::poi
