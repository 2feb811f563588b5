#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "tests/support/recording_dialog.hpp"
#include "tests/support/temp_dir.hpp"
#include "ui/controls.hpp"

namespace pinwright::testing {

// The two header lines of a text Output chosen on 7 December 2026.
inline constexpr std::string_view kSlotOutputHeader =
    ";* Created by Pinwright Pro v2.01 on 07-DEC-26\n;* Longitude, Latitude, \"Name\"\n";

// The whole program with a recording dialog in a fresh folder: the option
// fields at their defaults (radius 20, "< 1 or" and "Append" checked).
struct SlotSession {
  RecordingDialog dialog;
  app::Program program;
  TempDir dir;

  SlotSession() {
    using namespace std::chrono_literals;
    program.fixed_today = 2026y / std::chrono::December / 7d;
    program.program_dir = dir.file("");
    dialog.control(ui::control::kRadiusCombo).text = "20";
    dialog.control(ui::control::kUnderOneMetre).checked = true;
    dialog.control(ui::control::kAppend).checked = true;
    dialog.set_field_state(ui::control::kStart, ui::FieldState::disabled);
  }

  // A button press; a file dialog it opens answers with `file`.
  void press(int id, std::optional<std::string> file = std::nullopt) {
    if (file) dialog.file_answers.push_back(std::move(file));
    app::dispatch(program, dialog, id);
    EXPECT_TRUE(dialog.file_answers.empty()) << "no file dialog for " << id;
  }

  std::vector<std::string> titles() const {
    std::vector<std::string> list;
    for (const auto& box : dialog.boxes) list.push_back(box.title);
    return list;
  }
  ui::FieldState state(int id) { return dialog.control(id).state; }
  const std::string& text(int id) { return dialog.control(id).text; }
};

}  // namespace pinwright::testing
