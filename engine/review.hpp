#pragma once

#include <cstdint>
#include <string>

#include "app/program.hpp"
#include "engine/run.hpp"

namespace pinwright::engine {

// A coordinate as the review fields show it: F10.6. A value that needs more
// room (a longitude of -100 or below) is shown in full with 6 decimals
// rather than as asterisks.
std::string coordinate_text(float degrees);

// "Entry:" and the index in I5.
std::string entry_text(std::int32_t index);

// Fills the "First matching entry" group with the pending pair: separation,
// then row 1 (`current_entry`) and row 2 (`candidate_entry`), each longitude,
// latitude, name, information and index.
void show_pair(app::Program& program);

// A decision button on the pending pair, then the run from the next outer
// entry. Update run: Skip (1001), Save as new entry (1002), Position (1015),
// Text (1016), Both (1035); duplicate run: Keep (1001), Delete Master entry
// (1002). The second row's name and information are read back from 1012 and
// 1052. A button that does not belong to the run, a call without a pending
// pair, or a radius that is not a number changes nothing.
RunStop decide(app::Program& program, int button_id);

}  // namespace pinwright::engine
