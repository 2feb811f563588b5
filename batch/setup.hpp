#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/arguments.hpp"
#include "batch/files.hpp"
#include "batch/ogr_files.hpp"
#include "batch/progress.hpp"
#include "batch/summary.hpp"
#include "batch/tables.hpp"
#include "poi/compact_table.hpp"
#include "poi/file_slot.hpp"

namespace pinwright::batch {

// What a subcommand came to: its exit status, and the message or the counts.
struct RunResult {
  ExitStatus status = ExitStatus::success;
  std::string message;  // what went wrong, naming the file
  Summary summary;
};

RunResult failure(const Refusal& refusal);

// What reading inputs into a table gave.
struct TableRead {
  std::int64_t poi_entries = 0;
  std::optional<Refusal> failure;
};

// The files of one subcommand, from the checks before anything is read to the
// files put in place: its inputs (each in its form, standard input copied
// first), the files it writes, staged under temporary names, and the counts
// its summary takes from them. Every subcommand goes through the same steps:
// open(), read() its inputs into tables, write under temporary(), finish().
class Setup {
 public:
  Setup(const Command& command, Progress& progress);
  Setup(const Setup&) = delete;
  Setup& operator=(const Setup&) = delete;

  // Checks every file to write (the Output, then `others` in this order)
  // against every input file, `exclusions_path` and one another, and opens the
  // inputs: the refusal, if any. Nothing is read before.
  std::optional<Refusal> open(std::vector<Target> others, const std::string& exclusions_path);

  std::size_t inputs() const { return inputs_.size(); }
  // Input `k` as given, for messages ("-": standard input).
  const std::string& named(std::size_t k) const { return inputs_.named(k); }

  // Makes `table` large enough for inputs first..last, so that it does not
  // move while they are read into it; a refusal when one cannot be read.
  // Each input is measured once, however many tables it is reserved for.
  std::optional<Refusal> reserve(poi::CompactTable& table, std::size_t first, std::size_t last);
  // Appends the entries of input `k` to `table` (an Update file's as `slot`
  // says), counting them on the progress line.
  TableRead read(poi::CompactTable& table, std::size_t k);

  // The Output's form as the run treats it: a vector Output holds the
  // information as a text Output does.
  poi::FileKind output_kind() const;
  // The Output, written under its temporary name.
  RunOutput output() const;
  // Where file `k` of open()'s list (0: the Output) is written until finish().
  std::string temporary(std::size_t k) const { return outputs_->temporary(k); }
  std::string cannot_write(std::size_t k) const { return outputs_->cannot_write(k); }
  // File `k` as given.
  const std::string& written(std::size_t k) const { return written_[k]; }
  // Gives up file `k`: nothing takes its final path, and the files after it
  // move up one place.
  void discard(std::size_t k);

  const Command& command() const { return command_; }
  Progress& progress() { return progress_; }

  // Puts every file in place, the summary JSON among them when asked for;
  // `summary` gains the counts of the inputs read and the Output written.
  RunResult finish(Summary summary, const RunOutput& output);

 private:
  const Command& command_;
  Progress& progress_;
  Inputs inputs_;
  std::unique_ptr<Outputs> outputs_;
  std::vector<std::string> written_;
  OgrFiles files_;
  std::map<std::size_t, FileBound> bounds_;  // by input
};

}  // namespace pinwright::batch
