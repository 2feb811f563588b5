// Any bytes as the exclusions file beside a Master file: no crash, at most
// 5,000 circles, finite numbers, and the outcome told by exactly one box or
// by an excluded list ready for the run.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/program.hpp"
#include "exclusion/exclusion_run.hpp"
#include "exclusion/exclusions_file.hpp"
#include "tests/fuzz/fuzz_input.hpp"

namespace {

using namespace pinwright;

// The reader only shows OK boxes; the target counts them and remembers the last title.
class BoxCounter : public ui::DialogLayer {
 public:
  void initialise(std::string_view) override {}
  void open_root_window(int) override {}
  void load_dialog(int) override {}
  void show_dialog() override {}
  void set_title(std::string_view) override {}
  void put_text(int, std::string_view) override {}
  std::string get_text(int) override { return {}; }
  void set_field_state(int, ui::FieldState) override {}
  bool get_check_box(int) override { return false; }
  void set_check_box(int, bool) override {}
  void enable_event_kind(ui::EventKind, bool) override {}
  ui::Event wait_for_event() override { return {ui::EventKind::push_button, 2}; }
  int message_box(ui::ButtonSet buttons, ui::Icon, int, std::string_view,
                  std::string_view title) override {
    if (buttons != ui::ButtonSet::ok) std::abort();
    ++boxes;
    last_title = title;
    return ui::kAnswerOkYesRetry;
  }
  std::optional<std::string> choose_file(std::string_view, ui::FileDialogForm, std::string_view,
                                         std::string_view) override {
    std::abort();
  }
  void help(std::string_view) override {}
  void draw_picture(int, std::string_view) override {}
  void close_down() override {}

  int boxes = 0;
  std::string last_title;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder folder;
  static BoxCounter dialog;
  static app::Program program(dialog);  // the tables are large: one for all inputs

  dialog.boxes = 0;
  dialog.last_title.clear();
  program.quit_requested = false;
  program.excluded_list = poi::OutputFile();
  program.master_path = folder.path() + "pois.asc";
  folder.write("pois_x.asc", std::string_view(reinterpret_cast<const char*>(data), size));

  exclusion::read_exclusions(program);

  if (program.exclusion_count < 0 || program.exclusion_count > 5000) std::abort();
  if (dialog.boxes > 1) std::abort();
  if (program.quit_requested != (dialog.last_title == "Storage limit")) std::abort();
  if (dialog.boxes == 0 && (!program.excluded_list.is_open() ||
                            program.excluded_list_path != folder.path() + "excluded.asc"))
    std::abort();
  if (!std::isfinite(program.exclusion_radius)) std::abort();
  for (std::int32_t k = 1; k <= program.exclusion_count; ++k) {
    const poi::PoiRecord& centre = program.exclusion_table[k];
    if (!std::isfinite(centre.longitude) || !std::isfinite(centre.latitude)) std::abort();
  }
  // The circles as the run uses them, on an entry at the origin.
  program.current_entry = poi::PoiRecord{};
  const std::int32_t before = program.excluded_count;
  const bool excluded = exclusion::exclusion_test(program);
  if (program.excluded_count != before + (excluded ? 1 : 0)) std::abort();
  return 0;
}
