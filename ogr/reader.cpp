#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ogr/gdal.hpp"
#include "ogr/points.hpp"

namespace pinwright::ogr {

namespace {

// The column names a CSV file's longitude and latitude are looked for under.
inline constexpr const char* kLongitudeNames = "longitude,lon,long,lng,x";
inline constexpr const char* kLatitudeNames = "latitude,lat,y";

// The prefix OGR's GPX driver gives the fields it reads from extensions in
// OGR's own namespace (<ogr:amenity> is `ogr_amenity`).
inline constexpr std::string_view kGpxExtension = "ogr_";

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

struct TransformationDeleter {
  void operator()(OGRCoordinateTransformation* transformation) const {
    OGRCoordinateTransformation::DestroyCT(transformation);
  }
};
using Transformation = std::unique_ptr<OGRCoordinateTransformation, TransformationDeleter>;

bool is_gpx(GDALDataset& dataset) {
  return EQUAL(dataset.GetDriverName(), "GPX");
}

const char* gpx_points_layer(GpxPoints points) {
  switch (points) {
    case GpxPoints::routes:
      return "route_points";
    case GpxPoints::tracks:
      return "track_points";
    case GpxPoints::waypoints:
      break;
  }
  return "waypoints";
}

// The GPX layer whose features are the geometries `points` reads from.
const char* gpx_source_layer(GpxPoints points) {
  switch (points) {
    case GpxPoints::routes:
      return "routes";
    case GpxPoints::tracks:
      return "tracks";
    case GpxPoints::waypoints:
      break;
  }
  return "waypoints";
}

// The names a table's longitude and latitude columns were looked for under.
std::string columns_looked_for(const ReadOptions& options) {
  std::string names = options.x_field.empty() ? kLongitudeNames : options.x_field;
  names += " and ";
  names += options.y_field.empty() ? kLatitudeNames : options.y_field;
  std::string shown;
  for (const char c : names) shown += c == ',' ? std::string(", ") : std::string(1, c);
  return shown;
}

std::vector<std::string> field_names(OGRFeatureDefn& definition) {
  std::vector<std::string> names;
  for (int k = 0; k < definition.GetFieldCount(); ++k)
    names.emplace_back(definition.GetFieldDefn(k)->GetNameRef());
  return names;
}

// Reads one layer. Its fields and coordinate system are looked at when the
// first point appears, so that a layer of lines alone never fails for them.
class LayerReader {
 public:
  LayerReader(const std::string& path, OGRLayer& layer, const ReadOptions& options,
              const PointVisitor& visit, const LayerVisitor& layer_visit, ReadResult& result)
      : path_(path),
        layer_(layer),
        options_(options),
        visit_(visit),
        layer_visit_(layer_visit),
        result_(result) {}

  // False when the read failed (result_.failure says why).
  bool run(bool table, bool gpx) {
    gpx_ = gpx;
    if (gpx) widen_whole_numbers();
    // A table whose columns OGR found no position in holds no geometry at
    // all: every row would be skipped.
    if (table && layer_.GetGeomType() == wkbNone) {
      fail(ReadFailure::Kind::no_coordinate_columns, 0);
      result_.failure->detail = columns_looked_for(options_);
      return false;
    }
    if (!apply_filters()) return false;
    look_up_fields();
    layer_.ResetReading();
    std::int64_t ordinal = 0;
    for (;;) {
      // A driver that meets a damaged file mostly says so only through
      // OGR's error state: a cut GPX, a table or geometry file that ends
      // early. Asked after every feature, nothing read in part passes.
      CPLErrorReset();
      const OGRFeatureUniquePtr feature(layer_.GetNextFeature());
      if (CPLGetLastErrorType() >= CE_Failure) {
        // A database driver hands the filter to its SQL engine, which
        // refuses it only when the first feature is asked for.
        if (ordinal == 0 && !options_.where.empty()) return bad_filter();
        return damaged(ordinal + 1);
      }
      if (!feature) break;
      ++ordinal;
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (geometry == nullptr || geometry->IsEmpty()) {
        ++result_.skipped;
        continue;
      }
      const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
      if (type == wkbPoint) {
        if (!take(*feature, *geometry->toPoint(), ordinal)) return false;
      } else if (type == wkbMultiPoint) {
        for (const OGRPoint* point : *geometry->toMultiPoint())
          if (!point->IsEmpty() && !take(*feature, *point, ordinal)) return false;
      } else {
        ++result_.skipped;
      }
    }
    return true;
  }

