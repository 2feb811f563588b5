#include "exclusion/exclusions_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/file_slots.hpp"
#include "app/messages.hpp"
#include "app/run_sink.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/paths.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::exclusion {
namespace {

using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;

namespace fs = std::filesystem;

struct Scene {
  RecordingDialog dialog;
  app::Program program;
  TempDir dir;

  // A Master file "pois.asc" whose exclusions file holds `exclusions`.
  void read(std::string_view exclusions, std::string_view name = "pois_x.asc") {
    program.master.path = dir.write("pois.asc", "1, 2, \"a\"\n");
    dir.write(name, exclusions);
    app::read_exclusions_file(program, dialog);
  }
  bool list_exists() const { return fs::exists(dir.file("excluded.asc")); }
  std::int32_t count() const {
    return static_cast<std::int32_t>(program.exclusions.circles.centres.size());
  }
  const Circles::Centre& circle(std::int32_t k) const {
    return program.exclusions.circles.centres[static_cast<std::size_t>(k - 1)];
  }
  // The end of a duplicate run that removed nothing: the excluded list.
  ListWrite finish() {
    app::WindowSink sink(program);
    std::string path;
    return sink.write_excluded(program.exclusions.circles, poi::CompactTable(), {}, path);
  }
};

std::string circle_lines(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "5.1, 52.3, \"c\"\n";
  return lines;
}

struct LookupCase {
  const char* label;
  const char* master;
  std::vector<const char*> present;
  const char* expected;  // empty: none found
};

void PrintTo(const LookupCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.master, row.present, row.expected);
}

class lookup_test : public ::testing::TestWithParam<LookupCase> {};

TEST_P(lookup_test, own_name_before_the_shared_name) {
  TempDir dir;
  fs::create_directory(dir.path() / "my.dir");
  for (const char* name : GetParam().present) dir.write(name, "radius = 5\n");
  const std::string expected = *GetParam().expected ? dir.file(GetParam().expected) : "";
  EXPECT_EQ(find_exclusions_file(dir.file(GetParam().master)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    files, lookup_test,
    ::testing::Values(
        LookupCase{"own_name_before_shared_name",
                   "pois.asc",
                   {"pois_x.asc", "exclusions.asc"},
                   "pois_x.asc"},
        LookupCase{"shared_name_only", "pois.asc", {"exclusions.asc"}, "exclusions.asc"},
        LookupCase{"own_name_only", "pois.asc", {"pois_x.asc"}, "pois_x.asc"},
        LookupCase{"ov2_master", "cameras.ov2", {"cameras_x.asc", "pois_x.asc"}, "cameras_x.asc"},
        LookupCase{"another_files_name", "pois.asc", {"other_x.asc"}, ""},
        LookupCase{"none", "pois.asc", {}, ""},
        LookupCase{"dotted_master_name",
                   "pois.old.asc",
                   {"pois.old_x.asc", "pois_x.asc"},
                   "pois.old_x.asc"},
        LookupCase{
            "dotted_folder_own_name", "my.dir/pois", {"my.dir/pois_x.asc"}, "my.dir/pois_x.asc"},
        LookupCase{"dotted_folder_shared_name",
                   "my.dir/pois",
                   {"my_x.asc", "my.dir/exclusions.asc"},
                   "my.dir/exclusions.asc"}),
    testing::LabelName{});

struct RadiusCase {
  const char* label;
  const char* lines;
  float radius;
};

void PrintTo(const RadiusCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.lines, row.radius);
}

class radius_test : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(radius_test, sets_the_radius_of_all_circles) {
  Scene scene;
  scene.program.exclusions.circles.radius = 77.0f;
  scene.read(std::string(GetParam().lines) + "\n5.12, 52.3\n");
  EXPECT_TRUE(scene.dialog.boxes.empty()) << scene.dialog.boxes.front().title;
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, GetParam().radius) << GetParam().lines;
  EXPECT_EQ(scene.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    lines, radius_test,
    ::testing::Values(RadiusCase{"blanks_around_equals", "radius = 25", 25.0f},
                      RadiusCase{"capitals_without_blanks", "RADIUS=25", 25.0f},
                      RadiusCase{"indented_mixed_case", "   Radius =25", 25.0f},
                      RadiusCase{"decimal", "radius= 12.5", 12.5f},
                      RadiusCase{"exponent", "radius = 2.5E1", 25.0f},
                      RadiusCase{"unit_after_value", "radius = 25 metres", 25.0f},
                      RadiusCase{"word_alone", "radius", 1.0f},
                      RadiusCase{"no_equals_sign", "radius 25", 1.0f},
                      RadiusCase{"no_value", "radius =", 1.0f},
                      RadiusCase{"indented_no_value", "   radius =", 1.0f},
                      RadiusCase{"blanks_for_value", "radius =   ", 1.0f},
                      RadiusCase{"later_word_alone", "radius = 25\nradius", 1.0f},
                      RadiusCase{"later_no_value", "radius = 25\nradius =", 1.0f},
                      RadiusCase{"later_value", "radius = 10\nradius = 30", 30.0f},
                      RadiusCase{"words_before_radius", "Match radius = 40", 40.0f},
                      RadiusCase{"words_before_radius_in_capitals", "  MATCH   RADIUS=40", 40.0f},
                      RadiusCase{"comment_line", "; radius = 9", 1.0f},
                      RadiusCase{"crlf_line_end", "radius = 25\r\n; CRLF lines", 25.0f}),
    testing::LabelName{});

TEST(read_exclusions_test, no_exclusions_file_resets_only_the_circle_count) {
  Scene scene;
  scene.program.master.path = scene.dir.write("pois.asc", "1, 2, \"a\"\n");
  scene.program.exclusions.circles.centres.resize(3);
  app::read_exclusions_file(scene.program, scene.dialog);
  EXPECT_EQ(scene.count(), 0);
  EXPECT_FALSE(scene.list_exists());
  EXPECT_TRUE(scene.dialog.boxes.empty());
}

TEST(read_exclusions_test, without_a_master_file_looks_nowhere) {
  Scene scene;
  scene.program.exclusions.circles.centres.resize(3);
  app::read_exclusions_file(scene.program, scene.dialog);
  EXPECT_EQ(scene.count(), 0);
  EXPECT_TRUE(scene.program.exclusions.circles.path.empty());
}

TEST(read_exclusions_test, circle_lines_in_every_spelling_give_the_same_circle) {
  Scene scene;
  scene.read(
      "; comment\n   ; indented comment\n5.12, 52.3\n5.12 52.3\n5.12 ,52.3, \"Town hall\"\n"
      "  5.12   52.3 \"quoted\", more\n+5.12e0,5.23E1\n");
  EXPECT_TRUE(scene.dialog.boxes.empty());
  ASSERT_EQ(scene.count(), 5);
  for (std::int32_t k = 1; k <= 5; ++k) {
    EXPECT_FLOAT_EQ(scene.circle(k).longitude, 5.12f) << k;
    EXPECT_FLOAT_EQ(scene.circle(k).latitude, 52.3f) << k;
  }
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, 1.0f);
  EXPECT_EQ(scene.program.exclusions.circles.path, scene.dir.file("pois_x.asc"));
}

