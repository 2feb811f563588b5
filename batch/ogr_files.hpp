#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/arguments.hpp"
#include "batch/tables.hpp"
#include "ogr/points.hpp"

namespace pinwright::batch {

// Files in OGR's vector formats (GPX, KML, GeoJSON, GeoPackage, ...) for a
// run: read into its compact tables in place of read_input, and its Output
// written in them. Names and information of these formats are kept at full
// length both ways; text and OV2 files pass through to tables.hpp unchanged.
class OgrFiles {
 public:
  explicit OgrFiles(const Command& command);

  // Whether `path` is read through OGR.
  bool reads_ogr(const std::string& path) const { return driver_of(path).has_value(); }

  // read_input for every format, counting each entry in `read`.
  InputRead read(poi::CompactTable& table, poi::Slot slot, const std::string& path,
                 std::atomic<std::int64_t>& read);

  // Features of the inputs read that were not points.
  std::int64_t skipped() const { return skipped_; }

 private:
  friend class RunOutput;

  std::optional<std::string> driver_of(const std::string& path) const;

  const Command& command_;
  std::optional<std::string> output_driver_;
  std::int64_t skipped_ = 0;
};

// A run's Output under its temporary name: a text or OV2 file through
// OutputWriter, a file in one of OGR's formats gathered and written at
// close() (a driver writes a whole file at once).
class RunOutput {
 public:
  RunOutput(const OgrFiles& files, const std::string& temporary, std::chrono::year_month_day date);

  void add(const poi::CompactTable& table, std::int32_t index);
  // The message for the user when the file could not be written completely.
  std::optional<std::string> close();

  std::int32_t poi_entries() const;

 private:
  std::optional<std::string> close_ogr();

  const OgrFiles& files_;
  std::string temporary_;
  std::optional<OutputWriter> writer_;  // text and OV2
  std::vector<ogr::Point> points_;      // OGR's formats
};

}  // namespace pinwright::batch
