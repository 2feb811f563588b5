#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/arguments.hpp"
#include "batch/files.hpp"
#include "batch/tables.hpp"
#include "ogr/points.hpp"

namespace pinwright::batch {

// The inputs of a run read into its compact tables, whatever their form,
// and its Output written in its form. Names and information of OGR's
// formats are kept at full length both ways; text and OV2 files pass through
// to tables.hpp unchanged.
class OgrFiles {
 public:
  OgrFiles(const Command& command, const Inputs& inputs);

  // Reads input `k` into `table`, counting each entry in `read`.
  InputRead read(poi::CompactTable& table, std::size_t k, std::atomic<std::int64_t>& read);

  // Features of the inputs read that were not points.
  std::int64_t skipped() const { return skipped_; }

  // The Output's form.
  const FileForm& output() const { return output_; }

 private:
  friend class RunOutput;

  const Command& command_;
  const Inputs& inputs_;
  FileForm output_;
  std::int64_t skipped_ = 0;
};

// A run's Output under its temporary name: a text or OV2 file through
// OutputWriter, a file in one of OGR's formats written at close() from the
// entries added (a driver writes a whole file at once, and its fields are
// known only when every entry is there).
class RunOutput {
 public:
  RunOutput(const OgrFiles& files, const std::string& temporary, std::chrono::year_month_day date);

  // Adds entry `index` of `table`; the tables stay as they are until close().
  void add(const poi::CompactTable& table, std::int32_t index);
  // The message for the user when the file could not be written completely.
  std::optional<std::string> close();

  std::int32_t poi_entries() const;
  // Texts the Output's format could not hold whole (see ogr::WriteResult).
  std::int64_t texts_cut() const { return texts_cut_; }
  // Fields of the entries the Output's format has no place for.
  std::int64_t fields_dropped() const { return fields_dropped_; }

 private:
  std::optional<std::string> close_ogr();
  std::string shown() const;

  const OgrFiles& files_;
  std::string temporary_;
  std::optional<OutputWriter> writer_;  // text and OV2
  // OGR's formats: the entries to write, where they lie.
  struct Entry {
    const poi::CompactTable* table = nullptr;
    std::int32_t index = 0;
  };
  std::vector<Entry> entries_;
  std::int64_t texts_cut_ = 0;
  const poi::FieldStore* fields_ = nullptr;
  std::int64_t fields_dropped_ = 0;
};

}  // namespace pinwright::batch
