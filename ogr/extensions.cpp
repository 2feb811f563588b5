// Which vector format a file name promises, known without GDAL: a run of
// text and overlay files never loads it.
#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

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

}  // namespace pinwright::ogr