TEST(read_exclusions_test, opening_another_master_replaces_the_circles) {
  Scene scene;
  scene.read("radius = 25\n1, 1\n2, 2\n3, 3\n");
  ASSERT_EQ(scene.count(), 3);
  scene.program.master.path = scene.dir.write("other.asc", "");
  scene.dir.write("exclusions.asc", "9, 9\n");
  app::read_exclusions_file(scene.program, scene.dialog);
  ASSERT_EQ(scene.count(), 1);
  EXPECT_FLOAT_EQ(scene.circle(1).longitude, 9.0f);
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, 1.0f);
}

TEST(read_exclusions_test, reading_leaves_an_earlier_excluded_list_untouched) {
  Scene scene;
  scene.dir.write("excluded.asc", "an earlier list\nwith two lines\n");
  scene.read("radius = 25\n5.12, 52.3\n");
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_EQ(read_file(scene.dir.file("excluded.asc")), "an earlier list\nwith two lines\n");
}

TEST(read_exclusions_test, the_lists_header_names_the_files_read_shortened_to_50_characters) {
  Scene scene;
  const fs::path deep = scene.dir.path() / "a_rather_long_folder_name" / "and_another_one_below";
  fs::create_directories(deep);
  scene.program.master.path = (deep / "pois.asc").string();
  std::ofstream((deep / "exclusions.asc").string()) << "1, 2\n";
  app::read_exclusions_file(scene.program, scene.dialog);
  ASSERT_EQ(scene.finish(), ListWrite::written);
  const std::string list = read_file((deep / "excluded.asc").string());
  EXPECT_NE(list.find("; Exclusions read from /.../and_another_one_below/exclusions.asc\n"),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("; List of entries excluded from /.../and_another_one_below/pois.asc\n"),
            std::string::npos)
      << list;
}

