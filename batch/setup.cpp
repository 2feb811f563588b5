#include "batch/setup.hpp"

#include <algorithm>
#include <utility>

#include "batch/tables.hpp"
#include "poi/format.hpp"

namespace pinwright::batch {

namespace {

// What the window's slot would hold for a file of this form: a vector file
// goes where a text file would.
poi::FileKind kind_of(const FileForm& form) {
  return form.kind == FileForm::Kind::ov2 ? poi::FileKind::ov2 : poi::FileKind::text;
}

}  // namespace

RunResult failure(const Refusal& refusal) {
  return RunResult{refusal.status, refusal.message, {}};
}

Setup::Setup(const Command& command, Progress& progress)
    : command_(command), progress_(progress), inputs_(command), files_(command, inputs_) {}

std::optional<Refusal> Setup::open(std::vector<Target> others, const std::string& exclusions_path) {
  std::vector<Target> targets{{"the Output", command_.output}};
  targets.insert(targets.end(), std::make_move_iterator(others.begin()),
                 std::make_move_iterator(others.end()));
  for (const Target& target : targets) written_.push_back(target.path);
  outputs_ = std::make_unique<Outputs>(std::move(targets), command_);
  if (auto refused = outputs_->prepare(inputs_.files(exclusions_path))) return refused;
  return inputs_.open();
}

// What a vector file holds shows only when it is read: the table grows for it.
std::optional<Refusal> Setup::reserve(poi::CompactTable& table, std::size_t first,
                                      std::size_t last) {
  FileBound total;
  for (std::size_t k = first; k <= last; ++k) {
    if (inputs_.form(k).kind == FileForm::Kind::ogr) continue;
    auto known = bounds_.find(k);
    if (known == bounds_.end()) {
      const auto bound = file_bound(inputs_.path(k), kind_of(inputs_.form(k)));
      if (!bound) return Refusal{ExitStatus::bad_input, inputs_.named(k) + ": cannot be read"};
      known = bounds_.emplace(k, *bound).first;
    }
    total.records += known->second.records;
    total.bytes += known->second.bytes;
  }
  table.reserve(std::min<std::int64_t>(total.records, poi::CompactTable::kMaxEntries), total.bytes);
  return std::nullopt;
}

TableRead Setup::read(poi::CompactTable& table, std::size_t k) {
  progress_.set("reading " + inputs_.named(k));
  const InputRead read = files_.read(table, k, progress_.entries_read());
  TableRead result;
  if (read.failure)
    result.failure = Refusal{ExitStatus::bad_input, *read.failure};
  else
    result.poi_entries = read.poi_entries;
  return result;
}

void Setup::discard(std::size_t k) {
  outputs_->discard(k);
  written_.erase(written_.begin() + static_cast<std::ptrdiff_t>(k));
}

poi::FileKind Setup::output_kind() const {
  return kind_of(files_.output());
}

RunOutput Setup::output() const {
  return RunOutput(files_, outputs_->temporary(0), poi::local_today());
}

RunResult Setup::finish(Summary summary, const RunOutput& output) {
  summary.entries_written = output.poi_entries();
  summary.texts_cut = output.texts_cut();
  summary.fields_dropped = output.fields_dropped();
  summary.skipped_geometries = files_.skipped();
  if (auto refused =
          outputs_->commit(command_.summary_json_path ? summary_json(summary) : std::string()))
    return failure(*refused);
  return RunResult{ExitStatus::success, {}, summary};
}

}  // namespace pinwright::batch