 private:
  bool fail(ReadFailure::Kind kind, std::int64_t feature) {
    ReadFailure failure;
    failure.kind = kind;
    failure.path = path_;
    failure.layer = layer_.GetName();
    failure.feature = feature;
    failure.field = missing_field_;
    if (kind == ReadFailure::Kind::no_name_field ||
        kind == ReadFailure::Kind::named_field_missing ||
        kind == ReadFailure::Kind::no_coordinate_columns)
      failure.fields = field_names(*layer_.GetLayerDefn());
    result_.failure = std::move(failure);
    return false;
  }

  bool bad_filter() {
    fail(ReadFailure::Kind::bad_filter, 0);
    result_.failure->detail = QuietErrors::last("the filter is refused");
    return false;
  }

  // The filters are set on the layer, so that a driver with an index or an
  // SQL engine of its own uses them.
  bool apply_filters() {
    if (!options_.where.empty()) {
      CPLErrorReset();
      if (layer_.SetAttributeFilter(options_.where.c_str()) != OGRERR_NONE) return bad_filter();
    }
    if (!options_.bbox) return true;
    const Bounds& box = *options_.bbox;
    OGRLinearRing ring;
    ring.addPoint(box.west, box.south);
    ring.addPoint(box.east, box.south);
    ring.addPoint(box.east, box.north);
    ring.addPoint(box.west, box.north);
    ring.closeRings();
    OGRPolygon filter;
    filter.addRing(&ring);
    // The box's corners in the layer's coordinates, joined by straight
    // lines there, as ogr2ogr turns -spat given in -spat_srs.
    if (const OGRSpatialReference* source = layer_.GetSpatialRef()) {
      OGRSpatialReference to(*source);
      to.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      const OGRSpatialReference from = wgs84();
      if (!from.IsSame(&to)) {
        const Transformation transformation(OGRCreateCoordinateTransformation(&from, &to));
        if (!transformation || filter.transform(transformation.get()) != OGRERR_NONE) {
          fail(ReadFailure::Kind::no_transformation, 0);
          result_.failure->detail =
              QuietErrors::last("the box cannot be turned into the layer's coordinates");
          return false;
        }
      }
    }
    layer_.SetSpatialFilter(&filter);
    return true;
  }

  bool damaged(std::int64_t feature) {
    fail(ReadFailure::Kind::damaged, feature);
    result_.failure->detail = QuietErrors::last("a read error");
    return false;
  }

  // Before reading: a driver may start its reading afresh when told which
  // fields to leave out.
  void look_up_fields() {
    OGRFeatureDefn& definition = *layer_.GetLayerDefn();
    name_index_ = definition.GetFieldIndex(
        options_.name_field.empty() ? "name" : options_.name_field.c_str());
    if (!options_.info_field.empty()) {
      info_index_ = definition.GetFieldIndex(options_.info_field.c_str());
      if (info_index_ < 0) missing_field_ = options_.info_field;
    } else {
      info_index_ = definition.GetFieldIndex("desc");
      if (info_index_ < 0) info_index_ = definition.GetFieldIndex("description");
    }
    if (name_index_ < 0 && !options_.name_field.empty()) missing_field_ = options_.name_field;
    // Reading only the two texts saves parsing the other fields when no one
    // takes them; a filter may ask for any of them.
    std::vector<const char*> ignored;
    for (int k = 0; k < definition.GetFieldCount() && !layer_visit_ && options_.where.empty(); ++k)
      if (k != name_index_ && k != info_index_)
        ignored.push_back(definition.GetFieldDefn(k)->GetNameRef());
    ignored.push_back("OGR_STYLE");
    ignored.push_back(nullptr);
    layer_.SetIgnoredFields(ignored.data());
  }

  // At the layer's first point: a layer of lines alone never fails for its
  // fields or its coordinate system.
  bool prepare(std::int64_t ordinal) {
    prepared_ = true;
    if (!missing_field_.empty()) return fail(ReadFailure::Kind::named_field_missing, 0);
    // A layer of bare points has no field to take a name from: its names
    // stay empty. One with fields but none of the name's fails, naming them.
    if (name_index_ < 0 && layer_.GetLayerDefn()->GetFieldCount() > 0)
      return fail(ReadFailure::Kind::no_name_field, 0);
    if (layer_visit_) hand_over_fields();
    const OGRSpatialReference* source = layer_.GetSpatialRef();
    if (source == nullptr) return true;  // GPX, KML and GeoJSON are WGS 84 by definition
    OGRSpatialReference from(*source);
    from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const OGRSpatialReference to = wgs84();
    if (from.IsSame(&to)) return true;
    transformation_.reset(OGRCreateCoordinateTransformation(&from, &to));
    if (!transformation_) {
      fail(ReadFailure::Kind::no_transformation, ordinal);
      result_.failure->detail = QuietErrors::last("no transformation to WGS 84");
      return false;
    }
    return true;
  }

