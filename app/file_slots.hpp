#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "poi/file_slot.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

// The main dialog's three file slots. Each has a path field, a count field, a
// symbol picture and the buttons Text, OV2 and Clear.
using poi::Slot;

// The Text button takes POI text files and the vector formats; the name's
// extension picks the reader.
inline constexpr std::string_view kTextFilter =
    "POI files (*.asc *.csv)|*.asc;*.csv|GPS exchange (*.gpx)|*.gpx|"
    "GeoJSON (*.geojson *.json)|*.geojson;*.json|KML (*.kml)|*.kml|GeoPackage (*.gpkg)|*.gpkg|"
    "FlatGeobuf (*.fgb)|*.fgb|Shapefile (*.shp)|*.shp|"
    "All readable files|*.asc;*.csv;*.gpx;*.geojson;*.json;*.kml;*.gpkg;*.fgb;*.shp|";
inline constexpr std::string_view kOv2Filter = "Overlay files (*.ov2)|*.ov2|";
inline constexpr std::string_view kOpenFileTitle = "Open File";
inline constexpr std::string_view kSaveFileTitle = "Save File";
inline constexpr std::string_view kCountPrefix = "Number of POI entries:";

// Lets the user pick the Master or Update file (open dialog with `filter`,
// starting from `selected_path`) and reads it into the slot's table in the
// slot's kind (a Text file named .gpx, .kml, .geojson, .json, .gpkg, .fgb or
// .shp through OGR). Cancel clears the slot. A file that cannot be read, or holds
// what the slot cannot take (a line that is no POI line, an unknown overlay
// record, more entries than the table holds), is refused: a box names it, the
// slot is left cleared and Start disabled, and the program goes on. The
// Output file itself is refused as an input. Only a file read is remembered.
void choose_input_file(Program& program, ui::DialogLayer& dialog, Slot slot,
                       std::string_view filter);

// Lets the user pick the Output file (save dialog with `filter`, starting
// from the folder of `selected_path`). Nothing is written now: the run writes
// the Output when it ends. A file in use as Master or Update, a path that is
// no file, or a folder that takes no new file is refused with a box naming
// the reason and leaves the slot cleared.
void choose_output_file(Program& program, ui::DialogLayer& dialog, std::string_view filter);

// Empties the slot's fields, forgets its symbol and marks it unloaded.
void clear_slot(Program& program, ui::DialogLayer& dialog, Slot slot);

// The symbol bitmap of an OV2 file at `path`: the bitmap of the same name
// beside it; for the Output slot a default symbol when there is none, which
// copy_output_symbol gives the Output once written.
void show_symbol(Program& program, ui::DialogLayer& dialog, Slot slot, const std::string& path);

// An OV2 Output just written without a bitmap of its own name gets a copy of
// the symbol its slot shows, so that a device shows its POIs with it.
void copy_output_symbol(const Program& program);

// The Output path for the user's choice: ".ov2" or ".asc" appended when the
// chosen path contains no "." at all.
std::string output_file_name(std::string_view chosen, poi::FileKind kind);

// The captions of 1001 and 1002 for the kind of run the Update slot makes,
// then `mode_labels`.
void set_mode_captions(Program& program, ui::DialogLayer& dialog);

// The slot buttons: Text and OV2 set the slot's kind and choose its file (a
// Master button then reads the exclusions file, also when cancelled); Clear
// clears the slot. Either way the status line of the last run is cleared.
// False for any other identifier.
bool handle_slot_button(Program& program, ui::DialogLayer& dialog, int id);

// Reads the exclusions file beside the Master file and tells the user what
// went wrong: a format error, too many circles or an unreadable file leave
// the circles read so far.
void read_exclusions_file(Program& program, ui::DialogLayer& dialog);

}  // namespace pinwright::app
