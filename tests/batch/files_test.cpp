// Which files a run takes as one another, and which form each file is in.

#include "batch/files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"

namespace pinwright::batch {
namespace {

namespace fs = std::filesystem;

struct ClashCase {
  std::string label;
  std::string a;  // relative to a fresh folder holding data/cities.shp and a link to it
  std::string b;
  bool clash;
};

void PrintTo(const ClashCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.a, row.b, row.clash);
}

class clashes_test : public ::testing::TestWithParam<ClashCase> {};

TEST_P(clashes_test, finds_one_file_however_named) {
  testing::TempDir folder;
  fs::create_directories(folder.path() / "data" / "sub");
  folder.write("data/cities.shp", "shp");
  fs::create_symlink("data/cities.shp", folder.path() / "link.shp");
  const std::string a = folder.file(GetParam().a);
  const std::string b = folder.file(GetParam().b);
  EXPECT_EQ(clashes(a, b), GetParam().clash);
  EXPECT_EQ(clashes(b, a), GetParam().clash);
}

INSTANTIATE_TEST_SUITE_P(
    cases, clashes_test,
    ::testing::Values(
        ClashCase{"same_name", "data/cities.shp", "data/cities.shp", true},
        ClashCase{"through_a_parent", "data/sub/../cities.shp", "data/cities.shp", true},
        ClashCase{"through_a_link", "link.shp", "data/cities.shp", true},
        ClashCase{"extension_in_capitals", "data/cities.SHP", "data/cities.shp", true},
        ClashCase{"missing_files_extension_in_capitals", "data/cities.DBF", "data/cities.dbf",
                  true},
        ClashCase{"another_extension", "data/cities.dbf", "data/cities.shp", false},
        ClashCase{"name_in_capitals", "data/Cities.shp", "data/cities.shp", false},
        ClashCase{"another_folder", "data/sub/cities.shp", "data/cities.shp", false},
        ClashCase{"no_extension", "data/cities", "data/CITIES", false}),
    testing::LabelName{});

struct FormCase {
  std::string label;
  std::vector<std::string> formats;   // --input-format as given
  std::vector<FileForm::Kind> kinds;  // of MASTER, UPDATE 1, UPDATE 2
  std::vector<std::string> drivers;
};

void PrintTo(const FormCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.formats, row.drivers);
}

class input_form_test : public ::testing::TestWithParam<FormCase> {};

TEST_P(input_form_test, follows_the_names_or_the_formats_given) {
  Command command;
  command.subcommand = Subcommand::update;
  command.input = "track.gpx";
  command.updates = {"table.csv", "-"};
  command.formats.input_formats = GetParam().formats;
  for (std::size_t k = 0; k < 3; ++k) {
    const FileForm form = input_form(command, k);
    EXPECT_EQ(form.kind, GetParam().kinds[k]) << "input " << k;
    EXPECT_EQ(form.driver, GetParam().drivers[k]) << "input " << k;
  }
}

using Kind = FileForm::Kind;

INSTANTIATE_TEST_SUITE_P(
    cases, input_form_test,
    ::testing::Values(
        FormCase{"by_name", {}, {Kind::ogr, Kind::text, Kind::text}, {"GPX", "", ""}},
        FormCase{"one_for_all", {"CSV"}, {Kind::ogr, Kind::ogr, Kind::ogr}, {"CSV", "CSV", "CSV"}},
        FormCase{"one_for_each",
                 {"auto", "CSV", "ov2"},
                 {Kind::ogr, Kind::ogr, Kind::ov2},
                 {"GPX", "CSV", ""}},
        FormCase{"text_by_name_too",
                 {"text", "auto", "GPX"},
                 {Kind::text, Kind::text, Kind::ogr},
                 {"", "", "GPX"}}),
    testing::LabelName{});

TEST(output_form_test, standard_output_is_text_unless_a_format_is_named) {
  Command command;
  command.output = "-";
  EXPECT_EQ(output_form(command).kind, Kind::text);
  command.formats.output_format = "ov2";
  EXPECT_EQ(output_form(command).kind, Kind::ov2);
  command.formats.output_format = "GeoJSON";
  EXPECT_EQ(output_form(command).driver, "GeoJSON");
  command.output = "out.GPX";
  command.formats.output_format.clear();
  EXPECT_EQ(output_form(command).driver, "GPX");
}

}  // namespace
}  // namespace pinwright::batch
