#include "exclusion/exclusions_file.hpp"

#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "exclusion/exclusion_run.hpp"
#include "exclusion/reports.hpp"
#include "poi/fixed_text.hpp"
#include "poi/line_reader.hpp"
#include "poi/number.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

namespace {

constexpr float kDefaultRadius = 1.0f;

bool file_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

void show_box(app::Program& program, std::string_view title, std::string_view text) {
  program.dialog.message_box(ui::ButtonSet::ok, ui::Icon::information, 1, text, title);
}

// The part of a line that is read. Of a line longer than the window only the
// window is seen; a word the window cuts in two is left out, so a number is
// never read short.
std::string_view readable_part(std::string_view window, std::size_t length) {
  if (length <= window.size()) return window;
  const std::size_t last_separator = window.find_last_of(" \t,");
  return last_separator == std::string_view::npos ? std::string_view{}
                                                  : window.substr(0, last_separator + 1);
}

// A radius line starts with "radius"; the form the format message shows,
// "Match radius = value", is one too.
bool is_radius_line(std::string_view lower) {
  constexpr std::string_view kMatch = "match ";
  if (lower.starts_with(kMatch)) {
    const std::size_t word = lower.find_first_not_of(' ', kMatch.size());
    lower.remove_prefix(word == std::string_view::npos ? lower.size() : word);
  }
  return lower.starts_with("radius");
}

enum class LineResult { ok, format_error, storage_limit };

LineResult read_line(app::Program& program, std::string_view lower) {
  if (is_radius_line(lower)) {
    const std::size_t equals = lower.find('=');
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : lower.substr(equals + 1);
    if (value.find_first_not_of(" \t") == std::string_view::npos) {
      program.exclusion_radius = kDefaultRadius;
      return LineResult::ok;
    }
    std::array<float, 1> radius{};
    if (!poi::read_free_form(value, radius)) return LineResult::format_error;
    program.exclusion_radius = radius[0];
    return LineResult::ok;
  }
  if (lower.starts_with(';')) return LineResult::ok;
  if (program.exclusion_count >= program.exclusion_table.capacity())
    return LineResult::storage_limit;
  std::array<float, 2> centre{};
  // A line that fails takes no slot: the circles before it stay as they are.
  if (!poi::read_free_form(lower, centre)) return LineResult::format_error;
  ++program.exclusion_count;
  poi::PoiRecord& circle = program.exclusion_table[program.exclusion_count];
  circle.longitude = centre[0];
  circle.latitude = centre[1];
  return LineResult::ok;
}

void open_excluded_list(app::Program& program) {
  if (program.excluded_list.is_open()) program.excluded_list.close();
  program.excluded_list = poi::OutputFile();
  const std::string path =
      poi::directory_part(program.exclusions_path) + std::string(kExcludedListName);
  program.excluded_list_path.clear();
  if (in_use(program, path)) {
    show_box(program, poi::kFileOpenConflictTitle,
             "The list of excluded entries\r" + poi::shorten_path(path, 50) +
                 "\rwould replace a file in use.\rExcluded entries will not be listed.");
    return;
  }
  // The header is written and closed first, so that a folder without write
  // permission or a full disk shows now, not at the end of a run.
  poi::OutputFile header(path, poi::OpenMode::truncate);
  write_excluded_list_header(header, program.exclusions_path, program.exclusion_radius,
                             program.master_path);
  poi::OutputFile list;
  if (header.close()) list = poi::OutputFile(path, poi::OpenMode::append);
  if (!list.is_open()) {
    report_write_failure(program.dialog, "The excluded list", path);
    return;
  }
  program.excluded_list = std::move(list);
  program.excluded_list_path = path;
}

}  // namespace

bool in_use(const app::Program& program, const std::string& path) {
  return poi::same_file(path, program.master_path) ||
         (program.update_mode && poi::same_file(path, program.update_path)) ||
         (program.output_chosen && poi::same_file(path, program.output_path));
}

std::string find_exclusions_file(std::string_view master_path) {
  const std::string own = poi::split_extension(master_path).stem + std::string(kExclusionsSuffix);
  if (file_exists(own)) return own;
  const std::string shared = poi::directory_part(own) + std::string(kExclusionsName);
  if (file_exists(shared)) return shared;
  return {};
}

void read_exclusions(app::Program& program) {
  program.exclusion_count = 0;
  // Before any Master file was accepted there is no folder to look in.
  if (program.master_path.empty()) return;
  const std::string path = find_exclusions_file(program.master_path);
  if (path.empty()) return;
  program.exclusions_path = path;
  program.excluded_count = 0;
  program.exclusion_radius = kDefaultRadius;

  poi::LineReader reader(path);
  std::string window;
  std::size_t length = 0;
  while (reader.is_open() && reader.next(window, length)) {
    const std::string lower = poi::lower_case(poi::justify_left(readable_part(window, length)));
    switch (read_line(program, lower)) {
      case LineResult::ok:
        continue;
      case LineResult::format_error:
        show_box(program, kExclusionsFormatErrorTitle, kExclusionsFormatErrorText);
        return;
      case LineResult::storage_limit:
        show_box(program, poi::kStorageLimitTitle, kTooManyExclusionsText);
        program.quit_requested = true;
        return;
    }
  }
  if (!reader.is_open() || reader.failed()) {
    show_box(program, poi::kFileOpenConflictTitle,
             "The exclusions file\r" + poi::shorten_path(path, 50) + "\rcannot be read.");
    return;
  }
  open_excluded_list(program);
}

}  // namespace pinwright::exclusion