  static FieldType type_of(OGRFieldType type) {
    switch (type) {
      case OFTInteger:
      case OFTInteger64:
        return FieldType::integer;
      case OFTReal:
        return FieldType::real;
      case OFTDateTime:
        return FieldType::date_time;
      default:
        break;
    }
    // Dates alone, times alone, lists and binary data as OGR writes them.
    return FieldType::string;
  }

  // OGR's GPX driver types an extension whose values are whole numbers as
  // a 32-bit field and reads a larger value (an OpenStreetMap id) as the
  // limit, with a warning only. Its features take the types of the layer's
  // definition, so 64 bits there keep every value.
  void widen_whole_numbers() {
    OGRFeatureDefn& definition = *layer_.GetLayerDefn();
    for (int k = 0; k < definition.GetFieldCount(); ++k)
      if (OGRFieldDefn& field = *definition.GetFieldDefn(k); field.GetType() == OFTInteger)
        field.SetType(OFTInteger64);
  }

  void hand_over_fields() {
    OGRFeatureDefn& definition = *layer_.GetLayerDefn();
    std::vector<FieldSpec> specs;
    for (int k = 0; k < definition.GetFieldCount(); ++k) {
      if (k == name_index_ || k == info_index_) continue;
      const OGRFieldDefn& field = *definition.GetFieldDefn(k);
      others_.push_back(k);
      std::string name = field.GetNameRef();
      // Extensions in OGR's namespace, as a GPX Output writes the fields
      // without an element, come back under their own names.
      if (gpx_ && name.starts_with(kGpxExtension) &&
          definition.GetFieldIndex(name.c_str() + kGpxExtension.size()) < 0)
        name.erase(0, kGpxExtension.size());
      specs.push_back({std::move(name), type_of(field.GetType())});
    }
    types_.clear();
    for (const FieldSpec& spec : specs) types_.push_back(spec.type);
    layer_visit_(specs);
  }

  void take_fields(const OGRFeature& feature, Point& taken) const {
    for (std::size_t k = 0; k < others_.size(); ++k) {
      const int index = others_[k];
      if (!feature.IsFieldSetAndNotNull(index)) continue;
      FieldValue value;
      value.field = static_cast<int>(k);
      switch (types_[k]) {
        case FieldType::integer:
          value.data = static_cast<std::int64_t>(feature.GetFieldAsInteger64(index));
          break;
        case FieldType::real:
          value.data = feature.GetFieldAsDouble(index);
          break;
        case FieldType::date_time: {
          DateTime time;
          feature.GetFieldAsDateTime(index, &time.year, &time.month, &time.day, &time.hour,
                                     &time.minute, &time.second, &time.zone);
          value.data = time;
          break;
        }
        case FieldType::string:
          value.data = std::string(feature.GetFieldAsString(index));
          break;
      }
      taken.fields.push_back(std::move(value));
    }
  }

  bool take(const OGRFeature& feature, const OGRPoint& point, std::int64_t ordinal) {
    if (!prepared_ && !prepare(ordinal)) return false;
    double x = point.getX();
    double y = point.getY();
    if (transformation_ && !transformation_->Transform(1, &x, &y)) {
      fail(ReadFailure::Kind::outside_range, ordinal);
      result_.failure->detail = "cannot be transformed to WGS 84";
      return false;
    }
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 180.0 || std::abs(y) > 90.0) {
      fail(ReadFailure::Kind::outside_range, ordinal);
      result_.failure->detail =
          "longitude " + std::to_string(x) + ", latitude " + std::to_string(y);
      return false;
    }
    Point taken;
    taken.longitude = x;
    taken.latitude = y;
    if (feature.IsFieldSetAndNotNull(name_index_))
      taken.name = feature.GetFieldAsString(name_index_);
    if (info_index_ >= 0 && feature.IsFieldSetAndNotNull(info_index_))
      taken.information = feature.GetFieldAsString(info_index_);
    if (layer_visit_) take_fields(feature, taken);
    visit_(std::move(taken));
    ++result_.points;
    return true;
  }

