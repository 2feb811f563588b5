#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "exclusion/circles.hpp"

namespace pinwright::exclusion {

inline constexpr std::string_view kMatchesReportSuffix = "_matches.csv";
inline constexpr std::string_view kMatchesReportHeader = "Longitude, Latitude, Name, Information";

// The Output path without its extension, followed by "_matches.csv".
std::string matches_report_path(std::string_view output_path);

}  // namespace pinwright::exclusion
