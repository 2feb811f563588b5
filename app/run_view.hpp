#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/program.hpp"
#include "engine/run.hpp"
#include "exclusion/exclusion_run.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// Between the window and the run: reads the options when a call starts,
// calls the run and shows what it did.

// How a press of Start or of a decision button came back.
enum class RunStop {
  review,     // a pair waits for the user; its decision buttons are enabled,
              // the file slots' buttons disabled
  finished,   // the window idle, then the Output written and the summaries shown
  abandoned,  // the result table is full: the window idle, then the box; nothing written
  unchanged,  // the Match radius is not a number of metres, a typed name the
              // Output cannot hold, or no pair is pending: nothing was changed
};

inline constexpr std::string_view kNameRefusedTitle = "Name not stored";
inline constexpr std::string_view kNameRefusedText =
    "A text Output file cannot hold \" in a name:\rthe name would read back differently.\r"
    "The field keeps the name for editing.";
inline constexpr std::string_view kNothingWritten = "The run is abandoned; nothing is written.";

inline constexpr std::string_view kRadiusErrorTitle = "Match radius";
inline constexpr std::string_view kRadiusErrorText =
    "The Match radius must be a number of metres\r(for example 20).\rNothing has been changed.";

// The options as the window shows them now. A radius that is not a number,
// or a negative one, is refused in a box: the run must neither match
// everything nor nothing by accident.
std::optional<engine::RunOptions> read_run_options(ui::DialogLayer& dialog);

// Start of a duplicate run with the report enabled: the matches report is
// opened; a report that cannot be (or an earlier one that could not be
// completed) is reported in a box, and the run goes on without it.
void open_matches_report(Program& program, ui::DialogLayer& dialog);

// The end of a duplicate run's exclusions: the summary box when circles were
// read, then a box when the excluded list would have replaced a file in use
// or was not written completely.
void show_exclusions_end(ui::DialogLayer& dialog, const exclusion::ExclusionsEnd& end);

// A coordinate as the review fields show it: F10.6. A value that needs more
// room (a longitude of -100 or below) is shown in full with 6 decimals
// rather than as asterisks.
std::string coordinate_text(float degrees);

// The rule the "Names" combo box names; any other text reads no names.
engine::NameRule name_rule_of(std::string_view text);

// The similarity of a review stop's two names beside the separation: "names 0.92".
std::string name_similarity_text(double similarity);

// "Entry:" and the index in I5.
std::string entry_text(std::int32_t index);

// Fills the "First matching entry" group with the pending pair: separation,
// then row 1 (the Master entry in an update run, the earlier entry in a
// duplicate run) and row 2 (the Update entry, or the later entry), each
// longitude, latitude, name, information and index.
void show_pair(const Program& program, ui::DialogLayer& dialog);

// The run ends without a result, as after Quit: the window idle (no pair, no
// progress line, no map) and the Output slot emptied, so that Start waits for
// a new Output file. Nothing is written.
void abandon_run(Program& program, ui::DialogLayer& dialog);

// Start: the button states of a running run (Position, Text and Both enabled
// in an update run, hidden in a duplicate run; Quit enabled, Start and Exit
// disabled), the matches report opened for a duplicate run when enabled, then
// the run.
RunStop start_run(Program& program, ui::DialogLayer& dialog);

// A decision button on the pending pair, then the run from the next entry.
// Update run: Skip (1001), Save as new entry (1002), Position (1015), Text
// (1016), Both (1035); duplicate run: Keep (1001), Delete Master entry
// (1002). The second row's name and information are read back from 1012 and
// 1052. A button that does not belong to the run, a press without a pending
// pair, or a radius that is not a number changes nothing; nor does a typed
// name with a double quote that the decision would store for a text Output,
// which could not hold it: a box says so and the field keeps the name.
RunStop decide(Program& program, ui::DialogLayer& dialog, int button_id);

// Back (1060): the run returns to the review stop before the pending one and
// shows its pair again, as it was shown then. Without an earlier stop nothing
// changes.
RunStop back(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
