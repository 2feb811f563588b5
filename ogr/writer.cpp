#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include "ogr/gdal.hpp"
#include "ogr/points.hpp"

namespace pinwright::ogr {

namespace {

// Where a format keeps a point's name and description when it has fields of
// its own for them; dBase field names have at most 10 characters.
struct TextFields {
  const char* name;
  const char* info;
};

TextFields own_fields(const std::string& driver) {
  if (driver == "GPX") return {"name", "desc"};
  if (driver == "KML" || driver == "LIBKML") return {"Name", "Description"};
  if (driver == "ESRI Shapefile") return {"name", "desc"};
  return {"name", "description"};
}

// The GPX driver takes only this layer name for waypoints; GeoPackage
// allows letters, digits and underscores.
std::string layer_name(const std::string& driver, const std::string& wanted) {
  if (driver == "GPX") return "waypoints";
  std::string name = wanted.empty() ? std::string("points") : wanted;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

WriteResult failed(const std::string& fallback) {
  WriteResult result;
  result.failure = QuietErrors::first_failure(fallback);
  return result;
}

// A dBase text field holds at most 254 bytes; a longer text is cut there by
// the driver, inside a UTF-8 character as it comes. Cut here, at the end of
// the last character that fits, and counted for the user.
inline constexpr std::size_t kDbaseTextBytes = 254;

std::string_view cut_to_fit(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// A waypoint's own elements as OGR's GPX driver names its fields. A GPX
// Output writes any other field as an extension in OGR's namespace
// (<ogr:amenity>), which OGR reads back as a field `ogr_amenity`.
inline constexpr std::array<std::string_view, 23> kGpxElements{
    "ele",        "time",       "magvar",     "geoidheight",   "name",       "cmt",
    "desc",       "src",        "link1_href", "link1_text",    "link1_type", "link2_href",
    "link2_text", "link2_type", "sym",        "type",          "fix",        "sat",
    "hdop",       "vdop",       "pdop",       "ageofdgpsdata", "dgpsid"};

bool needs_gpx_extensions(const std::vector<FieldSpec>& fields) {
  return std::any_of(fields.begin(), fields.end(), [](const FieldSpec& field) {
    return std::find(kGpxElements.begin(), kGpxElements.end(), field.name) == kGpxElements.end();
  });
}

// A dBase file has dates without times, and a GPX extension is text whose
// form OGR would choose: both keep date-times whole as ISO 8601 text.
OGRFieldType ogr_type(FieldType type, const std::string& driver) {
  switch (type) {
    case FieldType::integer:
      return OFTInteger64;
    case FieldType::real:
      return OFTReal;
    case FieldType::date_time:
      return driver == "ESRI Shapefile" || driver == "GPX" ? OFTString : OFTDateTime;
    case FieldType::string:
      break;
  }
  return OFTString;
}

void put_digits(std::string& text, int value, int width) {
  char digits[12];
  int count = 0;
  for (unsigned rest = static_cast<unsigned>(value < 0 ? -value : value); rest > 0 || count == 0;
       rest /= 10)
    digits[count++] = static_cast<char>('0' + rest % 10);
  if (value < 0) text += '-';
  for (int k = count; k < width; ++k) text += '0';
  while (count > 0) text += digits[--count];
}

// `time` as ISO 8601 text (2026-06-01T08:15:30Z), as GPX and GeoJSON hold
// it: seconds with a fraction only when they have one, the zone only when it
// is known.
std::string iso_8601(const DateTime& time) {
  std::string text;
  put_digits(text, time.year, 4);
  text += '-';
  put_digits(text, time.month, 2);
  text += '-';
  put_digits(text, time.day, 2);
  text += 'T';
  put_digits(text, time.hour, 2);
  text += ':';
  put_digits(text, time.minute, 2);
  text += ':';
  const auto milliseconds =
      static_cast<int>(std::lround(static_cast<double>(time.second) * 1000.0));
  put_digits(text, milliseconds / 1000, 2);
  if (milliseconds % 1000 != 0) {
    text += '.';
    put_digits(text, milliseconds % 1000, 3);
  }
  if (time.zone == 100) {
    text += 'Z';
  } else if (time.zone > 1) {
    const int minutes = (time.zone - 100) * 15;
    text += minutes < 0 ? '-' : '+';
    put_digits(text, std::abs(minutes) / 60, 2);
    text += ':';
    put_digits(text, std::abs(minutes) % 60, 2);
  }
  return text;
}

// The layer's index of each of `fields`, -1 for those dropped: a field the
// layer has already (a GPX waypoint's own elements) is used as it is, any
// other created; one whose name the name or information field has, or that
// the format refuses, is dropped and listed.
std::vector<int> other_fields(OGRLayer& layer, const std::vector<FieldSpec>& fields, int name_index,
                              int info_index, const std::string& driver, WriteResult& result) {
  std::vector<int> indexes;
  for (const FieldSpec& field : fields) {
    OGRFeatureDefn& definition = *layer.GetLayerDefn();
    int index = definition.GetFieldIndex(field.name.c_str());
    if (index < 0) {
      OGRFieldDefn created(field.name.c_str(), ogr_type(field.type, driver));
      const int before = definition.GetFieldCount();
      // A field name the format shortens or changes (a shapefile's ten
      // characters) is still the field just made.
      if (layer.CreateField(&created) == OGRERR_NONE &&
          layer.GetLayerDefn()->GetFieldCount() > before)
        index = layer.GetLayerDefn()->GetFieldCount() - 1;
    } else if (index == name_index || index == info_index) {
      index = -1;
    }
    if (index < 0) result.fields_dropped.push_back(field.name);
    indexes.push_back(index);
  }
  return indexes;
}

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

// How a driver's failed write is found out. Some drivers (GeoJSON, GPX,
// FlatGeobuf) write into a stream whose write errors they never look at, on a
// full disk say: those write into memory, and the file is then written in one
// block whose every write and close is checked. GeoPackage (SQLite) and the
// shapefile's files return or report a failed write themselves. A driver not
// known here (CSV, which names its file after the layer) has its file opened
// again and its points counted.
enum class Check { own_errors, through_memory, count_again };

Check check_for(const std::string& driver) {
  if (driver == "GPKG" || driver == "ESRI Shapefile") return Check::own_errors;
  if (driver == "GPX" || driver == "FlatGeobuf" || driver == "GeoJSON" || driver == "GeoJSONSeq" ||
      driver == "KML")
    return Check::through_memory;
  return Check::count_again;
}

// A name in OGR's memory file system that no other write uses.
std::string memory_path(const std::string& path) {
  static std::atomic<unsigned> next = 0;
  return "/vsimem/pinwright-" + std::to_string(next++) + "/" + CPLGetFilename(path.c_str());
}

// The folder in memory of one write, removed with what it holds however the
// write ends.
class MemoryFolder {
 public:
  explicit MemoryFolder(const std::string& file) : file_(file) {}
  ~MemoryFolder() {
    if (!file_.empty()) VSIRmdirRecursive(CPLGetPath(file_.c_str()));
  }
  MemoryFolder(const MemoryFolder&) = delete;
  MemoryFolder& operator=(const MemoryFolder&) = delete;

 private:
  std::string file_;
};

// Writes the file OGR wrote in memory to `path`: "" when it was, or why not.
std::string write_out(const std::string& memory, const std::string& path) {
  vsi_l_offset length = 0;
  const GByte* bytes = VSIGetMemFileBuffer(memory.c_str(), &length, FALSE);
  if (bytes == nullptr) return "not written completely";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return "cannot be created";
  // In blocks: one write of a whole large file makes the system take in all
  // of it at once, which measured far slower than the same bytes a
  // megabyte at a time.
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  bool written = true;
  for (std::size_t at = 0; written && at < length; at += kBlock) {
    const std::size_t size = std::min<std::size_t>(kBlock, length - at);
    written = std::fwrite(bytes + at, 1, size, file) == size;
  }
  return std::fclose(file) == 0 && written ? "" : "not written completely (a full disk?)";
}

// The points a file just written holds when opened again.
std::int64_t points_in(const std::string& path, const std::string& driver) {
  const char* drivers[] = {driver.c_str(), nullptr};
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(
      GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers));
  if (!dataset) return -1;
  OGRLayer* layer = driver == "GPX" ? dataset->GetLayerByName("waypoints") : dataset->GetLayer(0);
  return layer == nullptr ? -1 : layer->GetFeatureCount(TRUE);
}

}  // namespace

WriteResult write_points_from(const std::string& path, const PointFeed& next,
                              const WriteOptions& options) {
  register_drivers();
  const QuietErrors quiet;
  // SQLite's own page cache (2 MB) is far smaller than the spatial index a
  // GeoPackage of a million points gets, which is then read from the system
  // again and again while it is built: 32 MB take a sixth off such a write.
  // A cache set by the user stays.
  const CPLConfigOptionSetter sqlite_cache("OGR_SQLITE_CACHE", "32", true);
  std::string driver_name = options.driver;
  if (driver_name.empty()) driver_name = driver_for_path(path).value_or("");
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driver_name.c_str());
  if (driver == nullptr || driver->GetMetadataItem(GDAL_DCAP_CREATE) == nullptr)
    return failed("no vector format OGR writes is called \"" + driver_name + "\"");

