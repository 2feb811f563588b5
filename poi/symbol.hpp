#pragma once

#include <string>
#include <string_view>

namespace pinwright::poi {

// An OV2 file's symbol is a bitmap beside it, named as the file up to the
// first "." of its name, with "bmp" after it. A navigation device shows the
// symbol at each of the file's POIs, so an OV2 Output without one of its own
// gets a copy of a default symbol.

// The default symbol a user keeps in a folder for the OV2 files written there.
inline constexpr std::string_view kDefaultSymbolName = "default_symbol.bmp";
// The default symbol that comes with the program, in its own folder.
inline constexpr std::string_view kShippedSymbolName = "REZ_default_symbol.bmp";

// The symbol bitmap that belongs to an OV2 file: the path up to and including
// the first "." of its file name, followed by "bmp" ("fuel.ov2" -> "fuel.bmp",
// "fuel.old.ov2" -> "fuel.bmp"); a file name without "." gets ".bmp".
std::string symbol_candidate(std::string_view path);

// The bitmap to copy to `candidate` (see symbol_candidate) for an OV2 Output
// that has none: "default_symbol.bmp" in the Output's folder, else the
// program's own in `program_dir` (ending with '/'); empty when neither is a
// file.
std::string default_symbol(std::string_view candidate, std::string_view program_dir);

}  // namespace pinwright::poi
