// The batch runs against the window: generated file sets are run once by the
// program under a scripted dialog (what pinwright-script does) with the check
// boxes of the batch's options and its decision pressed at every review
// stop, and once by the batch; the Output, the excluded list and the matches
// report must be the same bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "batch/runs.hpp"
#include "poi/compact_table.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/text_file.hpp"
#include "tests/support/temp_dir.hpp"
#include "ui/dialog_description.hpp"
#include "ui/script/scripted_dialog.hpp"

namespace pinwright::batch {
namespace {

namespace fs = std::filesystem;

inline constexpr int kSetsPerShard = 30;
inline constexpr int kShards = 8;

// Moves the process into a folder for one file set and back out after.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~InFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

std::string slurp(const std::string& path) {
  return fs::exists(path) ? testing::read_file(path) : std::string("<missing>");
}

// One generated file set and the options it is run with.
struct FileSet {
  bool master_ov2 = false;
  bool output_ov2 = false;
  std::vector<bool> updates_ov2;
  int radius = 20;
  bool exclusions = false;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int percent) { return pick(1, 100) <= percent; }

  // Entries in clusters: offsets of whole 1e-5 degrees around a centre,
  // from the same spot to a few radii, so that pairs fall under 1 m, at and
  // around the radius, and beyond it.
  std::vector<poi::PoiRecord> entries(int count, int radius, bool comments, bool blank_lines,
                                      const std::string& prefix) {
    std::vector<poi::PoiRecord> records;
    const int reach = radius * 3;  // in 1e-5 degrees: roughly metres
    int centre_lon = 0;
    int centre_lat = 0;
    int last_lon = 0;
    int last_lat = 0;
    for (int k = 0; k < count; ++k) {
      if (k == 0 || chance(30)) {
        centre_lon = pick(-17'900'000, 17'900'000);
        centre_lat = pick(-7'000'000, 7'000'000);
      }
      if (comments && chance(12)) {
        records.push_back(poi::make_comment(chance(50) ? "; comment " + std::to_string(k) : ";"));
        if (blank_lines && chance(30)) records.push_back(poi::make_comment(""));
      }
      // Now and then on or next to the entry before: under a metre.
      const bool close = k > 0 && chance(20);
      const int lon = close ? last_lon + pick(-1, 1) : centre_lon + pick(-reach, reach);
      const int lat = close ? last_lat : centre_lat + pick(-reach, reach);
      last_lon = lon;
      last_lat = lat;
      poi::PoiRecord record;
      record.longitude = poi::from_ov2_units(lon);
      record.latitude = poi::from_ov2_units(lat);
      const int shape = pick(0, 3);
      std::string name = prefix + std::to_string(k);
      if (shape == 1) name += ", " + std::to_string(pick(1, 9));
      record.name.assign(name);
      if (shape >= 2) record.information.assign(", info " + std::to_string(pick(1, 99)));
      records.push_back(record);
    }
    return records;
  }

