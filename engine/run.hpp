#pragma once

#include <cstdint>
#include <optional>

#include "app/program.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/output_file.hpp"
#include "poi/record.hpp"

namespace pinwright::engine {

// The options of one call of the run, read by the caller when the call
// starts: the window cannot change them while the call works.
struct RunOptions {
  float radius = 0.0f;                  // metres; never negative
  bool settle_under_one_metre = false;  // "< 1 or": matches closer than 1 m need no review
  bool settle_every_match = false;      // "< N metres": no match needs a review
  bool append_all = false;              // update run: the Output holds the whole Master table
  // Duplicate run with circles: where the excluded list goes; empty for
  // "excluded.asc" beside the exclusions file.
  std::string excluded_list_path;
  // Update run without append_all: the Output holds the Master entries past
  // this one; when unset, past the entries read from the Master file.
  std::optional<std::int32_t> appended_after;
};

// How a call of the run came back.
enum class RunStop {
  review,         // a pair waits for the user: see `Program::run`
  finished,       // the Output was written and `output.loaded` cleared
  storage_limit,  // the result table is full: the run is over, nothing was written
};

// How the Output file fared at the end of a run.
using OutputWrite = poi::OutputWrite;

// What a call of the run did, for the caller to show.
struct RunOutcome {
  RunStop stop = RunStop::review;
  // The rest only for a finished run, in the order the user hears of it.
  bool matches_report_incomplete = false;
  OutputWrite output = OutputWrite::written;
  exclusion::ExclusionsEnd exclusions;  // duplicate run
  std::int32_t entries_written = 0;
};

// A decision on the pending pair. The first two buttons mean Skip and Save
// as new entry in an update run, Keep and Delete Master entry in a
// duplicate run; Position, Text and Both belong to the update run only.
enum class Decision { skip_or_keep, save_or_delete, position, text, both };

// The second row as the user left it.
struct EditedRow {
  poi::Text name;
  poi::Text information;
};

// Start: an update run (an Update file is loaded) or a duplicate run from
// the first entry, on `working_table`, a fresh copy of the Master entries as
// read, so that no earlier run's decisions carry over. The result begins with
// the Master entries (update run) or empty (duplicate run); the duplicate run
// counts its removals afresh.
RunOutcome start_run(app::Program& program, const RunOptions& options);

// The run from `run.position` on. Between two calls the working table may
// change only as the decisions change it: at the pending Master entry and at
// its end.
RunOutcome resume_run(app::Program& program, const RunOptions& options);

// Whether a pair waits for a decision.
bool pair_pending(const app::Program& program);

// Whether `decision` is one the current kind of run offers.
bool belongs_to_run(const app::Program& program, Decision decision);

// A decision on the pending pair (see pair_pending and belongs_to_run), then
// the run from the next entry.
RunOutcome decide(app::Program& program, Decision decision, const EditedRow& second_row,
                  const RunOptions& options);

// Whether Back can act: a pair waits and the run stopped for a review
// before it.
bool can_go_back(const app::Program& program);

// Back: the run returns to the review stop before the pending one, as if the
// decision taken there had not been taken. What the decision and the run
// after it did is undone: entries changed in place get their records back,
// entries appended and removed entries' lines are dropped, the matches report
// is cut back to its length then, and the counts and the cursor are those of
// that stop. False when there is no earlier stop: nothing changes.
bool back(app::Program& program);

}  // namespace pinwright::engine
