#include "app/file_slots.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatch.hpp"
#include "poi/format.hpp"
#include "poi/ov2_file.hpp"
#include "poi/paths.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/test_names.hpp"
#include "ui/controls.hpp"

namespace pinwright::app {
namespace {

using testing::read_file;
using testing::RecordingDialog;
using testing::TempDir;
using ui::FieldState;
namespace c = ui::control;
namespace fs = std::filesystem;

// The Text button's filters, as the user reads them in the file dialog.
constexpr std::string_view kPoiAndVectorFilter =
    "POI files (*.asc *.csv)|*.asc;*.csv|GPS exchange (*.gpx)|*.gpx|"
    "GeoJSON (*.geojson *.json)|*.geojson;*.json|KML (*.kml)|*.kml|GeoPackage (*.gpkg)|*.gpkg|"
    "FlatGeobuf (*.fgb)|*.fgb|Shapefile (*.shp)|*.shp|"
    "All readable files|*.asc;*.csv;*.gpx;*.geojson;*.json;*.kml;*.gpkg;*.fgb;*.shp|";
using namespace std::chrono_literals;

// A slot button in case names.
std::string button_name(int id) {
  switch (id) {
    case c::kMasterText:
      return "master_text";
    case c::kMasterOv2:
      return "master_ov2";
    case c::kMasterClear:
      return "master_clear";
    case c::kUpdateText:
      return "update_text";
    case c::kUpdateOv2:
      return "update_ov2";
    case c::kUpdateClear:
      return "update_clear";
    case c::kOutputText:
      return "output_text";
    case c::kOutputOv2:
      return "output_ov2";
    case c::kOutputClear:
      return "output_clear";
  }
  return testing::test_name("id " + std::to_string(id));
}

constexpr std::string_view kConflictText =
    "Please select different files or use\rthe CANCEL button in the Open File\r"
    "Dialog box to clear an entry";

// The conflict box for the file at `path`, with its reason on the last line.
std::string conflict_text(const std::string& path, std::string_view reason) {
  return std::string(kConflictText) + "\r" + poi::shorten_path(path, poi::kMessagePathWidth) +
         ": " + std::string(reason);
}

std::string ov2_file(int records) {
  std::string bytes;
  for (int i = 1; i <= records; ++i) {
    poi::PoiRecord record;
    record.longitude = static_cast<float>(i);
    record.latitude = 52.0f;
    record.name.assign("poi " + std::to_string(i));
    bytes += poi::ov2_record(record);
  }
  return bytes;
}

// One program with its recording dialog in a fresh folder; Start disabled as
// after start-up.
struct Scene {
  RecordingDialog dialog;
  Program program;
  TempDir dir;

  Scene() {
    program.fixed_today = 2026y / std::chrono::December / 7d;
    fs::create_directory(dir.path() / "program");
    program.program_dir = dir.file("program") + "/";
    dialog.set_field_state(c::kStart, FieldState::disabled);
    dialog.calls.clear();
  }

  // Presses a slot button, the file dialog answering with `answer` (nothing: cancel).
  void press(int id, std::optional<std::string> answer = std::nullopt) {
    dialog.file_answers.push_back(std::move(answer));
    ASSERT_TRUE(handle_slot_button(program, dialog, id));
    EXPECT_TRUE(dialog.file_answers.empty());
  }