  const std::string& path_;
  OGRLayer& layer_;
  const ReadOptions& options_;
  const PointVisitor& visit_;
  const LayerVisitor& layer_visit_;
  ReadResult& result_;
  std::vector<int> others_;  // the feature's indexes of the fields handed over
  std::vector<FieldType> types_;
  bool prepared_ = false;
  bool gpx_ = false;
  int name_index_ = -1;
  int info_index_ = -1;
  std::string missing_field_;
  Transformation transformation_;
};

// Whether `layer` has a point. A layer that declares one kind of geometry
// is taken at its word; one of mixed kinds (KML, GeoJSON) is looked through
// until a point appears. A read error here is the reading's to report.
bool holds_points(OGRLayer& layer) {
  const OGRwkbGeometryType declared = wkbFlatten(layer.GetGeomType());
  if (declared == wkbPoint || declared == wkbMultiPoint) return true;
  if (declared != wkbUnknown && declared != wkbGeometryCollection) return false;
  std::vector<const char*> ignored;
  for (int k = 0; k < layer.GetLayerDefn()->GetFieldCount(); ++k)
    ignored.push_back(layer.GetLayerDefn()->GetFieldDefn(k)->GetNameRef());
  ignored.push_back(nullptr);
  layer.SetIgnoredFields(ignored.data());
  layer.ResetReading();
  bool found = false;
  CPLErrorReset();
  while (!found) {
    const OGRFeatureUniquePtr feature(layer.GetNextFeature());
    if (!feature || CPLGetLastErrorType() >= CE_Failure) break;
    const OGRGeometry* geometry = feature->GetGeometryRef();
    if (geometry == nullptr) continue;
    const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
    found = type == wkbPoint || type == wkbMultiPoint;
  }
  CPLErrorReset();
  const char* none[] = {nullptr};
  layer.SetIgnoredFields(none);
  return found;
}

std::vector<std::string> layer_names(GDALDataset& dataset) {
  std::vector<std::string> names;
  for (OGRLayer* layer : dataset.GetLayers()) names.emplace_back(layer->GetName());
  return names;
}

// The layers of a file other than GPX to read, in order: those named, every
// one, or all of a file with at most one layer of points (the others are
// counted as skipped as they are read). False with the failure set when the
// choice cannot be made.
bool chosen_layers(const std::string& path, GDALDataset& dataset, const ReadOptions& options,
                   std::vector<OGRLayer*>& layers, ReadResult& result) {
  const auto refuse = [&](ReadFailure::Kind kind, std::string layer,
                          std::vector<std::string> fields) {
    ReadFailure failure;
    failure.kind = kind;
    failure.path = path;
    failure.layer = std::move(layer);
    failure.fields = std::move(fields);
    result.failure = std::move(failure);
    return false;
  };
  if (!options.layers.empty()) {
    for (const std::string& name : options.layers) {
      OGRLayer* layer = dataset.GetLayerByName(name.c_str());
      if (layer == nullptr)
        return refuse(ReadFailure::Kind::no_such_layer, name, layer_names(dataset));
      if (std::find(layers.begin(), layers.end(), layer) == layers.end()) layers.push_back(layer);
    }
    return true;
  }
  for (OGRLayer* layer : dataset.GetLayers()) layers.push_back(layer);
  if (options.all_layers || layers.size() < 2) return true;
  std::vector<std::string> with_points;
  for (OGRLayer* layer : layers)
    if (holds_points(*layer)) with_points.emplace_back(layer->GetName());
  if (with_points.size() > 1)
    return refuse(ReadFailure::Kind::several_layers, "", std::move(with_points));
  return true;
}

// Whether the bytes of a GPX file show a tag named `name`, with or without
// a namespace prefix: the name after '<' or ':' and before a blank, '>' or
// '/'. The driver takes a file for GPX by its bytes, so its markup is ASCII;
// a file without such bytes holds no such element, and the layer of those
// elements need not be read through to count none. A file that cannot be
// read may hold anything.
bool may_hold_tag(const std::string& path, std::string_view name) {
  std::unique_ptr<VSILFILE, decltype(&VSIFCloseL)> file(VSIFOpenL(path.c_str(), "rb"), &VSIFCloseL);
  if (!file) return true;
  const auto is_tag_end = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
  };
  // Blocks overlap by the longest match less one, so that none is cut.
  constexpr std::size_t kBlock = 1 << 20;
  const std::size_t keep = name.size() + 1;
  std::string block;
  const std::boyer_moore_horspool_searcher search(name.begin(), name.end());
  for (;;) {
    const std::size_t kept = block.size();
    block.resize(kept + kBlock);
    block.resize(kept + VSIFReadL(block.data() + kept, 1, kBlock, file.get()));
    const bool last = block.size() < kept + kBlock;
    for (auto at = std::search(block.begin(), block.end(), search); at != block.end();
         at = std::search(at + 1, block.end(), search)) {
      const auto offset = static_cast<std::size_t>(at - block.begin());
      const std::size_t after = offset + name.size();
      if (offset == 0 || (block[offset - 1] != '<' && block[offset - 1] != ':')) continue;
      if (after == block.size()) {
        if (last) break;
        continue;  // seen again with what follows, in the next block
      }
      if (is_tag_end(block[after])) return true;
    }
    if (last) return false;
    block.erase(0, block.size() - std::min(block.size(), keep));
  }
}

