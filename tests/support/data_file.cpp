#include "tests/support/data_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace pinwright::testing {

std::string data_path(std::string_view name) {
  return std::string(PINWRIGHT_TEST_DATA_DIR) + "/" + std::string(name);
}

std::string data_file(std::string_view name) {
  std::string path = data_path(name);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    ADD_FAILURE() << "test data file missing: " << path;
  }
  return path;
}

}  // namespace pinwright::testing