  std::string master(std::string_view name = "master.asc") {
    return dir.write(name, "; my POIs\n4.89, 52.37, \"Central\"\n5.12, 52.09, \"Dom\"\n");
  }
  const std::string& text(int id) { return dialog.control(id).text; }
  FieldState state(int id) { return dialog.control(id).state; }
  std::vector<std::string> box_titles() const {
    std::vector<std::string> titles;
    for (const auto& box : dialog.boxes) titles.push_back(box.title);
    return titles;
  }
};

struct InputCase {
  int button;
  bool ov2;
  const char* file;
  std::string contents;
  std::int32_t entries;   // master_count or update_count
  std::int32_t comments;  // comment records among them
};

void PrintTo(const InputCase& row, std::ostream* out) {
  testing::print_row(out, button_name(row.button), row.ov2, row.file, row.contents, row.entries,
                     row.comments);
}

class input_choice_test : public ::testing::TestWithParam<InputCase> {};

TEST_P(input_choice_test, reads_the_file_into_the_slot) {
  const InputCase& param = GetParam();
  const bool master = param.button == c::kMasterText || param.button == c::kMasterOv2;
  Scene scene;
  scene.program.selected_path = scene.dir.file("earlier.asc");
  const std::string path = scene.dir.write(param.file, param.contents);
  scene.press(param.button, path);

  ASSERT_EQ(scene.dialog.file_dialogs.size(), 1u);
  const auto& dialog = scene.dialog.file_dialogs[0];
  EXPECT_EQ(dialog.title, "Open File");
  EXPECT_EQ(dialog.form, ui::FileDialogForm::open);
  EXPECT_EQ(dialog.filter, param.ov2 ? "Overlay files (*.ov2)|*.ov2|" : kPoiAndVectorFilter);
  EXPECT_EQ(dialog.start_path, scene.dir.file("earlier.asc"));
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_EQ(scene.program.selected_path, path);

  const std::int32_t pois = param.entries - param.comments;
  EXPECT_EQ(scene.text(master ? c::kMasterCount : c::kUpdateCount),
            "Number of POI entries:" + poi::i5(pois));
  EXPECT_EQ(scene.text(master ? c::kMasterPath : c::kUpdatePath), poi::shorten_path(path, 60));
  if (master) {
    EXPECT_TRUE(scene.program.master.loaded);
    EXPECT_EQ(scene.program.master.is_ov2(), param.ov2);
    EXPECT_EQ(scene.program.master.count, param.entries);
    EXPECT_EQ(scene.program.master.path, path);
  } else {
    EXPECT_TRUE(scene.program.update.loaded);
    EXPECT_EQ(scene.program.update.is_ov2(), param.ov2);
    EXPECT_EQ(scene.program.update.count, param.entries);
    EXPECT_EQ(scene.program.update.path, path);
  }
  const poi::CompactTable& table = master ? scene.program.master_table : scene.program.update_table;
  EXPECT_EQ(table.name_field(param.entries), param.ov2 ? "poi 3" : "Dom");
  // No Output file yet: Start stays disabled.
  EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);
}

const std::string kTextPois = "; my POIs\n4.89, 52.37, \"Central\"\n\n5.12, 52.09, \"Dom\"\n";

INSTANTIATE_TEST_SUITE_P(
    buttons, input_choice_test,
    ::testing::Values(InputCase{c::kMasterText, false, "m.asc", kTextPois, 4, 2},
                      InputCase{c::kMasterOv2, true, "m.ov2", ov2_file(3), 3, 0},
                      InputCase{c::kUpdateText, false, "u.csv", kTextPois, 4, 2},
                      InputCase{c::kUpdateOv2, true, "u.ov2", ov2_file(3), 3, 0}),
    [](const auto& info) { return button_name(info.param.button); });

struct CancelCase {
  int button;
  poi::FileKind kind;  // the kind the button sets
};

void PrintTo(const CancelCase& row, std::ostream* out) {
  testing::print_row(out, button_name(row.button), row.kind);
}

class cancel_test : public ::testing::TestWithParam<CancelCase> {};

TEST_P(cancel_test, clears_the_slot_and_keeps_the_kind) {
  const int button = GetParam().button;
  Scene scene;
  // Fill all three slots first, each in the other kind.
  const bool text = GetParam().kind == poi::FileKind::text;
  scene.program.master.kind = scene.program.update.kind = scene.program.output.kind =
      text ? poi::FileKind::ov2 : poi::FileKind::text;
  scene.dir.write("m.ov2", ov2_file(2));
  scene.dir.write("m.bmp", "bitmap");
  scene.master();
  const auto fill = [&](int text_button, int ov2_button, const std::string& name) {
    scene.press(text ? ov2_button : text_button, scene.dir.file(name));
  };
  fill(c::kMasterText, c::kMasterOv2, text ? "m.ov2" : "master.asc");
  fill(c::kUpdateText, c::kUpdateOv2, text ? "m.ov2" : "master.asc");
  fill(c::kOutputText, c::kOutputOv2, "out");
  ASSERT_TRUE(scene.program.master.loaded && scene.program.update.loaded &&
              scene.program.output.loaded);

  scene.press(button);
  const bool master = button == c::kMasterText || button == c::kMasterOv2;
  const bool update = button == c::kUpdateText || button == c::kUpdateOv2;
  const int path = master ? c::kMasterPath : update ? c::kUpdatePath : c::kOutputPath;
  const int count = master ? c::kMasterCount : update ? c::kUpdateCount : c::kOutputCount;
  const int picture = master ? c::kMasterSymbol : update ? c::kUpdateSymbol : c::kOutputSymbol;
  EXPECT_EQ(scene.text(path), " ");
  EXPECT_EQ(scene.text(count), " ");
  EXPECT_EQ(scene.state(picture), FieldState::hidden);
  EXPECT_EQ(scene.program.master.loaded, !master);
  EXPECT_EQ(scene.program.update.loaded, !update);
  EXPECT_EQ(scene.program.output.loaded, master || update);
  const poi::FileKind kind = master   ? scene.program.master.kind
                             : update ? scene.program.update.kind
                                      : scene.program.output.kind;
  EXPECT_EQ(kind, GetParam().kind);
  EXPECT_EQ(scene.state(c::kStart), update ? FieldState::enabled : FieldState::disabled);
  EXPECT_TRUE(scene.dialog.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(buttons, cancel_test,
                         ::testing::Values(CancelCase{c::kMasterText, poi::FileKind::text},
                                           CancelCase{c::kMasterOv2, poi::FileKind::ov2},
                                           CancelCase{c::kUpdateText, poi::FileKind::text},
                                           CancelCase{c::kUpdateOv2, poi::FileKind::ov2},
                                           CancelCase{c::kOutputText, poi::FileKind::text},
                                           CancelCase{c::kOutputOv2, poi::FileKind::ov2}),
                         [](const auto& info) { return button_name(info.param.button); });

class clear_test : public ::testing::TestWithParam<int> {};

TEST_P(clear_test, empties_the_slot_without_a_dialog) {
  Scene scene;
  scene.press(c::kMasterText, scene.master());
  scene.press(c::kUpdateText, scene.master("u.asc"));
  scene.press(c::kOutputText, scene.dir.file("out.asc"));
  ASSERT_EQ(scene.state(c::kStart), FieldState::enabled);
  scene.dialog.file_dialogs.clear();
  ASSERT_TRUE(handle_slot_button(scene.program, scene.dialog, GetParam()));
  EXPECT_TRUE(scene.dialog.file_dialogs.empty());
  const int id = GetParam();
  EXPECT_EQ(scene.program.master.loaded, id != c::kMasterClear);
  EXPECT_EQ(scene.program.update.loaded, id != c::kUpdateClear);
  EXPECT_EQ(scene.program.output.loaded, id != c::kOutputClear);
  EXPECT_EQ(scene.state(c::kStart),
            id == c::kUpdateClear ? FieldState::enabled : FieldState::disabled);
  // Nothing was written for the Output, cleared or not.
  EXPECT_FALSE(fs::exists(scene.dir.file("out.asc")));
}

INSTANTIATE_TEST_SUITE_P(buttons, clear_test,
                         ::testing::Values(c::kMasterClear, c::kUpdateClear, c::kOutputClear),
                         [](const auto& info) { return button_name(info.param); });

// The status line of the last run told of the slots as they were.
TEST(handle_slot_button_test, every_slot_button_clears_the_status_line) {
  for (const int id :
       {c::kMasterText, c::kMasterOv2, c::kMasterClear, c::kUpdateText, c::kUpdateOv2,
        c::kUpdateClear, c::kOutputText, c::kOutputOv2, c::kOutputClear}) {
    Scene scene;
    scene.dialog.control(c::kRunStatus).text = "2 entries appended, 5 matches";
    ASSERT_TRUE(handle_slot_button(scene.program, scene.dialog, id));
    EXPECT_EQ(scene.text(c::kRunStatus), " ") << button_name(id);
  }
}

TEST(handle_slot_button_test, other_buttons_are_not_slot_buttons) {
  for (const int id : {2, 1001, 1002, 1003, 1004, 1015, 1027, 1030, 1044}) {
    Scene scene;
    EXPECT_FALSE(handle_slot_button(scene.program, scene.dialog, id)) << id;
    EXPECT_TRUE(scene.dialog.calls.empty()) << id;
  }
}

struct DispatchCase {
  int button;
  const char* title;  // of the file dialog; empty: none
};

void PrintTo(const DispatchCase& row, std::ostream* out) {
  testing::print_row(out, button_name(row.button), row.title);
}

class slot_dispatch_test : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(slot_dispatch_test, the_dispatcher_passes_slot_buttons_on) {
  Scene scene;
  scene.program.master.loaded = scene.program.update.loaded = scene.program.output.loaded = true;
  dispatch(scene.program, scene.dialog, GetParam().button);
  ASSERT_EQ(scene.dialog.file_dialogs.size(), *GetParam().title ? 1u : 0u);
  if (*GetParam().title) {
    EXPECT_EQ(scene.dialog.file_dialogs[0].title, GetParam().title);
  }
  // Cancelled or cleared: exactly one slot is emptied.
  EXPECT_EQ(
      !scene.program.master.loaded + !scene.program.update.loaded + !scene.program.output.loaded,
      1);
  EXPECT_FALSE(scene.program.quit_requested);
}

INSTANTIATE_TEST_SUITE_P(buttons, slot_dispatch_test,
                         ::testing::Values(DispatchCase{c::kMasterText, "Open File"},
                                           DispatchCase{c::kMasterOv2, "Open File"},
                                           DispatchCase{c::kUpdateText, "Open File"},
                                           DispatchCase{c::kUpdateOv2, "Open File"},
                                           DispatchCase{c::kOutputText, "Save File"},
                                           DispatchCase{c::kOutputOv2, "Save File"},
                                           DispatchCase{c::kMasterClear, ""},
                                           DispatchCase{c::kUpdateClear, ""},
                                           DispatchCase{c::kOutputClear, ""}),
                         [](const auto& info) { return button_name(info.param.button); });

TEST(input_choice_test, a_long_path_is_shortened_in_the_field) {
  Scene scene;
  const fs::path deep =
      scene.dir.path() / "a_folder_with_a_long_name" / "and_one_more_folder_below";
  fs::create_directories(deep);
  const std::string path = (deep / "master.asc").string();
  fs::copy_file(scene.master(), path);
  scene.press(c::kMasterText, path);
  ASSERT_GT(path.size(), 60u);
  EXPECT_EQ(scene.text(c::kMasterPath), "/.../and_one_more_folder_below/master.asc");
  EXPECT_EQ(scene.program.master.path, path);  // the path itself is never cut
}

struct NameCase {
  const char* label;
  const char* chosen;
  bool ov2;
  const char* expected;
};

void PrintTo(const NameCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.chosen, row.ov2, row.expected);
}

class output_name_test : public ::testing::TestWithParam<NameCase> {};

TEST_P(output_name_test, extension_only_without_any_dot) {
  const poi::FileKind kind = GetParam().ov2 ? poi::FileKind::ov2 : poi::FileKind::text;
  EXPECT_EQ(output_file_name(GetParam().chosen, kind), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    paths, output_name_test,
    ::testing::Values(
        NameCase{"ov2_added", "/out/result", true, "/out/result.ov2"},
        NameCase{"asc_added", "/out/result", false, "/out/result.asc"},
        NameCase{"trailing_blanks_dropped", "/out/result  ", false, "/out/result.asc"},
        NameCase{"dotted_folder_only", "/my.dir/result", true, "/my.dir/result"},
        NameCase{"other_extension_kept", "/out/result.txt", true, "/out/result.txt"},
        NameCase{"ov2_extension_kept_for_text", "/out/result.ov2", false, "/out/result.ov2"},
        NameCase{"trailing_dot_kept", "/out/result.", false, "/out/result."}),
    testing::LabelName{});

TEST(output_choice_test, text_output_is_chosen_and_nothing_written) {
  Scene scene;
  scene.program.selected_path = scene.dir.file("master.asc");
  scene.dir.write("result.asc", "an earlier result, kept until a run replaces it\n");
  scene.press(c::kOutputText, scene.dir.file("result.asc"));

  ASSERT_EQ(scene.dialog.file_dialogs.size(), 1u);
  const auto& dialog = scene.dialog.file_dialogs[0];
  EXPECT_EQ(dialog.title, "Save File");
  EXPECT_EQ(dialog.form, ui::FileDialogForm::save);
  EXPECT_EQ(dialog.filter, kPoiAndVectorFilter);
  EXPECT_EQ(dialog.start_path, scene.dir.file(""));
  EXPECT_TRUE(scene.dialog.boxes.empty());

  EXPECT_TRUE(scene.program.output.loaded);
  EXPECT_FALSE(scene.program.output.is_ov2());
  EXPECT_EQ(scene.program.output.path, scene.dir.file("result.asc"));
  EXPECT_EQ(scene.text(c::kOutputPath), poi::shorten_path(scene.program.output.path, 60));
  EXPECT_EQ(scene.text(c::kOutputCount), " ");
  EXPECT_EQ(scene.state(c::kOutputSymbol), FieldState::hidden);
  EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);  // no Master yet

  // The run writes the Output when it ends; choosing it writes nothing.
  EXPECT_EQ(read_file(scene.program.output.path),
            "an earlier result, kept until a run replaces it\n");
  EXPECT_EQ(scene.dialog.remembered,
            (std::vector<std::pair<Slot, std::string>>{{Slot::output, scene.program.output.path}}));
}

TEST(output_choice_test, a_name_without_a_dot_gets_the_kind_s_extension) {
  for (const bool ov2 : {false, true}) {
    Scene scene;
    scene.press(ov2 ? c::kOutputOv2 : c::kOutputText, scene.dir.file("result"));
    const std::string expected = scene.dir.file(ov2 ? "result.ov2" : "result.asc");
    EXPECT_EQ(scene.program.output.path, expected);
    EXPECT_EQ(scene.program.output.is_ov2(), ov2);
    // The run creates the Output, of either kind.
    EXPECT_FALSE(fs::exists(expected));
    EXPECT_FALSE(fs::exists(scene.dir.file("result")));
  }
}

TEST(output_choice_test, an_existing_output_is_left_for_the_run) {
  for (const bool ov2 : {false, true}) {
    Scene scene;
    const std::string old = ov2 ? ov2_file(2) : "; an earlier result\n1, 2, \"a\"\n";
    const std::string path = scene.dir.write(ov2 ? "result.ov2" : "result.asc", old);
    scene.press(ov2 ? c::kOutputOv2 : c::kOutputText, path);
    EXPECT_TRUE(scene.program.output.loaded);
    EXPECT_EQ(read_file(path), old);
    // Chosen again, cleared, or left by Exit: still as it was.
    scene.press(ov2 ? c::kOutputOv2 : c::kOutputText, path);
    ASSERT_TRUE(handle_slot_button(scene.program, scene.dialog, c::kOutputClear));
    dispatch(scene.program, scene.dialog, c::kExit);
    EXPECT_EQ(read_file(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(scene.dir.path()), fs::directory_iterator()),
              2);  // the file and program/
  }
}

struct FailureCase {
  const char* what;
  int button;
  const char* file;  // written with `contents` unless empty
  std::string contents;
  const char* title;
  // The box text's last line; FILE stands for the file's path as shown.
  std::string last_line;
};

void PrintTo(const FailureCase& row, std::ostream* out) {
  testing::print_row(out, row.what, button_name(row.button), row.file, row.contents, row.title,
                     row.last_line);
}

class input_failure_test : public ::testing::TestWithParam<FailureCase> {};

TEST_P(input_failure_test, leaves_the_slot_unloaded_and_start_disabled) {
  const FailureCase& param = GetParam();
  Scene scene;
  scene.press(c::kOutputText, scene.dir.file("out.asc"));
  const bool master = param.button == c::kMasterText || param.button == c::kMasterOv2;
  if (!master) scene.press(c::kMasterText, scene.master());
  // A file the slot had loaded before is dropped too.
  scene.press(master ? c::kMasterText : c::kUpdateText, scene.master("earlier.asc"));
  scene.dir.write("exclusions.asc", "1, 2\n");
  fs::remove(scene.dir.file("excluded.asc"));
  scene.dialog.boxes.clear();

  const std::string path = scene.dir.file(param.file);
  if (!param.contents.empty()) scene.dir.write(param.file, param.contents);
  scene.press(param.button, path);

  ASSERT_EQ(scene.dialog.boxes.size(), 1u) << param.what;
  const auto& box = scene.dialog.boxes[0];
  EXPECT_EQ(box.title, param.title);
  EXPECT_EQ(box.icon, ui::Icon::information);
  EXPECT_EQ(box.buttons, ui::ButtonSet::ok);
  std::string last_line = param.last_line;
  if (const std::size_t file = last_line.find("FILE"); file != std::string::npos)
    last_line.replace(file, 4, poi::shorten_path(path, poi::kMessagePathWidth));
  EXPECT_EQ(box.text.substr(box.text.rfind('\r') + 1), last_line);
  if (std::string_view(param.title) == "File Open Conflict") {
    EXPECT_EQ(box.text.substr(0, kConflictText.size()), kConflictText);
  }
  // The file is refused; the program goes on.
  EXPECT_FALSE(scene.program.quit_requested);
  EXPECT_EQ(scene.dialog.remembered.back().second, scene.dir.file("earlier.asc"));
  EXPECT_FALSE(master ? scene.program.master.loaded : scene.program.update.loaded);
  EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);
  EXPECT_EQ(scene.text(master ? c::kMasterPath : c::kUpdatePath), " ");
  EXPECT_EQ(scene.text(master ? c::kMasterCount : c::kUpdateCount), " ");
  EXPECT_EQ(master ? scene.program.master.count : scene.program.update.count, 0);
  // Only a duplicate run writes the excluded list.
  EXPECT_FALSE(fs::exists(scene.dir.file("excluded.asc")));
}

std::string too_many_lines(int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += "1, 2, \"x\"\n";
  return lines;
}

INSTANTIATE_TEST_SUITE_P(
    files, input_failure_test,
    ::testing::Values(
        FailureCase{"missing text", c::kMasterText, "missing.asc", "", "File Open Conflict",
                    "FILE: no such file"},
        FailureCase{"missing ov2", c::kMasterOv2, "missing.ov2", "", "File Open Conflict",
                    "FILE: no such file"},
        FailureCase{"missing update", c::kUpdateText, "missing.asc", "", "File Open Conflict",
                    "FILE: no such file"},
        FailureCase{"missing gpx", c::kMasterText, "missing.gpx", "", "File Open Conflict",
                    "FILE: no such file"},
        FailureCase{"damaged geojson", c::kUpdateText, "cut.geojson",
                    R"({"type": "FeatureCollection", "features": [{"type": "Feature", )",
                    "Format error", "The file FILE was not loaded."},
        FailureCase{"damaged ov2", c::kUpdateOv2, "cut.ov2", ov2_file(2).substr(0, 30),
                    "Pinlayer Error", "The file was not loaded."},
        FailureCase{"bad text line", c::kMasterText, "bad.asc", "1, 2, \"a\"\nnot a line\n",
                    "Format error", "The file FILE was not loaded."},
        FailureCase{"unsupported record", c::kMasterOv2, "seven.ov2", ov2_file(1) + "\x07",
                    "Pinlayer Error", "The file FILE was not loaded."},
        FailureCase{"too many updates", c::kUpdateText, "big.asc", too_many_lines(30001),
                    "Storage limit", "pinwright-batch has no such limit."}),
    [](const auto& info) { return testing::test_name(info.param.what); });

TEST(input_choice_test, a_folder_is_no_file) {
  Scene scene;
  fs::create_directory(scene.dir.path() / "folder.asc");
  scene.press(c::kMasterText, scene.dir.file("folder.asc"));
  EXPECT_EQ(scene.box_titles(), std::vector<std::string>{"File Open Conflict"});
  EXPECT_EQ(scene.dialog.boxes[0].text,
            conflict_text(scene.dir.file("folder.asc"), "cannot be read"));
  EXPECT_FALSE(scene.program.master.loaded);
  EXPECT_TRUE(scene.dialog.remembered.empty());
}

struct StartCase {
  const char* what;
  std::vector<std::pair<int, const char*>> presses;  // button, file chosen ("" = cancel)
  bool enabled;
};

void PrintTo(const StartCase& row, std::ostream* out) {
  std::vector<std::string> presses;
  for (const auto& [button, file] : row.presses)
    presses.push_back(button_name(button) + " " + file);
  testing::print_row(out, row.what, presses, row.enabled);
}

class start_state_test : public ::testing::TestWithParam<StartCase> {};

TEST_P(start_state_test, needs_a_master_file_and_an_output_file) {
  Scene scene;
  scene.master("m.asc");
  scene.master("u.asc");
  for (const auto& [button, file] : GetParam().presses) {
    if (button == c::kMasterClear || button == c::kUpdateClear || button == c::kOutputClear)
      handle_slot_button(scene.program, scene.dialog, button);
    else
      scene.press(button, *file ? std::optional(scene.dir.file(file)) : std::nullopt);
  }
  EXPECT_EQ(scene.state(c::kStart), GetParam().enabled ? FieldState::enabled : FieldState::disabled)
      << GetParam().what;
  EXPECT_EQ(scene.program.master.loaded && scene.program.output.loaded, GetParam().enabled);
}

INSTANTIATE_TEST_SUITE_P(
    sequences, start_state_test,
    ::testing::Values(
        StartCase{"nothing", {}, false}, StartCase{"master", {{c::kMasterText, "m.asc"}}, false},
        StartCase{"output", {{c::kOutputText, "o.asc"}}, false},
        StartCase{"update and output", {{c::kUpdateText, "u.asc"}, {c::kOutputText, "o"}}, false},
        StartCase{"master, output", {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}}, true},
        StartCase{"output, master", {{c::kOutputOv2, "o"}, {c::kMasterText, "m.asc"}}, true},
        StartCase{"then update",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kUpdateText, "u.asc"}},
                  true},
        StartCase{"then clear update",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kUpdateClear, ""}},
                  true},
        StartCase{"then clear master",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kMasterClear, ""}},
                  false},
        StartCase{"then clear output",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kOutputClear, ""}},
                  false},
        StartCase{"then cancel master",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kMasterOv2, ""}},
                  false},
        StartCase{"then cancel output",
                  {{c::kMasterText, "m.asc"}, {c::kOutputText, "o"}, {c::kOutputText, ""}},
                  false},
        StartCase{"missing master", {{c::kMasterText, "x.asc"}, {c::kOutputText, "o"}}, false},
        StartCase{"master again",
                  {{c::kMasterText, "m.asc"},
                   {c::kOutputText, "o"},
                   {c::kMasterClear, ""},
                   {c::kMasterText, "m.asc"}},
                  true}),
    [](const auto& info) { return testing::test_name(info.param.what); });

