#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "poi/output_file.hpp"
#include "poi/record.hpp"
#include "poi/table.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::engine {
class MatchIndex;
}

namespace pinwright::app {

// The program-wide state through which all parts cooperate: flags, file names,
// counts, the run's position, the four tables and the open files. One
// `Program` is one program life; tests create as many as they like. Texts that
// the dialog shows are plain strings here; paths are never cut to a length.
struct Program {
  explicit Program(ui::DialogLayer& dialog_layer) : dialog(dialog_layer) {}
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  ui::DialogLayer& dialog;

  // Flags
  bool quit_requested = false;    // the event loop ends once this is set
  bool deduruvav_marker = false;  // "DeduRuvav_output.yes" lies in program_dir
  bool update_mode = false;       // an Update file is loaded: the run is an update run
  bool master_loaded = false;
  bool output_chosen = false;  // cleared at the end of a run
  bool master_is_ov2 = false;
  bool update_is_ov2 = false;
  bool output_is_ov2 = false;

  // Texts and paths
  std::string file_filter;    // for the next file dialog
  std::string program_dir;    // ends with '/'
  std::string selected_path;  // last choice of a file dialog
  std::string ov2_input_path;
  std::string master_path;  // the Master file last read; named in the excluded list's header
  std::string update_path;  // the Update file last chosen
  std::string output_path;
  std::string master_symbol_path;  // empty: no picture
  std::string update_symbol_path;
  std::string output_symbol_path;
  std::string radius_caption = "< 20 metres";

  // The run
  float match_radius = 0.0f;  // metres, read from the combo box at every call of the run
  std::int32_t run_position = 1;
  std::int32_t master_index = 0;
  std::int32_t update_index = 0;
  poi::PoiRecord current_entry;
  poi::PoiRecord candidate_entry;
  float separation = 0.0f;
  std::int32_t comment_counter = 0;
  std::int32_t poi_record_counter = 0;
  // The run's spatial index over the Master table, made by the run when first
  // needed and brought in line with the table at every call.
  std::shared_ptr<engine::MatchIndex> match_index;
  // Search by the plain ascending scan instead of the index: the reference
  // that tests and benchmarks compare the index against.
  bool plain_scan = false;

  // Counts
  std::int32_t master_count = 0;
  std::int32_t master_comment_count = 0;
  std::int32_t update_count = 0;
  std::int32_t update_poi_count = 0;
  std::int32_t merged_count = 0;
  std::int32_t exclusion_count = 0;
  std::int32_t excluded_count = 0;
  float exclusion_radius = 0.0f;

  // Tables, indexed from 1
  poi::PoiTable master_table{poi::kMasterCapacity};
  poi::PoiTable update_table{poi::kUpdateCapacity};
  poi::PoiTable merged_table{poi::kMergedCapacity};
  poi::PoiTable exclusion_table{poi::kExclusionCapacity};

  // Open files
  poi::OutputFile output_file;     // text Output: opened and headed when chosen
  std::string exclusions_path;     // the exclusions file last read
  std::string excluded_list_path;  // "excluded.asc" beside it
  poi::OutputFile excluded_list;
  std::string matches_report_path;
  poi::OutputFile matches_report;

  // The date written into text Output headers; today's when not fixed.
  std::optional<std::chrono::year_month_day> fixed_today;
};

}  // namespace pinwright::app
