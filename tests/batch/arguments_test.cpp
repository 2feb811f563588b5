#include "batch/arguments.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::batch {
namespace {

TEST(parse_command_line_test, reads_every_option_of_dedupe) {
  const auto parsed =
      parse_command_line({"dedupe", "in.ov2", "-o", "out.asc", "--radius", "12.5", "--delete",
                          "below-1m", "--exclusions", "circles.asc", "--excluded", "gone.asc",
                          "--report", "pairs.csv", "--quiet", "--summary-json", "s.json"});
  ASSERT_TRUE(parsed.command) << parsed.err;
  const Command& c = *parsed.command;
  EXPECT_EQ(c.subcommand, Subcommand::dedupe);
  EXPECT_EQ(c.input, "in.ov2");
  EXPECT_EQ(c.output, "out.asc");
  EXPECT_FLOAT_EQ(c.radius, 12.5f);
  EXPECT_EQ(c.delete_rule, DeleteRule::below_one_metre);
  EXPECT_EQ(c.exclusions.kind, ExclusionsChoice::Kind::file);
  EXPECT_EQ(c.exclusions.path, "circles.asc");
  EXPECT_EQ(c.excluded_path, "gone.asc");
  EXPECT_EQ(c.report_path, "pairs.csv");
  EXPECT_TRUE(c.quiet);
  EXPECT_EQ(c.summary_json_path, "s.json");
}

TEST(parse_command_line_test, reads_the_name_rule_and_keep_of_both_runs) {
  const auto dedupe = parse_command_line({"dedupe", "in.asc", "-o", "out.asc", "--names", "similar",
                                          "--name-similarity", "0.9", "--keep", "first"});
  ASSERT_TRUE(dedupe.command) << dedupe.err;
  EXPECT_EQ(dedupe.command->names.rule, engine::NameRule::similar);
  EXPECT_EQ(dedupe.command->names.threshold, 0.9);
  EXPECT_EQ(dedupe.command->keep, KeepRule::first);
  const auto update =
      parse_command_line({"update", "m.asc", "u.asc", "-o", "out.asc", "--names", "same"});
  ASSERT_TRUE(update.command) << update.err;
  EXPECT_EQ(update.command->names.rule, engine::NameRule::same);
  EXPECT_EQ(update.command->names.threshold, names::kDefaultThreshold);
  EXPECT_EQ(update.command->keep, KeepRule::last);
}

TEST(parse_command_line_test, input_format_once_for_each_input_in_order) {
  const auto parsed = parse_command_line({"update", "track.gpx", "table.csv", "-o", "o.asc",
                                          "--input-format", "auto", "--input-format", "CSV"});
  ASSERT_TRUE(parsed.command) << parsed.err;
  EXPECT_EQ(parsed.command->formats.input_formats, (std::vector<std::string>{"auto", "CSV"}));
}

TEST(parse_command_line_test, every_subcommand_lists_the_options_all_take) {
  for (const char* subcommand : {"dedupe", "update", "convert"}) {
    const auto parsed = parse_command_line({subcommand, "--help"});
    for (const char* option : {"--quiet", "--summary-json", "--input-format", "--output-format",
                               "--name-field", "--points"})
      EXPECT_NE(parsed.out.find(option), std::string::npos) << subcommand << " " << option;
  }
}

TEST(parse_command_line_test, update_takes_the_master_then_the_updates_in_order) {
  const auto parsed =
      parse_command_line({"update", "m.asc", "u1.asc", "u2.ov2", "-o", "o.asc", "--on-match",
                          "both", "--below-1m", "as-on-match", "--added-only"});
  ASSERT_TRUE(parsed.command) << parsed.err;
  const Command& c = *parsed.command;
  EXPECT_EQ(c.input, "m.asc");
  EXPECT_EQ(c.updates, (std::vector<std::string>{"u1.asc", "u2.ov2"}));
  EXPECT_EQ(c.on_match, OnMatch::both);
  EXPECT_EQ(c.below_one_metre, BelowOneMetre::as_on_match);
  EXPECT_TRUE(c.added_only);
}

TEST(parse_command_line_test, defaults_are_those_of_the_window_with_every_match_settled) {
  const auto parsed = parse_command_line({"dedupe", "in.asc", "-o", "out.asc"});
  ASSERT_TRUE(parsed.command) << parsed.err;
  EXPECT_FLOAT_EQ(parsed.command->radius, 20.0f);
  EXPECT_EQ(parsed.command->delete_rule, DeleteRule::within_radius);
  EXPECT_EQ(parsed.command->exclusions.kind, ExclusionsChoice::Kind::automatic);
  EXPECT_FALSE(parsed.command->quiet);
  const auto update = parse_command_line({"update", "m", "u", "-o", "o"});
  ASSERT_TRUE(update.command) << update.err;
  EXPECT_EQ(update.command->on_match, OnMatch::skip);
  EXPECT_EQ(update.command->below_one_metre, BelowOneMetre::skip);
  EXPECT_FALSE(update.command->added_only);
}

TEST(parse_command_line_test, vector_format_options_reach_every_subcommand) {
  for (const std::vector<std::string>& start : {std::vector<std::string>{"convert", "in.csv"},
                                                {"dedupe", "in.csv"},
                                                {"update", "m.csv", "u.csv"}}) {
    std::vector<std::string> args = start;
    args.insert(args.end(), {"-o", "out.x", "--input-format", "CSV", "--output-format", "GPKG",
                             "--name-field", "title", "--info-field", "notes", "--x-field", "e",
                             "--y-field", "n", "--points", "tracks"});
    const auto parsed = parse_command_line(args);
    ASSERT_TRUE(parsed.command) << parsed.err;
    const FormatChoice& f = parsed.command->formats;
    EXPECT_EQ(f.input_formats, std::vector<std::string>{"CSV"});
    EXPECT_EQ(f.output_format, "GPKG");
    EXPECT_EQ(f.name_field, "title");
    EXPECT_EQ(f.info_field, "notes");
    EXPECT_EQ(f.x_field, "e");
    EXPECT_EQ(f.y_field, "n");
    EXPECT_EQ(f.points, GpxChoice::tracks);
  }
  const auto filtered = parse_command_line({"convert", "in.gpkg", "-o", "out.gpx", "--layer",
                                            "cafes", "--layer", "shops", "--all-layers", "--where",
                                            "kind = 'a,b'", "--bbox", "-5.5, 50,  6.25,52.5"});
  ASSERT_TRUE(filtered.command) << filtered.err;
  const FormatChoice& f = filtered.command->formats;
  EXPECT_EQ(f.layers, (std::vector<std::string>{"cafes", "shops"}));
  EXPECT_TRUE(f.all_layers);
  EXPECT_EQ(f.where, "kind = 'a,b'");
  EXPECT_EQ(f.bbox, (FormatChoice::Box{-5.5, 50.0, 6.25, 52.5}));
  const auto plain = parse_command_line({"convert", "a.gpx", "-o", "b.kml"});
  ASSERT_TRUE(plain.command) << plain.err;
  EXPECT_EQ(plain.command->formats.points, GpxChoice::waypoints);
  EXPECT_TRUE(plain.command->formats.input_formats.empty());
  EXPECT_TRUE(plain.command->formats.layers.empty());
  EXPECT_FALSE(plain.command->formats.all_layers);
  EXPECT_FALSE(plain.command->formats.bbox);
}

struct Printed {
  const char* label;
  std::vector<std::string> args;
  const char* starts;  // what standard output starts with
};

void PrintTo(const Printed& row, std::ostream* out) {
  testing::print_row(out, row.label, row.args, row.starts);
}

class parse_command_line_printed_test : public ::testing::TestWithParam<Printed> {};

TEST_P(parse_command_line_printed_test, prints_and_ends_with_success) {
  const auto parsed = parse_command_line(GetParam().args);
  EXPECT_FALSE(parsed.command);
  EXPECT_EQ(parsed.status, ExitStatus::success);
  EXPECT_TRUE(parsed.out.starts_with(GetParam().starts)) << parsed.out;
  EXPECT_EQ(parsed.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    cases, parse_command_line_printed_test,
    ::testing::Values(Printed{"version", {"--version"}, "pinwright-batch 2.3.0\n"},
                      Printed{"help", {"--help"}, "Cleans and merges"},
                      Printed{"dedupe_help", {"dedupe", "--help"}, "remove the duplicates"},
                      Printed{"update_help", {"update", "--help"}, "merge Update files"},
                      Printed{"convert_help", {"convert", "-h"}, "write a POI file"}),
    testing::LabelName{});

struct Bad {
  const char* label;
  std::vector<std::string> args;
  const char* says;  // part of the message
};

void PrintTo(const Bad& row, std::ostream* out) {
  testing::print_row(out, row.label, row.args, row.says);
}

class parse_command_line_error_test : public ::testing::TestWithParam<Bad> {};

TEST_P(parse_command_line_error_test, is_bad_usage_with_a_reason) {
  const auto parsed = parse_command_line(GetParam().args);
  EXPECT_FALSE(parsed.command);
  EXPECT_EQ(parsed.status, ExitStatus::bad_usage);
  EXPECT_TRUE(parsed.err.starts_with("pinwright-batch: ")) << parsed.err;
  EXPECT_NE(parsed.err.find(GetParam().says), std::string::npos) << parsed.err;
  EXPECT_EQ(parsed.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    cases, parse_command_line_error_test,
    ::testing::Values(
        Bad{"nothing", {}, "a subcommand is needed"},
        Bad{"no_output", {"dedupe", "in.asc"}, "--output"},
        Bad{"no_input", {"convert", "-o", "x.asc"}, "INPUT"},
        Bad{"one_file_update", {"update", "m.asc", "-o", "o.asc"}, "MASTER UPDATE"},
        Bad{"radius_word", {"dedupe", "i", "-o", "o", "--radius", "far"}, "--radius"},
        Bad{"radius_negative", {"dedupe", "i", "-o", "o", "--radius", "-3"}, "--radius"},
        Bad{"radius_comma", {"dedupe", "i", "-o", "o", "--radius", "2,5"}, "--radius"},
        Bad{"delete_word", {"dedupe", "i", "-o", "o", "--delete", "all"}, "--delete"},
        Bad{"on_match_word", {"update", "m", "u", "-o", "o", "--on-match", "keep"}, "--on-match"},
        Bad{"names_word", {"dedupe", "i", "-o", "o", "--names", "exact"}, "--names"},
        Bad{"keep_word", {"dedupe", "i", "-o", "o", "--keep", "middle"}, "--keep"},
        Bad{"keep_on_update", {"update", "m", "u", "-o", "o", "--keep", "first"}, "--keep"},
        Bad{"similarity_above_one",
            {"update", "m", "u", "-o", "o", "--name-similarity", "1.01"},
            "--name-similarity takes a number from 0 to 1"},
        Bad{"similarity_negative",
            {"dedupe", "i", "-o", "o", "--name-similarity", "-0.1"},
            "--name-similarity"},
        Bad{"similarity_not_a_number",
            {"dedupe", "i", "-o", "o", "--name-similarity", "nan"},
            "--name-similarity"},
        Bad{"similarity_trailing_text",
            {"dedupe", "i", "-o", "o", "--name-similarity", "0.9x"},
            "--name-similarity"},
        Bad{"dedupe_option_on_update",
            {"update", "m", "u", "-o", "o", "--report", "r"},
            "--report"},
        Bad{"unknown_subcommand", {"merge", "a", "b"}, "merge"},
        Bad{"unknown_input_format",
            {"convert", "i", "-o", "o", "--input-format", "Nope"},
            "no vector format is called \"Nope\""},
        Bad{"raster_output_format",
            {"convert", "i", "-o", "o", "--output-format", "GTiff"},
            "\"GTiff\""},
        Bad{"points_word", {"convert", "i", "-o", "o", "--points", "all"}, "--points"},
        Bad{"formats_neither_one_nor_each",
            {"update", "m", "u1", "u2", "-o", "o", "--input-format", "CSV", "--input-format",
             "GPX"},
            "--input-format is given 2 times for 3 inputs"},
        Bad{"standard_input_twice", {"update", "-", "-", "-o", "o"}, "only once"},
        Bad{"report_to_standard_output",
            {"dedupe", "i", "-o", "o", "--report", "-"},
            "--report takes a file"},
        Bad{"summary_to_standard_output",
            {"convert", "i", "-o", "-", "--summary-json", "-"},
            "--summary-json takes a file"},
        Bad{"excluded_list_named_as_gpx",
            {"dedupe", "i", "-o", "o", "--excluded", "gone.gpx"},
            "--excluded gone.gpx: the list is written as text"},
        Bad{"report_named_as_ov2",
            {"dedupe", "i", "-o", "o", "--report", "pairs.OV2"},
            "--report pairs.OV2"},
        Bad{"bbox_three_numbers", {"convert", "i", "-o", "o", "--bbox", "1,2,3"}, "--bbox"},
        Bad{"bbox_five_numbers", {"convert", "i", "-o", "o", "--bbox", "1,2,3,4,5"}, "--bbox"},
        Bad{"bbox_word", {"convert", "i", "-o", "o", "--bbox", "1,2,east,4"}, "--bbox"},
        Bad{"bbox_west_beyond_east", {"convert", "i", "-o", "o", "--bbox", "10,2,3,4"}, "--bbox"},
        Bad{"bbox_south_beyond_north", {"convert", "i", "-o", "o", "--bbox", "1,5,3,4"}, "--bbox"},
        Bad{"bbox_beyond_the_pole", {"convert", "i", "-o", "o", "--bbox", "1,2,3,91"}, "--bbox"},
        Bad{"bbox_not_a_number", {"convert", "i", "-o", "o", "--bbox", "1,2,3,nan"}, "--bbox"}),
    testing::LabelName{});

}  // namespace
}  // namespace pinwright::batch