// Start is disabled by an Update file that cannot be read, although a Master
// file and an Output file are there: the user meant an update run.
TEST(start_state_test, a_failed_update_disables_start) {
  Scene scene;
  scene.press(c::kMasterText, scene.master());
  scene.press(c::kOutputText, scene.dir.file("o.asc"));
  scene.press(c::kUpdateText, scene.dir.file("missing.asc"));
  EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);
  EXPECT_TRUE(scene.program.master.loaded && scene.program.output.loaded);
}

TEST(mode_caption_test, follow_the_update_slot) {
  Scene scene;
  const auto expect_update_run = [&](bool update) {
    EXPECT_EQ(scene.text(c::kFirstDecision), update ? "Skip" : "Keep");
    EXPECT_EQ(scene.text(c::kSecondDecision), update ? "Save as new entry" : "Delete Master entry");
    EXPECT_EQ(scene.text(c::kOptionsGroup), update ? "Updating Options" : "Duplicate Options");
    EXPECT_EQ(scene.text(c::kAutoLabel), update ? "Skip if" : "Delete if");
    EXPECT_EQ(scene.state(c::kAppend), update ? FieldState::enabled : FieldState::hidden);
  };
  scene.press(c::kMasterText, scene.master());
  expect_update_run(false);
  scene.press(c::kUpdateText, scene.master("u.asc"));
  expect_update_run(true);
  scene.press(c::kMasterText, scene.master());  // a new Master keeps the update run
  expect_update_run(true);
  ASSERT_TRUE(handle_slot_button(scene.program, scene.dialog, c::kUpdateClear));
  expect_update_run(false);
  scene.press(c::kUpdateOv2, scene.dir.write("u.ov2", ov2_file(1)));
  expect_update_run(true);
  scene.press(c::kUpdateText);  // cancel
  expect_update_run(false);
  scene.press(c::kUpdateText, scene.master("u.asc"));
  scene.press(c::kUpdateText, scene.dir.file("missing.asc"));
  expect_update_run(false);
}

