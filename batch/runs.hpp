#pragma once

#include "batch/arguments.hpp"
#include "batch/progress.hpp"
#include "batch/setup.hpp"
#include "batch/summary.hpp"

namespace pinwright::batch {

// Runs `command`: its subcommand on the engine the window runs on, every
// match settled by the command's options. The outputs appear only when
// everything was written; an output that names an input is refused before
// anything is read.
RunResult run_command(const Command& command, Progress& progress);

// The subcommands, one file each.
RunResult dedupe(const Command& command, Progress& progress);
RunResult update(const Command& command, Progress& progress);
RunResult convert(const Command& command, Progress& progress);

}  // namespace pinwright::batch