Dataset open(const std::string& path, const ReadOptions& options) {
  std::vector<const char*> drivers;
  if (!options.driver.empty()) drivers = {options.driver.c_str(), nullptr};
  std::vector<std::string> open_options;
  if (options.driver == "CSV") {
    open_options.push_back(std::string("X_POSSIBLE_NAMES=") +
                           (options.x_field.empty() ? kLongitudeNames : options.x_field));
    open_options.push_back(std::string("Y_POSSIBLE_NAMES=") +
                           (options.y_field.empty() ? kLatitudeNames : options.y_field));
    open_options.emplace_back("KEEP_GEOM_COLUMNS=NO");
  }
  std::vector<const char*> open_option_texts;
  for (const std::string& option : open_options) open_option_texts.push_back(option.c_str());
  open_option_texts.push_back(nullptr);
  return Dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                   drivers.empty() ? nullptr : drivers.data(),
                                   open_option_texts.data(), nullptr));
}

}  // namespace

ReadResult read_points(const std::string& path, const ReadOptions& options,
                       const PointVisitor& visit, const LayerVisitor& layer_visit) {
  register_drivers();
  const QuietErrors quiet;
  ReadResult result;
  const Dataset dataset = open(path, options);
  if (!dataset) {
    ReadFailure failure;
    failure.path = path;
    VSIStatBufL status;
    failure.detail =
        QuietErrors::last(VSIStatL(path.c_str(), &status) != 0 ? "there is no such file"
                                                               : "not a vector file OGR can read");
    result.failure = std::move(failure);
    return result;
  }
  std::string first_layer;
  if (is_gpx(*dataset)) {
    first_layer = gpx_points_layer(options.gpx_points);
    OGRLayer* layer = dataset->GetLayerByName(first_layer.c_str());
    if (layer != nullptr &&
        !LayerReader(path, *layer, options, visit, layer_visit, result).run(false, true))
      return result;
    // Waypoints, routes and tracks not chosen are counted, not read.
    for (const char* kind : {"waypoints", "routes", "tracks"}) {
      OGRLayer* other = dataset->GetLayerByName(kind);
      if (other == nullptr || std::string_view(kind) == gpx_source_layer(options.gpx_points))
        continue;
      const std::string_view tag = kind[0] == 'w' ? "wpt" : kind[0] == 'r' ? "rte" : "trk";
      if (!may_hold_tag(path, tag)) continue;
      CPLErrorReset();
      result.skipped += other->GetFeatureCount();
      if (CPLGetLastErrorType() >= CE_Failure) {
        ReadFailure failure;
        failure.kind = ReadFailure::Kind::damaged;
        failure.path = path;
        failure.layer = kind;
        failure.detail = QuietErrors::last("a read error");
        result.failure = std::move(failure);
        return result;
      }
    }
  } else {
    std::vector<OGRLayer*> layers;
    if (!chosen_layers(path, *dataset, options, layers, result)) return result;
    const bool table = EQUAL(dataset->GetDriverName(), "CSV");
    for (OGRLayer* layer : layers) {
      if (first_layer.empty()) first_layer = layer->GetName();
      if (!LayerReader(path, *layer, options, visit, layer_visit, result).run(table, false))
        return result;
    }
  }
  if (result.points == 0) {
    ReadFailure failure;
    failure.kind = ReadFailure::Kind::no_points;
    failure.path = path;
    failure.layer = first_layer;
    result.failure = std::move(failure);
  }
  return result;
}

ReadPoints read_all_points(const std::string& path, const ReadOptions& options) {
  ReadPoints read;
  read.result = read_points(
      path, options, [&read](Point&& point) { read.points.push_back(std::move(point)); },
      [&read](const std::vector<FieldSpec>& fields) { read.fields = fields; });
  return read;
}

}  // namespace pinwright::ogr
