// pinwright-script: the program driven by a script instead of a user, its
// window described by a transcript on standard output.
// Exit status: 0 when the program ended through its loop or printed its
// version, 2 for bad arguments or an unreadable script, 3 when the script
// stopped with an error.

#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "ui/dialog_description.hpp"
#include "ui/script/arguments.hpp"
#include "ui/script/scripted_dialog.hpp"
#include "version.hpp"

namespace {

std::optional<std::string> read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad() || !in.eof()) return std::nullopt;
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  namespace script = pinwright::ui::script;
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const script::ArgumentsResult parsed = script::parse_arguments(args);
  if (!parsed.arguments) {
    std::cerr << "pinwright-script: " << parsed.error << '\n' << script::kUsage << '\n';
    return 2;
  }
  const script::Arguments& arguments = *parsed.arguments;
  if (arguments.version) {
    std::cout << "pinwright-script " << pinwright::kVersion << '\n';
    return std::cout.flush() ? 0 : 1;
  }
  const std::optional<std::string> script_text = read_whole_file(arguments.script_path);
  if (!script_text) {
    std::cerr << "pinwright-script: cannot read the script " << arguments.script_path << '\n';
    return 2;
  }
  const pinwright::ui::DescriptionResult description =
      pinwright::ui::read_dialog_description(pinwright::ui::main_dialog_designer_xml());
  if (!description.dialog) {
    std::cerr << "pinwright-script: the built-in main dialog description is broken: "
              << description.error << '\n';
    return 1;
  }

  script::ScriptedDialog dialog(*description.dialog, script::split_lines(*script_text), std::cout);
  // The tables are large: the program state lives on the heap.
  auto program = std::make_unique<pinwright::app::Program>();
  program->program_dir =
      arguments.program_dir.value_or(pinwright::app::program_dir_from(argc > 0 ? argv[0] : ""));
  program->fixed_today = arguments.today;
  try {
    const int status = pinwright::app::run_program(*program, dialog);
    if (!std::cout.flush()) {
      std::cerr << "pinwright-script: the transcript could not be written\n";
      return 1;
    }
    return status;
  } catch (const script::ScriptError& error) {
    std::cout.flush();
    std::cerr << error.what() << '\n';
    return 3;
  }
}
