#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "poi/file_slot.hpp"
#include "poi/output_file.hpp"
#include "poi/paths.hpp"
#include "poi/record.hpp"
#include "poi/table.hpp"

namespace pinwright::engine {
class MatchIndex;
struct RunJournal;
}  // namespace pinwright::engine

namespace pinwright::app {

// What a run has done so far, for its progress and its end. Every match is
// settled automatically or reviewed, except the one a review waits on; in a
// duplicate run every settled or deleted match is a duplicate deleted, every
// Keep an entry kept, and entries kept but inside an exclusion circle count
// as excluded too.
struct RunCounts {
  std::int32_t matches = 0;
  std::int32_t settled = 0;   // without a review, by the "< 1 or" or "< N metres" option
  std::int32_t reviewed = 0;  // decisions taken
  std::int32_t appended = 0;  // update run: POI entries added to the Master table
  std::int32_t deleted = 0;   // duplicate run: earlier entries of a pair left out
  std::int32_t kept = 0;      // duplicate run: Keep decisions
  std::int32_t excluded = 0;  // duplicate run: entries inside an exclusion circle
};

// Where a run stands. The names read the same in both runs: the entry being
// matched (the probe) is an Update entry in an update run and the earlier
// Master entry in a duplicate run; the entry it matched is always a Master
// entry.
struct RunCursor {
  std::int32_t position = 1;     // the next entry to be matched when the run goes on
  std::int32_t probe_index = 0;  // the entry being matched
  std::int32_t match_index = 0;  // the Master entry it matched
  poi::PoiRecord probe_entry;
  poi::PoiRecord match_entry;
  float separation = 0.0f;  // metres between the two
  // Entries of the result: the Merged table in a duplicate run; in an update
  // run the Master table, which the run extends past the entries read.
  std::int32_t result_count = 0;
  std::int32_t comment_counter = 0;     // comment lines of the result
  std::int32_t poi_record_counter = 0;  // POI lines written to the Output file
  RunCounts counts;
};

// The circles of the exclusions file read beside the Master file, and the
// entries they remove.
struct Exclusions {
  std::string path;        // the exclusions file last read
  std::int32_t count = 0;  // circles read
  float radius = 0.0f;     // metres
  poi::PoiTable circles{poi::kExclusionCapacity};
  // The lines of the entries the current duplicate run removed, in the order
  // it reached them; the excluded list gets them when the run finishes.
  std::vector<std::string> excluded_lines;
  std::string
      list_path;  // the excluded list last written, "excluded.asc" beside the exclusions file
};

// The matches report of duplicate runs, kept open from one Start to the next.
struct Reports {
  std::string matches_path;
  poi::OutputFile matches;
};

// How many records each table holds. The window keeps the default
// capacities; a front end without a window sizes the tables to its files.
struct TableCapacities {
  std::int32_t master = poi::kMasterCapacity;
  std::int32_t update = poi::kUpdateCapacity;
  std::int32_t merged = poi::kMergedCapacity;
  std::int32_t exclusion = poi::kExclusionCapacity;
};

// The program-wide state through which all parts cooperate. One `Program` is
// one program life; tests create as many as they like. Texts that the dialog
// shows are plain strings here; paths are never cut to a length.
struct Program {
  Program() = default;
  explicit Program(const TableCapacities& capacities)
      : master_table(capacities.master),
        update_table(capacities.update),
        merged_table(capacities.merged),
        working_table(capacities.master) {
    exclusions.circles = poi::PoiTable(capacities.exclusion);
  }
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

  RunCursor run;
  // The run's spatial index over the working table, made by the run when first
  // needed and brought in line with the table at every call.
  std::shared_ptr<engine::MatchIndex> search_index;
  // The review stops of the run in progress, for Back; made by the run.
  std::shared_ptr<engine::RunJournal> journal;
  // Search by the plain ascending scan instead of the index: the reference
  // that tests and benchmarks compare the index against.
  bool plain_scan = false;

  Exclusions exclusions;
  Reports reports;

  // Tables, indexed from 1. The Master and Update tables hold the entries as
  // read from their files and stay so: every run starts from them.
  poi::PoiTable master_table{poi::kMasterCapacity};
  poi::PoiTable update_table{poi::kUpdateCapacity};
  poi::PoiTable merged_table{poi::kMergedCapacity};
  // The Master table as the run works on it: copied from `master_table` at
  // Start, changed by the decisions and, in an update run, extended past the
  // entries read.
  poi::PoiTable working_table{poi::kMasterCapacity};

  // The date written into text Output headers; today's when not fixed.
  std::optional<std::chrono::year_month_day> fixed_today;

  bool is_update_run() const { return update.loaded; }
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
