#pragma once

#include <cstdint>
#include <string>

#include "ogr/points.hpp"
#include "poi/compact_table.hpp"

namespace pinwright::ogr {

// Points and the entries of a compact table. A table entry keeps its
// information as a text line holds it, after the separator that ended the
// name; the fields of OGR's formats hold the text alone.

// The information of a point as a table entry stores it.
std::string stored_information(std::string&& field);

// A table entry (no comment) as a point: texts in UTF-8 without the
// separator; a text that is not valid UTF-8 is read as Windows-1252, name and
// information of one entry in the same encoding.
Point point_of(const poi::CompactTable& table, std::int32_t index);

}  // namespace pinwright::ogr
