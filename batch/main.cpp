// pinwright-batch: the duplicate run, the update run and the conversion
// between the two file forms, without a window and with every match settled
// by the options. Exit status: 0 done, 1 an input that cannot be read,
// 2 bad usage (an output naming an input included), 3 an output that could
// not be written.

#include <iostream>
#include <string>
#include <vector>

#include "batch/arguments.hpp"
#include "batch/files.hpp"
#include "batch/progress.hpp"
#include "batch/runs.hpp"
#include "poi/file_system.hpp"
#include "poi/staged_file.hpp"

int main(int argc, char** argv) {
  namespace batch = pinwright::batch;
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const batch::ParsedCommandLine parsed = batch::parse_command_line(args);
  if (!parsed.command) {
    std::cout << parsed.out;
    std::cerr << parsed.err;
    if (!std::cout.flush()) return static_cast<int>(batch::ExitStatus::output_failed);
    return static_cast<int>(parsed.status);
  }
  batch::Command command = *parsed.command;
  command.program_dir = pinwright::poi::program_dir_from(argc > 0 ? argv[0] : "");
  pinwright::poi::remove_temporaries_on_signal();
  batch::RunResult result;
  {
    batch::Progress progress(!command.quiet && batch::Progress::stderr_is_terminal());
    result = batch::run_command(command, progress);
  }
  if (result.status != batch::ExitStatus::success) {
    std::cerr << "pinwright-batch: " << result.message << '\n';
    return static_cast<int>(result.status);
  }
  if (command.quiet) return 0;
  // Standard output may be the Output itself: the line then goes with the messages.
  std::ostream& out = batch::is_standard_output(command.output) ? std::cerr : std::cout;
  out << batch::summary_line(result.summary) << '\n';
  return out.flush() ? 0 : static_cast<int>(batch::ExitStatus::output_failed);
}
