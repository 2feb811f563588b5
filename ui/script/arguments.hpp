#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pinwright::ui::script {

inline constexpr std::string_view kUsage =
    "usage: pinwright-script [--program-dir DIR] [--today YYYY-MM-DD] SCRIPT\n"
    "       pinwright-script --version";

// The command line of pinwright-script.
struct Arguments {
  std::optional<std::string> program_dir;  // ends with '/'
  std::optional<std::chrono::year_month_day> today;
  std::string script_path;  // empty only with `version`
  bool version = false;     // --version: print the version and end
};

struct ArgumentsResult {
  std::optional<Arguments> arguments;
  std::string error;  // set when `arguments` is empty
};

// `args` without the program's own name. Each option at most once, in any
// order around the one SCRIPT, which --version makes optional.
ArgumentsResult parse_arguments(const std::vector<std::string_view>& args);

// A calendar date written YYYY-MM-DD; nothing for any other form or a day
// that does not exist.
std::optional<std::chrono::year_month_day> parse_date(std::string_view text);

}  // namespace pinwright::ui::script
