#include "batch/runs.hpp"

namespace pinwright::batch {

RunResult run_command(const Command& command, Progress& progress) {
  switch (command.subcommand) {
    case Subcommand::dedupe:
      return dedupe(command, progress);
    case Subcommand::update:
      return update(command, progress);
    case Subcommand::convert:
      break;
  }
  return convert(command, progress);
}

}  // namespace pinwright::batch
