#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "batch/ogr_files.hpp"
#include "batch/setup.hpp"
#include "engine/run.hpp"
#include "poi/output_file.hpp"

namespace pinwright::batch {

// The batch's side of engine::Run: it answers every match the options leave
// open at once, and writes the run's files under their temporary names.

// One decision for every match: the run never stops for a review.
class AnswerAtOnce : public engine::Decider {
 public:
  explicit AnswerAtOnce(engine::Decision decision) : decision_(decision) {}

  std::optional<engine::Decision> decide(const engine::Run&) override { return decision_; }
  bool may_stop() const override { return false; }

 private:
  engine::Decision decision_;
};

// The run's fixed settings for a subcommand of `setup`: its Output's kind,
// its threads, its progress line; the matches report when `report_matches`.
engine::RunSetup run_setup(Setup& setup, bool report_matches);

// The files a run writes, each at its place in the setup's list (see
// Setup::open): the Output at 0, and for a dedupe the matches report and
// the excluded list when the command has them.
class StagedSink : public engine::RunSink {
 public:
  StagedSink(Setup& setup, std::optional<std::size_t> report,
             std::optional<std::size_t> excluded_list);

  void report(std::string_view lines) override;
  // The batch never stops for a review, so it never goes back: the report is
  // not cut.
  std::optional<std::int64_t> report_length() override { return std::nullopt; }
  void cut_report(std::int64_t) override {}
  bool report_complete() override;

  engine::OutputWrite write_output(const poi::CompactTable& table,
                                   std::span<const std::int32_t> entries) override;
  exclusion::ListWrite write_excluded(const exclusion::Circles& circles,
                                      const poi::CompactTable& table,
                                      std::span<const std::int32_t> entries,
                                      std::string& list_path) override;

  // The first file of a finished run that was not written completely, in the
  // order the batch reports them: the Output, the report, the excluded list.
  std::optional<Refusal> failure(const engine::RunOutcome& outcome) const;

  // The Output as written: nothing before write_output().
  const std::optional<RunOutput>& output() const { return output_; }

 private:
  Setup& setup_;
  std::optional<std::size_t> report_place_;
  std::optional<std::size_t> list_place_;
  poi::OutputFile report_;
  std::string report_lines_;  // not yet written
  std::optional<RunOutput> output_;
  std::optional<std::string> output_failure_;
};

}  // namespace pinwright::batch
