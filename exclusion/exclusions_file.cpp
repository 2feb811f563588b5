#include "exclusion/exclusions_file.hpp"

#include <array>

#include "poi/file_system.hpp"
#include "poi/fixed_text.hpp"
#include "poi/line_reader.hpp"
#include "poi/number.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::exclusion {

namespace {

constexpr float kDefaultRadius = 1.0f;

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

LineResult read_line(Circles& circles, std::int64_t limit, std::string_view lower) {
  if (is_radius_line(lower)) {
    const std::size_t equals = lower.find('=');
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : lower.substr(equals + 1);
    if (value.find_first_not_of(" \t") == std::string_view::npos) {
      circles.radius = kDefaultRadius;
      return LineResult::ok;
    }
    std::array<float, 1> radius{};
    if (!poi::read_free_form(value, radius)) return LineResult::format_error;
    circles.radius = radius[0];
    return LineResult::ok;
  }
  if (lower.starts_with(';')) return LineResult::ok;
  if (static_cast<std::int64_t>(circles.centres.size()) >= limit) return LineResult::storage_limit;
  std::array<float, 2> centre{};
  // A line that fails takes no slot: the circles before it stay as they are.
  if (!poi::read_free_form(lower, centre)) return LineResult::format_error;
  circles.centres.push_back(Circles::Centre{centre[1], centre[0]});
  return LineResult::ok;
}

}  // namespace

std::string find_exclusions_file(std::string_view master_path) {
  const std::string own = poi::split_extension(master_path).stem + std::string(kExclusionsSuffix);
  if (poi::file_exists(own)) return own;
  const std::string shared = poi::directory_part(own) + std::string(kExclusionsName);
  if (poi::file_exists(shared)) return shared;
  return {};
}

ExclusionsRead read_exclusion_circles(const std::string& path, std::int64_t limit) {
  ExclusionsRead read;
  read.path = path;
  read.circles.path = path;
  read.circles.radius = kDefaultRadius;

  poi::LineReader reader(path);
  std::string window;
  std::size_t length = 0;
  while (reader.is_open() && reader.next(window, length)) {
    const std::string lower = poi::lower_case(poi::justify_left(readable_part(window, length)));
    switch (read_line(read.circles, limit, lower)) {
      case LineResult::ok:
        continue;
      case LineResult::format_error:
        read.status = ExclusionsRead::Status::format_error;
        read.line = static_cast<std::int64_t>(reader.line_number());
        read.line_text = window;
        return read;
      case LineResult::storage_limit:
        read.status = ExclusionsRead::Status::storage_limit;
        return read;
    }
  }
  read.status = !reader.is_open() || reader.failed() ? ExclusionsRead::Status::unreadable
                                                     : ExclusionsRead::Status::read;
  return read;
}

}  // namespace pinwright::exclusion
