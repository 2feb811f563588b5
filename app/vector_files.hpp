#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/program.hpp"
#include "ogr/points.hpp"
#include "poi/compact_table.hpp"
#include "poi/read_result.hpp"

namespace pinwright::app {

// Files of OGR's vector formats (GPX, KML, GeoJSON, GeoPackage, FlatGeobuf,
// shapefiles) in the window's slots. The Text button takes them: the name's
// extension picks the format, as in pinwright-batch.

// OGR's driver for the slot's file; nothing for a text or OV2 file.
std::optional<std::string> vector_driver(const poi::FileSlot& slot);

// What reading a vector file into a slot's table came to.
struct VectorRead {
  std::int32_t points = 0;
  std::int64_t skipped = 0;  // features of other geometries, or none
  // A missing file or a full table, as text files have them.
  std::optional<poi::ReadFailure> refusal;
  // What OGR could not read.
  std::optional<ogr::ReadFailure> failure;

  bool failed() const { return refusal || failure; }
};

// Reads the waypoints or points of every layer of `path` into `table` (empty
// before), positions in WGS 84, names and descriptions at full length. More
// than `limit` points is a storage limit. A file without features
// is read empty, as an empty text file is.
VectorRead read_vector_file(const std::string& path, const std::string& driver,
                            poi::CompactTable& table, std::int32_t limit);

// Why the Output at `path` cannot be written in the format `driver`, if it
// cannot: a companion file the format makes beside it (a shapefile's .dbf)
// is a slot's file in use ("makes out.dbf, a file in use"). Found by writing
// an empty dataset into a temporary folder, which goes again.
std::optional<std::string> vector_output_refusal(const Program& program, const std::string& path,
                                                 const std::string& driver);

// Writes the entries (comments left out) as the Output of `program` in the
// format `driver`: into a temporary folder beside it, then moved into place
// once complete and only while the Output's path still names the file marked
// when it was chosen (or none). A format that makes several files (a
// shapefile's .shx and .dbf) puts each beside the Output; none of them may
// replace a file in use (an input may have been chosen since the Output).
// `texts_cut` counts the texts longer than the format holds.
poi::OutputWrite write_vector_output(const Program& program, const std::string& driver,
                                     const poi::CompactTable& table,
                                     std::span<const std::int32_t> entries,
                                     std::int64_t& texts_cut);

}  // namespace pinwright::app
