#include "ui/script/arguments.hpp"

#include <CLI/CLI.hpp>

#include <charconv>
#include <utility>

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
  // Every option is collected however often it is given, and unknown ones
  // are kept, so that each mistake is told in the program's own words.
  CLI::App app{"", "pinwright-script"};
  app.set_help_flag();
  app.allow_extras();
  int version = 0;
  std::vector<std::string> dirs;
  std::vector<std::string> days;
  std::vector<std::string> scripts;
  app.add_flag("--version", version);
  for (auto [name, values] : {std::pair{"--program-dir", &dirs}, {"--today", &days}}) {
    app.add_option(name, *values)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  }
  app.add_option("SCRIPT", scripts);
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch& error) {
    // Only an option left without its value: "--today: 1 required ...".
    const std::string_view what = error.what();
    return failure(std::string(what.substr(0, what.find(':'))) + " needs a value");
  } catch (const CLI::ParseError& error) {
    return failure(error.what());
  }
  for (const std::string& extra : app.remaining()) {
    // A single dash starts no option here: such a word names the script.
    if (extra.starts_with("--")) return failure("unknown option " + extra);
    scripts.push_back(extra);
  }

  Arguments arguments;
  arguments.version = version > 0;
  if (dirs.size() > 1) return failure("--program-dir given twice");
  if (!dirs.empty()) {
    if (dirs.front().empty()) return failure("--program-dir needs a folder");
    std::string dir = dirs.front();
    if (!dir.ends_with('/')) dir += '/';
    arguments.program_dir = std::move(dir);
  }
  if (days.size() > 1) return failure("--today given twice");
  if (!days.empty()) {
    arguments.today = parse_date(days.front());
    if (!arguments.today)
      return failure("--today takes a date YYYY-MM-DD, not \"" + days.front() + "\"");
  }
  if (scripts.size() > 1) return failure("more than one SCRIPT");
  if (scripts.empty()) {
    if (!arguments.version) return failure("no SCRIPT given");
  } else {
    if (scripts.front().empty()) return failure("the SCRIPT name is empty");
    arguments.script_path = scripts.front();
  }
  return {std::move(arguments), {}};
}

}  // namespace pinwright::ui::script