struct FormatErrorCase {
  const char* label;
  std::string lines;
  std::int32_t circles_kept;
  std::string named;  // the line the box names
};

void PrintTo(const FormatErrorCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.lines, row.circles_kept);
}

class format_error_test : public ::testing::TestWithParam<FormatErrorCase> {};

TEST_P(format_error_test, stops_reading_and_keeps_the_circles_before) {
  Scene scene;
  scene.read(GetParam().lines);
  ASSERT_EQ(scene.dialog.boxes.size(), 1u) << GetParam().lines;
  const auto& box = scene.dialog.boxes.front();
  EXPECT_EQ(box.title, "Format error");
  EXPECT_EQ(box.text, std::string(app::kExclusionsFormatErrorText) + "\r" + GetParam().named);
  EXPECT_EQ(box.icon, ui::Icon::information);
  EXPECT_EQ(box.buttons, ui::ButtonSet::ok);
  EXPECT_FALSE(scene.program.quit_requested);
  ASSERT_EQ(scene.count(), GetParam().circles_kept);
  for (std::int32_t k = 1; k <= GetParam().circles_kept; ++k)
    EXPECT_FLOAT_EQ(scene.circle(k).longitude, static_cast<float>(k));
  EXPECT_FALSE(scene.list_exists());
}

INSTANTIATE_TEST_SUITE_P(
    lines, format_error_test,
    ::testing::Values(
        FormatErrorCase{"radius_not_a_number", "radius = abc\n1, 1\n", 0, "Line 1: radius = abc"},
        FormatErrorCase{"empty_line", "1, 1\n2, 2\n\n3, 3\n", 2, "Line 3: "},
        FormatErrorCase{"blank_line", "1, 1\n     \n3, 3\n", 1, "Line 2:      "},
        FormatErrorCase{"one_number", "1, 1\n2\n", 1, "Line 2: 2"},
        FormatErrorCase{"text_first", "1, 1\n2, 2\n\"Town\", 3, 4\n", 2, "Line 3: \"Town\", 3, 4"},
        FormatErrorCase{"radius_value_before_equals", "1, 1\nMatch radius 25 = x\n", 1,
                        "Line 2: Match radius 25 = x"},
        FormatErrorCase{"two_equals_signs", "1, 1\nradius == 5\n", 1, "Line 2: radius == 5"},
        FormatErrorCase{"two_commas", "1, 1\n1,,2\n", 1, "Line 2: 1,,2"},
        // Cut to 60 bytes, never inside a UTF-8 sequence.
        FormatErrorCase{"cut_before_a_utf8_sequence", std::string(59, 'x') + "\xC3\xA9 and more\n",
                        0, "Line 1: " + std::string(59, 'x')}),
    testing::LabelName{});

TEST(read_exclusions_test, five_thousand_circles_load) {
  Scene scene;
  scene.read("radius = 3\n" + circle_lines(5000));
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_EQ(scene.count(), 5000);
  EXPECT_FALSE(scene.program.quit_requested);
}

TEST(read_exclusions_test, the_5001st_circle_stops_the_reading) {
  Scene scene;
  scene.read(circle_lines(5001) + "radius = 3\n");
  ASSERT_EQ(scene.dialog.boxes.size(), 1u);
  EXPECT_EQ(scene.dialog.boxes[0].title, "Storage limit");
  EXPECT_EQ(scene.dialog.boxes[0].text,
            "Too many exclusion entries.\rMaximum is 5,000\rOnly the first 5,000 circles are "
            "used.\rpinwright-batch has no such limit.");
  EXPECT_EQ(scene.dialog.boxes[0].icon, ui::Icon::information);
  EXPECT_FALSE(scene.program.quit_requested);
  EXPECT_EQ(scene.count(), 5000);
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, 1.0f);  // reading stopped before it
  EXPECT_FALSE(scene.list_exists());
}

struct LongLineCase {
  const char* label;
  std::string line;
  bool loads;
};

void PrintTo(const LongLineCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.line, row.loads);
}

class long_line_test : public ::testing::TestWithParam<LongLineCase> {};

TEST_P(long_line_test, reads_the_first_256_characters_without_a_cut_number) {
  Scene scene;
  scene.read(GetParam().line + "\n");
  EXPECT_EQ(scene.count(), GetParam().loads ? 1 : 0);
  EXPECT_EQ(scene.dialog.boxes.size(), GetParam().loads ? 0u : 1u);
  if (GetParam().loads) {
    EXPECT_FLOAT_EQ(scene.circle(1).latitude, 52.3f);
  }
}

