#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pinwright::testing {

// A GeoJSON feature: its geometry as JSON text, its properties as the JSON
// members between the braces.
inline std::string geojson_feature(const std::string& geometry, const std::string& properties) {
  return R"({"type": "Feature", "properties": {)" + properties + R"(}, "geometry": )" + geometry +
         "}";
}

// A GeoJSON feature collection, in the coordinate system `crs` when one is named.
inline std::string geojson_collection(const std::vector<std::string>& features,
                                      const std::string& crs = "") {
  std::string text = R"({"type": "FeatureCollection", )";
  if (!crs.empty())
    text += R"("crs": {"type": "name", "properties": {"name": ")" + crs + R"("}}, )";
  text += R"("features": [)";
  for (std::size_t k = 0; k < features.size(); ++k) text += (k ? ", " : "") + features[k];
  return text + "]}";
}

}  // namespace pinwright::testing
