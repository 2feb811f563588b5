#include "batch/ogr_files.hpp"

#include <utility>
#include <variant>

#include "ogr/table.hpp"
#include "poi/paths.hpp"

namespace pinwright::batch {

namespace {

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

poi::FieldType store_type(ogr::FieldType type) {
  switch (type) {
    case ogr::FieldType::integer:
      return poi::FieldType::integer;
    case ogr::FieldType::real:
      return poi::FieldType::real;
    case ogr::FieldType::date_time:
      return poi::FieldType::date_time;
    case ogr::FieldType::string:
      break;
  }
  return poi::FieldType::string;
}

ogr::FieldType written_type(poi::FieldType type) {
  switch (type) {
    case poi::FieldType::integer:
      return ogr::FieldType::integer;
    case poi::FieldType::real:
      return ogr::FieldType::real;
    case poi::FieldType::date_time:
      return ogr::FieldType::date_time;
    case poi::FieldType::string:
      break;
  }
  return ogr::FieldType::string;
}

// A view of `data`: the store copies the text.
poi::FieldData stored_data(const ogr::FieldValue::Data& data) {
  if (const auto* number = std::get_if<std::int64_t>(&data)) return *number;
  if (const auto* real = std::get_if<double>(&data)) return *real;
  if (const auto* text = std::get_if<std::string>(&data)) return std::string_view(*text);
  const ogr::DateTime& time = std::get<ogr::DateTime>(data);
  return poi::DateTime{static_cast<std::int16_t>(time.year),
                       static_cast<std::uint8_t>(time.month),
                       static_cast<std::uint8_t>(time.day),
                       static_cast<std::uint8_t>(time.hour),
                       static_cast<std::uint8_t>(time.minute),
                       static_cast<std::uint8_t>(time.zone),
                       time.second};
}

ogr::FieldView written_value(const poi::FieldValue& value) {
  ogr::FieldView written;
  written.field = value.field;
  if (const auto* number = std::get_if<std::int64_t>(&value.data)) {
    written.data = *number;
  } else if (const auto* real = std::get_if<double>(&value.data)) {
    written.data = *real;
  } else if (const auto* text = std::get_if<std::string_view>(&value.data)) {
    written.data = *text;
  } else {
    const poi::DateTime& time = std::get<poi::DateTime>(value.data);
    written.data = ogr::DateTime{time.year,   time.month,  time.day, time.hour,
                                 time.minute, time.second, time.zone};
  }
  return written;
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
  // The store's number of each field of the layer being read. A GPX layer
  // lists every element a waypoint may have: only those met are kept.
  std::vector<std::int32_t> numbers;
  std::vector<ogr::FieldSpec> specs;
  const bool gpx = form.driver == "GPX";
  std::vector<poi::FieldValue> values;
  const auto on_layer = [&](const std::vector<ogr::FieldSpec>& fields) {
    specs = fields;
    numbers.assign(fields.size(), -1);
    for (std::size_t k = 0; k < fields.size() && !gpx; ++k)
      numbers[k] = table.fields().field(fields[k].name, store_type(fields[k].type));
  };
  const auto on_point = [&](ogr::Point&& point) {
    read.fetch_add(1, std::memory_order_relaxed);
    if (full) return;
    full = !table.append(point.longitude, point.latitude, point.name,
                         ogr::stored_information(std::move(point.information)));
    if (full || point.fields.empty()) return;
    values.clear();
    for (const ogr::FieldValue& value : point.fields) {
      const auto k = static_cast<std::size_t>(value.field);
      if (numbers[k] < 0)
        numbers[k] = table.fields().field(specs[k].name, store_type(specs[k].type));
      values.push_back({numbers[k], stored_data(value.data)});
    }
    table.fields().set(table.size(), values);
  };
  ogr::ReadResult result = ogr::read_points(path, options, on_point, on_layer);
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
  // The fields come from one table, the one the first entry with fields
  // lies in.
  if (fields_ == nullptr && !table.fields().empty()) fields_ = &table.fields();
  if (writer_) {
    writer_->add(table, index);
    return;
  }
  // Comments have no place in these formats.
  if (table.is_comment(index)) return;
  entries_.push_back({&table, index});
}

std::int32_t RunOutput::poi_entries() const {
  return writer_ ? writer_->poi_entries() : static_cast<std::int32_t>(entries_.size());
}

std::string RunOutput::shown() const {
  const std::string& output = files_.command_.output;
  return output == kStandardStream ? "standard output" : output;
}

std::optional<std::string> RunOutput::close() {
  if (!writer_) return close_ogr();
  // A text or OV2 file holds names and information alone.
  if (fields_ != nullptr) fields_dropped_ = static_cast<std::int64_t>(fields_->schema().size());
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
  if (fields_ != nullptr)
    for (const poi::Field& field : fields_->schema())
      options.fields.push_back({field.name, written_type(field.type)});
  // One entry at a time in the form OGR takes: the file is the only copy
  // made of the whole.
  std::size_t k = 0;
  ogr::Point point;
  std::vector<ogr::FieldView> values;
  const auto next = [&](ogr::PointView& view) {
    if (k == entries_.size()) return false;
    const Entry entry = entries_[k++];
    point = ogr::point_of(*entry.table, entry.index);
    values.clear();
    if (&entry.table->fields() == fields_)
      for (const poi::FieldValue& value : fields_->values(entry.index))
        values.push_back(written_value(value));
    view = {point.longitude, point.latitude, point.name, point.information, values};
    return true;
  };
  const ogr::WriteResult written = ogr::write_points_from(temporary_, next, options);
  if (written.failure) return shown() + ": the Output cannot be written: " + *written.failure;
  texts_cut_ = written.texts_cut;
  fields_dropped_ = static_cast<std::int64_t>(written.fields_dropped.size());
  return std::nullopt;
}

}  // namespace pinwright::batch
