#include <gdal_priv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>
#include <utility>

#include "ogr/gdal.hpp"
#include "ogr/points.hpp"

namespace pinwright::ogr {

namespace {

// Extensions in lower case and the driver OGR reads and writes them with.
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kExtensionDrivers{{
    {"gpx", "GPX"},
    {"kml", "KML"},
    {"geojson", "GeoJSON"},
    {"json", "GeoJSON"},
    {"gpkg", "GPKG"},
    {"fgb", "FlatGeobuf"},
    {"shp", "ESRI Shapefile"},
}};

}  // namespace

void register_drivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

QuietErrors::QuietErrors() {
  CPLPushErrorHandler(CPLQuietErrorHandler);
  CPLErrorReset();
}

QuietErrors::~QuietErrors() {
  CPLPopErrorHandler();
}

std::string QuietErrors::last(const std::string& fallback) {
  const char* message = CPLGetLastErrorMsg();
  return message != nullptr && *message != '\0' ? std::string(message) : fallback;
}

OGRSpatialReference wgs84() {
  OGRSpatialReference reference;
  reference.SetWellKnownGeogCS("WGS84");
  reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return reference;
}

std::optional<std::string> driver_for_path(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  std::string extension(path.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const auto& [known, driver] : kExtensionDrivers)
    if (known == extension) return std::string(driver);
  return std::nullopt;
}

bool has_vector_driver(const std::string& name) {
  register_drivers();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(name.c_str());
  return driver != nullptr && driver->GetMetadataItem(GDAL_DCAP_VECTOR) != nullptr;
}

}  // namespace pinwright::ogr
