#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pinwright::ogr {

// The other fields of a feature: attributes, and a GPX waypoint's own
// elements (ele, time, sym, type, cmt, src, link1_href, ...) under OGR's
// names for them.
enum class FieldType { integer, real, string, date_time };

struct FieldSpec {
  std::string name;
  FieldType type = FieldType::string;

  friend bool operator==(const FieldSpec&, const FieldSpec&) = default;
};

// `zone` as OGR counts it: 0 unknown, 1 local, 100 UTC, each step from 100 a
// quarter of an hour.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  float second = 0.0f;
  int zone = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A value: the field's number in the fields of its layer (read) or of
// WriteOptions::fields (written). Fields without a value are left out.
struct FieldValue {
  using Data = std::variant<std::int64_t, double, std::string, DateTime>;
  int field = 0;
  Data data;

  friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// One point of a vector file, in WGS 84 longitude/latitude, with its texts at
// full length.
struct Point {
  double longitude = 0.0;
  double latitude = 0.0;
  std::string name;
  std::string information;
  std::vector<FieldValue> fields = {};

  friend bool operator==(const Point&, const Point&) = default;
};

// Which points of a GPX file are read.
enum class GpxPoints { waypoints, routes, tracks };

// The driver OGR uses for `path` by its extension (.gpx, .kml, .geojson,
// .json, .gpkg, .fgb, .shp); nothing for the program's own .asc, .csv and
// .ov2 and for every other name.
std::optional<std::string> driver_for_path(std::string_view path);

// Whether OGR has a vector driver called `name` (as ogrinfo --formats lists it).
bool has_vector_driver(const std::string& name);

// The extensions a driver's files take, lower case and without the dot, the
// usual one first; none for a driver that names none.
std::vector<std::string> driver_extensions(const std::string& name);

// Every file the vector dataset at `path` consists of, as OGR opens it with
// `driver` (empty: OGR's choice): a shapefile's .shp, .shx, .dbf, .prj and
// .cpg, say. Only `path` when OGR cannot open it.
std::vector<std::string> dataset_files(const std::string& path, const std::string& driver);

// A box in WGS 84 degrees, west to east and south to north.
struct Bounds {
  double west = 0.0;
  double south = 0.0;
  double east = 0.0;
  double north = 0.0;

  friend bool operator==(const Bounds&, const Bounds&) = default;
};

struct ReadOptions {
  std::string driver;      // empty: by the extension, else OGR's choice
  std::string name_field;  // empty: "name" in any letter case
  std::string info_field;  // empty: "desc" or "description"
  std::string x_field;     // CSV: the longitude column; empty: OGR's usual names
  std::string y_field;     // CSV: the latitude column
  GpxPoints gpx_points = GpxPoints::waypoints;
  // The layers read, in this order. None: the file's only layer with points,
  // or every layer with `all_layers`. A GPX file's layer is `gpx_points`.
  std::vector<std::string> layers;
  bool all_layers = false;
  std::string where;           // an attribute filter in OGR's SQL; empty: none
  std::optional<Bounds> bbox;  // only the features meeting this WGS 84 box
};

// Why a file could not be read. `layer` and `feature` (1-based, in the
// layer's order) are set where they say where.
struct ReadFailure {
  enum class Kind {
    cannot_open,            // OGR cannot open the file (detail: OGR's message)
    no_points,              // no layer holds a point
    no_name_field,          // the layers with points have no name field (fields: what they have)
    named_field_missing,    // a chosen field is not there (field: which)
    no_transformation,      // the layer's coordinate system cannot be turned into WGS 84
    outside_range,          // longitude or latitude outside ±180/±90 (detail: the values)
    damaged,                // OGR failed while reading the features (detail: OGR's message)
    no_coordinate_columns,  // a table without longitude and latitude columns (fields: its
                            // columns; detail: the names looked for)
    several_layers,         // more than one layer holds points and none was chosen (fields:
                            // those layers)
    no_such_layer,          // a chosen layer is not there (layer: which; fields: the layers)
    bad_filter,             // OGR refused the attribute filter (detail: OGR's message)
  };
  Kind kind = Kind::cannot_open;
  std::string path;
  std::string layer;
  std::int64_t feature = 0;
  std::string field;
  std::vector<std::string> fields;
  std::string detail;
};

struct ReadResult {
  std::int64_t points = 0;
  // Features with a geometry other than points, or with none.
  std::int64_t skipped = 0;
  std::optional<ReadFailure> failure;
};

using PointVisitor = std::function<void(Point&&)>;
// A layer's fields besides name and information, in order, before its first
// point: the numbers of its points' values.
using LayerVisitor = std::function<void(const std::vector<FieldSpec>&)>;

// Reads the points of the chosen layers of `path` (of a GPX file: the kind
// chosen) and hands each to `visit` in file order, each layer's fields first
// to `layer` when given. Nothing goes to standard error.
ReadResult read_points(const std::string& path, const ReadOptions& options,
                       const PointVisitor& visit, const LayerVisitor& layer = {});

// The same, collected; `fields` of the last layer read.
struct ReadPoints {
  std::vector<Point> points;
  std::vector<FieldSpec> fields;
  ReadResult result;
};
ReadPoints read_all_points(const std::string& path, const ReadOptions& options);

struct WriteOptions {
  std::string driver;  // empty: by the extension
  // Empty: the format's own name and description fields; GPX and KML
  // always use their own.
  std::string name_field;
  std::string info_field;
  std::string layer_name;  // empty: the file's name without folder and extension
  // The points' other fields; a GPX Output has its own for ele, time, sym,
  // type, cmt, src and the links.
  std::vector<FieldSpec> fields;
};

struct WriteResult {
  std::int64_t points = 0;
  // Texts longer than the format holds (a shapefile's 254 bytes), written cut
  // at a character's end.
  std::int64_t texts_cut = 0;
  // Fields of `fields` the format holds no place for, or whose name the name
  // or information takes.
  std::vector<std::string> fields_dropped;
  std::optional<std::string> failure;  // OGR's reason, without the path
};

// A value to write, its text a view.
struct FieldView {
  using Data = std::variant<std::int64_t, double, std::string_view, DateTime>;
  int field = 0;
  Data data;
};

// A point to write, in WGS 84, with its texts in UTF-8.
struct PointView {
  double longitude = 0.0;
  double latitude = 0.0;
  std::string_view name;
  std::string_view information;
  std::span<const FieldView> fields;
};

// Sets `point` to the next point to write and returns true, or returns false
// after the last. What `point` refers to stays valid until the next call.
using PointFeed = std::function<bool(PointView& point)>;

// Creates `path` (replacing a file there) holding the points `next` hands
// over, in its order, without keeping them.
WriteResult write_points_from(const std::string& path, const PointFeed& next,
                              const WriteOptions& options);

// The same for points in memory.
WriteResult write_points(const std::string& path, std::span<const Point> points,
                         const WriteOptions& options);

}  // namespace pinwright::ogr
