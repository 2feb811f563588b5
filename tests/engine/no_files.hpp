#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/run.hpp"

namespace pinwright::testing {

// A run's files, not kept: every write succeeds and nothing is stored.
class NoFiles : public engine::RunSink {
 public:
  void report(std::string_view) override {}
  std::optional<std::int64_t> report_length() override { return std::nullopt; }
  void cut_report(std::int64_t) override {}
  bool report_complete() override { return true; }
  engine::OutputWrite write_output(const poi::CompactTable&,
                                   std::span<const std::int32_t>) override {
    return engine::OutputWrite::written;
  }
  exclusion::ListWrite write_excluded(const exclusion::Circles&, const poi::CompactTable&,
                                      std::span<const std::int32_t>, std::string&) override {
    return exclusion::ListWrite::written;
  }
};

}  // namespace pinwright::testing
