#include "app/vector_files.hpp"

#include <algorithm>
#include <utility>
#include <vector>

#include "ogr/table.hpp"
#include "poi/file_system.hpp"
#include "poi/paths.hpp"
#include "poi/staged_file.hpp"

namespace pinwright::app {

std::optional<std::string> vector_driver(const poi::FileSlot& slot) {
  if (slot.is_ov2()) return std::nullopt;
  return ogr::driver_for_path(slot.path);
}

VectorRead read_vector_file(const std::string& path, const std::string& driver,
                            poi::CompactTable& table, std::int32_t limit) {
  VectorRead read;
  // A missing file is told as for a text file, not in OGR's words.
  if (!poi::file_exists(path)) {
    read.refusal = poi::ReadFailure{.kind = poi::ReadFailure::Kind::open_failed};
    return read;
  }
  ogr::ReadOptions options;
  options.driver = driver;
  // The window has no layer choice: it reads the points of every layer.
  options.all_layers = true;
  bool full = false;
  ogr::ReadResult result = ogr::read_points(path, options, [&](ogr::Point&& point) {
    if (full) return;
    full = table.size() >= limit ||
           !table.append(point.longitude, point.latitude, point.name,
                         ogr::stored_information(std::move(point.information)));
  });
  read.skipped = result.skipped;
  // A file without features is empty, as an empty text file is; one whose
  // features are all of other geometries is refused.
  const bool empty = result.failure && result.failure->kind == ogr::ReadFailure::Kind::no_points &&
                     result.skipped == 0;
  if (result.failure && !empty) {
    read.failure = std::move(result.failure);
  } else if (full) {
    read.refusal = poi::ReadFailure{.kind = poi::ReadFailure::Kind::storage_limit, .limit = limit};
  } else {
    read.points = table.size();
  }
  return read;
}

namespace {

// The files the driver made in `staged` for the Output at `path`, each with
// where it goes: the Output's own file onto `path`, the others beside it.
// Nothing when one of them would replace a slot's file in use.
std::optional<std::vector<std::pair<std::string, std::string>>> moves_of(
    const Program& program, const poi::StagedFolder& staged, const std::string& path) {
  const std::string folder = poi::directory_part(path);
  const std::string name = path.substr(folder.size());
  std::vector<std::pair<std::string, std::string>> moves;
  for (const std::string& made : staged.file_names()) {
    const std::string target = made == name ? path : folder + made;
    // A text file may have any name, out.dbf too.
    if (made != name && in_use(program, target)) return std::nullopt;
    moves.emplace_back(made, target);
  }
  // The Output's own file goes last: its path shows a complete dataset.
  std::stable_partition(moves.begin(), moves.end(),
                        [&](const auto& move) { return move.first != name; });
  return moves;
}

ogr::WriteOptions write_options(const std::string& driver, const std::string& name) {
  ogr::WriteOptions options;
  options.driver = driver;
  options.layer_name = poi::split_extension(name).stem;
  return options;
}

}  // namespace

std::optional<std::string> vector_output_refusal(const Program& program, const std::string& path,
                                                 const std::string& driver) {
  const std::string name = path.substr(poi::directory_part(path).size());
  poi::StagedFolder staged(path);
  // A folder that takes no new file is refused by the caller.
  if (!staged.reserve()) return std::nullopt;
  if (ogr::write_points(staged.path() + name, {}, write_options(driver, name)).failure)
    return std::nullopt;
  for (const std::string& made : staged.file_names()) {
    if (made != name && in_use(program, poi::directory_part(path) + made))
      return "makes " + made + ", a file in use";
  }
  return std::nullopt;
}

poi::OutputWrite write_vector_output(const Program& program, const std::string& driver,
                                     const poi::CompactTable& table,
                                     std::span<const std::int32_t> entries,
                                     std::int64_t& texts_cut) {
  const std::string& path = program.output.path;
  const std::string name = path.substr(poi::directory_part(path).size());
  std::vector<ogr::Point> points;
  points.reserve(entries.size());
  for (const std::int32_t k : entries)
    if (!table.is_comment(k)) points.push_back(ogr::point_of(table, k));

  poi::StagedFolder staged(path);
  if (!staged.reserve()) return poi::OutputWrite::incomplete;
  const ogr::WriteResult written =
      ogr::write_points(staged.path() + name, points, write_options(driver, name));
  if (written.failure) return poi::OutputWrite::incomplete;
  texts_cut = written.texts_cut;
  const auto moves = moves_of(program, staged, path);
  if (!moves) return poi::OutputWrite::incomplete;
  // Looked at last, just before the files move: a file put there during a
  // long review is not the program's to replace.
  if (!program.output_mark.free_or_unchanged(path)) return poi::OutputWrite::replaced;
  for (const auto& [made, target] : *moves)
    if (!staged.move_out(made, target)) return poi::OutputWrite::incomplete;
  return poi::OutputWrite::written;
}

}  // namespace pinwright::app
