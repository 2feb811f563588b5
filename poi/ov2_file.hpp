#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "poi/compact_table.hpp"
#include "poi/output_file.hpp"
#include "poi/read_result.hpp"

namespace pinwright::poi {

// OV2 coordinates are whole units of 1e-5 degree, little-endian int32.
// Reading: the integer times the double 1e-05, rounded to the nearest float.
float from_ov2_units(std::int32_t units);
// The units in degrees at double precision, for the compact table: the
// nearest double to units / 100000 whose float is from_ov2_units().
double ov2_degrees(std::int32_t units);
// Writing: the float times 100000 (exact in double), rounded half away from
// zero; values beyond the int32 range saturate.
std::int32_t to_ov2_units(float degrees);

// Appends the POI records of an OV2 file to `table`: record types 2 and 3
// are POIs, 0 (deleted) and 1 (skipper block) are skipped. Positions by
// ov2_degrees(); at most `limit` entries in all (the table's entries before
// included). A file that ends inside a record, or whose length field points
// past its end, is reported as damaged.
ReadResult read_ov2_file(const std::string& path, CompactTable& table, std::int64_t limit);

// One type-2 record for a POI (type, length, longitude, latitude, name, NUL).
std::string ov2_record(const PoiRecord& record);
// The same for entry `index` of a compact table, its name cut as a record
// holds it, appended to `out`.
void append_ov2_record(std::string& out, const CompactTable& table, std::int32_t index);

// The records of `entries` of `table`, comment records left out, into `file`.
void write_ov2_records(OutputFile& file, const CompactTable& table,
                       std::span<const std::int32_t> entries);

// Creates or overwrites `path` with `entries` of `table`. False when the file
// could not be written completely.
bool write_ov2_file(const std::string& path, const CompactTable& table,
                    std::span<const std::int32_t> entries);

}  // namespace pinwright::poi