TEST(symbol_test, master_and_update_draw_the_bitmap_beside_the_file) {
  for (const int button : {c::kMasterOv2, c::kUpdateOv2}) {
    Scene scene;
    const int picture = button == c::kMasterOv2 ? c::kMasterSymbol : c::kUpdateSymbol;
    std::string& symbol = button == c::kMasterOv2 ? scene.program.master.symbol_path
                                                  : scene.program.update.symbol_path;
    scene.dir.write("fuel.bmp", "bitmap");
    scene.press(button, scene.dir.write("fuel.ov2", ov2_file(1)));
    EXPECT_EQ(symbol, scene.dir.file("fuel.bmp"));
    EXPECT_EQ(scene.dialog.control(picture).picture, scene.dir.file("fuel.bmp"));
    EXPECT_EQ(scene.state(picture), FieldState::enabled);

    // Without a bitmap the picture of the earlier file does not stay.
    scene.press(button, scene.dir.write("camera.ov2", ov2_file(1)));
    EXPECT_EQ(symbol, "");
    EXPECT_EQ(scene.state(picture), FieldState::hidden);

    scene.press(button, scene.dir.file("fuel.ov2"));
    scene.press(button == c::kMasterOv2 ? c::kMasterText : c::kUpdateText, scene.master());
    EXPECT_EQ(symbol, "");
    EXPECT_EQ(scene.state(picture), FieldState::hidden);
  }
}

