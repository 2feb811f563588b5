#include "batch/ogr_files.hpp"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "poi/paths.hpp"

namespace pinwright::batch {

namespace {

// The double that prints as the float does: 4.89f is written as 4.89, not
// as 4.88999986648559570.
double widen(float value) {
  char text[32];
  const auto printed = std::to_chars(text, text + sizeof text, value);
  double wide = value;
  std::from_chars(text, printed.ptr, wide);
  return wide;
}

// A text line keeps the separator that ended the name in its information;
// the fields of other formats hold the text alone.
inline constexpr std::string_view kSeparator = ", ";

std::string information_field(std::string_view information) {
  if (!information.empty() && (information.front() == ',' || information.front() == ';')) {
    information.remove_prefix(1);
    while (!information.empty() && information.front() == ' ') information.remove_prefix(1);
  }
  return std::string(information);
}

std::string stored_information(const std::string& field) {
  if (field.empty() || field.front() == ',' || field.front() == ';') return field;
  return std::string(kSeparator) + field;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string message_of(const ogr::ReadFailure& failure, std::int64_t skipped, bool gpx) {
  using Kind = ogr::ReadFailure::Kind;
  const std::string layer = failure.path + ": layer " + failure.layer;
  const std::string feature = layer + ", feature " + std::to_string(failure.feature);
  switch (failure.kind) {
    case Kind::cannot_open:
      return failure.path + ": cannot be read as a vector file: " + failure.detail;
    case Kind::no_points:
      return layer + ": no points in the file, " + std::to_string(skipped) +
             (skipped == 1 ? " other feature" : " other features") +
             (gpx ? " (route or track points: --points routes or tracks)" : "");
    case Kind::no_name_field:
      return layer +
             ": no name field; choose one with --name-field (fields: " + joined(failure.fields) +
             ")";
    case Kind::named_field_missing:
      return layer + ": no field " + failure.field + " (fields: " + joined(failure.fields) + ")";
    case Kind::no_transformation:
      return feature + ": its coordinate system cannot be turned into WGS 84: " + failure.detail;
    case Kind::outside_range:
      break;
  }
  return feature + ": outside longitude -180..180, latitude -90..90 in WGS 84: " + failure.detail;
}

ogr::GpxPoints gpx_points(GpxChoice choice) {
  switch (choice) {
    case GpxChoice::routes:
      return ogr::GpxPoints::routes;
    case GpxChoice::tracks:
      return ogr::GpxPoints::tracks;
    case GpxChoice::waypoints:
      break;
  }
  return ogr::GpxPoints::waypoints;
}

// The files a driver writes beside the one named (a shapefile's index,
// table, projection and code page).
inline constexpr const char* kSidecars[] = {"shx", "dbf", "prj", "cpg"};

}  // namespace

OgrFiles::OgrFiles(const Command& command) : command_(command) {
  if (!command.formats.output_format.empty())
    output_driver_ = command.formats.output_format;
  else
    output_driver_ = ogr::driver_for_path(command.output);
}

std::optional<std::string> OgrFiles::driver_of(const std::string& path) const {
  if (!command_.formats.input_format.empty()) return command_.formats.input_format;
  return ogr::driver_for_path(path);
}

std::optional<std::int64_t> OgrFiles::bound(const std::string& path) {
  const auto driver = driver_of(path);
  if (!driver) return record_bound(path);
  ogr::ReadOptions options;
  options.driver = *driver;
  options.name_field = command_.formats.name_field;
  options.info_field = command_.formats.info_field;
  options.x_field = command_.formats.x_field;
  options.y_field = command_.formats.y_field;
  options.gpx_points = gpx_points(command_.formats.points);
  ogr::ReadPoints& read = read_[path] = ogr::read_all_points(path, options);
  return read.result.failure ? 0 : read.result.points;
}

InputRead OgrFiles::read(app::Program& program, poi::Slot slot, const std::string& path) {
  if (!driver_of(path)) return read_input(program, slot, path);
  // An Update file named twice is read again.
  if (!read_.contains(path)) bound(path);
  const auto found = read_.find(path);
  const ogr::ReadPoints points = std::move(found->second);
  read_.erase(found);
  poi::FileSlot& file = slot == poi::Slot::master ? program.master : program.update;
  poi::PoiTable& table = slot == poi::Slot::master ? program.master_table : program.update_table;
  file.path = path;
  file.kind = poi::FileKind::text;
  file.loaded = false;
  file.count = 0;
  InputRead read;
  if (points.result.failure) {
    read.failure = message_of(*points.result.failure, points.result.skipped,
                              driver_of(path) == std::optional<std::string>("GPX"));
    return read;
  }
  // The records hold names and information up to their fixed length.
  for (const ogr::Point& point : points.points) {
    poi::PoiRecord record;
    record.longitude = static_cast<float>(point.longitude);
    record.latitude = static_cast<float>(point.latitude);
    record.name.assign(point.name);
    record.information.assign(stored_information(point.information));
    if (!poi::append(table, file.count, record)) {
      read.failure = path + ": too many entries";
      return read;
    }
  }
  skipped_ += points.result.skipped;
  file.loaded = true;
  read.entries = file.count;
  read.poi_entries = file.count;
  return read;
}

std::optional<std::string> OgrFiles::write(const poi::PoiTable& table, std::int32_t first,
                                           std::int32_t last, const std::string& temporary) const {
  if (!output_driver_) return std::nullopt;
  std::vector<ogr::Point> points;
  for (std::int32_t k = first; k <= last; ++k) {
    const poi::PoiRecord& record = table[k];
    if (poi::is_comment(record)) continue;
    points.push_back({widen(record.longitude), widen(record.latitude),
                      std::string(record.name.trimmed()),
                      information_field(record.information.trimmed())});
  }
  // Some drivers take a name without the format's extension for a folder:
  // the file is made under the Output's extension and then takes the
  // temporary name, its sidecar files their final names.
  const poi::SplitExtension output = poi::split_extension(command_.output);
  const std::string made = temporary + "." + (output.extension.empty() ? "tmp" : output.extension);
  ogr::WriteOptions options;
  options.driver = *output_driver_;
  options.name_field = command_.formats.name_field;
  options.info_field = command_.formats.info_field;
  options.layer_name = output.stem.substr(poi::directory_part(output.stem).size());
  const ogr::WriteResult written = ogr::write_points(made, points, options);
  bool moved = !written.failure && std::rename(made.c_str(), temporary.c_str()) == 0;
  // After a failure nothing the driver made stays behind.
  if (!moved) std::remove(made.c_str());
  for (const char* sidecar : kSidecars) {
    const std::string beside = temporary + "." + sidecar;
    std::error_code ignored;
    if (!std::filesystem::exists(beside, ignored)) continue;
    if (moved)
      moved = std::rename(beside.c_str(), (output.stem + "." + sidecar).c_str()) == 0;
    else
      std::remove(beside.c_str());
  }
  if (written.failure)
    return command_.output + ": the Output cannot be written: " + *written.failure;
  if (!moved) return command_.output + ": the Output cannot be written";
  return std::nullopt;
}

}  // namespace pinwright::batch
