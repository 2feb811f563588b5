#include "poi/symbol.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

struct CandidateCase {
  const char* path;
  const char* expected;
};

void PrintTo(const CandidateCase& row, std::ostream* out) {
  testing::print_row(out, row.path, row.expected);
}

class symbol_candidate_test : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(symbol_candidate_test, first_dot_of_the_file_name) {
  EXPECT_EQ(symbol_candidate(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(paths, symbol_candidate_test,
                         ::testing::Values(CandidateCase{"/maps/fuel.ov2", "/maps/fuel.bmp"},
                                           CandidateCase{"/maps/fuel.old.ov2", "/maps/fuel.bmp"},
                                           CandidateCase{"/my.maps/fuel.ov2", "/my.maps/fuel.bmp"},
                                           CandidateCase{"/my.maps/fuel", "/my.maps/fuel.bmp"},
                                           CandidateCase{"fuel.OV2", "fuel.bmp"}),
                         [](const auto& info) { return testing::test_name(info.param.path); });

struct DefaultCase {
  std::string label;
  bool beside = false;   // default_symbol.bmp in the Output's folder
  bool shipped = false;  // REZ_default_symbol.bmp in the program's folder
  std::string expected;  // which one is copied; empty: none
};

void PrintTo(const DefaultCase& row, std::ostream* out) {
  *out << row.label;
}

class default_symbol_test : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(default_symbol_test, the_outputs_folder_before_the_programs) {
  const DefaultCase& row = GetParam();
  testing::TempDir output_folder;
  testing::TempDir program_folder;
  if (row.beside) output_folder.write(kDefaultSymbolName, "beside");
  if (row.shipped) program_folder.write(kShippedSymbolName, "shipped");
  const std::string source =
      default_symbol(output_folder.file("fuel.bmp"), program_folder.path().string() + "/");
  if (row.expected.empty()) {
    EXPECT_EQ(source, "");
  } else {
    ASSERT_NE(source, "");
    EXPECT_EQ(testing::read_file(source), row.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(folders, default_symbol_test,
                         ::testing::Values(DefaultCase{"both", true, true, "beside"},
                                           DefaultCase{"beside only", true, false, "beside"},
                                           DefaultCase{"shipped only", false, true, "shipped"},
                                           DefaultCase{"neither", false, false, ""}),
                         testing::LabelName{});

}  // namespace
}  // namespace pinwright::poi
