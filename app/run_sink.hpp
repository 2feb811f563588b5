#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/program.hpp"
#include "engine/run.hpp"

namespace pinwright::app {

// Where the window's run writes: the Output at the path the Output slot
// chose, in its form (text, OV2 or the vector format its name gives), written
// in place when the run ends; the matches report kept open from one Start to
// the next; the excluded list beside the exclusions file. None replaces a file
// in use.
class WindowSink : public engine::RunSink {
 public:
  explicit WindowSink(Program& program) : program_(program) {}

  void report(std::string_view lines) override;
  std::optional<std::int64_t> report_length() override;
  void cut_report(std::int64_t length) override;
  bool report_complete() override;
  engine::OutputWrite write_output(const poi::CompactTable& table,
                                   std::span<const std::int32_t> entries) override;
  exclusion::ListWrite write_excluded(const exclusion::Circles& circles,
                                      const poi::CompactTable& table,
                                      std::span<const std::int32_t> entries,
                                      std::string& list_path) override;

 private:
  Program& program_;
};

// The window's answer at every match the options leave open: the run stops
// and the user decides.
class StopForReview : public engine::Decider {
 public:
  std::optional<engine::Decision> decide(const engine::Run&) override { return std::nullopt; }
  bool may_stop() const override { return true; }
};

// Whether the excluded list at `path` would replace a file in use. The list
// belongs to the Master file last chosen, read or not (its exclusions are
// looked up either way), so that file counts too: an input is never changed.
bool list_would_replace(const Program& program, const std::string& path);

// What opening the matches report came to.
struct MatchesReportOpen {
  enum class Status { opened, in_use, failed };
  bool previous_incomplete = false;  // the report of an earlier run was not completed
  Status status = Status::opened;
};

// Start of a duplicate run with the report enabled: closes the report of an
// earlier run and creates the new one with its header line. Without one the
// run goes on unreported.
MatchesReportOpen open_matches_report(Program& program);

}  // namespace pinwright::app
