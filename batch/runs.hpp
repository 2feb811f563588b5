#pragma once

#include <string>

#include "batch/arguments.hpp"
#include "batch/progress.hpp"
#include "batch/summary.hpp"

namespace pinwright::batch {

struct RunResult {
  ExitStatus status = ExitStatus::success;
  std::string message;  // what went wrong, naming the file
  Summary summary;
};

// Runs `command` on the same engine as the window, every match settled by
// the command's options. The outputs appear only when everything was
// written; an output that names an input is refused before anything is read.
RunResult run_command(const Command& command, Progress& progress);

}  // namespace pinwright::batch
