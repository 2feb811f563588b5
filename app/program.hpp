#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/run.hpp"
#include "exclusion/circles.hpp"
#include "poi/compact_table.hpp"
#include "poi/file_slot.hpp"
#include "poi/output_file.hpp"
#include "poi/paths.hpp"

namespace pinwright::app {

// What the window's tables hold at most. A file with more entries is refused
// when it is loaded, a run whose result would grow past the limit stops; the
// batch tool has no such limits.
inline constexpr std::int32_t kMasterCapacity = 50'000;
inline constexpr std::int32_t kUpdateCapacity = 30'000;
inline constexpr std::int32_t kMergedCapacity = 50'000;
inline constexpr std::int32_t kExclusionCapacity = 5'000;

// The circles of the exclusions file read beside the Master file (none when
// there is no such file), and the excluded list the last run wrote.
struct Exclusions {
  exclusion::Circles circles;
  std::string
      list_path;  // the excluded list last written, "excluded.asc" beside the exclusions file
};

// The matches report of duplicate runs, kept open from one Start to the next.
struct Reports {
  std::string matches_path;
  poi::OutputFile matches;
};

// The program-wide state through which all parts cooperate. One `Program` is
// one program life; tests create as many as they like. Texts that the dialog
// shows are plain strings here; paths are never cut to a length.
struct Program {
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool quit_requested = false;  // the event loop ends once this is set
  // "DeduRuvav_output.yes" lies in program_dir: duplicate runs write the
  // matches report.
  bool matches_report_enabled = false;

  std::string program_dir;    // ends with '/'
  std::string selected_path;  // last choice of a file dialog
  std::string radius_caption = "< 20 metres";

  poi::FileSlot master;
  poi::FileSlot update;  // loaded: the run is an update run
  poi::FileSlot output;
  // What lay at the Output's path when it was chosen: the one file a run's
  // result may replace. Nothing is written there before the run ends.
  poi::FileMark output_mark;
  // Names and information texts the last vector Output could not hold whole
  // (a shapefile's 254 bytes), written cut at a character's end.
  std::int64_t output_texts_cut = 0;

  // The entries as read from the Master and Update files. They stay so:
  // every run works on a copy of the Master entries.
  poi::CompactTable master_table;
  poi::CompactTable update_table;

  Exclusions exclusions;
  Reports reports;

  // The run started last: under way while a pair waits for a decision,
  // finished otherwise (its counts stay for the status line). It refers to
  // `update_table` and to `sink`, which live as long.
  std::unique_ptr<engine::RunSink> sink;
  std::unique_ptr<engine::Run> run;
  // Search by the plain ascending scan instead of the grid: the reference
  // that tests and benchmarks compare the grid against.
  bool plain_scan = false;

  // The date written into text Output headers; today's when not fixed.
  std::optional<std::chrono::year_month_day> fixed_today;

  bool is_update_run() const { return update.loaded; }
  // Whether a pair of the run waits for a decision.
  bool pair_pending() const { return run && run->pair_pending(); }
};

// Whether `path` is the file of a slot in use (a Master or Update file read,
// the Output file chosen).
inline bool holds(const poi::FileSlot& slot, const std::string& path) {
  return slot.loaded && poi::same_file(path, slot.path);
}

// Whether `path` is a slot's file in use: no file the program creates may
// replace it.
inline bool in_use(const Program& program, const std::string& path) {
  return holds(program.master, path) || holds(program.update, path) || holds(program.output, path);
}

}  // namespace pinwright::app