struct OutputSymbolCase {
  const char* what;
  bool candidate;       // result.bmp beside the Output
  bool beside_default;  // default_symbol.bmp beside the Output
  bool shipped;         // REZ_default_symbol.bmp in the program's folder
  const char* shown;    // file drawn, relative to the folder; empty: hidden
};

void PrintTo(const OutputSymbolCase& row, std::ostream* out) {
  testing::print_row(out, row.what, row.candidate, row.beside_default, row.shipped, row.shown);
}

class output_symbol_test : public ::testing::TestWithParam<OutputSymbolCase> {};

TEST_P(output_symbol_test, own_then_folder_default_then_shipped_default) {
  const OutputSymbolCase& param = GetParam();
  Scene scene;
  if (param.candidate) scene.dir.write("result.bmp", "own");
  if (param.beside_default) scene.dir.write("default_symbol.bmp", "folder default");
  if (param.shipped) scene.dir.write("program/REZ_default_symbol.bmp", "shipped");
  scene.press(c::kOutputOv2, scene.dir.file("result"));

  EXPECT_TRUE(scene.program.output.loaded);
  EXPECT_TRUE(scene.dialog.boxes.empty());
  if (*param.shown == '\0') {
    EXPECT_EQ(scene.program.output.symbol_path, "");
    EXPECT_EQ(scene.state(c::kOutputSymbol), FieldState::hidden);
    EXPECT_FALSE(fs::exists(scene.dir.file("result.bmp")));
    return;
  }
  EXPECT_EQ(scene.program.output.symbol_path, scene.dir.file(param.shown));
  EXPECT_EQ(scene.dialog.control(c::kOutputSymbol).picture, scene.dir.file(param.shown));
  EXPECT_EQ(scene.state(c::kOutputSymbol), FieldState::enabled);
  // The OV2 Output gets a symbol of its own name once a run has written it.
  EXPECT_EQ(fs::exists(scene.dir.file("result.bmp")), param.candidate);
  copy_output_symbol(scene.program);
  EXPECT_EQ(read_file(scene.dir.file("result.bmp")), read_file(scene.dir.file(param.shown)));
}

