#include "batch/ogr_files.hpp"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

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

std::string_view without_separator(std::string_view information) {
  if (!information.empty() && (information.front() == ',' || information.front() == ';')) {
    information.remove_prefix(1);
    while (!information.empty() && information.front() == ' ') information.remove_prefix(1);
  }
  return information;
}

std::string stored_information(std::string&& field) {
  if (field.empty() || field.front() == ',' || field.front() == ';') return std::move(field);
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
    case Kind::damaged:
      return (failure.feature > 0 ? feature : layer) + ": damaged: " + failure.detail;
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

InputRead OgrFiles::read(poi::CompactTable& table, poi::Slot slot, const std::string& path,
                         std::atomic<std::int64_t>& read) {
  const auto driver = driver_of(path);
  if (!driver) return read_input(table, path, slot, read);
  ogr::ReadOptions options;
  options.driver = *driver;
  options.name_field = command_.formats.name_field;
  options.info_field = command_.formats.info_field;
  options.x_field = command_.formats.x_field;
  options.y_field = command_.formats.y_field;
  options.gpx_points = gpx_points(command_.formats.points);
  InputRead input;
  bool full = false;
  const ogr::ReadResult result = ogr::read_points(path, options, [&](ogr::Point&& point) {
    read.fetch_add(1, std::memory_order_relaxed);
    if (full) return;
    full = !table.append(static_cast<float>(point.longitude), static_cast<float>(point.latitude),
                         point.name, stored_information(std::move(point.information)));
  });
  if (result.failure) {
    input.failure = message_of(*result.failure, result.skipped, *driver == "GPX");
    return input;
  }
  if (full) {
    input.failure = path + ": too many entries";
    return input;
  }
  skipped_ += result.skipped;
  input.entries = static_cast<std::int32_t>(result.points);
  input.poi_entries = input.entries;
  return input;
}

RunOutput::RunOutput(const OgrFiles& files, const std::string& temporary,
                     std::chrono::year_month_day date)
    : files_(files), temporary_(temporary) {
  if (!files.output_driver_) writer_.emplace(temporary, kind_of(files.command_.output), date);
}

void RunOutput::add(const poi::CompactTable& table, std::int32_t index) {
  if (writer_) {
    writer_->add(table, index);
    return;
  }
  // Comments have no place in these formats.
  if (table.is_comment(index)) return;
  points_.push_back({widen(table.longitude(index)), widen(table.latitude(index)),
                     std::string(table.name(index)),
                     std::string(without_separator(table.information(index)))});
}

std::int32_t RunOutput::poi_entries() const {
  return writer_ ? writer_->poi_entries() : static_cast<std::int32_t>(points_.size());
}

std::optional<std::string> RunOutput::close() {
  if (!writer_) return close_ogr();
  if (writer_->close()) return std::nullopt;
  return files_.command_.output + ": the Output cannot be written";
}

std::optional<std::string> RunOutput::close_ogr() {
  const Command& command = files_.command_;
  // Some drivers take a name without the format's extension for a folder:
  // the file is made under the Output's extension and then takes the
  // temporary name, its sidecar files their final names.
  const poi::SplitExtension output = poi::split_extension(command.output);
  const std::string made = temporary_ + "." + (output.extension.empty() ? "tmp" : output.extension);
  ogr::WriteOptions options;
  options.driver = *files_.output_driver_;
  options.name_field = command.formats.name_field;
  options.info_field = command.formats.info_field;
  options.layer_name = output.stem.substr(poi::directory_part(output.stem).size());
  const ogr::WriteResult written = ogr::write_points(made, points_, options);
  bool moved = !written.failure && std::rename(made.c_str(), temporary_.c_str()) == 0;
  // After a failure nothing the driver made stays behind.
  if (!moved) std::remove(made.c_str());
  for (const char* sidecar : kSidecars) {
    const std::string beside = temporary_ + "." + sidecar;
    std::error_code ignored;
    if (!std::filesystem::exists(beside, ignored)) continue;
    if (moved)
      moved = std::rename(beside.c_str(), (output.stem + "." + sidecar).c_str()) == 0;
    else
      std::remove(beside.c_str());
  }
  if (written.failure)
    return command.output + ": the Output cannot be written: " + *written.failure;
  if (!moved) return command.output + ": the Output cannot be written";
  return std::nullopt;
}

}  // namespace pinwright::batch
