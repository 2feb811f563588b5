#pragma once

#include <cstdint>
#include <string>

namespace pinwright::poi {

// The two forms a POI file takes.
enum class FileKind { text, ov2 };

// The main dialog's three file slots.
enum class Slot { master, update, output };

// What the program knows about the file of one slot. Paths are kept whole;
// only their display is shortened.
struct FileSlot {
  std::string path;  // the file last chosen for the slot
  FileKind kind = FileKind::text;
  // Master and Update: the file was read; Output: the file is chosen and
  // usable (cleared at the end of a run).
  bool loaded = false;
  std::string symbol_path;  // the picture shown beside the slot; empty: none
  // Master and Update: entries read, comment records included; Output: POI
  // entries the last run wrote.
  std::int32_t count = 0;

  bool is_ov2() const { return kind == FileKind::ov2; }
};

}  // namespace pinwright::poi
