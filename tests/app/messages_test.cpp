// How the window words what a reader could not read: the title and the text
// of its box. The common refusals are tested end to end with the slots.
#include "app/messages.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/test_names.hpp"

namespace pinwright::app {
namespace {

using Kind = poi::ReadFailure::Kind;

struct FailureCase {
  const char* label;
  poi::ReadFailure failure;
  poi::FileKind file_kind;
  poi::Slot slot;
  const char* title;
  std::string text;  // the file's path is "/in/FILE"
};

void PrintTo(const FailureCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.title, row.text);
}

class read_failure_box_test : public ::testing::TestWithParam<FailureCase> {};

TEST_P(read_failure_box_test, titles_and_words_the_failure) {
  const FailureCase& row = GetParam();
  poi::FileSlot file;
  file.path = "/in/FILE";
  file.kind = row.file_kind;
  EXPECT_EQ(read_failure_title(row.failure), row.title);
  EXPECT_EQ(read_failure_text(row.failure, file, row.slot), row.text);
}

const std::string kNotLoaded = "\rThe file /in/FILE was not loaded.";
const std::string kNoLimit = "\rpinwright-batch has no such limit.";

poi::ReadFailure unsupported(int type) {
  return {.kind = Kind::unsupported_record, .where = 18, .record_type = type};
}

// Built in functions rather than inline in the table: GCC 12 at -O3 warns
// that a braced ReadFailure's string may be used uninitialised there.
poi::ReadFailure failure(Kind kind, std::int64_t where, std::int64_t limit) {
  return {.kind = kind, .where = where, .limit = limit};
}

std::string unsupported_text(const char* shown) {
  return std::string("Unsupported record type:") + shown +
         "\rPlease inform the author\rByte offset 18" + kNotLoaded;
}

const auto ov2 = poi::FileKind::ov2;
const auto master = poi::Slot::master;
const auto update = poi::Slot::update;

INSTANTIATE_TEST_SUITE_P(
    failures, read_failure_box_test,
    ::testing::Values(
        // The record type in two columns; a type that does not fit shows stars.
        FailureCase{"type_7", unsupported(7), ov2, master, "Pinlayer Error",
                    unsupported_text(" 7")},
        FailureCase{"type_12", unsupported(12), ov2, master, "Pinlayer Error",
                    unsupported_text("12")},
        FailureCase{"type_minus_1", unsupported(-1), ov2, update, "Pinlayer Error",
                    unsupported_text("-1")},
        FailureCase{"type_minus_56", unsupported(-56), ov2, master, "Pinlayer Error",
                    unsupported_text("**")},
        FailureCase{"type_100", unsupported(100), ov2, master, "Pinlayer Error",
                    unsupported_text("**")},
        FailureCase{"damaged", failure(Kind::damaged, 15, 0), ov2, master, "Pinlayer Error",
                    "The overlay file is damaged: the record at byte 15\rruns past the end of the "
                    "file.\rThe file was not loaded."},
        // An overlay file names the table's size (the Master's is tested end to end).
        FailureCase{"ov2_update_full", failure(Kind::storage_limit, 0, 30'000), ov2, update,
                    "Storage limit",
                    "Too many POI entries in file.\rMaximum is 30000" + kNotLoaded + kNoLimit},
        FailureCase{"missing", failure(Kind::open_failed, 0, 0), poi::FileKind::text, master,
                    "File Open Conflict",
                    std::string(kFileOpenConflictText) + "\r/in/FILE: no such file"}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::app
