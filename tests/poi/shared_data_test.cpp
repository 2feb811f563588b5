// The real-world files in tests/data/, read as a user's files would be.
#include <gtest/gtest.h>

#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"
#include "tests/support/data_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace pinwright::poi {
namespace {

using testing::data_file;

TEST(shared_data_test, text_and_ov2_master_hold_the_same_pois) {
  CompactTable text;
  CompactTable ov2;
  const ReadResult from_text = read_text_poi_file(data_file("master_50k.asc"), text, 50'000);
  const ReadResult from_ov2 = read_ov2_file(data_file("master_50k.ov2"), ov2, 50'000);
  ASSERT_FALSE(from_text.failure);
  ASSERT_FALSE(from_ov2.failure);
  EXPECT_EQ(from_text.count, 50'000);
  EXPECT_EQ(from_text.comment_count, 10);
  ASSERT_EQ(from_ov2.count, 49'990);
  std::int32_t k = 0;
  for (std::int32_t i = 1; i <= from_text.count; ++i) {
    if (text.is_comment(i)) continue;
    ++k;
    ASSERT_EQ(text.longitude(i), ov2.longitude(k)) << i;
    ASSERT_EQ(text.latitude(i), ov2.latitude(k)) << i;
    ASSERT_EQ(text.record(i).name, ov2.record(k).name) << i;
  }
  EXPECT_EQ(k, 49'990);
}

TEST(shared_data_test, update_file_fits_the_update_table) {
  CompactTable table;
  const ReadResult result = read_text_poi_file(data_file("update_30k.asc"), table, 30'000);
  ASSERT_FALSE(result.failure);
  EXPECT_EQ(result.count, 30'000);
  EXPECT_EQ(result.count - result.comment_count, 29'995);
}

TEST(shared_data_test, a_written_master_reads_back_record_for_record) {
  testing::TempDir dir;
  CompactTable first;
  const ReadResult read1 = read_text_poi_file(data_file("master_50k.asc"), first, 50'000);
  ASSERT_FALSE(read1.failure);
  OutputFile file(dir.file("out.asc"), OpenMode::truncate);
  write_text_header(file, std::chrono::year{2026} / 12 / 7);
  const LineCounts counts = write_text_records(file, first, entry_range(1, read1.count));
  file.write_line(trailer_line(counts.poi_lines, counts.comment_lines));
  ASSERT_TRUE(file.close());
  EXPECT_EQ(counts.poi_lines, 49'990);

  // Exactly 50,000 records plus the program's own lines still load as a Master file.
  CompactTable second;
  const ReadResult read2 = read_text_poi_file(dir.file("out.asc"), second, 50'000);
  ASSERT_FALSE(read2.failure);
  ASSERT_EQ(read2.count, 50'000);
  for (std::int32_t i = 1; i <= read1.count; ++i) {
    // A blank line comes back as ";"; everything else exactly.
    if (first.is_comment(i) && first.name_field(i).empty()) continue;
    ASSERT_EQ(second.record(i), first.record(i)) << i;
  }
}

}  // namespace
}  // namespace pinwright::poi