INSTANTIATE_TEST_SUITE_P(files, output_symbol_test,
                         ::testing::Values(OutputSymbolCase{"own", true, true, true, "result.bmp"},
                                           OutputSymbolCase{"folder default", false, true, true,
                                                            "default_symbol.bmp"},
                                           OutputSymbolCase{"shipped default", false, false, true,
                                                            "program/REZ_default_symbol.bmp"},
                                           OutputSymbolCase{"none", false, false, false, ""}),
                         [](const auto& info) { return testing::test_name(info.param.what); });

TEST(symbol_test, the_shipped_default_is_a_16_by_16_bitmap) {
  const std::string bitmap =
      read_file(std::string(PINWRIGHT_SOURCE_DIR) + "/resources/REZ_default_symbol.bmp");
  ASSERT_GE(bitmap.size(), 54u);
  EXPECT_EQ(bitmap.substr(0, 2), "BM");
  const auto int32_at = [&](std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bitmap[offset])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bitmap[offset + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bitmap[offset + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bitmap[offset + 3])) << 24;
  };
  EXPECT_EQ(int32_at(2), bitmap.size());
  EXPECT_EQ(int32_at(18), 16u);
  EXPECT_EQ(int32_at(22), 16u);
}

TEST(symbol_test, the_text_output_has_no_symbol) {
  Scene scene;
  scene.dir.write("program/REZ_default_symbol.bmp", "shipped");
  scene.press(c::kOutputOv2, scene.dir.file("a.ov2"));
  EXPECT_EQ(scene.state(c::kOutputSymbol), FieldState::enabled);
  scene.press(c::kOutputText, scene.dir.file("a.asc"));
  EXPECT_EQ(scene.program.output.symbol_path, "");
  EXPECT_EQ(scene.state(c::kOutputSymbol), FieldState::hidden);
}

