// Any bytes as a script of pinwright-script: the scripted layer reads it line
// by line while the whole program runs under it, loading, running and writing
// small files. A script either ends the program through its loop or stops
// with a ScriptError; nothing else may happen.
//
// What comes before a line "%%" is not script but data: it is laid out as
// "data.asc", "data.ov2" and "data_x.asc" (the exclusions file of data.asc),
// so that runs meet any positions and names, not only those of the fixed files.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/fuzz/fuzz_input.hpp"
#include "ui/dialog_description.hpp"
#include "ui/script/scripted_dialog.hpp"

namespace {

using namespace pinwright;

// Every file a script chooses lies in the scratch folder: only the last part
// of the chosen path is kept, as a plain name, so that no input can reach
// files elsewhere.
class ConfinedDialog : public ui::script::ScriptedDialog {
 public:
  ConfinedDialog(const ui::DialogDescription& description,
                 std::vector<ui::script::ScriptLine> script, std::ostream& transcript,
                 std::string folder)
      : ScriptedDialog(description, std::move(script), transcript), folder_(std::move(folder)) {}

  std::optional<std::string> choose_file(std::string_view filter, ui::FileDialogForm form,
                                         std::string_view start_path,
                                         std::string_view title) override {
    const std::optional<std::string> chosen =
        ScriptedDialog::choose_file(filter, form, start_path, title);
    if (!chosen) return chosen;
    std::string name = chosen->substr(chosen->rfind('/') + 1);
    if (name.size() > 64) name.resize(64);
    for (char& c : name) {
      const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
      if (!plain) c = '_';
    }
    if (name.find_first_not_of('.') == std::string::npos) name = "_" + name;
    return folder_ + name;
  }

 private:
  std::string folder_;
};

// The files a script may load; each input starts from exactly these.
void lay_out_files(const fuzz::ScratchFolder& folder, std::string_view data) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path(), ignored))
    std::filesystem::remove_all(entry.path(), ignored);
  folder.write("master.asc",
               "; Master\n4.89, 52.37, \"Station\", open\n4.8901, 52.3701, \"Station 2\"\n"
               "4.90, 52.38, \"Museum\"\n\n   \n5.0, 52.0, \"Far\"\n");
  folder.write(
      "update.asc",
      "4.8902, 52.3700, \"Station X\"\n4.9001, 52.3801, \"Shop\", x\n4.95, 52.40, \"New\"\n"
      "; c\n4.9501, 52.4001, \"New 2\"\n");
  folder.write("master_x.asc", "radius = 50\n5.0, 52.0, \"circle\"\n");
  // Two type-2 records 1 m apart, a skipper block and a type-3 record.
  std::string ov2;
  const auto record = [&](char type, std::int32_t lon, std::int32_t lat, std::string_view name) {
    const std::int32_t length = static_cast<std::int32_t>(name.size()) + 14;
    ov2 += type;
    for (const std::int32_t value : {length, lon, lat})
      for (int shift = 0; shift < 32; shift += 8) ov2 += static_cast<char>((value >> shift) & 0xFF);
    ov2 += name;
    ov2 += '\0';
  };
  record(2, 489000, 5237000, "A");
  ov2 += '\x01';
  ov2.append(20, '\0');
  record(3, 489001, 5237000, "B");
  folder.write("master.ov2", ov2);
  for (const std::string_view name : {"data.asc", "data.ov2", "data_x.asc"})
    folder.write(name, data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder folder;
  static const ui::DescriptionResult description =
      ui::read_dialog_description(ui::main_dialog_designer_xml());
  if (!description.dialog) std::abort();
  std::string_view script(reinterpret_cast<const char*>(data), size);
  std::string_view files;
  if (const std::size_t marker = script.find("\n%%\n"); marker != std::string_view::npos) {
    files = script.substr(0, marker);
    script.remove_prefix(marker + 4);
  }
  lay_out_files(folder, files);

  std::ostream transcript(nullptr);  // what the window shows is not looked at
  ConfinedDialog dialog(*description.dialog, ui::script::split_lines(script), transcript,
                        folder.path());
  auto program = std::make_unique<app::Program>();
  program->program_dir = folder.path();
  program->fixed_today = std::chrono::year_month_day{std::chrono::year{2026}, std::chrono::December,
                                                     std::chrono::day{7}};
  try {
    if (app::run_program(*program, dialog) != 0) std::abort();
    if (!program->quit_requested) std::abort();
  } catch (const ui::script::ScriptError& error) {
    if (error.line() < 1) std::abort();
  }
  return 0;
}
