#pragma once

#include <string>

// Shared by the reader and the writer; the only header with GDAL's types.
#include <cpl_error.h>
#include <ogr_spatialref.h>

namespace pinwright::ogr {

// Registers OGR's drivers, once per process.
void register_drivers();

// While it lives, OGR's errors and warnings on this thread go nowhere instead
// of to standard error; the last failure stays readable for the result.
class QuietErrors {
 public:
  QuietErrors();
  ~QuietErrors();
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

  // OGR's last error message, or `fallback` when there is none.
  static std::string last(const std::string& fallback);
  // The first failure OGR reported while this lived, or `fallback`: after a
  // write error the driver's later calls fail too, for reasons that hide the
  // first ("no transaction is active" after "disk I/O error").
  static std::string first_failure(const std::string& fallback);
};

// WGS 84 longitude/latitude, longitude first whatever the authority says.
OGRSpatialReference wgs84();

}  // namespace pinwright::ogr