  // The driver creates the file afresh; an empty placeholder would be taken
  // for a damaged file by some drivers.
  VSIStatBufL status;
  if (VSIStatL(path.c_str(), &status) == 0) VSIUnlink(path.c_str());
  const Check check = check_for(driver_name);
  const std::string target = check == Check::through_memory ? memory_path(path) : path;
  const MemoryFolder memory(check == Check::through_memory ? target : std::string());
  WriteResult result;
  // Without extensions, the header stays as plain GPX has it.
  CPLStringList dataset_options;
  if (driver_name == "GPX" && needs_gpx_extensions(options.fields))
    dataset_options.SetNameValue("GPX_USE_EXTENSIONS", "YES");
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(
      driver->Create(target.c_str(), 0, 0, 0, GDT_Unknown, dataset_options.List()));
  if (!dataset) return failed("cannot be created");

  CPLStringList layer_options;
  if (driver_name == "CSV") layer_options.SetNameValue("GEOMETRY", "AS_XY");
  if (driver_name == "ESRI Shapefile") layer_options.SetNameValue("ENCODING", "UTF-8");
  // Its spatial index sorts the features; a POI file keeps its order.
  if (driver_name == "FlatGeobuf") layer_options.SetNameValue("SPATIAL_INDEX", "NO");
  OGRSpatialReference reference = wgs84();
  OGRLayer* layer = dataset->CreateLayer(
      layer_name(driver_name,
                 options.layer_name.empty() ? CPLGetBasename(path.c_str()) : options.layer_name)
          .c_str(),
      &reference, wkbPoint, layer_options.List());
  if (layer == nullptr) return failed("takes no layer of points");

