#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "poi/record.hpp"
#include "poi/text_file.hpp"
#include "tests/support/ov2_bytes.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "ui/controls.hpp"

namespace pinwright::testing {

// The header a text Output file gets when chosen on 7 December 2026.
inline constexpr std::string_view kOutputHeader =
    ";* Created by Pinwright Pro v2.01 on 07-DEC-26\n"
    ";* Longitude, Latitude, \"Name\"\n";

inline poi::PoiRecord poi_at(float longitude, float latitude, std::string_view name,
                             std::string_view information = "") {
  poi::PoiRecord record;
  record.longitude = longitude;
  record.latitude = latitude;
  record.name.assign(name);
  record.information.assign(information);
  return record;
}

// One type-2 OV2 record: type, total length (name + 14), longitude and
// latitude in 1e-5 degree, the name and a zero byte.
inline std::string ov2_bytes(std::int32_t longitude_units, std::int32_t latitude_units,
                             std::string_view name) {
  return ov2_named(longitude_units, latitude_units, name);
}

// A program with its dialog's option defaults (radius 20, "< 1 or" and
// "Append" checked), tables filled by the test and an Output file chosen as
// the file slots would choose it.
class RunFixture : public ::testing::Test {
 protected:
  RunFixture() {
    program.fixed_today = std::chrono::year_month_day{std::chrono::year{2026},
                                                      std::chrono::December, std::chrono::day{7}};
    dialog.control(ui::control::kRadiusCombo).text = "20";
    dialog.control(ui::control::kUnderOneMetre).checked = true;
    dialog.control(ui::control::kUnderRadius).checked = false;
    dialog.control(ui::control::kAppend).checked = true;
  }

  void set_master(std::initializer_list<poi::PoiRecord> records) {
    program.master.count = 0;
    for (const poi::PoiRecord& record : records)
      program.master_table[++program.master.count] = record;
    program.master.loaded = true;
    program.master.path = dir.file("master.asc");
  }

  // `count` Master entries far from the positions the tests use.
  void fill_master(std::int32_t count) {
    for (std::int32_t k = 1; k <= count; ++k)
      program.master_table[k] = poi_at(0.0f, 0.0f, "Filler");
    program.master.count = count;
    program.master.loaded = true;
  }

  void set_update(std::initializer_list<poi::PoiRecord> records) {
    program.update.count = 0;
    for (const poi::PoiRecord& record : records)
      program.update_table[++program.update.count] = record;
    program.update.loaded = true;
  }

  void choose_text_output(std::string_view name = "out.asc") {
    program.output.kind = poi::FileKind::text;
    program.output.path = dir.file(name);
    chosen();
  }

  void choose_ov2_output(std::string_view name = "out.ov2") {
    program.output.kind = poi::FileKind::ov2;
    program.output.path = dir.file(name);
    chosen();
  }

  void set_radius(std::string_view text) { dialog.control(ui::control::kRadiusCombo).text = text; }
  void check(int id, bool checked) { dialog.control(id).checked = checked; }
  void edit(int id, std::string_view text) { dialog.control(id).text = text; }
  std::string text_of(int id) { return dialog.control(id).text; }

  std::string output() const { return read_file(program.output.path); }

  TempDir dir;
  RecordingDialog dialog;
  app::Program program;

 private:
  // As the Output slot takes a file: whatever lies at its path now is the one
  // file the result may replace.
  void chosen() {
    program.output.loaded = true;
    program.output_mark = poi::FileMark::of(program.output.path);
  }
};

}  // namespace pinwright::testing
