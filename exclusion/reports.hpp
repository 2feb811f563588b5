#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "poi/record.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::exclusion {

inline constexpr std::string_view kMatchesReportSuffix = "_matches.csv";
inline constexpr std::string_view kMatchesReportHeader = "Longitude, Latitude, Name, Information";
inline constexpr std::string_view kWriteErrorTitle = "Write error";

// Pairs closer than this are not reported.
inline constexpr float kReportThresholdMetres = 1.0f;

// The Output path without its extension, followed by "_matches.csv".
std::string matches_report_path(std::string_view output_path);

// Start of a duplicate run with the marker file present: closes the report of
// an earlier run and creates the new one with its header line. A report that
// cannot be created (or an earlier one that could not be completed) is
// reported in a box; the run goes on without it.
void open_matches_report(app::Program& program);

// The two report lines for entries A and B, `metres` apart: B's last column
// names A and the distance.
std::string match_pair_lines(const poi::PoiRecord& a, const poi::PoiRecord& b, float metres);

// Writes the pair when the marker file is present and the pair lies more
// than 1 m apart.
void report_match_pair(app::Program& program, const poi::PoiRecord& a, const poi::PoiRecord& b,
                       float metres);

// The closing line of a text Output file, from the run's two counters.
void write_output_trailer(app::Program& program);

// "Number of POI entries:" and `count` in I5, trailing blanks removed.
std::string entries_label_text(std::int32_t count);
void show_entries_label(app::Program& program, std::int32_t count);

// A file that could not be written completely: "Write error" box naming it
// (`what` starts the sentence, for example "The Output file").
void report_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path);

}  // namespace pinwright::exclusion