INSTANTIATE_TEST_SUITE_P(
    lines, long_line_test,
    ::testing::Values(
        LongLineCase{"long_name", "5.12, 52.3, \"" + std::string(400, 'd') + "\"", true},
        LongLineCase{"trailing_blanks", "5.12, 52.3" + std::string(400, ' '), true},
        LongLineCase{"long_text_after_values", "5.12 52.3 " + std::string(300, 'd'), true},
        // The latitude runs past the 256th character: it would be read short.
        LongLineCase{"latitude_past_256", std::string(246, ' ') + "5.12, 52.333333", false},
        LongLineCase{"values_past_256", std::string(300, ' ') + "5.12, 52.3", false}),
    testing::LabelName{});

TEST(read_exclusions_test, a_long_radius_line_is_read_too) {
  Scene scene;
  scene.read("radius = 25 " + std::string(300, '-') + "\n1, 2\n");
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, 25.0f);
}

TEST(read_exclusions_test, never_replaces_a_master_file_named_excluded_asc) {
  Scene scene;
  const std::string master = "5, 5, \"my own data\"\n";
  scene.program.master.path = scene.dir.write("excluded.asc", master);
  scene.program.master.loaded = true;
  scene.dir.write("exclusions.asc", "radius = 5\n1, 2\n");
  app::read_exclusions_file(scene.program, scene.dialog);
  EXPECT_EQ(scene.count(), 1);
  EXPECT_EQ(scene.finish(), ListWrite::in_use);
  EXPECT_EQ(read_file(scene.dir.file("excluded.asc")), master);
  EXPECT_TRUE(scene.program.exclusions.list_path.empty());
}

struct InUseCase {
  const char* what;
  void (*use)(app::Program&, const std::string& list);
};

void PrintTo(const InUseCase& row, std::ostream* out) {
  testing::print_row(out, row.what);
}

class in_use_test : public ::testing::TestWithParam<InUseCase> {};

TEST_P(in_use_test, the_list_is_not_written_over_a_file_in_use) {
  Scene scene;
  const std::string contents = "7, 7, \"in use\"\n";
  // The same file written another way: through a link in a second folder.
  fs::create_directory(scene.dir.path() / "elsewhere");
  const std::string list = scene.dir.write("excluded.asc", contents);
  fs::create_symlink(list, scene.dir.path() / "elsewhere" / "link.asc");
  GetParam().use(scene.program, (scene.dir.path() / "elsewhere" / "link.asc").string());
  scene.read("1, 2\n");
  EXPECT_EQ(scene.finish(), ListWrite::in_use) << GetParam().what;
  EXPECT_EQ(read_file(list), contents) << GetParam().what;
  EXPECT_TRUE(scene.program.exclusions.list_path.empty());
}

INSTANTIATE_TEST_SUITE_P(
    files, in_use_test,
    ::testing::Values(InUseCase{"update",
                                [](app::Program& program, const std::string& path) {
                                  program.update.loaded = true;
                                  program.update.path = path;
                                }},
                      InUseCase{"output",
                                [](app::Program& program, const std::string& path) {
                                  program.output.loaded = true;
                                  program.output.path = path;
                                }}),
    [](const auto& info) { return testing::test_name(info.param.what); });

TEST(read_exclusions_test, a_list_that_cannot_be_created_is_reported) {
  Scene scene;
  fs::create_directory(scene.dir.path() / "excluded.asc");
  scene.read("1, 2\n");
  EXPECT_EQ(scene.count(), 1);
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_EQ(scene.finish(), ListWrite::incomplete);
}

TEST(read_exclusions_test, an_exclusions_file_that_cannot_be_read_is_reported) {
  Scene scene;
  scene.program.master.path = scene.dir.write("pois.asc", "");
  fs::create_directory(scene.dir.path() / "pois_x.asc");
  app::read_exclusions_file(scene.program, scene.dialog);
  ASSERT_EQ(scene.dialog.boxes.size(), 1u);
  EXPECT_EQ(scene.dialog.boxes[0].title, "File Open Conflict");
  EXPECT_NE(scene.dialog.boxes[0].text.find("cannot be read"), std::string::npos);
  EXPECT_EQ(scene.count(), 0);
  EXPECT_FALSE(scene.list_exists());
  EXPECT_FALSE(scene.program.quit_requested);
}

}  // namespace
}  // namespace pinwright::exclusion
