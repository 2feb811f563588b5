// A data file that is not there must fail the test that wants it, by name.
#include "tests/support/data_file.hpp"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace pinwright::testing {
namespace {

TEST(data_file_test, a_missing_file_fails_the_test_naming_its_path) {
  EXPECT_NONFATAL_FAILURE(data_file("demo/no_such_file.asc"),
                          "test data file missing: " PINWRIGHT_TEST_DATA_DIR
                          "/demo/no_such_file.asc");
}

TEST(data_file_test, a_folder_is_no_data_file) {
  EXPECT_NONFATAL_FAILURE(data_file("demo"), "test data file missing");
}

TEST(data_file_test, a_present_file_is_found_in_tests_data) {
  EXPECT_EQ(data_file("exclusions.asc"), PINWRIGHT_TEST_DATA_DIR "/exclusions.asc");
}

}  // namespace
}  // namespace pinwright::testing
