#pragma once

#include <cstdint>
#include <string_view>

#include "app/program.hpp"
#include "poi/record.hpp"
#include "poi/table.hpp"

namespace pinwright::engine {

// How a call of the run (or of a review decision) came back to the event loop.
enum class RunStop {
  review,     // a pair waits for the user; its decision buttons are enabled
  finished,   // Output written, summaries shown, `output_chosen` cleared; the
              // caller sets the idle labels and buttons (mode labels)
  ended,      // the result table is full: the box was shown and `quit_requested` set
  unchanged,  // the Match radius is not a number of metres, or no pair is
              // pending: nothing was changed
};

inline constexpr std::string_view kRadiusErrorTitle = "Match radius";
inline constexpr std::string_view kRadiusErrorText =
    "The Match radius must be a number of metres\r(for example 20).\rNothing has been changed.";

// Start: run position 1; an update run counts the Master entries as the first
// of its result and enables Position, Text and Both; a duplicate run resets
// its comment counter, hides those three and opens the matches report when
// the marker file is present; Quit enabled, Start and Exit disabled; then
// the run. Refused, with nothing changed, when the radius is not a number.
RunStop start_run(app::Program& program);

// The run from `run_position` on: an update run (an Update file is loaded)
// or a duplicate run. The radius is read from its combo box on every call and
// the automatic-decision check boxes at every match, so changes made during a
// review apply from the next comparison on. Between Start and this call the
// Master table may change only as the decisions change it: at the pending
// Master entry and at its end.
RunStop resume_run(app::Program& program);

// The Match radius from the text of its combo box into `match_radius`. A text
// that is not a number, or a negative one, is refused in a box: the run must
// neither match everything nor nothing by accident.
bool read_match_radius(app::Program& program);

// Appends `record` to a result table (the Merged table, or the Master table
// that an update run extends). A full table shows the "Storage limit" box
// and sets `quit_requested`; false then, with nothing stored.
bool append_result(app::Program& program, poi::PoiTable& table, std::int32_t& count,
                   const poi::PoiRecord& record);

}  // namespace pinwright::engine
