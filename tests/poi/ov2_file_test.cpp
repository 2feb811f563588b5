#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/ov2_bytes.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

using testing::read_file;
using testing::TempDir;

// Short names for the record builders.
constexpr auto poi_record = testing::ov2_poi;
constexpr auto deleted = testing::ov2_deleted;
constexpr auto skipper = testing::ov2_skipper;
std::string simple(std::int32_t lon, std::int32_t lat, std::string_view name) {
  return testing::ov2_named(lon, lat, name);
}

class ov2_reader_test : public ::testing::Test {
 protected:
  ReadResult read(std::string_view bytes) {
    table = CompactTable();
    return read_ov2_file(dir.write("in.ov2", bytes), table, 50'000);
  }
  TempDir dir;
  CompactTable table;
};

TEST_F(ov2_reader_test, loads_types_2_and_3_in_file_order) {
  const std::string bytes = deleted(10, "12345") + simple(489000, 5237000, "Central") + skipper() +
                            poi_record(3, 17, -12241942, 3777493, std::string("Pie\0", 4)) +
                            deleted(3, "") + simple(0, 0, "Last");
  const ReadResult result = read(bytes);
  ASSERT_FALSE(result.failure);
  ASSERT_EQ(result.count, 3);
  EXPECT_EQ(result.comment_count, 0);
  EXPECT_EQ(table.name_field(1), "Central");
  EXPECT_EQ(table.longitude(1), 4.89f);
  EXPECT_EQ(table.latitude(1), 52.37f);
  EXPECT_TRUE(table.information_field(1).empty());
  EXPECT_EQ(table.name_field(2), "Pie");
  EXPECT_EQ(table.longitude(2), -122.41942f);
  EXPECT_EQ(table.name_field(3), "Last");
}

TEST_F(ov2_reader_test, short_lengths_mean_no_text) {
  const std::string bytes = poi_record(2, 14, 1, 2, std::string(1, '\0')) +  // empty name
                            poi_record(2, 13, 3, 4, "") + poi_record(2, 0, 5, 6, "") +
                            poi_record(2, -7, 7, 8, "") + simple(9, 10, "After");
  const ReadResult result = read(bytes);
  ASSERT_FALSE(result.failure);
  ASSERT_EQ(result.count, 5);
  EXPECT_TRUE(table.name_field(1).empty());
  EXPECT_TRUE(table.name_field(4).empty());
  EXPECT_EQ(table.name_field(5), "After");
}

TEST_F(ov2_reader_test, long_names_are_cut_and_the_next_record_is_read) {
  const ReadResult result = read(simple(1, 2, std::string(200, 'L')) + simple(3, 4, "Next") +
                                 poi_record(2, 13 + 10'000, 5, 6, std::string(10'000, 'N')));
  ASSERT_FALSE(result.failure);
  ASSERT_EQ(result.count, 3);
  EXPECT_EQ(table.name_field(1), std::string(128, 'L'));
  EXPECT_EQ(table.name_field(2), "Next");
  EXPECT_EQ(table.name_field(3), std::string(128, 'N'));
}

TEST_F(ov2_reader_test, an_empty_file_loads_nothing) {
  const ReadResult result = read("");
  EXPECT_FALSE(result.failure);
  EXPECT_EQ(result.count, 0);
}

class ov2_unsupported_test : public ::testing::TestWithParam<int> {};

TEST_P(ov2_unsupported_test, stops_with_the_record_type) {
  TempDir dir;
  CompactTable table;
  const std::string bytes = simple(1, 2, "Kept") + std::string(1, static_cast<char>(GetParam())) +
                            "garbage" + simple(3, 4, "Never");
  const ReadResult result = read_ov2_file(dir.write("t.ov2", bytes), table, 10);
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::unsupported_record);
  EXPECT_EQ(result.failure->record_type, GetParam());
  EXPECT_EQ(result.failure->where, 18);
  EXPECT_EQ(result.count, 1);
}

INSTANTIATE_TEST_SUITE_P(types, ov2_unsupported_test, ::testing::Values(7, 4, 12, 99, -1, -56, 100),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return testing::test_name("type " + std::to_string(info.param));
                         });

class ov2_capacity_test : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ov2_capacity_test, exactly_full_loads_one_more_is_the_storage_limit) {
  TempDir dir;
  CompactTable table;
  std::string bytes;
  for (std::int32_t i = 0; i < GetParam(); ++i) bytes += simple(i, i, "P") + skipper();
  ReadResult result = read_ov2_file(dir.write("full.ov2", bytes), table, GetParam());
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(result.count, GetParam());

