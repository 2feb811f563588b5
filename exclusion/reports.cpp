#include "exclusion/reports.hpp"

#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

std::string matches_report_path(std::string_view output_path) {
  return poi::split_extension(output_path).stem + std::string(kMatchesReportSuffix);
}

}  // namespace pinwright::exclusion
