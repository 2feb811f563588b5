#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "batch/arguments.hpp"
#include "batch/tables.hpp"
#include "ogr/points.hpp"

namespace pinwright::batch {

// Files in OGR's vector formats (GPX, KML, GeoJSON, GeoPackage, ...) for a
// run: read into the tables in place of read_input, written from them after
// the run. Text and OV2 files pass through to tables.hpp unchanged.
class OgrFiles {
 public:
  explicit OgrFiles(const Command& command);

  bool writes_ogr() const { return output_driver_.has_value(); }

  // The entries `path` can give, for sizing the tables. An OGR file is read
  // here; when that fails, 0, and read() gives the failure.
  std::optional<std::int64_t> bound(const std::string& path);

  // read_input for every format.
  InputRead read(app::Program& program, poi::Slot slot, const std::string& path);

  // The POI entries first..last of `table` into `temporary`, the Output's
  // temporary name, in the Output's format; nothing to do for a text or OV2
  // Output. The message when that failed.
  std::optional<std::string> write(const poi::PoiTable& table, std::int32_t first,
                                   std::int32_t last, const std::string& temporary) const;

  // Features of the inputs read that were not points.
  std::int64_t skipped() const { return skipped_; }

 private:
  std::optional<std::string> driver_of(const std::string& path) const;

  const Command& command_;
  std::optional<std::string> output_driver_;
  std::map<std::string, ogr::ReadPoints> read_;  // OGR inputs by path, until read()
  std::int64_t skipped_ = 0;
};

}  // namespace pinwright::batch
