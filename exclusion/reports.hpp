#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "exclusion/circles.hpp"
#include "poi/output_file.hpp"
#include "poi/record.hpp"

namespace pinwright::exclusion {

inline constexpr std::string_view kMatchesReportSuffix = "_matches.csv";
inline constexpr std::string_view kMatchesReportHeader = "Longitude, Latitude, Name, Information";

// The Output path without its extension, followed by "_matches.csv".
std::string matches_report_path(std::string_view output_path);

// What opening the matches report came to.
struct MatchesReportOpen {
  enum class Status { opened, in_use, failed };
  bool previous_incomplete = false;  // the report of an earlier run was not completed
  Status status = Status::opened;
};

// Start of a duplicate run with the report enabled: closes the report of an
// earlier run and creates the new one with its header line. Without one the
// run goes on unreported.
MatchesReportOpen open_matches_report(app::Program& program);

// The two report lines for entries A and B, `metres` apart: B's last column
// names A and the distance.
std::string match_pair_lines(const poi::PoiRecord& a, const poi::PoiRecord& b, float metres);

// Writes the pair when the report is enabled and the pair lies more than 1 m
// apart.
void report_match_pair(app::Program& program, const poi::PoiRecord& a, const poi::PoiRecord& b,
                       float metres);

// Whether what the run wrote into the report (which stays open for the next
// Start) reached the disk; a report that did not is dropped.
bool matches_report_complete(app::Program& program);

// The closing line of a text Output file, from the run's two counters.
void write_output_trailer(const app::Program& program, poi::OutputFile& output);

// "Number of POI entries:" and `count` in I5, trailing blanks removed.
std::string entries_label_text(std::int32_t count);

}  // namespace pinwright::exclusion
