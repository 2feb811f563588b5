#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/program.hpp"
#include "map/scene.hpp"

namespace pinwright::app {

// What the window shows beside the review rows: where the run stands, how it
// ended, and the map of the pending pair.

// The size a map is fitted to when the window does not say otherwise: the
// transcript of a scripted session shows the map at this size.
inline constexpr int kMapWidth = 800;
inline constexpr int kMapHeight = 600;

// While a review waits: "Update entry 12 of 15: 3 matches so far (1 settled
// automatically, 1 reviewed)", or "Entry 12 of 40: ..." in a duplicate run.
// The pending match counts among the matches, not yet among the reviewed.
// Entry numbers are those of the review rows, which count comment lines:
// the total is the table's, comment lines included.
std::string progress_text(const Program& program);

// After a run: "N entries appended, M matches (K settled automatically, L
// reviewed), T entries written" for an update run, "D duplicates deleted, K
// kept, E excluded, T entries written" for a duplicate run; a count of one
// takes the singular ("1 entry appended").
std::string run_status_text(const engine::RunCounts& counts, bool update_run,
                            std::int32_t entries_written);

// The map of the pair a review waits on, fitted to width x height pixels:
// row 1 and row 2 as the review rows show them, the Match radius around row
// 1, and as dots the entries of the working table (the Master entries and,
// in an update run, those appended so far), the pair's own left out. Nothing
// when no review waits. The input refers to the program's tables and index:
// it is good until the run goes on.
std::optional<map::SceneInput> review_map(const Program& program, float radius,
                                          int width = kMapWidth, int height = kMapHeight);

}  // namespace pinwright::app
