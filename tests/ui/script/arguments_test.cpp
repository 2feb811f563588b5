#include "ui/script/arguments.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::ui::script {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

TEST(parse_arguments_test, takes_options_around_the_script) {
  const auto parsed =
      parse_arguments({"--today", "2026-12-07", "run.txt", "--program-dir", "prog"});
  ASSERT_TRUE(parsed.arguments) << parsed.error;
  EXPECT_EQ(parsed.arguments->script_path, "run.txt");
  EXPECT_EQ(parsed.arguments->program_dir, "prog/");
  EXPECT_EQ(parsed.arguments->today, (std::chrono::year_month_day{year{2026}, month{12}, day{7}}));

  const auto plain = parse_arguments({"s"});
  ASSERT_TRUE(plain.arguments);
  EXPECT_FALSE(plain.arguments->program_dir);
  EXPECT_FALSE(plain.arguments->today);

  const auto slash = parse_arguments({"--program-dir", "/opt/pw/", "s"});
  ASSERT_TRUE(slash.arguments);
  EXPECT_EQ(slash.arguments->program_dir, "/opt/pw/");
}

TEST(parse_arguments_test, version_needs_no_script_but_sound_arguments) {
  const auto alone = parse_arguments({"--version"});
  ASSERT_TRUE(alone.arguments) << alone.error;
  EXPECT_TRUE(alone.arguments->version);
  EXPECT_EQ(alone.arguments->script_path, "");

  const auto with_script = parse_arguments({"s", "--version"});
  ASSERT_TRUE(with_script.arguments) << with_script.error;
  EXPECT_TRUE(with_script.arguments->version);

  EXPECT_FALSE(parse_arguments({"s"}).arguments->version);
  EXPECT_EQ(parse_arguments({"--version", "--verbose"}).error, "unknown option --verbose");
  EXPECT_EQ(parse_arguments({"--version", "--today", "2026-02-30"}).error,
            "--today takes a date YYYY-MM-DD, not \"2026-02-30\"");
}

struct BadArguments {
  const char* label;
  std::vector<std::string_view> args;
  std::string error;
};

void PrintTo(const BadArguments& row, std::ostream* out) {
  testing::print_row(out, row.label, row.args, row.error);
}

class parse_arguments_error_test : public ::testing::TestWithParam<BadArguments> {};

TEST_P(parse_arguments_error_test, says_what_is_wrong) {
  const auto parsed = parse_arguments(GetParam().args);
  EXPECT_FALSE(parsed.arguments);
  EXPECT_EQ(parsed.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    cases, parse_arguments_error_test,
    ::testing::Values(
        BadArguments{"nothing", {}, "no SCRIPT given"},
        BadArguments{"two_scripts", {"a", "b"}, "more than one SCRIPT"},
        BadArguments{"empty_script", {""}, "the SCRIPT name is empty"},
        BadArguments{"unknown_option", {"--verbose", "a"}, "unknown option --verbose"},
        BadArguments{"dir_without_value", {"a", "--program-dir"}, "--program-dir needs a value"},
        BadArguments{"dir_empty", {"--program-dir", "", "a"}, "--program-dir needs a folder"},
        BadArguments{"dir_twice",
                     {"--program-dir", "x", "--program-dir", "y", "a"},
                     "--program-dir given twice"},
        BadArguments{"today_without_value", {"a", "--today"}, "--today needs a value"},
        BadArguments{"today_twice",
                     {"--today", "2026-01-01", "--today", "2026-01-02", "a"},
                     "--today given twice"},
        BadArguments{"today_not_a_date",
                     {"--today", "2026-02-30", "a"},
                     "--today takes a date YYYY-MM-DD, not \"2026-02-30\""},
        // The option swallows the script name as its value: no SCRIPT remains.
        BadArguments{"script_taken_as_dir", {"--program-dir", "a"}, "no SCRIPT given"}),
    testing::LabelName{});

struct DateCase {
  const char* label;
  const char* text;
  bool valid;
};

void PrintTo(const DateCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.text, row.valid);
}

class parse_date_test : public ::testing::TestWithParam<DateCase> {};

TEST_P(parse_date_test, accepts_only_real_days_in_the_fixed_form) {
  EXPECT_EQ(parse_date(GetParam().text).has_value(), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(cases, parse_date_test,
                         ::testing::Values(DateCase{"valid_day", "2026-12-07", true},
                                           DateCase{"leap_day", "2024-02-29", true},
                                           DateCase{"no_leap_day", "2025-02-29", false},
                                           DateCase{"month_13", "2026-13-01", false},
                                           DateCase{"month_0", "2026-00-10", false},
                                           DateCase{"one_digit_month", "2026-1-07", false},
                                           DateCase{"slashes", "2026/12/07", false},
                                           DateCase{"letter_after_day", "2026-12-07x", false},
                                           DateCase{"sign_in_year", "+026-12-07", false},
                                           DateCase{"sign_in_day", "2026-12--7", false},
                                           DateCase{"empty", "", false}),
                         testing::LabelName{});

}  // namespace
}  // namespace pinwright::ui::script
