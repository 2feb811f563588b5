// pinwright-batch convert: one file written in another form, every entry as
// read.

#include "batch/runs.hpp"
#include "batch/setup.hpp"

namespace pinwright::batch {

RunResult convert(const Command& command, Progress& progress) {
  Setup setup(command, progress);
  if (auto refused = setup.open({}, {})) return failure(*refused);
  poi::CompactTable table;
  if (auto refused = setup.reserve(table, 0, 0)) return failure(*refused);
  const TableRead read = setup.read(table, 0);
  if (read.failure) return failure(*read.failure);

  progress.set("writing " + command.output);
  RunOutput output = setup.output();
  for (std::int32_t k = 1; k <= table.size(); ++k) output.add(table, k);
  if (const auto failed = output.close()) return failure({ExitStatus::output_failed, *failed});
  return setup.finish(Summary{}, output);
}

}  // namespace pinwright::batch