// The same file, written another way.
struct SpellingCase {
  const char* what;
  std::string (*spell)(const TempDir& dir, const std::string& name);
};

void PrintTo(const SpellingCase& row, std::ostream* out) {
  testing::print_row(out, row.what);
}

class output_conflict_test : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(output_conflict_test, a_loaded_file_is_never_chosen_as_output) {
  for (const int input : {c::kMasterText, c::kUpdateText, c::kMasterOv2, c::kUpdateOv2}) {
    Scene scene;
    const bool ov2 = input == c::kMasterOv2 || input == c::kUpdateOv2;
    const std::string contents = ov2 ? ov2_file(2) : "; mine\n1, 2, \"a\"\n";
    const std::string name = ov2 ? "data.ov2" : "data.asc";
    scene.dir.write(name, contents);
    scene.press(input, scene.dir.file(name));
    scene.press(ov2 ? c::kOutputOv2 : c::kOutputText, GetParam().spell(scene.dir, name));

    EXPECT_EQ(scene.box_titles(), std::vector<std::string>{"File Open Conflict"})
        << GetParam().what << " " << input;
    const bool master = input == c::kMasterText || input == c::kMasterOv2;
    EXPECT_EQ(scene.dialog.boxes[0].text,
              conflict_text(scene.program.output.path,
                            master ? "in use as the Master file" : "in use as the Update file"));
    EXPECT_FALSE(scene.program.output.loaded);
    EXPECT_EQ(scene.text(c::kOutputPath), " ");
    EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);
    EXPECT_EQ(read_file(scene.dir.file(name)), contents);
    EXPECT_FALSE(fs::exists(scene.dir.file("data.bmp")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    spellings, output_conflict_test,
    ::testing::Values(SpellingCase{"as chosen",
                                   [](const TempDir& dir, const std::string& name) {
                                     return dir.file(name);
                                   }},
                      SpellingCase{"with dot segments ./ and ../",
                                   [](const TempDir& dir, const std::string& name) {
                                     fs::create_directory(dir.path() / "sub");
                                     return dir.file("sub/.././" + name);
                                   }},
                      SpellingCase{"double slash",
                                   [](const TempDir& dir, const std::string& name) {
                                     return dir.path().string() + "//" + name;
                                   }},
                      SpellingCase{"symbolic link",
                                   [](const TempDir& dir, const std::string& name) {
                                     fs::create_symlink(dir.file(name), dir.file("link.asc"));
                                     return dir.file("link.asc");
                                   }},
                      SpellingCase{"hard link",
                                   [](const TempDir& dir, const std::string& name) {
                                     fs::create_hard_link(dir.file(name), dir.file("hard.asc"));
                                     return dir.file("hard.asc");
                                   }}),
    [](const auto& info) { return testing::test_name(info.param.what); });

TEST(output_conflict_test, a_cleared_input_may_become_the_output) {
  Scene scene;
  const std::string path = scene.master();
  scene.press(c::kMasterText, path);
  ASSERT_TRUE(handle_slot_button(scene.program, scene.dialog, c::kMasterClear));
  scene.press(c::kOutputText, path);
  EXPECT_TRUE(scene.dialog.boxes.empty());
  EXPECT_TRUE(scene.program.output.loaded);
}

TEST(output_conflict_test, the_output_file_is_never_read_as_input) {
  for (const int input : {c::kMasterText, c::kUpdateText, c::kMasterOv2, c::kUpdateOv2}) {
    Scene scene;
    const std::string old = ov2_file(3);
    const std::string path = scene.dir.write("result.ov2", old);
    scene.press(c::kOutputOv2, path);
    scene.press(input, scene.dir.file("./result.ov2"));
    EXPECT_EQ(scene.box_titles(), std::vector<std::string>{"File Open Conflict"}) << input;
    EXPECT_EQ(scene.dialog.boxes[0].text,
              conflict_text(scene.dir.file("./result.ov2"), "in use as the Output file"));
    EXPECT_FALSE(scene.program.master.loaded || scene.program.update.loaded);
    // The run replaces the Output file: it must not hold what the user loaded.
    EXPECT_TRUE(scene.program.output.loaded);
    EXPECT_EQ(read_file(path), old);
  }
}

// The excluded list is written only at the end of a duplicate run, which then
// leaves an Output of that name alone.
TEST(output_conflict_test, the_excluded_list_name_is_free_for_the_output) {
  Scene scene;
  scene.dir.write("exclusions.asc", "1, 2\n");
  scene.press(c::kMasterText, scene.master());
  scene.press(c::kOutputText, scene.dir.file("excluded.asc"));
  EXPECT_TRUE(scene.box_titles().empty());
  EXPECT_TRUE(scene.program.output.loaded);
}

struct UnwritableCase {
  const char* what;
  int button;
  std::string (*target)(const TempDir& dir);
  const char* reason;
};

void PrintTo(const UnwritableCase& row, std::ostream* out) {
  testing::print_row(out, row.what, button_name(row.button), row.reason);
}

class unwritable_output_test : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(unwritable_output_test, is_reported_and_not_chosen) {
  Scene scene;
  scene.press(c::kMasterText, scene.master());
  const std::string target = GetParam().target(scene.dir);
  scene.press(GetParam().button, target);
  ASSERT_EQ(scene.dialog.boxes.size(), 1u) << GetParam().what;
  EXPECT_EQ(scene.dialog.boxes[0].title, "File Open Conflict");
  EXPECT_EQ(scene.dialog.boxes[0].text, conflict_text(target, GetParam().reason));
  EXPECT_FALSE(scene.program.output.loaded);
  EXPECT_EQ(scene.text(c::kOutputPath), " ");
  EXPECT_EQ(scene.state(c::kStart), FieldState::disabled);
  // Only the Master file read is remembered, not the Output refused.
  EXPECT_EQ(scene.dialog.remembered.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    targets, unwritable_output_test,
    ::testing::Values(
        UnwritableCase{"missing folder, text", c::kOutputText,
                       [](const TempDir& dir) { return dir.file("no/such/folder/out.asc"); },
                       "no such folder"},
        UnwritableCase{"missing folder, ov2", c::kOutputOv2,
                       [](const TempDir& dir) { return dir.file("no/such/folder/out.ov2"); },
                       "no such folder"},
        UnwritableCase{"a folder, ov2", c::kOutputOv2,
                       [](const TempDir& dir) {
                         fs::create_directory(dir.path() / "folder.ov2");
                         return dir.file("folder.ov2");
                       },
                       "not a file"},
        // The result would be renamed onto the device, not written into it.
        UnwritableCase{"link to a device, text", c::kOutputText,
                       [](const TempDir& dir) {
                         fs::create_symlink("/dev/null", dir.file("null.asc"));
                         return dir.file("null.asc");
                       },
                       "not a file"},
        UnwritableCase{"a folder that takes no file", c::kOutputText,
                       [](const TempDir&) { return std::string("/proc/self/out.asc"); },
                       "folder not writable"}),
    [](const auto& info) { return testing::test_name(info.param.what); });

TEST(output_choice_test, the_check_of_the_folder_leaves_no_file) {
  for (const int button : {c::kOutputText, c::kOutputOv2}) {
    Scene scene;
    scene.press(button, scene.dir.file(button == c::kOutputOv2 ? "new.ov2" : "new.asc"));
    EXPECT_TRUE(scene.program.output.loaded);
    EXPECT_EQ(std::distance(fs::directory_iterator(scene.dir.path()), fs::directory_iterator()),
              1);  // program/ alone
  }
}

TEST(exclusions_lookup_test, every_master_press_reads_the_exclusions_cancelled_or_not) {
  Scene scene;
  scene.dir.write("exclusions.asc", "radius = 25\n1, 2\n3, 4\n");
  scene.press(c::kMasterText, scene.master());
  EXPECT_EQ(std::ssize(scene.program.exclusions.circles.centres), 2);
  // Choosing a Master file writes no excluded list: a duplicate run does.
  EXPECT_FALSE(fs::exists(scene.dir.file("excluded.asc")));

  scene.dir.write("exclusions.asc", "radius = 5\n1, 2\n");
  scene.press(c::kMasterOv2);  // cancelled: the last Master file's folder again
  EXPECT_FALSE(scene.program.master.loaded);
  EXPECT_TRUE(scene.program.master.is_ov2());
  EXPECT_EQ(std::ssize(scene.program.exclusions.circles.centres), 1);
  EXPECT_FLOAT_EQ(scene.program.exclusions.circles.radius, 5.0f);
  EXPECT_FALSE(fs::exists(scene.dir.file("excluded.asc")));
}

TEST(exclusions_lookup_test, update_and_output_buttons_do_not_read_them) {
  Scene scene;
  scene.dir.write("exclusions.asc", "1, 2\n");
  scene.program.master.path = scene.master();
  scene.program.exclusions.circles.centres.resize(7);
  scene.press(c::kUpdateText, scene.master("u.asc"));
  scene.press(c::kUpdateOv2);
  scene.press(c::kOutputText, scene.dir.file("o.asc"));
  EXPECT_EQ(std::ssize(scene.program.exclusions.circles.centres), 7);
  EXPECT_FALSE(fs::exists(scene.dir.file("excluded.asc")));
}

}  // namespace
}  // namespace pinwright::app