  const TextFields own = own_fields(driver_name);
  // GPX and KML have elements of their own for both; a field of another name
  // would not show as the point's name.
  const bool fixed = driver_name == "GPX" || driver_name == "KML" || driver_name == "LIBKML";
  const std::string name_field =
      fixed || options.name_field.empty() ? own.name : options.name_field;
  const std::string info_field =
      fixed || options.info_field.empty() ? own.info : options.info_field;
  for (const std::string& field : {name_field, info_field}) {
    OGRFieldDefn definition(field.c_str(), OFTString);
    if (layer->CreateField(&definition) != OGRERR_NONE) return failed("takes no field " + field);
  }
  const int name_index = layer->GetLayerDefn()->GetFieldIndex(name_field.c_str());
  const int info_index = layer->GetLayerDefn()->GetFieldIndex(info_field.c_str());
  const std::vector<int> indexes =
      other_fields(*layer, options.fields, name_index, info_index, driver_name, result);

  // One transaction: a GeoPackage commits once instead of per point.
  CPLErrorReset();
  const bool transaction = dataset->StartTransaction() == OGRERR_NONE;
  const std::size_t text_limit =
      driver_name == "ESRI Shapefile" ? kDbaseTextBytes : std::string::npos;
  // OGR takes texts ending in a zero byte; the views end without one.
  std::string text;
  const auto set_text = [&](OGRFeature& feature, int index, std::string_view value) {
    const std::string_view kept = cut_to_fit(value, text_limit);
    if (kept.size() < value.size()) ++result.texts_cut;
    text.assign(kept);
    feature.SetField(index, text.c_str());
  };
  // One feature for all points, emptied for each.
  const OGRFeatureDefn& definition = *layer->GetLayerDefn();
  OGRFeature feature(layer->GetLayerDefn());
  PointView point;
  while (next(point)) {
    feature.Reset();
    if (name_index >= 0) set_text(feature, name_index, point.name);
    if (info_index >= 0 && !point.information.empty())
      set_text(feature, info_index, point.information);
    for (const FieldView& value : point.fields) {
      const int index = value.field >= 0 && static_cast<std::size_t>(value.field) < indexes.size()
                            ? indexes[static_cast<std::size_t>(value.field)]
                            : -1;
      if (index < 0) continue;
      if (const auto* number = std::get_if<std::int64_t>(&value.data)) {
        feature.SetField(index, static_cast<GIntBig>(*number));
      } else if (const auto* real = std::get_if<double>(&value.data)) {
        feature.SetField(index, *real);
      } else if (const auto* value_text = std::get_if<std::string_view>(&value.data)) {
        set_text(feature, index, *value_text);
      } else if (const DateTime& time = std::get<DateTime>(value.data);
                 definition.GetFieldDefn(index)->GetType() == OFTString) {
        set_text(feature, index, iso_8601(time));
      } else {
        feature.SetField(index, time.year, time.month, time.day, time.hour, time.minute,
                         time.second, time.zone);
      }
    }
    feature.SetGeometryDirectly(new OGRPoint(point.longitude, point.latitude));
    if (layer->CreateFeature(&feature) != OGRERR_NONE) return failed("point not written");
    ++result.points;
  }
  // A driver may report a failed write and go on taking points.
  if (CPLGetLastErrorType() >= CE_Failure) return failed("points not written");
  if (transaction && dataset->CommitTransaction() != OGRERR_NONE)
    return failed("points not written");
  CPLErrorReset();
  dataset.reset();
  if (CPLGetLastErrorType() >= CE_Failure) return failed("not written completely");
  // The write itself failed, with no message of OGR's to tell why.
  const auto failed_silently = [&result] {
    result.failure = "not written completely (a full disk?)";
    return result;
  };
  switch (check) {
    case Check::through_memory:
      if (const std::string failure = write_out(target, path); !failure.empty()) {
        result.failure = failure;
        return result;
      }
      break;
    case Check::count_again: {
      // Reading the file back fails for reasons of its own (a cut file does
      // not parse): they are not the write's, which the driver may have
      // reported and not returned.
      const std::string reported = QuietErrors::first_failure("");
      if (points_in(path, driver_name) != result.points)
        return reported.empty() ? failed_silently() : failed(reported);
      break;
    }
    case Check::own_errors:
      break;
  }
  // Even an empty layer has a header: a file missing or empty was not made.
  VSIStatBufL written;
  if (VSIStatL(path.c_str(), &written) != 0 || written.st_size == 0) return failed_silently();
  return result;
}

WriteResult write_points(const std::string& path, std::span<const Point> points,
                         const WriteOptions& options) {
  std::size_t k = 0;
  std::vector<FieldView> fields;
  const auto view_of = [](const FieldValue::Data& data) -> FieldView::Data {
    if (const auto* text = std::get_if<std::string>(&data)) return std::string_view(*text);
    if (const auto* number = std::get_if<std::int64_t>(&data)) return *number;
    if (const auto* real = std::get_if<double>(&data)) return *real;
    return std::get<DateTime>(data);
  };
  const auto next = [&](PointView& view) {
    if (k == points.size()) return false;
    const Point& point = points[k++];
    fields.clear();
    for (const FieldValue& value : point.fields)
      fields.push_back({value.field, view_of(value.data)});
    view = {point.longitude, point.latitude, point.name, point.information, fields};
    return true;
  };
  return write_points_from(path, next, options);
}

}  // namespace pinwright::ogr