 private:
  std::mt19937 random_;
};

std::string text_line(const poi::PoiRecord& record) {
  if (poi::is_comment(record)) return std::string(record.name.trimmed());
  return poi::f10_5(record.longitude) + ", " + poi::f10_5(record.latitude) + ", \"" +
         std::string(record.name.trimmed()) + "\"" + std::string(record.information.trimmed());
}

void write_text(const std::string& path, const std::string& text) {
  poi::OutputFile file(path, poi::OpenMode::truncate);
  file.write(text);
  ASSERT_TRUE(file.close());
}

void write_pois(const std::string& path, const std::vector<poi::PoiRecord>& records, bool ov2) {
  if (ov2) {
    poi::CompactTable table;
    for (const auto& record : records) table.append(record);
    ASSERT_TRUE(poi::write_ov2_file(path, table, poi::entry_range(1, table.size())));
    return;
  }
  std::string text;
  for (const auto& record : records) text += text_line(record) + "\n";
  write_text(path, text);
}

std::string extension(bool ov2) {
  return ov2 ? ".ov2" : ".asc";
}

// Runs `script` through the window program in the current folder.
std::string run_window(const std::string& script, const std::string& program_dir) {
  const ui::DescriptionResult description =
      ui::read_dialog_description(ui::main_dialog_designer_xml());
  std::ostringstream transcript;
  ui::script::ScriptedDialog dialog(*description.dialog, ui::script::split_lines(script),
                                    transcript);
  auto program = std::make_unique<app::Program>();
  program->program_dir = program_dir;
  program->fixed_today = poi::local_today();
  app::run_program(*program, dialog);
  return transcript.str();
}

// Renames what the window wrote, so that the batch writes into a clean folder.
void set_aside(const std::vector<std::string>& names) {
  for (const auto& name : names)
    if (fs::exists(name)) fs::rename(name, name + ".window");
}

void expect_same(const std::vector<std::string>& names, const std::string& context) {
  for (const auto& name : names)
    EXPECT_EQ(slurp(name + ".window"), slurp(name)) << name << " differs; " << context;
}

std::string press_many(int button, int times) {
  std::string lines;
  for (int k = 0; k < times; ++k) lines += "press " + std::to_string(button) + "\n";
  return lines;
}

Summary dedupe_set(unsigned seed, const fs::path& folder, const std::string& program_dir) {
  Generator generate(seed);
  FileSet set;
  set.master_ov2 = generate.chance(30);
  set.output_ov2 = generate.chance(30);
  set.radius = generate.pick(1, 4) * 5;
  set.exclusions = generate.chance(50);
  const bool below = seed % 2 == 1;
  const bool report = seed % 4 >= 2;
  const int count = generate.pick(4, 40);
  InFolder in(folder);
  const std::string master = "master" + extension(set.master_ov2);
  const auto records = generate.entries(count, set.radius, !set.master_ov2, true, "P");
  write_pois(master, records, set.master_ov2);
  if (set.exclusions) {
    std::string text = "; circles\nradius = " + std::to_string(generate.pick(1, 30)) + "\n";
    for (int k = generate.pick(1, 3); k > 0; --k) {
      const auto& at = records[static_cast<std::size_t>(generate.pick(0, count - 1))];
      if (poi::is_comment(at)) continue;
      text += poi::f10_5(at.longitude) + ", " + poi::f10_5(at.latitude) + ", \"circle\"\n";
    }
    write_text("master_x.asc", text);
  }
  const std::string output = "out" + extension(set.output_ov2);
  const std::string script =
      std::string("press ") + (set.master_ov2 ? "1036" : "1028") + "\nfile " + master + "\npress " +
      (set.output_ov2 ? "1041" : "1040") + "\nfile " + output + "\ncombo 1023 " +
      std::to_string(set.radius) + "\ncheck 1053 " + (below ? "off" : "on") + "\ncheck 1054 " +
      (below ? "on" : "off") + "\npress 1027\n" + press_many(1001, count + 2);
  const std::vector<std::string> files{output, "excluded.asc", "out_matches.csv"};
  const std::string transcript = run_window(script, report ? program_dir : "nowhere/");
  set_aside(files);

  Command command;
  command.subcommand = Subcommand::dedupe;
  command.input = master;
  command.output = output;
  command.radius = static_cast<float>(set.radius);
  command.delete_rule = below ? DeleteRule::below_one_metre : DeleteRule::within_radius;
  if (report) command.report_path = "out_matches.csv";
  Progress progress(false);
  const RunResult result = run_command(command, progress);
  EXPECT_EQ(result.status, ExitStatus::success) << result.message;
  expect_same(files, "dedupe seed " + std::to_string(seed) + "\n" + script + transcript);
  return result.summary;
}

Summary update_set(unsigned seed, const fs::path& folder) {
  Generator generate(seed * 7919u + 1u);
  FileSet set;
  set.master_ov2 = generate.chance(30);
  set.output_ov2 = generate.chance(30);
  set.radius = generate.pick(1, 4) * 5;
  const OnMatch on_match = static_cast<OnMatch>(seed % 5);
  const bool as_on_match = seed / 5 % 2 == 1;
  // Several Update files go through intermediate Outputs in the window; only
  // with the whole file written is that the same as the batch's chain.
  const int update_files = seed % 3 == 2 ? 2 : 1;
  const bool added_only = update_files == 1 && seed / 10 % 2 == 1;
  InFolder in(folder);
  const std::string master = "master" + extension(set.master_ov2);
  // Blank lines come back as ";" lines from an intermediate text Output.
  const bool blanks = update_files == 1;
  write_pois(master, generate.entries(generate.pick(3, 30), set.radius, true, blanks, "M"),
             set.master_ov2);
  Command command;
  command.subcommand = Subcommand::update;
  command.input = master;
  const std::string output = "out" + extension(set.output_ov2);
  command.output = output;
  command.radius = static_cast<float>(set.radius);
  command.on_match = on_match;
  command.below_one_metre = as_on_match ? BelowOneMetre::as_on_match : BelowOneMetre::skip;
  command.added_only = added_only;

  static constexpr int kButtons[] = {1001, 1002, 1015, 1016, 1035};
  std::string script;
  std::string previous = master;
  bool previous_ov2 = set.master_ov2;
  for (int u = 1; u <= update_files; ++u) {
    const bool ov2 = generate.chance(30);
    const std::string update = "update" + std::to_string(u) + extension(ov2);
    const int count = generate.pick(3, 30);
    auto records = generate.entries(count, set.radius, true, blanks, "U");
    write_pois(update, records, ov2);
    command.updates.push_back(update);
    const std::string step_output =
        u == update_files ? output : "step" + std::to_string(u) + extension(set.output_ov2);
    script += std::string("press ") + (previous_ov2 ? "1036" : "1028") + "\nfile " + previous +
              "\npress " + (ov2 ? "1037" : "1029") + "\nfile " + update + "\npress " +
              (set.output_ov2 ? "1041" : "1040") + "\nfile " + step_output + "\ncombo 1023 " +
              std::to_string(set.radius) + "\ncheck 1053 off\ncheck 1054 " +
              (as_on_match ? "off" : "on") + "\ncheck 1056 " + (added_only ? "off" : "on") +
              "\npress 1027\n" + press_many(kButtons[static_cast<int>(on_match)], count + 2);
    previous = step_output;
    previous_ov2 = set.output_ov2;
  }
  const std::string transcript = run_window(script, "nowhere/");
  set_aside({output});
  Progress progress(false);
  const RunResult result = run_command(command, progress);
  EXPECT_EQ(result.status, ExitStatus::success) << result.message;
  expect_same({output}, "update seed " + std::to_string(seed) + "\n" + script + transcript);
  return result.summary;
}

class batch_differential_test : public ::testing::TestWithParam<int> {};

TEST_P(batch_differential_test, dedupe_gives_the_windows_bytes) {
  testing::TempDir program_dir;
  program_dir.write("DeduRuvav_output.yes", "");
  Summary total;
  for (int k = 0; k < kSetsPerShard; ++k) {
    testing::TempDir folder;
    const Summary set = dedupe_set(static_cast<unsigned>(GetParam() * kSetsPerShard + k),
                                   folder.path(), program_dir.path().string() + "/");
    total.duplicates_deleted += set.duplicates_deleted;
    total.kept += set.kept;
    total.excluded += set.excluded;
  }
  // The sets reach every way an entry can go.
  EXPECT_GT(total.duplicates_deleted, 0);
  EXPECT_GT(total.kept, 0);
  EXPECT_GT(total.excluded, 0);
}

TEST_P(batch_differential_test, update_gives_the_windows_bytes) {
  Summary total;
  for (int k = 0; k < kSetsPerShard; ++k) {
    testing::TempDir folder;
    const Summary set =
        update_set(static_cast<unsigned>(GetParam() * kSetsPerShard + k), folder.path());
    total.appended += set.appended;
    total.settled_automatically += set.settled_automatically;
    total.reviewed += set.reviewed;
  }
  EXPECT_GT(total.appended, 0);
  EXPECT_GT(total.settled_automatically, 0);
  EXPECT_GT(total.reviewed, 0);
}

INSTANTIATE_TEST_SUITE_P(shards, batch_differential_test, ::testing::Range(0, kShards),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "sets_" + std::to_string(info.param * kSetsPerShard) + "_to_" +
                                  std::to_string((info.param + 1) * kSetsPerShard - 1);
                         });

}  // namespace
}  // namespace pinwright::batch
