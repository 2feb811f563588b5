// A written OV2 Output gets a symbol bitmap of its own name, as in the window.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch/runs.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::batch {
namespace {

namespace fs = std::filesystem;

inline constexpr std::string_view kBeside = "BM beside the Output";
inline constexpr std::string_view kShipped = "BM shipped with the program";
inline constexpr std::string_view kOwn = "BM the Output's own";

struct SymbolCase {
  std::string label;
  std::string output;         // in the Output folder
  bool beside = false;        // default_symbol.bmp in the Output folder
  bool own = false;           // the Output's symbol is there already
  bool bad_input = false;     // the run fails
  std::string_view expected;  // the Output's symbol afterwards; empty: none
};

void PrintTo(const SymbolCase& row, std::ostream* out) {
  *out << row.label;
}

class batch_symbol_test : public ::testing::TestWithParam<SymbolCase> {};

TEST_P(batch_symbol_test, gives_the_output_the_windows_symbol) {
  const SymbolCase& row = GetParam();
  testing::TempDir program;
  testing::TempDir folder;
  program.write("REZ_default_symbol.bmp", kShipped);
  if (row.beside) folder.write("default_symbol.bmp", kBeside);
  const std::string symbol = folder.file("fuel.bmp");
  if (row.own) folder.write("fuel.bmp", kOwn);
  Command command;
  command.subcommand = Subcommand::convert;
  command.input = folder.write("in.asc", row.bad_input ? "not a line\n" : " 4.9, 52.4, \"Dam\"\n");
  command.output = folder.file(row.output);
  command.program_dir = program.path().string() + "/";
  Progress progress(false);
  const RunResult result = run_command(command, progress);
  EXPECT_EQ(result.status, row.bad_input ? ExitStatus::bad_input : ExitStatus::success);
  if (row.expected.empty()) {
    EXPECT_FALSE(fs::exists(symbol));
  } else {
    ASSERT_TRUE(fs::exists(symbol));
    EXPECT_EQ(testing::read_file(symbol), row.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    cases, batch_symbol_test,
    ::testing::Values(SymbolCase{"shipped", "fuel.ov2", false, false, false, kShipped},
                      SymbolCase{"beside first", "fuel.ov2", true, false, false, kBeside},
                      SymbolCase{"own kept", "fuel.ov2", true, true, false, kOwn},
                      SymbolCase{"second dot", "fuel.old.ov2", false, false, false, kShipped},
                      SymbolCase{"text output", "fuel.asc", true, false, false, ""},
                      SymbolCase{"failed run", "fuel.ov2", true, false, true, ""}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::batch
