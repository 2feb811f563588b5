// The file slots in the real window: files chosen through Qt's own file
// dialogs, on the offscreen platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QPushButton>
#include <QTest>

#include "app/dispatch.hpp"
#include "app/program.hpp"
#include "app/startup.hpp"
#include "poi/paths.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;
using ui::FieldState;

TEST(file_slots_qt_test, master_and_output_chosen_in_real_file_dialogs) {
  TempDir folder;
  std::filesystem::create_directory(folder.path() / "program");
  folder.write("program/REZ_default_symbol.bmp",
               read_file(std::string(PINWRIGHT_SOURCE_DIR) + "/resources/REZ_default_symbol.bmp"));
  const std::string master =
      folder.write("master.asc", "; mine\n4.89, 52.37, \"Central\"\n5.12, 52.09, \"Dom\"\n");
  folder.write("master_x.asc", "radius = 25\n4.89, 52.37\n");

  ui::qt::QtDialog dialog;
  Watchdog watchdog{dialog};
  app::Program program;
  program.program_dir = folder.file("program") + "/";

  app::start_up(program, dialog);
  // A click queues the button's event; the program takes it as its loop would.
  const auto press_and_answer = [&](int id, const std::string& path) {
    const ModalAnswer answer(choose_in_file_dialog(path), "QFileDialog");
    auto* button = qobject_cast<QPushButton*>(dialog.widget(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
    const ui::Event event = dialog.wait_for_event();
    ASSERT_EQ(event.kind, ui::EventKind::push_button);
    ASSERT_EQ(event.value, id);
    app::dispatch(program, dialog, event.value);
  };

  press_and_answer(c::kMasterText, master);
  EXPECT_EQ(dialog.text(c::kMasterPath), poi::shorten_path(master, 60));
  EXPECT_EQ(dialog.text(c::kMasterCount), "Number of POI entries:    2");
  EXPECT_FALSE(dialog.widget(c::kStart)->isEnabled());

  press_and_answer(c::kOutputOv2, folder.file("result"));
  EXPECT_EQ(dialog.text(c::kOutputPath), poi::shorten_path(folder.file("result.ov2"), 60));
  EXPECT_TRUE(dialog.widget(c::kStart)->isEnabled());
  EXPECT_FALSE(program.quit_requested);
  EXPECT_EQ(program.master.count, 3);
  EXPECT_EQ(program.exclusions.count, 1);
  // The excluded list waits for a duplicate run.
  EXPECT_FALSE(std::filesystem::exists(folder.file("excluded.asc")));
  // The shipped bitmap loads as a picture, and the picture is shown.
  EXPECT_EQ(dialog.picture(c::kOutputSymbol), folder.file("program/REZ_default_symbol.bmp"));
  EXPECT_FALSE(dialog.widget(c::kOutputSymbol)->isHidden());
  EXPECT_TRUE(dialog.widget(c::kMasterSymbol)->isHidden());
  // Nothing is written before a run: neither the Output nor its symbol.
  EXPECT_FALSE(std::filesystem::exists(folder.file("result.ov2")));
  EXPECT_FALSE(std::filesystem::exists(folder.file("result.bmp")));
}

}  // namespace
}  // namespace pinwright::testing
