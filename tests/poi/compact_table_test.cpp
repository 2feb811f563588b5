// The compact table must hold what a text or OV2 record holds and give the
// same lines and OV2 records, while keeping texts at any length.
#include "poi/compact_table.hpp"

#include <gtest/gtest.h>

#include <string>

#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

PoiRecord poi(float longitude, float latitude, std::string_view name,
              std::string_view information = {}) {
  PoiRecord record;
  record.longitude = longitude;
  record.latitude = latitude;
  record.name.assign(name);
  record.information.assign(information);
  return record;
}

// A name that reaches past a record's field, with a two-byte UTF-8 sequence
// across the cut when `straddle` is set.
std::string long_name(bool straddle) {
  std::string name(kTextLength - 1, 'a');
  name += straddle ? "\xC3\xA9" : "bc";
  name += std::string(200, 'z');
  return name;
}

struct TextCase {
  std::string label;
  PoiRecord record;
};

void PrintTo(const TextCase& row, std::ostream* out) {
  *out << row.label;
}

class compact_table_text_test : public ::testing::TestWithParam<TextCase> {};

TEST_P(compact_table_text_test, gives_back_the_record_and_its_written_forms) {
  const PoiRecord& record = GetParam().record;
  CompactTable table;
  ASSERT_TRUE(table.append(poi(1.0f, 2.0f, "before")));
  ASSERT_TRUE(table.append(record));
  EXPECT_EQ(table.size(), 2);
  EXPECT_EQ(table.record(2), record);
  EXPECT_EQ(table.is_comment(2), is_comment(record));
  std::string line;
  append_record_line(line, table, 2);
  EXPECT_EQ(line, record_line(record));
  std::string ov2;
  append_ov2_record(ov2, table, 2);
  EXPECT_EQ(ov2, ov2_record(record));
}

INSTANTIATE_TEST_SUITE_P(
    records, compact_table_text_test,
    ::testing::Values(TextCase{"plain", poi(4.89f, 52.37f, "Dam", ", Amsterdam")},
                      TextCase{"blank texts", poi(-0.0f, 0.0f, "", "")},
                      TextCase{"blanks inside", poi(1.5f, -1.5f, "  a  b ", "; c  d  ")},
                      TextCase{"field full", poi(9.0f, 9.0f, long_name(false), long_name(true))},
                      TextCase{"utf8 at the cut", poi(9.0f, 9.0f, long_name(true))},
                      TextCase{"comment", make_comment("; a comment line")},
                      TextCase{"empty comment", make_comment("")}),
    testing::LabelName{});

TEST(compact_table_test, keeps_a_name_at_full_length_and_cuts_it_as_a_record_does) {
  const std::string name = long_name(true);
  CompactTable table;
  ASSERT_TRUE(table.append(3.0f, 4.0f, name, ", info"));
  EXPECT_EQ(table.name(1), name);
  EXPECT_EQ(table.information(1), ", info");
  const Text field(name);
  EXPECT_EQ(table.name_field(1), field.trimmed());
  EXPECT_EQ(table.name_field(1).size(), kTextLength - 1);  // the sequence left out whole
  std::string line;
  append_record_line(line, table, 1);
  EXPECT_EQ(line, record_line(poi(3.0f, 4.0f, name, ", info")));
}

TEST(compact_table_test, an_edit_changes_its_entry_only) {
  CompactTable table;
  for (int k = 1; k <= 5; ++k)
    ASSERT_TRUE(table.append(static_cast<float>(k), static_cast<float>(-k), "n" + std::to_string(k),
                             ", i" + std::to_string(k)));
  table.set_name(3, "renamed");
  table.set_information(2, "; other");
  table.set_position(4, 40.5f, -40.5f);
  // A text taken from the table itself, whose arena grows under it.
  table.set_name(5, table.name(1));
  EXPECT_EQ(table.record(3), poi(3.0f, -3.0f, "renamed", ", i3"));
  EXPECT_EQ(table.record(2), poi(2.0f, -2.0f, "n2", "; other"));
  EXPECT_EQ(table.record(4), poi(40.5f, -40.5f, "n4", ", i4"));
  EXPECT_EQ(table.record(5), poi(5.0f, -5.0f, "n1", ", i5"));
  EXPECT_EQ(table.record(1), poi(1.0f, -1.0f, "n1", ", i1"));
}

