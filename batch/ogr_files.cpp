#include "batch/ogr_files.hpp"

#include <utility>

#include "poi/paths.hpp"
#include "poi/text_encoding.hpp"

namespace pinwright::batch {

namespace {

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
    case Kind::no_coordinate_columns:
      return layer + ": no longitude and latitude columns (looked for " + failure.detail +
             "; columns: " + joined(failure.fields) + "); name them with --x-field and --y-field";
    case Kind::damaged:
      return (failure.feature > 0 ? feature : layer) + ": damaged: " + failure.detail;
    case Kind::several_layers:
      return failure.path + ": several layers hold points (" + joined(failure.fields) +
             "); choose with --layer, or read them all with --all-layers";
    case Kind::no_such_layer:
      return failure.path + ": no layer " + failure.layer + " (layers: " + joined(failure.fields) +
             ")";
    case Kind::bad_filter:
      return layer + ": --where cannot be applied: " + failure.detail;
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

// A text or OV2 file holds bytes in the encoding its program used; a vector
// Output takes UTF-8. A text that is not valid UTF-8 is read as Windows-1252,
// as the window shows it; name and information of one entry share their
// encoding.
std::string as_utf8(std::string_view text, std::string_view partner) {
  return poi::decode_to_utf8(text, poi::entry_encoding(text, partner));
}

std::string shown_input(const std::string& named) {
  return named == kStandardStream ? "standard input" : named;
}

}  // namespace

OgrFiles::OgrFiles(const Command& command, const Inputs& inputs)
    : command_(command), inputs_(inputs), output_(output_form(command)) {}

InputRead OgrFiles::read(poi::CompactTable& table, std::size_t k, std::atomic<std::int64_t>& read) {
  const FileForm& form = inputs_.form(k);
  const std::string& path = inputs_.path(k);
  const std::string shown = shown_input(inputs_.named(k));
  if (form.kind != FileForm::Kind::ogr) {
    InputOptions options;
    options.kind = form.kind == FileForm::Kind::ov2 ? poi::FileKind::ov2 : poi::FileKind::text;
    options.shown = shown;
    options.positions_in_range = output_.kind == FileForm::Kind::ogr;
    return read_input(table, path, read, options);
  }
  ogr::ReadOptions options;
  options.driver = form.driver;
  options.name_field = command_.formats.name_field;
  options.info_field = command_.formats.info_field;
  options.x_field = command_.formats.x_field;
  options.y_field = command_.formats.y_field;
  options.gpx_points = gpx_points(command_.formats.points);
  options.layers = command_.formats.layers;
  options.all_layers = command_.formats.all_layers;
  options.where = command_.formats.where;
  if (const auto& box = command_.formats.bbox)
    options.bbox = ogr::Bounds{box->west, box->south, box->east, box->north};
  InputRead input;
  bool full = false;
  ogr::ReadResult result = ogr::read_points(path, options, [&](ogr::Point&& point) {
    read.fetch_add(1, std::memory_order_relaxed);
    if (full) return;
    full = !table.append(point.longitude, point.latitude, point.name,
                         stored_information(std::move(point.information)));
  });
  // A file without features is empty, as an empty text file is; one whose
  // features are all of another kind is read with the wrong options.
  const bool empty = result.failure && result.failure->kind == ogr::ReadFailure::Kind::no_points &&
                     result.skipped == 0;
  if (result.failure && !empty) {
    result.failure->path = shown;
    input.failure = message_of(*result.failure, result.skipped, form.driver == "GPX");
    return input;
  }
  if (full) {
    input.failure = shown + ": too many entries";
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
  if (files.output_.kind != FileForm::Kind::ogr)
    writer_.emplace(
        temporary,
        files.output_.kind == FileForm::Kind::ov2 ? poi::FileKind::ov2 : poi::FileKind::text, date);
}

void RunOutput::add(const poi::CompactTable& table, std::int32_t index) {
  if (writer_) {
    writer_->add(table, index);
    return;
  }
  // Comments have no place in these formats.
  if (table.is_comment(index)) return;
  const std::string_view name = table.name(index);
  const std::string_view information = without_separator(table.information(index));
  points_.push_back({table.exact_longitude(index), table.exact_latitude(index),
                     as_utf8(name, information), as_utf8(information, name)});
}

std::int32_t RunOutput::poi_entries() const {
  return writer_ ? writer_->poi_entries() : static_cast<std::int32_t>(points_.size());
}

std::string RunOutput::shown() const {
  const std::string& output = files_.command_.output;
  return output == kStandardStream ? "standard output" : output;
}

std::optional<std::string> RunOutput::close() {
  if (!writer_) return close_ogr();
  if (writer_->close()) return std::nullopt;
  return shown() + ": the Output cannot be written";
}

std::optional<std::string> RunOutput::close_ogr() {
  const Command& command = files_.command_;
  ogr::WriteOptions options;
  options.driver = files_.output_.driver;
  options.name_field = command.formats.name_field;
  options.info_field = command.formats.info_field;
  const std::string made = temporary_.substr(poi::directory_part(temporary_).size());
  options.layer_name = poi::split_extension(made).stem;
  const ogr::WriteResult written = ogr::write_points(temporary_, points_, options);
  if (written.failure) return shown() + ": the Output cannot be written: " + *written.failure;
  texts_cut_ = written.texts_cut;
  return std::nullopt;
}

}  // namespace pinwright::batch
