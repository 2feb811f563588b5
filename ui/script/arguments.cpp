#include "ui/script/arguments.hpp"

#include <charconv>

namespace pinwright::ui::script {

namespace {

std::optional<int> digits_value(std::string_view digits) {
  int value = 0;
  if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
  const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (parsed.ec != std::errc{} || parsed.ptr != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::chrono::year_month_day> parse_date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = digits_value(text.substr(0, 4));
  const auto month = digits_value(text.substr(5, 2));
  const auto day = digits_value(text.substr(8, 2));
  if (!year || !month || !day) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{*year},
                                         std::chrono::month{static_cast<unsigned>(*month)},
                                         std::chrono::day{static_cast<unsigned>(*day)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

ArgumentsResult parse_arguments(const std::vector<std::string_view>& args) {
  const auto failure = [](std::string reason) {
    return ArgumentsResult{std::nullopt, std::move(reason)};
  };
  Arguments arguments;
  bool have_script = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--version") {
      arguments.version = true;
    } else if (arg == "--program-dir" || arg == "--today") {
      if (i + 1 >= args.size()) return failure(std::string(arg) + " needs a value");
      const std::string_view value = args[++i];
      if (arg == "--program-dir") {
        if (arguments.program_dir) return failure("--program-dir given twice");
        if (value.empty()) return failure("--program-dir needs a folder");
        std::string dir(value);
        if (!dir.ends_with('/')) dir += '/';
        arguments.program_dir = std::move(dir);
      } else {
        if (arguments.today) return failure("--today given twice");
        arguments.today = parse_date(value);
        if (!arguments.today)
          return failure("--today takes a date YYYY-MM-DD, not \"" + std::string(value) + "\"");
      }
    } else if (arg.starts_with("--")) {
      return failure("unknown option " + std::string(arg));
    } else {
      if (have_script) return failure("more than one SCRIPT");
      if (arg.empty()) return failure("the SCRIPT name is empty");
      arguments.script_path = arg;
      have_script = true;
    }
  }
  if (!have_script && !arguments.version) return failure("no SCRIPT given");
  return {std::move(arguments), {}};
}

}  // namespace pinwright::ui::script