TEST(compact_table_test, holds_an_entry_in_far_fewer_bytes_than_a_record) {
  constexpr int kEntries = 100'000;
  CompactTable table;
  table.reserve(kEntries, kEntries * 24);
  for (int k = 0; k < kEntries; ++k)
    ASSERT_TRUE(table.append(0.001f * static_cast<float>(k), 1.0f,
                             "Fuel station " + std::to_string(k), ", 24h"));
  EXPECT_EQ(table.size(), kEntries);
  // 32 bytes an entry and its 22 or so bytes of text, against 264.
  EXPECT_LT(table.memory_bytes(), static_cast<std::size_t>(kEntries) * 58);
  EXPECT_EQ(table.name(kEntries), "Fuel station " + std::to_string(kEntries - 1));
}

struct FileCase {
  std::string label;
  std::string file;
};

void PrintTo(const FileCase& row, std::ostream* out) {
  *out << row.label;
}

class compact_table_limit_test : public ::testing::TestWithParam<FileCase> {};

// A limit counts the entries already in the table: a file read after
// another fills the room left.
TEST_P(compact_table_limit_test, ends_the_read_with_the_storage_limit_when_the_table_is_full) {
  const std::string path = testing::data_path(GetParam().file);
  CompactTable table;
  table.append_comment("; before");
  const ReadResult result =
      path.ends_with(".ov2") ? read_ov2_file(path, table, 11) : read_text_poi_file(path, table, 11);
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::storage_limit);
  EXPECT_EQ(result.count, 10);
  EXPECT_EQ(table.size(), 11);
}

INSTANTIATE_TEST_SUITE_P(files, compact_table_limit_test,
                         ::testing::Values(FileCase{"text", "master_50k.asc"},
                                           FileCase{"overlay", "master_50k.ov2"}),
                         testing::LabelName{});

// Going back to a mark drops what was appended since and the texts stored
// since; an entry changed after the mark comes back whole from its saved copy.
TEST(compact_table_mark_test, rolls_back_appends_and_restores_changed_entries) {
  CompactTable table;
  table.append(1.5, 2.5, "First", ", one");
  table.append(3.25, 4.75, "Second", ", two");
  const CompactTable::Entry saved = table.entry(1);
  const CompactTable::Mark mark = table.mark();
  table.set_name(1, "Renamed at length " + std::string(300, 'x'));
  table.set_position(1, 9.0, 9.0);
  table.append(5.0, 6.0, "Third", "");
  table.restore(1, saved);
  table.roll_back(mark);
  ASSERT_EQ(table.size(), 2);
  EXPECT_EQ(table.name(1), "First");
  EXPECT_EQ(table.information(1), ", one");
  EXPECT_EQ(table.exact_longitude(1), 1.5);
  EXPECT_EQ(table.name(2), "Second");
  table.append(7.0, 8.0, "Fourth", "");
  EXPECT_EQ(table.name(3), "Fourth");
  EXPECT_EQ(table.name(2), "Second");
}

// Positions are kept as read; the float of each is what matching and the
// text and OV2 forms use.
TEST(compact_table_position_test, keeps_the_position_as_read_and_gives_its_float) {
  CompactTable table;
  table.append(4.123456789012, -33.987654321098, "Precise", "");
  EXPECT_EQ(table.exact_longitude(1), 4.123456789012);
  EXPECT_EQ(table.exact_latitude(1), -33.987654321098);
  EXPECT_EQ(table.longitude(1), 4.123456789012f);
  EXPECT_EQ(table.latitude(1), -33.987654321098f);
  table.append_entry(table, 1);
  EXPECT_EQ(table.exact_longitude(2), 4.123456789012);
  EXPECT_EQ(table.name(2), "Precise");
}

}  // namespace
}  // namespace pinwright::poi
