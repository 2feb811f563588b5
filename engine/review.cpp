#include "engine/review.hpp"

#include <cmath>

#include "engine/distance.hpp"
#include "exclusion/exclusion_run.hpp"
#include "poi/format.hpp"
#include "ui/controls.hpp"

namespace pinwright::engine {

namespace {

namespace c = ui::control;

// Wide enough for any finite float with 6 decimals.
inline constexpr int kWidestCoordinate = 48;

struct RowFields {
  int longitude;
  int latitude;
  int name;
  int information;
  int entry;
};

void show_row(app::Program& program, const poi::PoiRecord& entry, std::int32_t index,
              const RowFields& fields) {
  ui::DialogLayer& dialog = program.dialog;
  dialog.put_text(fields.longitude, coordinate_text(entry.longitude));
  dialog.put_text(fields.latitude, coordinate_text(entry.latitude));
  dialog.put_text(fields.name, entry.name.trimmed());
  dialog.put_text(fields.information, entry.information.trimmed());
  dialog.put_text(fields.entry, entry_text(index));
}

poi::Text field_text(app::Program& program, int id) {
  return poi::Text(program.dialog.get_text(id));
}

// The pending pair is the one at `update_index` = `run_position` - 1; after a
// finished run `update_index` has gone past the last entry.
bool pair_pending(const app::Program& program) {
  return program.output_chosen && program.update_index >= 1 &&
         program.update_index == program.run_position - 1;
}

bool belongs_to_run(const app::Program& program, int button_id) {
  if (button_id == c::kFirstDecision || button_id == c::kSecondDecision) return true;
  return program.update_mode &&
         (button_id == c::kPosition || button_id == c::kText || button_id == c::kBoth);
}

// Update[i] against Master[j]. With a text Output file the Update entry's own
// information text wins over an edited 1052 on Save as new entry, Position
// and Both; an OV2 Output carries no information, so the field is taken as is.
bool apply_update_decision(app::Program& program, int button_id) {
  const poi::PoiRecord& update_entry = program.update_table[program.update_index];
  poi::PoiRecord& master_entry = program.master_table[program.master_index];
  const bool text_output = !program.output_is_ov2;
  switch (button_id) {
    case c::kSecondDecision: {
      poi::PoiRecord saved;
      saved.longitude = update_entry.longitude;
      saved.latitude = update_entry.latitude;
      saved.name = field_text(program, c::kRow2Name);
      saved.information =
          text_output ? update_entry.information : field_text(program, c::kRow2Information);
      return append_result(program, program.master_table, program.merged_count, saved);
    }
    case c::kPosition:
      master_entry.longitude = update_entry.longitude;
      master_entry.latitude = update_entry.latitude;
      if (text_output) master_entry.information = update_entry.information;
      return true;
    case c::kText:
      master_entry.name = field_text(program, c::kRow2Name);
      master_entry.information = field_text(program, c::kRow2Information);
      return true;
    case c::kBoth:
      master_entry.longitude = update_entry.longitude;
      master_entry.latitude = update_entry.latitude;
      master_entry.name = field_text(program, c::kRow2Name);
      master_entry.information =
          text_output ? update_entry.information : field_text(program, c::kRow2Information);
      return true;
    default:  // Skip: the Update entry is left out
      return true;
  }
}

// Master[i] (the earlier entry) against Master[j].
bool apply_duplicate_decision(app::Program& program, int button_id) {
  if (button_id == c::kSecondDecision) {
    // The surviving later entry carries a name edited in the second row.
    program.master_table[program.master_index].name = field_text(program, c::kRow2Name);
    return true;
  }
  if (exclusion::exclusion_test(program)) return true;
  return append_result(program, program.merged_table, program.merged_count, program.current_entry);
}

}  // namespace

std::string coordinate_text(float degrees) {
  const std::string field = poi::f10_6(degrees);
  if (field.front() != '*' || !std::isfinite(degrees)) return field;
  const std::string full = poi::format_fixed(degrees, kWidestCoordinate, 6);
  return full.substr(full.find_first_not_of(' '));
}

std::string entry_text(std::int32_t index) {
  return "Entry:" + poi::i5(index);
}

void show_pair(app::Program& program) {
  const bool update_run = program.update_mode;
  program.dialog.put_text(c::kSeparation, separation_text(program.separation));
  show_row(program, program.current_entry, update_run ? program.master_index : program.update_index,
           {c::kRow1Longitude, c::kRow1Latitude, c::kRow1Name, c::kRow1Information, c::kRow1Entry});
  show_row(program, program.candidate_entry,
           update_run ? program.update_index : program.master_index,
           {c::kRow2Longitude, c::kRow2Latitude, c::kRow2Name, c::kRow2Information, c::kRow2Entry});
}

RunStop decide(app::Program& program, int button_id) {
  if (!pair_pending(program) || !belongs_to_run(program, button_id)) return RunStop::unchanged;
  if (!read_match_radius(program)) return RunStop::unchanged;
  const bool go_on = program.update_mode ? apply_update_decision(program, button_id)
                                         : apply_duplicate_decision(program, button_id);
  if (!go_on) return RunStop::ended;
  return resume_run(program);
}

}  // namespace pinwright::engine
