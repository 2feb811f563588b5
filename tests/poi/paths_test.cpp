#include "poi/paths.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/test_names.hpp"

namespace pinwright::poi {
namespace {

TEST(paths_test, directory_part) {
  EXPECT_EQ(directory_part("/home/ann/maps/fuel.ov2"), "/home/ann/maps/");
  EXPECT_EQ(directory_part("/fuel.ov2"), "/");
  EXPECT_EQ(directory_part("fuel.ov2"), "");
  EXPECT_EQ(directory_part("/home/ann/"), "/home/ann/");
}

struct ExtensionCase {
  const char* path;
  const char* stem;
  const char* extension;
};

void PrintTo(const ExtensionCase& row, std::ostream* out) {
  testing::print_row(out, row.path, row.stem, row.extension);
}

class split_extension_test : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(split_extension_test, at_the_last_dot_of_the_file_name) {
  const SplitExtension split = split_extension(GetParam().path);
  EXPECT_EQ(split.stem, GetParam().stem);
  EXPECT_EQ(split.extension, GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(paths, split_extension_test,
                         ::testing::Values(ExtensionCase{"/poi/cameras.ov2", "/poi/cameras", "ov2"},
                                           ExtensionCase{"/poi/Out.ASC", "/poi/Out", "asc"},
                                           ExtensionCase{"/poi/a.b.csv", "/poi/a.b", "csv"},
                                           ExtensionCase{"/my.dir/result", "/my.dir/result", ""},
                                           ExtensionCase{"result", "result", ""},
                                           ExtensionCase{"/poi/out.asc   ", "/poi/out", "asc"},
                                           ExtensionCase{"/poi/trailing.", "/poi/trailing", ""}),
                         [](const auto& info) { return testing::test_name(info.param.path); });

struct ShortenCase {
  const char* path;
  std::size_t limit;
  const char* shown;
};

void PrintTo(const ShortenCase& row, std::ostream* out) {
  testing::print_row(out, row.path, row.limit, row.shown);
}

class shorten_path_test : public ::testing::TestWithParam<ShortenCase> {};

TEST_P(shorten_path_test, drops_whole_folders) {
  EXPECT_EQ(shorten_path(GetParam().path, GetParam().limit), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    paths, shorten_path_test,
    ::testing::Values(ShortenCase{"/home/ann/file.asc", 60, "/home/ann/file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 21, "/.../Europe/file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 26, "/Data/Maps/Europe/file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 25, "/.../Maps/Europe/file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 13, "/.../file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 12, "file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 8, "file.asc"},
                      ShortenCase{"/Data/Maps/Europe/file.asc", 5, "e.asc"},
                      ShortenCase{"relative/folder/file.asc", 16, ".../file.asc"},
                      ShortenCase{"averyveryverylongname.asc", 10, "ngname.asc"}),
    [](const auto& info) {
      return testing::test_name(std::string(info.param.path) + " to " +
                                std::to_string(info.param.limit));
    });

TEST(shorten_path_test, the_result_never_exceeds_the_limit) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> part_length(1, 30);
  std::uniform_int_distribution<int> parts(1, 12);
  for (int round = 0; round < 2000; ++round) {
    std::string path;
    const int count = parts(random);
    for (int i = 0; i < count; ++i)
      path += "/" + std::string(static_cast<std::size_t>(part_length(random)),
                                'a' + static_cast<char>(i));
    for (const std::size_t limit : {5u, 20u, 50u, 60u}) {
      const std::string shown = shorten_path(path, limit);
      ASSERT_LE(shown.size(), limit) << path;
      if (path.size() <= limit) {
        EXPECT_EQ(shown, path);
      }
      // The file name's end is always shown.
      const std::string name = path.substr(path.rfind('/') + 1);
      const std::string tail = name.substr(name.size() - std::min(name.size(), limit));
      EXPECT_TRUE(shown.ends_with(tail)) << path << " -> " << shown;
    }
  }
}

}  // namespace
}  // namespace pinwright::poi