  CompactTable again;
  result =
      read_ov2_file(dir.write("over.ov2", bytes + simple(1, 1, "One more")), again, GetParam());
  ASSERT_TRUE(result.failure);
  EXPECT_EQ(result.failure->kind, ReadFailure::Kind::storage_limit);
  EXPECT_EQ(result.failure->limit, GetParam());
  EXPECT_EQ(result.failure->where, static_cast<std::int64_t>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(tables, ov2_capacity_test, ::testing::Values(50'000, 30'000),
                         [](const ::testing::TestParamInfo<std::int32_t>& info) {
                           return "capacity_" + std::to_string(info.param);
                         });

TEST_F(ov2_reader_test, a_file_cut_at_any_byte_of_a_record_is_damaged_not_a_crash) {
  const std::string whole = simple(1, 2, "First") + deleted(12, "1234567") + skipper() +
                            simple(489000, 5237000, "Central Station");
  // Record boundaries: 19 (after "First"), 31 (deleted), 52 (skipper).
  for (std::size_t cut = 20; cut < whole.size(); ++cut) {
    if (cut == 31 || cut == 52) continue;
    const ReadResult result = read(whole.substr(0, cut));
    ASSERT_TRUE(result.failure) << "cut at " << cut;
    EXPECT_EQ(result.failure->kind, ReadFailure::Kind::damaged) << "cut at " << cut;
  }
}

TEST_F(ov2_reader_test, huge_length_fields_are_damaged_without_allocating_them) {
  for (const std::int32_t length : {INT32_MAX, 2'000'000'000, 1'000'000}) {
    const ReadResult text_past_end = read(simple(1, 2, "A") + poi_record(2, length, 3, 4, "xx"));
    ASSERT_TRUE(text_past_end.failure);
    EXPECT_EQ(text_past_end.failure->kind, ReadFailure::Kind::damaged);
    EXPECT_EQ(text_past_end.failure->where, 15);
    const ReadResult skip_past_end = read(deleted(length, "abc"));
    ASSERT_TRUE(skip_past_end.failure);
    EXPECT_EQ(skip_past_end.failure->kind, ReadFailure::Kind::damaged);
  }
  // A negative length is legal: no text bytes.
  const ReadResult negative = read(deleted(INT32_MIN, "") + simple(1, 2, "B"));
  ASSERT_FALSE(negative.failure);
  EXPECT_EQ(negative.count, 1);
}

TEST(ov2_conversion_test, the_4_89_case_round_trips) {
  EXPECT_EQ(to_ov2_units(4.89f), 489000);  // 4.8899998664... x 100000 rounds up
  EXPECT_EQ(from_ov2_units(489000), 4.89f);
  EXPECT_EQ(to_ov2_units(from_ov2_units(489000)), 489000);
}

TEST(ov2_conversion_test, halves_round_away_from_zero) {
  EXPECT_EQ(to_ov2_units(0.015625f), 1563);  // exactly 1562.5
  EXPECT_EQ(to_ov2_units(-0.015625f), -1563);
  EXPECT_EQ(to_ov2_units(0.0f), 0);
  EXPECT_EQ(to_ov2_units(-180.0f), -18000000);
  EXPECT_EQ(to_ov2_units(1e30f), INT32_MAX);
  EXPECT_EQ(to_ov2_units(-1e30f), INT32_MIN);
}

// Below 128 degrees a float resolves every 1e-5 step; beyond, its spacing is
// 1.5e-5 degrees and neighbouring units can share a float.
TEST(ov2_conversion_test, every_whole_unit_below_128_degrees_round_trips) {
  for (std::int32_t units = -12'799'999; units <= 12'799'999; units += 997) {
    ASSERT_EQ(to_ov2_units(from_ov2_units(units)), units) << units;
  }
}

TEST(ov2_writer_test, writes_type_2_records_without_comments_or_information) {
  TempDir dir;
  CompactTable table;
  PoiRecord poi;
  poi.longitude = 4.89f;
  poi.latitude = 52.37f;
  poi.name.assign("Central  ");
  poi.information.assign(", lost");
  table.append_comment("; dropped");
  table.append(poi);
  poi.name.assign("");
  poi.longitude = -0.5f;
  table.append(poi);
  ASSERT_TRUE(write_ov2_file(dir.file("out.ov2"), table, entry_range(1, table.size())));
  EXPECT_EQ(read_file(dir.file("out.ov2")),
            simple(489000, 5237000, "Central") + simple(-50000, 5237000, ""));
  EXPECT_EQ(ov2_record(poi).size(), 14u);
}

TEST(ov2_writer_test, reports_a_write_that_fails) {
  CompactTable table;
  EXPECT_FALSE(write_ov2_file("/nonexistent-folder/out.ov2", table, {}));
  table.append(PoiRecord{});
  EXPECT_FALSE(write_ov2_file("/dev/full", table, entry_range(1, 1)));
}

}  // namespace
}  // namespace pinwright::poi
